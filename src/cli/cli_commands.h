// The command groups of torvaset-cli. Each takes the arguments after its group name and
// returns the process exit status (0 success, 1 a failed job, 2 a usage error).
#pragma once

#include <string>
#include <vector>

namespace torva::cli {

using Args = std::vector<std::string>;

int RunPortsCommand(const Args& args);
int RunLogoCommand(const Args& args);
int RunNetCommand(const Args& args);
int RunModelsCommand(const Args& args);
int RunSetupCommand(const Args& args);
int RunFirmwareCommand(const Args& args);

// "--name value" or "--name=value" lookup helpers shared by the groups.
bool HasFlag(const Args& args, const std::string& name);
std::string FlagValue(const Args& args, const std::string& name, const std::string& def = "");
std::vector<std::string> Positionals(const Args& args, const std::vector<std::string>& valueFlags);
// A whole decimal number from low to high into value; false (value kept) otherwise.
bool ParseInt(const std::string& text, int low, int high, int& value);

}  // namespace torva::cli
