// What the plug-in base needs from its editor: the base owns one through this
// interface and never sees the graphics behind it, so the framework builds and
// tests without any drawing code. The editor graphics implement it. Thread tags as in
// framework/IEffectBase.h.
#pragma once

// Keys a host passes on to the editor, in the editor's own terms; a character key
// comes with its character.
enum IEditKey : int {
    EditKeyNone = 0,
    EditKeyCharacter,
    EditKeyBackspace,
    EditKeyDelete,
    EditKeyReturn,
    EditKeyEscape,
    EditKeyLeft,
    EditKeyRight,
    EditKeyUp,
    EditKeyDown,
    EditKeyHome,
    EditKeyEnd,
    EditKeyPageUp,
    EditKeyPageDown,
    EditKeyTab,
};

class IEffectEditor {
public:
    // [any thread] The base deletes its editor with itself.
    virtual ~IEffectEditor() = default;

    // [GUI thread, lock held] Creates what drawing needs; called once, before the editor is
    // first shown (IEffectBase::PrepareEditor), not when it is attached.
    virtual void PrepareDraw() = 0;
    // [any thread, lock held] A parameter changed outside the editor: the
    // controls bound to it show `value`, which is plain unless `normalized`.
    virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
    // [GUI thread, lock held] Opens the editor window inside the host's `parent`;
    // the window, or null when there is none.
    virtual void* OpenWindow(void* parent) = 0;
    // [GUI thread] Closes the window; the editor itself stays. The host's request
    // holds the lock; a window closed by the system does not.
    virtual void CloseWindow() = 0;
    // [GUI thread] The host's regular idle call while its editor frame is up: a window
    // that has no system timer of its own handles its events and redraws here. Runs
    // without the lock, as a system timer would. Default: nothing.
    virtual void Idle() {}
    // [GUI thread, lock held] A key the host passes on instead of handling it (down,
    // or up); true when the editor took it, false to leave it to the host. Default: false.
    virtual bool HostKey(IEditKey /*key*/, char /*character*/, bool /*down*/) { return false; }
    // [any thread] The editor's size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};
