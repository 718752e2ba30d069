#include "tools/tamborelle-snapshot/EditorSession.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>

#include "framework/IParameter.h"
#include "framework/Vst2Abi.h"
#include "graphics/IEditorRaster.h"
#include "raster/RasterBitmap.h"
#include "src/Tamborelle.h"

namespace {

// The host's own field of the record leads back to the session.
intptr_t FakeHost(vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t, void*, float opt) {
    EditorSession* session = effect ? static_cast<EditorSession*>(effect->user) : nullptr;
    switch (opcode) {
    case vst2::audioMasterVersion: return 2400;
    case vst2::audioMasterAutomate:
        if (session) session->mEdits.push_back({HostEdit::Automate, index, opt});
        return 0;
    case vst2::audioMasterBeginEdit:
        if (session) session->mEdits.push_back({HostEdit::BeginEdit, index, 0.0f});
        return 1;
    case vst2::audioMasterEndEdit:
        if (session) session->mEdits.push_back({HostEdit::EndEdit, index, 0.0f});
        return 1;
    default: return 0;
    }
}

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

EditorSession::EditorSession() {
    mpPlug = new Tamborelle(&FakeHost);
    vst2::AEffect* effect = mpPlug->Effect();
    effect->user = this;
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0.0f);
}

EditorSession::~EditorSession() {
    vst2::AEffect* effect = mpPlug->Effect();
    effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
}

IEditorRaster* EditorSession::Editor() const { return static_cast<IEditorRaster*>(mpPlug->Graphics()); }

const RasterBitmap* EditorSession::Bitmap() const { return Editor() ? Editor()->DrawBitmap() : nullptr; }

bool EditorSession::Set(const std::string& name, const std::string& value, std::string* error) {
    int index = -1;
    char* end = nullptr;
    long asNumber = std::strtol(name.c_str(), &end, 10);
    if (!name.empty() && *end == 0) index = static_cast<int>(asNumber);
    for (int i = 0; index < 0 && i < mpPlug->NumHostParameters(); ++i)
        if (strcasecmp(mpPlug->Param(i)->Name(), name.c_str()) == 0) index = i;
    IParameter* param = index < mpPlug->NumHostParameters() ? mpPlug->Param(index) : nullptr;
    if (!param) {
        *error = "no parameter named \"" + name + "\"";
        return false;
    }
    double plain = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != 0) {
        int32_t v = 0;
        if (!param->ValueForText(value.c_str(), &v)) {
            *error = "\"" + value + "\" is neither a number nor a value of " + param->Name();
            return false;
        }
        plain = v;
    }
    vst2::AEffect* effect = mpPlug->Effect();
    effect->setParameter(effect, index, static_cast<float>(param->GetNormalized(plain)));
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

bool EditorSession::Apply(const std::string& option, const std::string& argument, std::string* error) {
    int v[4];
    if (option == "--set") {
        size_t eq = argument.find('=');
        if (eq == std::string::npos) {
            *error = "--set needs NAME=VALUE";
            return false;
        }
        if (!Set(argument.substr(0, eq), argument.substr(eq + 1), error)) return false;
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
