// The in-place value entry without its window: what a typed or picked text means for a
// parameter, the text field's editing (a line with a caret, all of it selected when it
// opens) and the list of choices a drop-down or value menu offers (one highlighted
// entry, laid out in columns). The Linux window layer draws and feeds them; the Windows
// layer uses the system's own controls and shares the value rule. Plain code: every
// function is [GUI thread] (tags as in framework/IEffectBase.h).
#pragma once

#include "framework/IEffectEditor.h"
#include "graphics/EditorTypes.h"

class IParameter;

// The normalized value a text typed or picked for param stands for: one of its value
// texts (an unknown one is 0), or the number it starts with (0 when none; negated for a
// parameter shown negated), limited to the range.
double InPlaceNormalizedValue(const IParameter* param, const char* text);

// Where an entry opens over a control, the same on both platforms: a text field of
// FIELD_W x FIELD_H centred on the control's middle; a drop-down with its top at that
// middle, centred across it, as wide as its longest text needs.
constexpr int IN_PLACE_FIELD_W = 36, IN_PLACE_FIELD_H = 16;
IBounds InPlaceFieldRect(const IBounds& control);
IBounds InPlaceDropDownRect(const IBounds& control, const IParameter* param, int height);
// The value text the parameter shows now (the last such entry), or -1.
int InPlaceCurrentEntry(const IParameter* param);

// What a key did to an open entry.
enum IEditOutcome : int { EditKeptOpen = 0, EditApply = 1, EditDiscard = 2 };

class TextEntry {
public:
    static constexpr int MAX_LENGTH = 63;

    // [GUI thread] Starts over with text, all of it selected.
    void Reset(const char* text);
    // Typing replaces the selection; Return applies, Escape discards.
    IEditOutcome Key(IEditKey key, char character);

    const char* Text() const { return mText; }
    int Caret() const { return mCaret; }
    bool AllSelected() const { return mAllSelected; }
    // True once the user changed the text.
    bool Edited() const { return mEdited; }

private:
    void Remove(int at);

    char mText[MAX_LENGTH + 1] = {};
    int mLength = 0;
    int mCaret = 0;
    bool mAllSelected = false;
    bool mEdited = false;
};

class ChoiceList {
public:
    // Rows of text ROW_HEIGHT pixels high, inside a BORDER-pixel frame.
    static constexpr int ROW_HEIGHT = 16;
    static constexpr int BORDER = 1;

    // [GUI thread] count entries, columns per column break as a value menu has them (each
    // column holds that many; 0 or less puts every entry in a column of its own), the
    // highlighted entry (-1 for none) and the column width in pixels.
    void Reset(int count, int perColumn, int highlighted, int columnWidth);
    // Arrows and page keys move the highlight, Return applies it, Escape discards.
    IEditOutcome Key(IEditKey key);
    // The wheel moves the highlight one entry per notch, up for positive notches.
    void Wheel(int notches);
    // The entry under a point relative to the list's top left corner, or -1.
    int EntryAt(int x, int y) const;
    // Where an entry is drawn, relative to the list's top left corner.
    IBounds EntryRect(int entry) const;
    // The user moves the highlight; Moved() tells afterwards.
    void Highlight(int entry);
    // The value moved elsewhere: the highlight follows it, as long as the user has not moved it.
    void Follow(int entry);

    int Count() const { return mCount; }
    int Highlighted() const { return mHighlighted; }
    int Width() const { return Columns() * mColumnWidth + 2 * BORDER; }
    int Height() const { return Rows() * ROW_HEIGHT + 2 * BORDER; }
    // True once the user moved the highlight.
    bool Moved() const { return mMoved; }

private:
    int Rows() const;
    int Columns() const;

    int mCount = 0;
    int mPerColumn = 0;
    int mHighlighted = -1;
    int mColumnWidth = 0;
    bool mMoved = false;
};
