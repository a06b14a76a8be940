#include "logo/raster_preview.h"

#include "png/png_writer.h"

namespace torva {

std::vector<std::uint8_t> CRasterPreview::Dots(const std::uint8_t* raster, int dataLength,
                                               int width8, int height8, bool gray) {
  if (width8 <= 0 || height8 <= 0) return {};
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width8) * height8, 255);
  const int groups = height8 / 8;
  for (int y = 0; y < height8; ++y) {
    for (int x = 0; x < width8; ++x) {
      std::uint8_t& dot = out[static_cast<std::size_t>(y) * width8 + x];
      if (gray) {
        const long at = (static_cast<long>(y) * width8 + x) / 2;
        if (at >= dataLength) continue;
        const int level = (x & 1) ? raster[at] & 0x0F : raster[at] >> 4;
        dot = static_cast<std::uint8_t>(level > 5 ? 0 : 255 - level * 51);
      } else {
        const long at = static_cast<long>(x) * groups + y / 8;
        if (at >= dataLength) continue;
        if ((raster[at] >> (7 - y % 8)) & 1) dot = 0;
      }
    }
  }
  return out;
}

std::vector<std::uint8_t> CRasterPreview::EncodePng(const std::vector<std::uint8_t>& grey,
                                                    int width, int height) {
  return png::EncodeGrey(width, height, grey);
}

bool CRasterPreview::WritePng(const std::string& path, const std::vector<std::uint8_t>& grey,
                              int width, int height) {
  if (width <= 0 || height <= 0) return false;
  return png::WriteGrey(path, width, height, grey);
}

}  // namespace torva
