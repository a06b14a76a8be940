// "torvaset-cli firmware info | download": the firmware image's checks and areas, and the
// download of one area with the F/W Update dialog's checks, questions, bytes and waits. The
// TORVA10 line (and --legacy) goes to the legacy downloader.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "app/error_log.h"
#include "app/messages.h"
#include "app/models.h"
#include "app/services.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/cli_services.h"
#include "cli/cmd_firmware_legacy.h"
#include "cli/job_terminal.h"
#include "firmware/fw_download.h"
#include "firmware/fw_image.h"
#include "firmware/fw_sink.h"
#include "logo/printer_link.h"
#include "network/printer_socket.h"
#include "network/socket_hooks.h"
#include "ports/ports.h"

namespace torva::cli {
namespace {

constexpr const char* kInfoUsage = "firmware info FILE [--model NAME]";
constexpr const char* kDownloadUsage =
    "firmware download --port PORT --model NAME --area program|extfont|lcdfont|downloader|boot\n"
    "          FILE [--service] [--yes] [--baud N] [--data-bits 7|8] [--parity none|odd|even]\n"
    "          [--flow hw|sw|none] [--stop-bits 1|2] [--log FILE]";
constexpr const char* kPortHelp =
    "PORT: serial:PATH, lpt:PATH, usb, file:PATH, tcp:HOST:PORT, or a bare device path.\n"
    "downloader and boot need --service; boot also a file whose boot version is 1..10.\n"
    "Questions are answered with --yes. Exit status 0 only after \"Update Complete\".";

const std::vector<std::string> kValueFlags = {"--port", "--model",     "--area",
                                              "--baud", "--data-bits", "--parity",
                                              "--flow", "--stop-bits", "--log"};

int Usage(const std::string& problem) {
  std::fprintf(stderr,
               "torvaset-cli firmware: %s\nusage: torvaset-cli %s\n       torvaset-cli %s\n"
               "       torvaset-cli %s\n%s\n",
               problem.c_str(), kInfoUsage, kDownloadUsage, kLegacyFirmwareUsage, kPortHelp);
  return kExitUsage;
}

std::string Hex(uint32_t value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", width, value);
  return text;
}

std::string HeaderBytes(uint32_t header) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X %02X %02X %02X", header & 0xFF, (header >> 8) & 0xFF,
                (header >> 16) & 0xFF, header >> 24);
  return text;
}

int RunInfo(const Args& args) {
  std::string error;
  if (!CheckArgs(args, {{}, {"--model"}, 1}, error)) return Usage(error);
  const std::vector<std::string> files = Positionals(args, {"--model"});
  if (files.size() != 1) return Usage("firmware info takes one FILE");
  const std::string model = FlagValue(args, "--model", "TORVA20");
  if (!IsKnownModelName(model)) return Usage("'" + model + "': " + theMsg[MsgId::InvalidDevice]);
  const int code = ModelCodeFromName(model);
  const std::string& path = files[0];

  CFirmwareFile file;
  if (file.Open(path) != ImageCheck::Ok) {
    ShowImageCheck(ImageCheck::OpenFailed, 0);
    const std::string reason = ReadReason(path);
    PrintReason(reason.empty() ? path + ": not a file" : reason);
    return kExitFailed;
  }
  if (file.CheckSize() != ImageCheck::Ok) {
    ShowImageCheck(ImageCheck::WrongSize, file.Size());
    PrintReason(path + ": " + std::to_string(file.Size()) + " bytes, an image has " +
                std::to_string(kFirmwareImageSize));
    return kExitFailed;
  }
  std::optional<CFirmwareImage> image;
  const ImageCheck check = file.ReadImage(image);
  if (check != ImageCheck::Ok) {
    ShowImageCheck(check, kFirmwareImageSize);
    if (check == ImageCheck::WrongFile) {
      std::FILE* f = std::fopen(path.c_str(), "rb");
      uint8_t tail[4] = {};
      if (f != nullptr && std::fseek(f, kEndMarkerOffset, SEEK_SET) == 0 &&
          std::fread(tail, 1, 4, f) == 4) {
        PrintReason(path + ": ends in " +
                    HeaderBytes(static_cast<uint32_t>(tail[0]) | tail[1] << 8 | tail[2] << 16 |
                                static_cast<uint32_t>(tail[3]) << 24) +
                    ", not the end marker 5A 45 4C 4B (\"ZELK\")");
      }
      if (f != nullptr) std::fclose(f);
    }
    return kExitFailed;
  }
  std::printf("file: %s\nsize: %u bytes\nend marker: ZELK\n", path.c_str(), kFirmwareImageSize);
  std::printf("boot version: %d (%s)\n", image->BootVersion(),
              image->BootVersionValid() ? "the Boot area may be written"
                                        : "not 1..10: the Boot area may not be written");
  std::printf("model: %s (code %d)\n", model.c_str(), code);
  std::printf("%-11s %-10s %-9s %-12s %s\n", "area", "offset", "size", "header", "checksum");
  for (int i = 0; i < kFirmwareAreaCount; ++i) {
    const auto area = static_cast<FirmwareArea>(i);
    if (area == FirmwareArea::LcdFont && !HasLcdFontArea(code)) continue;
    const AreaPlace place = AreaPlaceOf(area, code);
    const DownloadBlock block = DownloadBlock::Build(*image, area, code);
    std::printf("%-11s %-10s %-9u %-12s %s\n", AreaName(area), Hex(place.nOffset, 6).c_str(),
                place.nSize, HeaderBytes(block.Header()).c_str(), block.ChecksumText().c_str());
  }
  return kExitOk;
}

