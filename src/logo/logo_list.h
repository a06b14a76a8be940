// CLogoList: the bitmaps chosen for the NV memory, shared by every logo page and the upload.
// Each entry has a number ("%3d"), a file name, a raster size in bytes ("%15d") and a full
// path, kept in four parallel text lists so that the list views can show and sort them.
// The list keeps the running totals, the count and size texts, and the numbering rules: the
// numbers released by removals and by settings-file entries that failed are reused first,
// smallest first.
//
// Every operation leaves the list as it was when it fails. Messages go through the user
// interface service (theMsg texts 16, 43 to 47, and our own text for an oversized image).
#pragma once

#include <string>
#include <vector>

#include "app/message_ids.h"
#include "logo/logo_limits.h"
#include "logo/logo_options.h"

namespace torva {

struct LogoEntryLists {
  std::vector<std::string> numbers;  // "%3d"
  std::vector<std::string> names;    // file name after the last path separator
  std::vector<std::string> sizes;    // raster bytes, "%15d"
  std::vector<std::string> paths;    // full path
  void Clear();
  std::size_t Count() const { return numbers.size(); }
};

// The lists every page and the upload dialog see.
extern LogoEntryLists g_logoEntries;

class CLogoList {
 public:
  explicit CLogoList(LogoEntryLists& entries = g_logoEntries,
                     LogoOptions& options = theLogoOptions);

  // number: 0 for a file chosen by the user, the settings-file index 1..255 for an entry
  // read from the settings file. False when the file was not added.
  bool AddBitmap(const std::string& path, int number);
  // Removes the entry with that number and frees the number. Always true.
  bool RemoveNumber(int number);
  // Empties the list, its totals and the free-number and failed-entry lists.
  void ResetList();
  // The multi-select file dialog, then AddBitmap (path, 0) for each chosen file until one
  // fails. False only when the dialog was confirmed without a file name.
  bool BrowseAndAdd();
  // Numbers of settings-file entries that failed become free numbers for the next adds.
  void ReclaimFailedNumbers();

  // Raster bytes of an image of width x height dots: width rounded up to 8 times the height
  // in 8-dot rows, rounded up; four times that in grey.
  static long RasterSize(int width, int height, bool gray);
  // "%3ld / %3d KByte": used KB rounded up.
  static std::string SizeText(long totalBytes, int capacityKB);
  static std::string CountText(int imageCount);
  // Our message for an image the converter cannot hold.
  static std::string TooLargeText(int width, int height);

  // Entry accessors, by list position.
  int EntryNumber(std::size_t i) const;
  long EntrySize(std::size_t i) const;
  long UsedKB() const { return (m_nTotalBytes + 1023) / 1024; }

  int m_nImageCount = 0;
  long m_nTotalBytes = 0;
  std::string m_strCountText;
  std::string m_strSizeText;
  std::string m_strLastBrowsedPath;

 private:
  void RebuildTexts();
  void RecordFailure(int number, bool showFirst, MsgId message);
  int TakeNumber(int number);
  bool NumberInUse(int number) const;
  void AddFreeNumber(int number);
  void CompactFreeNumbers();

  LogoEntryLists& m_entries;
  LogoOptions& m_options;
  int m_anFreeNumbers[kLogoMaxImages] = {};
  int m_nFreeCount = 0;
  int m_nFreeRead = 0;
  int m_anFailedNumbers[kLogoMaxImages] = {};
  int m_nFailedCount = 0;
  int m_nFailureCount = 0;
};

}  // namespace torva
