// The USB printer side of CPorts: the open by hardware identifier or device node, and the
// read of a reply.
#include "app/error_log.h"
#include "app/models.h"
#include "app/services.h"
#include "ports/port_io.h"
#include "ports/port_trace.h"
#include "ports/ports.h"
#include "ports/usb_finder.h"
#include "ports/usb_reply.h"

namespace torva {

bool CPorts::OpenUsb() {
  StopWatchThread();
  ReleaseHandle();
  m_bConnected = false;
  portio::PortHandle fd = portio::kNoHandle;
  std::string path;
  // Each later identifier is tried only while no printer was found.
  for (const std::string& id : UsbIdsForModelCode(m_nModel)) {
    fd = UsbPrinterFinder().OpenUsbPrinter(id, path);
    if (fd != portio::kNoHandle) break;
  }
  if (fd == portio::kNoHandle) {
    theLog.WriteLog("CPorts::Open() no USB printer of model code %d found\r\n", m_nModel);
    return false;
  }
  // Writes are timed by the port and replies are waited for with a bound.
  portio::SetNonBlocking(fd);
  m_szDevicePath = path;
  m_hComm = fd;
  MarkConnected(PortNameKind::UsbPrinter);
  return true;
}

bool CPorts::OpenUsbNode() {
  StopWatchThread();
  ReleaseHandle();
  m_bConnected = false;
  const portio::PortHandle fd = portio::OpenReadWriteDevice(m_strPortName);
  if (fd == portio::kNoHandle) {
    theLog.WriteLog("CPorts::Open() CreateFile error\r\n");
    LogPortFailure("open USB printer node", m_strPortName, portio::PortLastError());
    return false;
  }
  m_szDevicePath = m_strPortName;
  m_hComm = fd;
  MarkConnected(PortNameKind::UsbNode);
  return true;
}

bool CPorts::ReadUsbReply() {
  // The reply is read through the handle that is already open: the USB printer driver lets
  // only one user open the node at a time, so a second open would fail on a real printer.
  if (m_hComm == portio::kNoHandle) {
    ShowMessage(m_szDevicePath, MsgIcon::Error);
    return false;
  }
  CUsbReplyDecoder decoder;
  std::vector<uint8_t> decoded;
  uint8_t buffer[kUsbReplyReadSize];
  const auto deliver = [&] {
    if (decoded.empty()) return;
    QueueBurst(decoded);
    decoded.clear();
    if (m_fnNotify) m_fnNotify();
  };
  for (int pass = 0; pass < kUsbReplyPasses; ++pass) {
    const portio::ReceiveResult got =
        portio::ReceiveWithin(m_hComm, portio::kNoHandle, buffer, sizeof buffer, kUsbReplyWaitMs);
    if (got.status != portio::ReceiveStatus::Data) continue;
    TraceBytes("RX", buffer, static_cast<size_t>(got.nRead));
    decoder.Decode(buffer, static_cast<size_t>(got.nRead), decoded);
    deliver();
  }
  decoder.Finish(decoded);
  deliver();
  return true;
}

}  // namespace torva
