// The in-place value entry on Windows: a right click on a control opens a field (or, for
// a parameter with value texts, a drop-down list) over it; Enter or a pick applies the
// value, a right click elsewhere discards it. The value menu offers the texts as a
// pop-up menu. Part of IEditorWindow; runs on the window's thread.
#include <cstring>

#include "framework/IParameter.h"
#include "graphics/IControl.h"
#include "graphics/IEditorWindowProcsWin32.h"
#include "graphics/InPlaceEdit.h"

namespace {

const int EDIT_CONTROL_ID = 99;
const int TEXT_BUFFER_SIZE = 1000;

}  // namespace

void IEditorWindowProcs::CloseEditor(IEditorWindow* g) {
    HWND edit = static_cast<HWND>(g->mEditWindow);
    if (edit) {
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g->mDefaultEditProc));
        SetWindowLongPtrA(edit, GWLP_USERDATA, 0);
        DestroyWindow(edit);
    }
    if (g->mEditFont) DeleteObject(static_cast<HGDIOBJ>(g->mEditFont));
    g->mEditFont = nullptr;
    g->mEditWindow = nullptr;
    g->mpEditParam = nullptr;
    g->mpEditControl = nullptr;
    g->mDefaultEditProc = nullptr;
    g->mEditState = EditNone;
}

bool IEditorWindowProcs::StepEditor(IEditorWindow* g) {
    HWND edit = static_cast<HWND>(g->mEditWindow);
    if (!edit || g->mEditState == EditNone) return false;
    char text[TEXT_BUFFER_SIZE];
    switch (g->mEditState) {
    case EditRefresh:
        if (g->mpEditParam) {
            char current[PARAM_DISPLAY_SIZE];
            g->mpEditParam->FormatValue(g->mpEditParam->Value(), false, current);
            text[0] = 0;
            SendMessageA(edit, WM_GETTEXT, TEXT_BUFFER_SIZE, reinterpret_cast<LPARAM>(text));
            if (std::strcmp(text, current) != 0) {
                if (g->mpEditParam->NumValueTexts() > 0)
                    SendMessageA(edit, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(current));
                else
                    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(current));
            }
        }
        g->mEditState = EditNone;
        break;
    case EditCancel: CloseEditor(g); break;
    case EditCommit:
        text[0] = 0;
        SendMessageA(edit, WM_GETTEXT, TEXT_BUFFER_SIZE, reinterpret_cast<LPARAM>(text));
        if (g->mpEditParam && g->mpEditControl)
            g->mpEditControl->SetValueFromUserInput(InPlaceNormalizedValue(g->mpEditParam, text));
        CloseEditor(g);
        break;
    default: g->mEditState = EditNone; break;
    }
    return true;
}

LRESULT CALLBACK IEditorWindowProcs::EditWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* g = reinterpret_cast<IEditorWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!g || g->mEditWindow != window) return DefWindowProcA(window, message, wParam, lParam);
    auto passOn = [&]() {
        return CallWindowProcA(reinterpret_cast<WNDPROC>(g->mDefaultEditProc), window, message, wParam, lParam);
    };
    switch (message) {
    case WM_SETFOCUS: g->mEditState = EditFocused; return passOn();
    case WM_KILLFOCUS: g->mEditState = EditNone; return passOn();
    case WM_GETDLGCODE: {
        LRESULT code = passOn();
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && msg->message == WM_KEYDOWN && wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            g->mEditState = EditCommit;
            return 0;
        }
        return passOn();
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            g->mEditState = EditCommit;
            return 0;
        }
        return passOn();
    default: return passOn();
    }
}

void IEditorWindow::PromptUserInput(IControl* control, IParameter* param, void*) {
    if (!control || !param || !mWindow || mEditWindow) return;
    char text[PARAM_DISPLAY_SIZE];
    param->FormatValue(param->Value(), false, text);
    int n = param->NumValueTexts();
    HWND parent = static_cast<HWND>(mWindow);
    HINSTANCE instance = static_cast<HINSTANCE>(mInstance);
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(EDIT_CONTROL_ID));
    HWND edit = nullptr;
    if (n == 0) {
        const IBounds r = InPlaceFieldRect(control->Rect());
        edit = CreateWindowExA(0, "EDIT", text, WS_CHILD | WS_VISIBLE | ES_CENTER | ES_MULTILINE, r.L, r.T, r.W(),
                               r.H(), parent, id, instance, nullptr);
        if (!edit) return;
        SendMessageA(edit, EM_SETSEL, 0, -1);
    } else {
        // The height is the list the combo box drops, which it sizes down to its entries.
        const IBounds r = InPlaceDropDownRect(control->Rect(), param, (n + 1) * 36);
        edit = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, r.L, r.T, r.W(), r.H(),
                               parent, id, instance, nullptr);
        if (!edit) return;
        for (int i = 0; i < n; ++i)
            SendMessageA(edit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(param->TextForValue(i)));
        SendMessageA(edit, CB_SETCURSEL, WPARAM(InPlaceCurrentEntry(param)), 0);
    }
    // Known before the focus moves, so the control's own focus message already finds this object.
    mEditWindow = edit;
    mDefaultEditProc = reinterpret_cast<void*>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IEditorWindowProcs::EditWindowProc)));
    SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    mEditFont = CreateFontA(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(mEditFont), FALSE);
    mpEditControl = control;
    mpEditParam = param;
    SetFocus(edit);
}

void IEditorWindow::PopupValueMenu(IControl* control, IParameter* param, int columns) {
    if (!control || !param) return;
    int current = int(param->Value());
    POINT p;
    GetCursorPos(&p);
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    int n = param->NumValueTexts();
    for (int i = 0; i < n; ++i) {
        UINT flags = MF_STRING;
        if (i == current) flags |= MF_CHECKED;
        if (columns <= 0 || (i > 0 && i % columns == 0)) flags |= MF_MENUBARBREAK;
        AppendMenuA(menu, flags, UINT_PTR(i + 1), param->TextForValue(i));
    }
    // The menu opens without animation on its own (TPM_NOANIMATION); the user's
    // system-wide menu settings are left as they are.
    int chosen =
        TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_NOANIMATION, p.x, p.y, GetActiveWindow(), nullptr);
    DestroyMenu(menu);
    if (chosen > 0) control->SetValueFromUserInput(InPlaceNormalizedValue(param, param->TextForValue(chosen - 1)));
}
