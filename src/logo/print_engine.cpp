#include "logo/print_engine.h"

#include <cstdio>
#include <cstdlib>

#include "app/error_log.h"
#include "app/messages.h"
#include "app/services.h"
#include "logo/printer_link.h"

namespace torva {
namespace {

}  // namespace

bool PrintAllowedForPort(const std::string& portName) {
  switch (LinkKindOfPort(portName)) {
    case LinkKind::Serial:
    case LinkKind::Parallel:
    case LinkKind::Usb:
    case LinkKind::Network:
      return true;
    case LinkKind::File:
    case LinkKind::Unreachable:
      break;
  }
  return false;
}

CPrintEngine::CPrintEngine(CPrinterLink& link, PrintRequest request)
    : m_link(link), m_request(std::move(request)) {
  if (!m_request.bSelection) m_request.nImageTotal = kAllImages;
}

void CPrintEngine::Begin() {
  m_strStatus.clear();
  m_nPrinted = m_nCurrent = m_nLast = 0;
  m_nListPos = 0;
  m_bError = m_bFinished = false;
}

PrintStep CPrintEngine::Finish() {
  if (!m_bFinished) {
    m_bFinished = true;
    Clock().SleepMs(kEndPauseMs);
  }
  return PrintStep::Finished;
}

PrintStep CPrintEngine::Tick() {
  if (m_bError) return PrintStep::Failed;
  if (m_bFinished) return PrintStep::Finished;
  if (!m_request.bSelection) {
    if (m_nPrinted > kAllImages - 1) return Finish();
    return PrintNumber(m_nPrinted + 1) ? PrintStep::Printed : PrintStep::Failed;
  }
  if (m_nPrinted >= m_request.nImageTotal) return Finish();
  const RangeList& list = m_request.rangeList;
  if (m_nCurrent == m_nLast) {
    if (m_nListPos >= list.size()) return Finish();  // a total larger than its list
    const int e = std::atoi(list[m_nListPos++].c_str());
    if (e <= kRangeSingleOffset) {
      m_nCurrent = e;
      m_nLast = m_nListPos < list.size() ? std::atoi(list[m_nListPos++].c_str()) : e;
    } else {
      m_nCurrent = m_nLast = e - kRangeSingleOffset;
    }
  } else {
    ++m_nCurrent;
  }
  return PrintNumber(m_nCurrent) ? PrintStep::Printed : PrintStep::Failed;
}

bool CPrintEngine::PrintNumber(int n) {
  bool ok = true;
  if (m_request.bHeader && !m_bCancel) ok = m_link.Write(CNvCommands::HeaderLine(n));
  if (m_bCancel) return true;
  if (ok) ok = m_link.Write(CNvCommands::PrintImage(n, m_request.eMode, m_request.bStarEmulation));
  if (!ok) {
    m_bError = true;
    ShowMessage(theMsg[MsgId::CommCannotTransmit], MsgIcon::Error);
    theLog.WriteLog("CPrintEngine print %d failed[%d]", n, m_link.LastError());
    return false;
  }
  ++m_nPrinted;
  char text[48];
  std::snprintf(text, sizeof text, "Printing... %d/255", m_nPrinted);
  m_strStatus = text;
  return true;
}

CPrintEngine::Outcome CPrintEngine::Run(const std::function<void(const CPrintEngine&)>& progress,
                                        const std::function<bool()>& cancelRequested) {
  Begin();
  for (;;) {
    Clock().SleepMs(kTimerMs);
    if (cancelRequested && cancelRequested()) {
      Cancel();
      return Outcome::Cancelled;
    }
    const PrintStep step = Tick();
    if (progress) progress(*this);
    if (step == PrintStep::Finished) return Outcome::Finished;
    if (step == PrintStep::Failed) return Outcome::Failed;
  }
}

}  // namespace torva
