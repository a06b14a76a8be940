// Starts torva-printer-sim (from TORVA_BIN_DIR) for a test, reads the lines it prints at
// start ("serial: ...", "tcp: 127.0.0.1:PORT", "ready") and stops it by its PID.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace torva::test {

class CSimProcess {
 public:
  CSimProcess() = default;
  ~CSimProcess();
  CSimProcess(const CSimProcess&) = delete;
  CSimProcess& operator=(const CSimProcess&) = delete;

  // Starts the simulator with the given options and waits (at most timeoutMs) until it
  // printed "ready". False with the reason in Error() when it did not come up.
  bool Start(const std::vector<std::string>& args, int timeoutMs = 10000);
  // SIGTERM, then SIGKILL if it has not ended within a few seconds. Returns its exit
  // status as waitpid gives it (-1 when it was not running).
  int Stop();
  bool Running() const { return m_pid > 0; }
  pid_t Pid() const { return m_pid; }

  const std::string& SerialPath() const { return m_strSerial; }
  int TcpPort() const { return m_nTcpPort; }
  // Every line printed before "ready".
  const std::vector<std::string>& StartLines() const { return m_lines; }
  const std::string& Error() const { return m_strError; }

  static std::string ProgramPath();

 private:
  pid_t m_pid = -1;
  int m_nOut = -1;
  std::string m_strSerial;
  int m_nTcpPort = -1;
  std::vector<std::string> m_lines;
  std::string m_strError;
};

}  // namespace torva::test
