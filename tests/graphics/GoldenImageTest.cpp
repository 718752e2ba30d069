// The panel rendered headless against committed reference pictures. Pixels outside text
// controls must match exactly; inside text controls each colour channel may differ by up
// to TEXT_TOLERANCE levels, which absorbs anti-aliasing differences between FreeType
// builds but not a missing, moved or different text. The references are made with
// tamborelle-snapshot (see the README) and need the Liberation Sans face from
// fonts-liberation; with another face behind "Arial" the comparison is skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "graphics/IEditorWindow.h"
#include "graphics/ITextControl.h"
#include "images/PngLoader.h"
#include "raster/RasterBitmap.h"
#include "tools/tamborelle-snapshot/EditorSession.h"

namespace {

const int TEXT_TOLERANCE = 40;

// The gestures behind golden/panel-gestures.png, in tamborelle-snapshot's option form.
const std::vector<std::pair<std::string, std::string>> GESTURES = {
    {"--set", "Tonic=D"},     {"--set", "Snap=1"},    {"--click", "365,133"},        {"--drag", "200,195:280,195"},
    {"--wheel", "130,445,2"}, {"--set", "v2Int3=-7"}, {"--drag", "140,609:140,590"},
};

void ExpectMatchesGolden(EditorSession& session, const char* name) {
    IEditorWindow* editor = static_cast<IEditorWindow*>(session.Editor());
    ASSERT_NE(nullptr, editor);
    if (std::string(editor->TextFontFamily()) != "Liberation Sans")
        GTEST_SKIP() << "\"Arial\" resolves to \"" << editor->TextFontFamily()
                     << "\"; the references are drawn with Liberation Sans (fonts-liberation)";

    std::string path = std::string(TAMBORELLE_GOLDEN_DIR) + "/" + name;
    RasterBitmap* golden = LoadPngFromFile(path.c_str(), nullptr);
    ASSERT_NE(nullptr, golden) << "cannot read " << path;
    const RasterBitmap* actual = session.Bitmap();
    ASSERT_EQ(golden->GetWidth(), actual->GetWidth());
    ASSERT_EQ(golden->GetHeight(), actual->GetHeight());

    std::vector<IBounds> textRects;
    for (int i = 0; i < editor->NumControls(); ++i)
        if (dynamic_cast<ITextControl*>(editor->GetControl(i))) textRects.push_back(editor->GetControl(i)->Rect());

    int exactMisses = 0, textMisses = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < actual->GetHeight(); ++y) {
        for (int x = 0; x < actual->GetWidth(); ++x) {
            RasterPixel a = actual->GetPixelData()[y * actual->GetRowSpan() + x] & 0xFFFFFF;
            RasterPixel g = golden->GetPixelData()[y * golden->GetRowSpan() + x] & 0xFFFFFF;
            if (a == g) continue;
            bool inText = false;
            for (const IBounds& r : textRects) inText = inText || r.Contains(x, y);
            bool close = std::abs(int(RasterRed(a)) - int(RasterRed(g))) <= TEXT_TOLERANCE &&
                         std::abs(int(RasterGreen(a)) - int(RasterGreen(g))) <= TEXT_TOLERANCE &&
                         std::abs(int(RasterBlue(a)) - int(RasterBlue(g))) <= TEXT_TOLERANCE;
            int& misses = inText ? textMisses : exactMisses;
            if (inText && close) continue;
            if (misses++ == 0 && firstX < 0) firstX = x, firstY = y;
        }
    }
    delete golden;
    if (exactMisses || textMisses) {
        std::string out = ::testing::TempDir() + "actual-" + name;
        WritePngRgb(actual, out.c_str());
        ADD_FAILURE() << exactMisses << " pixels differ outside text, " << textMisses
                      << " inside text beyond the tolerance; first at (" << firstX << ", " << firstY
                      << "); the rendering is in " << out;
    }
}

// The panel as it opens, every control at its default.
TEST(GoldenImageTest, DefaultPanel) {
    EditorSession session;
    ASSERT_TRUE(session.Tick());
    ExpectMatchesGolden(session, "panel-default.png");
}

// The panel after host settings, a click, drags and the wheel, drawn incrementally.
TEST(GoldenImageTest, PanelAfterGestures) {
    EditorSession session;
    session.Tick();
    for (const auto& g : GESTURES) {
        std::string error;
        ASSERT_TRUE(session.Apply(g.first, g.second, &error)) << error;
    }
    session.Tick();
    ExpectMatchesGolden(session, "panel-gestures.png");
}

}  // namespace
