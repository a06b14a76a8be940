#include "logo/logo_options.h"

namespace torva {

LogoOptions theLogoOptions;

void LogoOptions::SetSheetDefaults(int modelCode) {
  nMaxPrintWidth = modelCode == 2 ? 384 : 512;
  nThreshold = 128;
  bGrayPrint = false;
  bStarEmulation = false;
}

}  // namespace torva
