#include "logo/bmp_reader.h"

#include <bit>
#include <cstring>
#include <fstream>

namespace torva {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;
constexpr std::size_t kFileHeaderBytes = 14;

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

BmpChannel ChannelFromMask(std::uint32_t mask) {
  BmpChannel c;
  c.nMask = mask;
  if (mask == 0) return c;
  c.nShift = std::countr_zero(mask);
  c.nBits = 32 - std::countl_zero(mask) - c.nShift;
  return c;
}

bool KnownInfoSize(std::uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

}  // namespace

const char* BmpStatusText(BmpStatus status) {
  switch (status) {
    case BmpStatus::Ok: return "ok";
    case BmpStatus::OpenFailed: return "the file cannot be read";
    case BmpStatus::NotBmp: return "not a BMP file";
    case BmpStatus::Os2Header: return "OS/2 bitmap header";
    case BmpStatus::BadHeader: return "unknown bitmap info header";
    case BmpStatus::ZeroSize: return "zero or negative image size";
    case BmpStatus::BadDepth: return "unsupported number of bits per pixel";
    case BmpStatus::Compressed: return "compressed pixel data (run-length or other)";
    case BmpStatus::BadOffset: return "pixel data offset outside the file";
    case BmpStatus::Truncated: return "the file is truncated";
    case BmpStatus::TooLarge: return "the image is too large";
  }
  return "?";
}

BmpStatus CBmpReader::Parse(const std::uint8_t* head, std::size_t headLen,
                            std::uint64_t fileSize, std::uint64_t maxArea, BmpLayout& out) {
  out = BmpLayout{};
  if (headLen > fileSize) headLen = static_cast<std::size_t>(fileSize);
  if (headLen < kFileHeaderBytes + 4 || head[0] != 'B' || head[1] != 'M') return BmpStatus::NotBmp;
  const std::uint64_t offset = Le32(head + 10);
  const std::uint32_t infoSize = Le32(head + 14);
  if (infoSize == 12 || infoSize == 64) return BmpStatus::Os2Header;
  if (!KnownInfoSize(infoSize)) return BmpStatus::BadHeader;
  if (headLen < kFileHeaderBytes + infoSize) return BmpStatus::Truncated;
  const std::uint8_t* info = head + kFileHeaderBytes;

  const auto width = static_cast<std::int32_t>(Le32(info + 4));
  const auto height = static_cast<std::int32_t>(Le32(info + 8));
  const int bpp = Le16(info + 14);
  const std::uint32_t compression = Le32(info + 16);
  const std::uint32_t colorsUsed = Le32(info + 32);

  if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
    return BmpStatus::BadDepth;
  }
  const bool bitfields = compression == kBiBitfields || compression == kBiAlphaBitfields;
  if (compression != kBiRgb && !(bitfields && (bpp == 16 || bpp == 32))) {
    return BmpStatus::Compressed;
  }
  if (width <= 0 || height == 0) return BmpStatus::ZeroSize;
  const std::uint64_t w = static_cast<std::uint64_t>(width);
  const std::uint64_t h = height < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(height))
                                     : static_cast<std::uint64_t>(height);
  const std::uint64_t area = (w + 7) / 8 * 8 * ((h + 7) / 8 * 8);
  if (area > maxArea) {
    // The size stays known, for the message that tells it.
    out.nWidth = width;
    out.nHeight = h > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(h);
    return BmpStatus::TooLarge;
  }

  // The 40-byte header keeps its bit masks behind it; the longer headers hold them inside.
  std::uint64_t tableStart = kFileHeaderBytes + infoSize;
  std::uint32_t masks[3] = {0, 0, 0};
  if (bitfields) {
    const std::uint8_t* m = info + 40;
    if (infoSize == 40) {
      const std::uint64_t maskBytes = compression == kBiAlphaBitfields ? 16 : 12;
      if (headLen < tableStart + maskBytes) return BmpStatus::Truncated;
      tableStart += maskBytes;
    }
    masks[0] = Le32(m);
    masks[1] = Le32(m + 4);
    masks[2] = Le32(m + 8);
  } else if (bpp == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  } else if (bpp == 32) {
    masks[0] = 0x00FF0000;
    masks[1] = 0x0000FF00;
    masks[2] = 0x000000FF;
  }
  if (offset < tableStart || offset > fileSize) return BmpStatus::BadOffset;

  const std::uint64_t stride = (w * static_cast<std::uint64_t>(bpp) + 31) / 32 * 4;
  const std::uint64_t pixelBytes = stride * h;
  if (pixelBytes > fileSize - offset) return BmpStatus::Truncated;

  out.nWidth = width;
  out.nHeight = static_cast<int>(h);
  out.bTopDown = height < 0;
  out.nBitsPerPixel = bpp;
  out.nStride = static_cast<int>(stride);
  out.nPixelOffset = offset;
  out.nPixelBytes = pixelBytes;
  out.nInfoSize = static_cast<int>(infoSize);
  out.red = ChannelFromMask(masks[0]);
  out.green = ChannelFromMask(masks[1]);
  out.blue = ChannelFromMask(masks[2]);
  if (bpp <= 8) {
    std::uint64_t entries = 1u << bpp;
    if (colorsUsed != 0 && colorsUsed < entries) entries = colorsUsed;
    // Only entries that stand before the pixel data and inside the bytes read count.
    const std::uint64_t end = offset < headLen ? offset : headLen;
    const std::uint64_t present = end > tableStart ? (end - tableStart) / 4 : 0;
    if (present < entries) entries = present;
    std::memcpy(out.abPalette.data(), head + tableStart, entries * 4);
    out.nPaletteEntries = static_cast<int>(entries);
  }
  return BmpStatus::Ok;
}

BmpStatus CBmpReader::ReadFile(const std::string& path, std::uint64_t maxArea, BmpLayout& layout,
                               std::vector<std::uint8_t>* pixels) {
  layout = BmpLayout{};
  std::ifstream in(path, std::ios::binary);
  if (!in) return BmpStatus::OpenFailed;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return BmpStatus::OpenFailed;
  in.seekg(0);
  std::uint8_t head[kHeadBytes];
  const std::size_t want = static_cast<std::uint64_t>(size) < kHeadBytes
                               ? static_cast<std::size_t>(size)
                               : kHeadBytes;
  if (!in.read(reinterpret_cast<char*>(head), static_cast<std::streamsize>(want))) {
    return BmpStatus::OpenFailed;
  }
  BmpStatus status = Parse(head, want, static_cast<std::uint64_t>(size), maxArea, layout);
  if (status != BmpStatus::Ok || pixels == nullptr) return status;
  pixels->assign(layout.nPixelBytes, 0);
  in.seekg(static_cast<std::streamoff>(layout.nPixelOffset));
  if (!in.read(reinterpret_cast<char*>(pixels->data()),
               static_cast<std::streamsize>(layout.nPixelBytes))) {
    pixels->clear();
    layout = BmpLayout{};
    return BmpStatus::OpenFailed;
  }
  return BmpStatus::Ok;
}

}  // namespace torva
