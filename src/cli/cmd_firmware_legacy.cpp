// The TORVA10 firmware download from a shell: the same engine as the TORVA10 Firmware
// Download dialog, so the printer sees the same frames and waits. Where the dialog waits for
// an answer until CANCEL, the command line gives up after --timeout seconds of silence.
#include "cli/cmd_firmware_legacy.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/connection_settings.h"
#include "app/messages.h"
#include "app/models.h"
#include "app/services.h"
#include "cli/cli_options.h"
#include "cli/job_terminal.h"
#include "firmware/legacy_downloader.h"
#include "ports/port_kind.h"
#include "ports/ports.h"

namespace torva::cli {

const char* const kLegacyFirmwareUsage =
    "firmware download --legacy --port PORT --model NAME --area program|boot|font FILE\n"
    "          [--baud N] [--yes] [--timeout S]";

namespace {

constexpr double kDefaultTimeoutS = 10.0;

int Usage(const std::string& problem) {
  return UsageError(
      "firmware download", problem,
      std::string("torvaset-cli ") + kLegacyFirmwareUsage +
          "\nwrites one flash area of a TORVA10 printer from a raw flash image (the file\n"
          "offset is the flash address). PORT: serial:PATH, lpt:PATH or a device path. The\n"
          "serial line runs without flow control; the download stops after S seconds\n"
          "(default 10) without an answer from the printer. Ctrl+C cancels.");
}

bool ParseLegacyPort(const std::string& text, std::string& portName, std::string& error) {
  auto starts = [&](const char* prefix) { return text.rfind(prefix, 0) == 0; };
  if (text.empty()) {
    error = "--port PORT is needed";
    return false;
  }
  PortNameKind want = PortNameKind::Serial;
  bool bTyped = true;
  if (starts("serial:")) {
    portName = text.substr(7);
  } else if (starts("lpt:")) {
    portName = text.substr(4);
    want = PortNameKind::Parallel;
  } else {
    portName = text;
    bTyped = false;
  }
  const PortNameKind kind = ClassifyPortName(portName);
  if (bTyped && kind != want) {
    error = want == PortNameKind::Serial ? "serial: needs the path of a terminal device"
                                         : "lpt: needs a parallel port (/dev/lpN or LPTn)";
  } else if (kind != PortNameKind::Serial && kind != PortNameKind::Parallel) {
    error = "'" + portName + "': the TORVA10 download needs a serial or parallel port";
  } else if (kind == PortNameKind::Serial && portName.rfind("COM", 0) != 0) {
    std::error_code ec;
    if (!std::filesystem::is_character_file(portName, ec)) {
      error = "'" + portName + "' is not a terminal device";
    }
  }
  return error.empty();
}

bool ParseSeconds(const std::string& text, double& seconds) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(v) || v < 0.1 || v > 3600) return false;
  seconds = v;
  return true;
}

// The progress line: drawn over itself on a terminal, nothing otherwise.
class CLegacyProgressLine {
 public:
  CLegacyProgressLine() : m_bTerminal(StderrIsTerminal()) {}
  ~CLegacyProgressLine() { Done(); }
  void Show(const CLegacyDownloader& dl) {
    if (!m_bTerminal) return;
    std::fprintf(stderr, "\r%-20s frame %d/%d, %d repeated  ", dl.Caption().c_str(),
                 dl.DataFrames(), dl.FrameCount(), dl.TotalRepeats());
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

}  // namespace

int RunLegacyFirmwareDownload(const Args& args) {
  const CommandOptions options{
      {"--legacy", "--yes"}, {"--port", "--model", "--area", "--baud", "--timeout"}, 1};
  std::string error;
  if (HasFlag(args, "--help") || HasFlag(args, "-h")) {
    std::printf("usage: torvaset-cli %s\n", kLegacyFirmwareUsage);
    return kExitOk;
  }
  if (!CheckArgs(args, options, error)) return Usage(error);
  const std::vector<std::string> files =
      Positionals(args, {"--port", "--model", "--area", "--baud", "--timeout"});
  if (files.empty()) return Usage("the image FILE is needed");

  std::string portName;
  if (!ParseLegacyPort(FlagValue(args, "--port"), portName, error)) return Usage(error);
  const std::string model = FlagValue(args, "--model");
  int modelCode = kModelGeneric;
  if (!ParseModelOption(args, modelCode, error)) return Usage(error);
  if (!IsLegacyFirmwareModel(modelCode)) {
    return Usage("'" + model + "' is not a TORVA10 model; --legacy is for the TORVA10 line");
  }
  const LegacyAreaInfo* area = LegacyAreaByName(FlagValue(args, "--area"));
  if (area == nullptr) return Usage("--area takes program, boot or font");
  int baud = 115200;
  if (!ParseBaudRate(FlagValue(args, "--baud", "115200"), baud, error)) return Usage(error);
  double timeoutS = kDefaultTimeoutS;
  if (HasFlag(args, "--timeout") || !FlagValue(args, "--timeout").empty()) {
    if (!ParseSeconds(FlagValue(args, "--timeout"), timeoutS)) {
      return Usage("--timeout takes seconds from 0.1 to 3600");
    }
  }
  const std::string& file = files.front();
  const std::string reason = ReadReason(file);
  if (!reason.empty()) {
    ShowMessage(theMsg[MsgId::FileOpenError], MsgIcon::Error);
    PrintReason(reason);
    return kExitFailed;
  }
  char question[512];
  std::snprintf(question, sizeof question,
                "Write the %s area (%06X-%06X) of the printer on %s from %s?", area->name,
                static_cast<unsigned>(area->nStart), static_cast<unsigned>(area->nEnd),
                portName.c_str(), file.c_str());
  if (!AskQuestion(question)) return kExitFailed;

  thePort.m_strPortName = portName;
  thePort.m_nModel = modelCode;
  thePort.m_nFunction = kFunctionFirmware;
  thePort.m_nBaudRate = baud;
  thePort.m_nDataBits = 8;
  thePort.m_nParity = 0;
  thePort.m_nStopBits = 0;
  thePort.m_nFlowControl = 3;

  CatchInterrupt();
  CLegacyProgressLine line;
  CLegacyDownloader* current = nullptr;
  CLegacyPortLink link(thePort);
  CLegacyDownloader dl(link, *area,
                       {[&](const std::string&) {
                          if (current != nullptr) line.Show(*current);
                        },
                        {}});
  current = &dl;
  const std::string name = std::filesystem::path(file).filename().string();
  if (!dl.Begin(file, name)) {
    line.Done();
    // The image was readable above: what failed is the port (or its first write).
    PrintReason(FileReason(portName, CPorts::LastError()));
    return kExitFailed;
  }
  std::atomic<bool> cancel{false};
  if (!dl.EraseWait(&cancel) || CancelRequested()) {
    dl.Cancel();
  } else if (dl.AfterErase() == LegacyStep::Waiting) {
    dl.RunSerial(static_cast<int>(std::lround(timeoutS * 1000)), [] { return CancelRequested(); });
  }
  line.Done();
  dl.ShowEndMessage();
  if (dl.Step() == LegacyStep::Completed) {
    PrintDone(std::string(area->name) +
              " area written: " + CountOf(dl.DataFrames(), "frame", "frames") + ", " +
              CountOf(dl.TotalRepeats(), "repeat", "repeats"));
    return kExitOk;
  }
  if (dl.EndText().empty()) PrintReason("cancelled");
  return kExitFailed;
}

}  // namespace torva::cli
