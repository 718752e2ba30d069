#include "tools/tamborelle-snapshot/EditorSession.h"

#include <cstdlib>
#include <cstring>

#include "framework/Vst2Abi.h"
#include "graphics/IEditorRaster.h"
#include "raster/RasterBitmap.h"
#include "src/Tamborelle.h"

namespace {

// The plug-in linked into this program, made as its module's entry makes it.
vst2::AEffect* LinkedEntry(vst2::HostCallback host) { return (new Tamborelle(host))->Effect(); }

bool ParseInts(const std::string& text, const char* separators, int* out, int count) {
    const char* p = text.c_str();
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        long v = std::strtol(p, &end, 10);
        if (end == p || v < -100000 || v > 100000) return false;
        out[i] = static_cast<int>(v);
        p = end;
        if (i + 1 < count) {
            if (!*p || !std::strchr(separators, *p)) return false;
            ++p;
        }
    }
    return *p == 0;
}

}  // namespace

void EditorSession::Host::OnAutomate(int index, float value) { mEdits.push_back({HostEdit::Automate, index, value}); }
void EditorSession::Host::OnBeginEdit(int index) { mEdits.push_back({HostEdit::BeginEdit, index, 0.0f}); }
void EditorSession::Host::OnEndEdit(int index) { mEdits.push_back({HostEdit::EndEdit, index, 0.0f}); }

EditorSession::EditorSession() {
    if (!mHost.Instantiate(&LinkedEntry)) return;
    mpPlug = static_cast<Tamborelle*>(static_cast<IVstEffect*>(mHost.Effect()->object));
    mHost.Start(44100.0, 512);
    // No window opens here, so the editor is readied as effEditOpen would.
    mpPlug->PrepareEditor();
}

EditorSession::~EditorSession() { mHost.Stop(); }

IEditorRaster* EditorSession::Editor() const { return static_cast<IEditorRaster*>(mpPlug->Graphics()); }

const RasterBitmap* EditorSession::Bitmap() const { return Editor() ? Editor()->DrawBitmap() : nullptr; }

bool EditorSession::Set(const std::string& name, const std::string& value, std::string* error, std::string* note) {
    int index = -1;
    float normalized = 0.0f;
    std::string why, shared;
    const bool found = mResolver.Resolve({name, value}, index, normalized, why, shared);
    if (note) *note = shared;
    if (!found) {
        if (error) *error = why;
        return false;
    }
    mHost.SetParameter(index, normalized);
    return true;
}

void EditorSession::Click(int x, int y) {
    IPointerState left(true);
    if (!Editor()) return;
    Editor()->OnMouseDown(x, y, &left);
    Editor()->OnMouseUp(x, y, &left);
}

void EditorSession::Drag(int x1, int y1, int x2, int y2) {
    IPointerState left(true);
    if (!Editor()) return;
    Editor()->OnMouseDown(x1, y1, &left);
    // A hand moves in several steps; the timer ticks in between.
    const int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        Editor()->OnMouseDrag(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps, &left);
        Tick();
    }
    Editor()->OnMouseUp(x2, y2, &left);
}

void EditorSession::Wheel(int x, int y, int notches) {
    IPointerState none;
    if (Editor()) Editor()->OnMouseWheel(x, y, &none, notches);
}

bool EditorSession::Tick(IBounds* drawn) {
    IBounds r;
    IEditorRaster* editor = Editor();
    bool dirty = editor && editor->IsDirty(&r);
    if (dirty) editor->Draw(&r);
    if (drawn) *drawn = r;
    return dirty;
}

bool EditorSession::Apply(const std::string& option, const std::string& argument, std::string* error,
                          std::string* note) {
    int v[4];
    if (option == "--set") {
        ParamSetting setting;
        if (!ParseParamSetting(argument, setting, *error)) return false;
        if (!Set(setting.mName, setting.mValue, error, note)) return false;
    } else if (option == "--click") {
        if (!ParseInts(argument, ",", v, 2)) {
            *error = "--click needs X,Y";
            return false;
        }
        Click(v[0], v[1]);
    } else if (option == "--drag") {
        if (!ParseInts(argument, ",:", v, 4) || argument.find(':') == std::string::npos) {
            *error = "--drag needs X1,Y1:X2,Y2";
            return false;
        }
        Drag(v[0], v[1], v[2], v[3]);
    } else if (option == "--wheel") {
        if (!ParseInts(argument, ",", v, 3)) {
            *error = "--wheel needs X,Y,NOTCHES";
            return false;
        }
        Wheel(v[0], v[1], v[2]);
    } else {
        *error = "unknown option " + option;
        return false;
    }
    Tick();
    return true;
}
