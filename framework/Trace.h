// Fixed trace points of the framework. This build's sink discards everything;
// the arguments are still computed so that a writing sink sees real values.
#pragma once

void TraceEvent(const char* location, int line, const char* format, ...);
// The opcode's name for the trace; this build names none.
const char* OpcodeName(int opcode);
// Local time as "YYYYmmdd HH:MM ZONE", kept in one static text each call overwrites.
const char* TraceTimestamp();

#define TRACE(location, ...) TraceEvent((location), __LINE__, __VA_ARGS__)
