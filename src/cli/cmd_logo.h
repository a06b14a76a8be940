// The subcommands of "torvaset-cli logo". Each lives in a file of its own and registers
// itself from a static initialiser, so that a subcommand is added without touching the
// others:
//
//   namespace { const bool registered = RegisterLogoCommand("upload", RunLogoUpload,
//       "upload FILES... [options]   write the bitmaps into the NV memory"); }
#pragma once

#include "cli/cli_commands.h"

namespace torva::cli {

using LogoCommandFn = int (*)(const Args& args);

// name: the word after "logo"; usage: one line for "logo --help". Returns true.
bool RegisterLogoCommand(const char* name, LogoCommandFn run, const char* usage);

}  // namespace torva::cli
