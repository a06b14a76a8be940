#include "logo/print_width.h"

#include <cstdlib>

#include "app/models.h"
#include "logo/bmp_reader.h"
#include "logo/logo_limits.h"

namespace torva {

int PrintableWidthDots(int modelCode) { return modelCode == kModelTorva10 ? 384 : 512; }

int PrintedWidthDots(int width, NvPrintMode mode) {
  const bool doubled = mode == NvPrintMode::DoubleWidth || mode == NvPrintMode::Quadruple;
  return doubled ? 2 * width : width;
}

int BmpWidthDots(const std::string& path) {
  BmpLayout layout;
  if (CBmpReader::ReadFile(path, kLogoWorkBytes, layout, nullptr) != BmpStatus::Ok) return 0;
  return layout.nWidth;
}

std::vector<WideImage> WideImages(const LogoEntryLists& entries, int modelCode, NvPrintMode mode) {
  std::vector<WideImage> wide;
  const int printable = PrintableWidthDots(modelCode);
  for (std::size_t i = 0; i < entries.Count(); ++i) {
    const int printed = PrintedWidthDots(BmpWidthDots(entries.paths[i]), mode);
    if (printed > printable) {
      wide.push_back({std::atoi(entries.numbers[i].c_str()), entries.names[i], printed});
    }
  }
  return wide;
}

std::string WideImagesText(const std::vector<WideImage>& wide, int printableWidth, bool korean) {
  if (wide.empty()) return {};
  std::string text = korean ? "용지 폭 " + std::to_string(printableWidth) +
                                  " 도트보다 넓습니다 (넘는 부분은 인쇄되지 않음):"
                            : "Wider than the " + std::to_string(printableWidth) +
                                  " dots the printer prints across (the rest is cut off):";
  for (const WideImage& w : wide) {
    // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) on the chained temporaries.
    text += ' ';
    text += std::to_string(w.nNumber);
    text += ' ';
    text += w.strName;
    text += ' ';
    text += std::to_string(w.nPrintedWidth);
    text += korean ? " 도트;" : " dots;";
  }
  text.pop_back();
  return text;
}

}  // namespace torva
