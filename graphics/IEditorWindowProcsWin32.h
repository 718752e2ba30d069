// Internal to the Windows window layer: IEditorWindow is one class spread over three
// files (the window, its in-place value entry, its system dialogs), and these are the
// native procedures and steps they share. Included by those files only. Every function:
// [GUI thread] (tags as in framework/IEffectBase.h).
#pragma once

#include <windows.h>
// The API's character-set macros would rename the graphics' own operations.
#undef DrawText
#undef LoadImage

#include "graphics/IEditorWindow.h"

// The window procedures and the steps they share, with access to the layer's fields.
class IEditorWindowProcs {
public:
    // IEditorWindowWin32.cpp: the editor's window.
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void Tick(IEditorWindow* g);
    static void WindowGone(IEditorWindow* g);
    // InPlaceEditWin32.cpp: the field or list that takes a typed or picked value.
    static LRESULT CALLBACK EditWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Acts on the field's pending state (refresh, cancel, commit); false when nothing was pending.
    static bool StepEditor(IEditorWindow* g);
    static void CloseEditor(IEditorWindow* g);
};
