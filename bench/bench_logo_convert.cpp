// Conversion speed of the logo converter: one in-memory BMP file loaded and converted per
// iteration, reported per image and per dot. Goals on one core: mono 512 x 1024 at most
// 3 ns per dot, grey at most 5.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "logo/logo_bitmap.h"

namespace {

void Put32(std::string& f, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = static_cast<char>(v >> (8 * i));
}

// A photo-like picture: smooth shading with fine noise, as a logo scan would have.
std::string MakeBmp(int w, int h, int bpp) {
  const int stride = (w * bpp + 31) / 32 * 4;
  const int colours = bpp <= 8 ? 1 << bpp : 0;
  const std::size_t offset = 54 + static_cast<std::size_t>(colours) * 4;
  std::string f(offset + static_cast<std::size_t>(stride) * h, '\0');
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 2, static_cast<std::uint32_t>(f.size()));
  Put32(f, 10, static_cast<std::uint32_t>(offset));
  Put32(f, 14, 40);
  Put32(f, 18, static_cast<std::uint32_t>(w));
  Put32(f, 22, static_cast<std::uint32_t>(h));
  f[26] = 1;
  f[28] = static_cast<char>(bpp);
  for (int i = 0; i < colours; ++i) {
    const int v = colours == 2 ? (i ? 0 : 255) : i * 255 / (colours - 1);
    for (int c = 0; c < 3; ++c) f[54 + 4 * static_cast<std::size_t>(i) + c] = static_cast<char>(v);
  }
  std::mt19937 rng(1);
  for (int y = 0; y < h; ++y) {
    char* row = f.data() + offset + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < w; ++x) {
      const int base = (x * 255 / w + y * 255 / h) / 2;
      const int v = std::min(255, std::max(0, base + static_cast<int>(rng() % 41) - 20));
      if (bpp == 24) {
        row[3 * x] = static_cast<char>(v);
        row[3 * x + 1] = static_cast<char>((v * 3) / 4);
        row[3 * x + 2] = static_cast<char>(255 - v / 2);
      } else if (bpp == 8) {
        row[x] = static_cast<char>(v);
      } else if (v < 128) {
        row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
      }
    }
  }
  return f;
}

void Convert(benchmark::State& state, int w, int h, int bpp, bool gray) {
  const std::string file = MakeBmp(w, h, bpp);
  static const torva::LogoOptions options;
  auto bitmap = std::make_unique<torva::CLogoBitmap>(options);
  const auto* data = reinterpret_cast<const std::uint8_t*>(file.data());
  for (auto _ : state) {
    bitmap->LoadFromMemory(data, file.size());
    const bool ok = gray ? bitmap->MakeGrayRaster() : bitmap->MakeMonoRaster(1);
    if (!ok) state.SkipWithError("conversion refused");
    benchmark::DoNotOptimize(bitmap->m_abRaster[0]);
  }
  const double dots = static_cast<double>((w + 7) / 8 * 8) * ((h + 7) / 8 * 8);
  state.counters["ns_per_dot"] =
      benchmark::Counter(dots * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                          benchmark::Counter::kInvert);
}

void BM_Mono512x1024_24bit(benchmark::State& s) { Convert(s, 512, 1024, 24, false); }
// The largest grey picture 512 dots wide whose raster fits (512 x 576 / 2 = 147456 bytes).
void BM_Gray512x576_24bit(benchmark::State& s) { Convert(s, 512, 576, 24, true); }
void BM_Mono384x96_1bit(benchmark::State& s) { Convert(s, 384, 96, 1, false); }
void BM_Gray384x96_1bit(benchmark::State& s) { Convert(s, 384, 96, 1, true); }
void BM_Mono800x800_8bit(benchmark::State& s) { Convert(s, 800, 800, 8, false); }

BENCHMARK(BM_Mono512x1024_24bit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Gray512x576_24bit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mono384x96_1bit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Gray384x96_1bit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mono800x800_8bit)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
