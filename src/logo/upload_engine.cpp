#include "logo/upload_engine.h"

#include <cstdio>
#include <cstdlib>

#include "app/app.h"
#include "app/error_log.h"
#include "app/messages.h"
#include "app/services.h"
#include "logo/logo_bitmap.h"
#include "logo/nv_commands.h"
#include "logo/printer_link.h"
#include "logo/upload_check.h"

namespace torva {
namespace {
constexpr const char* kLogoSection = "LOGO";
constexpr const char* kLogoKeyFormat = "Logofile%d";

}  // namespace

std::string LogoFileKey(int number) { return "Logofile" + std::to_string(number); }

std::vector<std::string> ReadLogoFiles() {
  return ReadNumberedSettings(kLogoSection, kLogoKeyFormat, 1);
}

int g_nLogoKeyCount = 0;

CUploadEngine::CUploadEngine(CPrinterLink& link, const LogoEntryLists& entries, long totalBytes,
                             const LogoOptions& options, int& keyCount)
    : m_link(link),
      m_options(options),
      m_nKeyCount(keyCount),
      m_pRaster(std::make_unique<CLogoBitmap>(options)),
      m_nTotalBytes(totalBytes) {
  const std::size_t count = entries.Count();
  for (std::size_t i = 0; i < count && i < static_cast<std::size_t>(kLogoMaxImages); ++i) {
    Entry e;
    e.nNumber = std::atoi(entries.numbers[i].c_str());
    e.strName = i < entries.names.size() ? entries.names[i] : std::string();
    e.strPath = i < entries.paths.size() ? entries.paths[i] : std::string();
    e.nSize = i < entries.sizes.size() ? std::atol(entries.sizes[i].c_str()) : 0;
    m_entries.push_back(std::move(e));
  }
}

CUploadEngine::~CUploadEngine() = default;

bool CUploadEngine::IsNetwork() const { return m_link.IsNetwork(); }

bool CUploadEngine::Begin() {
  m_nProgressPos = 0;
  m_strStatus = "Erasing...";
  m_anOrder.clear();
  m_bCancel = m_bError = m_bCompleted = false;
  m_bSectionSaved = true;
  m_nBytesSent = 0;
  m_nStarted = 0;
  m_nSequence = 0;
  m_nOrderIndex = -1;
  m_nWaitTime = 0;

  // Pairwise exchange by ascending number: the k-th smallest number becomes printer image k.
  for (int i = 0; i < ImageCount(); ++i) m_anOrder.push_back(i);
  for (std::size_t i = 0; i < m_anOrder.size(); ++i) {
    for (std::size_t j = i + 1; j < m_anOrder.size(); ++j) {
      if (m_entries[static_cast<std::size_t>(m_anOrder[i])].nNumber >
          m_entries[static_cast<std::size_t>(m_anOrder[j])].nNumber) {
        std::swap(m_anOrder[i], m_anOrder[j]);
      }
    }
  }

  if (!m_link.Write(CNvCommands::DefineStart(ImageCount(), m_options.bStarEmulation))) {
    m_bError = true;
    ShowMessage(theMsg[MsgId::CommCannotTransmit], MsgIcon::Error);
    theLog.WriteLog("CProgress OnInitDialog[%d]", m_link.LastError());
    return false;
  }
  return true;
}

void CUploadEngine::WaitForErase() {
  Clock().SleepMs(m_link.IsNetwork() ? kEraseWaitNetworkMs : kEraseWaitMs);
}

UploadStep CUploadEngine::Tick() {
  if (m_bError) return UploadStep::Stopped;
  if (m_bCompleted) return UploadStep::Completed;
  // The first tick always sends; later ones end the upload once every image was begun.
  if (m_nSequence > 0 && m_nSequence >= ImageCount()) return Complete();
  return SendNextImage();
}

void CUploadEngine::SetStatus(long sent, long total, const std::string& name) {
  char text[64];
  std::snprintf(text, sizeof text, "Updating(%ld/%ld)...", sent, total);
  m_strStatus = text + name;
}

UploadStep CUploadEngine::FailWrite(const char* what, const std::vector<unsigned char>& bytes,
                                    long offset) {
  m_bError = true;
  ShowMessage(theMsg[MsgId::CommCannotTransmit], MsgIcon::Error);
  if (bytes.size() == 4) {
    theLog.WriteLog("CPrograss writeInstruction[%d]", m_link.LastError());
    theLog.WriteLog("CPrograss WriteInstruction [%02X-%02X-%02X-%02X]\n", bytes[0], bytes[1],
                    bytes[2], bytes[3]);
  } else {
    theLog.WriteLog("CPrograss %s[%d]", what, m_link.LastError());
    theLog.WriteLog("CPrograss WriteData image %d, %zu bytes at offset %ld\n", m_nSequence,
                    bytes.size(), offset);
  }
  return UploadStep::Stopped;
}

UploadStep CUploadEngine::SendNextImage() {
  m_nWaitTime = 0;
  ++m_nSequence;
  ++m_nOrderIndex;
  m_nStarted = m_nSequence;
  const int position = m_anOrder[static_cast<std::size_t>(m_nOrderIndex)];
  const Entry& entry = m_entries[static_cast<std::size_t>(position)];

  CLogoBitmap& raster = *m_pRaster;
  bool converted = raster.Load(entry.strPath);
  const int width8Before = (raster.Width() + 7) / 8 * 8;
  if (converted) {
    converted = m_options.bGrayPrint ? raster.MakeGrayRaster() : raster.MakeMonoRaster(position + 1);
  }
  if (!converted) return FailImage(entry, position);
  // Centring adds blank columns in front; the total grows by them.
  if (!m_options.bGrayPrint && raster.m_nWidth8 > width8Before) {
    m_nTotalBytes += static_cast<long>(raster.m_nWidth8 - width8Before) * (raster.m_nHeight8 / 8);
  }
  SetStatus(m_nBytesSent, m_nTotalBytes, entry.strName);

  const NvBytes header =
      CNvCommands::ImageHeader(raster.m_nWidth8, raster.m_nHeight8, m_options.bGrayPrint);
  if (!m_link.Write(header)) return FailWrite("writeInstruction", header, 0);

  long offset = 0;
  for (const int piece : CNvCommands::DataPieces(raster.m_nDataLength)) {
    const std::uint8_t* data = raster.m_abRaster + offset;
    if (!m_link.Write(data, piece)) {
      return FailWrite("writeData", std::vector<unsigned char>(data, data + piece), offset);
    }
    offset += piece;
    m_nBytesSent += piece;
    m_nProgressPos = m_nBytesSent / 100;
    SetStatus(m_nBytesSent, m_nTotalBytes, entry.strName);
    Clock().SleepMs(kPieceWaitMs);
  }
  if (m_nSequence < ImageCount()) m_nProgressPos = m_nBytesSent / 100;
  return UploadStep::Sent;
}

// A file that went away or changed after the check before the upload: no header of a
// guess. The printer still waits for the images the define start announced, so empty
// headers end the define command as a cancel does; then the upload stops as on a failed
// write.
UploadStep CUploadEngine::FailImage(const Entry& entry, int position) {
  m_bError = true;
  const UnsendableEntry failed{
      entry.strPath, UnsendableReason(*m_pRaster, position + 1).value_or(BmpStatusText(m_pRaster->Status()))};
  theLog.WriteLog("CPrograss Load [%s] failed: %s", entry.strPath.c_str(),
                  BmpStatusText(m_pRaster->Status()));
  const NvBytes empty = CNvCommands::EmptyHeaders(ImageCount() - m_nStarted + 1);
  if (!m_link.Write(empty)) {
    theLog.WriteLog("CPrograss empty headers[%d]", m_link.LastError());
    ShowMessage(theMsg[MsgId::WriteToPort], MsgIcon::Error);
  }
  ShowMessage(UnsendableText(failed, true), MsgIcon::Error);
  return UploadStep::Stopped;
}

UploadStep CUploadEngine::Complete() {
  m_bCompleted = true;
  if (!m_bCancel) WriteLogoSection();
  return UploadStep::Completed;
}

void CUploadEngine::WriteLogoSection() {
  const int count = ImageCount();
  bool ok = true;
  for (int i = 1; i <= count; ++i) {
    const Entry& e = m_entries[static_cast<std::size_t>(m_anOrder[static_cast<std::size_t>(i - 1)])];
    ok = WriteSetting(kLogoSection, LogoFileKey(i), e.strPath) && ok;
  }
  for (int i = count + 1; i <= m_nKeyCount; ++i) {
    ok = WriteSetting(kLogoSection, LogoFileKey(i), std::nullopt) && ok;
  }
  if (!ok) theLog.WriteLog("CUploadEngine LOGO section of %s not written", theApp().m_strProfilePath.c_str());
  m_bSectionSaved = ok;
  m_nKeyCount = count;
}

std::string CUploadEngine::LogoSectionNotSavedText() {
  return theMsg.IsKorean() ? "로고 목록을 설정 파일에 저장하지 못했습니다."
                           : "The logo list could not be saved to the settings file.";
}

void CUploadEngine::Cancel() {
  m_bCancel = true;
  m_nWaitTime = 0;
}

void CUploadEngine::CancelBySystem() {
  if (m_bError) return;
  m_bCancel = true;
  m_nWaitTime = 0;
  if (m_nOrderIndex >= 0) {
    m_nWaitTime = static_cast<int>(
        m_entries[static_cast<std::size_t>(m_anOrder[static_cast<std::size_t>(m_nOrderIndex)])].nSize);
  }
  if (m_nWaitTime > 0) Clock().SleepMs(m_nWaitTime * kSystemCancelMsPerByte);
}

CUploadEngine::Outcome CUploadEngine::Run(const std::function<void(const CUploadEngine&)>& progress,
                                          const std::function<bool()>& cancelRequested) {
  if (!Begin()) return Outcome::Failed;
  WaitForErase();
  for (;;) {
    Clock().SleepMs(kTimerMs);
    if (cancelRequested && cancelRequested()) {
      Cancel();
      return Outcome::Cancelled;
    }
    const UploadStep step = Tick();
    if (progress) progress(*this);
    if (step == UploadStep::Completed) return Outcome::Completed;
    if (step == UploadStep::Stopped) {
      Cancel();
      return Outcome::Failed;
    }
  }
}

}  // namespace torva
