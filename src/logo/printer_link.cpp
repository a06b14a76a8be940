#include "logo/printer_link.h"

#include "app/messages.h"
#include "app/models.h"
#include "app/services.h"
#include "network/printer_socket.h"
#include "network/socket_hooks.h"
#include "ports/ports.h"

namespace torva {
namespace {

constexpr const char* kNetworkPortName = "ETHERNET_II";

}  // namespace

LinkKind LinkKindOfPort(const std::string& portName) {
  if (portName == kNetworkPortName) return LinkKind::Network;
  switch (ClassifyPortName(portName)) {
    case PortNameKind::Serial: return LinkKind::Serial;
    case PortNameKind::Parallel: return LinkKind::Parallel;
    case PortNameKind::UsbPrinter:
    case PortNameKind::UsbNode: return LinkKind::Usb;
    case PortNameKind::File: return LinkKind::File;
    case PortNameKind::Network: break;
  }
  return LinkKind::Unreachable;
}

PrinterDetails PrinterDetailsFor(const std::string& portName, int modelCode) {
  if (LinkKindOfPort(portName) == LinkKind::File) return {"To File", "To File"};
  return {ModelRowOf(modelCode).detailsName, portName};
}

CPrinterLink::CPrinterLink(CPorts& port)
    : m_port(port), m_eKind(LinkKindOfPort(port.m_strPortName)) {}

CPrinterLink::CPrinterLink(CPorts& port, CPrinterSocket& socket, std::string ipAddress,
                           int tcpPort)
    : m_port(port),
      m_pSocket(&socket),
      m_strIpAddress(std::move(ipAddress)),
      m_nTcpPort(tcpPort),
      m_eKind(LinkKindOfPort(port.m_strPortName)) {}

CPrinterLink::~CPrinterLink() { Close(); }

bool CPrinterLink::OpenForUpload() { return Open(Job::Upload); }
bool CPrinterLink::OpenForErase() { return Open(Job::Erase); }
bool CPrinterLink::OpenForPrint() { return Open(Job::Print); }

bool CPrinterLink::Open(Job job) {
  Close();
  if (m_eKind == LinkKind::Network) {
    const int pause = job == Job::Erase ? kEraseConnectPauseMs : 0;
    if (!ConnectNetwork(pause)) {
      CloseNetwork();
      if (job == Job::Erase) {
        ShowMessage(FormatMsg(theMsg[MsgId::OpenPortOrFileError], LastError()), MsgIcon::Error);
      } else {
        ShowMessage(theMsg[MsgId::PortOpenError], MsgIcon::Error);
      }
      return false;
    }
    m_bOpen = true;
    return true;
  }

  const bool parallel = m_eKind == LinkKind::Parallel;
  // The upload and the erase start a parallel printer from a fresh open.
  const bool reopen = parallel ? job != Job::Print : job == Job::Erase;
  if (!OpenPort(reopen)) {
    if (parallel || job == Job::Print) {
      ShowMessage(theMsg[MsgId::PortOpenError], MsgIcon::Error);
    } else {
      ShowMessage(FormatMsg(theMsg[MsgId::OpenPortOrFileError], LastError()), MsgIcon::Error);
    }
    return false;
  }
  m_bPortOpened = true;
  m_bOpen = true;

  bool ok = true;
  if (parallel) {
    ok = SendCheck(false, MsgId::WriteToPort);
  } else if (job == Job::Print) {
    ok = SendCheck(true, MsgId::WriteToPort);
  } else if (m_eKind != LinkKind::File) {
    // A file gets only the define command: it is meant to be sent to a printer later.
    ok = SendCheck(true, job == Job::Upload ? MsgId::PrinterCheck : MsgId::PrinterCheckAtStart);
  }
  if (!ok) Close();
  return ok;
}

bool CPrinterLink::SendCheck(bool withInitialise, MsgId initialiseMessage) {
  if (!Write(CNvCommands::PrinterCheck())) {
    ShowMessage(theMsg[MsgId::WriteToPort], MsgIcon::Error);
    return false;
  }
  AwaitCheckReply(kCheckReplyWaitMs);
  if (withInitialise && !Write(CNvCommands::Initialise())) {
    ShowMessage(theMsg[initialiseMessage], MsgIcon::Error);
    return false;
  }
  return true;
}

void CPrinterLink::Close() {
  if (m_bPortOpened) ClosePort();
  if (m_eKind == LinkKind::Network) CloseNetwork();
  m_bPortOpened = false;
  m_bOpen = false;
}

bool CPrinterLink::Write(const std::uint8_t* data, int length) {
  if (length <= 0) return true;
  if (m_eKind == LinkKind::Network) {
    if (m_pSocket == nullptr) return false;
    net::ClearSocketError();
    const int sent = m_pSocket->Send(data, length);
    m_nSocketError = net::LastSocketErrorCode();
    return sent == length;
  }
  return m_port.Write(data, length) == length;
}

int CPrinterLink::LastError() const {
  return m_eKind == LinkKind::Network ? m_nSocketError : CPorts::LastError();
}

bool CPrinterLink::OpenPort(bool reopen) {
  if (reopen) m_port.Close();
  return m_port.Open();
}

void CPrinterLink::ClosePort() { m_port.Close(); }

bool CPrinterLink::ConnectNetwork(int pauseAfterConnectMs) {
  if (m_pSocket == nullptr) return false;
  net::ClearSocketError();
  const bool ok = m_pSocket->ConnectPrinter(m_strIpAddress, m_nTcpPort, pauseAfterConnectMs);
  m_nSocketError = net::LastSocketErrorCode();
  return ok;
}

void CPrinterLink::CloseNetwork() {
  if (m_pSocket != nullptr) m_pSocket->Close();
}

void CPrinterLink::AwaitCheckReply(int timeoutMs) {
  if (m_eKind != LinkKind::Serial || m_port.IsWatchThreadRunning()) return;
  std::uint8_t reply[64];
  m_port.AwaitReply(reply, sizeof reply, timeoutMs);
}

void CPrinterLink::Touch() {
  if (m_eKind == LinkKind::Network) return;
  const std::string portName = m_port.m_strPortName;
  // A file open replaces the port name by the file's; the connection keeps "FILE".
  auto restoreName = [&] {
    if (m_eKind == LinkKind::File) m_port.m_strPortName = portName;
  };
  if (!m_port.Open()) {
    ShowMessage(theMsg[MsgId::PortOpenError], MsgIcon::Error);
    restoreName();
    return;
  }
  if (m_eKind != LinkKind::Parallel) {
    const NvBytes initialise = CNvCommands::Initialise();
    const NvBytes check = CNvCommands::PrinterCheck();
    if (m_port.Write(initialise) != static_cast<int>(initialise.size()) ||
        m_port.Write(check) != static_cast<int>(check.size())) {
      ShowMessage(theMsg[MsgId::WriteToPort], MsgIcon::Error);
    } else if (m_eKind == LinkKind::Serial && !m_port.IsWatchThreadRunning()) {
      // One reply is awaited and not looked at.
      std::uint8_t reply[16];
      m_port.AwaitReply(reply, sizeof reply, kTouchReplyWaitMs);
    }
  }
  m_port.Close();
  restoreName();
}

}  // namespace torva
