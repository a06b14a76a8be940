#include "support/fake_services.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <sstream>
#include <stdexcept>

namespace torva::test {

std::chrono::steady_clock::time_point CFakeClock::Now() {
  std::lock_guard lock(m_mutex);
  return m_now;
}

void CFakeClock::SleepMs(int ms) {
  std::lock_guard lock(m_mutex);
  m_waits.push_back(ms);
  m_now += std::chrono::milliseconds(ms);
}

std::vector<int> CFakeClock::Waits() const {
  std::lock_guard lock(m_mutex);
  return m_waits;
}

int CFakeClock::TotalWaitMs() const {
  std::lock_guard lock(m_mutex);
  return std::accumulate(m_waits.begin(), m_waits.end(), 0);
}

void CFakeClock::Advance(int ms) {
  std::lock_guard lock(m_mutex);
  m_now += std::chrono::milliseconds(ms);
}

void CFakeClock::ClearWaits() {
  std::lock_guard lock(m_mutex);
  m_waits.clear();
}

void CScriptedUi::Message(const std::string& text, const std::string& caption, MsgIcon icon) {
  std::lock_guard lock(m_mutex);
  m_messages.push_back({text, caption, icon});
}

bool CScriptedUi::Question(const std::string& text, const std::string&) {
  std::lock_guard lock(m_mutex);
  m_questions.push_back(text);
  if (m_answers.empty()) return false;
  bool answer = m_answers.front();
  m_answers.pop_front();
  return answer;
}

std::vector<std::string> CScriptedUi::OpenFiles(const std::string&, const std::string& filter,
                                                bool) {
  std::lock_guard lock(m_mutex);
  m_filters.push_back(filter);
  if (m_files.empty()) return {};
  auto files = m_files.front();
  m_files.pop_front();
  return files;
}

std::optional<std::string> CScriptedUi::PrintToFileName() {
  std::lock_guard lock(m_mutex);
  if (m_printNames.empty()) return std::nullopt;
  auto name = m_printNames.front();
  m_printNames.pop_front();
  return name;
}

void CScriptedUi::SetWaitCursor(bool on) {
  std::lock_guard lock(m_mutex);
  ++m_nCursorChanges;
  m_bCursor = on;
}

std::vector<RecordedMessage> CScriptedUi::Messages() const {
  std::lock_guard lock(m_mutex);
  return m_messages;
}

std::vector<std::string> CScriptedUi::MessageTexts() const {
  std::lock_guard lock(m_mutex);
  std::vector<std::string> texts;
  for (const auto& m : m_messages) texts.push_back(m.text);
  return texts;
}

std::vector<std::string> CScriptedUi::Questions() const {
  std::lock_guard lock(m_mutex);
  return m_questions;
}

std::vector<std::string> CScriptedUi::FileFilters() const {
  std::lock_guard lock(m_mutex);
  return m_filters;
}

int CScriptedUi::WaitCursorChanges() const {
  std::lock_guard lock(m_mutex);
  return m_nCursorChanges;
}

bool CScriptedUi::WaitCursorOn() const {
  std::lock_guard lock(m_mutex);
  return m_bCursor;
}

void CScriptedUi::Clear() {
  std::lock_guard lock(m_mutex);
  m_messages.clear();
  m_questions.clear();
  m_filters.clear();
  m_nCursorChanges = 0;
}

ScopedFakeServices::ScopedFakeServices() { InstallServices(&ui, &clock, &system); }

ScopedFakeServices::~ScopedFakeServices() {
  static CSteadyClock realClock;
  static CHostSystem realSystem;
  static CConsoleUserInterface consoleUi;
  InstallServices(&consoleUi, &realClock, &realSystem);
}

ScopedTempDir::ScopedTempDir(bool chdirInto) {
  namespace fs = std::filesystem;
  // TMPDIR (or the system's temporary folder), a new folder of a random name: created
  // here, so no other test can own it.
  const char* base = std::getenv("TMPDIR");
  std::error_code ec;
  const fs::path root = base && *base ? fs::path(base) : fs::temp_directory_path(ec);
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100 && m_strPath.empty(); ++attempt) {
    const fs::path candidate = root / ("torva-test-" + std::to_string(random() % 1000000000));
    if (fs::create_directory(candidate, ec)) m_strPath = candidate.generic_string();
  }
  if (m_strPath.empty()) throw std::runtime_error("no temporary folder in " + root.string());
  if (chdirInto) {
    m_strOldCwd = std::filesystem::current_path().string();
    std::filesystem::current_path(m_strPath);
  }
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ec;
  if (!m_strOldCwd.empty()) std::filesystem::current_path(m_strOldCwd, ec);
  std::filesystem::remove_all(m_strPath, ec);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace torva::test
