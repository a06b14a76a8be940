// Named indices of the message table. The numbers are fixed (both languages are stored by
// index), so every caller names its message here instead of writing the number.
#pragma once

namespace torva {

enum class MsgId : int {
  OutputFileName = 0,            // "Input the output file name!"
  Completed = 1,                 // "COMPLETED"
  InitFail = 2,                  // "Init Fail"
  FileOpenError = 3,             // "File open error!!"
  NoExtFontData = 4,             // "Error! Not found extened font data in file."
  BaudNotSelected = 5,
  DataLengthNotSelected = 6,
  ParityNotSelected = 7,
  FlowNotSelected = 8,
  InvalidDevice = 9,             // "Invalid Device!"
  TurnOnUsbPrinter = 10,
  TooManyUsbDevices = 11,
  NoLptPort = 12,
  NoComPort = 13,
  BmpNotSelected = 14,
  ResetFileContinue = 15,        // "Reseting the file. \nContinue it?"
  OutOfMemory = 16,
  AllImagesWritten = 17,
  PortOpenError = 18,            // "ERROR : Port open."
  OpenPortOrFileError = 19,      // "ERROR[%d] - Open port or file."
  PrinterCheck = 20,             // "ERROR : Printer check."
  NvDefinitionComplete = 21,
  WriteToPort = 22,              // "ERROR : Write to port."
  EraseAllQuestion = 23,
  PrinterCheckAtStart = 24,      // "ERROR : Printer check." (second copy of the text)
  NvImageNumberIncorrect = 25,
  OverlappedWriteFailed = 26,
  ReceiveData = 27,              // "ERROR : Receive data."
  CommError = 28,                // "ERROR : Comm."
  PortNotOpened = 29,
  CreateEventRead = 30,
  CreateEventWrite = 31,
  PrinterNotReady = 32,          // "ERROR : PRINTER IS NOT READY!"
  LptWriteError = 33,            // "LPT Write Error[%d]"
  UpdateComplete = 34,           // "Update Complete.\nPlease wait beep the buzzer."
  AskBootArea = 35,
  AskDownloaderArea = 36,
  AskExtFontArea = 37,
  NotFirmwareFile = 38,          // "ERROR : File is not firmware file!"
  NoExtFontInFile = 39,
  CreateWatchThread = 40,
  QueueReadFull = 41,            // "m_QueueRead FULL!"
  CommCannotTransmit = 42,       // "Communication error. Can not transimitted."
  CannotReadMoreFiles = 43,
  LogFileBitmapsIncorrect = 44,
  BitmapFormatNotSupported = 45,
  NvAreaTooSmall = 46,
  LogFileBitmapsIncorrect2 = 47,
  WriteFail = 48,                // "ERROR : Write Fail!\nPlease check the printer power or connection"
  AskLoadDefaults = 49,
  NvMemoryOutOfRange = 50,       // "%d" placeholder: total NV memory in KB
  GrayNeedsEightBit = 51,        // "%s" placeholder: the file
  CannotCreateThread = 52,       // "ERROR : Cannot create receive thread!"
  StopBitNotSelected = 53,
  StopBitChangeNotice = 54,
  TcpPortRange = 55,             // "Please enter PORT number between 1024 ~ 65534."
  SystemError = 56,
  SearchFinished = 57,
  AskChangeNetwork = 58,
  UpdateCompleteNetwork = 59,    // same text as UpdateComplete, the network path's copy
  ReadFail = 60,                 // "ERROR : Read Fail!\nPlease check the printer power or connection"
  MarginRange = 61,              // "Please input a value between 0 ~ 512."
  IpAddressRange = 62,
};

}  // namespace torva
