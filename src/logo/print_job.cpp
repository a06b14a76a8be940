#include "logo/print_job.h"

#include "app/messages.h"
#include "app/services.h"
#include "logo/printer_link.h"

namespace torva {

CPrintJob::CPrintJob(CPrinterLink& link, PrintSettings settings)
    : m_link(link), m_settings(std::move(settings)) {}

CPrintJob::~CPrintJob() { m_link.Close(); }

bool CPrintJob::Begin() {
  m_pEngine.reset();
  m_eResult = PrintResult::Running;
  if (!m_link.OpenForPrint()) {
    m_eResult = PrintResult::NotConnected;
    return false;
  }
  PrintRequest request;
  request.bSelection = m_settings.bSelection;
  request.eMode = m_settings.eMode;
  request.bHeader = m_settings.bHeader;
  request.bStarEmulation = m_settings.bStarEmulation;
  if (m_settings.bSelection) {
    if (!ParsePrintRange(m_settings.strSelection, request.rangeList, request.nImageTotal)) {
      ShowMessage(theMsg[MsgId::NvImageNumberIncorrect], MsgIcon::Warning);
      m_link.Close();
      m_eResult = PrintResult::InvalidRange;
      return false;
    }
  }
  m_pEngine = std::make_unique<CPrintEngine>(m_link, std::move(request));
  return true;
}

PrintResult CPrintJob::End(bool dialogOk) {
  if (m_pEngine) {
    if (m_pEngine->ErrorFlag()) {
      m_eResult = PrintResult::Failed;
    } else if (m_pEngine->Cancelled() || !dialogOk) {
      m_eResult = PrintResult::Cancelled;
    } else {
      m_eResult = PrintResult::Printed;
    }
  }
  m_link.Close();
  return m_eResult;
}

PrintResult CPrintJob::Run(const std::function<void(const CPrintEngine&)>& progress,
                           const std::function<bool()>& cancelRequested) {
  if (!Begin()) return m_eResult;
  const CPrintEngine::Outcome outcome = m_pEngine->Run(progress, cancelRequested);
  return End(outcome == CPrintEngine::Outcome::Finished);
}

}  // namespace torva
