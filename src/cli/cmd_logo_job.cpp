// "torvaset-cli logo upload | print | erase": the upload and print jobs of the logo pages,
// driven by the same engines with the same bytes, order and waits.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/error_log.h"
#include "app/messages.h"
#include "app/models.h"
#include "app/services.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/cli_services.h"
#include "cli/cmd_logo.h"
#include "cli/job_terminal.h"
#include "logo/logo_list.h"
#include "logo/logo_options.h"
#include "logo/print_job.h"
#include "logo/print_range.h"
#include "logo/printer_link.h"
#include "logo/upload_engine.h"
#include "logo/upload_job.h"
#include "network/printer_socket.h"
#include "network/socket_hooks.h"
#include "ports/port_kind.h"
#include "ports/ports.h"

namespace torva::cli {
namespace {

constexpr const char* kConnectionUsage =
    "--port PORT --model NAME [--baud N] [--data-bits 7|8] [--parity none|odd|even]\n"
    "          [--flow hw|sw|none] [--stop-bits 1|2] [--yes] [--log FILE]";
constexpr const char* kUploadUsage =
    "upload --port PORT --model NAME [line options] [--yes] [--gray] [--star]\n"
    "          [--threshold N] [--center-all] [--max-width W] FILE.bmp...\n"
    "          write the bitmaps into the NV memory";
constexpr const char* kPrintUsage =
    "print --port PORT --model NAME (--all | --range TEXT) [--mode normal|double-width|\n"
    "          double-height|quadruple] [--header] [--star] [--yes]\n"
    "          print stored NV images";
constexpr const char* kEraseUsage =
    "erase --port PORT --model NAME [line options] [--yes]\n"
    "          erase every NV image of the printer";
constexpr const char* kPortHelp =
    "PORT: serial:PATH, lpt:PATH, usb, file:PATH, tcp:HOST:PORT, or a bare device path\n"
    "(a terminal is serial, /dev/lp* parallel, /dev/usb/lp* USB). Serial lines default to\n"
    "115200 baud, 8 data bits, no parity, H/W flow control, 1 stop bit. Questions are\n"
    "answered with --yes. Ctrl+C cancels between images.";

const std::vector<std::string> kValueFlags = {
    "--port",      "--model",     "--baud",      "--data-bits", "--parity", "--flow",
    "--stop-bits", "--threshold", "--max-width", "--range",     "--mode",   "--log"};

// The options each job accepts: the connection's, then its own.
CommandOptions JobOptions(std::vector<std::string> flags, std::vector<std::string> values,
                          size_t maxFiles) {
  flags.push_back("--yes");
  for (const char* v : {"--port", "--model", "--baud", "--data-bits", "--parity", "--flow",
                        "--stop-bits", "--log"}) {
    values.push_back(v);
  }
  return {std::move(flags), std::move(values), maxFiles};
}

int Usage(const char* command, const char* usage, const std::string& problem) {
  std::fprintf(stderr, "torvaset-cli logo %s: %s\nusage: torvaset-cli logo %s\n       %s\n%s\n",
               command, problem.c_str(), usage, kConnectionUsage, kPortHelp);
  return 2;
}

// Where the job's bytes go, from --port and the line options.
struct JobConnection {
  std::string strPortName;  // for thePort: a device path, "USB", "FILE" or "ETHERNET_II"
  std::string strFilePath;  // file:PATH
  std::string strHost;      // tcp:HOST:PORT
  int nTcpPort = 0;
};

bool ParsePort(const std::string& text, JobConnection& c, std::string& error) {
  auto after = [&](const char* prefix) { return text.substr(std::string(prefix).size()); };
  auto starts = [&](const char* prefix) { return text.rfind(prefix, 0) == 0; };
  if (text.empty()) {
    error = "--port PORT is needed";
  } else if (text == "usb" || text == "USB") {
    c.strPortName = "USB";
  } else if (starts("file:")) {
    c.strFilePath = after("file:");
    c.strPortName = "FILE";
    if (c.strFilePath.empty()) error = "file: needs a file name";
  } else if (starts("tcp:")) {
    const std::string rest = after("tcp:");
    const std::size_t colon = rest.rfind(':');
    c.strHost = colon == std::string::npos ? "" : rest.substr(0, colon);
    if (c.strHost == "localhost") c.strHost = "127.0.0.1";
    c.strPortName = "ETHERNET_II";
    if (c.strHost.empty() || !ParseInt(rest.substr(colon + 1), 1, 65535, c.nTcpPort)) {
      error = "tcp: needs HOST:PORT with a dotted IPv4 address, e.g. tcp:127.0.0.1:6001";
    }
  } else if (starts("serial:")) {
    c.strPortName = after("serial:");
    if (LinkKindOfPort(c.strPortName) != LinkKind::Serial) {
      error = "serial: needs the path of a terminal device";
    }
  } else if (starts("lpt:")) {
    c.strPortName = after("lpt:");
    if (LinkKindOfPort(c.strPortName) != LinkKind::Parallel) {
      error = "lpt: needs a parallel port (/dev/lpN, /dev/parportN or LPTn)";
    }
  } else {
    c.strPortName = text;
    const LinkKind kind = LinkKindOfPort(text);
    if (kind == LinkKind::Serial && !IsDeviceName(text)) {
      error = "'" + text + "' is not a terminal device (use file:PATH to write a file)";
    } else if (kind == LinkKind::Network || kind == LinkKind::Unreachable) {
      error = "use tcp:HOST:PORT for a network printer";
    }
  }
  return error.empty();
}

bool ApplyLineOptions(const Args& args, CPorts& port, std::string& error) {
  port.m_nBaudRate = 115200;
  port.m_nDataBits = 8;
  port.m_nParity = 0;
  port.m_nFlowControl = 1;
  port.m_nStopBits = 0;
  if (!ParseBaudRate(FlagValue(args, "--baud", "115200"), port.m_nBaudRate, error)) return false;
  const std::string bits = FlagValue(args, "--data-bits", "8");
  if (bits != "7" && bits != "8") {
    error = "--data-bits takes 7 or 8";
    return false;
  }
  port.m_nDataBits = bits == "7" ? 7 : 8;
  const std::string parity = FlagValue(args, "--parity", "none");
  if (parity == "none") port.m_nParity = 0;
  else if (parity == "odd") port.m_nParity = 1;
  else if (parity == "even") port.m_nParity = 2;
  else {
    error = "--parity takes none, odd or even";
    return false;
  }
  const std::string flow = FlagValue(args, "--flow", "hw");
  if (flow == "hw") port.m_nFlowControl = 1;
  else if (flow == "sw") port.m_nFlowControl = 2;
  else if (flow == "none") port.m_nFlowControl = 3;
  else {
    error = "--flow takes hw, sw or none";
    return false;
  }
  const std::string stop = FlagValue(args, "--stop-bits", "1");
  if (stop != "1" && stop != "2") {
    error = "--stop-bits takes 1 or 2";
    return false;
  }
  port.m_nStopBits = stop == "1" ? 0 : 2;
  return true;
}

// Everything a job needs before it opens the printer: the port object's settings, the
// socket's address, the model code, the log.
struct JobSetup {
  JobConnection connection;
  int nModelCode = kModelGeneric;
};

bool SetUpJob(const Args& args, JobSetup& setup, std::string& error) {
  if (!ParsePort(FlagValue(args, "--port"), setup.connection, error)) return false;
  if (!ParseModelOption(args, setup.nModelCode, error)) return false;
  if (!ApplyLineOptions(args, thePort, error)) return false;
  thePort.m_strPortName = setup.connection.strPortName;
  thePort.m_nModel = setup.nModelCode;
  thePort.m_nFunction = kFunctionLogo;
  if (!setup.connection.strFilePath.empty()) {
    if (auto* ui = dynamic_cast<CCliUserInterface*>(&Ui())) {
      ui->SetPrintToFileName(setup.connection.strFilePath);
    }
  }
  const std::string log = FlagValue(args, "--log");
  if (!log.empty() && !theLog.OpenLog(log)) {
    error = "cannot write the log file " + log;
    return false;
  }
  if (!log.empty()) theLog.WriteHeader();
  return true;
}

// The progress line: drawn over itself on a terminal, nothing otherwise.
class CProgressLine {
 public:
  CProgressLine() : m_bTerminal(StderrIsTerminal()) {}
  ~CProgressLine() { Done(); }
  void Show(const std::string& status, long pos, long range) {
    if (!m_bTerminal) return;
    const int percent = range > 0 ? static_cast<int>(pos * 100 / range) : 0;
    std::fprintf(stderr, "\r%-60.60s %3d%%", status.c_str(), percent > 100 ? 100 : percent);
    std::fflush(stderr);
    m_bDrawn = true;
  }
  void Done() {
    if (m_bDrawn) std::fputc('\n', stderr);
    m_bDrawn = false;
  }

