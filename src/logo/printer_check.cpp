#include "logo/printer_check.h"

#include <cstdio>
#include <cstring>

#include "logo/nv_commands.h"
#include "logo/printer_link.h"
#include "network/printer_socket.h"
#include "network/socket_hooks.h"
#include "ports/ports.h"

namespace torva {
namespace {

using Outcome = PrinterCheckResult::Outcome;

void Drain(ByteQueue& queue, std::vector<std::uint8_t>& out) {
  while (!queue.IsEmpty()) out.push_back(queue.Get());
}

void CheckNetwork(const std::string& ip, int tcpPort, PrinterCheckResult& r) {
  r.strWhere = ip + ":" + std::to_string(tcpPort);
  CPrinterSocket socket;
  if (!socket.ConnectPrinter(ip, tcpPort)) {
    r.eOutcome = Outcome::NotOpened;
    r.strError = net::LastSocketError();
    return;
  }
  const NvBytes check = CNvCommands::PrinterCheck();
  if (socket.Send(check.data(), static_cast<int>(check.size())) != static_cast<int>(check.size())) {
    r.eOutcome = Outcome::NotSent;
    r.strError = net::LastSocketError();
    return;
  }
  socket.PumpReceive(kPrinterCheckWaitMs);
  Drain(socket.m_QueueSocket, r.reply);
  r.eOutcome = r.reply.empty() ? Outcome::Silent : Outcome::Answered;
}

void CheckPort(const ConnectionSettings& settings, PrinterCheckResult& r) {
  CPorts port;
  static_cast<ConnectionSettings&>(port) = settings;
  port.m_nFunction = 0;  // no receive thread: the check reads its answer itself
  r.strWhere = settings.m_strPortName;
  if (!port.Open()) {
    r.eOutcome = Outcome::NotOpened;
    r.strError = std::strerror(CPorts::LastError());
    return;
  }
  const NvBytes check = CNvCommands::PrinterCheck();
  if (port.Write(check) != static_cast<int>(check.size())) {
    r.eOutcome = Outcome::NotSent;
    r.strError = std::strerror(CPorts::LastError());
    port.Close();
    return;
  }
  switch (LinkKindOfPort(settings.m_strPortName)) {
    case LinkKind::Serial: {
      std::uint8_t buffer[64];
      const int n = port.AwaitReply(buffer, sizeof buffer, kPrinterCheckWaitMs);
      r.reply.assign(buffer, buffer + (n > 0 ? n : 0));
      break;
    }
    case LinkKind::Usb:
      port.ReadUsbReply();  // four reads of at most 100 ms each
      Drain(port.m_QueueRead, r.reply);
      break;
    default:
      r.eOutcome = Outcome::CannotRead;
      port.Close();
      return;
  }
  port.Close();
  r.eOutcome = r.reply.empty() ? Outcome::Silent : Outcome::Answered;
}

}  // namespace

PrinterCheckResult CheckPrinter(const ConnectionSettings& settings, const std::string& ipAddress,
                                int tcpPort) {
  PrinterCheckResult result;
  if (LinkKindOfPort(settings.m_strPortName) == LinkKind::Network) {
    CheckNetwork(ipAddress, tcpPort, result);
  } else {
    CheckPort(settings, result);
  }
  return result;
}

std::string PrinterCheckText(const PrinterCheckResult& r, bool korean) {
  std::string bytes;
  for (std::uint8_t b : r.reply) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%s%02X", bytes.empty() ? "" : " ", b);
    bytes += hex;
  }
  switch (r.eOutcome) {
    case Outcome::Answered:
      return (korean ? "프린터가 응답했습니다 (" : "The printer answered on ") + r.strWhere +
             (korean ? "): " : ": ") + bytes;
    case Outcome::Silent:
      return korean ? r.strWhere + ": 0.5초 안에 응답이 없습니다"
                    : r.strWhere + ": no answer within half a second";
    case Outcome::CannotRead:
      return korean ? r.strWhere + ": 보냈습니다 (이 포트로는 응답을 읽을 수 없습니다)"
                    : r.strWhere + ": sent; this port cannot read an answer back";
    case Outcome::NotOpened:
      return (korean ? "열 수 없습니다: " : "Cannot open ") + r.strWhere + ": " + r.strError;
    case Outcome::NotSent:
      return (korean ? "보낼 수 없습니다: " : "Cannot send to ") + r.strWhere + ": " + r.strError;
  }
  return {};
}

}  // namespace torva
