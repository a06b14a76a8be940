// Fuzz entry for the BMP reader and the converter: any bytes are loaded as a bitmap and, when
// accepted, converted in mono or grey, with options taken from the input's length so that
// centring and thresholds are covered too.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "logo/logo_bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static torva::LogoOptions options;
  static auto* bitmap = new torva::CLogoBitmap(options);
  options.nThreshold = static_cast<int>(size % 256);
  options.bGrayPrint = (size & 1) != 0;
  options.abAutoCenter[0] = (size & 2) != 0;
  options.nMaxPrintWidth = 1 + static_cast<int>(size % 512);
  if (!bitmap->LoadFromMemory(data, size)) return 0;
  volatile int sink = bitmap->Luminance(0, 0) + bitmap->Dot(bitmap->Width() - 1, 0) +
                      bitmap->Luminance(bitmap->Width() - 1, bitmap->Height() - 1);
  (void)sink;
  if (options.bGrayPrint) {
    bitmap->MakeGrayRaster();
  } else {
    bitmap->MakeMonoRaster(1);
  }
  return 0;
}
