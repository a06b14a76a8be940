#include "firmware/legacy_area.h"

#include <cctype>

namespace torva {
namespace {

constexpr std::array<LegacyAreaInfo, 3> kAreas = {{
    {kLegacyAreaProgram, "&1.Program", "program", 0x1D0000, 0x1F0000, {0x20, 0x22}, 500},
    {kLegacyAreaBoot, "&3.Boot", "boot", 0x1F0000, 0x200000, {0x22, 0x23}, 400},
    {kLegacyAreaFont, "&4.Font", "font", 0x190000, 0x1B0000, {0x1C, 0x1E}, 500},
}};

}  // namespace

const LegacyAreaInfo* LegacyAreaOf(int nArea) {
  for (const auto& a : kAreas) {
    if (a.nArea == nArea) return &a;
  }
  return nullptr;
}

const LegacyAreaInfo* LegacyAreaByName(const std::string& name) {
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const auto& a : kAreas) {
    if (lower == a.name) return &a;
  }
  return nullptr;
}

}  // namespace torva
