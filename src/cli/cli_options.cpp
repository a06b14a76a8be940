#include "cli/cli_options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/messages.h"
#include "app/models.h"

namespace torva::cli {
namespace {

bool Contains(const std::vector<std::string>& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

bool CheckArgs(const Args& args, const CommandOptions& options, std::string& error) {
  size_t positionals = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") continue;
    if (a.size() < 2 || a[0] != '-' || a == "--") {
      if (++positionals > options.nMaxPositionals) {
        error = options.nMaxPositionals == 0 ? "unexpected argument '" + a + "'"
                                             : "one argument too many: '" + a + "'";
        return false;
      }
      continue;
    }
    const size_t eq = a.find('=');
    const std::string name = a.substr(0, eq);
    if (Contains(options.values, name)) {
      if (eq == std::string::npos && (i + 1 >= args.size())) {
        error = name + " needs a value";
        return false;
      }
      if (eq == std::string::npos) ++i;
    } else if (Contains(options.flags, name)) {
      if (eq != std::string::npos) {
        error = name + " takes no value";
        return false;
      }
    } else {
      error = "unknown option '" + name + "'";
      return false;
    }
  }
  return true;
}

int UsageError(const std::string& command, const std::string& problem, const std::string& usage) {
  std::fprintf(stderr, "torvaset-cli %s: %s\n", command.c_str(), problem.c_str());
  if (!usage.empty()) std::fprintf(stderr, "usage: %s\n", usage.c_str());
  return kExitUsage;
}

const std::vector<int>& AcceptedBaudRates() {
  static const std::vector<int> rates = {115200, 57600, 38400, 19200, 9600};
  return rates;
}

bool ParseBaudRate(const std::string& text, int& baud, std::string& error) {
  const auto& rates = AcceptedBaudRates();
  int value = 0;
  if (ParseInt(text, 1, 1 << 30, value) &&
      std::find(rates.begin(), rates.end(), value) != rates.end()) {
    baud = value;
    return true;
  }
  error = "--baud takes ";
  for (size_t i = rates.size(); i-- > 0;) {
    error += std::to_string(rates[i]);
    error += i == 0 ? "" : i == 1 ? " or " : ", ";
  }
  error += ", not '" + text + "'";
  return false;
}

std::string FileReason(const std::string& path, int errorCode) {
  return errorCode == 0 ? path : path + ": " + std::strerror(errorCode);
}

std::string ReadReason(const std::string& path) {
  // A pipe or a device is named as such and never opened: opening it could block.
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    return path + ": not a regular file";
  }
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return FileReason(path, errno);
  std::fclose(file);
  return {};
}

std::string NetworkReason(const std::string& host, int port, const std::string& socketError) {
  std::string text = socketError;
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return host + ":" + std::to_string(port) + ": " + text;
}

void PrintReason(const std::string& reason) {
  std::fprintf(stderr, "torvaset-cli: %s\n", reason.c_str());
}

void PrintDone(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

std::string CountOf(int count, const char* singular, const char* plural) {
  return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

bool ParseModelOption(const Args& args, int& modelCode, std::string& error) {
  const std::string model = FlagValue(args, "--model");
  if (model.empty()) {
    error = "--model NAME is needed (e.g. TORVA40/45S)";
    return false;
  }
  if (!IsKnownModelName(model)) {
    error = "'" + model + "': " + theMsg[MsgId::InvalidDevice] + " (e.g. TORVA40/45S)";
    return false;
  }
  modelCode = ModelCodeFromName(model);
  return true;
}

}  // namespace torva::cli
