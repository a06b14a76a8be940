// CPorts: the tool's one connection to the printer for serial, parallel, USB and file output,
// and the serial receive watch thread. One global object, thePort.
//
// Calling order of every job: set m_fnNotify (jobs that expect replies), Open, any number of
// Write (and, for USB replies, ReadUsbReply), Close. Open, Write, Close and ReadUsbReply run
// on one thread (the user-interface thread); the watch thread only fills m_QueueRead.
//
// Port kinds come from the port name through ClassifyPortName (port_kind.h). Every failure of
// Open is written to theLog and reported as false; the caller shows its own message.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/connection_settings.h"
#include "ports/byte_queue.h"
#include "ports/port_kind.h"

namespace torva {
namespace portio {
struct WriteResult;
}

class CPorts : public ConnectionSettings {
 public:
  // Write time-out of a serial line: milliseconds per byte of the write.
  static constexpr int kWriteMsPerByte = 100;
  // Parallel and USB printers take a write when they are ready; one write may wait this
  // long in all before it counts as failed.
  static constexpr int kPrinterWriteLimitMs = 30000;
  // The watch thread's largest single read and the longest it waits before it looks at
  // the flags again.
  static constexpr int kWatchReadSize = 2048;
  static constexpr int kWatchPollMs = 100;
  // ReadUsbReply: passes, bytes per read, wait per pass.
  static constexpr int kUsbReplyPasses = 4;
  static constexpr int kUsbReplyReadSize = 256;
  static constexpr int kUsbReplyWaitMs = 100;

  CPorts() = default;
  // Shared handles and a running thread cannot be copied; copy the ConnectionSettings part.
  CPorts(const CPorts&) = delete;
  CPorts& operator=(const CPorts&) = delete;
  // Closes the port and waits for the watch thread to end.
  virtual ~CPorts();

  // Opens the device for the current settings and marks the object connected. A serial
  // port starts the watch thread for user setup (m_nFunction 2), and for firmware download
  // on model code 2. A "FILE" open asks for the output file's name and replaces
  // m_strPortName by it; the object remembers that it writes a file.
  bool Open();
  // Whether a device or file is held open.
  bool IsOpen() const { return m_hComm != -1; }
  // Marks the object closed, stops the watch thread (it ends within kWatchPollMs, at once
  // when it is waiting for input) and releases the device. Does not wait for the thread:
  // a notification already under way may still finish after Close returns, so call
  // JoinWatchThread (not from inside the callback) before destroying what the callback
  // uses. False when nothing was open.
  bool Close();
  // Writes length bytes and returns the count written; 0 on failure. Callers compare it
  // with length: a serial line that times out (kWriteMsPerByte per byte) or a parallel or
  // USB printer that takes nothing for kPrinterWriteLimitMs returns the short count. A
  // printer that is out of paper, off line or never ready is also told why (a message of
  // its own, before the caller's). An output file returns length or 0.
  int Write(const void* data, int length);
  int Write(const std::vector<uint8_t>& data) {
    return Write(data.data(), static_cast<int>(data.size()));
  }
  // One piece of a long transfer (a firmware block). Written, and on a serial line also
  // sent out by the driver, within limitMs; the wait is given up early once stop is set.
  // Never shows a message, so that a worker thread may call it. A file is written whole.
  struct ChunkWrite {
    int nWritten = 0;        // bytes the device took
    bool bTimedOut = false;  // limitMs passed first
    bool bStopped = false;   // stop was set first
    int nError = 0;          // the system error of a failed write; 0 otherwise
    bool Done(int length) const { return nWritten == length && !bTimedOut && nError == 0; }
  };
  ChunkWrite WriteChunk(const void* data, int length, int limitMs,
                        const std::atomic<bool>* stop = nullptr);
  // Drops the received bytes not yet read, leaving what waits to be sent; false when
  // nothing is open or the line refuses.
  bool PurgeInput();
  // Reads what the serial line has queued, at most maxLength bytes, without waiting.
  // 0 when nothing is there or on an error.
  int Read(uint8_t* buffer, int maxLength);
  // Waits at most timeoutMs for input on the open line, then reads what came (at most
  // maxLength bytes). For a serial line whose watch thread does not run: the thread would
  // take the bytes first. The count read; 0 when nothing came in time.
  int AwaitReply(uint8_t* buffer, int maxLength, int timeoutMs);
  // The system error code of the port layer's last failure, for messages and the log.
  static int LastError();
  // The system's own text for such a code.
  static std::string ErrorText(int nError);
  // Reads a USB printer's reply (kUsbReplyPasses reads of up to kUsbReplyReadSize bytes,
  // each waiting at most kUsbReplyWaitMs), decodes its escapes into m_QueueRead and calls
  // the notification after each non-empty read. Reads through the open handle (the driver
  // allows one open of the node). False when the port is not open (its path is shown).
  bool ReadUsbReply();
  // The serial (parallel false) or parallel port names of the system; their count.
  int EnumPorts(bool parallel, std::vector<std::string>& list);

