// POSIX back end of the port object: file descriptors, poll() with bounded waits, eventfd.
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "ports/port_io.h"

namespace torva::portio {
namespace {

thread_local int t_nLastError = 0;

// A descriptor as the system calls take it.
int Fd(PortHandle handle) { return static_cast<int>(handle); }

int Fail() {
  t_nLastError = errno;
  return kNoHandle;
}

int OpenWith(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  return fd < 0 ? Fail() : fd;
}

bool IsSocket(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode);
}

// One write that never raises SIGPIPE: sockets get MSG_NOSIGNAL; ttys and device nodes
// report a vanished far end as EIO, which needs nothing special.
ssize_t WriteOnce(int fd, bool bSocket, const uint8_t* data, size_t length) {
  if (bSocket) return ::send(fd, data, length, MSG_NOSIGNAL);
  return ::write(fd, data, length);
}

}  // namespace

int PortLastError() { return t_nLastError; }

int BadHandleError() { return EBADF; }

std::string ErrorText(int nError) { return std::strerror(nError); }

WriteFault FaultOfWriteError(int nError) {
  if (nError == ENOSPC) return WriteFault::PaperOut;
  if (nError == EIO) return WriteFault::OffLine;
  return WriteFault::Unknown;
}

void KeepLastError(int nError) { t_nLastError = nError; }

PortHandle OpenSerialDevice(const std::string& path) {
  const int fd = OpenWith(path, O_RDWR);
  if (fd < 0) return fd;
  // No sharing: a second user of the line is refused. The lock covers programs that lock
  // serial lines the same way (and root, whom TIOCEXCL does not stop); TIOCEXCL covers
  // the others. Not a tty at all is found out by the line settings that follow.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(fd);
    t_nLastError = EBUSY;
    return kNoHandle;
  }
  (void)::ioctl(fd, TIOCEXCL);
  return fd;
}

PortHandle OpenWriteOnlyDevice(const std::string& path) { return OpenWith(path, O_WRONLY); }

PortHandle OpenReadWriteDevice(const std::string& path) { return OpenWith(path, O_RDWR); }

PortHandle CreateOutputFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd < 0 ? Fail() : fd;
}

void CloseHandle(PortHandle handle) {
  if (handle >= 0) ::close(handle);
}

bool SetNonBlocking(PortHandle handle) {
  const int flags = ::fcntl(handle, F_GETFL);
  if (flags >= 0 && ::fcntl(handle, F_SETFL, flags | O_NONBLOCK) == 0) return true;
  t_nLastError = errno;
  return false;
}

PortHandle DuplicateHandle(PortHandle handle) {
  const int fd = ::fcntl(handle, F_DUPFD_CLOEXEC, 0);
  return fd < 0 ? Fail() : fd;
}

bool PurgeSerial(PortHandle handle) {
  if (::tcflush(handle, TCIOFLUSH) == 0) return true;
  t_nLastError = errno;
  return false;
}

bool PurgeSerialInput(PortHandle handle) {
  if (::tcflush(handle, TCIFLUSH) == 0) return true;
  t_nLastError = errno;
  return false;
}

int SerialOutputQueued(PortHandle handle) {
  int queued = 0;
  if (::ioctl(Fd(handle), TIOCOUTQ, &queued) != 0 || queued < 0) return 0;
  return queued;
}

