// Fixed trace points of the framework. This build's sink discards everything, so the
// trace points do not even compute their arguments: the time stamp alone (the local
// time zone, read from disk) cost a process its first plug-in instance a fifth of a
// millisecond. A writing sink switches TRACE_WRITES on and sees real values.
#pragma once

constexpr bool TRACE_WRITES = false;

// [any thread]
void TraceEvent(const char* location, int line, const char* format, ...);
// [any thread] The opcode's name for the trace; this build names none.
const char* OpcodeName(int opcode);
// [construction] Local time as "YYYYmmdd HH:MM ZONE", kept in one static text each call
// overwrites; creation is serialised, so two instances never write it at once.
const char* TraceTimestamp();

#define TRACE(location, ...)                                             \
    do {                                                                 \
        if (TRACE_WRITES) TraceEvent((location), __LINE__, __VA_ARGS__); \
    } while (0)
