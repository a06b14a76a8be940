// Our own reader of Windows BMP files for the logo converter. It checks a file completely
// before any pixel is touched: every accepted layout lies inside the bytes that were read,
// so pixel access needs no further bounds checks.
//
// Accepted: 1, 2, 4, 8, 16, 24 and 32 bits per pixel, uncompressed (BI_RGB), or BI_BITFIELDS
// for 16 and 32 bits; run-length encoded 8-bit (BI_RLE8) and 4-bit (BI_RLE4) rows, bottom-up,
// decoded into the uncompressed layout (pixels a stream skips keep colour index 0); the
// 40-byte info header and its longer forms (52, 56, 108 and 124 bytes, whose colour table
// stands right after the header); bottom-up and top-down rows.
// Refused: the OS/2 headers, other compression, zero or negative width, zero height, other
// depths, files whose pixel data offset or size does not fit the file, and run-length streams
// that leave their row or the picture, stop before their end-of-bitmap mark or run past the
// file's end (BadRunLength). Only regular files are opened: a pipe or a device is refused
// before it is opened, so it cannot block the reader.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace torva {

enum class BmpStatus {
  Ok,
  OpenFailed,    // the file cannot be opened or read
  NotBmp,        // no "BM" signature, or shorter than the headers
  Os2Header,     // 12- or 64-byte OS/2 info header
  BadHeader,     // an info header size we do not know
  ZeroSize,      // width or height 0, or a negative width
  BadDepth,      // bits per pixel other than 1, 2, 4, 8, 16, 24, 32
  Compressed,    // another compression, or run-length or bit fields on a depth without them
  BadOffset,     // the pixel data offset lies inside the headers or past the end of the file
  Truncated,     // the pixel rows do not fit between the offset and the end of the file
  TooLarge,      // the rounded area exceeds the converter's work buffer
  BadRunLength,  // a run-length stream that leaves its row or the picture, or ends too early
};

// A short English reason for a refusal, for logs and the command line.
const char* BmpStatusText(BmpStatus status);

// One colour channel of a 16- or 32-bit pixel: (pixel & mask) >> shift, then widened or
// narrowed to 8 bits (a 5-bit channel becomes value x 8).
struct BmpChannel {
  std::uint32_t nMask = 0;
  int nShift = 0;
  int nBits = 0;
  int Value(std::uint32_t pixel) const {
    if (nBits == 0) return 0;
    // Unsigned all the way: a mask may reach bit 31. The result is below 256 either way.
    const std::uint32_t v = (pixel & nMask) >> nShift;
    return static_cast<int>(nBits <= 8 ? v << (8 - nBits) : v >> (nBits - 8));
  }
};

struct BmpLayout {
  int nWidth = 0;
  int nHeight = 0;  // always positive; bTopDown tells the row order
  bool bTopDown = false;
  int nBitsPerPixel = 0;
  int nStride = 0;                 // bytes per row, a multiple of 4
  std::uint64_t nPixelOffset = 0;  // where the rows start in the file
  std::uint64_t nPixelBytes = 0;   // nStride x nHeight (decoded, for run-length files)
  int nRunLengthBits = 0;          // 8 or 4 for a run-length file, else 0
  std::uint64_t nStreamBytes = 0;  // run-length files: bytes from nPixelOffset to the end
  int nInfoSize = 0;
  // Colour table (indexed depths), 4 bytes per entry in the order blue, green, red,
  // reserved; entries the file does not hold are black.
  std::array<std::uint8_t, 256 * 4> abPalette{};
  int nPaletteEntries = 0;      // entries actually present in the file
  BmpChannel red, green, blue;  // 16 and 32 bits per pixel

  // File row that holds image row y (y = 0 at the top).
  int FileRow(int y) const { return bTopDown ? y : nHeight - 1 - y; }
};

// The pixel rows of a loaded file: nStride x nHeight bytes at rows, in the file's row order.
struct BmpPixels {
  std::vector<std::uint8_t> file;     // the file's bytes, when read by ReadFile
  std::vector<std::uint8_t> decoded;  // the decoded rows of a run-length file
  const std::uint8_t* rows = nullptr;
  void Clear() {
    file.clear();
    decoded.clear();
    rows = nullptr;
  }
};

class CBmpReader {
 public:
  // Bytes of the file start that hold every header and colour table we accept.
  static constexpr std::size_t kHeadBytes = 2048;

  // Checks the headers in head (the first min(file size, kHeadBytes) bytes of a file of
  // fileSize bytes) and fills layout. maxArea refuses images whose width and height,
  // rounded up to multiples of 8, span more dots (TooLarge).
  static BmpStatus Parse(const std::uint8_t* head, std::size_t headLen, std::uint64_t fileSize,
                         std::uint64_t maxArea, BmpLayout& layout);

  // Decodes a run-length stream (layout from Parse, nRunLengthBits 8 or 4) into rows:
  // nPixelBytes bytes laid out as uncompressed rows, which the caller has zeroed. Every run,
  // absolute run, delta and end of line is checked against the row (the stored row, padding
  // included, as writers encode it), the picture and the stream's end before a byte is read
  // or written; the stream must end with end-of-bitmap.
  static BmpStatus DecodeRunLength(const std::uint8_t* stream, std::size_t length,
                                   const BmpLayout& layout, std::uint8_t* rows);

  // Parse on bytes held in memory; with pixels not null also points pixels->rows at the
  // pixel rows: inside data for an uncompressed file (data must outlive the use), into
  // pixels->decoded for a run-length file. A run-length stream is decoded (and so checked)
  // either way.
  static BmpStatus ReadMemory(const std::uint8_t* data, std::size_t size, std::uint64_t maxArea,
                              BmpLayout& layout, BmpPixels* pixels);

  // ReadMemory on a regular file. With pixels null only the headers are read (and a
  // run-length stream, to check it); otherwise the file is read once, up to the end of its
  // pixel data, into pixels->file. Anything that is not a regular file is refused
  // (OpenFailed) before it is opened.
  static BmpStatus ReadFile(const std::string& path, std::uint64_t maxArea, BmpLayout& layout,
                            BmpPixels* pixels);
};

}  // namespace torva
