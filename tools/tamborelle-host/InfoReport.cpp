#include "tools/tamborelle-host/InfoReport.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

std::string FourChars(int32_t id) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char((uint32_t(id) >> shift) & 0xFF);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    return s;
}

std::string Hex(uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", v);
    return text;
}

std::string Flags(int32_t flags) {
    static const struct {
        int32_t mBit;
        const char* mName;
    } names[] = {
        {vst2::effFlagsHasEditor, "HasEditor"},
        {vst2::effFlagsCanMono, "CanMono"},
        {vst2::effFlagsCanReplacing, "CanReplacing"},
        {vst2::effFlagsProgramChunks, "ProgramChunks"},
        {vst2::effFlagsIsSynth, "IsSynth"},
        {vst2::effFlagsNoSoundInStop, "NoSoundInStop"},
        {vst2::effFlagsCanDoubleReplacing, "CanDoubleReplacing"},
    };
    std::string s;
    int32_t known = 0;
    for (const auto& n : names) {
        known |= n.mBit;
        if (flags & n.mBit) s += std::string(s.empty() ? "" : " ") + n.mName;
    }
    if (flags & ~known) s += std::string(s.empty() ? "" : " ") + "unknown " + Hex(uint32_t(flags & ~known));
    return s.empty() ? "none" : s;
}

const char* Category(intptr_t category) {
    static const char* names[] = {"Unknown", "Effect",     "Synth",       "Analysis",       "Mastering", "Spacializer",
                                  "RoomFx",  "SurroundFx", "Restoration", "OfflineProcess", "Shell",     "Generator"};
    return category >= 0 && category < 12 ? names[category] : "out of range";
}

std::string Padded(const std::string& text, size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string Version(int32_t v) {
    return std::to_string(v) + " (" + std::to_string(v / 10000) + "." + std::to_string(v / 100 % 100) + "." +
           std::to_string(v % 100) + ")";
}

}  // namespace

void PrintInfo(VstHost& host, std::ostream& out) {
    const vst2::AEffect* effect = host.Effect();
    if (!effect) return;
    const std::string product = host.Text(vst2::effGetProductString);
    out << "effect name:   " << host.Text(vst2::effGetEffectName) << "\n"
        << "vendor:        " << host.Text(vst2::effGetVendorString) << "\n"
        << "product:       " << (product.empty() ? "(empty)" : product) << "\n"
        << "version:       " << Version(effect->version) << "\n"
        << "unique id:     '" << FourChars(effect->uniqueID) << "' (" << Hex(uint32_t(effect->uniqueID)) << ")\n"
        << "VST version:   " << host.Dispatch(vst2::effGetVstVersion) << "\n"
        << "category:      " << Category(host.Dispatch(vst2::effGetPlugCategory)) << "\n"
        << "flags:         " << Hex(uint32_t(effect->flags)) << " " << Flags(effect->flags) << "\n"
        << "inputs:        " << effect->numInputs << "\n"
        << "outputs:       " << effect->numOutputs << "\n"
        << "latency:       " << effect->initialDelay << " samples\n"
        << "parameters:    " << effect->numParams << "\n"
        << "programs:      " << effect->numPrograms << "\n";

    out << "\ncanDo:\n";
    static const char* texts[] = {"sendVstEvents",    "sendVstMidiEvent",    "sendVstTimeInfo",
                                  "receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo",
                                  "offline",          "midiProgramNames",    "bypass"};
    for (const char* text : texts) {
        const intptr_t answer = host.Dispatch(vst2::effCanDo, 0, 0, const_cast<char*>(text));
        out << "  " << text << std::string(22 - std::string(text).size(), ' ')
            << (answer > 0   ? "yes"
                : answer < 0 ? "no"
                             : "no answer")
            << "\n";
    }

    out << "\nparameters (index, name, display text):\n";
    for (int i = 0; i < effect->numParams; ++i) {
        const std::string name = host.ParamName(i);
        const std::string label = host.Text(vst2::effGetParamLabel, i);
        std::string index = std::to_string(i);
        out << std::string(5 - std::min<size_t>(index.size(), 3), ' ') << index << "  "
            << Padded(name.empty() ? "(unnamed)" : name, 12) << " " << host.ParamDisplay(i)
            << (label.empty() ? "" : " ") << label << "\n";
    }

    out << "\nprograms (current " << host.Dispatch(vst2::effGetProgram) << "):\n";
    for (int i = 0; i < effect->numPrograms; ++i) out << "  " << i << "  " << host.ProgramName(i) << "\n";
}