  // Waits until the watch thread has ended (a no-op when none runs, or when called on the
  // watch thread itself). Stop it first with Close or by clearing m_bWatchRun.
  void JoinWatchThread();
  bool IsWatchThreadRunning() const { return m_bWatchAlive.load(); }
  // The kind of the port that is (or was last) open: after a "FILE" open the name is the
  // file's, the kind stays File.
  PortNameKind OpenKind() const { return m_eOpenKind; }

  // The receive notification: called on the watch thread after a burst of received bytes
  // was queued in m_QueueRead (and by ReadUsbReply on the calling thread). It must return
  // only after the receiving side has handled the bytes, so that it can drain the queue
  // before the same sender adds more. Set it before Open and clear it after Close and
  // JoinWatchThread; the watch thread uses the callback that was set when it started.
  // The callback must not wait for the thread that calls Open or the destructor (both
  // join the previous watch thread). A burst that does not fit into m_QueueRead is dropped
  // with QueueReadFull, shown from the watch thread through Ui().
  std::function<void()> m_fnNotify;

  std::intptr_t m_hUsbRead = -1;       // unused: ReadUsbReply reads through m_hComm
  std::thread::id m_dwWatchThreadId;   // identifier of the watch thread
  std::string m_szDevicePath;          // path of the USB printer interface found at open
  ByteQueue m_QueueRead;               // receive queue, filled by the watch thread
  std::atomic<bool> m_bConnected{false};
  // The watch thread runs while this and m_bConnected are set; user setup clears it to
  // stop the thread.
  std::atomic<bool> m_bWatchRun{false};
  std::intptr_t m_hComm = -1;  // the open device or file; -1 when none

 private:
  bool OpenSerial();
  bool OpenParallel();
  bool OpenFile();
  bool OpenUsb();
  bool OpenUsbNode();
  void MarkConnected(PortNameKind kind);
  // Starts ThreadWatchComm on a handle of its own; false only when the thread itself
  // cannot be created.
  bool StartWatchThread();
  // Asks the watch thread to end and waits for it (except on the thread itself).
  void StopWatchThread();
  // Wakes the watch thread and tells it to end; does not wait.
  void SignalWatchStop();
  struct WatchRun;
  int ThreadWatchComm(std::shared_ptr<WatchRun> run);
  // Queues one read of the watch thread unless it does not fit (then QueueReadFull).
  void QueueBurst(const uint8_t* data, int count);
  void QueueBurst(const std::vector<uint8_t>& bytes) {
    QueueBurst(bytes.data(), static_cast<int>(bytes.size()));
  }
  void ReleaseHandle();
  // Tells the user why a parallel or USB printer did not take a write, when it is known.
  void ReportPrinterNotReady(const portio::WriteResult& result) const;

  PortNameKind m_eOpenKind = PortNameKind::Network;
  std::thread m_hWatchThread;
  std::atomic<bool> m_bWatchAlive{false};
  // The current watch thread's line handle, wake-up and callback; shared with the thread.
  std::shared_ptr<WatchRun> m_pWatchRun;
};

extern CPorts thePort;

}  // namespace torva