struct Target {
  std::string strPortName;
  std::string strFile;
  std::string strHost;
  int nTcpPort = 0;
};

bool ParseTarget(const std::string& text, Target& t, std::string& error) {
  auto starts = [&](const char* p) { return text.rfind(p, 0) == 0; };
  auto after = [&](const char* p) { return text.substr(std::string(p).size()); };
  if (text.empty()) {
    error = "--port PORT is needed";
  } else if (text == "usb" || text == "USB") {
    t.strPortName = "USB";
  } else if (starts("file:")) {
    t.strPortName = "FILE";
    t.strFile = after("file:");
    if (t.strFile.empty()) error = "file: needs a file name";
  } else if (starts("tcp:")) {
    const std::string rest = after("tcp:");
    const size_t colon = rest.rfind(':');
    t.strHost = colon == std::string::npos ? "" : rest.substr(0, colon);
    if (t.strHost == "localhost") t.strHost = "127.0.0.1";
    t.strPortName = "ETHERNET_II";
    if (t.strHost.empty() || !ParseInt(rest.substr(colon + 1), 1, 65535, t.nTcpPort)) {
      error = "tcp: needs HOST:PORT, e.g. tcp:127.0.0.1:6001";
    }
  } else {
    t.strPortName = starts("serial:") ? after("serial:") : starts("lpt:") ? after("lpt:") : text;
    const LinkKind kind = LinkKindOfPort(t.strPortName);
    std::error_code ec;
    if (kind == LinkKind::Network || kind == LinkKind::Unreachable) {
      error = "use tcp:HOST:PORT for a network printer";
    } else if (kind == LinkKind::Serial && !std::filesystem::is_character_file(t.strPortName, ec)) {
      error = "'" + t.strPortName + "' is not a terminal device (use file:PATH to write a file)";
    }
  }
  return error.empty();
}

bool ApplyLine(const Args& args, CPorts& port, std::string& error) {
  port.m_nDataBits = FlagValue(args, "--data-bits", "8") == "7" ? 7 : 8;
  const std::string parity = FlagValue(args, "--parity", "none");
  const std::string flow = FlagValue(args, "--flow", "hw");
  const std::string stop = FlagValue(args, "--stop-bits", "1");
  port.m_nParity = parity == "odd" ? 1 : parity == "even" ? 2 : 0;
  port.m_nFlowControl = flow == "sw" ? 2 : flow == "none" ? 3 : 1;
  port.m_nStopBits = stop == "2" ? 2 : 0;
  if (parity != "none" && parity != "odd" && parity != "even")
    error = "--parity takes none, odd or even";
  if (flow != "hw" && flow != "sw" && flow != "none") error = "--flow takes hw, sw or none";
  if (stop != "1" && stop != "2") error = "--stop-bits takes 1 or 2";
  const std::string bits = FlagValue(args, "--data-bits", "8");
  if (bits != "7" && bits != "8") error = "--data-bits takes 7 or 8";
  if (!error.empty()) return false;
  return ParseBaudRate(FlagValue(args, "--baud", "115200"), port.m_nBaudRate, error);
}

// The progress line: drawn over itself on a terminal.
void ShowProgress(const CFirmwareDownload& d, bool terminal) {
  if (!terminal) return;
  std::fprintf(stderr, "\r%s %u of %u bytes %3u%%", d.DataSent() ? "flash wait" : "sending",
               d.Sent(), d.Block() != nullptr ? d.Block()->Size() : 0,
               CFirmwareDownload::Percent(d.Position(), d.Range()));
  std::fflush(stderr);
}

