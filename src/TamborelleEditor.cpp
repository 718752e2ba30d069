// The plug-in's editor: the background, twelve faders with their read-outs, thirteen
// LED switches and twelve list controls, at the places the background image leaves for them.
#include "graphics/IEditorWindow.h"
#include "graphics/IParamTextControl.h"
#include "graphics/ISliderControl.h"
#include "graphics/ISwitchControl.h"
#include "src/Tamborelle.h"
#include "src/ValueReadOut.h"

namespace {

enum ImageId { IMG_BACKGROUND = 100, IMG_FADER_HANDLE = 101, IMG_MUTE_LED = 102, IMG_SNAP_LED = 104 };

const int FADER_LENGTH = 184;

struct FaderRow {
    int mParam, mX, mY;
};
const FaderRow FADERS[TAMBORELLE_NUM_READOUTS] = {
    {7, 120, 216},  {8, 120, 192},  {13, 120, 420}, {14, 120, 304}, {15, 120, 329}, {16, 120, 352},
    {17, 120, 376}, {27, 120, 628}, {28, 120, 512}, {29, 120, 536}, {30, 120, 560}, {31, 120, 584},
};

struct SwitchRow {
    int mParam, mImage, mX, mY;
};
const SwitchRow SWITCHES[] = {
    {1, IMG_MUTE_LED, 360, 128},  {5, IMG_MUTE_LED, 359, 232},  {11, IMG_MUTE_LED, 359, 439},
    {18, IMG_MUTE_LED, 360, 304}, {19, IMG_MUTE_LED, 360, 328}, {20, IMG_MUTE_LED, 360, 352},
    {21, IMG_MUTE_LED, 360, 376}, {25, IMG_MUTE_LED, 359, 647}, {32, IMG_MUTE_LED, 360, 512},
    {33, IMG_MUTE_LED, 360, 536}, {34, IMG_MUTE_LED, 360, 560}, {35, IMG_MUTE_LED, 360, 584},
    {38, IMG_SNAP_LED, 111, 39},
};

struct ListRow {
    int mParam, mX, mY;
};
const ListRow LISTS[] = {
    {2, 112, 125},  {3, 248, 125},  {6, 112, 231},  {9, 248, 231},  {12, 112, 437}, {22, 112, 393},
    {23, 248, 439}, {26, 112, 645}, {36, 112, 601}, {37, 248, 645}, {40, 112, 61},  {39, 248, 63},
};

const IArgb BLACK(255, 0, 0, 0);

}  // namespace

void Tamborelle::BuildEditor() { OfferEditor(new IEditorWindow(this, EDITOR_WIDTH, EDITOR_HEIGHT, 0)); }

void Tamborelle::OfferEditor(IEditorRaster* graphics) {
    if (!graphics) return;
    // The values an editor laid out now would show first: its controls keep them as
    // the values a double click restores, whenever the layout happens.
    for (int i = 0; i < NUM_PARAMS; ++i) mEditorFirstValues[i] = Param(i) ? Param(i)->GetNormalized() : 0.0;
    AttachEditorGraphics(graphics);
    mpEditor = graphics;
    mEditorLaidOut = false;
}

bool Tamborelle::PrepareEditor() {
    ILockGuard guard(mLock);
    // Only the graphics this class attached are laid out here; any other editor prepares itself.
    IEditorRaster* graphics = Graphics() && Graphics() == mpEditor ? mpEditor : nullptr;
    if (graphics && !mEditorLaidOut) {
        if (!LayOutEditor(graphics, mEditorFirstValues)) return false;
        mEditorLaidOut = true;
    }
    return IVstEffect::PrepareEditor();
}

bool Tamborelle::BuildEditorInto(IEditorRaster* graphics) {
    if (!graphics) return false;
    ILockGuard guard(mLock);
    if (!LayOutEditor(graphics, nullptr)) {
        delete graphics;
        return false;
    }
    AttachEditorGraphics(graphics);
    mpEditor = graphics;
    mEditorLaidOut = true;
    return true;
}

bool Tamborelle::LayOutEditor(IEditorRaster* graphics, const double* firstValues) {
    // Every picture first: an editor with one missing is not shown at all.
    IImage background, handle, muteLed, snapLed;
    bool images = graphics->LoadImage(&background, IMG_BACKGROUND, "img/bg.png", 1);
    images = graphics->LoadImage(&handle, IMG_FADER_HANDLE, "img/fader-handle.png", 1) && images;
    images = graphics->LoadImage(&muteLed, IMG_MUTE_LED, "img/mute-led.png", 2) && images;
    images = graphics->LoadImage(&snapLed, IMG_SNAP_LED, "img/snap-led.png", 2) && images;
    if (!images || !graphics->AttachBackground(IMG_BACKGROUND, "img/bg.png")) return false;

    const ITextStyle listStyle("Arial", 14, BLACK, TextNormal, AlignLeft);
    const ITextStyle readOutStyle("Arial", 14, BLACK, TextNormal, AlignCenter);

    ValueReadOut* readOuts[TAMBORELLE_NUM_READOUTS] = {};
    for (int i = 0; i < TAMBORELLE_NUM_READOUTS; ++i) {
        const FaderRow& row = FADERS[i];
        IControl* fader = new ISliderControl(this, row.mX, row.mY - 3, FADER_LENGTH, row.mParam, handle, 1);
        if (graphics->AttachControl(fader) < 0) continue;
        readOuts[i] = new ValueReadOutInt(this, graphics, fader,
                                          IBounds(row.mX + 188, row.mY - 3, row.mX + 218, row.mY + 13), readOutStyle);
    }
    for (const SwitchRow& row : SWITCHES)
        graphics->AttachControl(
            new ISwitchControl(this, row.mX, row.mY, row.mParam, row.mImage == IMG_SNAP_LED ? snapLed : muteLed));
    for (const ListRow& row : LISTS)
        graphics->AttachControl(new IParamTextControl(this, IBounds(row.mX + 2, row.mY, row.mX + 62, row.mY + 16),
                                                      row.mParam, listStyle, nullptr, true, false, 0, 8.0));

    // A control keeps the first value it is shown as its default.
    for (int i = 0; i < ParamCount(); ++i) {
        const double current = Param(i)->GetNormalized();
        if (firstValues && i < NUM_PARAMS) graphics->SetParameterFromPlug(i, firstValues[i], true);
        graphics->SetParameterFromPlug(i, current, true);
    }
    for (int i = 0; i < TAMBORELLE_NUM_READOUTS; ++i) {
        delete mpReadOuts[i];  // an earlier editor's
        mpReadOuts[i] = readOuts[i];
    }
    return true;
}
