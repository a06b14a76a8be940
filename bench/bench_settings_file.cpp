// Reading a section's numbered keys from a large settings file: 8,000 PORTLIST names (a
// dealer's list of serial devices) behind other sections, read as the port list reads them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings_file.h"

namespace {

std::string MakeSettingsFile(int keys) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "bench_settings_portlist.INI").string();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "[LOGO]\r\nLogofile1=/home/dealer/logos/shop.bmp\r\n[PORTLIST]\r\n";
  for (int i = 1; i <= keys; ++i) out << "Port" << i << "=/dev/serial/by-id/usb-dealer-" << i << "\r\n";
  out << "[USER]\r\nCodePage0=0|PC437\r\n";
  return path;
}

void BM_PortListKeys(benchmark::State& state) {
  const int keys = static_cast<int>(state.range(0));
  const std::string path = MakeSettingsFile(keys);
  const torva::CSettingsFile ini(path);
  for (auto _ : state) {
    const auto names = ini.ReadNumbered("PORTLIST", "Port%d", 1);
    if (static_cast<int>(names.size()) != keys) state.SkipWithError("keys missing");
    benchmark::DoNotOptimize(names.data());
  }
  std::filesystem::remove(path);
}

BENCHMARK(BM_PortListKeys)->Arg(100)->Arg(8000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
