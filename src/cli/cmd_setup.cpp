#include "cli/cmd_setup.h"

#include <cstdio>
#include <filesystem>
#include <mutex>

#include "app/app.h"
#include "app/error_log.h"
#include "app/messages.h"
#include "app/models.h"
#include "app/services.h"
#include "cli/cli_options.h"
#include "cli/cli_services.h"
#include "network/socket_hooks.h"
#include "ports/ports.h"
#include "setup/setup_lists.h"

namespace torva::cli {
namespace {

constexpr const char* kConnectionUsage = "--port PORT --model NAME [--baud N] [--log FILE]";
constexpr const char* kPortHelp =
    "PORT: serial:PATH, lpt:PATH (any path: a parallel printer), usb, file:PATH,\n"
    "tcp:HOST:PORT, or a bare device path. Serial lines run at 115200 baud (or --baud),\n"
    "8 data bits, no parity, H/W flow control, 1 stop bit. Questions are answered with --yes.\n"
    "Keys: paper-width columns paper-type color-density watermark cut-adjust drawer-with-cut\n"
    "bell-type bell-times code-page nv-graphic nv-user cut-mode bold-font max-speed\n"
    "left-margin drawer-self-test receive-buffer stop-bit custom-code emulation print-density\n"
    "kitchen-bell auto-cut self-test usb-mode sleep paper-save wifi-keep lcd-password.";

struct CommandRow {
  const char* name;
  int (*run)(const Args&);
  const char* usage;
};

const CommandRow kCommands[] = {
    {"get", RunSetupGet, "get --port PORT --model NAME [--json]\n          read every setting"},
    {"set", RunSetupSet,
     "set --port PORT --model NAME KEY=VALUE... [--yes]\n          write the given settings"},
    {"test", RunSetupTest, "test --port PORT --model NAME\n          print the test page"},
    {"defaults", RunSetupDefaults,
     "defaults --port PORT --model NAME [--yes]\n          write the default settings"},
    {"backup", RunSetupBackup,
     "backup --port PORT --model NAME --out FILE.json\n          read every setting into FILE"},
    {"restore", RunSetupRestore,
     "restore --port PORT --model NAME FILE.json [--yes]\n          write the settings of FILE"},
};

const CommandRow* Find(const std::string& name) {
  for (const auto& c : kCommands) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

bool KoreanSystem() { return System().DefaultLanguageId() == kLangKorean; }

// Four numbers 0..255 with dots between.
bool DottedIpv4(const std::string& text) {
  if (text.find_first_not_of("0123456789.") != std::string::npos) return false;
  size_t start = 0;
  for (int part = 0; part < 4; ++part) {
    const size_t dot = text.find('.', start);
    const bool last = part == 3;
    if (last != (dot == std::string::npos)) return false;
    int value = 0;
    if (!ParseInt(text.substr(start, last ? std::string::npos : dot - start), 0, 255, value)) {
      return false;
    }
    start = dot + 1;
  }
  return true;
}

}  // namespace

int SetupUsage(const std::string& command, const std::string& problem) {
  const CommandRow* row = Find(command);
  std::fprintf(stderr, "torvaset-cli setup %s: %s\nusage: torvaset-cli setup %s\n       %s\n%s\n",
               command.c_str(), problem.c_str(), row != nullptr ? row->usage : "", kConnectionUsage,
               kPortHelp);
  return kExitUsage;
}

void PrintSetupHelp(const std::string& command) {
  const CommandRow* row = Find(command);
  std::printf("usage: torvaset-cli setup %s\n       %s\n%s\n", row != nullptr ? row->usage : "",
              kConnectionUsage, kPortHelp);
}

bool ParseSetupTarget(const Args& args, SetupTarget& target, std::string& error) {
  const std::string port = FlagValue(args, "--port");
  auto starts = [&](const char* prefix) { return port.rfind(prefix, 0) == 0; };
  auto after = [&](const char* prefix) { return port.substr(std::string(prefix).size()); };
  SetupConnection& c = target.connection;
  c.pPort = &thePort;
  std::string portName;
  if (port.empty()) {
    error = "--port PORT is needed";
    return false;
  }
  if (port == "usb" || port == "USB") {
    portName = "USB";
    c.eLink = ExchangeLink::Usb;
  } else if (starts("file:")) {
    portName = "FILE";
    c.eLink = ExchangeLink::File;
    target.strShownPath = after("file:");
    if (target.strShownPath.empty()) error = "file: needs a file name";
    if (auto* ui = dynamic_cast<CCliUserInterface*>(&Ui())) {
      ui->SetPrintToFileName(target.strShownPath);
    }
  } else if (starts("tcp:")) {
    const std::string rest = after("tcp:");
    const size_t colon = rest.rfind(':');
    c.eLink = ExchangeLink::Network;
    c.strIpAddress = colon == std::string::npos ? "" : rest.substr(0, colon);
    if (c.strIpAddress == "localhost") c.strIpAddress = "127.0.0.1";
    portName = "ETHERNET_II";
    if (!DottedIpv4(c.strIpAddress) || !ParseInt(rest.substr(colon + 1), 1, 65535, c.nTcpPort)) {
      error = "tcp: needs HOST:PORT with a dotted IPv4 address, e.g. tcp:127.0.0.1:6001";
    }
    target.strShownPath = rest;
  } else if (starts("lpt:")) {
    c.eLink = ExchangeLink::Parallel;
    c.strParallelPath = after("lpt:");
    portName = c.strParallelPath;
    if (c.strParallelPath.empty()) error = "lpt: needs the path of the parallel port";
  } else {
    portName = starts("serial:") ? after("serial:") : port;
    c.eLink = starts("serial:") ? ExchangeLink::Serial : ExchangeLinkOfPort(portName);
    std::error_code ec;
    if (c.eLink == ExchangeLink::Network) {
      error = "use tcp:HOST:PORT for a network printer";
    } else if (c.eLink == ExchangeLink::Parallel) {
      c.strParallelPath = portName;
    } else if (c.eLink == ExchangeLink::Serial && !starts("serial:") &&
               !std::filesystem::is_character_file(portName, ec)) {
      error = "'" + portName + "' is not a terminal device (use file:PATH to write a file)";
    }
  }
  if (!error.empty()) return false;
  if (target.strShownPath.empty()) target.strShownPath = portName;

  if (!ParseModelOption(args, target.nModelCode, error)) return false;
  thePort.m_strPortName = portName;
  thePort.m_nModel = target.nModelCode;
  thePort.m_nDataBits = 8;
  thePort.m_nParity = 0;
  thePort.m_nFlowControl = 1;
  thePort.m_nStopBits = 0;
  if (!ParseBaudRate(FlagValue(args, "--baud", "115200"), thePort.m_nBaudRate, error)) return false;
  const std::string log = FlagValue(args, "--log");
  if (!log.empty()) {
    if (!theLog.OpenLog(log)) {
      error = "cannot write the log file " + log;
      return false;
    }
    theLog.WriteHeader();
  }
  return true;
}

// Applies each decoded reply at once, on the worker; the command line reads the model only
// after the worker was joined.
class CSetupSession::CSink final : public ISetupSink {
 public:
  explicit CSink(CSettingModel& model) : m_model(model) {}
  bool ApplySetupValue(const SetupValue& value, const std::atomic<bool>&) override {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_model.ApplyValue(value);
    return true;
  }

