// How wide the logos print, against how wide the model's paper is: the warning the logo pages
// show before an upload or a print. Only a warning: the bytes sent stay the same, since a
// printer cuts off what does not fit and the user may want exactly that.
#pragma once

#include <string>
#include <vector>

#include "logo/logo_list.h"
#include "logo/nv_commands.h"

namespace torva {

// Dots across the paper of the model (the TORVA10 line 384, the others 512).
int PrintableWidthDots(int modelCode);
// Dots across that an image width dots wide takes at mode (double width and quadruple print
// every dot twice across).
int PrintedWidthDots(int width, NvPrintMode mode);
// The width in dots of a BMP file; 0 when it cannot be read.
int BmpWidthDots(const std::string& path);

struct WideImage {
  int nNumber = 0;
  std::string strName;
  int nPrintedWidth = 0;
};

// The list's images that print wider than the model's paper at mode, in list order.
std::vector<WideImage> WideImages(const LogoEntryLists& entries, int modelCode, NvPrintMode mode);
// "Wider than the 512 dots the printer prints across (the rest is cut off): 3 logo.bmp 600
// dots." Empty when wide is empty.
std::string WideImagesText(const std::vector<WideImage>& wide, int printableWidth, bool korean);

}  // namespace torva
