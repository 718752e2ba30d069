// The name a musician reads for a MIDI note number.
#pragma once

#include <string>

// "C4" for 60, "F#2" for 42, "G9" for 127: sharps, and middle C in octave 4.
std::string NoteName(int note);
