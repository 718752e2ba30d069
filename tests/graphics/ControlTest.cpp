// The control classes on their own: values from the plug-in, the dirty protocol, the
// gestures of each class and the observer link.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/IObserverInterface.h"
#include "graphics/IParamTextControl.h"
#include "graphics/ISliderControl.h"
#include "graphics/ISwitchControl.h"
#include "graphics/ITextControl.h"
#include "src/Tamborelle.h"
#include "tests/graphics/EditorTestSupport.h"
#include "tools/tamborelle-snapshot/EditorSession.h"

namespace {

class ControlTest : public ::testing::Test {
protected:
    EditorSession mSession;
    RecordingEditor mEditor{mSession.Plug(), 100, 100};
    IPointerState mLeft{true};
    IPointerState mNone;

    IImage Strip(int frames) { return SolidImage(&mEditor, 10, 10 * frames, 0xFF808080, frames); }
};

// The first value from the plug-in becomes the default and always marks the control dirty.
TEST_F(ControlTest, ValueFromPlugAndDefault) {
    ISwitchControl c(nullptr, 0, 0, -1, Strip(2));
    c.OnMouseDblClick(0, 0, &mLeft);
    EXPECT_EQ(0.0, c.Value()) << "no default yet: a double click does nothing";
    c.SetClean();
    c.SetValueFromPlug(0.0);
    EXPECT_TRUE(c.IsDirty()) << "first call marks dirty even with an unchanged value";
    EXPECT_EQ(0.0, c.DefaultValue());
    c.SetClean();
    c.SetClean();
    c.SetValueFromPlug(0.0);
    EXPECT_FALSE(c.IsDirty());
    c.SetValueFromPlug(1.0);
    EXPECT_TRUE(c.IsDirty());
    c.SetClean();
    EXPECT_TRUE(c.IsDirty()) << "a value from the plug-in is redrawn once more";
    c.SetClean();
    EXPECT_FALSE(c.IsDirty());
    c.OnMouseDblClick(0, 0, &mLeft);
    EXPECT_EQ(0.0, c.Value());
}

// The plain wheel steps by 0.01 (0.001 with a modifier) and only SetDirty clamps.
TEST_F(ControlTest, WheelAndClamp) {
    ISliderControl s(nullptr, 0, 0, 100, -1, Strip(1), 1);
    s.OnMouseWheel(0, 0, &mNone, 3);
    EXPECT_NEAR(0.03, s.Value(), 1e-12);
    IPointerState ctrl(false, false, false, true);
    s.OnMouseWheel(0, 0, &ctrl, -1);
    EXPECT_NEAR(0.029, s.Value(), 1e-12);
    s.OnMouseWheel(0, 0, &mNone, 500);
    EXPECT_EQ(1.0, s.Value());
    s.SetValue(std::nan(""));
    s.SetDirty(false);
    EXPECT_EQ(0.0, s.Value());
}

// A click steps to the next frame and wraps; one frame toggles 0/1.
TEST_F(ControlTest, SwitchCycles) {
    ISwitchControl one(nullptr, 0, 0, -1, Strip(1));
    one.OnMouseDown(0, 0, &mLeft);
    EXPECT_EQ(1.0, one.Value());
    one.OnMouseDown(0, 0, &mLeft);
    EXPECT_EQ(0.0, one.Value());

    ISwitchControl three(nullptr, 0, 0, -1, Strip(3));
    EXPECT_EQ(IBounds(0, 0, 10, 10), three.Rect());
    double seen[4];
    for (double& v : seen) {
        three.OnMouseDown(0, 0, &mLeft);
        v = three.Value();
    }
    EXPECT_EQ(0.5, seen[0]);
    EXPECT_EQ(1.0, seen[1]);
    EXPECT_EQ(0.0, seen[2]);
    EXPECT_EQ(0.5, seen[3]);
    three.SetValue(0.49);
    EXPECT_EQ(2, three.FrameForValue());
    three.SetValue(0.24);
    EXPECT_EQ(1, three.FrameForValue());
}

// The handle's centre follows the pointer over the track minus the handle.
TEST_F(ControlTest, SliderSnapsAndDrawsHandle) {
    IImage handle = SolidImage(&mEditor, 12, 12, 0xFFFFFFFF);
    ISliderControl h(nullptr, 120, 189, 184, -1, handle, 1);
    EXPECT_EQ(IBounds(120, 189, 304, 201), h.Rect());
    h.OnMouseDown(120 + 6 + 43, 195, &mLeft);
    EXPECT_DOUBLE_EQ(0.25, h.Value());
    EXPECT_EQ(IBounds(163, 189, 175, 201), h.HandleRect());
    h.OnMouseDrag(0, 195, 0, 0, &mLeft);
    EXPECT_EQ(0.0, h.Value());
    h.OnMouseDrag(1000, 195, 0, 0, &mLeft);
    EXPECT_EQ(1.0, h.Value());
    EXPECT_EQ(IBounds(292, 189, 304, 201), h.HandleRect());

    ISliderControl v(nullptr, 0, 0, 112, -1, handle, 0);
    EXPECT_EQ(IBounds(0, 0, 12, 112), v.Rect());
    v.OnMouseDown(5, 6, &mLeft);
    EXPECT_EQ(1.0, v.Value()) << "top of a vertical track is the maximum";
    EXPECT_EQ(0, v.HandleRect().T);
}

// Dragging and the wheel wrap at both ends of a list; steps follow the parameter.
TEST_F(ControlTest, ParamTextDragAndWheel) {
    ITextStyle style;
    // Parameter 2 "MainChan": channels 1..16, one value per wheel notch.
    IParamTextControl list(mSession.Plug(), IBounds(0, 0, 60, 16), 2, style);
    list.OnMouseWheel(0, 0, &mNone, 1);
    EXPECT_NEAR(1.0 / 15.0, list.Value(), 1e-12);
    list.OnMouseWheel(0, 0, &mNone, -2);
    EXPECT_EQ(1.0, list.Value()) << "below the first value wraps to the last";
    list.OnMouseWheel(0, 0, &mNone, 1);
    EXPECT_EQ(0.0, list.Value()) << "past the last value wraps to the first";

    list.OnMouseDrag(0, 0, 0, -16, &mNone);  // one height upward
    EXPECT_DOUBLE_EQ(1.0 / 8.0, list.Value());
    list.OnMouseDrag(0, 0, 0, 32, &mNone);
    EXPECT_EQ(1.0, list.Value()) << "dragged below 0 jumps to 1";
    list.OnMouseDrag(0, 0, 0, 16, &mNone);
    EXPECT_DOUBLE_EQ(1.0 - 1.0 / 8.0, list.Value()) << "and continues down from there";

    IParamTextControl free(nullptr, IBounds(0, 0, 60, 16), -1, style);
    IPointerState shift(false, false, true);
    free.OnMouseWheel(0, 0, &shift, 2);
    EXPECT_DOUBLE_EQ(0.02, free.Value()) << "without a parameter the modifiers are ignored";
}

// Text controls: same text is not a change; the grayed colour is 128 darker.
TEST_F(ControlTest, TextControl) {
    ITextControl t(nullptr, IBounds(0, 0, 10, 10), ITextStyle("Arial", 14, IArgb(255, 200, 100, 129), 0, 0), "a");
    EXPECT_EQ(IArgb(255, 72, 0, 1), t.GrayedColor());
    t.SetClean();
    t.SetTextFromPlug("a");
    EXPECT_FALSE(t.IsDirty());
    t.SetTextFromPlug("b");
    EXPECT_TRUE(t.IsDirty());
    EXPECT_STREQ("b", t.Text());
    t.GrayOut(true);
    EXPECT_EQ(t.GrayedColor(), t.Style().mColor);
    EXPECT_FLOAT_EQ(0.25f, t.Blend().mOpacity);
    t.GrayOut(false);
    EXPECT_EQ(t.NormalColor(), t.Style().mColor);
}

// Observers hear about changes once, lazily, and only when something changed.
TEST_F(ControlTest, ObserverLink) {
    struct Counter : IObserverInterface {
        int updates = 0;
        void Update() override { ++updates; }
    } counter;
    ISwitchControl c(nullptr, 0, 0, -1, Strip(2));
    c.Attach(&counter);
    c.Attach(&counter);
    EXPECT_EQ(1, c.NumObservers());
    c.Notify();
    EXPECT_EQ(0, counter.updates);
    c.OnMouseDown(0, 0, &mLeft);
    c.Hide(true);
    EXPECT_EQ(0, counter.updates);
    c.Notify();
    c.Notify();
    EXPECT_EQ(1, counter.updates);
}

}  // namespace
