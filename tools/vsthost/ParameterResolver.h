// Turns "NAME=VALUE" into a parameter index and a normalized value, the one
// meaning of --set in every program. NAME is the parameter's name as the host
// sees it, or its index; VALUE a display text or a plain number. The host sees
// only names, display texts and normalized values, so the values a parameter can
// take are found by setting it and reading its display back.
#pragma once

#include <string>
#include <vector>

#include "tools/vsthost/VstHost.h"

struct ParamSetting {
    std::string mName;   // parameter name as the host sees it, or its index
    std::string mValue;  // display text or plain number
};

// Splits "NAME=VALUE" at its first '='; false with error set when there is no
// '=' or no name.
bool ParseParamSetting(const std::string& text, ParamSetting& setting, std::string& error);

struct ParamChoice {
    std::string mDisplay;
    float mNormalized;  // the middle of the normalized range that shows mDisplay
};

class ParameterResolver {
public:
    explicit ParameterResolver(VstHost& host) : mHost(host) {}

    // Index for a name (the first parameter that carries it) or an index text;
    // -1 with error set when there is none. note is set when the name is shared.
    int FindIndex(const std::string& name, std::string& error, std::string& note);
    // The normalized value that shows value (display text or plain number): the
    // one the plug-in itself reports once it holds that value, so a control bound
    // to the parameter sits exactly where the plug-in would put it. Leaves the
    // value as it was.
    bool FindValue(int index, const std::string& value, float& normalized, std::string& error);
    // FindIndex and FindValue together: what a host sends for setting.
    bool Resolve(const ParamSetting& setting, int& index, float& normalized, std::string& error, std::string& note);

private:
    // The distinct display texts in normalized order. Leaves the value as it was.
    std::vector<ParamChoice> Choices(int index);
    std::string DisplayAt(int index, float normalized);
    bool FindShown(int index, const std::string& wanted, float& normalized, std::string& error);
    float Settled(int index, float normalized);
    bool BisectNumber(int index, float lo, float hi, double target, float& normalized);

    VstHost& mHost;
};
