// The simulator's setup options, in the style of --paper-dir: "--name VALUE" or
// "--name=VALUE".
#include <cerrno>
#include <cstdlib>

#include "sim_setup.h"

namespace torva::sim {
namespace {

bool Number(const std::string& text, long lo, long hi, long& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  out = v;
  return true;
}

// A setting number that the printer has.
bool SettingNumber(const std::string& text, int& a) {
  long v = 0;
  if (!Number(text, 1, 255, v) || !CSetupState::Known(static_cast<int>(v))) return false;
  a = static_cast<int>(v);
  return true;
}

bool Apply(const std::string& name, const std::string& value, SetupSimOptions& o) {
  long n = 0;
  if (name == "--settings") {
    o.strSettingsIn = value;
    return !value.empty();
  }
  if (name == "--settings-out") {
    o.strSettingsOut = value;
    return !value.empty();
  }
  if (name == "--setup-no-reply") {  // A or A:N
    const size_t colon = value.find(':');
    int a = 0;
    if (!SettingNumber(value.substr(0, colon), a)) return false;
    if (colon == std::string::npos) {
      o.unanswered[a] = -1;
      return true;
    }
    if (!Number(value.substr(colon + 1), 1, 1000000, n)) return false;
    o.unanswered[a] = static_cast<int>(n);
    return true;
  }
  if (name == "--setup-reply") {  // A=TEXT
    const size_t eq = value.find('=');
    int a = 0;
    if (eq == std::string::npos || !SettingNumber(value.substr(0, eq), a)) return false;
    const std::string text = value.substr(eq + 1);
    if (text.find('\0') != std::string::npos) return false;
    o.replyTexts[a] = text;
    return true;
  }
  if (name == "--setup-reply-delay") {
    if (!Number(value, 0, 60000, n)) return false;
    o.nReplyDelayMs = static_cast<int>(n);
    return true;
  }
  if (name == "--setup-reply-split") {
    if (!Number(value, 1, 1000, n)) return false;
    o.nReplySplit = static_cast<int>(n);
    return true;
  }
  if (name == "--setup-restart-ms") {
    if (!Number(value, 0, 60000, n)) return false;
    o.nRestartMs = static_cast<int>(n);
    return true;
  }
  return false;
}

bool Takes(const std::string& name) {
  static const char* const kNames[] = {
      "--settings",          "--settings-out",      "--setup-no-reply",  "--setup-reply",
      "--setup-reply-delay", "--setup-reply-split", "--setup-restart-ms"};
  for (const char* k : kNames) {
    if (name == k) return true;
  }
  return false;
}

}  // namespace

bool ParseSetupOption(const std::vector<std::string>& args, size_t& i, SetupSimOptions& options,
                      std::string& error) {
  const std::string& arg = args[i];
  if (arg == "--parallel") {
    options.bParallel = true;
    return true;
  }
  const size_t eq = arg.find('=');
  const std::string name = arg.substr(0, eq);
  if (!Takes(name)) return false;
  std::string value;
  if (eq != std::string::npos) {
    value = arg.substr(eq + 1);
  } else if (i + 1 < args.size()) {
    value = args[++i];
  } else {
    error = name + " needs a value";
    return true;
  }
  if (!Apply(name, value, options)) error = "bad value for " + name + ": " + value;
  return true;
}

const char* SetupOptionsHelp() {
  return "  --settings FILE      user settings at start, a JSON object {\"a\": n, ...} (setting\n"
         "                       number: value nL + 256 * nH; default: the factory defaults)\n"
         "  --settings-out FILE  write the user settings there at start and after every write\n"
         "  --setup-no-reply A[:N]  leave setting A unanswered (for the first N asks)\n"
         "  --setup-reply A=TEXT answer setting A with TEXT\n"
         "  --setup-reply-delay MS  answer each setting MS late (and between pieces)\n"
         "  --setup-reply-split N   answer in pieces of N bytes\n"
         "  --setup-restart-ms MS   after leaving the setting mode, ignore input MS (1000)\n"
         "  --parallel           a parallel printer: status back on after every start\n";
}

}  // namespace torva::sim
