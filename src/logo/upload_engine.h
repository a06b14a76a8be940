// CUploadEngine: the bytes, order and pacing of an NV image upload (the "Uploading" dialog).
// One define command carries every image of the list: [1B] 1C 71 n, the erase pause, then
// for each image in ascending list-number order its 4-byte header and its data in pieces of
// 512 bytes with 10 ms pauses. After the last image the LOGO section of the settings file
// is rewritten so that the next session starts with the same bitmaps in the same order.
//
// The engine has explicit steps so that a dialog drives it with its timers:
//
//   Begin()          on initialisation; false: the dialog ends at once (with OK)
//   WaitForErase()   right after Begin, still in the initialisation
//   Tick()           on each 10 ms timer tick: one whole image, or the completion
//   Cancel()         the Cancel button;  CancelBySystem(): the system ends the modal state
//
// Tick returns Sent (start the timer again), Completed (end with OK) or Stopped (a write
// failed, or a file could no longer be converted and empty headers ended the define
// command: start no timer, wait for Cancel). Run() is the same sequence paced by the clock
// service, for the command line and the tests; the printer sees the same bytes in the same
// order with the same waits either way. Every wait goes through torva::Clock().
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "logo/logo_list.h"
#include "logo/logo_options.h"

namespace torva {

class CLogoBitmap;
class CPrinterLink;

// The number of "Logofile%d" keys the LOGO section holds as far as the logo pages know:
// the keys read when the logo property sheet opened, or written by the last complete
// upload. The keys from the new count up to this one are removed after an upload.
extern int g_nLogoKeyCount;

// The settings file's logo list: section LOGO, keys Logofile1, Logofile2, ... in list order.
// The upload rewrites it; the logo pages and the command line read it back.
std::string LogoFileKey(int number);
std::vector<std::string> ReadLogoFiles();

enum class UploadStep { Sent, Completed, Stopped };

class CUploadEngine {
 public:
  static constexpr int kEraseWaitMs = 3500;
  static constexpr int kEraseWaitNetworkMs = 5000;
  static constexpr int kTimerMs = 10;       // period of the image timers
  static constexpr int kPieceWaitMs = 10;   // pause after each data piece
  static constexpr int kSystemCancelMsPerByte = 2;

  // entries: the list to upload (positions, numbers, names, sizes, paths); totalBytes: the
  // list's raster total at start; keyCount: the remembered key count (g_nLogoKeyCount).
  CUploadEngine(CPrinterLink& link, const LogoEntryLists& entries, long totalBytes,
                const LogoOptions& options, int& keyCount = g_nLogoKeyCount);
  ~CUploadEngine();
  CUploadEngine(const CUploadEngine&) = delete;
  CUploadEngine& operator=(const CUploadEngine&) = delete;

  // Status "Erasing...", the upload order, the define start. False when the define start
  // could not be written: error flag, CommCannotTransmit, the log line.
  bool Begin();
  // The pause while the printer erases its NV memory: 3500 ms, 5000 ms on a network.
  void WaitForErase();
  UploadStep Tick();
  // Cancel button: the cancel flag; no wait afterwards.
  void Cancel();
  // The modal state ended by the system: unless a write failed, the cancel flag, a wait of
  // the current image's size in milliseconds afterwards, and 2 ms per byte of it now.
  void CancelBySystem();

  enum class Outcome { Completed, Cancelled, Failed };
  // Begin, WaitForErase, then a timer period and a Tick until the upload ends. progress is
  // called after each tick; cancelRequested is asked before each tick (a true answer acts
  // as the Cancel button). A Stopped tick is cancelled at once: Failed.
  Outcome Run(const std::function<void(const CUploadEngine&)>& progress = {},
              const std::function<bool()>& cancelRequested = {});

  // What the dialog shows.
  const std::string& StatusText() const { return m_strStatus; }
  long ProgressRange() const { return m_nTotalBytes / 100; }
  long ProgressPos() const { return m_nProgressPos; }
  // State the page reads afterwards.
  bool Cancelled() const { return m_bCancel; }
  // False after a complete upload whose LOGO section rewrite failed (the log line
  // written): the printer holds the images, the next session would not list them.
  bool LogoSectionSaved() const { return m_bSectionSaved; }
  // What the user is told then, in the language of the messages.
  static std::string LogoSectionNotSavedText();
  bool ErrorFlag() const { return m_bError; }
  int WaitTimeMs() const { return m_nWaitTime; }
  int ImageCount() const { return static_cast<int>(m_entries.size()); }
  int Started() const { return m_nStarted; }
  int Sequence() const { return m_nSequence; }
  long BytesSent() const { return m_nBytesSent; }
  long TotalBytes() const { return m_nTotalBytes; }
  // The list positions in the order they are sent (ascending number).
  const std::vector<int>& UploadOrder() const { return m_anOrder; }
  bool IsNetwork() const;

 private:
  struct Entry {
    int nNumber = 0;
    std::string strName;
    std::string strPath;
    long nSize = 0;
  };
  UploadStep SendNextImage();
  UploadStep Complete();
  UploadStep FailImage(const Entry& entry, int position);
  UploadStep FailWrite(const char* what, const std::vector<unsigned char>& bytes, long offset);
  void SetStatus(long sent, long total, const std::string& name);
  void WriteLogoSection();

  CPrinterLink& m_link;
  const LogoOptions& m_options;
  int& m_nKeyCount;
  std::vector<Entry> m_entries;
  std::vector<int> m_anOrder;
  std::unique_ptr<CLogoBitmap> m_pRaster;
  int m_nSequence = 0;
  int m_nOrderIndex = -1;
  int m_nStarted = 0;
  long m_nBytesSent = 0;
  long m_nTotalBytes = 0;
  long m_nProgressPos = 0;
  bool m_bCancel = false;
  bool m_bError = false;
  bool m_bCompleted = false;
  bool m_bSectionSaved = true;
  int m_nWaitTime = 0;
  std::string m_strStatus;
};

}  // namespace torva
