#include "tools/vsthost/NumberText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

bool ParseNumber(const std::string& text, double& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != 0 || !std::isfinite(v)) return false;
    out = v;
    return true;
}
