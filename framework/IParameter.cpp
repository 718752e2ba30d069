#include "framework/IParameter.h"

#include "framework/Numbers.h"
#include "framework/TextCopy.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
// x to the power e; a straight line needs no power (pow(x, 1) is x exactly), and
// every value an editor or host shows passes through here.
double Curve(double x, double e) { return e == 1.0 ? x : std::pow(x, e); }
}  // namespace

void IParameter::DefineDouble(const char* name, double defaultValue, double min, double max, double step,
                              const char* label) {
    if (mKind == KindNone) mKind = KindDouble;
    CopyTerminated(mName, name, sizeof mName);
    CopyTerminated(mLabel, label, sizeof mLabel);
    mMin = min;
    mValue = defaultValue;  // stored as given, not limited
    mMax = max >= min + step ? max : min + step;
    mStep = step;
    mDecimals = 0;
    double s = step;
    while (s != std::floor(s) && mDecimals < 6) {
        ++mDecimals;
        s *= 10.0;
    }
}

void IParameter::DefineInt(const char* name, int32_t defaultValue, int32_t min, int32_t max, const char* label) {
    if (mKind == KindNone) mKind = KindInt;
    DefineDouble(name, defaultValue, min, max, 1.0, label);
}

void IParameter::DefineEnum(const char* name, int32_t defaultValue, int32_t numValues) {
    if (mKind == KindNone) mKind = KindEnum;
    DefineDouble(name, defaultValue, 0.0, numValues - 1, 1.0, "");
}

void IParameter::DefineBool(const char* name, bool defaultValue, const char* /*label: always empty*/) {
    if (mKind == KindNone) mKind = KindBool;
    DefineDouble(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, "");
    AddValueText(0, "off");
    AddValueText(1, "on");
}

void IParameter::AddValueText(int32_t value, const char* text) {
    ValueText record{};
    record.mValue = value;
    CopyTerminated(record.mText, text, sizeof record.mText);
    mValueTexts.Add(record);
}

const char* IParameter::TextForValue(int32_t value) const {
    for (int i = 0; i < mValueTexts.Count(); ++i)
        if (mValueTexts[i].mValue == value) return mValueTexts[i].mText;
    return "";
}

bool IParameter::ValueForText(const char* text, int32_t* value) const {
    if (!text) return false;
    for (int i = 0; i < mValueTexts.Count(); ++i) {
        if (std::strcmp(mValueTexts[i].mText, text) == 0) {
            if (value) *value = mValueTexts[i].mValue;
            return true;
        }
    }
    return false;
}

void IParameter::SetClamped(double plain) {
    if (!(plain >= mMin)) plain = mMin;  // NaN lands here too
    if (plain > mMax) plain = mMax;
    mValue = plain;
}

void IParameter::SetFromNormalized(double normalized) {
    // A NaN or negative normalized value from a host would leave the range.
    if (!(normalized >= 0.0)) normalized = 0.0;
    mValue = Curve(normalized, mExponent) * (mMax - mMin) + mMin;
    if (mKind != KindDouble) mValue = std::floor(mValue / mStep + 0.5) * mStep;
    if (mValue >= mMax) mValue = mMax;
}

double IParameter::GetNormalized(double plain) const {
    if (!(plain >= mMin)) plain = mMin;
    if (plain > mMax) plain = mMax;
    return Curve((plain - mMin) / (mMax - mMin), 1.0 / mExponent);
}

void IParameter::FormatValue(double value, bool isNormalized, char* out) const {
    if (!out) return;
    if (isNormalized) value = Curve(value, mExponent) * (mMax - mMin) + mMin;
    if (mValueTexts.Count() > 0) {
        int32_t k = TruncToInt32(value);
        for (int i = 0; i < mValueTexts.Count(); ++i) {
            if (mValueTexts[i].mValue != k) continue;
            if (mValueTexts[i].mText[0]) {
                std::snprintf(out, PARAM_DISPLAY_SIZE, "%s", mValueTexts[i].mText);
                return;
            }
            break;  // the first record with that value decides, even when empty
        }
    }
    if (mShowNegated) value = -value;
    if (value == 0.0 || std::isnan(value)) {
        std::snprintf(out, PARAM_DISPLAY_SIZE, "0");
    } else if (mDecimals == 0) {
        std::snprintf(out, PARAM_DISPLAY_SIZE, "%d", static_cast<int>(TruncToInt32(value)));
    } else {
        char format[16];
        std::snprintf(format, sizeof format, "%%.%df", mDecimals);
        std::snprintf(out, PARAM_DISPLAY_SIZE, format, value);
    }
}
