// Points theLog at a fresh file for one test and reads back what was written.
#pragma once

#include <string>

#include "app/error_log.h"
#include "support/fake_services.h"

namespace torva::test {

class CLogCapture {
 public:
  explicit CLogCapture(const std::string& path) : m_strPath(path) { theLog.OpenLog(path); }
  ~CLogCapture() { theLog.CloseLog(); }
  CLogCapture(const CLogCapture&) = delete;
  CLogCapture& operator=(const CLogCapture&) = delete;
  std::string Text() const { return ReadFileBytes(m_strPath); }
  bool Contains(const std::string& text) const { return Text().find(text) != std::string::npos; }

 private:
  std::string m_strPath;
};

}  // namespace torva::test
