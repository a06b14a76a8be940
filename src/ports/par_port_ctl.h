// ParPortCtl: a printer on a parallel port in both directions, for the user setup exchange.
// It writes command bytes, and its reader thread (ParaReadThread) reads the printer's reply
// when asked, takes the automatic status-back blocks out of it and queues the reply bytes.
// Logo and firmware jobs write to parallel ports through CPorts instead.
//
// Calling order: Open, StartThread, then for each request Write followed by RequestRead,
// GetByte until it reports empty; at the end StopThread and Close.
//
// Threads: the owner's thread calls Open, Write, RequestRead, StartThread, StopThread and
// Close; the reader thread calls Read and is m_Queue's only producer; one consumer thread
// (the owner's or the exchange worker) calls GetByte. No wait is unbounded: the reader looks
// at its stop request at least every kStopPollMs, also inside a read that waits for input.
//
// Failures leave their text in Error() (read failures are logged too) and return false or 0;
// nothing here shows a message.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "ports/byte_queue.h"

namespace torva {

class ParPortCtl {
 public:
  static constexpr int kBlockSize = 512;     // one read of the reader thread
  static constexpr int kWriteWaitMs = 5000;  // a write the printer does not take fails
  static constexpr int kStopPollMs = 100;    // longest the reader goes without a stop check
  static constexpr int kDrainReads = 3;      // reads after a stop request, data discarded
  static constexpr int kDrainWaitMs = 50;    // each drain read waits at most this for input
  static constexpr int kCloseWaitMs = 100;   // pause before the port is released

  ParPortCtl();
  // Stops and joins a reader thread that was started, and releases the port.
  ~ParPortCtl();
  ParPortCtl(const ParPortCtl&) = delete;
  ParPortCtl& operator=(const ParPortCtl&) = delete;

  // Opens the device node (/dev/lpN, /dev/usb/lpN, or any path: a test's pseudo-terminal)
  // for reading and writing, not shared. False with "[ParPortCtl] CreateFile fail : %d".
  bool Open(const std::string& portName);
  // Writes length bytes; the count written, 0 on failure ("[ParPortCtl] Write fail : %d")
  // or when the printer took nothing for kWriteWaitMs.
  int Write(const uint8_t* data, int length);
  // One read of at most length bytes for the reader thread: waits for input until some
  // arrives or a stop is requested, then takes what is there. The count; 0 when not open,
  // on a stop, or on a failure ("[ParPortCtl] Read fail : %d\r\n", logged).
  int Read(uint8_t* buffer, int length);
  // Asks the reader for the reply to the request just written.
  void RequestRead();
  // One queued reply byte: status 1 when a byte was taken; -1 when the queue was empty
  // (then "[ParPortCtl] Receive Queue is Empty" and 0).
  uint8_t GetByte(int& status);
  // Starts ParaReadThread; false with "[ParPortCtl] CreateThread fail : %d".
  bool StartThread();
  // Asks the reader to end (after its drain reads) and waits until it has.
  void StopThread();
  // Stops the reader, pauses kCloseWaitMs (through the clock) and releases the port.
  // Always true.
  bool Close();
  void SetError(const std::string& text);

  std::string Error() const;
  int LastSystemError() const { return m_dwLastError.load(); }
  bool IsOpen() const { return m_bOpen.load(); }
  // True from StartThread until the reader has ended (by a stop, or by a full queue).
  bool IsReaderRunning() const { return m_bReaderAlive.load(); }
  // The last automatic status-back block received (zeros before the first).
  std::array<uint8_t, 4> Asb() const;
  // An automatic status-back block: (b0 & 93) = 10, (b1 & 90) = 0, (b2 & F0) = 0, b3 = 0F.
  static bool IsStatusBack(const uint8_t* b);

  // Reply bytes; filled by the reader, read through GetByte (or Get by the one consumer).
  ByteQueue m_Queue;
  // Set where the port cannot be read back on the running system; never on this platform.
  bool m_bNoReadBack = false;

 private:
  // The three events are manual-reset flags under one lock and one condition, so that the
  // reader can wait for either of two.
  void SetEvent(bool& event);
  void ResetEvent(bool& event);
  bool IsSet(const bool& event) const;

  int ParaReadThread();
  // Scans one block: status-back blocks lying wholly inside it go to m_Asb, every other
  // byte into m_Queue. False when the queue refused a byte (4095 held).
  bool ScanBlock(const uint8_t* block, int length);
  // A read that waits at most waitMs for input (the drain reads).
  int ReadBounded(uint8_t* buffer, int length, int waitMs);
  void JoinReader();

  mutable std::mutex m_evMutex;
  mutable std::condition_variable m_evCv;
  bool m_hEndEvent = false;   // set by the reader when it ends
  bool m_hReadEvent = false;  // set to ask the reader for a reply
  bool m_hStopEvent = false;  // set to end the reader
  std::thread m_hThread;
  std::thread::id m_dwThreadId;
  std::intptr_t m_hPort = -1;
  // Wakes a read that waits for input when a stop is requested; one per reader run.
  std::intptr_t m_hWake = -1;
  mutable std::mutex m_mutex;  // m_strError and m_Asb
  std::string m_strError;
  std::atomic<int> m_dwLastError{0};
  std::array<uint8_t, 4> m_Asb{};
  std::atomic<bool> m_bOpen{false};
  std::atomic<bool> m_bReaderAlive{false};
};

}  // namespace torva
