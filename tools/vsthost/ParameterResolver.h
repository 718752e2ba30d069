// Turns "NAME=VALUE" into a parameter index and a normalized value. The host
// sees only names, display texts and normalized values, so the values a
// parameter can take are found by setting it and reading its display back.
#pragma once

#include <string>
#include <vector>

#include "tools/vsthost/VstHost.h"

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
    // The distinct display texts in normalized order. Leaves the value as it was.
    std::vector<ParamChoice> Choices(int index);
    // The normalized value that shows value (display text or plain number).
    bool FindValue(int index, const std::string& value, float& normalized, std::string& error);

private:
    std::string DisplayAt(int index, float normalized);
    bool BisectNumber(int index, float lo, float hi, double target, float& normalized);

    VstHost& mHost;
};
