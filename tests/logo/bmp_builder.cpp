#include "bmp_builder.h"

namespace torva::test {

void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

void PutLe16(std::string& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<char>(value);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

std::string BuildBmp(const BmpFields& s) {
  const int stride = (s.width * s.bpp + 31) / 32 * 4;
  std::string info(static_cast<std::size_t>(s.infoSize), '\0');
  PutLe32(info, 0, static_cast<std::uint32_t>(s.infoSize));
  PutLe32(info, 4, static_cast<std::uint32_t>(s.width));
  PutLe32(info, 8, static_cast<std::uint32_t>(s.topDown ? -s.height : s.height));
  PutLe16(info, 12, 1);
  PutLe16(info, 14, static_cast<std::uint16_t>(s.bpp));
  PutLe32(info, 16, s.compression);
  PutLe32(info, 20, static_cast<std::uint32_t>(stride * s.height));
  PutLe32(info, 32, static_cast<std::uint32_t>(s.palette.size()));
  std::string extra;
  if (s.compression == 3) {
    std::string m(12, '\0');
    for (int i = 0; i < 3; ++i)
      PutLe32(m, static_cast<std::size_t>(4 * i), s.masks[static_cast<std::size_t>(i)]);
    if (s.infoSize == 40) {
      extra = m;
    } else {
      info.replace(40, 12, m);
    }
  }
  std::string table;
  for (const auto& c : s.palette) {
    table += static_cast<char>(c[2]);
    table += static_cast<char>(c[1]);
    table += static_cast<char>(c[0]);
    table += '\0';
  }
  std::string data(static_cast<std::size_t>(stride) * s.height, '\0');
  for (int y = 0; y < s.height; ++y) {
    const int fileRow = s.topDown ? y : s.height - 1 - y;
    char* row = data.data() + static_cast<std::size_t>(fileRow) * stride;
    for (int x = 0; x < s.width; ++x) {
      const std::uint32_t v = s.pixel(x, y);
      if (s.bpp < 8) {
        const int per = 8 / s.bpp;
        const int shift = (per - 1 - x % per) * s.bpp;
        row[x * s.bpp / 8] = static_cast<char>(row[x * s.bpp / 8] | (v << shift));
      } else {
        for (int i = 0; i < s.bpp / 8; ++i)
          row[x * s.bpp / 8 + i] = static_cast<char>(v >> (8 * i));
      }
    }
  }
  const std::size_t offset = 14 + info.size() + extra.size() + table.size();
  std::string file(14, '\0');
  file[0] = 'B';
  file[1] = 'M';
  PutLe32(file, 2, static_cast<std::uint32_t>(offset + data.size()));
  PutLe32(file, 10, static_cast<std::uint32_t>(offset));
  return file + info + extra + table + data;
}

std::string BuildRunLength(BmpFields fields, const std::string& stream) {
  fields.compression = 0;
  std::string file = BuildBmp(fields);
  const std::uint32_t offset = static_cast<std::uint8_t>(file[10]) |
                               static_cast<std::uint32_t>(static_cast<std::uint8_t>(file[11])) << 8;
  file.resize(offset);
  file += stream;
  PutLe32(file, 2, static_cast<std::uint32_t>(file.size()));
  PutLe32(file, 30, fields.bpp == 4 ? 2 : 1);
  PutLe32(file, 34, static_cast<std::uint32_t>(stream.size()));
  return file;
}

std::string Build24(int width, int height, const std::function<std::uint32_t(int, int)>& rgb) {
  BmpFields s;
  s.width = width;
  s.height = height;
  s.bpp = 24;
  s.pixel = [rgb](int x, int y) {
    const std::uint32_t c = rgb(x, y);
    return (c & 0xFF) | (c & 0xFF00) | (c & 0xFF0000);  // blue, green, red from low to high
  };
  return BuildBmp(s);
}

std::string BuildGrey24(int width, int height, int value) {
  const std::uint32_t v = static_cast<std::uint32_t>(value);
  return Build24(width, height, [v](int, int) { return v << 16 | v << 8 | v; });
}

}  // namespace torva::test
