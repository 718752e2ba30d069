// Tamborelle's own editor driven headless through its event entry points: layout, the
// host's view of gestures, read-outs, and values arriving from the host and from state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/IParameter.h"
#include "framework/StateChunk.h"
#include "framework/Vst2Abi.h"
#include "graphics/IBitmapControl.h"
#include "graphics/IEditorRaster.h"
#include "graphics/IParamTextControl.h"
#include "graphics/ISliderControl.h"
#include "graphics/ITextControl.h"
#include "src/Tamborelle.h"
#include "tools/tamborelle-snapshot/EditorSession.h"

namespace {

// Parameter indices and places on the panel.
const int PAR_INTERVAL = 8, MAIN_MUTE = 1, MAIN_CHAN = 2, V1_INT1 = 14;
const int FADER_Y = 195;  // middle of the parallel interval fader's track
const int FADER_LEFT = 120, HALF_HANDLE = 6, TRAVEL = 172;

class PanelTest : public ::testing::Test {
protected:
    EditorSession mSession;
    IEditorRaster* mEditor = mSession.Editor();
    IPointerState mLeft{true};

    IControl* Bound(int param) {
        for (int i = 0; i < mEditor->NumControls(); ++i)
            if (mEditor->GetControl(i)->ParamIdx() == param) return mEditor->GetControl(i);
        return nullptr;
    }
    // The read-out follows its fader directly in the list.
    ITextControl* ReadOutOf(int param) {
        for (int i = 0; i + 1 < mEditor->NumControls(); ++i)
            if (mEditor->GetControl(i)->ParamIdx() == param)
                return dynamic_cast<ITextControl*>(mEditor->GetControl(i + 1));
        return nullptr;
    }
    double Plain(int param) { return mSession.Plug()->Param(param)->Value(); }
    intptr_t Dispatch(int32_t opcode, intptr_t value = 0, void* ptr = nullptr) {
        vst2::AEffect* e = mSession.Plug()->Effect();
        return e->dispatcher(e, opcode, 0, value, ptr, 0.0f);
    }
};

// What the host sees of the editor, and what was built.
TEST_F(PanelTest, OfferedToTheHost) {
    ASSERT_NE(nullptr, mEditor);
    vst2::AEffect* e = mSession.Plug()->Effect();
    EXPECT_EQ(0x1139, e->flags);
    vst2::ERect* rect = nullptr;
    EXPECT_EQ(1, Dispatch(vst2::effEditGetRect, 0, &rect));
    ASSERT_NE(nullptr, rect);
    EXPECT_EQ(680, rect->bottom);
    EXPECT_EQ(410, rect->right);
    EXPECT_EQ(0, Dispatch(vst2::effEditOpen, 0, nullptr)) << "no parent window, no editor";
    EXPECT_EQ(1, Dispatch(vst2::effEditClose));

    EXPECT_EQ(1 + 12 * 2 + 13 + 12, mEditor->NumControls());
    EXPECT_EQ(IBounds(0, 0, 410, 680), mEditor->GetControl(0)->Rect());
    int bound = 0;
    for (int i = 0; i < mEditor->NumControls(); ++i) {
        IControl* c = mEditor->GetControl(i);
        if (c->ParamIdx() < 0) continue;
        ++bound;
        EXPECT_GE(c->DefaultValue(), 0.0) << "control " << i << " never saw its parameter";
        EXPECT_TRUE(c->IsDirty());
    }
    EXPECT_EQ(37, bound);
    EXPECT_EQ(IBounds(120, 189, 304, 201), Bound(PAR_INTERVAL)->Rect());
    EXPECT_EQ(IBounds(308, 189, 338, 205), ReadOutOf(PAR_INTERVAL)->Rect());
    EXPECT_EQ(IBounds(114, 125, 174, 141), Bound(MAIN_CHAN)->Rect());
}

// Press, drag, release on a fader: begin edit, automation with normalized values, end edit.
TEST_F(PanelTest, FaderGestureReachesHost) {
    int x75 = FADER_LEFT + HALF_HANDLE + TRAVEL * 3 / 4;
    mEditor->OnMouseDown(x75, FADER_Y, &mLeft);
    mEditor->OnMouseDrag(FADER_LEFT + HALF_HANDLE, FADER_Y + 30, &mLeft);  // off the track: still captured
    mEditor->OnMouseUp(FADER_LEFT + HALF_HANDLE, FADER_Y + 30, &mLeft);
    const std::vector<HostEdit>& edits = mSession.mEdits;
    ASSERT_EQ(4u, edits.size());
    EXPECT_EQ(HostEdit::BeginEdit, edits[0].mKind);
    EXPECT_EQ(HostEdit::Automate, edits[1].mKind);
    EXPECT_FLOAT_EQ(0.75f, edits[1].mValue);
    EXPECT_EQ(HostEdit::Automate, edits[2].mKind);
    EXPECT_FLOAT_EQ(0.0f, edits[2].mValue);
    EXPECT_EQ(HostEdit::EndEdit, edits[3].mKind);
    for (const HostEdit& e : edits) EXPECT_EQ(PAR_INTERVAL, e.mIndex);
    EXPECT_EQ(-24.0, Plain(PAR_INTERVAL));
}

// A double click restores the default as one gesture of its own; the release that
// follows it tells the host nothing more.
TEST_F(PanelTest, DoubleClickRestoresInsideOneGesture) {
    const double initial = Plain(PAR_INTERVAL);
    int x = FADER_LEFT + HALF_HANDLE + TRAVEL / 4;
    mEditor->OnMouseDown(x, FADER_Y, &mLeft);
    mEditor->OnMouseUp(x, FADER_Y, &mLeft);
    ASSERT_NE(initial, Plain(PAR_INTERVAL));
    mSession.mEdits.clear();
    mEditor->OnMouseDblClick(x, FADER_Y, &mLeft);
    mEditor->OnMouseDrag(x + 40, FADER_Y, &mLeft);  // the hand shakes before letting go
    mEditor->OnMouseUp(x + 40, FADER_Y, &mLeft);
    const std::vector<HostEdit>& edits = mSession.mEdits;
    ASSERT_EQ(3u, edits.size());
    EXPECT_EQ(HostEdit::BeginEdit, edits[0].mKind);
    EXPECT_EQ(HostEdit::Automate, edits[1].mKind);
    EXPECT_EQ(HostEdit::EndEdit, edits[2].mKind);
    for (const HostEdit& e : edits) EXPECT_EQ(PAR_INTERVAL, e.mIndex);
    EXPECT_EQ(initial, Plain(PAR_INTERVAL));
}

// Losing the pointer in the middle of a drag (another window grabbed it) ends the
// gesture at once; nothing after it moves the fader or tells the host more.
TEST_F(PanelTest, LostCaptureEndsTheGesture) {
    int x = FADER_LEFT + HALF_HANDLE + TRAVEL / 2;
    mEditor->OnMouseDown(x, FADER_Y, &mLeft);
    mEditor->OnMouseDrag(x + 20, FADER_Y, &mLeft);
    mEditor->OnMouseCaptureLost();
    EXPECT_EQ(-1, mEditor->MouseCapture());
    const double value = Plain(PAR_INTERVAL);
    mEditor->OnMouseDrag(x + 60, FADER_Y, &mLeft);
    mEditor->OnMouseUp(x + 60, FADER_Y, &mLeft);  // a release that still finds its way here
    mEditor->OnMouseCaptureLost();
    EXPECT_EQ(value, Plain(PAR_INTERVAL));
    std::string kinds;
    for (const HostEdit& e : mSession.mEdits) kinds += "bae"[e.mKind];
    EXPECT_EQ("baae", kinds);
}

// A mute LED click toggles its parameter and tells the host.
TEST_F(PanelTest, SwitchClickToggles) {
    IBounds led = Bound(MAIN_MUTE)->Rect();
    mSession.Click(led.L + 3, led.T + 3);
    EXPECT_EQ(1.0, Plain(MAIN_MUTE));
    mSession.Click(led.L + 3, led.T + 3);
    EXPECT_EQ(0.0, Plain(MAIN_MUTE));
    ASSERT_EQ(6u, mSession.mEdits.size());
    EXPECT_FLOAT_EQ(1.0f, mSession.mEdits[1].mValue);
    EXPECT_FLOAT_EQ(0.0f, mSession.mEdits[4].mValue);
}

// The wheel steps a list one value per notch and wraps; double click restores the first value.
TEST_F(PanelTest, ListWheelAndDoubleClick) {
    IBounds list = Bound(MAIN_CHAN)->Rect();
    mSession.Wheel(list.L + 5, list.T + 5, 3);
    EXPECT_EQ(4.0, Plain(MAIN_CHAN));
    mSession.Wheel(list.L + 5, list.T + 5, -4);
    EXPECT_EQ(16.0, Plain(MAIN_CHAN));

    mEditor->OnMouseDblClick(list.L + 5, list.T + 5, &mLeft);
    EXPECT_EQ(1.0, Plain(MAIN_CHAN)) << "back to the value the editor first showed";

    mSession.Drag(list.L + 5, list.T + 5, list.L + 5, list.T + 5 - 32);  // two heights up: +2/8
    EXPECT_DOUBLE_EQ(0.25, Bound(MAIN_CHAN)->Value());
    EXPECT_EQ(5.0, Plain(MAIN_CHAN));
}

// Every list's wheel visits every entry once per turn, in both directions, and wraps
// between the first and the last.
TEST_F(PanelTest, EveryListWheelsThroughEveryEntry) {
    const int LIST_PARAMS[] = {2, 3, 6, 9, 12, 22, 23, 26, 36, 37, 40, 39};
    for (int param : LIST_PARAMS) {
        IParameter* p = mSession.Plug()->Param(param);
        IControl* list = Bound(param);
        ASSERT_TRUE(p && list) << param;
        int n = int(p->Max() - p->Min()) + 1;
        IBounds r = list->Rect();
        for (int direction : {1, -1}) {
            const double start = Plain(param);
            std::vector<double> seen;
            for (int i = 0; i < n; ++i) {
                mSession.Wheel(r.L + 5, r.T + 5, direction);
                seen.push_back(Plain(param));
            }
            for (int i = 1; i < n; ++i) {
                double expected = seen[i - 1] + direction;
                if (expected > p->Max()) expected = p->Min();
                if (expected < p->Min()) expected = p->Max();
                EXPECT_EQ(expected, seen[i]) << p->Name() << (direction > 0 ? " up" : " down") << " step " << i;
            }
            EXPECT_EQ(start, seen.back()) << p->Name() << ": a whole turn comes back to the start";
        }
    }
}

// Read-outs change at the next dirty check, not before, and show whole numbers.
TEST_F(PanelTest, ReadOutsFollowLazily) {
    mSession.Tick();
    ITextControl* readOut = ReadOutOf(V1_INT1);
    EXPECT_STREQ("0", readOut->Text());
    IControl* fader = Bound(V1_INT1);
    mEditor->OnMouseDown(FADER_LEFT + HALF_HANDLE + TRAVEL / 4, fader->Rect().T + 5, &mLeft);
    mEditor->OnMouseUp(0, 0, &mLeft);
    EXPECT_EQ(-12.0, Plain(V1_INT1));
    EXPECT_STREQ("0", readOut->Text());
    IBounds drawn;
    ASSERT_TRUE(mSession.Tick(&drawn));
    EXPECT_STREQ("-12", readOut->Text());
    EXPECT_TRUE(drawn.Intersects(readOut->Rect()));

    fader->Hide(true);
    fader->GrayOut(true);
    EXPECT_FALSE(readOut->IsHidden());
    mSession.Tick();
    EXPECT_TRUE(readOut->IsHidden());
    EXPECT_TRUE(readOut->IsGrayed());
    fader->Hide(false);
    fader->GrayOut(false);
    mSession.Tick();
    EXPECT_FALSE(readOut->IsHidden());
    EXPECT_FALSE(readOut->IsGrayed());
}

// Host automation and a restored state move the controls without talking back to the host.
TEST_F(PanelTest, HostAndStateReachControlsWithoutEcho) {
    mSession.Tick();
    std::string error;
    ASSERT_TRUE(mSession.Set("v1Int1", "7", &error)) << error;
    EXPECT_NEAR(31.0 / 48.0, Bound(V1_INT1)->Value(), 1e-6);
    IBounds drawn;
    EXPECT_TRUE(mSession.Tick(&drawn));
    EXPECT_STREQ("7", ReadOutOf(V1_INT1)->Text());

    void* data = nullptr;
    intptr_t size = Dispatch(vst2::effGetChunk, 0, &data);
    ASSERT_GT(size, 0);
    std::vector<unsigned char> saved(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    ASSERT_TRUE(mSession.Set("MainChan", "9", &error)) << error;
    ASSERT_TRUE(mSession.Set("v1Int1", "-3", &error)) << error;
    mSession.Tick();
    vst2::AEffect* e = mSession.Plug()->Effect();
    EXPECT_EQ(1, e->dispatcher(e, vst2::effSetChunk, 0, static_cast<intptr_t>(saved.size()), saved.data(), 0.0f));
    EXPECT_NEAR(31.0 / 48.0, Bound(V1_INT1)->Value(), 1e-9);
    EXPECT_EQ(0.0, Bound(MAIN_CHAN)->Value());
    mSession.Tick();
    EXPECT_STREQ("7", ReadOutOf(V1_INT1)->Text());
    EXPECT_TRUE(mSession.mEdits.empty()) << "nothing echoed to the host";
}

// Every instance draws from the one decoded copy of each image.
TEST(PanelSharingTest, TwoInstancesShareDecodedImages) {
    EditorSession first;
    EditorSession second;
    auto* a = dynamic_cast<IBitmapControl*>(first.Editor()->GetControl(0));
    auto* b = dynamic_cast<IBitmapControl*>(second.Editor()->GetControl(0));
    ASSERT_TRUE(a && b);
    EXPECT_NE(nullptr, a->Image().mpBitmap);
    EXPECT_EQ(a->Image().mpBitmap, b->Image().mpBitmap);
    EXPECT_NE(first.Editor(), second.Editor());
}

}  // namespace
