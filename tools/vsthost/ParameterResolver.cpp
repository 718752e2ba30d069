#include "tools/vsthost/ParameterResolver.h"
#include "tools/vsthost/NumberText.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

// Fine enough for lists, switches and integer ranges of a few hundred steps;
// finer numeric ranges are refined by bisection.
constexpr int kProbeSteps = 2000;

std::string Trim(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    return text.substr(b, e - b);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool SameNumber(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fabs(b)); }

}  // namespace

bool ParseParamSetting(const std::string& text, ParamSetting& setting, std::string& error) {
    const size_t split = text.find('=');
    if (split == std::string::npos || split == 0) {
        error = "--set takes NAME=VALUE, not \"" + text + "\"";
        return false;
    }
    setting.mName = text.substr(0, split);
    setting.mValue = text.substr(split + 1);
    return true;
}

int ParameterResolver::FindIndex(const std::string& name, std::string& error, std::string& note) {
    note.clear();
    const vst2::AEffect* effect = mHost.Effect();
    const int count = effect ? effect->numParams : 0;
    const std::string wanted = Trim(name);
    if (wanted.empty()) {
        error = "empty parameter name";
        return -1;
    }
    std::vector<int> exact, folded;
    for (int i = 0; i < count; ++i) {
        const std::string n = Trim(mHost.ParamName(i));
        if (n.empty()) continue;
        if (n == wanted)
            exact.push_back(i);
        else if (SameIgnoringCase(n, wanted))
            folded.push_back(i);
    }
    const std::vector<int>& found = exact.empty() ? folded : exact;
    if (!found.empty()) {
        if (found.size() > 1) {
            note = "\"" + wanted + "\" names parameters";
            for (int i : found) note += " " + std::to_string(i);
            note += "; using " + std::to_string(found[0]) + " (give the index to reach another)";
        }
        return found[0];
    }
    double number = 0.0;
    if (ParseNumber(wanted, number) && number == std::floor(number) && number >= 0 && number < count)
        return int(number);
    error = "unknown parameter \"" + wanted + "\"";
    return -1;
}

std::string ParameterResolver::DisplayAt(int index, float normalized) {
    mHost.SetParameter(index, normalized);
    return Trim(mHost.ParamDisplay(index));
}

std::vector<ParamChoice> ParameterResolver::Choices(int index) {
    std::vector<ParamChoice> choices;
    const float saved = mHost.GetParameter(index);
    std::string current;
    float first = 0.0f, last = 0.0f;
    for (int i = 0; i <= kProbeSteps; ++i) {
        const float n = float(i) / kProbeSteps;
        std::string text = DisplayAt(index, n);
        if (i > 0 && text == current) {
            last = n;
            continue;
        }
        if (i > 0) choices.push_back({current, (first + last) / 2});
        current = std::move(text);
        first = last = n;
    }
    choices.push_back({current, (first + last) / 2});
    // A text that comes back later (a wrapping display) keeps its first range.
    std::vector<ParamChoice> unique;
    for (ParamChoice& c : choices) {
        bool seen = false;
        for (const ParamChoice& u : unique) seen = seen || u.mDisplay == c.mDisplay;
        if (!seen) unique.push_back(std::move(c));
    }
    mHost.SetParameter(index, saved);
    return unique;
}

bool ParameterResolver::BisectNumber(int index, float lo, float hi, double target, float& normalized) {
    double vlo = 0.0, vhi = 0.0;
    if (!ParseNumber(DisplayAt(index, lo), vlo) || !ParseNumber(DisplayAt(index, hi), vhi)) return false;
    const bool rising = vhi >= vlo;
    for (int i = 0; i < 40; ++i) {
        const float mid = (lo + hi) / 2;
        if (mid <= lo || mid >= hi) break;
        double v = 0.0;
        if (!ParseNumber(DisplayAt(index, mid), v)) return false;
        if (SameNumber(v, target)) {
            normalized = mid;
            return true;
        }
        if ((v < target) == rising)
            lo = mid;
        else
            hi = mid;
    }
    return false;
}

float ParameterResolver::Settled(int index, float normalized) {
    // The middle of a probed range is only near the plug-in's own value for the
    // step; what it reports back after taking the value is exact.
    const std::string shown = DisplayAt(index, normalized);
    const float reported = mHost.GetParameter(index);
    return reported != normalized && DisplayAt(index, reported) == shown ? reported : normalized;
}

bool ParameterResolver::FindValue(int index, const std::string& value, float& normalized, std::string& error) {
    const float saved = mHost.GetParameter(index);
    float found = 0.0f;
    const bool ok = FindShown(index, Trim(value), found, error);
    if (ok) normalized = Settled(index, found);
    mHost.SetParameter(index, saved);
    return ok;
}

bool ParameterResolver::Resolve(const ParamSetting& setting, int& index, float& normalized, std::string& error,
                                std::string& note) {
    index = FindIndex(setting.mName, error, note);
    return index >= 0 && FindValue(index, setting.mValue, normalized, error);
}

bool ParameterResolver::FindShown(int index, const std::string& wanted, float& normalized, std::string& error) {
    const std::vector<ParamChoice> choices = Choices(index);
    for (const ParamChoice& c : choices)
        if (c.mDisplay == wanted) return normalized = c.mNormalized, true;
    for (const ParamChoice& c : choices)
        if (SameIgnoringCase(c.mDisplay, wanted)) return normalized = c.mNormalized, true;

    double number = 0.0;
    if (ParseNumber(wanted, number)) {
        bool numeric = true;
        std::vector<double> shown(choices.size());
        for (size_t i = 0; i < choices.size() && numeric; ++i) numeric = ParseNumber(choices[i].mDisplay, shown[i]);
        if (numeric) {
            for (size_t i = 0; i < choices.size(); ++i)
                if (SameNumber(shown[i], number)) return normalized = choices[i].mNormalized, true;
            // Finer than the probe: search between the neighbours that bracket it.
            for (size_t i = 0; i + 1 < choices.size(); ++i) {
                const bool between = (shown[i] - number) * (shown[i + 1] - number) < 0;
                if (between &&
                    BisectNumber(index, choices[i].mNormalized, choices[i + 1].mNormalized, number, normalized))
                    return true;
            }
        } else if (number == std::floor(number) && number >= 0 && number < double(choices.size())) {
            // A list or switch: its plain value counts its entries from 0.
            normalized = choices[size_t(number)].mNormalized;
            return true;
        }
    }
    error = "parameter " + std::to_string(index) + " (" + Trim(mHost.ParamName(index)) + ") has no value \"" + wanted +
            "\"; it shows ";
    const size_t shownCount = choices.size() <= 24 ? choices.size() : 2;
    for (size_t i = 0; i < shownCount; ++i) error += (i ? ", " : "") + ("\"" + choices[i].mDisplay + "\"");
    if (shownCount < choices.size()) error += " .. \"" + choices.back().mDisplay + "\"";
    return false;
}
