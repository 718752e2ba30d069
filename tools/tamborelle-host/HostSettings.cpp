#include "tools/tamborelle-host/HostSettings.h"

bool ResolveSettings(VstHost& host, const std::vector<ParamSetting>& settings,
                     std::vector<std::pair<int, float>>& parameters, std::string& error, std::ostream& notes) {
    ParameterResolver resolver(host);
    parameters.clear();
    for (const ParamSetting& setting : settings) {
        std::string note;
        int index = -1;
        float normalized = 0.0f;
        const bool found = resolver.Resolve(setting, index, normalized, error, note);
        if (!note.empty()) notes << "tamborelle-host: note: " << note << "\n";
        if (!found) {
            if (index < 0) error += " (tamborelle-host info MODULE lists them)";
            return false;
        }
        parameters.emplace_back(index, normalized);
    }
    return true;
}

std::vector<std::string> DescribeSettings(VstHost& host, const std::vector<std::pair<int, float>>& parameters) {
    std::vector<std::string> lines;
    for (const auto& p : parameters) {
        std::string index = std::to_string(p.first), name = host.ParamName(p.first);
        index.insert(0, index.size() < 3 ? 3 - index.size() : 0, ' ');
        name.append(name.size() < 12 ? 12 - name.size() : 0, ' ');
        lines.push_back("set " + index + " " + name + " " + host.ParamDisplay(p.first) + "\n");
    }
    return lines;
}
