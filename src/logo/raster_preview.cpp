#include "logo/raster_preview.h"

#include <array>
#include <fstream>

namespace torva {
namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
  PutBe32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBe32(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

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
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> ihdr;
  PutBe32(ihdr, static_cast<std::uint32_t>(width));
  PutBe32(ihdr, static_cast<std::uint32_t>(height));
  ihdr.insert(ihdr.end(), {8, 0, 0, 0, 0});  // 8-bit grey, deflate, no filter, no interlace
  PutChunk(png, "IHDR", ihdr);

  // Scan lines with filter byte 0, stored in deflate blocks of at most 65535 bytes.
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(width + 1) * height);
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    const auto row = grey.begin() + static_cast<std::ptrdiff_t>(y) * width;
    raw.insert(raw.end(), row, row + width);
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::size_t pos = 0;
  do {
    const std::size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
    z.push_back(pos + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n));
    z.push_back(static_cast<std::uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
             raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  PutBe32(z, b << 16 | a);
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", {});
  return png;
}

bool CRasterPreview::WritePng(const std::string& path, const std::vector<std::uint8_t>& grey,
                              int width, int height) {
  if (width <= 0 || height <= 0 ||
      grey.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return false;
  }
  const std::vector<std::uint8_t> png = EncodePng(grey, width, height);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(out);
}

}  // namespace torva
