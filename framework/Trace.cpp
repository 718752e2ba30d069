#include "framework/Trace.h"

#include <cctype>
#include <cstring>
#include <ctime>

void TraceEvent(const char* /*location*/, int /*line*/, const char* /*format*/, ...) {}

const char* OpcodeName(int /*opcode*/) { return ""; }

const char* TraceTimestamp() {
    static char stamp[96];
    std::time_t now = std::time(nullptr);
    // Only the plug-in constructor calls this, under the creation lock.
    std::tm local = *std::localtime(&now);
    size_t n = std::strftime(stamp, 64, "%Y%m%d %H:%M ", &local);
    char zone[64] = {};
    std::strftime(zone, sizeof zone, "%Z", &local);
    // Only the capitals: "Pacific Standard Time" becomes PST.
    for (const char* c = zone; *c && n < sizeof stamp - 1; ++c)
        if (std::isupper(static_cast<unsigned char>(*c))) stamp[n++] = *c;
    stamp[n] = 0;
    return stamp;
}
