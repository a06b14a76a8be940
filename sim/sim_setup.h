// The printer's user-setting mode, GS ( E (1D 28 45 pL pH fn ...):
//   fn 1 "IN"   enters the mode;
//   fn 5        writes settings (a nL nH entries; a = 255 carries four value bytes and 04),
//               taken only in the mode; a command whose entries do not fill it exactly is
//               refused whole, an entry with a value the setting does not take is skipped;
//   fn 6 a      asks for one setting: the answer is 37 27 a-in-decimal 1F text 00;
//   fn 2 "OUT"  leaves the mode, and the printer restarts: for a moment every received byte
//               is ignored.
// And GS a n (1D 61 n), automatic status back: while it is on the printer sends a status
// block 14 00 00 0F when it comes on and then once a second, at most ten times. A parallel
// printer has it on after every start until GS a 0 arrives.
//
// The options make a printer that leaves a setting unanswered (for the first N asks, or
// always), answers a setting with a text of the test's choice, answers late or in pieces.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "sim_nv_store.h"
#include "sim_printer.h"
#include "sim_setup_state.h"

namespace torva::sim {

struct SetupSimOptions {
  std::string strSettingsIn;              // state file read at start (empty: the factory defaults)
  std::string strSettingsOut;             // state file written at start and after every write
  std::map<int, int> unanswered;          // a -> asks left unanswered (-1: every ask)
  std::map<int, std::string> replyTexts;  // a -> the text answered instead of the state's
  int nReplyDelayMs = 0;                  // each answer this late
  int nReplySplit = 0;                    // answers in pieces of this many bytes (0: whole)
  int nRestartMs = 1000;                  // how long a restart ignores what arrives
  bool bParallel = false;                 // status back on at every start
};

class CSimSetup {
 public:
  static constexpr int kStatusBlocks = 10;
  static constexpr std::chrono::milliseconds kStatusPeriod{1000};
  // Between the pieces of a split answer when no delay is asked for.
  static constexpr std::chrono::milliseconds kPieceGap{10};

  explicit CSimSetup(SetupSimOptions options);
  // Reads the state file, writes the out file; false with the reason in error.
  bool Start(std::string& error);

  const SetupSimOptions& Options() const { return m_options; }
  const CSetupState& State() const { return m_state; }
  bool InSettingMode() const { return m_bMode; }
  bool Restarting() const { return SimClock::now() < m_restartEnd; }
  bool StatusBackOn() const { return m_bStatusBack; }
  int Writes() const { return m_nWrites; }
  int RefusedWrites() const { return m_nRefused; }
  int Restarts() const { return m_nRestarts; }

  // The command handlers' side (see sim_setup.cpp).
  void Enter();
  void Leave();
  // Applies one write command's entries; false when it was refused whole.
  bool Write(std::span<const uint8_t> entries, bool verbose);
  // The answer frame to an ask, or nothing when this ask goes unanswered.
  std::vector<uint8_t> Answer(int a);
  void SetStatusBack(bool on);
  // Status blocks due on the connection being served.
  void PollStatus(CSimPrinter& printer);
  SimClock::time_point RestartEnd() const { return m_restartEnd; }

 private:
  struct StatusRound {
    int nEpoch = -1;
    int nSent = 0;
    SimClock::time_point next{};
  };
  void SaveState();

  SetupSimOptions m_options;
  CSetupState m_state;
  bool m_bMode = false;
  bool m_bStatusBack = false;
  int m_nEpoch = 0;  // counts the times status back came on
  std::map<const CSimInput*, StatusRound> m_rounds;
  SimClock::time_point m_restartEnd{};
  int m_nWrites = 0;
  int m_nRefused = 0;
  int m_nRestarts = 0;
};

// Registers the setup commands, the status back and the test print's commands (colour,
// cut, NUL). Register them first: a restarting printer ignores everything.
void RegisterSetupCommands(CSimPrinter& printer, CSimSetup& setup, CNvStore& store);

// The simulator's options for this: args[i] is one of them (i moves past its value), with
// error set for a bad value; false when args[i] is not one of them.
bool ParseSetupOption(const std::vector<std::string>& args, size_t& i, SetupSimOptions& options,
                      std::string& error);
const char* SetupOptionsHelp();

}  // namespace torva::sim
