// "torvaset-cli logo ...": dispatch to the registered subcommands (see cmd_logo.h).
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cmd_logo.h"

namespace torva::cli {
namespace {

struct LogoCommand {
  std::string name;
  LogoCommandFn run;
  std::string usage;
};

std::vector<LogoCommand>& Commands() {
  static std::vector<LogoCommand> commands;
  return commands;
}

// Subcommands the logo group has, whether or not this build carries them yet.
const char* const kKnownCommands[] = {"convert", "upload", "print", "erase"};

void PrintLogoUsage(std::FILE* out) {
  std::fprintf(out, "usage: torvaset-cli logo <command> [options]\n\n");
  for (const auto& c : Commands()) std::fprintf(out, "  %s\n", c.usage.c_str());
}

}  // namespace

bool RegisterLogoCommand(const char* name, LogoCommandFn run, const char* usage) {
  Commands().push_back({name, run, usage});
  return true;
}

int RunLogoCommand(const Args& args) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    PrintLogoUsage(args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  const std::string& name = args[0];
  const Args rest(args.begin() + 1, args.end());
  for (const auto& c : Commands()) {
    if (c.name == name) return c.run(rest);
  }
  for (const char* known : kKnownCommands) {
    if (name == known) {
      std::fprintf(stderr, "torvaset-cli: 'logo %s' is not in this build yet\n", known);
      return 2;
    }
  }
  std::fprintf(stderr, "torvaset-cli: unknown logo command '%s'\n", name.c_str());
  PrintLogoUsage(stderr);
  return 2;
}

}  // namespace torva::cli
