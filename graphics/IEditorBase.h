// The editor graphics as the plug-in base sees them: what it calls to keep the
// controls in step with the parameters and to open and close the window.
#pragma once

class IEditorBase {
public:
    virtual ~IEditorBase() = default;

    // Creates the draw bitmap; called once when the graphics are attached.
    virtual void PrepareDraw() = 0;
    // Shows a parameter's value in its bound controls, plain or normalized.
    virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
    // Opens the window as a child of the host's; returns it, or null.
    virtual void* OpenWindow(void* parent) = 0;
    virtual void CloseWindow() = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};
