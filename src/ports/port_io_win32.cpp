// Windows back end of the port object: devices on overlapped handles (serial lines on
// \\.\COMn, parallel ports, USB printer interfaces), output files on plain ones, events as
// wake-ups. Every wait is bounded: an overlapped operation that outlives its time is
// cancelled with CancelIoEx and its result collected, so no byte that did arrive is lost.
#include <windows.h>

#include <chrono>
#include <mutex>
#include <unordered_map>

#include "app/win32_text.h"
#include "ports/port_io.h"

namespace torva::portio {
namespace {

thread_local int t_nLastError = 0;

HANDLE H(PortHandle handle) { return reinterpret_cast<HANDLE>(handle); }
PortHandle P(HANDLE handle) { return reinterpret_cast<PortHandle>(handle); }

int Fail() {
  t_nLastError = static_cast<int>(GetLastError());
  return static_cast<int>(kNoHandle);
}

// What the calls below need to know about a handle the system does not tell cheaply: a
// serial line (read through its input queue and time-outs) and overlapped I/O.
struct HandleInfo {
  bool bComm = false;
  bool bOverlapped = false;
};
std::mutex g_infoMutex;
std::unordered_map<PortHandle, HandleInfo> g_info;

void Remember(PortHandle handle, HandleInfo info) {
  std::lock_guard lock(g_infoMutex);
  g_info[handle] = info;
}

HandleInfo InfoOf(PortHandle handle) {
  std::lock_guard lock(g_infoMutex);
  const auto it = g_info.find(handle);
  return it == g_info.end() ? HandleInfo{} : it->second;
}

void Forget(PortHandle handle) {
  std::lock_guard lock(g_infoMutex);
  g_info.erase(handle);
}

// Serial time-outs. A read returns kReadIntervalMs after the bytes stop coming, or after
// kReadTotalMs with nothing (the receive paths loop on that); a write may take 100 ms per
// byte, as the port object's own write time-out says.
constexpr DWORD kReadIntervalMs = 20;
constexpr DWORD kReadTotalMs = 100;
constexpr DWORD kWriteMsPerByte = 100;
constexpr DWORD kDriverBufferSize = 4086;

// An empty timed read: Windows completes it with 0 bytes, wine fails it with
// ERROR_TIMEOUT. Both mean "nothing yet".
bool IsEmptyRead(DWORD error) { return error == ERROR_TIMEOUT || error == ERROR_OPERATION_ABORTED; }

std::wstring DevicePath(const std::string& path) {
  // "COM12" and up are reachable only through the device namespace.
  if (path.rfind("\\\\.\\", 0) == 0) return win32::Widen(path);
  return L"\\\\.\\" + win32::Widen(path);
}

PortHandle OpenDevice(const std::wstring& path, DWORD access, DWORD share, bool bComm) {
  HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return Fail();
  Remember(P(h), HandleInfo{bComm, true});
  return P(h);
}

// One overlapped operation with an event of its own, so that a write on one thread and a
// read on another complete independently.
class COverlapped {
 public:
  COverlapped() { m_ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
  ~COverlapped() {
    if (m_ov.hEvent != nullptr) ::CloseHandle(m_ov.hEvent);
  }
  COverlapped(const COverlapped&) = delete;
  COverlapped& operator=(const COverlapped&) = delete;
  bool Valid() const { return m_ov.hEvent != nullptr; }
  OVERLAPPED* Get() { return &m_ov; }
  HANDLE Event() const { return m_ov.hEvent; }

  // Cancels the operation if it still runs and returns what it transferred; error gets
  // the completion's error code (0 when it succeeded).
  DWORD Finish(HANDLE h, bool bCancel, DWORD& error) {
    if (bCancel) CancelIoEx(h, &m_ov);
    DWORD n = 0;
    error = GetOverlappedResult(h, &m_ov, &n, TRUE) ? 0 : GetLastError();
    return n;
  }

 private:
  OVERLAPPED m_ov{};
};

}  // namespace

int PortLastError() { return t_nLastError; }

void KeepLastError(int nError) { t_nLastError = nError; }

int BadHandleError() { return ERROR_INVALID_HANDLE; }

std::string ErrorText(int nError) { return win32::ErrorText(static_cast<DWORD>(nError)); }

WriteFault FaultOfWriteError(int nError) {
  switch (nError) {
    case ERROR_OUT_OF_PAPER:
      return WriteFault::PaperOut;
    case ERROR_NOT_READY:
    case ERROR_GEN_FAILURE:
    case ERROR_PRINTER_DELETED:
      return WriteFault::OffLine;
    default:
      return WriteFault::Unknown;
  }
}

PortHandle OpenSerialDevice(const std::string& path) {
  // Read and write, not shared, an existing device only, overlapped.
  return OpenDevice(DevicePath(path), GENERIC_READ | GENERIC_WRITE, 0, true);
}

PortHandle OpenWriteOnlyDevice(const std::string& path) {
  // "LPT1" as it is: the system's own name of the port.
  return OpenDevice(win32::Widen(path), GENERIC_WRITE, 0, false);
}

PortHandle OpenReadWriteDevice(const std::string& path) {
  // A USB printer interface, shared: the reply is read through a second handle. Overlapped,
  // so that a printer that never answers cannot hold a read up.
  return OpenDevice(win32::Widen(path), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, false);
}

PortHandle CreateOutputFile(const std::string& path) {
  HANDLE h = CreateFileW(win32::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Fail();
  Remember(P(h), HandleInfo{false, false});
  return P(h);
}

void CloseHandle(PortHandle handle) {
  if (handle == kNoHandle) return;
  Forget(handle);
  ::CloseHandle(H(handle));
}

bool SetNonBlocking(PortHandle) {
  // Overlapped handles never block a caller here: every operation has its own bound.
  return true;
}

PortHandle DuplicateHandle(PortHandle handle) {
  HANDLE out = nullptr;
  if (!::DuplicateHandle(GetCurrentProcess(), H(handle), GetCurrentProcess(), &out, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
    return Fail();
  }
  Remember(P(out), InfoOf(handle));
  return P(out);
}

LineResult ConfigureSerialLine(PortHandle handle, const SerialLine& line, int& nError) {
  nError = 0;
  const auto fail = [&](LineResult result) {
    nError = static_cast<int>(GetLastError());
    KeepLastError(nError);
    return result;
  };
  HANDLE h = H(handle);
  SetupComm(h, kDriverBufferSize, kDriverBufferSize);
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = kReadIntervalMs;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = kReadTotalMs;
  timeouts.WriteTotalTimeoutMultiplier = kWriteMsPerByte;
  timeouts.WriteTotalTimeoutConstant = 0;
  if (!SetCommTimeouts(h, &timeouts)) return fail(LineResult::TimeoutsFailed);
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(h, &dcb)) return fail(LineResult::GetFailed);
  dcb.BaudRate = static_cast<DWORD>(line.nBaudRate);
  dcb.ByteSize = static_cast<BYTE>(line.nDataBits);
  // The connection settings use the device control block's own codes.
  dcb.Parity = static_cast<BYTE>(line.nParity);
  dcb.StopBits = static_cast<BYTE>(line.nStopBits);
  dcb.fBinary = TRUE;
  switch (line.nFlowControl) {
    case 1:  // H/W
      dcb.fOutxCtsFlow = TRUE;
      dcb.fOutxDsrFlow = FALSE;
      dcb.fDtrControl = DTR_CONTROL_ENABLE;
      dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
      dcb.fDsrSensitivity = TRUE;
      dcb.fOutX = FALSE;
      dcb.fAbortOnError = FALSE;
      break;
    case 3:  // none
      dcb.fOutxCtsFlow = FALSE;
      dcb.fOutxDsrFlow = FALSE;
      dcb.fDtrControl = DTR_CONTROL_DISABLE;
      dcb.fRtsControl = RTS_CONTROL_DISABLE;
      dcb.fDsrSensitivity = FALSE;
      break;
    default:  // S/W: the handshake stays as the driver has it
      break;
  }
  if (!SetCommState(h, &dcb)) return fail(LineResult::SetFailed);
  return LineResult::Ok;
}

bool PurgeSerial(PortHandle handle) {
  if (PurgeComm(H(handle), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR)) {
    return true;
  }
  Fail();
  return false;
}

bool PurgeSerialInput(PortHandle handle) {
  if (PurgeComm(H(handle), PURGE_RXABORT | PURGE_RXCLEAR)) return true;
  Fail();
  return false;
}

int SerialOutputQueued(PortHandle handle) {
  if (!InfoOf(handle).bComm) return 0;
  DWORD errors = 0;
  COMSTAT stat{};
  if (!ClearCommError(H(handle), &errors, &stat)) return 0;
  return static_cast<int>(stat.cbOutQue);
}

namespace {

// Clears a serial line's error state after a failed transfer, as the driver wants before it
// goes on.
void ClearLineError(PortHandle handle) {
  if (!InfoOf(handle).bComm) return;
  DWORD errors = 0;
  ClearCommError(H(handle), &errors, nullptr);
}

WriteResult WriteUntil(PortHandle handle, const uint8_t* data, size_t length,
                       std::chrono::steady_clock::time_point deadline) {
  using Clock = std::chrono::steady_clock;
  WriteResult result;
  if (handle == kNoHandle) {
    result.status = WriteStatus::Failed;
    result.nError = ERROR_INVALID_HANDLE;
    return result;
  }
  if (!InfoOf(handle).bOverlapped) {
    if (!WriteAll(handle, data, length)) {
      result.status = WriteStatus::Failed;
      result.nError = t_nLastError;
    } else {
      result.nWritten = length;
    }
    return result;
  }
  HANDLE h = H(handle);
  while (result.nWritten < length) {
    COverlapped ov;
    if (!ov.Valid()) {
      result.status = WriteStatus::Failed;
      result.nError = static_cast<int>(GetLastError());
      t_nLastError = result.nError;
      return result;
    }
    const size_t left = length - result.nWritten;
    const DWORD chunk = left > 0x100000 ? 0x100000 : static_cast<DWORD>(left);
    DWORD error = 0;
    DWORD n = 0;
    if (WriteFile(h, data + result.nWritten, chunk, nullptr, ov.Get())) {
      n = ov.Finish(h, false, error);
    } else if ((error = GetLastError()) == ERROR_IO_PENDING) {
      const auto ms =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      const DWORD wait = ms.count() > 0 ? static_cast<DWORD>(ms.count()) : 0;
      const bool bDone = WaitForSingleObject(ov.Event(), wait) == WAIT_OBJECT_0;
      n = ov.Finish(h, !bDone, error);
    }
    result.nWritten += n;
    if (error != 0 && error != ERROR_OPERATION_ABORTED && error != ERROR_TIMEOUT) {
      result.status = WriteStatus::Failed;
      result.nError = static_cast<int>(error);
      t_nLastError = result.nError;
      ClearLineError(handle);
      return result;
    }
    if (n < chunk && Clock::now() >= deadline) {
      result.status = WriteStatus::TimedOut;
      ClearLineError(handle);
      return result;
    }
    if (n == 0) {
      // The driver's own write time-out ended the write before ours: go on while time is
      // left, without spinning.
      if (Clock::now() >= deadline) {
        result.status = WriteStatus::TimedOut;
        return result;
      }
      Sleep(10);
    }
  }
  return result;
}

}  // namespace

WriteResult WriteTimed(PortHandle handle, const uint8_t* data, size_t length, int msPerByte) {
  return WriteUntil(handle, data, length,
                    std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(static_cast<long long>(msPerByte) *
                                                  static_cast<long long>(length)));
}

WriteResult WriteBounded(PortHandle handle, const uint8_t* data, size_t length, int limitMs) {
  return WriteUntil(handle, data, length,
                    std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs));
}

bool WriteAll(PortHandle handle, const uint8_t* data, size_t length) {
  if (InfoOf(handle).bOverlapped) {
    const WriteResult r = WriteBounded(handle, data, length, 30000);
    return r.status == WriteStatus::Ok;
  }
  size_t done = 0;
  while (done < length) {
    const size_t left = length - done;
    const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
    DWORD n = 0;
    if (!WriteFile(H(handle), data + done, chunk, &n, nullptr) || n == 0) {
      Fail();
      return false;
    }
    done += n;
  }
  return true;
}

long ReadAvailable(PortHandle handle, uint8_t* buffer, size_t maxLength) {
  if (maxLength == 0) return 0;
  if (!InfoOf(handle).bComm) {
    // A device without an input queue to look at: a read that is cancelled at once when
    // nothing is there.
    const ReceiveResult r = ReceiveWithin(handle, kNoHandle, buffer, maxLength, 0);
    if (r.status == ReceiveStatus::Failed) return -1;
    return r.nRead;
  }
  HANDLE h = H(handle);
  DWORD errors = 0;
  COMSTAT stat{};
  if (!ClearCommError(h, &errors, &stat)) {
    Fail();
    return -1;
  }
  if (stat.cbInQue == 0) return 0;
  const DWORD want = stat.cbInQue < maxLength ? stat.cbInQue : static_cast<DWORD>(maxLength);
  COverlapped ov;
  DWORD error = 0;
  DWORD n = 0;
  if (ReadFile(h, buffer, want, nullptr, ov.Get())) {
    n = ov.Finish(h, false, error);
  } else if ((error = GetLastError()) == ERROR_IO_PENDING) {
    // The bytes are queued already: the read completes within the interval time-out.
    const bool bDone = WaitForSingleObject(ov.Event(), kReadTotalMs) == WAIT_OBJECT_0;
    n = ov.Finish(h, !bDone, error);
  }
  if (n > 0) return static_cast<long>(n);
  if (error == 0 || IsEmptyRead(error)) return 0;
  t_nLastError = static_cast<int>(error);
  ClearLineError(handle);
  return -1;
}

ReceiveResult ReceiveWithin(PortHandle handle, PortHandle wakeHandle, uint8_t* buffer,
                            size_t maxLength, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  ReceiveResult result;
  if (handle == kNoHandle || maxLength == 0) {
    result.status = ReceiveStatus::Failed;
    t_nLastError = ERROR_INVALID_HANDLE;
    return result;
  }
  HANDLE h = H(handle);
  const DWORD want = maxLength > 0x10000 ? 0x10000 : static_cast<DWORD>(maxLength);
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
  do {
    if (wakeHandle != kNoHandle && WaitForSingleObject(H(wakeHandle), 0) == WAIT_OBJECT_0) {
      result.status = ReceiveStatus::Woken;
      return result;
    }
    COverlapped ov;
    if (!ov.Valid()) {
      t_nLastError = static_cast<int>(GetLastError());
      result.status = ReceiveStatus::Failed;
      return result;
    }
    DWORD error = 0;
    DWORD n = 0;
    bool bWoken = false;
    if (ReadFile(h, buffer, want, nullptr, ov.Get())) {
      n = ov.Finish(h, false, error);
    } else if ((error = GetLastError()) == ERROR_IO_PENDING) {
      const auto ms =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      const DWORD wait = ms.count() > 0 ? static_cast<DWORD>(ms.count()) : 0;
      HANDLE events[2] = {ov.Event(), H(wakeHandle)};
      const DWORD which =
          WaitForMultipleObjects(wakeHandle != kNoHandle ? 2 : 1, events, FALSE, wait);
      bWoken = which == WAIT_OBJECT_0 + 1;
      n = ov.Finish(h, which != WAIT_OBJECT_0, error);
    }
    if (n > 0) {
      // Bytes that came with a stop or a time-out are still handed over.
      result.status = ReceiveStatus::Data;
      result.nRead = static_cast<long>(n);
      return result;
    }
    if (bWoken) {
      result.status = ReceiveStatus::Woken;
      return result;
    }
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) {
      t_nLastError = static_cast<int>(error);
      result.status = ReceiveStatus::HungUp;
      return result;
    }
    if (error != 0 && !IsEmptyRead(error)) {
      t_nLastError = static_cast<int>(error);
      ClearLineError(handle);
      result.status = ReceiveStatus::Failed;
      return result;
    }
    // Nothing yet: the line's own total time-out may end a read before ours.
  } while (Clock::now() < deadline);
  result.status = ReceiveStatus::TimedOut;
  return result;
}

WaitResult WaitReadable(PortHandle handle, PortHandle wakeHandle, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const DWORD total = timeoutMs > 0 ? static_cast<DWORD>(timeoutMs) : 0;
  if (handle == kNoHandle) {
    if (wakeHandle == kNoHandle) {
      Sleep(total);
      return WaitResult::TimedOut;
    }
    return WaitForSingleObject(H(wakeHandle), total) == WAIT_OBJECT_0 ? WaitResult::Woken
                                                                      : WaitResult::TimedOut;
  }
  if (!InfoOf(handle).bComm) {
    // Only a serial line tells how much input is waiting without taking it.
    t_nLastError = ERROR_NOT_SUPPORTED;
    return WaitResult::Failed;
  }
  const auto deadline = Clock::now() + std::chrono::milliseconds(total);
  for (;;) {
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(H(handle), &errors, &stat)) {
      Fail();
      return WaitResult::Failed;
    }
    if (stat.cbInQue > 0) return WaitResult::Readable;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (ms.count() <= 0) return WaitResult::TimedOut;
    const DWORD step = ms.count() < 10 ? static_cast<DWORD>(ms.count()) : 10;
    if (wakeHandle != kNoHandle) {
      if (WaitForSingleObject(H(wakeHandle), step) == WAIT_OBJECT_0) return WaitResult::Woken;
    } else {
      Sleep(step);
    }
  }
}

bool HasHungUp(PortHandle) {
  // Windows tells a vanished far end only by a failed read (ERROR_BROKEN_PIPE), which
  // ReceiveWithin reports as HungUp.
  return false;
}

PortHandle CreateWakeEvent() {
  // Manual reset and never reset: once signalled it stays so, which a stop request wants.
  HANDLE h = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (h == nullptr) return Fail();
  return P(h);
}

void SignalWakeEvent(PortHandle wakeHandle) {
  if (wakeHandle != kNoHandle) SetEvent(H(wakeHandle));
}

}  // namespace torva::portio
