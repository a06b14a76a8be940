// The command line's user interface: messages go to stderr, questions are answered by
// --yes or asked on the terminal, file names come from the arguments.
#pragma once

#include "app/services.h"
#include "cli/cli_commands.h"

namespace torva::cli {

class CCliUserInterface final : public IUserInterface {
 public:
  // Reads --yes and --output-file NAME (the Print to File name) from the arguments.
  void Configure(const Args& args);
  void Message(const std::string& text, const std::string& caption, MsgIcon icon) override;
  bool Question(const std::string& text, const std::string& caption) override;
  std::vector<std::string> OpenFiles(const std::string& title, const std::string& filter,
                                     bool multi) override;
  std::optional<std::string> PrintToFileName() override;
  bool CtrlKeyHeld() override { return false; }
  void SetWaitCursor(bool) override {}

  void SetPrintToFileName(const std::string& name) { m_strFileName = name; }

 private:
  bool m_bYes = false;
  std::string m_strFileName;
};

}  // namespace torva::cli
