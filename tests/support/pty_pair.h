// A pseudo-terminal pair for tests that play the printer's end of a serial line: the code
// under test opens SlavePath() like a serial device; the test reads and writes the master.
// The pair keeps a slave descriptor of its own so that the line survives the code under
// test closing and reopening it, and so that the test can read the line settings back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace torva::test {

class CPtyPair {
 public:
  CPtyPair();  // throws std::runtime_error when no pty can be made
  ~CPtyPair();
  CPtyPair(const CPtyPair&) = delete;
  CPtyPair& operator=(const CPtyPair&) = delete;

  const std::string& SlavePath() const { return m_strSlave; }
  int MasterFd() const { return m_nMaster; }
  int SlaveFd() const { return m_nSlave; }
  // Raw line on the slave, as a printer device node would be.
  void MakeSlaveRaw();
  // The printer side sends bytes.
  void Send(const std::vector<uint8_t>& bytes);
  // Reads from the master until count bytes arrived or timeoutMs passed; what arrived.
  std::vector<uint8_t> Receive(size_t count, int timeoutMs = 5000);
  // The printer vanishes: writes on the slave fail with EIO from now on.
  void CloseMaster();

 private:
  int m_nMaster = -1;
  int m_nSlave = -1;
  std::string m_strSlave;
};

}  // namespace torva::test
