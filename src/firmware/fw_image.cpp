#include "firmware/fw_image.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <new>

#include "app/messages.h"
#include "app/services.h"

namespace torva {
namespace {

constexpr const char* kErrorCaption = "Error";

void PutLe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

bool HasEndMarker(const uint8_t* tail4) { return std::memcmp(tail4, kEndMarker, 4) == 0; }

}  // namespace

std::string ImageCheckText(ImageCheck check, long long actualSize) {
  switch (check) {
    case ImageCheck::Ok:
      return {};
    case ImageCheck::OpenFailed:
      return "ERROR : File Open";
    case ImageCheck::WrongSize:
      return "FileSize (" + std::to_string(actualSize) + " bytes) Error!";
    case ImageCheck::OutOfMemory:
      return "ERROR:Memory Allocation Fail.";
    case ImageCheck::ShortRead:
      return "ERROR : File Size Error";
    case ImageCheck::WrongFile:
      return "Wrong File!";
  }
  return {};
}

const char* ImageCheckCaption(ImageCheck check) {
  return check == ImageCheck::WrongSize || check == ImageCheck::WrongFile ? kErrorCaption
                                                                          : kAppName;
}

void ShowImageCheck(ImageCheck check, long long actualSize) {
  if (check == ImageCheck::Ok) return;
  Ui().Message(ImageCheckText(check, actualSize), ImageCheckCaption(check), MsgIcon::Error);
}

CFirmwareFile::~CFirmwareFile() { Close(); }

void CFirmwareFile::Close() {
  if (m_pFile != nullptr) std::fclose(m_pFile);
  m_pFile = nullptr;
}

ImageCheck CFirmwareFile::Open(const std::string& path) {
  Close();
  m_nSize = -1;
  if (path.empty()) return ImageCheck::OpenFailed;
  std::error_code ec;
  // A folder opens on some systems but is no file to read.
  if (!std::filesystem::is_regular_file(path, ec)) return ImageCheck::OpenFailed;
  m_pFile = std::fopen(path.c_str(), "rb");
  if (m_pFile == nullptr) return ImageCheck::OpenFailed;
  const auto size = std::filesystem::file_size(path, ec);
  m_nSize = ec ? -1 : static_cast<long long>(size);
  return ImageCheck::Ok;
}

ImageCheck CFirmwareFile::CheckSize() {
  return m_pFile != nullptr && m_nSize == kFirmwareImageSize ? ImageCheck::Ok
                                                             : ImageCheck::WrongSize;
}

ImageCheck CFirmwareFile::ReadImage(std::optional<CFirmwareImage>& image) {
  image.reset();
  if (m_pFile == nullptr || m_nSize != kFirmwareImageSize) {
    Close();
    return ImageCheck::ShortRead;
  }
  std::vector<uint8_t> bytes;
  try {
    bytes.assign(kFirmwareImageSize, 0xFF);
  } catch (const std::bad_alloc&) {
    Close();
    return ImageCheck::OutOfMemory;
  }
  std::rewind(m_pFile);
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), m_pFile);
  Close();
  if (got < bytes.size()) return ImageCheck::ShortRead;
  return CFirmwareImage::FromBytes(std::move(bytes), image);
}

ImageCheck CFirmwareImage::FromBytes(std::vector<uint8_t> bytes,
                                     std::optional<CFirmwareImage>& image) {
  image.reset();
  if (bytes.size() != kFirmwareImageSize) return ImageCheck::WrongSize;
  if (!HasEndMarker(bytes.data() + kEndMarkerOffset)) return ImageCheck::WrongFile;
  image.emplace(CFirmwareImage(std::move(bytes)));
  return ImageCheck::Ok;
}

uint16_t BlockChecksum(std::span<const uint8_t> data) {
  uint32_t sum = 0;
  for (const uint8_t b : data) sum += b;
  return static_cast<uint16_t>(sum & 0xFFFFu);
}

std::string ChecksumText(uint16_t checksum) {
  char text[8];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(checksum));
  return text;
}

DownloadBlock DownloadBlock::Build(const CFirmwareImage& image, FirmwareArea area, int modelCode) {
  const AreaPlace place = AreaPlaceOf(area, modelCode);
  std::vector<uint8_t> block(place.nSize, 0xFF);
  const std::span<const uint8_t> src =
      image.Bytes().subspan(place.nOffset, place.nSize - kBlockDataOffset);
  std::copy(src.begin(), src.end(), block.begin() + kBlockDataOffset);
  PutLe32(block.data(), place.nHeader);
  PutLe32(block.data() + 4, place.nSize);
  if (area == FirmwareArea::Boot)
    std::copy(std::begin(kBootTail), std::end(kBootTail), block.end() - 4);
  const uint16_t cs = BlockChecksum(std::span<const uint8_t>(block).subspan(kBlockDataOffset));
  PutLe16(block.data() + 8, cs);
  return DownloadBlock(std::move(block), area);
}

uint32_t DownloadBlock::Header() const {
  return static_cast<uint32_t>(m_bytes[0]) | static_cast<uint32_t>(m_bytes[1]) << 8 |
         static_cast<uint32_t>(m_bytes[2]) << 16 | static_cast<uint32_t>(m_bytes[3]) << 24;
}

uint16_t DownloadBlock::Checksum() const {
  return static_cast<uint16_t>(m_bytes[8] | m_bytes[9] << 8);
}

std::string DownloadBlock::ChecksumText() const { return torva::ChecksumText(Checksum()); }

BootChoice UpdateBootAreaChoice(const std::string& path, bool serviceMode) {
  std::FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
  if (f == nullptr) return BootChoice::Unchanged;
  uint8_t tail[5] = {};
  const bool read = std::fseek(f, static_cast<long>(kBootVersionOffset), SEEK_SET) == 0 &&
                    std::fread(tail, 1, sizeof tail, f) == sizeof tail;
  std::fclose(f);
  if (!serviceMode || !read || !HasEndMarker(tail + 1)) return BootChoice::Unchanged;
  return tail[0] >= 1 && tail[0] <= kMaxBootVersion ? BootChoice::Enable : BootChoice::Disable;
}

}  // namespace torva
