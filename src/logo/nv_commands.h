// Every byte sequence of the NV bit image commands, built in one place: the define command
// (FS q) with its image headers and data pieces, the erase sequence, the print command
// (FS p) with its optional header line, and the initialise (ESC @) and printer check (GS I 1)
// commands. With star emulation the define start and the print command get an ESC in front;
// the erase sequence never does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/models.h"

namespace torva {

using NvBytes = std::vector<std::uint8_t>;

enum class NvPrintMode { Normal = 0, DoubleWidth = 1, DoubleHeight = 2, Quadruple = 3 };

class CNvCommands {
 public:
  static constexpr int kPieceBytes = 512;  // data is written in pieces of this size

  static NvBytes Initialise();                       // 1B 40
  static NvBytes PrinterCheck();                     // 1D 49 01
  // [1B] 1C 71 n, n = images in the define command, 1..255.
  static NvBytes DefineStart(int imageCount, bool starEmulation);
  // xL xH yL yH from the rounded (and centred) size; grey images carry 0xA0 in xH.
  static NvBytes ImageHeader(int width8, int height8, bool gray);
  // The lengths of the data pieces of an image: full pieces of 512 bytes, then one piece
  // of the rest (0 bytes when the length is a multiple of 512).
  static std::vector<int> DataPieces(int dataLength);
  // Groups of 00 00 00 00 that stand in for the headers a cancelled upload did not send.
  static NvBytes EmptyHeaders(int count);
  static NvBytes EraseAll();                         // 1C 71 01 00 00 00 00
  static NvBytes HeaderLine(int imageNumber);        // "--- Logo %d ---\n"
  static NvBytes PrintImage(int imageNumber, NvPrintMode mode, bool starEmulation);

  // The notice of the TORVA30/35 line, whose NV graphic memory holds 128 KB, and whether it
  // is due: a line with a smaller NV memory than the logo area, and more than that used.
  static const char* Torva30NoticeText() { return "TORVA30/35 NV graphic memory size is 128Kbytes."; }
  static const char* Torva30NoticeTitle() { return "Notice"; }
  static bool NeedsTorva30Notice(int modelCode, long usedKB) {
    const int limitKB = NvNoticeLimitKB(modelCode);
    return limitKB > 0 && usedKB > limitKB;
  }
};

}  // namespace torva
