// --set as render and live apply it: every NAME=VALUE resolved to what a host sends,
// and the plug-in's own display of the values it then holds.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "tools/vsthost/ParameterResolver.h"
#include "tools/vsthost/VstHost.h"

// Index and normalized value per setting, in order. Notes about shared names go to notes;
// false with error set (ending in a hint) on the first unknown parameter or value.
bool ResolveSettings(VstHost& host, const std::vector<ParamSetting>& settings,
                     std::vector<std::pair<int, float>>& parameters, std::string& error, std::ostream& notes);
// "set   8 ParMute      7" per parameter, as the plug-in shows the value it holds.
std::vector<std::string> DescribeSettings(VstHost& host, const std::vector<std::pair<int, float>>& parameters);
