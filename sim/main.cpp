// torva-printer-sim: a simulated TORVA printer on a pseudo-terminal and on 127.0.0.1.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "net_options.h"
#include "net_responder.h"
#include "sim_basic_commands.h"
#include "sim_firmware.h"
#include "sim_legacy_fw.h"
#include "sim_loop.h"
#include "sim_nv_store.h"
#include "sim_options.h"
#include "sim_printer.h"
#include "sim_pty.h"
#include "sim_setup.h"
#include "sim_tcp.h"

using namespace torva::sim;

int main(int argc, char** argv) {
  // The --net-* options belong to the discovery responder; the rest go to ParseOptions.
  NetResponderOptions net;
  std::string paperDir;  // --paper-dir: where FS p prints go
  SetupSimOptions setupOptions;
  LegacyFwOptions legacyFw;
  std::vector<char*> rest{argv[0]};
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size(); ++i) {
    std::string netError;
    const size_t first = i;
    if (ParsePaperOption(args, i, paperDir, netError) ||
        ParseSetupOption(args, i, setupOptions, netError) ||
        ParseLegacyFwOption(args, i, legacyFw, netError)) {
      if (netError.empty()) continue;
      std::fprintf(stderr, "torva-printer-sim: %s (see --help)\n", netError.c_str());
      return 2;
    }
    if (!ParseNetOption(args, i, net, netError)) {
      rest.push_back(argv[first + 1]);
    } else if (!netError.empty()) {
      std::fprintf(stderr, "torva-printer-sim: %s (see --help)\n", netError.c_str());
      return 2;
    }
  }
  SimOptions options;
  std::string error;
  if (!ParseOptions(static_cast<int>(rest.size()), rest.data(), options, error)) {
    std::fprintf(stderr, "torva-printer-sim: %s (see --help)\n", error.c_str());
    return 2;
  }
  if (options.bHelp) {
    PrintHelp(stdout);
    std::fputs(NetOptionsHelp(), stdout);
    std::fputs(PaperOptionHelp(), stdout);
    std::fputs(SetupOptionsHelp(), stdout);
    std::fputs(LegacyFwOptionHelp(), stdout);
    return 0;
  }
  if (!options.bSerial && options.nTcpPort < 0 && !net.m_bEnabled) {
    std::fprintf(stderr, "torva-printer-sim: nothing to serve (--no-serial without --tcp-port)\n");
    return 2;
  }

  CSimLoop::InstallSignalHandlers();
  CSimPrinter printer(options.printer);
  if (!options.printer.strCapturePath.empty() && !printer.CaptureOpen()) return 1;
  // The NV images live for the run; their printable text handler goes after the others.
  CNvStore nvStore(paperDir);
  CSimSetup setup(setupOptions);
  if (!setup.Start(error)) {
    std::fprintf(stderr, "torva-printer-sim: %s\n", error.c_str());
    return 2;
  }
  // The commands the printer understands; later protocols add their Register call here.
  RegisterSetupCommands(printer, setup, nvStore);  // first: a restart ignores everything
  // TORVA10 firmware frames begin with 40 ('@'): before the printable text handler.
  CLegacyFlash legacyFlash(paperDir, legacyFw);
  RegisterLegacyFwCommands(printer, legacyFlash);
  RegisterBasicCommands(printer);
  RegisterNvCommands(printer, nvStore);
  RegisterFirmwareCommands(printer, paperDir);

  CSimLoop loop;
  if (options.bSerial) {
    auto pty = CSimPty::Create(printer, options.nCloseAfter, options.strLinkPath);
    if (!pty) return 1;
    std::printf("serial: %s\n", pty->SlavePath().c_str());
    loop.Add(std::move(pty));
  }
  if (options.nTcpPort >= 0) {
    auto tcp = CSimTcpListener::Create(printer, options.nTcpPort, options.nCloseAfter);
    if (!tcp) return 1;
    std::printf("tcp: 127.0.0.1:%d\n", tcp->Port());
    loop.Add(std::move(tcp));
  }
  // The UDP discovery responder runs on a thread of its own.
  CNetResponder responder;
  if (net.m_bEnabled) {
    AddDefaultPrinterIfNone(net);
    if (!responder.Start(net, error)) {
      std::fprintf(stderr, "torva-printer-sim: %s\n", error.c_str());
      return 1;
    }
    std::printf("net: %s:%d\n", net.m_strListenAddress.c_str(), responder.ListenPort());
  }
  std::printf("ready\n");
  std::fflush(stdout);
  const int status = loop.Run();
  responder.Stop();
  return status;
}
