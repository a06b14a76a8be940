#include "logo/logo_list.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/messages.h"
#include "app/services.h"
#include "logo/bmp_reader.h"

namespace torva {
namespace {
constexpr const char* kBitmapFilter = "Bitmap Files(*.bmp)|*.bmp||";

std::string NumberText(long number) {
  char text[32];
  std::snprintf(text, sizeof text, "%3ld", number);
  return text;
}

std::string SizeColumnText(long size) {
  char text[32];
  std::snprintf(text, sizeof text, "%15ld", size);
  return text;
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

LogoEntryLists g_logoEntries;

void LogoEntryLists::Clear() {
  numbers.clear();
  names.clear();
  sizes.clear();
  paths.clear();
}

CLogoList::CLogoList(LogoEntryLists& entries, LogoOptions& options)
    : m_entries(entries), m_options(options) {
  RebuildTexts();
}

long CLogoList::RasterSize(int width, int height, bool gray) {
  const long width8 = (static_cast<long>(width) + 7) / 8 * 8;
  const long heightBytes = height / 8 + (height % 8 != 0 ? 1 : 0);
  const long size = width8 * heightBytes;
  return gray ? size * 4 : size;
}

std::string CLogoList::SizeText(long totalBytes, int capacityKB) {
  const long usedKB = totalBytes / 1024 + (totalBytes % 1024 != 0 ? 1 : 0);
  char text[64];
  std::snprintf(text, sizeof text, "%3ld / %3d KByte", usedKB, capacityKB);
  return text;
}

std::string CLogoList::CountText(int imageCount) {
  char text[32];
  std::snprintf(text, sizeof text, "%3d / 255", imageCount);
  return text;
}

std::string CLogoList::TooLargeText(int width, int height) {
  char text[256];
  if (theMsg.IsKorean()) {
    std::snprintf(text, sizeof text,
                  "비트맵이 너무 큽니다 (%d x %d 도트).\r\n%d 도트, 래스터 %d 바이트까지 변환할 수 있습니다.",
                  width, height, kLogoWorkBytes, kLogoRasterBytes);
  } else {
    std::snprintf(text, sizeof text,
                  "The bitmap is too large (%d x %d dots).\r\nAt most %d dots and a raster of %d "
                  "bytes can be converted.",
                  width, height, kLogoWorkBytes, kLogoRasterBytes);
  }
  return text;
}

int CLogoList::EntryNumber(std::size_t i) const {
  return i < m_entries.numbers.size() ? std::atoi(m_entries.numbers[i].c_str()) : 0;
}

long CLogoList::EntrySize(std::size_t i) const {
  return i < m_entries.sizes.size() ? std::atol(m_entries.sizes[i].c_str()) : 0;
}

void CLogoList::RebuildTexts() {
  m_strCountText = CountText(m_nImageCount);
  m_strSizeText = SizeText(m_nTotalBytes, m_options.nCapacityKB);
}

void CLogoList::ResetList() {
  m_nImageCount = 0;
  m_nTotalBytes = 0;
  m_nFreeCount = 0;
  m_nFreeRead = 0;
  m_nFailedCount = 0;
  m_nFailureCount = 0;
  // The entries go with the counters, so that the lists never disagree with the count.
  m_entries.Clear();
  RebuildTexts();
}

void CLogoList::RecordFailure(int number, bool showFirst, MsgId message) {
  if (number >= 1 && m_nFailedCount < kLogoMaxImages) m_anFailedNumbers[m_nFailedCount++] = number;
  ++m_nFailureCount;
  if (showFirst && m_nFailureCount == 1) ShowMessage(theMsg[message], MsgIcon::Warning);
}

bool CLogoList::NumberInUse(int number) const {
  for (std::size_t i = 0; i < m_entries.Count(); ++i) {
    if (EntryNumber(i) == number) return true;
  }
  return false;
}

// Moves the numbers not yet handed out to the front, so that sorting never brings a number
// that was already taken back in front of the read position.
void CLogoList::CompactFreeNumbers() {
  if (m_nFreeRead == 0) return;
  std::copy(m_anFreeNumbers + m_nFreeRead, m_anFreeNumbers + m_nFreeCount, m_anFreeNumbers);
  m_nFreeCount -= m_nFreeRead;
  m_nFreeRead = 0;
}

void CLogoList::AddFreeNumber(int number) {
  CompactFreeNumbers();
  if (number < 1 || number > kLogoMaxImages) return;
  if (std::find(m_anFreeNumbers, m_anFreeNumbers + m_nFreeCount, number) !=
      m_anFreeNumbers + m_nFreeCount) {
    return;
  }
  if (m_nFreeCount < kLogoMaxImages) m_anFreeNumbers[m_nFreeCount++] = number;
  std::sort(m_anFreeNumbers, m_anFreeNumbers + m_nFreeCount);
}

void CLogoList::ReclaimFailedNumbers() {
  if (m_nFailedCount == 0) return;
  for (int i = 0; i < m_nFailedCount; ++i) {
    if (!NumberInUse(m_anFailedNumbers[i])) AddFreeNumber(m_anFailedNumbers[i]);
  }
  m_nFailedCount = 0;
}

int CLogoList::TakeNumber(int number) {
  int chosen;
  if (m_nFreeCount > 0) {
    chosen = m_anFreeNumbers[m_nFreeRead++];
    if (m_nFreeRead >= m_nFreeCount) m_nFreeRead = m_nFreeCount = 0;
  } else if (number >= 1) {
    chosen = number;
  } else {
    chosen = m_nImageCount;
  }
  // Two entries with one number would upload in an order nobody chose; take the smallest
  // free number instead.
  if (chosen < 1 || chosen > kLogoMaxImages || NumberInUse(chosen)) {
    for (chosen = 1; chosen < kLogoMaxImages && NumberInUse(chosen); ++chosen) {
    }
  }
  return chosen;
}

bool CLogoList::AddBitmap(const std::string& path, int number) {
  if (m_nImageCount > kLogoMaxImages - 1) {
    ShowMessage(theMsg[MsgId::CannotReadMoreFiles], MsgIcon::Info);
    return false;
  }
  BmpLayout layout;
  BmpStatus status = CBmpReader::ReadFile(path, kLogoWorkBytes, layout, nullptr);
  if (status == BmpStatus::Ok && m_options.bGrayPrint &&
      RasterSize(layout.nWidth, layout.nHeight, false) * 8 / 2 > kLogoRasterBytes) {
    status = BmpStatus::TooLarge;
  }
  if (status != BmpStatus::Ok) {
    // A file chosen by the user is told why; an entry of the settings file is reported once.
    const bool interactive = number < 1 && status != BmpStatus::OpenFailed;
    RecordFailure(number, !interactive, MsgId::LogFileBitmapsIncorrect);
    if (interactive) {
      if (status == BmpStatus::TooLarge) {
        ShowMessage(TooLargeText(layout.nWidth, layout.nHeight), MsgIcon::Warning);
      } else {
        ShowMessage(theMsg[MsgId::BitmapFormatNotSupported], MsgIcon::Info);
      }
    }
    return false;
  }
  const std::string name = FileNameOf(path);
  if (layout.nBitsPerPixel > 32) {
    ShowMessage(theMsg[MsgId::BitmapFormatNotSupported], MsgIcon::Info);
    return false;
  }
  const long size = RasterSize(layout.nWidth, layout.nHeight, m_options.bGrayPrint);
  if (m_nTotalBytes + size > static_cast<long>(m_options.nCapacityKB) * 1024) {
    if (m_nFailureCount != 0 || number >= 1) RecordFailure(number, true, MsgId::LogFileBitmapsIncorrect2);
    // A file the user chose is always told why, whatever failed before it.
    if (number < 1) ShowMessage(theMsg[MsgId::NvAreaTooSmall], MsgIcon::Info);
    return false;
  }

  const int freeRead = m_nFreeRead, freeCount = m_nFreeCount;
  ++m_nImageCount;
  const int chosen = TakeNumber(number);
  const std::size_t before = m_entries.Count();
  try {
    m_entries.numbers.push_back(NumberText(chosen));
    m_entries.names.push_back(name);
    m_entries.paths.push_back(number < 1 && !m_strLastBrowsedPath.empty() ? m_strLastBrowsedPath
                                                                          : path);
    m_entries.sizes.push_back(SizeColumnText(size));
  } catch (const std::bad_alloc&) {
    m_entries.numbers.resize(std::min(m_entries.numbers.size(), before));
    m_entries.names.resize(std::min(m_entries.names.size(), before));
    m_entries.paths.resize(std::min(m_entries.paths.size(), before));
    m_entries.sizes.resize(std::min(m_entries.sizes.size(), before));
    --m_nImageCount;
    m_nFreeRead = freeRead;
    m_nFreeCount = freeCount;
    ShowMessage(theMsg[MsgId::OutOfMemory], MsgIcon::Error);
    return false;
  }
  m_nTotalBytes += size;
  RebuildTexts();
  return true;
}

bool CLogoList::RemoveNumber(int number) {
  for (std::size_t i = 0; i < m_entries.Count(); ++i) {
    if (EntryNumber(i) != number) continue;
    --m_nImageCount;
    AddFreeNumber(number);
    m_nTotalBytes -= EntrySize(i);
    const auto at = static_cast<std::ptrdiff_t>(i);
    m_entries.numbers.erase(m_entries.numbers.begin() + at);
    m_entries.names.erase(m_entries.names.begin() + at);
    m_entries.sizes.erase(m_entries.sizes.begin() + at);
    m_entries.paths.erase(m_entries.paths.begin() + at);
    RebuildTexts();
    break;
  }
  return true;
}

bool CLogoList::BrowseAndAdd() {
  ReclaimFailedNumbers();
  const std::vector<std::string> files = Ui().OpenFiles("Open", kBitmapFilter, true);
  if (files.empty()) return true;  // cancelled
  if (std::all_of(files.begin(), files.end(), [](const std::string& f) { return f.empty(); })) {
    m_strLastBrowsedPath.clear();
    return false;
  }
  for (const std::string& file : files) {
    if (file.empty()) continue;
    m_strLastBrowsedPath = file;
    if (!AddBitmap(file, 0)) break;
  }
  return true;
}

}  // namespace torva
