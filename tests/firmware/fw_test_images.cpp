#include "fw_test_images.h"

#include <fstream>
#include <stdexcept>

namespace torva::test {

std::vector<uint8_t> MakeFirmwareImage(uint32_t seed, uint8_t bootVersion, bool marker,
                                       size_t size) {
  std::vector<uint8_t> image(size, 0xFF);
  uint32_t x = seed;
  if (seed != 0) {
    for (auto& b : image) {
      x = x * 1664525u + 1013904223u;
      b = static_cast<uint8_t>(x >> 24);
    }
  }
  if (size >= 0x800000) {
    image[0x7FFFFB] = bootVersion;
    const char* m = marker ? "ZELK" : "ZELX";
    for (int i = 0; i < 4; ++i) image[0x7FFFFC + i] = static_cast<uint8_t>(m[i]);
  }
  return image;
}

void WriteFirmwareImage(const std::string& path, const std::vector<uint8_t>& image) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()),
            static_cast<std::streamsize>(image.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<uint8_t> ReferenceBlock(const std::vector<uint8_t>& image, const std::string& area,
                                    int modelCode) {
  size_t offset = 0, size = 0;
  uint8_t id = 0;
  const bool t30 = modelCode == 5, t40 = modelCode == 6;
  if (area == "program") {
    offset = t30 ? 0x300000 : t40 ? 0x400000 : 0x500000;
    size = t30 ? 622592 : 851968;
    id = t30 ? 'R' : 'Q';
  } else if (area == "extfont") {
    offset = 0x600000, size = 1048576, id = 'F';
  } else if (area == "lcdfont") {
    offset = 0, size = 2097152, id = 0xBB;
  } else if (area == "downloader") {
    offset = t30 ? 0x3D0000 : t40 ? 0x4D0000 : 0x5D0000, size = 98304, id = 'D';
  } else if (area == "boot") {
    offset = 0x2E0000, size = 86016, id = 'B';
  } else {
    throw std::invalid_argument(area);
  }
  std::vector<uint8_t> block = {0x01, 0x11, id, 0x30};
  for (int i = 0; i < 4; ++i) block.push_back(static_cast<uint8_t>(size >> (8 * i)));
  block.push_back(0);
  block.push_back(0);
  for (size_t i = 0; i + 10 < size; ++i) block.push_back(image[offset + i]);
  if (area == "boot") {
    block[size - 4] = 0x00, block[size - 3] = 0x80, block[size - 2] = 0xFE, block[size - 1] = 0xFF;
  }
  unsigned sum = 0;
  for (size_t i = 10; i < size; ++i) sum += block[i];
  block[8] = static_cast<uint8_t>(sum);
  block[9] = static_cast<uint8_t>(sum >> 8);
  return block;
}

}  // namespace torva::test
