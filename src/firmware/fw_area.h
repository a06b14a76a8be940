// The flash areas of a firmware image: where each lies in the 8 MB image, how large its
// block is, and the four header bytes that name it to the printer. The Program and
// DOWNLOAD areas move with the model line's layout (models.h).
//
//   area        label            offset (Std / T30 / T40)        size      header
//   Program     "Program Area"   0x500000 / 0x300000 / 0x400000  0xD0000   01 11 51 30
//                                                     (T30: 0x98000, 01 11 52 30)
//   ExtFont     "Ext. Font"      0x600000                        0x100000  01 11 46 30
//   LcdFont     "LCD font"       0x000000                        0x200000  01 11 BB 30
//   Downloader  "DOWNLOAD Area"  0x5D0000 / 0x3D0000 / 0x4D0000  0x18000   01 11 44 30
//   Boot        "Boot Area"      0x2E0000                        0x15000   01 11 42 30
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace torva {

// The index of the area's radio button in the F/W Update dialog.
enum class FirmwareArea : int { Program = 0, ExtFont = 1, LcdFont = 2, Downloader = 3, Boot = 4 };
inline constexpr int kFirmwareAreaCount = 5;

struct AreaPlace {
  uint32_t nOffset = 0;  // where the area starts in the image
  uint32_t nSize = 0;    // the area's size, and the size of its block
  uint32_t nHeader = 0;  // block bytes 0..3, little-endian
};

// The area of a model code (its firmware layout decides Program and DOWNLOAD).
AreaPlace AreaPlaceOf(FirmwareArea area, int modelCode);
// The radio button's label ("Program Area", ...).
const char* AreaLabel(FirmwareArea area);
// The short name of the command line (program, extfont, lcdfont, downloader, boot).
const char* AreaName(FirmwareArea area);
std::optional<FirmwareArea> AreaFromName(const std::string& name);
// The areas only service mode offers (the DOWNLOAD and Boot areas).
inline bool IsServiceArea(FirmwareArea area) {
  return area == FirmwareArea::Downloader || area == FirmwareArea::Boot;
}

}  // namespace torva
