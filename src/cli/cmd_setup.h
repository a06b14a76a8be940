// "torvaset-cli setup": the user setup jobs of the User Setup dialog (read, write, test
// print, defaults) and a dealer's backup and restore, driven by the same setup exchange.
// cmd_setup.cpp holds the group, its options and the connection; cmd_setup_jobs.cpp the jobs.
#pragma once

#include <memory>
#include <string>

#include "cli/cli_commands.h"
#include "network/printer_socket.h"
#include "setup/setting_keys.h"
#include "setup/setting_model.h"
#include "setup/setup_exchange.h"

namespace torva::cli {

// Where a setup job's bytes go, from --port, --model and the line options.
struct SetupTarget {
  SetupConnection connection;
  std::string strShownPath;  // the path, or HOST:PORT, named in a reason line
  int nModelCode = 0;
};

// Checks the connection options (--port, --model, --baud, --log) and sets up thePort.
// False with a usage problem in error.
bool ParseSetupTarget(const Args& args, SetupTarget& target, std::string& error);

// One exchange with the printer: the model the settings live in, the socket, the sink that
// applies what the printer answers, and the engine.
class CSetupSession {
 public:
  explicit CSetupSession(const SetupTarget& target);
  ~CSetupSession();
  CSettingModel& Model() { return *m_pModel; }
  CSetupExchange& Exchange() { return *m_pExchange; }
  // The line after a failed open or write: the path or address and the system's error text.
  void PrintLinkReason() const;

 private:
  class CSink;
  SetupTarget m_target;
  std::unique_ptr<CSettingModel> m_pModel;
  CPrinterSocket m_socket;
  std::unique_ptr<CSink> m_pSink;
  std::unique_ptr<CSetupExchange> m_pExchange;
};

int RunSetupGet(const Args& args);
int RunSetupSet(const Args& args);
int RunSetupTest(const Args& args);
int RunSetupDefaults(const Args& args);
int RunSetupBackup(const Args& args);
int RunSetupRestore(const Args& args);

// "torvaset-cli setup COMMAND: PROBLEM" with the command's usage; returns 2.
int SetupUsage(const std::string& command, const std::string& problem);
void PrintSetupHelp(const std::string& command);

}  // namespace torva::cli
