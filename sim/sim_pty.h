// The simulated printer's serial line: a pseudo-terminal whose slave side the tool opens
// like any serial device. The simulator holds the slave open itself so that the tool may
// close and reopen the line as often as it likes.
#pragma once

#include <memory>
#include <string>

#include "sim_stream.h"

namespace torva::sim {

class CSimPty final : public CSimStream {
 public:
  // Opens the pty (raw line) and, when linkPath is set, a symbolic link to its slave.
  // Null on failure, with the reason on stderr.
  static std::unique_ptr<CSimPty> Create(CSimPrinter& printer, uint64_t closeAfter,
                                         const std::string& linkPath);
  ~CSimPty() override;
  const std::string& SlavePath() const { return m_strSlave; }

 protected:
  // Closing the master (close-after, shutdown) makes the tool's reads and writes fail with
  // EIO; the slave and the link go with it.
  void OnClosed() override;
  bool EndOnEmptyRead() const override { return false; }

 private:
  CSimPty(int master, int slave, std::string slavePath, std::string linkPath,
          CSimPrinter& printer, uint64_t closeAfter);
  void Release();

  int m_nSlave;
  std::string m_strSlave;
  std::string m_strLink;
};

}  // namespace torva::sim
