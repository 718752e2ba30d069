// A typed plug-in parameter: holds its plain value in its own units, its range,
// step and display texts, and is the only place that converts to and from the
// normalized 0..1 values that hosts and controls speak. Thread tags as in
// framework/IEffectBase.h: the values change under the plug-in's lock, and the
// editor reads them on the GUI thread.
#pragma once

#include <cstdint>

#include "framework/GrowArray.h"

enum ParameterKind : int32_t { KindNone = 0, KindBool = 1, KindInt = 2, KindEnum = 3, KindDouble = 4 };

// Longest name, label or value text, terminator included.
constexpr int PARAM_TEXT_SIZE = 32;

class IParameter {
public:
    struct ValueText {
        int32_t mValue;
        char mText[PARAM_TEXT_SIZE];
    };

    // [construction]
    IParameter() = default;

    // [construction] Definition, once per parameter. Every other definition ends in
    // DefineDouble; the first kind set sticks.
    void DefineDouble(const char* name, double defaultValue, double min, double max, double step,
                      const char* label = "");
    void DefineInt(const char* name, int32_t defaultValue, int32_t min, int32_t max, const char* label = "");
    void DefineEnum(const char* name, int32_t defaultValue, int32_t numValues);
    void DefineBool(const char* name, bool defaultValue, const char* label = "");
    // [construction] Binds a display text to an integer value; texts longer than 31 bytes are cut.
    void AddValueText(int32_t value, const char* text);

    // [any thread]
    const char* Name() const { return mName; }
    const char* Label() const { return mLabel; }
    ParameterKind Kind() const { return mKind; }
    double Value() const { return mValue; }
    double Min() const { return mMin; }
    double Max() const { return mMax; }
    double Step() const { return mStep; }
    // [any thread] Displayed (and typed) with the opposite sign.
    bool ShowNegated() const { return mShowNegated; }
    int NumValueTexts() const { return mValueTexts.Count(); }
    // [any thread] The text of the first record with this value, or "" (never null).
    const char* TextForValue(int32_t value) const;
    // [any thread] Exact, case-sensitive match; false leaves *value untouched.
    bool ValueForText(const char* text, int32_t* value) const;

    // [any thread, lock held] Limits to [min, max]; a value that is not a number becomes min.
    void SetClamped(double plain);
    // [any thread, lock held] Sets from a normalized value, rounded to the step for all but KindDouble.
    void SetFromNormalized(double normalized);
    // [any thread]
    double GetNormalized() const { return GetNormalized(mValue); }
    double GetNormalized(double plain) const;
    // [any thread] Writes the display text of a plain (or normalized) value into out,
    // which must hold PARAM_DISPLAY_SIZE bytes.
    void FormatValue(double value, bool isNormalized, char* out) const;

    // [any thread, lock held] Sets the plain value without limiting it (used by command
    // parameters that reset themselves).
    void SetValueUnchecked(double plain) { mValue = plain; }

private:
    ParameterKind mKind = KindNone;
    double mValue = 0.0;
    double mMin = 0.0;
    double mMax = 1.0;
    double mStep = 1.0;
    double mExponent = 1.0;
    int32_t mDecimals = 0;
    char mName[PARAM_TEXT_SIZE] = {};
    char mLabel[PARAM_TEXT_SIZE] = {};
    bool mShowNegated = false;
    GrowArray<ValueText> mValueTexts;
};

// Enough for any value text or formatted number FormatValue writes.
constexpr int PARAM_DISPLAY_SIZE = 64;
