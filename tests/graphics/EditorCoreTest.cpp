// The graphics core: rectangles, hit testing, the dirty check and draw cycle, frame
// arithmetic, the image cache and missing images.
#include <gtest/gtest.h>

#include "graphics/IBitmapControl.h"
#include "graphics/ISwitchControl.h"
#include "graphics/ImageCache.h"
#include "src/Tamborelle.h"
#include "tests/graphics/EditorTestSupport.h"
#include "tools/tamborelle-snapshot/EditorSession.h"

namespace {

const uint32_t RED = 0xFFFF0000, GREEN = 0xFF00FF00, BLUE = 0xFF0000FF;

class EditorCoreTest : public ::testing::Test {
protected:
    EditorSession mSession;  // a plug-in for the controls to belong to
    RecordingEditor mEditor{mSession.Plug(), 100, 80};

    IBitmapControl* AddBox(int x, int y, int w, int h, uint32_t pixel, int param = -1) {
        auto* c = new IBitmapControl(mSession.Plug(), x, y, param, SolidImage(&mEditor, w, h, pixel));
        mEditor.AttachControl(c);
        return c;
    }
    uint32_t Pixel(int x, int y) { return mEditor.GetPoint(x, y).ToPixel(); }
    void CleanAll() {
        IBounds all(0, 0, 100, 80);
        mEditor.Draw(&all);
    }
};

// Touching on the left/top counts as intersecting; only all-zero rectangles are empty.
TEST(IBoundsTest, IntersectionUnionAndEmptiness) {
    IBounds a(0, 0, 10, 10), right(10, 0, 20, 10), below(0, 10, 10, 20), far(11, 0, 20, 10);
    EXPECT_TRUE(a.Intersects(right));
    EXPECT_TRUE(a.Intersects(below));
    EXPECT_FALSE(a.Intersects(far));
    EXPECT_FALSE(a.Intersects(IBounds()));
    EXPECT_FALSE(IBounds(5, 5, 5, 5).Empty());
    EXPECT_EQ(IBounds(), a.Intersect(far));
    EXPECT_EQ(IBounds(10, 0, 10, 10), a.Intersect(right));

    IBounds u;
    u.Union(IBounds(5, 6, 7, 8));
    EXPECT_EQ(IBounds(5, 6, 7, 8), u);
    u.Union(IBounds());
    u.Union(IBounds(1, 9, 3, 12));
    EXPECT_EQ(IBounds(1, 6, 7, 12), u);
}

// The topmost usable control wins, the background is found last, capture beats position.
TEST_F(EditorCoreTest, HitTestOrder) {
    IBitmapControl* lower = AddBox(10, 10, 40, 40, RED);
    IBitmapControl* upper = AddBox(20, 20, 10, 10, GREEN);
    ASSERT_TRUE(mEditor.AttachBackground(100, "img/bg.png"));  // after the others, still index 0
    EXPECT_EQ(3, mEditor.NumControls());
    EXPECT_EQ(lower, mEditor.GetControl(1));
    EXPECT_EQ(upper, mEditor.GetControl(2));

    EXPECT_EQ(2, mEditor.GetMouseControlIndex(25, 25));
    EXPECT_EQ(1, mEditor.GetMouseControlIndex(12, 12));
    EXPECT_EQ(0, mEditor.GetMouseControlIndex(70, 70));
    EXPECT_EQ(-1, mEditor.GetMouseControlIndex(500, 500));
    EXPECT_EQ(1, mEditor.GetMouseControlIndex(49, 49));  // right and bottom edges excluded
    EXPECT_EQ(0, mEditor.GetMouseControlIndex(50, 50));

    upper->Hide(true);
    EXPECT_EQ(1, mEditor.GetMouseControlIndex(25, 25));
    lower->GrayOut(true);
    EXPECT_EQ(0, mEditor.GetMouseControlIndex(25, 25));

    upper->SetTargetRect(IBounds());
    upper->Hide(false);
    EXPECT_EQ(0, mEditor.GetMouseControlIndex(0, 0)) << "an all-zero target is never hit";
}

// A captured control keeps drag and mouse-up even after it is hidden; repeats are swallowed.
TEST_F(EditorCoreTest, CaptureAndDrag) {
    struct Probe : IBitmapControl {
        using IBitmapControl::IBitmapControl;
        int drags = 0, ups = 0, lastDX = 0;
        void OnMouseDrag(int, int, int dX, int, const IPointerState*) override { ++drags, lastDX = dX; }
        void OnMouseUp(int, int, const IPointerState*) override { ++ups; }
    };
    auto* probe = new Probe(mSession.Plug(), 0, 0, -1, SolidImage(&mEditor, 10, 10, RED));
    mEditor.AttachControl(probe);
    IPointerState left(true);
    mEditor.OnMouseDown(5, 5, &left);
    EXPECT_EQ(0, mEditor.MouseCapture());
    probe->Hide(true);
    EXPECT_EQ(0, mEditor.GetMouseControlIndex(90, 90));
    mEditor.OnMouseDrag(9, 5, &left);
    mEditor.OnMouseDrag(9, 5, &left);
    EXPECT_EQ(1, probe->drags);
    EXPECT_EQ(4, probe->lastDX);
    mEditor.OnMouseUp(90, 90, &left);
    EXPECT_EQ(1, probe->ups);
    EXPECT_EQ(-1, mEditor.MouseCapture());

    mEditor.OnMouseDrag(20, 20, &left);  // nothing captured
    EXPECT_EQ(1, probe->drags);
    mEditor.OnMouseUp(50, 50, &left);  // no control there, still resets
    EXPECT_EQ(-1, mEditor.MouseCapture());
    EXPECT_FALSE(mEditor.LastClickWasRight());
}

// The dirty region is the union of dirty controls; drawing cleans everything it covers.
TEST_F(EditorCoreTest, DirtyRegionsAndStrictDrawing) {
    RecordingEditor empty(mSession.Plug(), 10, 10);
    empty.PrepareDraw();
    IBounds r(0, 0, 10, 10);
    EXPECT_TRUE(empty.Draw(&r));
    EXPECT_TRUE(empty.mPresented.empty()) << "no controls: nothing presented";

    mEditor.PrepareDraw();
    IBitmapControl* a = AddBox(0, 0, 10, 10, RED);
    IBitmapControl* b = AddBox(50, 40, 10, 10, GREEN);
    IBitmapControl* hidden = AddBox(20, 20, 10, 10, BLUE);
    hidden->Hide(true);
    IBounds dirty;
    ASSERT_TRUE(mEditor.IsDirty(&dirty));
    EXPECT_EQ(IBounds(0, 0, 60, 50), dirty);
    mEditor.Draw(&dirty);
    EXPECT_EQ(RED, Pixel(5, 5));
    EXPECT_EQ(GREEN, Pixel(55, 45));
    EXPECT_NE(BLUE, Pixel(25, 25)) << "hidden controls are never drawn";
    ASSERT_EQ(1u, mEditor.mPresented.size());
    EXPECT_EQ(dirty, mEditor.mPresented[0]);

    // Hide() asks for one more cycle; after that all are clean.
    IBounds again;
    EXPECT_TRUE(mEditor.IsDirty(&again));
    EXPECT_EQ(hidden->Rect(), again);
    mEditor.Draw(&again);
    IBounds none;
    EXPECT_FALSE(mEditor.IsDirty(&none));
    EXPECT_TRUE(none.Empty());

    // Only b's rectangle is repainted, and nothing outside it is touched.
    b->SetValueFromPlug(0.5);  // first value: becomes the default and marks dirty
    IBounds one;
    ASSERT_TRUE(mEditor.IsDirty(&one));
    EXPECT_EQ(b->Rect(), one);
    mEditor.mDrawn.clear();
    mEditor.Draw(&one);
    ASSERT_EQ(1u, mEditor.mDrawn.size());
    EXPECT_EQ(b->Rect(), mEditor.mDrawn[0].mDest);
    (void)a;
}

// Outside strict drawing each dirty control repaints what overlaps it, hidden or not.
TEST_F(EditorCoreTest, NonStrictDrawing) {
    mEditor.PrepareDraw();
    ASSERT_TRUE(mEditor.AttachBackground(100, "img/bg.png"));
    IBitmapControl* a = AddBox(0, 0, 10, 10, RED);
    AddBox(5, 5, 10, 10, GREEN);
    IBitmapControl* far = AddBox(60, 60, 5, 5, BLUE);
    mEditor.SetStrictDrawing(false);
    IBounds all;
    mEditor.IsDirty(&all);
    mEditor.Draw(&all);
    mEditor.IsDirty(&all);  // background dirty: everything drawn and cleaned
    IBounds none;
    EXPECT_FALSE(mEditor.IsDirty(&none));

    a->Hide(true);
    mEditor.mDrawn.clear();
    IBounds r;
    mEditor.IsDirty(&r);
    mEditor.Draw(&r);
    ASSERT_EQ(3u, mEditor.mDrawn.size()) << "background, the hidden dirty control itself, its neighbour";
    EXPECT_EQ(a->Rect(), mEditor.mDrawn[1].mDest);
    for (const DrawnImage& d : mEditor.mDrawn) EXPECT_NE(far->Rect(), d.mDest);
}

// Frames count from 1; frame f of N starts at trunc(H * (f - 1) / N + 0.5).
TEST_F(EditorCoreTest, DrawImageFrameRows) {
    mEditor.PrepareDraw();
    IImage five = SolidImage(&mEditor, 4, 100, RED, 5);
    IImage single = SolidImage(&mEditor, 4, 100, RED, 1);
    IBounds dest(0, 0, 4, 20);
    mEditor.DrawImageFrame(&five, &dest, 1, nullptr);
    mEditor.DrawImageFrame(&five, &dest, 3, nullptr);
    mEditor.DrawImageFrame(&five, &dest, 5, nullptr);
    mEditor.DrawImageFrame(&single, &dest, 4, nullptr);
    IImage three = SolidImage(&mEditor, 4, 10, RED, 3);
    mEditor.DrawImageFrame(&three, &dest, 2, nullptr);
    ASSERT_EQ(5u, mEditor.mDrawn.size());
    EXPECT_EQ(0, mEditor.mDrawn[0].mSrcY);
    EXPECT_EQ(40, mEditor.mDrawn[1].mSrcY);
    EXPECT_EQ(80, mEditor.mDrawn[2].mSrcY);
    EXPECT_EQ(0, mEditor.mDrawn[3].mSrcY);
    EXPECT_EQ(3, mEditor.mDrawn[4].mSrcY);  // 3.33 + 0.5 truncated
}

TEST_F(EditorCoreTest, FrameRateDefault) {
    EXPECT_EQ(24, RecordingEditor(mSession.Plug(), 1, 1, 0).FrameRate());
    EXPECT_EQ(24, RecordingEditor(mSession.Plug(), 1, 1, -5).FrameRate());
    EXPECT_EQ(60, RecordingEditor(mSession.Plug(), 1, 1, 60).FrameRate());
}

// Images are decoded once per process; a missing one leaves an image that draws nothing.
TEST_F(EditorCoreTest, ImageCacheAndMissingImages) {
    RecordingEditor other(mSession.Plug(), 10, 10);
    IImage a, b;
    ASSERT_TRUE(mEditor.LoadImage(&a, 101, "img/fader-handle.png", 1));
    ASSERT_TRUE(other.LoadImage(&b, 101, "img/fader-handle.png", 1));
    EXPECT_EQ(a.mpBitmap, b.mpBitmap);
    EXPECT_EQ(0, mEditor.mLoads + other.mLoads) << "the plug-in decoded it already";
    EXPECT_EQ(12, a.mWidth);

    int cached = ImageCache::Count();
    mEditor.mMissing.insert(555);
    IImage missing;
    EXPECT_FALSE(mEditor.LoadImage(&missing, 555, "img/none.png", 2));
    EXPECT_EQ(nullptr, missing.mpBitmap);
    EXPECT_EQ(cached, ImageCache::Count());

    mEditor.PrepareDraw();
    IBounds all(0, 0, 100, 80);
    AddBox(0, 0, 100, 80, RED);
    auto* ghost = new ISwitchControl(mSession.Plug(), 10, 10, -1, missing);
    mEditor.AttachControl(ghost);
    ghost->SetValue(1.0);
    mEditor.Draw(&all);
    EXPECT_EQ(RED, Pixel(10, 10)) << "a control over a missing image draws nothing";

    cached = ImageCache::Count();
    IImage scaled;
    mEditor.ScaleImage(&scaled, &a, 24, 24);
    EXPECT_EQ(24, scaled.mWidth);
    EXPECT_EQ(cached + 1, ImageCache::Count());
    mEditor.ReleaseImage(&scaled);
    EXPECT_EQ(cached, ImageCache::Count());
    mEditor.ReleaseImage(&scaled);  // no longer cached: left alone
    EXPECT_EQ(cached, ImageCache::Count());
}

// An editor that cannot have the Snap LED's picture, as if its resource had gone.
struct Lossy : RecordingEditor {
    using RecordingEditor::RecordingEditor;
    bool LoadImage(IImage* out, int id, const char* name, int frames) override {
        if (id == 104) {
            *out = IImage(nullptr, 0, 0, frames);
            return false;
        }
        return RecordingEditor::LoadImage(out, id, name, frames);
    }
};

// A missing picture means the plug-in builds no editor from those graphics (and frees them).
TEST(EditorMissingImageTest, EditorNotBuiltWithoutItsImages) {
    EditorSession session;
    IEffectEditor* before = session.Plug()->Graphics();
    EXPECT_FALSE(session.Plug()->BuildEditorInto(nullptr));
    EXPECT_FALSE(session.Plug()->BuildEditorInto(new Lossy(session.Plug())));
    EXPECT_EQ(before, session.Plug()->Graphics()) << "the working editor stays";
}

// An offered editor costs the host nothing until it is shown: no controls, no bitmap. When
// its pictures turn out to be missing then, effEditOpen answers 0 and everything the host
// saw of the editor stays as it was; once they are there, the next open lays it out.
TEST(EditorMissingImageTest, OfferedEditorFailsToOpenWithoutItsImages) {
    EditorSession session;
    Tamborelle* plug = session.Plug();
    vst2::AEffect* e = plug->Effect();
    auto* lossy = new Lossy(plug);
    plug->OfferEditor(lossy);
    EXPECT_EQ(0, lossy->NumControls());
    EXPECT_EQ(nullptr, lossy->DrawBitmap());
    EXPECT_EQ(0x1139, e->flags);

    int parent = 0;
    EXPECT_EQ(0, e->dispatcher(e, vst2::effEditOpen, 0, 0, &parent, 0.0f));
    EXPECT_FALSE(plug->PrepareEditor());
    EXPECT_EQ(0, lossy->NumControls()) << "nothing half laid out";
    vst2::ERect* rect = nullptr;
    EXPECT_EQ(1, e->dispatcher(e, vst2::effEditGetRect, 0, 0, &rect, 0.0f));
    ASSERT_NE(nullptr, rect);
    EXPECT_EQ(410, rect->right);
    EXPECT_EQ(1, e->dispatcher(e, vst2::effEditClose, 0, 0, nullptr, 0.0f));

    // The controls keep as defaults the values of the moment the editor was offered.
    e->setParameter(e, 2, 1.0f);
    auto* editor = new RecordingEditor(plug);
    plug->OfferEditor(editor);
    e->setParameter(e, 2, 0.0f);
    ASSERT_TRUE(plug->PrepareEditor());
    EXPECT_EQ(1 + 12 * 2 + 13 + 12, editor->NumControls());
    ASSERT_NE(nullptr, editor->DrawBitmap());
    for (int i = 0; i < editor->NumControls(); ++i) {
        IControl* c = editor->GetControl(i);
        if (c->ParamIdx() != 2) continue;
        EXPECT_EQ(0.0, c->Value()) << "shows the current value";
        EXPECT_EQ(1.0, c->DefaultValue()) << "restores the value it was offered with";
    }
}

}  // namespace
