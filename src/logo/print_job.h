// CPrintJob: the print page's "&Print" button around the "Printing" dialog.
//
//   Begin()   opens the connection (the print rules of CPrinterLink), then takes all 255
//             numbers or parses the selection (NvImageNumberIncorrect when refused). True: run the
//             dialog over Engine(), then call End. False: Result() says why.
//   End(ok)   closes the connection.
//   Run()     all of it with the engine's own clock-paced run.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "logo/print_engine.h"

namespace torva {

class CPrinterLink;

struct PrintSettings {
  bool bSelection = false;       // "Printing &Range": All or Selection
  std::string strSelection;      // the selection text
  NvPrintMode eMode = NvPrintMode::Normal;
  bool bHeader = false;          // "Add Header"
  bool bStarEmulation = false;
};

enum class PrintResult { Printed, InvalidRange, NotConnected, Failed, Cancelled, Running };

class CPrintJob {
 public:
  CPrintJob(CPrinterLink& link, PrintSettings settings);
  ~CPrintJob();
  CPrintJob(const CPrintJob&) = delete;
  CPrintJob& operator=(const CPrintJob&) = delete;

  bool Begin();
  CPrintEngine& Engine() { return *m_pEngine; }
  PrintResult End(bool dialogOk);
  PrintResult Run(const std::function<void(const CPrintEngine&)>& progress = {},
                  const std::function<bool()>& cancelRequested = {});
  PrintResult Result() const { return m_eResult; }

 private:
  CPrinterLink& m_link;
  PrintSettings m_settings;
  std::unique_ptr<CPrintEngine> m_pEngine;
  PrintResult m_eResult = PrintResult::Running;
};

}  // namespace torva
