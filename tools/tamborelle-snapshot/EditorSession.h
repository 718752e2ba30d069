// One plug-in instance, linked in and started by the host toolkit as a DAW starts a
// loaded one, whose editor is driven headless through the editor's own event entry
// points and drawn by the same dirty check and draw cycle the window's timer runs.
// Used by tamborelle-snapshot and by the editor tests.
#pragma once

#include <string>
#include <vector>

#include "graphics/EditorTypes.h"
#include "tools/picture/PngWriter.h"
#include "tools/vsthost/ParameterResolver.h"
#include "tools/vsthost/VstHost.h"

class IEditorBase;
class IEditorRaster;
class RasterBitmap;
class Tamborelle;

// A call the plug-in made into the fake host about a parameter.
struct HostEdit {
    enum Kind { BeginEdit, Automate, EndEdit };
    Kind mKind;
    int mIndex;
    float mValue;  // Automate only
};

class EditorSession {
public:
    EditorSession();
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    Tamborelle* Plug() const { return mpPlug; }
    // Null when the plug-in offers no editor.
    IEditorRaster* Editor() const;
    const RasterBitmap* Bitmap() const;

    // Sets a parameter as a host does, with --set's meaning (ParameterResolver): NAME
    // as the host sees it or its index, VALUE a display text or plain number. False
    // with a message; *note, when given, says which of several same-named ones it took.
    bool Set(const std::string& name, const std::string& value, std::string* error, std::string* note = nullptr);
    void Click(int x, int y);
    void Drag(int x1, int y1, int x2, int y2);
    void Wheel(int x, int y, int notches);
    // One timer tick: the dirty check, then the draw of the dirty region. False when
    // nothing was dirty; *drawn gets the region.
    bool Tick(IBounds* drawn = nullptr);
    // Applies one command-line option ("--set", "--click", "--drag", "--wheel") and its
    // argument, then ticks. False with a message for a bad option or argument.
    bool Apply(const std::string& option, const std::string& argument, std::string* error, std::string* note = nullptr);

    std::vector<HostEdit> mEdits;

private:
    // Keeps the plug-in's automation calls in mEdits.
    class Host : public VstHost {
    public:
        explicit Host(std::vector<HostEdit>& edits) : mEdits(edits) {}

    protected:
        void OnAutomate(int index, float value) override;
        void OnBeginEdit(int index) override;
        void OnEndEdit(int index) override;

    private:
        std::vector<HostEdit>& mEdits;
    };

    Host mHost{mEdits};
    ParameterResolver mResolver{mHost};
    Tamborelle* mpPlug = nullptr;
};
