#include "logo/error_diffusion.h"

#include <cstddef>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace torva {
namespace {

// Sums reach from -128 (0 plus the most negative share) to 383; entries are indexed by
// the unclamped sum and already stand for the clamped dot.
constexpr int kBias = 128;
constexpr int kSpan = 512;
constexpr int kBlock = 8;      // dots per step of the row pipeline
constexpr int kBlockSkew = 2;  // blocks each row runs behind the row above
constexpr int kBand = 4;       // rows worked on together
constexpr int kPad = 16;       // zero errors around a row: no share leaves the image

// What a dot's value decides: the share for its right neighbour, its whole error (for the
// row below) and its level.
struct alignas(4) Entry {
  std::int8_t s7;
  std::int8_t e;
  std::uint8_t out;
  std::uint8_t pad;
};

struct Tables {
  Entry entry[kSpan];
};

Tables BuildTables(int levels) {
  Tables t{};
  const int step = 255 / (levels + 1);
  for (int i = 0; i < kSpan; ++i) {
    int v = i - kBias;
    v = v < 0 ? 0 : v > 255 ? 255 : v;
    int q = levels == 1 ? v / step : (v + step / 2) / step;
    if (q > levels) q = levels;
    const int e = v - q * 255 / levels;  // -128..126: fits a signed byte
    t.entry[i] = {static_cast<std::int8_t>(e * 7 / 16), static_cast<std::int8_t>(e),
                  static_cast<std::uint8_t>(levels - q), 0};
  }
  return t;
}

const Entry* EntriesFor(int levels) {
  static const Tables mono = BuildTables(1);
  static const Tables gray = BuildTables(5);
  return (levels == 1 ? mono : gray).entry + kBias;
}

inline int Clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// The serial part: dots x0 .. x0 + n - 1 of one row, each taking its right-neighbour share
// from the dot before. Leaves the level in the row and the error in err.
inline void RunChain(std::uint8_t* row, std::int8_t* err, int x0, int n, int& s7,
                     const Entry* entries) {
  std::ptrdiff_t share = s7;  // a local copy stays in a register along the chain
  for (int x = x0; x < x0 + n; ++x) {
    const Entry& en = entries[row[x] + share];
    row[x] = en.out;
    err[x] = en.e;
    share = en.s7;
  }
  s7 = static_cast<int>(share);
}

// The shares for the row below, dots x0 .. x0 + kBlock - 1: from the dot above left 1/16,
// above 5/16, above right 3/16, in the order the dots above were handled, each sum clamped.
void SpreadBelowPlain(std::uint8_t* below, const std::int8_t* err, int x0) {
  for (int x = x0; x < x0 + kBlock; ++x) {
    int v = below[x];
    v = Clamp(v + err[x - 1] * 1 / 16);
    v = Clamp(v + err[x] * 5 / 16);
    v = Clamp(v + err[x + 1] * 3 / 16);
    below[x] = static_cast<std::uint8_t>(v);
  }
}

#if defined(__SSE2__)
// The same for eight dots at once in 16-bit lanes; packing to unsigned bytes is the clamp.
inline __m128i Errors16(const std::int8_t* p) {
  const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
  return _mm_srai_epi16(_mm_unpacklo_epi8(_mm_setzero_si128(), bytes), 8);
}

inline __m128i Div16(__m128i t) {  // truncated toward zero
  const __m128i bias = _mm_and_si128(_mm_srai_epi16(t, 15), _mm_set1_epi16(15));
  return _mm_srai_epi16(_mm_add_epi16(t, bias), 4);
}

inline __m128i AddClamped(__m128i v16, __m128i share) {
  const __m128i zero = _mm_setzero_si128();
  return _mm_unpacklo_epi8(_mm_packus_epi16(_mm_add_epi16(v16, share), zero), zero);
}

void SpreadBelowSse2(std::uint8_t* below, const std::int8_t* err, int x0) {
  const __m128i zero = _mm_setzero_si128();
  __m128i v = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(below + x0)), zero);
  v = AddClamped(v, Div16(Errors16(err + x0 - 1)));
  v = AddClamped(v, Div16(_mm_mullo_epi16(Errors16(err + x0), _mm_set1_epi16(5))));
  v = AddClamped(v, Div16(_mm_mullo_epi16(Errors16(err + x0 + 1), _mm_set1_epi16(3))));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(below + x0), _mm_packus_epi16(v, zero));
}
#endif

using SpreadFn = void (*)(std::uint8_t*, const std::int8_t*, int);

