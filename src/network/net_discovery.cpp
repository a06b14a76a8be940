#include "network/net_discovery.h"

#include <algorithm>
#include <cstdlib>

#include "app/app.h"
#include "app/error_log.h"
#include "app/messages.h"
#include "app/services.h"
#include "ports/port_trace.h"

namespace torva {

namespace {

// Big enough to see that a datagram is longer than a packet; the real length comes apart.
constexpr size_t kReceiveCapacity = 64;

bool ReadPortSetting(const char* key, int& port) {
  const std::string text = GetSetting("NETWORK", key);
  if (text.empty()) return false;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0' || value < 1 || value > 65535) {
    theLog.WriteLog("NETWORK %s ignored: \"%s\" is not a port 1..65535\r\n", key, text.c_str());
    return false;
  }
  port = static_cast<int>(value);
  return true;
}

}  // namespace

NetDiscoveryParams NetDiscoveryParams::FromSettings() {
  NetDiscoveryParams params;
  const std::string broadcast = GetSetting("NETWORK", "BROADCAST");
  if (!broadcast.empty()) {
    if (IsStrictAddressText(broadcast)) {
      params.m_strBroadcast = broadcast;
    } else {
      theLog.WriteLog("NETWORK BROADCAST ignored: \"%s\" is not a dotted address\r\n",
                      broadcast.c_str());
    }
  }
  ReadPortSetting("PORT", params.m_nPort);
  ReadPortSetting("LISTENPORT", params.m_nListenPort);
  return params;
}

CNetDiscovery::CNetDiscovery() : CNetDiscovery(NetDiscoveryParams::FromSettings()) {}

CNetDiscovery::CNetDiscovery(NetDiscoveryParams params) : m_params(std::move(params)) {}

CNetDiscovery::~CNetDiscovery() { CloseSockets(); }

void CNetDiscovery::Fail(const std::string& step, const char* shown) {
  const std::string reason = step + ": " + net::LastSocketError();
  theLog.WriteLog("CNetDiscovery %s\r\n", reason.c_str());
  if (m_strLastError.empty()) m_strLastError = reason;
  m_stats.m_bSetupFailed = true;
  ShowMessage(shown, MsgIcon::Error);
}

bool CNetDiscovery::OpenSockets(bool forSearch) {
  CloseSockets();
  m_stats = NetExchangeStats{};
  m_strLastError.clear();
  const char* systemError = theMsg[MsgId::SystemError];

  m_bStarted = net::StartSockets();
  if (!m_bStarted) Fail("socket framework start", forSearch ? "WSAStartup() error" : systemError);

  m_sender = net::UdpCreate();
  if (m_sender == net::kNoSocket) {
    Fail("sender socket()", forSearch ? "socket() error" : systemError);
  } else if (!net::UdpEnableBroadcast(m_sender)) {
    Fail("sender SO_BROADCAST", systemError);
  }

  m_receiver = net::UdpCreate();
  if (m_receiver == net::kNoSocket) {
    Fail("receiver socket()", systemError);
  } else {
    // An unbound receiver would hear nothing, and one without its time-out could wait for
    // ever: either is closed, so that the receives fail at once.
    bool usable = true;
    if (!net::UdpBindAny(m_receiver, m_params.m_nListenPort)) {
      Fail("receiver bind to port " + std::to_string(m_params.m_nListenPort), systemError);
      usable = false;
    }
    if (!net::UdpSetReceiveTimeout(m_receiver, m_params.m_nReceiveTimeoutMs)) {
      Fail("receiver time-out", systemError);
      usable = false;
    }
    if (!usable) {
      net::CloseSocket(m_receiver);
      m_receiver = net::kNoSocket;
    }
  }

  // Every interface address, not the host name's: the name often resolves to an address of
  // no interface (127.0.1.1), and then the tool's own broadcast would pass for a printer.
  m_ownAddresses = net::LocalAddresses();
  if (m_ownAddresses.empty()) {
    theLog.WriteLog("CNetDiscovery own addresses unknown: %s\r\n",
                    net::LastSocketError().c_str());
  }
  return !m_stats.m_bSetupFailed;
}

void CNetDiscovery::CloseSockets() {
  net::CloseSocket(m_sender);
  net::CloseSocket(m_receiver);
  m_sender = net::kNoSocket;
  m_receiver = net::kNoSocket;
  if (m_bStarted) net::StopSockets();
  m_bStarted = false;
}

bool CNetDiscovery::IsOwnAddress(const std::string& source) const {
  return std::find(m_ownAddresses.begin(), m_ownAddresses.end(), source) !=
         m_ownAddresses.end();
}

