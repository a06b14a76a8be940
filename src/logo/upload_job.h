// CUploadJob: the upload page's "&Upload" button around the "Uploading" dialog.
//
//   Begin()   the TORVA30/35 128 KB notice, the check that every entry can be sent (its
//             file and reason told otherwise), the question, the connection; an empty list is
//             erased here (EraseAllQuestion, the erase sequence). True: run the dialog over
//             Engine(), then call End. False: the job is over, Result() says how.
//   End(ok)   "Complete the NV bit image definition." after a complete upload, followed
//             by a warning when the LOGO section could not be rewritten; after a
//             cancel without a write error the empty headers and the dialog's wait; the
//             connection closed.
//   Run()     all of it with the engine's own clock-paced run (command line, tests).
//
// The link must outlive the job; the job closes it when it ends.
#pragma once

#include <functional>
#include <memory>

#include "logo/logo_list.h"
#include "logo/upload_engine.h"

namespace torva {

class CPrinterLink;

enum class UploadResult {
  Completed,     // every image sent, the LOGO section rewritten
  ListNotSaved,  // every image sent, but the LOGO section could not be rewritten (told)
  Erased,        // an empty list: the NV memory was erased
  NotConfirmed,  // the question was answered No
  Refused,       // the TORVA30/35 notice, or an entry that cannot be sent, stopped it
  NotConnected,  // the connection could not be opened (message shown)
  Failed,        // a write failed (message shown)
  Cancelled,     // cancelled between images
  Running,       // the dialog is still to run or running
};

// A result that means the job did what it was asked.
inline bool UploadSucceeded(UploadResult r) {
  return r == UploadResult::Completed || r == UploadResult::Erased;
}

class CUploadJob {
 public:
  CUploadJob(CPrinterLink& link, const CLogoList& list, const LogoEntryLists& entries,
             const LogoOptions& options, int modelCode, int& keyCount = g_nLogoKeyCount);
  ~CUploadJob();
  CUploadJob(const CUploadJob&) = delete;
  CUploadJob& operator=(const CUploadJob&) = delete;

  bool Begin();
  // Valid between a true Begin and End.
  CUploadEngine& Engine() { return *m_pEngine; }
  UploadResult End(bool dialogOk);
  UploadResult Run(const std::function<void(const CUploadEngine&)>& progress = {},
                   const std::function<bool()>& cancelRequested = {});
  UploadResult Result() const { return m_eResult; }

 private:
  UploadResult Erase();

  CPrinterLink& m_link;
  const CLogoList& m_list;
  const LogoEntryLists& m_entries;
  const LogoOptions& m_options;
  int m_nModelCode;
  int& m_nKeyCount;
  std::unique_ptr<CUploadEngine> m_pEngine;
  UploadResult m_eResult = UploadResult::Running;
};

}  // namespace torva
