#include "logo/bmp_reader.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace torva {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;
constexpr std::size_t kFileHeaderBytes = 14;

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

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
    case BmpStatus::Ok:
      return "ok";
    case BmpStatus::OpenFailed:
      return "the file cannot be read";
    case BmpStatus::NotBmp:
      return "not a BMP file";
    case BmpStatus::Os2Header:
      return "OS/2 bitmap header";
    case BmpStatus::BadHeader:
      return "unknown bitmap info header";
    case BmpStatus::ZeroSize:
      return "zero or negative image size";
    case BmpStatus::BadDepth:
      return "unsupported number of bits per pixel";
    case BmpStatus::Compressed:
      return "compressed pixel data of a kind that is not read";
    case BmpStatus::BadOffset:
      return "pixel data offset outside the file";
    case BmpStatus::Truncated:
      return "the file is truncated";
    case BmpStatus::TooLarge:
      return "the image is too large";
    case BmpStatus::BadRunLength:
      return "damaged run-length pixel data";
  }
  return "?";
}

BmpStatus CBmpReader::Parse(const std::uint8_t* head, std::size_t headLen, std::uint64_t fileSize,
                            std::uint64_t maxArea, BmpLayout& out) {
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
  // Run-length rows always run bottom-up; a top-down run-length file is not a valid form.
  const int runLengthBits = compression == kBiRle8 && bpp == 8 && height > 0   ? 8
                            : compression == kBiRle4 && bpp == 4 && height > 0 ? 4
                                                                               : 0;
  if (compression != kBiRgb && runLengthBits == 0 && !(bitfields && (bpp == 16 || bpp == 32))) {
    return BmpStatus::Compressed;
  }
  if (width <= 0 || height == 0) return BmpStatus::ZeroSize;
  const std::uint64_t w = static_cast<std::uint64_t>(width);
  const std::uint64_t h = height < 0
                              ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(height))
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
  if (runLengthBits == 0 && pixelBytes > fileSize - offset) return BmpStatus::Truncated;

  out.nWidth = width;
  out.nHeight = static_cast<int>(h);
  out.bTopDown = height < 0;
  out.nBitsPerPixel = bpp;
  out.nStride = static_cast<int>(stride);
  out.nPixelOffset = offset;
  out.nPixelBytes = pixelBytes;
  out.nRunLengthBits = runLengthBits;
  out.nStreamBytes = runLengthBits != 0 ? fileSize - offset : 0;
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

BmpStatus CBmpReader::DecodeRunLength(const std::uint8_t* stream, std::size_t length,
                                      const BmpLayout& layout, std::uint8_t* rows) {
  const bool four = layout.nRunLengthBits == 4;
  const std::size_t height = static_cast<std::size_t>(layout.nHeight);
  const std::size_t stride = static_cast<std::size_t>(layout.nStride);
  // A row is the stored row with its padding to 4 bytes: writers encode the padding too, and
  // pixels past the width are never read.
  const std::size_t width = four ? 2 * stride : stride;
  // Position: x in the row, row counted from the bottom (the first row of the file).
  std::size_t x = 0, row = 0, at = 0;
  auto put = [&](std::uint8_t index) {
    std::uint8_t* p = rows + row * stride;
    if (!four) {
      p[x] = index;
    } else if (x & 1) {
      p[x >> 1] = static_cast<std::uint8_t>(p[x >> 1] | index);
    } else {
      p[x >> 1] = static_cast<std::uint8_t>(p[x >> 1] | index << 4);
    }
    ++x;
  };
  // A run of count pixels must stay inside the current row of the picture.
  auto fits = [&](std::size_t count) { return row < height && count <= width - x; };
  while (true) {
    if (length - at < 2) return BmpStatus::BadRunLength;  // no end-of-bitmap mark
    const std::uint8_t count = stream[at], value = stream[at + 1];
    at += 2;
    if (count > 0) {  // a run: count pixels of one index (two alternating ones in 4 bits)
      if (!fits(count)) return BmpStatus::BadRunLength;
      for (std::size_t i = 0; i < count; ++i) {
        put(four ? static_cast<std::uint8_t>(i & 1 ? value & 0x0F : value >> 4) : value);
      }
      continue;
    }
    switch (value) {
      case 0:  // end of line
        if (row >= height) return BmpStatus::BadRunLength;
        ++row;
        x = 0;
        break;
      case 1:  // end of bitmap
        return BmpStatus::Ok;
      case 2: {  // delta: right and up
        if (length - at < 2) return BmpStatus::BadRunLength;
        const std::size_t dx = stream[at], dy = stream[at + 1];
        at += 2;
        if (row >= height || dx > width - x || dy > height - row) return BmpStatus::BadRunLength;
        x += dx;
        row += dy;
        break;
      }
      default: {  // absolute run of value pixels, padded to a whole 16-bit word
        const std::size_t bytes = four ? (value + 1u) / 2 : value;
        const std::size_t padded = (bytes + 1) / 2 * 2;
        if (!fits(value) || length - at < padded) return BmpStatus::BadRunLength;
        for (std::size_t i = 0; i < value; ++i) {
          const std::uint8_t b = stream[at + (four ? i / 2 : i)];
          put(four ? static_cast<std::uint8_t>(i & 1 ? b & 0x0F : b >> 4) : b);
        }
        at += padded;
        break;
      }
    }
  }
}

