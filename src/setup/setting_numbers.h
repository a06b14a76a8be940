// The one-byte numbers of the printer's user settings (the "a" of the ask command, the write
// entries and the reply frames), named once for the model, the commands and the parser.
#pragma once

namespace torva {

enum SettingNo : int {
  kSetNvUser = 1,
  kSetNvGraphic = 2,
  kSetPaperWidth = 3,  // paper width and the 58mm column count
  kSetPaperType = 116,
  kSetColorDensity = 118,  // the density list beside the paper type
  kSetWaterMark = 242,     // with the image number
  kSetCutAdjust = 243,     // with the lines
  kSetDrawerWithCut = 244,
  kSetBell = 245,  // kitchen bell type and times
  kSetCodePage = 246,
  kSetCutMode = 247,
  kSetBoldFont = 248,
  kSetMaxSpeed = 249,
  kSetLeftMargin = 250,
  kSetDrawerSelfTest = 251,
  kSetReceiveBuffer = 252,
  kSetStopBit = 253,
  kSetCustomCode = 255,
  // Written only, never asked for.
  kSetWifiKeep = 199,
  kSetEmulation = 204,
  kSetKitchenBell = 205,
  kSetAutoCut = 206,
  kSetSelfTest = 207,
  kSetPrintDensity = 208,
  kSetUsbMode = 210,
  kSetSleep = 212,
  kSetPaperSave = 213,
  kSetLcdPassword = 214,
};

}  // namespace torva
