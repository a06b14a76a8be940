// The Program block (851,968 bytes) to torva-printer-sim with the real clock: over its serial
// line read at 115200 baud, and over loopback TCP. Goals: on the serial line the tool's CPU
// time at most 2 % of the wall time, and the wall time within 3 % of the line's time for the
// bytes (10 bits each) plus the 16-step flash wait; on TCP the wall time within 3 % of the
// 256-step flash wait plus the time the sends took.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/services.h"
#include "firmware/fw_download.h"
#include "firmware/fw_sink.h"
#include "network/printer_socket.h"
#include "ports/ports.h"
#include "support/sim_process.h"

namespace {

using namespace torva;

constexpr uint32_t kProgramSize = 851968;
constexpr int kBaud = 115200;

std::string WriteImage(const std::string& dir) {
  std::vector<char> image(kFirmwareImageSize);
  uint32_t x = 12345;
  for (char& b : image) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<char>(x >> 24);
  }
  image[kBootVersionOffset] = 1;
  std::copy(std::begin(kEndMarker), std::end(kEndMarker), image.end() - 4);
  const std::string path = dir + "/bench.PXR";
  std::ofstream(path, std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));
  return path;
}

struct Run {
  double wallMs = 0, cpuMs = 0, sendMs = 0;
  bool ok = false;
};

Run Transfer(IFirmwareSink& sink, const std::string& image) {
  Run run;
  CFirmwareDownload download(sink);
  if (!download.Prepare({image, FirmwareArea::Program, 6, false})) return run;
  const auto t0 = std::chrono::steady_clock::now();
  const std::clock_t c0 = std::clock();
  std::chrono::steady_clock::time_point sent{};
  download.m_fnProgress = [&] {
    if (download.DataSent() && sent == std::chrono::steady_clock::time_point{}) {
      sent = std::chrono::steady_clock::now();
    }
  };
  run.ok = download.Transfer() == FwOutcome::Completed;
  const std::clock_t c1 = std::clock();
  const auto t1 = std::chrono::steady_clock::now();
  run.wallMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
  run.sendMs = std::chrono::duration<double, std::milli>(sent - t0).count();
  run.cpuMs = 1000.0 * static_cast<double>(c1 - c0) / CLOCKS_PER_SEC;
  return run;
}

class BenchDir {
 public:
  BenchDir()
      : m_path((std::filesystem::temp_directory_path() /
                ("torva-bench-fw-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
                   .string()) {
    std::filesystem::create_directories(m_path);
  }
  ~BenchDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

void Report(benchmark::State& state, const Run& run, double expectedMs) {
  state.SetIterationTime(run.wallMs / 1000.0);
  state.counters["wall_ms"] = run.wallMs;
  state.counters["expected_ms"] = expectedMs;
  state.counters["wall_off_pct"] = 100.0 * std::fabs(run.wallMs - expectedMs) / expectedMs;
  state.counters["cpu_pct_of_wall"] = run.wallMs > 0 ? 100.0 * run.cpuMs / run.wallMs : 0;
  if (!run.ok) state.SkipWithError("the transfer did not complete");
}

void BM_ProgramBlockSerial115200(benchmark::State& state) {
  BenchDir dir;
  const std::string image = WriteImage(dir.Path());
  CConsoleUserInterface ui;
  CSteadyClock clock;
  InstallServices(&ui, &clock, nullptr);
  test::CSimProcess sim;
  if (!sim.Start({"--fw-baud", std::to_string(kBaud)})) {
    state.SkipWithError(sim.Error().c_str());
    return;
  }
  for (auto _ : state) {
    CPorts port;
    port.m_strPortName = sim.SerialPath();
    port.m_nBaudRate = kBaud;
    port.m_nDataBits = 8;
    port.m_nParity = 0;
    port.m_nStopBits = 0;
    port.m_nFlowControl = 1;
    port.m_nFunction = kFunctionFirmware;
    CPortSink sink(port);
    const Run run = Transfer(sink, image);
    const double lineMs = kProgramSize * 10.0 * 1000.0 / kBaud;
    Report(state, run, lineMs + 16 * (kProgramSize * 2 / 20480));
  }
}

void BM_ProgramBlockTcp(benchmark::State& state) {
  BenchDir dir;
  const std::string image = WriteImage(dir.Path());
  CConsoleUserInterface ui;
  CSteadyClock clock;
  InstallServices(&ui, &clock, nullptr);
  test::CSimProcess sim;
  if (!sim.Start({"--no-serial", "--tcp-port", "0"})) {
    state.SkipWithError(sim.Error().c_str());
    return;
  }
  for (auto _ : state) {
    CPrinterSocket socket;
    CSocketSink sink(socket, "127.0.0.1", sim.TcpPort());
    const Run run = Transfer(sink, image);
    Report(state, run, run.sendMs + 256 * (kProgramSize * 2 / 20480));
  }
}

}  // namespace

BENCHMARK(BM_ProgramBlockSerial115200)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramBlockTcp)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
