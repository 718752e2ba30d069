// Constant records that define each parameter and bind it to the handler that
// applies its value to the engine.
#pragma once

#include <cstdint>

class Tamborelle;
struct ParamChangeDesc;

// Applies a parameter's plain value to the engine.
using ParamHandler = void (*)(Tamborelle* plug, const ParamChangeDesc* desc, double value);

struct ParamChangeDesc {
    const char* mName;
    const char* mLabel;
    int32_t mParamIdx;
    ParamHandler mHandler;
};

struct IntParamDesc : ParamChangeDesc {
    int32_t mDefault, mMin, mMax;
};

struct BoolParamDesc : ParamChangeDesc {
    bool mDefault;
};

struct EnumParamDesc : ParamChangeDesc {
    int32_t mDefault;
    int32_t mNumValues;
    const char* const* mValueNames;  // one per value
};

struct DoubleParamDesc : ParamChangeDesc {
    double mDefault, mMin, mMax, mStep;
};

// Parameters the host sees, then the plug-in's internal ones.
constexpr int NUM_HOST_PARAMS = 42;
constexpr int NUM_PARAMS = 46;