namespace {

constexpr int kBusyRetryMs = 10;

// Writes until every byte is taken or the deadline passes. The time-out is a bound on the
// device, not a wait the tool prescribes: real time.
WriteResult WriteUntil(PortHandle handle, const uint8_t* data, size_t length,
                       std::chrono::steady_clock::time_point deadline) {
  using Clock = std::chrono::steady_clock;
  WriteResult result;
  if (handle < 0) {
    result.status = WriteStatus::Failed;
    result.nError = EBADF;
    return result;
  }
  const bool bSocket = IsSocket(handle);
  // The lp driver cannot be polled: poll says writable while the printer is busy.
  bool bPolledWritable = false;
  while (result.nWritten < length) {
    const ssize_t n = WriteOnce(handle, bSocket, data + result.nWritten, length - result.nWritten);
    if (n > 0) {
      result.nWritten += static_cast<size_t>(n);
      bPolledWritable = false;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      result.status = WriteStatus::Failed;
      result.nError = errno;
      t_nLastError = errno;
      return result;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      result.status = WriteStatus::TimedOut;
      return result;
    }
    if (bPolledWritable) {
      // Writable by poll, yet busy by write: wait a little instead of asking again at once.
      bPolledWritable = false;
      ::poll(nullptr, 0, static_cast<int>(left > kBusyRetryMs ? kBusyRetryMs : left));
      continue;
    }
    pollfd pfd{Fd(handle), POLLOUT, 0};
    const int rc = ::poll(&pfd, 1, static_cast<int>(left > 100 ? 100 : left));
    if (rc < 0 && errno != EINTR) {
      result.status = WriteStatus::Failed;
      result.nError = errno;
      t_nLastError = errno;
      return result;
    }
    if (rc > 0 && (pfd.revents & (POLLERR | POLLNVAL)) != 0) {
      // Let the next write report the device's own error code.
      continue;
    }
    bPolledWritable = rc > 0;
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
  size_t done = 0;
  while (done < length) {
    const ssize_t n = ::write(handle, data + done, length - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      t_nLastError = errno;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

long ReadAvailable(PortHandle handle, uint8_t* buffer, size_t maxLength) {
  if (maxLength == 0) return 0;
  for (;;) {
    const ssize_t n = ::read(handle, buffer, maxLength);
    if (n >= 0) return static_cast<long>(n);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    t_nLastError = errno;
    return -1;
  }
}

WaitResult WaitReadable(PortHandle handle, PortHandle wakeHandle, int timeoutMs) {
  // poll() skips negative descriptors, so either entry may be kNoHandle.
  pollfd pfds[2] = {{Fd(handle), POLLIN, 0}, {Fd(wakeHandle), POLLIN, 0}};
  int rc;
  do {
    rc = ::poll(pfds, 2, timeoutMs);
  } while (rc < 0 && errno == EINTR);
  if (rc < 0) {
    t_nLastError = errno;
    return WaitResult::Failed;
  }
  if (rc == 0) return WaitResult::TimedOut;
  if ((pfds[1].revents & POLLIN) != 0) return WaitResult::Woken;
  if ((pfds[0].revents & POLLIN) != 0) return WaitResult::Readable;
  if ((pfds[0].revents & (POLLHUP | POLLERR)) != 0) return WaitResult::HungUp;
  t_nLastError = EBADF;
  return WaitResult::Failed;
}

ReceiveResult ReceiveWithin(PortHandle handle, PortHandle wakeHandle, uint8_t* buffer,
                            size_t maxLength, int timeoutMs) {
  ReceiveResult result;
  const WaitResult wait = WaitReadable(handle, wakeHandle, timeoutMs);
  switch (wait) {
    case WaitResult::TimedOut:
      result.status = ReceiveStatus::TimedOut;
      return result;
    case WaitResult::Woken:
      result.status = ReceiveStatus::Woken;
      return result;
    case WaitResult::Failed:
      result.status = ReceiveStatus::Failed;
      return result;
    case WaitResult::HungUp:
    case WaitResult::Readable:
      break;
  }
  // Bytes that came before a hang-up are still read.
  const long n = ReadAvailable(handle, buffer, maxLength);
  if (n > 0) {
    result.status = ReceiveStatus::Data;
    result.nRead = n;
  } else if (wait == WaitResult::HungUp || HasHungUp(handle)) {
    t_nLastError = EIO;
    result.status = ReceiveStatus::HungUp;
  } else {
    result.status = n == 0 ? ReceiveStatus::Empty : ReceiveStatus::Failed;
  }
  return result;
}

bool HasHungUp(PortHandle handle) {
  pollfd pfd{Fd(handle), POLLIN, 0};
  return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & POLLHUP) != 0;
}

PortHandle CreateWakeEvent() {
  // Never reset: once signalled it stays readable, which is what a stop request wants.
  const int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  return fd < 0 ? Fail() : fd;
}

void SignalWakeEvent(PortHandle wakeHandle) {
  if (wakeHandle < 0) return;
  const uint64_t one = 1;
  ssize_t rc;
  do {
    rc = ::write(wakeHandle, &one, sizeof one);
  } while (rc < 0 && errno == EINTR);
}

}  // namespace torva::portio
