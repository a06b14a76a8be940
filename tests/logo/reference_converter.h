// A plain converter written straight from the rules, dot by dot, for the tests to compare
// the real converter with. It starts from decoded pixels, never from the reader under test.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "logo/logo_options.h"

namespace torva::test {

// Options at their defaults, alive for the whole test run (the converter keeps a reference).
inline const LogoOptions kDefaultOptions{};

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<std::array<std::uint8_t, 3>> rgb;  // r, g, b, top row first
  std::vector<std::uint8_t> index;               // colour index (1-bit images)
  int bitsPerPixel = 24;
  int pal0Blue = 0;
};

struct RefRaster {
  int width8 = 0;
  int height8 = 0;
  std::vector<std::uint8_t> bytes;
};

int RefLuminance(int r, int g, int b);
int RefAdjust(int v, int threshold);
// work: width x height brightness values; afterwards levels 0..levels.
void RefDiffuse(std::vector<int>& work, int width, int height, int levels);
RefRaster RefMono(const DecodedImage& image, int threshold, bool center = false,
                  int maxWidth = 512);
RefRaster RefGray(const DecodedImage& image, int threshold);

// The .rgbi files of make_test_bmps.py: r, g, b, index per pixel.
DecodedImage DecodedFromRgbi(const std::string& bytes, int width, int height, int bpp,
                             int pal0Blue);

}  // namespace torva::test