 private:
  bool m_bTerminal;
  bool m_bDrawn = false;
};

int UploadExitCode(UploadResult result) { return UploadSucceeded(result) ? 0 : 1; }

// After the system's message about a failed open or write: where the bytes were to go and
// the system's own error text, the part a user can act on.
void PrintLinkReason(const CPrinterLink& link, const JobConnection& c) {
  if (link.IsNetwork()) {
    const std::string error = net::LastSocketError();
    if (error != "no error") PrintReason(NetworkReason(c.strHost, c.nTcpPort, error));
    return;
  }
  const int error = link.LastError();
  if (error != 0) {
    PrintReason(FileReason(c.strFilePath.empty() ? c.strPortName : c.strFilePath, error));
  }
}

int RunUploadJob(const JobSetup& setup, CLogoList& list, int imageCount) {
  CPrinterSocket socket;
  socket.SetQueueReplies(true);
  CPrinterLink link(thePort, socket, setup.connection.strHost, setup.connection.nTcpPort);
  // The keys of the LOGO section that the rewrite after a complete upload replaces.
  g_nLogoKeyCount = static_cast<int>(ReadLogoFiles().size());
  CUploadJob job(link, list, g_logoEntries, theLogoOptions, setup.nModelCode);
  CProgressLine line;
  CatchInterrupt();
  const UploadResult result = job.Run(
      [&line](const CUploadEngine& e) { line.Show(e.StatusText(), e.ProgressPos(), e.ProgressRange()); },
      [] { return CancelRequested(); });
  line.Done();
  if (result == UploadResult::Cancelled) std::fprintf(stderr, "torvaset-cli: upload cancelled\n");
  // The dialogs say nothing after an erase; a script's user still wants to know it happened.
  if (result == UploadResult::Erased) {
    std::fprintf(stderr, "torvaset-cli: every NV image of the printer was erased\n");
  }
  if (result == UploadResult::Completed) {
    PrintDone(CountOf(imageCount, "image", "images") + " written");
  }
  if (result == UploadResult::NotConnected || result == UploadResult::Failed) {
    PrintLinkReason(link, setup.connection);
  }
  return UploadExitCode(result);
}

int RunLogoUpload(const Args& args) {
  if (HasFlag(args, "--help")) {
    std::printf("usage: torvaset-cli logo %s\n       %s\n%s\n", kUploadUsage, kConnectionUsage,
                kPortHelp);
    return 0;
  }
  std::string error;
  if (!CheckArgs(args,
                 JobOptions({"--gray", "--star", "--center-all"}, {"--threshold", "--max-width"},
                            SIZE_MAX),
                 error)) {
    return Usage("upload", kUploadUsage, error);
  }
  const std::vector<std::string> files = Positionals(args, kValueFlags);
  if (files.empty()) return Usage("upload", kUploadUsage, "no bitmap files given (to erase: logo erase)");
  JobSetup setup;
  if (!SetUpJob(args, setup, error)) return Usage("upload", kUploadUsage, error);

  LogoOptions& options = theLogoOptions;
  options.SetSheetDefaults(setup.nModelCode);
  options.nCapacityKB = 384;
  options.bGrayPrint = HasFlag(args, "--gray");
  options.bStarEmulation = HasFlag(args, "--star");
  if (options.bGrayPrint && !PrintsGray(setup.nModelCode)) {
    return Usage("upload", kUploadUsage, "grey printing is not available for the TORVA10 line");
  }
  if (!ParseInt(FlagValue(args, "--threshold", "128"), 0, 255, options.nThreshold)) {
    return Usage("upload", kUploadUsage, "--threshold takes a number from 0 to 255");
  }
  const std::string maxWidth = FlagValue(args, "--max-width");
  if (!maxWidth.empty() && !ParseInt(maxWidth, 1, 512, options.nMaxPrintWidth)) {
    return Usage("upload", kUploadUsage, "--max-width takes a number of dots from 1 to 512");
  }
  options.abAutoCenter.fill(HasFlag(args, "--center-all"));

  CLogoList list(g_logoEntries, options);
  list.ResetList();
  for (const std::string& file : files) {
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(file, ec);
    const std::string full = ec ? file : path.lexically_normal().string();
    if (!list.AddBitmap(full, 0)) {
      const std::string reason = ReadReason(file);
      if (!reason.empty()) PrintReason(reason);
      std::fprintf(stderr, "torvaset-cli: %s was not added; nothing was sent\n", file.c_str());
      return 1;
    }
  }
  return RunUploadJob(setup, list, static_cast<int>(files.size()));
}

int RunLogoErase(const Args& args) {
  if (HasFlag(args, "--help")) {
    std::printf("usage: torvaset-cli logo %s\n       %s\n%s\n", kEraseUsage, kConnectionUsage,
                kPortHelp);
    return 0;
  }
  std::string error;
  if (!Positionals(args, kValueFlags).empty()) {
    return Usage("erase", kEraseUsage, "erase takes no files (to write bitmaps: logo upload)");
  }
  if (!CheckArgs(args, JobOptions({}, {}, 0), error)) return Usage("erase", kEraseUsage, error);
  JobSetup setup;
  if (!SetUpJob(args, setup, error)) return Usage("erase", kEraseUsage, error);
  CLogoList list(g_logoEntries, theLogoOptions);
  list.ResetList();
  return RunUploadJob(setup, list, 0);
}

// The printer prints nothing for a number that holds no image, and says nothing either: name
// the selected numbers beyond the images the settings file records as written. Returns how
// many selected prints those are.
int NoteUnrecordedNumbers(const PrintSettings& settings) {
  if (!settings.bSelection) return 0;
  RangeList list;
  int total = 0;
  if (!ParsePrintRange(settings.strSelection, list, total)) return 0;
  const int recorded = static_cast<int>(ReadLogoFiles().size());
  std::string numbers;
  int count = 0;
  for (const int n : ExpandRangeList(list)) {
    if (n <= recorded) continue;
    if (++count <= 8) numbers += (numbers.empty() ? "" : ", ") + std::to_string(n);
  }
  if (count == 0) return 0;
  if (count > 8) numbers += ", ...";
  const std::string file = std::filesystem::path(theApp().m_strProfilePath).filename().string();
  std::fprintf(stderr,
               "torvaset-cli: note: %s records %s written here; number %s may hold no image, "
               "and an empty number prints nothing\n",
               file.c_str(), CountOf(recorded, "image", "images").c_str(), numbers.c_str());
  return count;
}

bool ParseMode(const std::string& text, NvPrintMode& mode) {
  if (text == "normal") mode = NvPrintMode::Normal;
  else if (text == "double-width") mode = NvPrintMode::DoubleWidth;
  else if (text == "double-height") mode = NvPrintMode::DoubleHeight;
  else if (text == "quadruple") mode = NvPrintMode::Quadruple;
  else return false;
  return true;
}

int RunLogoPrint(const Args& args) {
  if (HasFlag(args, "--help")) {
    std::printf("usage: torvaset-cli logo %s\n       %s\n%s\n", kPrintUsage, kConnectionUsage,
                kPortHelp);
    return 0;
  }
  std::string error;
  if (!Positionals(args, kValueFlags).empty()) {
    return Usage("print", kPrintUsage, "print takes no files");
  }
  if (!CheckArgs(args, JobOptions({"--all", "--header", "--star"}, {"--range", "--mode"}, 0),
                 error)) {
    return Usage("print", kPrintUsage, error);
  }
  PrintSettings settings;
  const bool all = HasFlag(args, "--all");
  const bool range = HasFlag(args, "--range") || !FlagValue(args, "--range").empty();
  if (all == range) return Usage("print", kPrintUsage, "give either --all or --range TEXT");
  settings.bSelection = range;
  settings.strSelection = FlagValue(args, "--range");
  if (!ParseMode(FlagValue(args, "--mode", "normal"), settings.eMode)) {
    return Usage("print", kPrintUsage, "--mode takes normal, double-width, double-height or quadruple");
  }
  settings.bHeader = HasFlag(args, "--header");
  settings.bStarEmulation = HasFlag(args, "--star");
  JobSetup setup;
  if (!SetUpJob(args, setup, error)) return Usage("print", kPrintUsage, error);
  if (!PrintAllowedForPort(setup.connection.strPortName)) {
    return Usage("print", kPrintUsage, "printing needs a printer, not a file");
  }
  // A refused selection is told before anything is sent.
  if (settings.bSelection && !ValidatePrintRange(settings.strSelection)) {
    ShowMessage(theMsg[MsgId::NvImageNumberIncorrect], MsgIcon::Warning);
    return 1;
  }
  CPrinterSocket socket;
  socket.SetQueueReplies(true);
  CPrinterLink link(thePort, socket, setup.connection.strHost, setup.connection.nTcpPort);
  CPrintJob job(link, settings);
  CProgressLine line;
  CatchInterrupt();
  const PrintResult result = job.Run(
      [&line](const CPrintEngine& e) { line.Show(e.StatusText(), e.ProgressPos(), e.ProgressRange()); },
      [] { return CancelRequested(); });
  line.Done();
  if (result == PrintResult::Cancelled) std::fprintf(stderr, "torvaset-cli: printing cancelled\n");
  if (result == PrintResult::NotConnected || result == PrintResult::Failed) {
    PrintLinkReason(link, setup.connection);
  }
  if (result != PrintResult::Printed) return 1;
  const int unrecorded = NoteUnrecordedNumbers(settings);
  const int printed = job.Engine().Printed();
  if (unrecorded == 0) {
    PrintDone(CountOf(printed, "image", "images") + " printed");
  } else {
    PrintDone(CountOf(printed, "print command", "print commands") + " sent, " +
              std::to_string(unrecorded) + " of them for numbers that may be empty");
  }
  return 0;
}

const bool g_bRegistered = RegisterLogoCommand("upload", RunLogoUpload, kUploadUsage) &&
                           RegisterLogoCommand("print", RunLogoPrint, kPrintUsage) &&
                           RegisterLogoCommand("erase", RunLogoErase, kEraseUsage);

}  // namespace
}  // namespace torva::cli