// One block of each of four rows, the four chains interleaved dot by dot so that they run
// side by side. Row k handles the block starting at x[k].
inline void RunFourChains(std::uint8_t* const* rows, std::int8_t* const* errs, const int* x,
                          int* s7, const Entry* entries) {
  std::uint8_t* r0 = rows[0] + x[0];
  std::uint8_t* r1 = rows[1] + x[1];
  std::uint8_t* r2 = rows[2] + x[2];
  std::uint8_t* r3 = rows[3] + x[3];
  std::int8_t* e0 = errs[0] + x[0];
  std::int8_t* e1 = errs[1] + x[1];
  std::int8_t* e2 = errs[2] + x[2];
  std::int8_t* e3 = errs[3] + x[3];
  std::ptrdiff_t a = s7[0], b = s7[1], c = s7[2], d = s7[3];
  for (int i = 0; i < kBlock; ++i) {
    const Entry& ea = entries[r0[i] + a];
    const Entry& eb = entries[r1[i] + b];
    const Entry& ec = entries[r2[i] + c];
    const Entry& ed = entries[r3[i] + d];
    a = ea.s7;
    b = eb.s7;
    c = ec.s7;
    d = ed.s7;
    r0[i] = ea.out;
    r1[i] = eb.out;
    r2[i] = ec.out;
    r3[i] = ed.out;
    e0[i] = ea.e;
    e1[i] = eb.e;
    e2[i] = ec.e;
    e3[i] = ed.e;
  }
  s7[0] = static_cast<int>(a);
  s7[1] = static_cast<int>(b);
  s7[2] = static_cast<int>(c);
  s7[3] = static_cast<int>(d);
}

// Rows y0 .. y0 + rows - 1, each with a row below. Block b of row k runs at tick b + 2k and
// its shares reach the row below one tick later: a block is read only when the row above
// has finished with it (its right neighbour block included), and the chains of the rows
// overlap in the processor.
template <int kRows>
void DiffuseBand(std::uint8_t* work, int width, int y0, std::int8_t* const* errs,
                 const Entry* entries, SpreadFn spread) {
  const int blocks = width / kBlock;
  std::uint8_t* rows[kRows + 1];
  for (int k = 0; k <= kRows; ++k) rows[k] = work + static_cast<std::ptrdiff_t>(y0 + k) * width;
  int s7[kRows] = {};
  const int lastTick = blocks + kBlockSkew * (kRows - 1);
  for (int tick = 0; tick <= lastTick; ++tick) {
    const int lowest = tick - kBlockSkew * (kRows - 1);
    if constexpr (kRows == 4) {
      if (lowest >= 0 && tick < blocks) {
        const int x[4] = {tick * kBlock, (tick - kBlockSkew) * kBlock,
                          (tick - 2 * kBlockSkew) * kBlock, lowest * kBlock};
        RunFourChains(rows, errs, x, s7, entries);
      }
    }
    if (kRows != 4 || lowest < 0 || tick >= blocks) {
      for (int k = 0; k < kRows; ++k) {
        const int b = tick - kBlockSkew * k;
        if (b >= 0 && b < blocks) RunChain(rows[k], errs[k], b * kBlock, kBlock, s7[k], entries);
      }
    }
    for (int k = 0; k < kRows; ++k) {
      const int b = tick - kBlockSkew * k - 1;
      if (b >= 0 && b < blocks) spread(rows[k + 1], errs[k], b * kBlock);
    }
  }
}

void Diffuse(std::uint8_t* work, int width, int height, int levels, SpreadFn spread) {
  if (work == nullptr || width < 1 || height < 1) return;
  const Entry* entries = EntriesFor(levels);
  if (width % kBlock != 0) {
    // Not a converter width: one dot at a time, plainly.
    for (int y = 0; y < height; ++y) {
      std::uint8_t* row = work + static_cast<std::ptrdiff_t>(y) * width;
      std::uint8_t* below = row + width;
      int s7 = 0;
      for (int x = 0; x < width; ++x) {
        const Entry& en = entries[row[x] + s7];
        row[x] = en.out;
        s7 = x < width - 1 ? en.s7 : 0;
        if (y == height - 1) continue;
        if (x > 0) below[x - 1] = static_cast<std::uint8_t>(Clamp(below[x - 1] + en.e * 3 / 16));
        below[x] = static_cast<std::uint8_t>(Clamp(below[x] + en.e * 5 / 16));
        if (x < width - 1) below[x + 1] = static_cast<std::uint8_t>(Clamp(below[x + 1] + en.e / 16));
      }
    }
    return;
  }
  // Errors of each row of a band, with zeros around them (a share of 0 changes nothing).
  const std::size_t stride = static_cast<std::size_t>(width) + 2 * kPad;
  std::vector<std::int8_t> errors(stride * kBand, 0);
  std::int8_t* errs[kBand];
  for (int k = 0; k < kBand; ++k) errs[k] = errors.data() + stride * static_cast<std::size_t>(k) + kPad;

  int y = 0;
  for (; height - 1 - y >= kBand; y += kBand) DiffuseBand<kBand>(work, width, y, errs, entries, spread);
  for (; y < height - 1; ++y) DiffuseBand<1>(work, width, y, errs, entries, spread);
  // The bottom row spreads only to the right.
  int s7 = 0;
  RunChain(work + static_cast<std::ptrdiff_t>(height - 1) * width, errs[0], 0, width, s7, entries);
}

}  // namespace

void DiffuseErrors(std::uint8_t* work, int width, int height, int levels) {
#if defined(__SSE2__)
  Diffuse(work, width, height, levels, SpreadBelowSse2);
#else
  Diffuse(work, width, height, levels, SpreadBelowPlain);
#endif
}

void DiffuseErrorsPlain(std::uint8_t* work, int width, int height, int levels) {
  Diffuse(work, width, height, levels, SpreadBelowPlain);
}

}  // namespace torva
