// The simulator's network-discovery options: the printers it answers as, where it listens
// and where it sends its replies.
//
//   --net-printer "ip=A,mask=M,gw=G,mac=MAC,dhcp=0|1,port=N[,src=ADDR][,len=N]"  (repeatable)
//   --net-listen ADDR:PORT    (default 127.0.0.1:2918; outside loopback only inside a
//                              network namespace of its own)
//   --net-reply-port N        (default 2918)
//
// src is the address a printer's replies come from (default: its own ip when that is an
// address of this machine, else on loopback 127.0.0.<2 + its index>, else the listen
// socket's). len makes its replies that many bytes long (35 unless a test wants a broken
// printer).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace torva::sim {

struct NetSimPrinter {
  std::array<uint8_t, 4> m_ip{192, 168, 0, 254};
  std::array<uint8_t, 4> m_mask{255, 255, 255, 0};
  std::array<uint8_t, 4> m_gateway{192, 168, 0, 1};
  std::array<uint8_t, 6> m_mac{0x00, 0x2B, 0x9E, 0x12, 0x34, 0x56};
  bool m_bDhcp = false;
  uint16_t m_nPort = 6001;
  std::string m_strSource;    // reply source address; empty: chosen at start
  int m_nReplyLength = 35;
};

struct NetResponderOptions {
  bool m_bEnabled = false;  // any --net-* option given
  std::string m_strListenAddress = "127.0.0.1";
  int m_nListenPort = 2918;
  int m_nReplyPort = 2918;
  // The printers in the order they answer; none answers when empty.
  std::vector<NetSimPrinter> m_printers;
};

// The simulator answers as one default printer when it was given none.
void AddDefaultPrinterIfNone(NetResponderOptions& options);

// When args[i] is one of the --net-* options (also in the --name=value form), takes it and
// its value, moves i to the last argument used and returns true; error is set when the value
// is bad. False (and nothing changed) for any other argument.
bool ParseNetOption(const std::vector<std::string>& args, size_t& i, NetResponderOptions& options,
                    std::string& error);
bool ParseNetPrinter(const std::string& text, NetSimPrinter& printer, std::string& error);
// The lines of the usage text for these options.
const char* NetOptionsHelp();

std::string FormatSimPrinter(const NetSimPrinter& printer);

}  // namespace torva::sim
