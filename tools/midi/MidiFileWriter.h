// Writes Standard MIDI Files. Channel messages use running status; every track
// is closed with an end-of-track event if it lacks one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/midi/MidiFile.h"

// Serializes file into out; false (with error set) when the file cannot be
// written as given: unknown format, no tracks, decreasing ticks, malformed events.
bool WriteMidiFile(const MidiFile& file, std::vector<uint8_t>& out, std::string& error);
bool WriteMidiFileToPath(const MidiFile& file, const std::string& path, std::string& error);
