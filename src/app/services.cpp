#include "app/services.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
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
std::atomic<IUiThread*> g_pUiThread{nullptr};

// How often a waiting hand-over asks whether it should give up.
constexpr int kHandOverPollMs = 10;

// One task handed to the user-interface thread: whichever side comes first decides whether
// it runs (the user-interface thread starts it) or never runs (the waiting side gave up).
struct HandOver {
  enum class State { Waiting, Running, Done, Abandoned };
  std::mutex mutex;
  std::condition_variable cv;
  State state = State::Waiting;
  std::function<void()> task;
};

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

void InstallUiThread(IUiThread* uiThread) { g_pUiThread = uiThread; }

bool OnUiThread() {
  IUiThread* ui = g_pUiThread.load();
  return ui == nullptr || ui->IsUiThread();
}

bool RunOnUiThread(std::function<void()> task, const std::function<bool()>& stopRequested) {
  IUiThread* ui = g_pUiThread.load();
  if (ui == nullptr || ui->IsUiThread()) {
    task();
    return true;
  }
  auto handOver = std::make_shared<HandOver>();
  handOver->task = std::move(task);
  ui->Post([handOver] {
    {
      std::lock_guard lock(handOver->mutex);
      if (handOver->state != HandOver::State::Waiting) return;
      handOver->state = HandOver::State::Running;
    }
    handOver->task();
    std::lock_guard lock(handOver->mutex);
    handOver->state = HandOver::State::Done;
    handOver->cv.notify_all();
  });
  std::unique_lock lock(handOver->mutex);
  for (;;) {
    if (handOver->state == HandOver::State::Done) return true;
    // A task already running finishes on the user-interface thread, which is then not
    // waiting for this one: wait for it rather than give up half way.
    if (handOver->state == HandOver::State::Waiting && stopRequested && stopRequested()) {
      handOver->state = HandOver::State::Abandoned;
      return false;
    }
    handOver->cv.wait_for(lock, std::chrono::milliseconds(kHandOverPollMs));
  }
}

void ShowMessage(const std::string& text, MsgIcon icon) {
  IUiThread* ui = g_pUiThread.load();
  if (ui != nullptr && !ui->IsUiThread()) {
    // A worker never builds a window: the user-interface thread shows it, the worker goes on.
    ui->Post([text, icon] { Ui().Message(text, kAppName, icon); });
    return;
  }
  Ui().Message(text, kAppName, icon);
}
bool AskQuestion(const std::string& text) { return Ui().Question(text, kAppName); }

}  // namespace torva
