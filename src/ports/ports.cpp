#include "ports/ports.h"

#include <cstring>

#include "app/error_log.h"
#include "app/messages.h"
#include "app/models.h"
#include "app/services.h"
#include "ports/port_enum.h"
#include "ports/port_io.h"
#include "ports/port_trace.h"
#include "ports/usb_finder.h"

namespace torva {

CPorts thePort;

CPorts::~CPorts() {
  Close();
  StopWatchThread();
  // Only a watch thread that ended on its own with a handle still held leaves one here.
  ReleaseHandle();
}

void CPorts::ReleaseHandle() {
  portio::CloseHandle(m_hComm);
  m_hComm = portio::kNoHandle;
}

void CPorts::MarkConnected(PortNameKind kind) {
  m_eOpenKind = kind;
  m_bConnected = true;
  m_bWatchRun = true;
}

bool CPorts::Open() {
  switch (ClassifyPortName(m_strPortName)) {
    case PortNameKind::Serial:
      return OpenSerial();
    case PortNameKind::Parallel:
      return OpenParallel();
    case PortNameKind::File:
      return OpenFile();
    case PortNameKind::UsbPrinter:
      return OpenUsb();
    case PortNameKind::UsbNode:
      return OpenUsbNode();
    case PortNameKind::Network:
      break;
  }
  StopWatchThread();
  ReleaseHandle();
  m_bConnected = false;
  theLog.WriteLog("CPorts::Open() Invalid Handle\r\n");
  return false;
}

bool CPorts::OpenSerial() {
  if (m_nBaudRate == -1 || m_nDataBits == -1 || m_nFlowControl == -1 || m_nParity == -1) {
    return false;
  }
  StopWatchThread();
  if (m_hComm != portio::kNoHandle) {
    ReleaseHandle();
    theLog.WriteLog("CPorts::Open() CloseHandle run\r\n");
    // Gives the driver time to let go of the line before it is opened again.
    Clock().SleepMs(1000);
  }
  m_bConnected = false;

  const portio::PortHandle fd = portio::OpenSerialDevice(m_strPortName);
  if (fd == portio::kNoHandle) {
    theLog.WriteLog("CPorts::Open() CreateFile error\r\n");
    LogPortFailure("open serial device", m_strPortName, portio::PortLastError());
    return false;
  }
  // The driver's buffer sizes and time-outs of a Windows port have no termios setting: the
  // kernel's buffers are used, reads never wait, writes are timed by WriteTimed.
  portio::SerialLine line;
  line.nBaudRate = m_nBaudRate;
  line.nDataBits = m_nDataBits;
  line.nParity = m_nParity;
  line.nStopBits = m_nStopBits;
  line.nFlowControl = m_nFlowControl;
  int nError = 0;
  switch (portio::ConfigureSerialLine(fd, line, nError)) {
    case portio::LineResult::Ok:
      break;
    case portio::LineResult::TimeoutsFailed:
      theLog.WriteLog("CPorts::Open() SetComTimeouts failed.\r\n");
      LogPortFailure("set time-outs of", m_strPortName, nError);
      portio::CloseHandle(fd);
      return false;
    case portio::LineResult::GetFailed:
      theLog.WriteLog("CPorts::Open() GetCommState failed.\r\n");
      LogPortFailure("read line settings of", m_strPortName, nError);
      portio::CloseHandle(fd);
      return false;
    case portio::LineResult::SetFailed:
      theLog.WriteLog("CPorts::Open() SetCommstate failed(%d).\r\n", nError);
      LogPortFailure("set line settings of", m_strPortName, nError);
      portio::CloseHandle(fd);
      return false;
  }
  portio::PurgeSerial(fd);
  m_hComm = fd;
  MarkConnected(PortNameKind::Serial);

  if (m_nFunction == kFunctionUserSetup ||
      (m_nFunction == kFunctionFirmware && IsLegacyFirmwareModel(m_nModel))) {
    if (!StartWatchThread()) {
      Close();
      return false;
    }
  }
  return true;
}

bool CPorts::OpenParallel() {
  StopWatchThread();
  ReleaseHandle();
  m_bConnected = false;
  const portio::PortHandle fd = portio::OpenWriteOnlyDevice(m_strPortName);
  if (fd == portio::kNoHandle) {
    theLog.WriteLog("CPorts::Open() CreateFile error\r\n");
    LogPortFailure("open parallel device", m_strPortName, portio::PortLastError());
    return false;
  }
  m_hComm = fd;
  MarkConnected(PortNameKind::Parallel);
  return true;
}

bool CPorts::OpenFile() {
  StopWatchThread();
  ReleaseHandle();
  m_bConnected = false;
  for (;;) {
    const std::optional<std::string> name = Ui().PrintToFileName();
    if (!name) {
      m_strPortName = "temp.prn";
      break;
    }
    if (!name->empty()) {
      m_strPortName = *name;
      break;
    }
    ShowMessage(theMsg[MsgId::OutputFileName]);
  }
  const portio::PortHandle fd = portio::CreateOutputFile(m_strPortName);
  if (fd == portio::kNoHandle) {
    theLog.WriteLog("CPorts::Open() CreateFile error\r\n");
    LogPortFailure("create output file", m_strPortName, portio::PortLastError());
    return false;
  }
  m_hComm = fd;
  MarkConnected(PortNameKind::File);
  return true;
}

bool CPorts::Close() {
  portio::CloseHandle(m_hUsbRead);
  m_hUsbRead = portio::kNoHandle;
  m_bWatchRun = false;
  if (m_pWatchRun) SignalWatchStop();
  if (m_hComm == portio::kNoHandle) return false;
  m_bConnected = false;
  if (m_eOpenKind == PortNameKind::UsbPrinter) UsbPrinterFinder().ReleaseDevInfo();
  // The watch thread reads through a handle of its own, so the device can go now.
  ReleaseHandle();
  return true;
}

int CPorts::Write(const void* data, int length) {
  if (length <= 0 || data == nullptr) return 0;
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (m_hComm == portio::kNoHandle) {
    theLog.WriteLog("WriteFile get error result [%d]", portio::BadHandleError());
    return 0;
  }
  if (!IsDeviceKind(m_eOpenKind)) {
    const bool ok = portio::WriteAll(m_hComm, bytes, static_cast<size_t>(length));
    if (ok) TraceBytes("TX", bytes, static_cast<size_t>(length));
    return ok ? length : 0;
  }
  // Only a serial line has a time-out per byte; a printer on a parallel or USB port takes
  // a write when it is ready.
  const bool serial = m_eOpenKind == PortNameKind::Serial;
  const portio::WriteResult r =
      serial ? portio::WriteTimed(m_hComm, bytes, static_cast<size_t>(length), kWriteMsPerByte)
             : portio::WriteBounded(m_hComm, bytes, static_cast<size_t>(length),
                                    kPrinterWriteLimitMs);
  TraceBytes("TX", bytes, r.nWritten);
  switch (r.status) {
    case portio::WriteStatus::Ok:
      break;
    case portio::WriteStatus::TimedOut:
      theLog.WriteLog("WriteFile Time-out!");
      if (!serial) ReportPrinterNotReady(r);
      break;
    case portio::WriteStatus::Failed:
      theLog.WriteLog("WriteFile get error result [%d]", r.nError);
      if (!serial) ReportPrinterNotReady(r);
      return 0;
  }
  return static_cast<int>(r.nWritten);
}

void CPorts::ReportPrinterNotReady(const portio::WriteResult& result) const {
  const bool korean = theMsg.IsKorean();
  const std::string seconds = std::to_string(kPrinterWriteLimitMs / 1000);
  std::string why;
  if (result.status == portio::WriteStatus::TimedOut) {
    why = korean ? "프린터가 " + seconds + "초 동안 데이터를 받지 않았습니다. 오프라인이거나 용지가 없을 수 있습니다."
                 : "The printer took no data for " + seconds +
                       " seconds: it may be off line or out of paper.";
  } else if (portio::FaultOfWriteError(result.nError) == portio::WriteFault::PaperOut) {
    why = korean ? "프린터에 용지가 없습니다." : "The printer is out of paper.";
  } else if (portio::FaultOfWriteError(result.nError) == portio::WriteFault::OffLine &&
             m_eOpenKind == PortNameKind::Parallel) {
    why = korean ? "프린터가 오프라인이거나 오류 상태입니다."
                 : "The printer is off line or reports an error.";
  }
  if (!why.empty()) {
    ShowMessage(std::string(theMsg[MsgId::PrinterNotReady]) + "\r\n" + why, MsgIcon::Error);
  }
}

int CPorts::Read(uint8_t* buffer, int maxLength) {
  if (m_hComm == portio::kNoHandle || buffer == nullptr || maxLength <= 0) return 0;
  const long n = portio::ReadAvailable(m_hComm, buffer, static_cast<size_t>(maxLength));
  if (n <= 0) return 0;
  TraceBytes("RX", buffer, static_cast<size_t>(n));
  return static_cast<int>(n);
}

int CPorts::AwaitReply(uint8_t* buffer, int maxLength, int timeoutMs) {
  if (m_hComm == portio::kNoHandle || buffer == nullptr || maxLength <= 0) return 0;
  const portio::ReceiveResult got = portio::ReceiveWithin(
      m_hComm, portio::kNoHandle, buffer, static_cast<size_t>(maxLength), timeoutMs);
  if (got.status != portio::ReceiveStatus::Data) return 0;
  TraceBytes("RX", buffer, static_cast<size_t>(got.nRead));
  return static_cast<int>(got.nRead);
}

int CPorts::LastError() { return portio::PortLastError(); }

std::string CPorts::ErrorText(int nError) { return portio::ErrorText(nError); }

int CPorts::EnumPorts(bool parallel, std::vector<std::string>& list) {
  return parallel ? EnumParallelPorts(list) : EnumSerialPorts(list);
}

}  // namespace torva
