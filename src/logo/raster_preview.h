// What an NV bit image will really print, as a picture: the packed raster (column format
// 1 bit per dot, or row format 4 bits per dot) back to one grey byte per dot, and that
// picture as a PNG file (the shared writer of src/png).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace torva {

class CRasterPreview {
 public:
  // width8 x height8 bytes, row-major, 255 white, 0 black; grey levels 0..5 become
  // 255 - level x 51. Dots the raster does not hold (a short raster) stay white.
  static std::vector<std::uint8_t> Dots(const std::uint8_t* raster, int dataLength, int width8,
                                        int height8, bool gray);
  static std::vector<std::uint8_t> EncodePng(const std::vector<std::uint8_t>& grey, int width,
                                             int height);
  static bool WritePng(const std::string& path, const std::vector<std::uint8_t>& grey, int width,
                       int height);
};

}  // namespace torva
