#include "cli/cli_services.h"

#include "cli/job_terminal.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace torva::cli {

void CCliUserInterface::Configure(const Args& args) {
  m_bYes = HasFlag(args, "--yes");
  m_strFileName = FlagValue(args, "--output-file");
}

void CCliUserInterface::Message(const std::string& text, const std::string&, MsgIcon icon) {
  std::string oneLine;
  for (char c : text) {
    if (c == '\r') continue;
    oneLine += c == '\n' ? ' ' : c;
  }
  std::fprintf(stderr, "%s%s\n", icon == MsgIcon::Error ? "error: " : "", oneLine.c_str());
}

bool CCliUserInterface::Question(const std::string& text, const std::string&) {
  if (m_bYes) return true;
  if (!StdinIsTerminal()) {
    std::fprintf(stderr, "%s\n(no terminal to ask: answering No; pass --yes to agree)\n",
                 text.c_str());
    return false;
  }
  std::fprintf(stderr, "%s [y/N] ", text.c_str());
  std::string answer;
  std::getline(std::cin, answer);
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

std::vector<std::string> CCliUserInterface::OpenFiles(const std::string&, const std::string&,
                                                      bool) {
  return {};  // file names always come from the arguments
}

std::optional<std::string> CCliUserInterface::PrintToFileName() {
  if (m_strFileName.empty()) return std::nullopt;  // "temp.prn", as a closed prompt gives
  return m_strFileName;
}

bool HasFlag(const Args& args, const std::string& name) {
  for (const auto& a : args) {
    if (a == name) return true;
  }
  return false;
}

bool ParseInt(const std::string& text, int low, int high, int& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || v < low || v > high) return false;
  value = static_cast<int>(v);
  return true;
}

std::string FlagValue(const Args& args, const std::string& name, const std::string& def) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == name && i + 1 < args.size()) return args[i + 1];
    if (args[i].rfind(name + "=", 0) == 0) return args[i].substr(name.size() + 1);
  }
  return def;
}

std::vector<std::string> Positionals(const Args& args, const std::vector<std::string>& valueFlags) {
  std::vector<std::string> out;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) == 0) {
      bool takesValue = a.find('=') == std::string::npos;
      bool known = false;
      for (const auto& f : valueFlags) known = known || f == a;
      if (takesValue && known) ++i;
      continue;
    }
    out.push_back(a);
  }
  return out;
}

}  // namespace torva::cli
