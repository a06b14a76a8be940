// CPrintEngine: the print commands of the "Printing" dialog, one NV image per 300 ms timer
// tick: all 255 numbers, or the numbers of a selection (a RangeList), each optionally after
// the header line "--- Logo n ---", then a pause of one second. Nothing is read back: a
// number without a stored image is simply sent.
//
// Steps for a dialog: Begin() on initialisation, then Tick() on each timer tick until it
// returns Finished (the pause is done; end with OK) or Failed (a write failed, CommCannotTransmit
// was shown; end with OK). Cancel() is the Cancel button. Run() is the same paced by the clock
// service (timer period before each tick), for the command line and the tests.
#pragma once

#include <functional>
#include <string>

#include "logo/nv_commands.h"
#include "logo/print_range.h"

namespace torva {

class CPrinterLink;

// The print page's "&Print" is enabled for serial, parallel and USB printers and for
// "ETHERNET_II": not for printing to a file, not for WiFi.
bool PrintAllowedForPort(const std::string& portName);

struct PrintRequest {
  bool bSelection = false;  // false: all 255 numbers
  RangeList rangeList;      // the selection, from ParsePrintRange
  int nImageTotal = 0;      // prints of the selection (255 for all)
  NvPrintMode eMode = NvPrintMode::Normal;
  bool bHeader = false;
  bool bStarEmulation = false;
};

enum class PrintStep { Printed, Finished, Failed };

class CPrintEngine {
 public:
  static constexpr int kTimerMs = 300;
  static constexpr int kEndPauseMs = 1000;
  static constexpr int kAllImages = 255;

  CPrintEngine(CPrinterLink& link, PrintRequest request);

  void Begin();
  PrintStep Tick();
  void Cancel() { m_bCancel = true; }
  // The modal state ended by the system: the cancel flag unless a write failed.
  void CancelBySystem() {
    if (!m_bError) m_bCancel = true;
  }

  enum class Outcome { Finished, Cancelled, Failed };
  Outcome Run(const std::function<void(const CPrintEngine&)>& progress = {},
              const std::function<bool()>& cancelRequested = {});

  const std::string& StatusText() const { return m_strStatus; }
  int ProgressRange() const { return m_request.nImageTotal; }
  int ProgressPos() const { return m_nPrinted; }
  int Printed() const { return m_nPrinted; }
  bool Cancelled() const { return m_bCancel; }
  bool ErrorFlag() const { return m_bError; }

 private:
  // Header line and print command for number n; false when a write failed.
  bool PrintNumber(int n);
  PrintStep Finish();

  CPrinterLink& m_link;
  PrintRequest m_request;
  std::string m_strStatus;
  int m_nPrinted = 0;
  int m_nCurrent = 0;
  int m_nLast = 0;
  std::size_t m_nListPos = 0;
  bool m_bCancel = false;
  bool m_bError = false;
  bool m_bFinished = false;
};

}  // namespace torva
