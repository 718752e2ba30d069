// --picture: the piano roll of a render, written as a PNG. Drawn where the project draws
// text without a window (Linux); the Windows build of the host says it cannot.
#pragma once

#include <string>

#include "tools/tamborelle-host/ChannelVoices.h"
#include "tools/tamborelle-host/RenderHost.h"

// False with error set when the picture cannot be drawn or written.
bool WriteRollPicture(const RenderReport& report, const ChannelVoices& voices, const std::string& title,
                      const std::string& path, std::string& error);
