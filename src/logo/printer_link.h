// CPrinterLink: where the bytes of a logo job go, and how the job opens the connection.
// Serial, parallel, USB and file connections go through a CPorts (thePort); a network
// printer ("ETHERNET_II") goes through the printer socket. The opening rules differ by job:
//
//   upload  parallel: close, reopen, printer check; network: ConnectPrinter; others: open,
//           then (not for a file) printer check and initialise.
//   erase   as upload, but the network connect pauses 100 ms first.
//   print   parallel: open, printer check; network: ConnectPrinter; others: open, printer
//           check, initialise.
//
// Each Open... shows the job's message (PortOpenError, OpenPortOrFileError, PrinterCheck,
// WriteToPort, PrinterCheckAtStart) when it fails and
// leaves nothing open. Close closes what the Open opened; the printer socket is closed in
// every case. The device operations are virtual so that a test can stand in for a printer.
#pragma once

#include <cstdint>
#include <string>

#include "app/message_ids.h"
#include "logo/nv_commands.h"

namespace torva {

class CPorts;
class CPrinterSocket;

// Unreachable: a name the port object cannot open ("WIFI", empty); its open fails there.
enum class LinkKind { Serial, Parallel, Usb, File, Network, Unreachable };

// The kind of connection a port name denotes; "ETHERNET_II" is the network printer.
LinkKind LinkKindOfPort(const std::string& portName);

// What the upload and print pages show under "Printer Details": "To File" twice for a file,
// otherwise "TORVA10" (model code 2) or "TORVA", and the port name.
struct PrinterDetails {
  std::string strPrinterName;
  std::string strPortName;
};
PrinterDetails PrinterDetailsFor(const std::string& portName, int modelCode);

class CPrinterLink {
 public:
  // How long the printer check waits for its one reply byte (not evaluated).
  static constexpr int kCheckReplyWaitMs = 500;
  // How long the touch waits for the reply to its printer check (not evaluated).
  static constexpr int kTouchReplyWaitMs = 1000;
  // The pause between connecting and probing the printer socket before an erase.
  static constexpr int kEraseConnectPauseMs = 100;

  // The kind is taken from port.m_strPortName now: a "FILE" open later replaces the name by
  // the file's, the link stays a file link.
  explicit CPrinterLink(CPorts& port);
  // A link that reaches a network printer through socket at ipAddress:tcpPort when the
  // port name is "ETHERNET_II" (and through port otherwise).
  CPrinterLink(CPorts& port, CPrinterSocket& socket, std::string ipAddress, int tcpPort);
  virtual ~CPrinterLink();
  CPrinterLink(const CPrinterLink&) = delete;
  CPrinterLink& operator=(const CPrinterLink&) = delete;

  LinkKind Kind() const { return m_eKind; }
  bool IsNetwork() const { return m_eKind == LinkKind::Network; }
  bool IsFile() const { return m_eKind == LinkKind::File; }
  bool IsOpen() const { return m_bOpen; }

  bool OpenForUpload();
  bool OpenForErase();
  bool OpenForPrint();
  void Close();

  // The touch of the logo sheet's OK, on the port object (a network printer is left alone):
  // open, initialise and printer check (not on a parallel port), one reply awaited on a
  // serial line, close. Shows PortOpenError or WriteToPort when a step fails.
  void Touch();

  // True when every byte was written (an empty write is true and sends nothing).
  virtual bool Write(const std::uint8_t* data, int length);
  bool Write(const NvBytes& bytes) { return Write(bytes.data(), static_cast<int>(bytes.size())); }
  // The system error code of the last failure, for the messages and the log.
  virtual int LastError() const;

 protected:
  // Opens the port object (close first when reopen is set). False when it cannot be opened.
  virtual bool OpenPort(bool reopen);
  virtual void ClosePort();
  // ConnectPrinter on the printer socket, with a pause after the connect.
  virtual bool ConnectNetwork(int pauseAfterConnectMs);
  virtual void CloseNetwork();
  // Waits at most timeoutMs for the reply to the printer check, where the connection can
  // read one back (a serial line without its watch thread); the reply is dropped.
  virtual void AwaitCheckReply(int timeoutMs);

 private:
  enum class Job { Upload, Erase, Print };
  bool Open(Job job);
  // Printer check (and initialise): false with the job's message when a write fails.
  bool SendCheck(bool withInitialise, MsgId initialiseMessage);

  CPorts& m_port;
  CPrinterSocket* m_pSocket = nullptr;
  std::string m_strIpAddress;
  int m_nTcpPort = 0;
  LinkKind m_eKind;
  bool m_bOpen = false;
  bool m_bPortOpened = false;
  int m_nSocketError = 0;
};

}  // namespace torva
