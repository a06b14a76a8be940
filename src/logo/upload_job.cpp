#include "logo/upload_job.h"

#include "app/messages.h"
#include "app/services.h"
#include "logo/nv_commands.h"
#include "logo/printer_link.h"
#include "logo/upload_check.h"

namespace torva {
namespace {

}  // namespace

CUploadJob::CUploadJob(CPrinterLink& link, const CLogoList& list, const LogoEntryLists& entries,
                       const LogoOptions& options, int modelCode, int& keyCount)
    : m_link(link),
      m_list(list),
      m_entries(entries),
      m_options(options),
      m_nModelCode(modelCode),
      m_nKeyCount(keyCount) {}

CUploadJob::~CUploadJob() { m_link.Close(); }

bool CUploadJob::Begin() {
  m_pEngine.reset();
  m_eResult = UploadResult::Running;
  if (CNvCommands::NeedsTorva30Notice(m_nModelCode, m_list.UsedKB())) {
    Ui().Message(CNvCommands::Torva30NoticeText(), CNvCommands::Torva30NoticeTitle(),
                 MsgIcon::Info);
    m_eResult = UploadResult::Refused;
    return false;
  }
  if (m_entries.Count() == 0) {
    m_eResult = Erase();
    return false;
  }
  // The define start erases the printer's images: an entry that cannot be sent is found
  // now, while nothing has gone out.
  if (const auto unsendable = FindUnsendableEntry(m_entries, m_options)) {
    ShowMessage(UnsendableText(*unsendable, false), MsgIcon::Error);
    m_eResult = UploadResult::Refused;
    return false;
  }
  if (!AskQuestion(theMsg[MsgId::AllImagesWritten])) {
    m_eResult = UploadResult::NotConfirmed;
    return false;
  }
  if (!m_link.OpenForUpload()) {
    m_eResult = UploadResult::NotConnected;
    return false;
  }
  m_pEngine = std::make_unique<CUploadEngine>(m_link, m_entries, m_list.m_nTotalBytes, m_options,
                                              m_nKeyCount);
  return true;
}

UploadResult CUploadJob::Erase() {
  if (!AskQuestion(theMsg[MsgId::EraseAllQuestion])) return UploadResult::NotConfirmed;
  if (!m_link.OpenForErase()) return UploadResult::NotConnected;
  const bool ok = m_link.Write(CNvCommands::EraseAll());
  if (!ok) ShowMessage(theMsg[MsgId::WriteToPort], MsgIcon::Error);
  m_link.Close();
  return ok ? UploadResult::Erased : UploadResult::Failed;
}

UploadResult CUploadJob::End(bool dialogOk) {
  if (!m_pEngine) return m_eResult;
  CUploadEngine& engine = *m_pEngine;
  if (engine.ErrorFlag()) {
    m_eResult = UploadResult::Failed;
  } else if (engine.Cancelled()) {
    m_eResult = UploadResult::Cancelled;
    // The printer still waits for the images that were announced: empty headers stand in.
    const int groups = engine.ImageCount() - engine.Started() + 1;
    if (!m_link.Write(CNvCommands::EmptyHeaders(groups))) {
      ShowMessage(theMsg[MsgId::WriteToPort], MsgIcon::Error);
    }
    if (engine.WaitTimeMs() > 0) Clock().SleepMs(engine.WaitTimeMs());
  } else if (dialogOk) {
    m_eResult = UploadResult::Completed;
    ShowMessage(theMsg[MsgId::NvDefinitionComplete]);
    if (!engine.LogoSectionSaved()) {
      m_eResult = UploadResult::ListNotSaved;
      ShowMessage(CUploadEngine::LogoSectionNotSavedText(), MsgIcon::Warning);
    }
  } else {
    m_eResult = UploadResult::Cancelled;
  }
  m_link.Close();
  return m_eResult;
}

UploadResult CUploadJob::Run(const std::function<void(const CUploadEngine&)>& progress,
                             const std::function<bool()>& cancelRequested) {
  if (!Begin()) return m_eResult;
  const CUploadEngine::Outcome outcome = m_pEngine->Run(progress, cancelRequested);
  return End(outcome == CUploadEngine::Outcome::Completed);
}

}  // namespace torva
