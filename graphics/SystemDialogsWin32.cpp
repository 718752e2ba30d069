// The system dialogs on Windows: the host's and the module's folders, file and colour
// choosers and opening a link. Their libraries are loaded on first use, so the module
// imports only what every host has loaded already. Part of IEditorWindow; runs on the
// window's thread.
#include "graphics/IEditorWindowProcsWin32.h"

#include <commdlg.h>

#include <cstring>
#include <new>

namespace {

// The module's file name, whatever its length (up to the system's 32767-character limit).
bool ModuleFileName(HMODULE module, char* out, DWORD size) {
    DWORD n = GetModuleFileNameA(module, out, size);
    return n > 0 && n < size;
}

// out = the text up to and including the last backslash; empty when there is none, when
// nothing follows it, or when it does not fit.
void DirectoryOf(const char* path, char* out, int outSize) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    if (!path || !*path) return;
    const char* slash = std::strrchr(path, '\\');
    if (!slash || !slash[1]) return;
    size_t n = size_t(slash - path) + 1;
    if (n >= size_t(outSize)) return;
    std::memcpy(out, path, n);
    out[n] = 0;
}

void ModuleDirectory(HMODULE module, char* out, int outSize) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    // Long-path names run far beyond MAX_PATH.
    const DWORD size = 32768;
    char* path = new (std::nothrow) char[size];
    if (!path) return;
    if (ModuleFileName(module, path, size)) DirectoryOf(path, out, outSize);
    delete[] path;
}

// A system function from a library loaded on first use, so the module imports only what
// every host has loaded already.
template <typename Proc>
Proc SystemProc(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    if (!module) module = LoadLibraryA(library);
    return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

UINT_PTR CALLBACK ColorDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG && lParam) {
        const char* title = reinterpret_cast<const char*>(reinterpret_cast<CHOOSECOLORA*>(lParam)->lCustData);
        if (title) SetWindowTextA(dialog, title);
    }
    return 0;
}

}  // namespace

void IEditorWindow::GetHostDirectory(char* out, int outSize) { ModuleDirectory(nullptr, out, outSize); }

void IEditorWindow::GetPluginDirectory(char* out, int outSize) {
    ModuleDirectory(static_cast<HMODULE>(mInstance), out, outSize);
}

void IEditorWindow::AskForFile(char* out, int outSize, int action, const char* directory) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    if (!mWindow) return;
    using FileDialog = BOOL(WINAPI*)(OPENFILENAMEA*);
    FileDialog dialog =
        SystemProc<FileDialog>("comdlg32.dll", action == FileActionSave ? "GetSaveFileNameA" : "GetOpenFileNameA");
    if (!dialog) return;
    const DWORD size = 32768;  // long-path names
    char* path = new (std::nothrow) char[size];
    if (!path) return;
    path[0] = 0;
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(mWindow);
    ofn.lpstrFile = path;
    ofn.nMaxFile = size - 1;
    ofn.lpstrInitialDir = directory && *directory ? directory : nullptr;
    ofn.Flags =
        action == FileActionSave ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (dialog(&ofn)) {
        size_t n = std::strlen(path);
        if (n < size_t(outSize)) std::memcpy(out, path, n + 1);
    }
    delete[] path;
}

bool IEditorWindow::AskForColor(IArgb* color, const char* title) {
    if (!mWindow || !color) return false;
    if (!mCustomColors) mCustomColors = new (std::nothrow) uint32_t[16]();
    if (!mCustomColors) return false;
    using ColorDialog = BOOL(WINAPI*)(CHOOSECOLORA*);
    ColorDialog dialog = SystemProc<ColorDialog>("comdlg32.dll", "ChooseColorA");
    if (!dialog) return false;
    CHOOSECOLORA cc;
    std::memset(&cc, 0, sizeof cc);
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = static_cast<HWND>(mWindow);
    cc.rgbResult = RGB(color->R, color->G, color->B);
    cc.lpCustColors = reinterpret_cast<COLORREF*>(mCustomColors);
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
    cc.lCustData = reinterpret_cast<LPARAM>(title);
    cc.lpfnHook = ColorDialogHook;
    if (!dialog(&cc)) return false;
    color->R = GetRValue(cc.rgbResult);
    color->G = GetGValue(cc.rgbResult);
    color->B = GetBValue(cc.rgbResult);
    return true;
}

bool IEditorWindow::OpenLink(const char* url, const char* title, const char* question, const char* errorText) {
    HWND owner = static_cast<HWND>(mWindow);
    if (question && MessageBoxA(owner, question, title, MB_YESNO) != IDYES) return false;
    using ConnectedState = BOOL(WINAPI*)(DWORD*, DWORD);
    using Execute = HINSTANCE(WINAPI*)(HWND, const char*, const char*, const char*, const char*, INT);
    ConnectedState connected = SystemProc<ConnectedState>("wininet.dll", "InternetGetConnectedState");
    Execute execute = SystemProc<Execute>("shell32.dll", "ShellExecuteA");
    DWORD flags = 0;
    if (url && connected && execute && connected(&flags, 0) &&
        reinterpret_cast<INT_PTR>(execute(owner, "open", url, nullptr, nullptr, SW_SHOWNORMAL)) > 32)
        return true;
    if (errorText) MessageBoxA(owner, errorText, title, MB_OK);
    return false;
}
