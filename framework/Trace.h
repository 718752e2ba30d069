// Fixed trace points of the framework. This build's sink discards everything;
// the arguments are still computed so that a writing sink sees real values.
#pragma once

// [any thread]
void TraceEvent(const char* location, int line, const char* format, ...);
// [any thread] The opcode's name for the trace; this build names none.
const char* OpcodeName(int opcode);
// [construction] Local time as "YYYYmmdd HH:MM ZONE", kept in one static text each call
// overwrites; creation is serialised, so two instances never write it at once.
const char* TraceTimestamp();

#define TRACE(location, ...) TraceEvent((location), __LINE__, __VA_ARGS__)
