// CFirmwareDownload: DOWNLOAD of the F/W Update dialog, and "torvaset-cli firmware
// download": the file checks, the area's question, the port, the block, then the block as
// one raw stream and the flash wait. The printer is never asked anything; it beeps when it
// is done.
//
//   Prepare()   on the dialog's thread: open the file ("ERROR : File Open"), its size, the
//               area's question, the port (close and open; "Init Fail"), the rest of the
//               checks, the block. True: Transfer follows.
//   Transfer()  on any one thread (the worker that Start runs, or the caller's): ports in
//               chunks of 2048 bytes, each taken and sent within a bound that scales with
//               the chunk at the line's baud rate; the network after ConnectPrinter in
//               sends of 4096 bytes. Then the byte count, the port's close, and the flash
//               wait (16 steps on ports, 256 on the network, S * 2 / 20480 ms each, through
//               the clock). Shows nothing.
//   ShowOutcome() on the dialog's thread afterwards: the outcome's message.
//
// A failed write on a serial line is tried again a few times, a network send too; then the
// transfer ends with that path's message. RequestStop (EXIT) ends a transfer between two
// waits of at most a few tens of milliseconds (a network send that stalls: the socket's
// bound); the destructor stops and joins the worker. Progress, the byte count and the
// outcome may be read from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "firmware/fw_area.h"
#include "firmware/fw_image.h"

namespace torva {

class IFirmwareSink;

enum class FwOutcome {
  Running,          // prepared or transferring
  Completed,        // "Update Complete.\nPlease wait beep the buzzer."
  OpenFailed,       // "ERROR : File Open"
  WrongSize,        // "FileSize (%d bytes) Error!"
  NotConfirmed,     // the question answered No
  InitFail,         // the port did not open
  OutOfMemory,      // "ERROR:Memory Allocation Fail."
  ShortRead,        // "ERROR : File Size Error"
  WrongFile,        // "Wrong File!"
  Refused,          // a service area without service mode, a Boot area of a file without a
                    // boot version 1..10 (callers offer neither)
  PortNotOpened,    // "Port is not opened!"
  PrinterNotReady,  // a serial chunk not sent in time, or failed writes
  WriteError,       // "LPT Write Error[%d]" on USB, parallel and file connections
  PrinterCheck,     // ConnectPrinter failed
  SendFailed,       // network sends kept failing ("ERROR : Printer check." too)
  Stopped,          // RequestStop
};

// Which buttons of the dialog are enabled after an outcome.
struct FwButtons {
  bool bDownload = true;
  bool bFileOpen = true;
};
FwButtons ButtonsAfter(FwOutcome outcome);

struct FwRequest {
  std::string strPath;
  FirmwareArea eArea = FirmwareArea::Program;
  int nModel = 1;
  bool bServiceMode = false;
};

// The LCD font area's question (a fixed text of its own, in the message language).
std::string LcdFontQuestion();
// The area's question; empty for Program.
std::string AreaQuestion(FirmwareArea area);

class CFirmwareDownload {
 public:
  static constexpr int kPortChunk = 2048;
  static constexpr int kNetworkChunk = 4096;
  static constexpr uint32_t kFlashRange = 20480;  // the bar's room for the flash wait
  static constexpr int kPortFlashStep = 1280;     // 16 steps
  static constexpr int kNetworkFlashStep = 80;    // 256 steps
  // A serial chunk's bound: its time on the line at 11 bits per byte, this many times over,
  // plus a fixed allowance.
  static constexpr int kChunkTimeMargin = 4;
  static constexpr int kChunkAllowanceMs = 2000;
  // A failed write (serial) or send (network) is tried this often in all.
  static constexpr int kWriteAttempts = 3;
  static constexpr int kRetryPauseMs = 100;
  // How long a USB, parallel or file write may wait for the printer.
  static constexpr int kPrinterWriteLimitMs = 30000;

  explicit CFirmwareDownload(IFirmwareSink& sink);
  ~CFirmwareDownload();
  CFirmwareDownload(const CFirmwareDownload&) = delete;
  CFirmwareDownload& operator=(const CFirmwareDownload&) = delete;

  bool Prepare(const FwRequest& request);
  FwOutcome Transfer();
  // Transfer on a worker thread; finished (if set) is called on it at the end.
  void Start(std::function<void()> finished = {});
  void RequestStop() { m_bStop = true; }
  // Waits for the worker (a no-op when none runs).
  void Join();
  bool Running() const { return m_bRunning; }
  void ShowOutcome() const;

  FwOutcome Outcome() const { return m_eOutcome; }
  // The message of the outcome; empty for none.
  std::string OutcomeText() const;
  const DownloadBlock* Block() const { return m_block ? &*m_block : nullptr; }
  std::string ChecksumText() const { return m_block ? m_block->ChecksumText() : std::string(); }
  // The bar: 0 .. BlockSize + 20480.
  uint32_t Range() const { return m_nRange; }
  uint32_t Position() const { return m_nPosition; }
  uint32_t Sent() const { return m_nSent; }
  // Bytes really written so far (the FileSize box once the data is out).
  uint32_t BytesWritten() const { return m_nBytesWritten; }
  bool DataSent() const { return m_bDataSent; }
  std::string FileSizeText() const { return std::to_string(BytesWritten()); }
  int LastError() const { return m_nError; }
  long long FileSize() const { return m_nFileSize; }
  // Called on the transferring thread after each change of the position.
  std::function<void()> m_fnProgress;

  // The bound of one serial chunk of length bytes at baud.
  static int ChunkLimitMs(int length, int baud);
  // The caption's number: position * 100 / range, unsigned.
  static unsigned Percent(uint32_t position, uint32_t range);

 private:
  FwOutcome Fail(FwOutcome outcome);
  FwOutcome SendData();
  FwOutcome WriteWithRetries(const uint8_t* data, int length);
  FwOutcome FlashWait(int step, uint32_t extra);
  void SetProgress(uint32_t position);

  IFirmwareSink& m_sink;
  FwRequest m_request;
  std::optional<DownloadBlock> m_block;
  long long m_nFileSize = 0;
  std::atomic<FwOutcome> m_eOutcome{FwOutcome::Running};
  std::atomic<uint32_t> m_nRange{0};
  std::atomic<uint32_t> m_nPosition{0};
  std::atomic<uint32_t> m_nSent{0};
  std::atomic<uint32_t> m_nBytesWritten{0};
  std::atomic<bool> m_bDataSent{false};
  std::atomic<bool> m_bStop{false};
  std::atomic<bool> m_bRunning{false};
  std::atomic<int> m_nError{0};
  std::thread m_worker;
};

}  // namespace torva
