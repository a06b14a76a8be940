// Builds BMP files byte by byte for the logo tests, including the malformed kinds the
// converter must refuse.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace torva::test {

struct BmpFields {
  int width = 8;
  int height = 8;
  int bpp = 24;
  int infoSize = 40;
  bool topDown = false;
  std::uint32_t compression = 0;
  std::array<std::uint32_t, 3> masks{};              // written when compression is 3
  std::vector<std::array<std::uint8_t, 3>> palette;  // r, g, b
  // A colour index (indexed depths) or the packed pixel value, by (x, y), y = 0 at the top.
  std::function<std::uint32_t(int, int)> pixel = [](int, int) { return 0u; };
};

// The bytes of a BMP file with the given header fields and pixels.
std::string BuildBmp(const BmpFields& fields);
// A run-length file (compression 1 for 8 bits, 2 for 4 bits) with the header and colour table
// of fields (its pixel function is not used) and stream as its pixel data.
std::string BuildRunLength(BmpFields fields, const std::string& stream);
// A 24-bit picture with the colour of every pixel from rgb(x, y) = 0xRRGGBB.
std::string Build24(int width, int height, const std::function<std::uint32_t(int, int)>& rgb);
// A uniform grey 24-bit picture.
std::string BuildGrey24(int width, int height, int value);

void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value);
void PutLe16(std::string& bytes, std::size_t at, std::uint16_t value);

}  // namespace torva::test
