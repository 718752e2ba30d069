// Reads Standard MIDI Files (formats 0, 1 and 2). Tolerant of what real files
// do (running status, unknown chunks, a missing end-of-track), strict about
// anything that would need guessing: such input gives false and an error text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/midi/MidiFile.h"

// Parses size bytes at data into file; false (with error set) on bad input.
bool ReadMidiFile(const uint8_t* data, size_t size, MidiFile& file, std::string& error);
// Loads and parses a file from disk.
bool ReadMidiFileFromPath(const std::string& path, MidiFile& file, std::string& error);