int RunDownload(const Args& args) {
  const std::string model = FlagValue(args, "--model");
  if (HasFlag(args, "--legacy") ||
      (IsKnownModelName(model) && IsLegacyFirmwareModel(ModelCodeFromName(model)))) {
    return RunLegacyFirmwareDownload(args);
  }
  std::string error;
  if (!CheckArgs(args, {{"--service", "--yes"}, kValueFlags, 1}, error)) return Usage(error);
  const std::vector<std::string> files = Positionals(args, kValueFlags);
  if (files.size() != 1) return Usage("firmware download takes one FILE");
  int code = kModelGeneric;
  if (!ParseModelOption(args, code, error)) return Usage(error);
  const std::optional<FirmwareArea> area = AreaFromName(FlagValue(args, "--area"));
  if (!area) return Usage("--area takes program, extfont, lcdfont, downloader or boot");
  const bool service = HasFlag(args, "--service");
  if (IsServiceArea(*area) && !service) {
    return Usage(std::string("--area ") + AreaName(*area) + " needs --service");
  }
  if (*area == FirmwareArea::LcdFont && !HasLcdFontArea(code)) {
    return Usage("the LCD font area is there on the TORVA40 line only");
  }
  if (*area == FirmwareArea::Boot && UpdateBootAreaChoice(files[0], true) == BootChoice::Disable) {
    std::fprintf(stderr,
                 "torvaset-cli: the Boot Area needs a file whose boot version is 1..10; "
                 "nothing was sent\n");
    return kExitFailed;
  }
  Target target;
  if (!ParseTarget(FlagValue(args, "--port"), target, error)) return Usage(error);
  if (!ApplyLine(args, thePort, error)) return Usage(error);
  thePort.m_strPortName = target.strPortName;
  thePort.m_nModel = code;
  thePort.m_nFunction = kFunctionFirmware;
  if (!target.strFile.empty()) {
    if (auto* ui = dynamic_cast<CCliUserInterface*>(&Ui())) ui->SetPrintToFileName(target.strFile);
  }
  const std::string log = FlagValue(args, "--log");
  if (!log.empty()) {
    if (!theLog.OpenLog(log)) return Usage("cannot write the log file " + log);
    theLog.WriteHeader();
  }

  CPrinterSocket socket;
  CPortSink portSink(thePort);
  CSocketSink socketSink(socket, target.strHost, target.nTcpPort);
  const bool network = IsNetworkPortName(target.strPortName);
  IFirmwareSink& sink = network ? static_cast<IFirmwareSink&>(socketSink) : portSink;
  CFirmwareDownload download(sink);
  if (!download.Prepare({files[0], *area, code, service})) {
    if (download.Outcome() == FwOutcome::InitFail && thePort.LastError() != 0) {
      PrintReason(FileReason(target.strPortName, thePort.LastError()));
    }
    if (download.Outcome() == FwOutcome::NotConfirmed) {
      std::fprintf(stderr, "torvaset-cli: not confirmed; nothing was sent\n");
    }
    return kExitFailed;
  }
  std::fprintf(stderr, "torvaset-cli: %s block, %u bytes, checksum %s\n", AreaLabel(*area),
               download.Block()->Size(), download.ChecksumText().c_str());
  const bool terminal = StderrIsTerminal();
  download.m_fnProgress = [&] { ShowProgress(download, terminal); };
  CatchInterrupt();
  download.Start();
  // Ctrl+C is the EXIT button: the transfer stops between two chunks.
  while (download.Running()) {
    if (CancelRequested()) download.RequestStop();
    Clock().SleepMs(50);
  }
  download.Join();
  if (terminal) std::fputc('\n', stderr);
  download.ShowOutcome();
  thePort.Close();
  const FwOutcome outcome = download.Outcome();
  if (outcome == FwOutcome::Stopped) std::fprintf(stderr, "torvaset-cli: download stopped\n");
  if (outcome == FwOutcome::PrinterCheck || outcome == FwOutcome::SendFailed) {
    PrintReason(NetworkReason(target.strHost, target.nTcpPort, net::LastSocketError()));
  }
  if (outcome != FwOutcome::Completed) return kExitFailed;
  PrintDone(std::string(AreaLabel(*area)) + " written: " + download.FileSizeText() +
            " bytes, checksum " + download.ChecksumText());
  return kExitOk;
}

}  // namespace

int RunFirmwareCommand(const Args& args) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::printf("usage: torvaset-cli %s\n       torvaset-cli %s\n       torvaset-cli %s\n%s\n",
                kInfoUsage, kDownloadUsage, kLegacyFirmwareUsage, kPortHelp);
    return args.empty() ? kExitUsage : kExitOk;
  }
  const Args rest(args.begin() + 1, args.end());
  if (HasFlag(rest, "--help")) {
    std::printf("usage: torvaset-cli %s\n       torvaset-cli %s\n%s\n", kInfoUsage, kDownloadUsage,
                kPortHelp);
    return kExitOk;
  }
  if (args[0] == "info") return RunInfo(rest);
  if (args[0] == "download") return RunDownload(rest);
  return Usage("unknown command '" + args[0] + "'");
}

}  // namespace torva::cli
