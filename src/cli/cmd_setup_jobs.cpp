// The setup jobs: each checks everything it was given before it opens the printer, then runs
// the exchange as the dialog's buttons do (Get Value, Set Value, TEST, Default).
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cmd_setup.h"
#include "setup/setup_commands.h"

namespace torva::cli {
namespace {

const std::vector<std::string> kValueFlags = {"--port", "--model", "--baud", "--log", "--out"};

CommandOptions Options(std::vector<std::string> flags, std::vector<std::string> values,
                       size_t positionals) {
  for (const char* v : {"--port", "--model", "--baud", "--log"}) values.push_back(v);
  return {std::move(flags), std::move(values), positionals};
}

// Checks the options and the connection; 0 when the job may go on, else the exit status.
int Prepare(const char* command, const Args& args, const CommandOptions& options,
            SetupTarget& target) {
  std::string error;
  if (!CheckArgs(args, options, error) || !ParseSetupTarget(args, target, error)) {
    return SetupUsage(command, error);
  }
  return kExitOk;
}

bool ReadsFromPrinter(const SetupTarget& target) {
  return target.connection.eLink != ExchangeLink::File;
}

// Get Value until the replies settled. With bComplete every asked setting must have
// answered: a backup or a listing with holes would pass for the printer's settings.
int ReadSettings(CSetupSession& session, std::vector<SettingKeyValue>& out, bool bComplete = true) {
  CSetupExchange& exchange = session.Exchange();
  if (!exchange.OpenExchange() || !exchange.GetValue()) {
    session.PrintLinkReason();
    return kExitFailed;
  }
  const SetupReadStatus status = exchange.RunReadTimer();
  exchange.CloseExchange();
  if (exchange.Failed()) {
    session.PrintLinkReason();
    return kExitFailed;
  }
  if (!status.anMissing.empty()) {
    std::string keys;
    for (const int a : status.anMissing) {
      keys += (keys.empty() ? "" : ", ") + KeyOfSetting(a) + " (" + std::to_string(a) + ")";
    }
    std::fprintf(stderr, "torvaset-cli: %s%s\n", bComplete ? "" : "note: ", status.Text().c_str());
    PrintReason("the printer did not answer for " + keys);
    if (bComplete) return kExitFailed;
  }
  out = SettingsOf(session.Model());
  if (bComplete) PrintDone(status.Text());
  return kExitOk;
}

// Set Value with what the model holds.
int WriteSettings(CSetupSession& session, const std::string& done) {
  CSetupExchange& exchange = session.Exchange();
  // The printer would get nothing (the colour density alone does not make a write): a
  // success line would be a lie.
  if (CheckSetValue(session.Model(), false) == SetCheck::NothingSet) {
    std::fprintf(stderr,
                 "torvaset-cli: nothing to write (the colour density is written only with "
                 "another setting); nothing was sent\n");
    return kExitFailed;
  }
  if (!exchange.OpenExchange()) {
    session.PrintLinkReason();
    return kExitFailed;
  }
  if (!exchange.SetValue()) {
    session.PrintLinkReason();
    return kExitFailed;
  }
  exchange.CloseExchange();
  PrintDone(done);
  return kExitOk;
}

// What a set writes after the rules ran on the printer's settings: the given pairs, what
// the rules changed besides (a Yes to "Select One-color mode?"), the paper width a column
// count needs, and the printer's own values of what every write carries (the colour
// density, the margin, the customize setup code), which would otherwise be reset.
std::vector<SettingKeyValue> WrittenPairs(const std::vector<SettingKeyValue>& given,
                                          const std::vector<SettingKeyValue>& before,
                                          const std::vector<SettingKeyValue>& after) {
  auto find = [](const std::vector<SettingKeyValue>& list, const std::string& key) {
    for (const auto& kv : list) {
      if (kv.strKey == key) return &kv;
    }
    return static_cast<const SettingKeyValue*>(nullptr);
  };
  std::vector<SettingKeyValue> out;
  for (const auto& kv : after) {
    const SettingKeyValue* old = find(before, kv.strKey);
    const bool changed = old == nullptr || old->strValue != kv.strValue;
    const bool needed = (kv.strKey == "paper-width" && find(given, "columns") != nullptr) ||
                        kv.strKey == "color-density" || kv.strKey == "left-margin" ||
                        kv.strKey == "custom-code";
    if (find(given, kv.strKey) != nullptr || changed || needed) out.push_back(kv);
  }
  return out;
}

// KEY=VALUE words into pairs; false with the problem in error.
bool ParsePairs(const std::vector<std::string>& words, std::vector<SettingKeyValue>& pairs,
                std::string& error) {
  for (const std::string& w : words) {
    SettingKeyValue kv;
    if (!ParseKeyValueArg(w, kv, error)) return false;
    pairs.push_back(kv);
  }
  return true;
}

}  // namespace

int RunSetupGet(const Args& args) {
  SetupTarget target;
  if (const int rc = Prepare("get", args, Options({"--json"}, {}, 0), target)) return rc;
  if (!ReadsFromPrinter(target)) return SetupUsage("get", "reading needs a printer, not a file");
  CSetupSession session(target);
  std::vector<SettingKeyValue> settings;
  if (const int rc = ReadSettings(session, settings)) return rc;
  if (HasFlag(args, "--json")) {
    std::fputs(SettingsToJson(settings).c_str(), stdout);
  } else {
    for (const auto& s : settings) std::printf("%s: %s\n", s.strKey.c_str(), s.strValue.c_str());
  }
  return kExitOk;
}

int RunSetupSet(const Args& args) {
  SetupTarget target;
  if (const int rc = Prepare("set", args, Options({"--yes"}, {}, SIZE_MAX), target)) return rc;
  std::vector<SettingKeyValue> pairs;
  std::string error;
  const std::vector<std::string> words = Positionals(args, kValueFlags);
  if (words.empty()) return SetupUsage("set", "give at least one KEY=VALUE");
  if (!ParsePairs(words, pairs, error)) return SetupUsage("set", error);
  bool bSomething = false;
  for (const auto& kv : pairs) {
    if (!CheckSetting(kv, error)) return SetupUsage("set", error);
    // The colour density alone, a margin of 0 and the code "0" make no write of their own.
    const bool unset = kv.strKey == "color-density" ||
                       (kv.strKey == "left-margin" && kv.strValue == "0") ||
                       (kv.strKey == "custom-code" && kv.strValue == "0");
    bSomething = bSomething || !unset;
  }
  if (!bSomething) {
    std::fprintf(stderr,
                 "torvaset-cli: nothing to write (the colour density is written only with "
                 "another setting); nothing was sent\n");
    return kExitFailed;
  }
  // The rules between settings look at what the printer holds now (a water mark against
  // its two-colour paper, its other NV list), so read it first where it can be read; the
  // refusals and questions all come before anything is written.
  std::vector<SettingKeyValue> toWrite = pairs;
  if (ReadsFromPrinter(target)) {
    CSetupSession reading(target);
    std::vector<SettingKeyValue> before;
    if (const int rc = ReadSettings(reading, before, false)) return rc;
    if (!ApplySettings(reading.Model(), pairs, error)) return SetupUsage("set", error);
    toWrite = WrittenPairs(pairs, before, SettingsOf(reading.Model()));
  }
  CSetupSession writing(target);
  if (!ApplySettings(writing.Model(), toWrite, error)) return SetupUsage("set", error);
  return WriteSettings(writing,
                       CountOf(static_cast<int>(pairs.size()), "setting", "settings") + " written");
}

int RunSetupTest(const Args& args) {
  SetupTarget target;
  if (const int rc = Prepare("test", args, Options({}, {}, 0), target)) return rc;
  CSetupSession session(target);
  CSetupExchange& exchange = session.Exchange();
  if (!exchange.OpenExchange() || !exchange.TestPrint()) {
    session.PrintLinkReason();
    return kExitFailed;
  }
  exchange.CloseExchange();
  PrintDone("test page printed");
  return kExitOk;
}

int RunSetupDefaults(const Args& args) {
  SetupTarget target;
  if (const int rc = Prepare("defaults", args, Options({"--yes"}, {}, 0), target)) return rc;
  CSetupSession session(target);
  if (!session.Model().AskAndLoadDefaults()) {
    std::fprintf(stderr, "torvaset-cli: not confirmed; nothing was sent\n");
    return kExitFailed;
  }
  return WriteSettings(session, "default settings written");
}

int RunSetupBackup(const Args& args) {
  SetupTarget target;
  if (const int rc = Prepare("backup", args, Options({}, {"--out"}, 0), target)) return rc;
  const std::string out = FlagValue(args, "--out");
  if (out.empty()) return SetupUsage("backup", "--out FILE.json is needed");
  if (!ReadsFromPrinter(target)) return SetupUsage("backup", "reading needs a printer, not a file");
  CSetupSession session(target);
  std::vector<SettingKeyValue> settings;
  if (const int rc = ReadSettings(session, settings)) return rc;
  std::string error;
  if (!WriteBackupFile(out, settings, error)) {
    PrintReason(error);
    return kExitFailed;
  }
  PrintDone(CountOf(static_cast<int>(settings.size()), "setting", "settings") + " saved to " + out);
  return kExitOk;
}

int RunSetupRestore(const Args& args) {
  SetupTarget target;
  if (const int rc = Prepare("restore", args, Options({"--yes"}, {}, 1), target)) return rc;
  const std::vector<std::string> files = Positionals(args, kValueFlags);
  if (files.size() != 1) return SetupUsage("restore", "give the backup file FILE.json");
  std::vector<SettingKeyValue> settings;
  std::string error;
  CSetupSession session(target);
  if (!ReadBackupFile(files[0], settings, error) ||
      !ApplySettings(session.Model(), settings, error)) {
    PrintReason(error);
    std::fprintf(stderr, "torvaset-cli: %s was not restored; nothing was sent\n", files[0].c_str());
    return kExitFailed;
  }
  return WriteSettings(session, CountOf(static_cast<int>(settings.size()), "setting", "settings") +
                                    " written from " + files[0]);
}

}  // namespace torva::cli
