#include "tools/midi/NoteName.h"

std::string NoteName(int note) {
    static const char* names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const int n = note < 0 ? 0 : note > 127 ? 127 : note;
    return std::string(names[n % 12]) + std::to_string(n / 12 - 1);
}
