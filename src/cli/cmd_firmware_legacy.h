// "torvaset-cli firmware download --legacy ...": the TORVA10 line's framed firmware download,
// called by the firmware group for --legacy or a TORVA10 model.
#pragma once

#include "cli/cli_commands.h"

namespace torva::cli {

// args: the words after "firmware download". Exit status 0, 1 or 2 as every group.
int RunLegacyFirmwareDownload(const Args& args);

// The usage line of the command, for the group's help.
extern const char* const kLegacyFirmwareUsage;

}  // namespace torva::cli