bool CNetDiscovery::SendRequest(const NetPacketBytes& bytes) {
  const int sent = m_sender == net::kNoSocket
                       ? -1
                       : net::UdpSendTo(m_sender, m_params.m_strBroadcast, m_params.m_nPort,
                                        bytes.data(), bytes.size());
  if (sent == static_cast<int>(bytes.size())) {
    TraceBytes("UDP TX", bytes.data(), bytes.size());
    ++m_stats.m_nRequestsSent;
    return true;
  }
  const std::string reason = "sendto " + m_params.m_strBroadcast + ":" +
                             std::to_string(m_params.m_nPort) + ": " +
                             (m_sender == net::kNoSocket ? std::string("no socket")
                                                         : net::LastSocketError());
  theLog.WriteLog("CNetDiscovery %s\r\n", reason.c_str());
  if (m_strLastError.empty()) m_strLastError = reason;
  return false;
}

CNetDiscovery::Datagram CNetDiscovery::ReceiveOne(net::UdpDatagram& datagram, bool forSearch) {
  if (m_receiver == net::kNoSocket) {
    m_stats.m_end = NetReceiveEnd::Failed;
    return Datagram::End;
  }
  switch (net::UdpReceive(m_receiver, kReceiveCapacity, datagram)) {
    case net::UdpReceiveResult::TimedOut:
      m_stats.m_end = NetReceiveEnd::TimedOut;
      return Datagram::End;
    case net::UdpReceiveResult::Failed:
      m_stats.m_end = NetReceiveEnd::Failed;
      return Datagram::End;
    case net::UdpReceiveResult::Datagram:
      break;
  }
  ++m_stats.m_nDatagrams;
  TraceBytes("UDP RX", datagram.m_bytes.data(), datagram.m_bytes.size());
  // Our own search request carries no fields at all; when the interface addresses could
  // not be listed its bytes still give it away.
  const NetPacketBytes own = SearchRequestBytes();
  const bool ownBytes = forSearch && datagram.m_nLength == own.size() &&
                        std::equal(own.begin(), own.end(), datagram.m_bytes.begin());
  if (IsOwnAddress(datagram.m_strSource) || ownBytes) {
    ++m_stats.m_nOwn;
    return Datagram::Own;
  }
  // Only the search list needs whole packets; any answer ends the wait after a set.
  if (forSearch && datagram.m_nLength != static_cast<size_t>(kNetPacketSize)) {
    ++m_stats.m_nWrongSize;
    theLog.WriteLog("CNetDiscovery ignored a datagram of %zu bytes from %s\r\n",
                    datagram.m_nLength, datagram.m_strSource.c_str());
    return Datagram::WrongSize;
  }
  return Datagram::Reply;
}

std::vector<NetPrinterReply> CNetDiscovery::Search(
    const std::function<void(const NetPrinterReply&)>& onReply) {
  OpenSockets(true);
  SendRequest(SearchRequestBytes());

  std::vector<NetPrinterReply> replies;
  net::UdpDatagram datagram;
  m_stats.m_end = NetReceiveEnd::Limit;
  for (int i = 0; i < kNetMaxReceives; ++i) {
    const Datagram kind = ReceiveOne(datagram, true);
    if (kind == Datagram::End) break;
    if (kind != Datagram::Reply) continue;
    auto packet = NetSettingPacket::ParseReply(datagram.m_bytes.data(), datagram.m_nLength);
    if (!packet) continue;  // not reached: the size was checked
    NetPrinterReply reply{datagram.m_strSource, *packet};
    if (onReply) onReply(reply);
    replies.push_back(std::move(reply));
  }

  ShowMessage(theMsg[MsgId::SearchFinished]);
  CloseSockets();
  return replies;
}

void CNetDiscovery::SendSettings(const NetSettingPacket& fields, const std::string& caption) {
  NetSettingPacket packet = fields;
  packet.m_command = NetCommand::Set;
  SendRequest(packet.ToBytes());

  net::UdpDatagram datagram;
  m_stats.m_end = NetReceiveEnd::Limit;
  for (int i = 0; i < kNetMaxReceives; ++i) {
    const Datagram kind = ReceiveOne(datagram, false);
    if (kind == Datagram::End) break;
    if (kind == Datagram::Reply) {
      m_stats.m_end = NetReceiveEnd::Answered;
      break;
    }
  }

  // The follow-up goes out whether a printer answered or not.
  packet.m_command = NetCommand::SetFollowUp;
  SendRequest(packet.ToBytes());
  Ui().Message(theMsg[MsgId::UpdateCompleteNetwork], caption, MsgIcon::Info);
}

bool CNetDiscovery::ChangeSettings(const NetSettingPacket& fields, const std::string& caption) {
  OpenSockets(false);
  const bool yes = Ui().Question(theMsg[MsgId::AskChangeNetwork], caption);
  if (yes) SendSettings(fields, caption);
  CloseSockets();
  return yes;
}

}  // namespace torva
