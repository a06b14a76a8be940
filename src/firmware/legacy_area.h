// The flash areas of the TORVA10 line that the framed downloader writes, by the index of the
// dialog's area radio button. Index 1 (the extended font) exists on the dialog but is never
// offered, so it has no row.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace torva {

struct LegacyAreaInfo {
  int nArea;                     // radio button index (m_nArea)
  const char* caption;           // the radio button's English caption
  const char* name;              // the command line's word for it
  uint32_t nStart;               // first flash address
  uint32_t nEnd;                 // end address (exclusive)
  std::array<uint8_t, 2> erase;  // what the erase frame names the area by
  int nEraseStepMs;              // each of the six erase steps waits this long
};

inline constexpr int kLegacyAreaProgram = 0;
inline constexpr int kLegacyAreaExtFont = 1;
inline constexpr int kLegacyAreaBoot = 2;
inline constexpr int kLegacyAreaFont = 3;

// The row of a radio index; nullptr for the extended font and for indices out of range.
const LegacyAreaInfo* LegacyAreaOf(int nArea);
// The row of a command-line word ("program", "boot", "font", any case); nullptr otherwise.
const LegacyAreaInfo* LegacyAreaByName(const std::string& name);

}  // namespace torva
