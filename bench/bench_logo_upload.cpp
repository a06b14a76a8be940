// Upload of 20 logos of about 20 KB each (19200 raster bytes) to torva-printer-sim over TCP, with the real clock:
// the wall time against the pacing the upload prescribes (erase pause, 10 ms per data
// piece, one 10 ms timer period per image and for the completion, the connect probe), and
// the process's CPU time as a share of the wall time. Goals: at most 2 % above the pacing,
// CPU at most 5 % of the wall time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/app.h"
#include "app/services.h"
#include "logo/logo_list.h"
#include "logo/nv_commands.h"
#include "logo/printer_link.h"
#include "logo/upload_engine.h"
#include "logo/upload_job.h"
#include "network/printer_socket.h"
#include "ports/ports.h"

#if TORVA_BENCH_WITH_SIM
#include "support/sim_process.h"
#endif

namespace {

using namespace torva;

constexpr int kLogos = 20;
// 480 x 40 = 19200 raster bytes: twenty of them fill the 384 KB NV memory almost fully.
constexpr int kWidth = 480, kHeight = 320;

void PutLe(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string Logo24(int seed) {
  const int row = (kWidth * 3 + 3) / 4 * 4;
  std::string s = "BM";
  PutLe(s, 54 + row * kHeight, 4);
  PutLe(s, 0, 4);
  PutLe(s, 54, 4);
  PutLe(s, 40, 4);
  PutLe(s, kWidth, 4);
  PutLe(s, kHeight, 4);
  PutLe(s, 1, 2);
  PutLe(s, 24, 2);
  for (int i = 0; i < 6; ++i) PutLe(s, 0, 4);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const auto v = static_cast<char>((x * 255 / kWidth + y + seed * 13) & 0xFF);
      s.append(3, v);
    }
    s.append(static_cast<size_t>(row - kWidth * 3), '\0');
  }
  return s;
}

class CYesUi final : public CConsoleUserInterface {
 public:
  void Message(const std::string&, const std::string&, MsgIcon) override {}
  bool Question(const std::string&, const std::string&) override { return true; }
};

// The waits the upload prescribes for n images of dataLength bytes on a network printer.
long PrescribedMs(int n, int dataLength) {
  const long pieces = static_cast<long>(CNvCommands::DataPieces(dataLength).size());
  return CPrinterSocket::kProbeWaitMs + CUploadEngine::kEraseWaitNetworkMs +
         n * pieces * CUploadEngine::kPieceWaitMs + (n + 1) * CUploadEngine::kTimerMs;
}

void BM_UploadTwentyLogosOverTcp(benchmark::State& state) {
#if TORVA_BENCH_WITH_SIM
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("bench_logo_upload_" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::create_directories(dir);
  CYesUi ui;
  CSteadyClock clock;
  InstallServices(&ui, &clock, nullptr);
  theApp().m_strProfilePath = (dir / "torvaset.INI").string();

  LogoEntryLists entries;
  LogoOptions options;
  CLogoList list(entries, options);
  for (int i = 0; i < kLogos; ++i) {
    const std::string path = (dir / ("logo" + std::to_string(i) + ".bmp")).string();
    std::ofstream(path, std::ios::binary) << Logo24(i);
    if (!list.AddBitmap(path, 0)) {
      state.SkipWithError("a logo was refused");
      return;
    }
  }
  test::CSimProcess sim;
  if (!sim.Start({"--no-serial", "--tcp-port", "0"})) {
    state.SkipWithError(sim.Error().c_str());
    return;
  }
  CPorts port;
  port.m_strPortName = "ETHERNET_II";
  const long prescribed = PrescribedMs(kLogos, kWidth * kHeight / 8);
  double wallMs = 0, cpuMs = 0;
  for (auto _ : state) {
    CPrinterSocket socket;
    CPrinterLink link(port, socket, "127.0.0.1", sim.TcpPort());
    int keys = 0;
    CUploadJob job(link, list, entries, options, 3, keys);
    const auto t0 = std::chrono::steady_clock::now();
    const std::clock_t c0 = std::clock();
    const UploadResult result = job.Run();
    const std::clock_t c1 = std::clock();
    const auto t1 = std::chrono::steady_clock::now();
    if (result != UploadResult::Completed) {
      state.SkipWithError("the upload did not complete");
      break;
    }
    wallMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
    cpuMs = 1000.0 * static_cast<double>(c1 - c0) / CLOCKS_PER_SEC;
    state.SetIterationTime(wallMs / 1000.0);
  }
  state.counters["wall_ms"] = wallMs;
  state.counters["prescribed_ms"] = static_cast<double>(prescribed);
  state.counters["over_pacing_pct"] = 100.0 * (wallMs - static_cast<double>(prescribed)) /
                                      static_cast<double>(prescribed);
  state.counters["cpu_pct_of_wall"] = wallMs > 0 ? 100.0 * cpuMs / wallMs : 0;
  sim.Stop();
  std::filesystem::remove_all(dir);
#else
  for (auto _ : state) {
  }
  state.SkipWithError("built without the test support that starts the simulator");
#endif
}
BENCHMARK(BM_UploadTwentyLogosOverTcp)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
