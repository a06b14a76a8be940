#include "logo/nv_commands.h"

#include <cstdio>

namespace torva {
namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kFs = 0x1C;
constexpr std::uint8_t kGs = 0x1D;
constexpr std::uint8_t kGrayFlag = 0xA0;

std::uint8_t Byte(int v) { return static_cast<std::uint8_t>(v & 0xFF); }

}  // namespace

NvBytes CNvCommands::Initialise() { return {kEsc, '@'}; }

NvBytes CNvCommands::PrinterCheck() { return {kGs, 'I', 0x01}; }

NvBytes CNvCommands::DefineStart(int imageCount, bool starEmulation) {
  if (starEmulation) return {kEsc, kFs, 'q', Byte(imageCount)};
  return {kFs, 'q', Byte(imageCount)};
}

NvBytes CNvCommands::ImageHeader(int width8, int height8, bool gray) {
  const int x = width8 / 8;
  const int y = height8 / 8;
  std::uint8_t xH = Byte(x / 256);
  if (gray) xH |= kGrayFlag;
  return {Byte(x % 256), xH, Byte(y % 256), Byte(y / 256)};
}

std::vector<int> CNvCommands::DataPieces(int dataLength) {
  std::vector<int> pieces;
  if (dataLength < 0) dataLength = 0;
  pieces.assign(static_cast<std::size_t>(dataLength / kPieceBytes), kPieceBytes);
  pieces.push_back(dataLength % kPieceBytes);
  return pieces;
}

NvBytes CNvCommands::EmptyHeaders(int count) {
  return NvBytes(static_cast<std::size_t>(count > 0 ? count : 0) * 4, 0);
}

NvBytes CNvCommands::EraseAll() { return {kFs, 'q', 0x01, 0x00, 0x00, 0x00, 0x00}; }

NvBytes CNvCommands::HeaderLine(int imageNumber) {
  char text[32];
  const int n = std::snprintf(text, sizeof text, "--- Logo %d ---\n", imageNumber);
  return NvBytes(text, text + (n > 0 ? n : 0));
}

NvBytes CNvCommands::PrintImage(int imageNumber, NvPrintMode mode, bool starEmulation) {
  const std::uint8_t m = Byte(static_cast<int>(mode));
  if (starEmulation) return {kEsc, kFs, 'p', Byte(imageNumber), m};
  return {kFs, 'p', Byte(imageNumber), m};
}

}  // namespace torva
