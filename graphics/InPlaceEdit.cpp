#include "graphics/InPlaceEdit.h"

#include <cstdlib>
#include <cstring>

#include "framework/IParameter.h"

double InPlaceNormalizedValue(const IParameter* param, const char* text) {
    if (!param) return 0.0;
    if (!text) text = "";
    double value;
    if (param->NumValueTexts() > 0) {
        int32_t v = 0;
        param->ValueForText(text, &v);
        value = v;
    } else {
        value = std::strtod(text, nullptr);
        if (param->ShowNegated()) value = -value;
    }
    return param->GetNormalized(value);
}

namespace {

// The control's middle, rounded as the editor has always placed its entries.
void Middle(const IBounds& c, int* x, int* y) {
    *x = int((float(c.L) + float(c.R)) * 0.5f);
    *y = int((float(c.T) + float(c.B)) * 0.5f);
}

}  // namespace

IBounds InPlaceFieldRect(const IBounds& control) {
    int x, y;
    Middle(control, &x, &y);
    return IBounds(x - IN_PLACE_FIELD_W / 2, y - IN_PLACE_FIELD_H / 2, x + IN_PLACE_FIELD_W / 2,
                   y + IN_PLACE_FIELD_H / 2);
}

IBounds InPlaceDropDownRect(const IBounds& control, const IParameter* param, int height) {
    // About 8 pixels a character plus room for the frame and the arrow.
    int width = 24;
    for (int i = 0; param && i < param->NumValueTexts(); ++i) {
        const int textWidth = int(std::strlen(param->TextForValue(i))) * 8 + 24;
        if (textWidth > width) width = textWidth;
    }
    int x, y;
    Middle(control, &x, &y);
    return IBounds(x - width / 2, y, x - width / 2 + width, y + height);
}

int InPlaceCurrentEntry(const IParameter* param) {
    if (!param) return -1;
    char text[PARAM_DISPLAY_SIZE];
    param->FormatValue(param->Value(), false, text);
    int found = -1;
    for (int i = 0; i < param->NumValueTexts(); ++i)
        if (std::strcmp(param->TextForValue(i), text) == 0) found = i;
    return found;
}

// ---- TextEntry ----

void TextEntry::Reset(const char* text) {
    std::memset(mText, 0, sizeof mText);
    if (text) std::strncpy(mText, text, MAX_LENGTH);
    mLength = int(std::strlen(mText));
    mCaret = mLength;
    mAllSelected = true;
    mEdited = false;
}

void TextEntry::Remove(int at) {
    if (at < 0 || at >= mLength) return;
    std::memmove(mText + at, mText + at + 1, size_t(mLength - at));
    --mLength;
}

IEditOutcome TextEntry::Key(IEditKey key, char character) {
    bool selected = mAllSelected;
    switch (key) {
    case EditKeyReturn: return EditApply;
    case EditKeyEscape: return EditDiscard;
    case EditKeyCharacter:
        if (!character) return EditKeptOpen;
        if (selected) Reset("");
        if (mLength < MAX_LENGTH) {
            std::memmove(mText + mCaret + 1, mText + mCaret, size_t(mLength - mCaret + 1));
            mText[mCaret++] = character;
            ++mLength;
        }
        break;
    case EditKeyBackspace:
        if (selected)
            Reset("");
        else if (mCaret > 0)
            Remove(--mCaret);
        break;
    case EditKeyDelete:
        if (selected)
            Reset("");
        else
            Remove(mCaret);
        break;
    case EditKeyLeft: mCaret = selected ? 0 : mCaret > 0 ? mCaret - 1 : 0; break;
    case EditKeyRight: mCaret = selected ? mLength : mCaret < mLength ? mCaret + 1 : mLength; break;
    case EditKeyHome: mCaret = 0; break;
    case EditKeyEnd: mCaret = mLength; break;
    default: return EditKeptOpen;
    }
    mAllSelected = false;
    mEdited = true;
    return EditKeptOpen;
}

// ---- ChoiceList ----

void ChoiceList::Reset(int count, int perColumn, int highlighted, int columnWidth) {
    mCount = count > 0 ? count : 0;
    mPerColumn = perColumn;
    mHighlighted = highlighted >= 0 && highlighted < mCount ? highlighted : -1;
    mColumnWidth = columnWidth;
    mMoved = false;
}

int ChoiceList::Rows() const {
    if (mPerColumn <= 0) return mCount > 0 ? 1 : 0;
    return mCount < mPerColumn ? mCount : mPerColumn;
}

int ChoiceList::Columns() const {
    if (mPerColumn <= 0) return mCount;
    return (mCount + mPerColumn - 1) / mPerColumn;
}

IBounds ChoiceList::EntryRect(int entry) const {
    int rows = Rows();
    if (entry < 0 || entry >= mCount || rows <= 0) return IBounds();
    int column = entry / rows, row = entry % rows;
    int l = BORDER + column * mColumnWidth, t = BORDER + row * ROW_HEIGHT;
    return IBounds(l, t, l + mColumnWidth, t + ROW_HEIGHT);
}

int ChoiceList::EntryAt(int x, int y) const {
    int rows = Rows();
    if (rows <= 0 || mColumnWidth <= 0 || x < BORDER || y < BORDER) return -1;
    int column = (x - BORDER) / mColumnWidth, row = (y - BORDER) / ROW_HEIGHT;
    if (row >= rows || column >= Columns()) return -1;
    int entry = column * rows + row;
    return entry < mCount ? entry : -1;
}

void ChoiceList::Highlight(int entry) {
    if (entry < 0 || entry >= mCount || entry == mHighlighted) return;
    mHighlighted = entry;
    mMoved = true;
}

void ChoiceList::Follow(int entry) {
    if (!mMoved) mHighlighted = entry >= 0 && entry < mCount ? entry : -1;
}

void ChoiceList::Wheel(int notches) {
    if (mCount == 0 || notches == 0) return;
    int from = mHighlighted < 0 ? (notches > 0 ? mCount : -1) : mHighlighted;
    int to = from - notches;
    Highlight(to < 0 ? 0 : to >= mCount ? mCount - 1 : to);
}

IEditOutcome ChoiceList::Key(IEditKey key) {
    switch (key) {
    case EditKeyReturn: return mHighlighted >= 0 ? EditApply : EditKeptOpen;
    case EditKeyEscape: return EditDiscard;
    case EditKeyUp: Wheel(1); break;
    case EditKeyDown: Wheel(-1); break;
    case EditKeyPageUp: Wheel(Rows()); break;
    case EditKeyPageDown: Wheel(-Rows()); break;
    case EditKeyHome: Highlight(0); break;
    case EditKeyEnd: Highlight(mCount - 1); break;
    default: break;
    }
    return EditKeptOpen;
}