BmpStatus CBmpReader::ReadMemory(const std::uint8_t* data, std::size_t size, std::uint64_t maxArea,
                                 BmpLayout& layout, BmpPixels* pixels) {
  const std::size_t head = size < kHeadBytes ? size : kHeadBytes;
  BmpStatus status = Parse(data, head, size, maxArea, layout);
  if (status != BmpStatus::Ok) return status;
  const std::uint8_t* start = data + layout.nPixelOffset;
  if (layout.nRunLengthBits == 0) {
    if (pixels != nullptr) pixels->rows = start;
    return BmpStatus::Ok;
  }
  BmpPixels local;
  BmpPixels& out = pixels != nullptr ? *pixels : local;
  out.decoded.assign(layout.nPixelBytes, 0);
  status = DecodeRunLength(start, static_cast<std::size_t>(layout.nStreamBytes), layout,
                           out.decoded.data());
  if (status != BmpStatus::Ok) {
    out.decoded.clear();
    out.rows = nullptr;
    return status;
  }
  out.rows = out.decoded.data();
  return BmpStatus::Ok;
}

BmpStatus CBmpReader::ReadFile(const std::string& path, std::uint64_t maxArea, BmpLayout& layout,
                               BmpPixels* pixels) {
  layout = BmpLayout{};
  if (pixels != nullptr) pixels->Clear();
  // Asked before the open: opening a pipe without a writer, or a device, could block.
  std::error_code error;
  if (!std::filesystem::is_regular_file(std::filesystem::status(path, error))) {
    return BmpStatus::OpenFailed;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return BmpStatus::OpenFailed;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return BmpStatus::OpenFailed;

  BmpPixels local;
  BmpPixels& out = pixels != nullptr ? *pixels : local;
  const std::size_t head = size < kHeadBytes ? static_cast<std::size_t>(size) : kHeadBytes;
  out.file.resize(head);
  if (std::fread(out.file.data(), 1, head, file.get()) != head) return BmpStatus::OpenFailed;
  BmpStatus status = Parse(out.file.data(), head, size, maxArea, layout);
  if (status != BmpStatus::Ok || (pixels == nullptr && layout.nRunLengthBits == 0)) {
    out.file.clear();
    return status;
  }
  // The rest of the pixel data follows the bytes already read: the file is read once.
  const std::uint64_t end =
      layout.nRunLengthBits != 0 ? size : layout.nPixelOffset + layout.nPixelBytes;
  if (end > head) {
    out.file.resize(static_cast<std::size_t>(end));
    const std::size_t rest = static_cast<std::size_t>(end) - head;
    if (std::fread(out.file.data() + head, 1, rest, file.get()) != rest) {
      out.Clear();
      layout = BmpLayout{};
      return BmpStatus::OpenFailed;
    }
  }
  status = ReadMemory(out.file.data(), static_cast<std::size_t>(size < end ? size : end), maxArea,
                      layout, &out);
  if (status != BmpStatus::Ok) out.Clear();
  if (pixels == nullptr) local.Clear();
  return status;
}

}  // namespace torva
