#include "firmware/fw_area.h"

#include <array>

#include "app/models.h"

namespace torva {
namespace {

struct AreaRow {
  FirmwareArea area;
  const char* label;
  const char* name;
  // By layout: Standard, Torva30, Torva40.
  std::array<AreaPlace, 3> places;
};

constexpr AreaPlace Same(uint32_t offset, uint32_t size, uint32_t header) {
  return {offset, size, header};
}

constexpr std::array<AreaRow, kFirmwareAreaCount> kAreas = {{
    {FirmwareArea::Program,
     "Program Area",
     "program",
     {{{0x500000, 0xD0000, 0x30511101},
       {0x300000, 0x98000, 0x30521101},
       {0x400000, 0xD0000, 0x30511101}}}},
    {FirmwareArea::ExtFont,
     "Ext. Font",
     "extfont",
     {{Same(0x600000, 0x100000, 0x30461101), Same(0x600000, 0x100000, 0x30461101),
       Same(0x600000, 0x100000, 0x30461101)}}},
    {FirmwareArea::LcdFont,
     "LCD font",
     "lcdfont",
     {{Same(0x000000, 0x200000, 0x30BB1101), Same(0x000000, 0x200000, 0x30BB1101),
       Same(0x000000, 0x200000, 0x30BB1101)}}},
    {FirmwareArea::Downloader,
     "DOWNLOAD Area",
     "downloader",
     {{{0x5D0000, 0x18000, 0x30441101},
       {0x3D0000, 0x18000, 0x30441101},
       {0x4D0000, 0x18000, 0x30441101}}}},
    {FirmwareArea::Boot,
     "Boot Area",
     "boot",
     {{Same(0x2E0000, 0x15000, 0x30421101), Same(0x2E0000, 0x15000, 0x30421101),
       Same(0x2E0000, 0x15000, 0x30421101)}}},
}};

// Every area lies before the boot version byte, and every block is whole 4096-byte pages
// (so whole 2048-byte chunks on a port).
constexpr bool AreasFit() {
  for (const AreaRow& row : kAreas) {
    for (const AreaPlace& s : row.places) {
      if (s.nOffset + s.nSize > 0x7FFFFBu || s.nSize % 4096 != 0 || s.nSize < 4096) return false;
    }
  }
  return true;
}
static_assert(AreasFit(), "areas lie inside the image and are whole pages");

const AreaRow& RowOf(FirmwareArea area) {
  const int i = static_cast<int>(area);
  return kAreas[static_cast<size_t>(i >= 0 && i < kFirmwareAreaCount ? i : 0)];
}

}  // namespace

AreaPlace AreaPlaceOf(FirmwareArea area, int modelCode) {
  return RowOf(area).places[static_cast<size_t>(FirmwareLayoutOf(modelCode))];
}

const char* AreaLabel(FirmwareArea area) { return RowOf(area).label; }

const char* AreaName(FirmwareArea area) { return RowOf(area).name; }

std::optional<FirmwareArea> AreaFromName(const std::string& name) {
  for (const AreaRow& row : kAreas) {
    if (name == row.name) return row.area;
  }
  return std::nullopt;
}

}  // namespace torva
