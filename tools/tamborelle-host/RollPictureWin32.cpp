#include "tools/tamborelle-host/RollPicture.h"

bool WriteRollPicture(const RenderReport&, const ChannelVoices&, const std::string&, const std::string&,
                      std::string& error) {
    error = "--picture is drawn by the Linux build of tamborelle-host only";
    return false;
}
