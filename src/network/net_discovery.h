// The two UDP exchanges with Ethernet printers: the search (command 00) and the set
// (command 02, then the follow-up 04). Each exchange uses two sockets made anew and closed at
// its end: a sender with broadcast permission, and a receiver bound to any local address and
// the listen port with a receive time-out of 1000 ms. At most 254 datagrams are received.
//
// A datagram is a printer's reply only when its source is none of this machine's interface
// addresses (the receiver also gets the tool's own broadcast); the search also ignores
// datagrams that are not exactly 35 bytes, while after a set any answer ends the wait (its
// content is not examined). Stray datagrams still count toward the 254.
//
// Threads: one exchange at a time, from one thread. The exchange blocks that thread: up to
// one second per receive. Messages go through the services seam (Ui()).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "network/net_setting_packet.h"
#include "network/socket_hooks.h"

namespace torva {

inline constexpr int kNetReceiveTimeoutMs = 1000;
inline constexpr int kNetMaxReceives = 254;

struct NetDiscoveryParams {
  std::string m_strBroadcast = "255.255.255.255";  // where requests go
  int m_nPort = 2918;                              // their UDP port
  int m_nListenPort = 2918;                        // where replies are awaited
  int m_nReceiveTimeoutMs = kNetReceiveTimeoutMs;

  // The defaults, overridden by the settings file's "NETWORK" section keys BROADCAST, PORT
  // and LISTENPORT where they are set. A value that is not a dotted IPv4 address or a port
  // 1..65535 is ignored with a log entry.
  static NetDiscoveryParams FromSettings();
};

struct NetPrinterReply {
  std::string m_strSource;  // the datagram's source address, dotted
  NetSettingPacket m_packet;
};

enum class NetReceiveEnd { NotRun, TimedOut, Failed, Limit, Answered };

// What the last exchange did, for callers that report it and for tests.
struct NetExchangeStats {
  int m_nRequestsSent = 0;
  int m_nDatagrams = 0;     // datagrams received (the ones the 254 counts)
  int m_nOwn = 0;           // of these, the tool's own
  int m_nWrongSize = 0;     // of these, not 35 bytes
  NetReceiveEnd m_end = NetReceiveEnd::NotRun;
  bool m_bSetupFailed = false;  // a socket could not be set up
};

class CNetDiscovery {
 public:
  CNetDiscovery();  // parameters from NetDiscoveryParams::FromSettings()
  explicit CNetDiscovery(NetDiscoveryParams params);
  ~CNetDiscovery();
  CNetDiscovery(const CNetDiscovery&) = delete;
  CNetDiscovery& operator=(const CNetDiscovery&) = delete;

  // Search: sends the request once, hands each printer's reply to onReply as it arrives
  // (and returns them all, in arrival order), then shows SearchFinished and closes the sockets.
  std::vector<NetPrinterReply> Search(const std::function<void(const NetPrinterReply&)>& onReply = {});

  // The set exchange in the dialog's order: set up the sockets, ask AskChangeNetwork (Yes/No) with
  // the caption, on Yes send the fields with SendSettings; close the sockets. True when the
  // settings were sent.
  bool ChangeSettings(const NetSettingPacket& fields, const std::string& caption);

  // The pieces of the exchanges, for callers that need their own order.
  // Sets up both sockets and finds the own addresses. A step that fails shows its message
  // (SystemError; "socket() error" for the sender of a search) and the rest still runs.
  // False when any step failed.
  bool OpenSockets(bool forSearch);
  void CloseSockets();
  // On open sockets: the set request (02), the wait for the first printer datagram, the
  // follow-up (04) with the same fields, whether a printer answered or not, then UpdateCompleteNetwork
  // with the caption.
  void SendSettings(const NetSettingPacket& fields, const std::string& caption);

  // True when the dotted source address is one of this machine's interface addresses.
  bool IsOwnAddress(const std::string& source) const;

  const NetDiscoveryParams& Params() const { return m_params; }
  const NetExchangeStats& Stats() const { return m_stats; }
  // The first failure of the last exchange (a socket step or a send), empty when none.
  const std::string& LastError() const { return m_strLastError; }

 private:
  enum class Datagram { Reply, Own, WrongSize, End };
  bool SendRequest(const NetPacketBytes& bytes);
  Datagram ReceiveOne(net::UdpDatagram& datagram, bool forSearch);
  void Fail(const std::string& step, const char* shown);

  NetDiscoveryParams m_params;
  net::SocketHandle m_sender = net::kNoSocket;
  net::SocketHandle m_receiver = net::kNoSocket;
  bool m_bStarted = false;
  std::vector<std::string> m_ownAddresses;
  NetExchangeStats m_stats;
  std::string m_strLastError;
};

}  // namespace torva
