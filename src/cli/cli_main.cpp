// torvaset-cli: the set-up jobs from a shell, for scripts and dealers who set up many printers.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/app.h"
#include "app/messages.h"
#include "app/platform.h"
#include "app/services.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/cli_services.h"

namespace {

void PrintUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: torvaset-cli <group> <command> [options]\n"
               "\n"
               "  ports [--json]                       list serial, parallel and USB printer ports\n"
               "  models [--json]                      the model names, codes and interfaces\n"
               "  logo convert|upload|print|erase ...  NV logo jobs (torvaset-cli logo --help)\n"
               "  net search|set ...                   network printers (torvaset-cli net --help)\n"
               "  setup get|set|test|defaults|backup|restore ...\n"
               "                                       user settings (torvaset-cli setup --help)\n"
               "  firmware info|download ...           firmware images (torvaset-cli firmware --help)\n"
               "\n"
               "  --version                            the program's version\n"
               "\n"
               "Messages follow the system language (Korean when LANG is ko_KR). Exit status:\n"
               "0 done, 1 the job failed, 2 a usage error.\n");
}

}  // namespace

int main(int argc, char** argv) {
  torva::IgnoreBrokenPipe();
  torva::cli::CCliUserInterface ui;
  static torva::CSteadyClock clock;
  static torva::CHostSystem system;
  torva::InstallServices(&ui, &clock, &system);
  // The command line shares the desktop program's settings file (torvaset.INI in the
  // current directory), so a dealer's PORTLIST, NETWORK and LOGO sections serve both.
  if (!torva::theApp().InitPaths("torvaset")) return 1;
  torva::theMsg.SelectLanguage(torva::System().DefaultLanguageId());

  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    if (argc > 2) {
      return torva::cli::UsageError("--version", "takes no arguments", "torvaset-cli --version");
    }
    const torva::FileVersion v = torva::System().Version();
    std::printf("torvaset-cli %d.%d.%d\n", v.major, v.minor, v.build);
    return 0;
  }
  const std::string group = argv[1];
  torva::cli::Args args(argv + 2, argv + argc);
  ui.Configure(args);
  if (group == "ports") return torva::cli::RunPortsCommand(args);
  if (group == "logo") return torva::cli::RunLogoCommand(args);
  if (group == "net") return torva::cli::RunNetCommand(args);
  if (group == "models") return torva::cli::RunModelsCommand(args);
  if (group == "setup") return torva::cli::RunSetupCommand(args);
  if (group == "firmware") return torva::cli::RunFirmwareCommand(args);
  std::fprintf(stderr, "torvaset-cli: unknown group '%s'\n", group.c_str());
  PrintUsage(stderr);
  return 2;
}
