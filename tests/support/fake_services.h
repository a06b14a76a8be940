// Test doubles for the services seam: a clock that records every wait and returns at once,
// a user interface with answers queued in advance and every message recorded, and a system
// with a chosen language. ScopedFakeServices installs all three for one test.
#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/services.h"

namespace torva::test {

class CFakeClock final : public IClock {
 public:
  std::chrono::steady_clock::time_point Now() override;
  void SleepMs(int ms) override;
  std::vector<int> Waits() const;
  int TotalWaitMs() const;
  void Advance(int ms);
  void ClearWaits();

 private:
  mutable std::mutex m_mutex;
  std::chrono::steady_clock::time_point m_now{};
  std::vector<int> m_waits;
};

struct RecordedMessage {
  std::string text;
  std::string caption;
  MsgIcon icon;
};

class CScriptedUi final : public IUserInterface {
 public:
  void Message(const std::string& text, const std::string& caption, MsgIcon icon) override;
  bool Question(const std::string& text, const std::string& caption) override;
  std::vector<std::string> OpenFiles(const std::string& title, const std::string& filter,
                                     bool multi) override;
  std::optional<std::string> PrintToFileName() override;
  bool CtrlKeyHeld() override { return m_bCtrl; }
  void SetWaitCursor(bool on) override;

  // Queued answers; an empty queue answers No, cancels the file dialog, closes the prompt.
  std::deque<bool> m_answers;
  std::deque<std::vector<std::string>> m_files;
  std::deque<std::optional<std::string>> m_printNames;
  bool m_bCtrl = false;

  std::vector<RecordedMessage> Messages() const;
  std::vector<std::string> MessageTexts() const;
  std::vector<std::string> Questions() const;
  std::vector<std::string> FileFilters() const;
  int WaitCursorChanges() const;
  bool WaitCursorOn() const;
  void Clear();

 private:
  mutable std::mutex m_mutex;
  std::vector<RecordedMessage> m_messages;
  std::vector<std::string> m_questions;
  std::vector<std::string> m_filters;
  int m_nCursorChanges = 0;
  bool m_bCursor = false;
};

class CFakeSystem final : public ISystem {
 public:
  int DefaultLanguageId() override { return m_nLanguage; }
  std::string StartDirectory() override { return m_strStartDir; }
  FileVersion Version() override { return m_version; }
  int m_nLanguage = 1033;
  std::string m_strStartDir;
  FileVersion m_version{1, 9, 0, 0};
};

// Installs fresh fakes for the lifetime of the object and restores the defaults after.
class ScopedFakeServices {
 public:
  ScopedFakeServices();
  ~ScopedFakeServices();
  ScopedFakeServices(const ScopedFakeServices&) = delete;
  ScopedFakeServices& operator=(const ScopedFakeServices&) = delete;
  CFakeClock clock;
  CScriptedUi ui;
  CFakeSystem system;
};

// A fresh empty directory under the build's temporary folder, removed with the object.
// The working directory is switched to it for the object's lifetime when chdirInto is set.
class ScopedTempDir {
 public:
  explicit ScopedTempDir(bool chdirInto = false);
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;
  const std::string& Path() const { return m_strPath; }
  std::string File(const std::string& name) const { return m_strPath + "/" + name; }

 private:
  std::string m_strPath;
  std::string m_strOldCwd;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace torva::test