 private:
  CSettingModel& m_model;
  std::mutex m_mutex;
};

CSetupSession::CSetupSession(const SetupTarget& target) : m_target(target) {
  const bool korean = KoreanSystem();
  const CSettingsFile file = theApp().Settings();
  m_pModel = std::make_unique<CSettingModel>(target.nModelCode, korean, LoadCodePageList(file),
                                             LoadReceiveBufferList(file, korean));
  m_socket.SetQueueReplies(true);
  m_target.connection.pSocket = &m_socket;
  m_pSink = std::make_unique<CSink>(*m_pModel);
  m_pExchange = std::make_unique<CSetupExchange>(*m_pModel, *m_pSink, m_target.connection);
}

CSetupSession::~CSetupSession() {
  if (m_pExchange) m_pExchange->CloseExchange();
}

void CSetupSession::PrintLinkReason() const {
  switch (m_target.connection.eLink) {
    case ExchangeLink::Network: {
      const std::string error = net::LastSocketError();
      if (error != "no error") {
        PrintReason(
            NetworkReason(m_target.connection.strIpAddress, m_target.connection.nTcpPort, error));
      }
      return;
    }
    case ExchangeLink::Parallel: {
      const int code = m_pExchange->Parallel().LastSystemError();
      const std::string error = m_pExchange->Parallel().Error();
      PrintReason(code != 0 || error.empty() ? FileReason(m_target.strShownPath, code)
                                             : m_target.strShownPath + ": " + error);
      return;
    }
    default:
      PrintReason(FileReason(m_target.strShownPath, CPorts::LastError()));
      return;
  }
}

int RunSetupCommand(const Args& args) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::FILE* out = args.empty() ? stderr : stdout;
    std::fprintf(out, "usage: torvaset-cli setup <command> [options]\n\n");
    for (const auto& c : kCommands) std::fprintf(out, "  %s\n", c.usage);
    std::fprintf(out, "\n       %s\n%s\n", kConnectionUsage, kPortHelp);
    return args.empty() ? kExitUsage : kExitOk;
  }
  const CommandRow* row = Find(args[0]);
  if (row == nullptr) {
    std::fprintf(stderr,
                 "torvaset-cli setup: unknown command '%s' (see torvaset-cli setup --help)\n",
                 args[0].c_str());
    return kExitUsage;
  }
  const Args rest(args.begin() + 1, args.end());
  if (HasFlag(rest, "--help") || HasFlag(rest, "-h")) {
    PrintSetupHelp(row->name);
    return kExitOk;
  }
  return row->run(rest);
}

}  // namespace torva::cli
