#include "sim_options.h"

#include "sim_firmware_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace torva::sim {
namespace {

struct OptionRow {
  const char* name;   // "--tcp-port"
  const char* value;  // "N" for an option with a value, nullptr for a switch
  const char* help;
  std::function<bool(SimOptions&, const char*)> apply;
};

bool ParseNumber(const char* text, long long lo, long long hi, long long& out) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text, &end, 0);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  out = v;
  return true;
}

const std::vector<OptionRow>& Table() {
  static const std::vector<OptionRow> rows = {
      {"--help", nullptr, "show this help and exit",
       [](SimOptions& o, const char*) { return o.bHelp = true; }},
      {"--no-serial", nullptr, "do not open the pseudo-terminal line",
       [](SimOptions& o, const char*) {
         o.bSerial = false;
         return true;
       }},
      {"--link", "PATH", "make PATH a symbolic link to the serial line",
       [](SimOptions& o, const char* v) {
         o.strLinkPath = v;
         return !o.strLinkPath.empty();
       }},
      {"--tcp-port", "N", "serve TCP on 127.0.0.1:N (0: a free port, printed at start)",
       [](SimOptions& o, const char* v) {
         long long n = 0;
         if (!ParseNumber(v, 0, 65535, n)) return false;
         o.nTcpPort = static_cast<int>(n);
         return true;
       }},
      {"--capture", "FILE", "append every received byte to FILE",
       [](SimOptions& o, const char* v) {
         o.printer.strCapturePath = v;
         return !o.printer.strCapturePath.empty();
       }},
      {"--status-byte", "B", "the answer to GS I 1 (default 0x20)",
       [](SimOptions& o, const char* v) {
         long long n = 0;
         if (!ParseNumber(v, 0, 255, n)) return false;
         o.printer.nStatusByte = static_cast<uint8_t>(n);
         return true;
       }},
      {"--silent", nullptr, "answer nothing (a printer that does not reply)",
       [](SimOptions& o, const char*) { return o.printer.bSilent = true; }},
      {"--close-after", "N",
       "drop a connection after N received bytes (the pty: close the line for good)",
       [](SimOptions& o, const char* v) {
         long long n = 0;
         if (!ParseNumber(v, 1, 1LL << 50, n)) return false;
         o.nCloseAfter = static_cast<uint64_t>(n);
         return true;
       }},
      {"--fw-baud", "N", "read at most N baud (10 bits a byte), as a serial line would",
       [](SimOptions&, const char* v) {
         long long n = 0;
         if (!ParseNumber(v, 300, 4000000, n)) return false;
         LineFaults().nBaud = static_cast<int>(n);
         return true;
       }},
      {"--fw-stall-after", "N", "stop reading after N received bytes (a printer that takes no more)",
       [](SimOptions&, const char* v) {
         long long n = 0;
         if (!ParseNumber(v, 1, 1LL << 50, n)) return false;
         LineFaults().nStallAfter = static_cast<uint64_t>(n);
         return true;
       }},
      {"--verbose", nullptr, "one line per command on stderr",
       [](SimOptions& o, const char*) { return o.printer.bVerbose = true; }},
  };
  return rows;
}

}  // namespace

bool ParseOptions(int argc, char** argv, SimOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    const char* inlineValue = nullptr;
    const size_t eq = arg.find('=');
    std::string name = eq == std::string::npos ? arg : arg.substr(0, eq);
    if (eq != std::string::npos) inlineValue = argv[i] + eq + 1;
    const OptionRow* row = nullptr;
    for (const auto& r : Table()) {
      if (name == r.name) row = &r;
    }
    if (row == nullptr) {
      error = "unknown option " + arg;
      return false;
    }
    const char* value = nullptr;
    if (row->value != nullptr) {
      if (inlineValue != nullptr) {
        value = inlineValue;
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        error = name + " needs a value (" + row->value + ")";
        return false;
      }
    } else if (inlineValue != nullptr) {
      error = name + " takes no value";
      return false;
    }
    if (!row->apply(options, value)) {
      error = "bad value for " + name + ": " + (value != nullptr ? value : "");
      return false;
    }
  }
  return true;
}

void PrintHelp(std::FILE* out) {
  std::fprintf(out,
               "Usage: torva-printer-sim [options]\n"
               "A simulated TORVA receipt printer for trying out and testing TORVASet.\n"
               "It offers a serial line (a pseudo-terminal) and optionally a TCP port on\n"
               "127.0.0.1, and prints on stdout:\n"
               "  serial: /dev/pts/N        the line to open in the tool\n"
               "  tcp: 127.0.0.1:PORT       the TCP address, with --tcp-port\n"
               "  ready                     all listeners are up\n"
               "Stop it with Ctrl+C (SIGINT) or SIGTERM.\n\nOptions:\n");
  for (const auto& r : Table()) {
    std::string left = r.name;
    if (r.value != nullptr) left += std::string(" ") + r.value;
    std::fprintf(out, "  %-20s %s\n", left.c_str(), r.help);
  }
}

}  // namespace torva::sim
