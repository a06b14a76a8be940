// The options that steer logo conversion and the NV commands. One record lives for the whole
// run; the logo pages set it and the converter and the command builder read it.
#pragma once

#include <array>

#include "logo/logo_limits.h"

namespace torva {

struct LogoOptions {
  int nMaxPrintWidth = 512;  // dots, 1..512; the width auto centring aims at
  int nThreshold = 128;      // black/white diverging point 0..255; higher is darker
  bool bGrayPrint = false;
  bool bStarEmulation = false;
  std::array<bool, kLogoMaxImages> abAutoCenter{};  // per list position, 0-based
  int nCapacityKB = 384;     // NV graphic memory used for the size check

  // The defaults set each time the logo property sheet is created: 512 dots (384 for the
  // TORVA10 line, model code 2), threshold 128, grey and star emulation off. The auto-centre
  // flags and the capacity are left as they are.
  void SetSheetDefaults(int modelCode);
};

extern LogoOptions theLogoOptions;

}  // namespace torva
