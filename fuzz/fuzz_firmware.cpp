// Fuzz entry for the firmware image checks and the block building: the input's first byte
// picks the line and the area, the rest becomes the image's last bytes (boot version and
// end marker) and the start of every area; inputs of exactly an image's size are checked as
// they are. Every accepted image's block must carry its size, its header and the sum of its
// own data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "firmware/fw_image.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torva;
  std::vector<uint8_t> bytes;
  int model = 1;
  FirmwareArea area = FirmwareArea::Program;
  if (size == kFirmwareImageSize) {
    bytes.assign(data, data + size);
  } else {
    if (size > 0) {
      model = 1 + data[0] % 7;  // 7: a code out of range
      area = static_cast<FirmwareArea>((data[0] >> 3) % kFirmwareAreaCount);
      ++data;
      --size;
    }
    if (size > 4096) size = 4096;
    bytes.assign(kFirmwareImageSize, 0xFF);
    const AreaPlace place = AreaPlaceOf(area, model);
    for (std::size_t i = 0; i < size && place.nOffset + i < kFirmwareImageSize; ++i) {
      bytes[place.nOffset + i] = data[i];
    }
    const std::size_t tail = size < 5 ? size : 5;
    for (std::size_t i = 0; i < tail; ++i) bytes[kBootVersionOffset + i] = data[size - tail + i];
  }
  std::optional<CFirmwareImage> image;
  const ImageCheck check = CFirmwareImage::FromBytes(bytes, image);
  Require(!ImageCheckText(check, static_cast<long long>(bytes.size())).empty() ||
          check == ImageCheck::Ok);
  if (check != ImageCheck::Ok) return 0;
  const DownloadBlock block = DownloadBlock::Build(*image, area, model);
  const AreaPlace place = AreaPlaceOf(area, model);
  Require(block.Size() == place.nSize && block.Header() == place.nHeader);
  Require(block.Checksum() == BlockChecksum(block.Bytes().subspan(kBlockDataOffset)));
  Require(!block.ChecksumText().empty() && block.ChecksumText().size() <= 4);
  return 0;
}
