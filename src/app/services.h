// The services seam: everything core code needs from the desktop (message boxes, questions,
// file dialogs, the Ctrl key, the wait cursor), from time (now, fixed waits) and from the
// system (language, start directory, version). One set is installed at start; the Qt program,
// the command line and the tests each install their own.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace torva {

enum class MsgIcon { Info, Warning, Error, Question };

class IUserInterface {
 public:
  virtual ~IUserInterface() = default;
  // Shows a message box and returns when the user has closed it.
  virtual void Message(const std::string& text, const std::string& caption, MsgIcon icon) = 0;
  // A Yes/No question; true for Yes.
  virtual bool Question(const std::string& text, const std::string& caption) = 0;
  // An open-file dialog; filter is in the "Name(*.ext)|*.ext||" form. Returns the chosen
  // paths, empty when cancelled. With multi false at most one path comes back.
  virtual std::vector<std::string> OpenFiles(const std::string& title, const std::string& filter,
                                             bool multi) = 0;
  // The Print to File prompt: the entered name (possibly empty) when the user pressed OK,
  // nullopt when the prompt was closed any other way. The caller owns the empty-name rule.
  virtual std::optional<std::string> PrintToFileName() = 0;
  virtual bool CtrlKeyHeld() = 0;
  virtual void SetWaitCursor(bool on) = 0;
};

class IClock {
 public:
  virtual ~IClock() = default;
  virtual std::chrono::steady_clock::time_point Now() = 0;
  // A fixed wait the system prescribes (erase waits, pacing, search pauses).
  virtual void SleepMs(int ms) = 0;
};

struct FileVersion {
  int major = 0, minor = 0, build = 0, revision = 0;
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  // 1042 for Korean as used in Korea; anything else selects English.
  virtual int DefaultLanguageId() = 0;
  // The working directory at start; empty when it cannot be read.
  virtual std::string StartDirectory() = 0;
  virtual FileVersion Version() = 0;
};

// The user-interface thread, for work that other threads hand to it. The Qt program installs
// one that posts to its event loop; without one (the command line, most tests) every thread
// counts as the user-interface thread and handed-over work runs at once where it is handed.
class IUiThread {
 public:
  virtual ~IUiThread() = default;
  virtual bool IsUiThread() = 0;
  // Queues task to run on the user-interface thread; never blocks, never runs it here.
  virtual void Post(std::function<void()> task) = 0;
};

// Real clock and system, and a user interface that writes messages to stderr and answers
// every question with No. They are the defaults until something else is installed.
class CSteadyClock final : public IClock {
 public:
  std::chrono::steady_clock::time_point Now() override;
  void SleepMs(int ms) override;
};

class CHostSystem final : public ISystem {
 public:
  int DefaultLanguageId() override;
  std::string StartDirectory() override;
  FileVersion Version() override;
};

class CConsoleUserInterface : public IUserInterface {
 public:
  void Message(const std::string& text, const std::string& caption, MsgIcon icon) override;
  bool Question(const std::string& text, const std::string& caption) override;
  std::vector<std::string> OpenFiles(const std::string& title, const std::string& filter,
                                     bool multi) override;
  std::optional<std::string> PrintToFileName() override;
  bool CtrlKeyHeld() override;
  void SetWaitCursor(bool on) override;
};

// The language identifier that the given locale variables select: 1042 exactly when the
// first set one of LC_ALL, LC_MESSAGES, LANG names ko_KR; 1033 (English) otherwise.
int LanguageIdFromLocale(const char* lcAll, const char* lcMessages, const char* lang);

// Installs services; a null pointer keeps the one installed before. The objects must
// outlive their use. Not thread-safe: install at start or in a test's set-up.
void InstallServices(IUserInterface* ui, IClock* clock, ISystem* system);
IUserInterface& Ui();
IClock& Clock();
ISystem& System();

// Installs the user-interface thread (nullptr: none). Install at start, before any worker.
void InstallUiThread(IUiThread* uiThread);
// True on the user-interface thread, and everywhere when none is installed.
bool OnUiThread();
// Runs task on the user-interface thread and returns true once it has run. When
// stopRequested() turns true before the task has started, gives up and returns false; the
// task then never runs. stopRequested is asked at least every 10 ms while waiting, so a
// thread that the user-interface thread is about to join never blocks it: signal the stop,
// then join. On the user-interface thread itself the task runs at once. The task may outlive
// a call that gave up only as a discarded copy: it must not touch what the caller frees.
bool RunOnUiThread(std::function<void()> task, const std::function<bool()>& stopRequested);

// Shows theMsg[index] (after printf-style filling by the caller when needed) with the
// caption "TORVASet". Called on another thread, the message is handed to the user-interface
// thread and shown there; the caller does not wait for it.
void ShowMessage(const std::string& text, MsgIcon icon = MsgIcon::Info);
bool AskQuestion(const std::string& text);

}  // namespace torva
