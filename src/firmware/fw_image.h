// The firmware image file and the DownloadBlock cut out of it.
//
// Image: exactly 8,388,608 bytes; byte 0x7FFFFB is the boot version (1..10: the Boot area
// may be written); bytes 0x7FFFFC..0x7FFFFF are "ZELK". Areas lie at the offsets of
// fw_area.h; other bytes are ignored.
//
// Block of an area of size S at offset O (little-endian):
//   0  header (4)   4  S (4)   8  checksum (2)   10  image bytes O .. O + S - 11
// The Boot block's last four bytes are forced to 00 80 FE FF. The checksum is the sum of
// block bytes 10 .. S - 1 modulo 65536, shown as "%X".
//
// The checks run in a fixed order, split where the F/W Update dialog asks its question and
// prepares the port between them:
//   CFirmwareFile::Open         "ERROR : File Open"
//   CFirmwareFile::CheckSize    "FileSize (%d bytes) Error!"          (caption "Error")
//   ... the area's question, the port ...
//   CFirmwareFile::ReadImage    "ERROR:Memory Allocation Fail.", "ERROR : File Size Error",
//                               "Wrong File!"                          (caption "Error")
// Only a CFirmwareImage that passed every check makes a DownloadBlock, and a downloader
// takes only a DownloadBlock: nothing is sent from a file that was not checked whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "firmware/fw_area.h"

namespace torva {

inline constexpr uint32_t kFirmwareImageSize = 0x800000;
inline constexpr uint32_t kBootVersionOffset = 0x7FFFFB;
inline constexpr uint32_t kEndMarkerOffset = 0x7FFFFC;
inline constexpr uint8_t kEndMarker[4] = {'Z', 'E', 'L', 'K'};
inline constexpr int kMaxBootVersion = 10;
inline constexpr uint32_t kBlockDataOffset = 10;
inline constexpr uint8_t kBootTail[4] = {0x00, 0x80, 0xFE, 0xFF};

// The open-file dialog's filter.
inline constexpr const char* kFirmwareFileFilter = "Firmware file(*.PXR)|*.PXR|ALL FILE(*.*)|*.*|";

enum class ImageCheck { Ok, OpenFailed, WrongSize, OutOfMemory, ShortRead, WrongFile };

// The message of a failed check (empty for Ok) and its caption ("Error" or "TORVASet").
std::string ImageCheckText(ImageCheck check, long long actualSize);
const char* ImageCheckCaption(ImageCheck check);
// Shows that message through the services seam.
void ShowImageCheck(ImageCheck check, long long actualSize);

class CFirmwareImage;

// A firmware file being checked: open, then the size, then (after the question) the rest.
class CFirmwareFile {
 public:
  CFirmwareFile() = default;
  ~CFirmwareFile();
  CFirmwareFile(const CFirmwareFile&) = delete;
  CFirmwareFile& operator=(const CFirmwareFile&) = delete;

  // OpenFailed or Ok.
  ImageCheck Open(const std::string& path);
  // WrongSize or Ok; Size() gives the size found.
  ImageCheck CheckSize();
  long long Size() const { return m_nSize; }
  // Reads the whole file and checks its end marker: OutOfMemory, ShortRead, WrongFile or
  // Ok with the image in image. The file is closed afterwards either way.
  ImageCheck ReadImage(std::optional<CFirmwareImage>& image);
  void Close();

 private:
  std::FILE* m_pFile = nullptr;
  long long m_nSize = -1;
};

// An image that passed every check of the file.
class CFirmwareImage {
 public:
  // The checks on bytes already in memory (size and end marker): WrongSize, WrongFile, Ok.
  static ImageCheck FromBytes(std::vector<uint8_t> bytes, std::optional<CFirmwareImage>& image);
  std::span<const uint8_t> Bytes() const { return m_bytes; }
  uint8_t BootVersion() const { return m_bytes[kBootVersionOffset]; }
  bool BootVersionValid() const { return BootVersion() >= 1 && BootVersion() <= kMaxBootVersion; }

 private:
  explicit CFirmwareImage(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}
  std::vector<uint8_t> m_bytes;
};

// One area's block, built only from a checked image.
class DownloadBlock {
 public:
  static DownloadBlock Build(const CFirmwareImage& image, FirmwareArea area, int modelCode);
  std::span<const uint8_t> Bytes() const { return m_bytes; }
  uint32_t Size() const { return static_cast<uint32_t>(m_bytes.size()); }
  uint32_t Header() const;
  uint16_t Checksum() const;
  // The CHECKSUM box: "%X".
  std::string ChecksumText() const;
  FirmwareArea Area() const { return m_eArea; }

 private:
  DownloadBlock(std::vector<uint8_t> bytes, FirmwareArea area)
      : m_bytes(std::move(bytes)), m_eArea(area) {}
  std::vector<uint8_t> m_bytes;
  FirmwareArea m_eArea;
};

// The sum of bytes modulo 65536, and its "%X" text.
uint16_t BlockChecksum(std::span<const uint8_t> data);
std::string ChecksumText(uint16_t checksum);

// What the Boot Area radio button should do for a file: the dialog's start and each File
// Open. Outside service mode, for a file that cannot be read, or one without the end
// marker: Unchanged. Otherwise Enable for a boot version 1..10, Disable (and move a
// selected Boot Area to Program Area) for any other.
enum class BootChoice { Unchanged, Enable, Disable };
BootChoice UpdateBootAreaChoice(const std::string& path, bool serviceMode);

}  // namespace torva
