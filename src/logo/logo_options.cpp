#include "logo/logo_options.h"

#include "app/models.h"

namespace torva {

LogoOptions theLogoOptions;

void LogoOptions::SetSheetDefaults(int modelCode) {
  nMaxPrintWidth = PrintableWidth(modelCode);
  nThreshold = 128;
  bGrayPrint = false;
  bStarEmulation = false;
}

}  // namespace torva
