#include "app/services.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

#include "app/messages.h"
#include "app/platform.h"

#ifndef TORVA_VERSION_MAJOR
#define TORVA_VERSION_MAJOR 0
#define TORVA_VERSION_MINOR 0
#define TORVA_VERSION_PATCH 0
#define TORVA_VERSION_TWEAK 0
#endif

namespace torva {
namespace {

CSteadyClock g_defaultClock;
CHostSystem g_defaultSystem;
CConsoleUserInterface g_defaultUi;

IUserInterface* g_pUi = &g_defaultUi;
IClock* g_pClock = &g_defaultClock;
ISystem* g_pSystem = &g_defaultSystem;

}  // namespace

std::chrono::steady_clock::time_point CSteadyClock::Now() { return std::chrono::steady_clock::now(); }

void CSteadyClock::SleepMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int LanguageIdFromLocale(const char* lcAll, const char* lcMessages, const char* lang) {
  const char* chosen = nullptr;
  for (const char* v : {lcAll, lcMessages, lang}) {
    if (v != nullptr && *v != '\0') {
      chosen = v;
      break;
    }
  }
  // Only Korean as used in Korea selects the Korean texts; "ko" alone or another
  // territory stays English.
  if (chosen != nullptr && std::strncmp(chosen, "ko_KR", 5) == 0 &&
      (chosen[5] == '\0' || chosen[5] == '.' || chosen[5] == '@')) {
    return kLangKorean;
  }
  return kLangEnglish;
}

int CHostSystem::DefaultLanguageId() { return SystemDefaultLanguageId(); }

std::string CHostSystem::StartDirectory() {
  std::error_code error;
  const std::filesystem::path dir = std::filesystem::current_path(error);
  return error ? std::string() : dir.string();
}

FileVersion CHostSystem::Version() {
  return {TORVA_VERSION_MAJOR, TORVA_VERSION_MINOR, TORVA_VERSION_PATCH, TORVA_VERSION_TWEAK};
}

void CConsoleUserInterface::Message(const std::string& text, const std::string& caption,
                                    MsgIcon) {
  std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
}

bool CConsoleUserInterface::Question(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "[%s] %s (answered No)\n", caption.c_str(), text.c_str());
  return false;
}

std::vector<std::string> CConsoleUserInterface::OpenFiles(const std::string&, const std::string&,
                                                          bool) {
  return {};
}

std::optional<std::string> CConsoleUserInterface::PrintToFileName() { return std::nullopt; }
bool CConsoleUserInterface::CtrlKeyHeld() { return false; }
void CConsoleUserInterface::SetWaitCursor(bool) {}

void InstallServices(IUserInterface* ui, IClock* clock, ISystem* system) {
  if (ui != nullptr) g_pUi = ui;
  if (clock != nullptr) g_pClock = clock;
  if (system != nullptr) g_pSystem = system;
}

IUserInterface& Ui() { return *g_pUi; }
IClock& Clock() { return *g_pClock; }
ISystem& System() { return *g_pSystem; }

void ShowMessage(const std::string& text, MsgIcon icon) { Ui().Message(text, kAppName, icon); }
bool AskQuestion(const std::string& text) { return Ui().Question(text, kAppName); }

}  // namespace torva
