#include "firmware/legacy_downloader.h"

#include <chrono>
#include <cstdio>

#include "app/app.h"
#include "app/messages.h"

namespace torva {

CLegacyDownloader::CLegacyDownloader(ILegacyLink& link, const LegacyAreaInfo& area, Events events)
    : m_link(link), m_area(area), m_events(std::move(events)), m_nProgress(area.nStart) {}

CLegacyDownloader::~CLegacyDownloader() { Finish(); }

int CLegacyDownloader::FrameCount() const {
  const uint32_t size = m_area.nEnd - m_area.nStart;
  return static_cast<int>((size + LegacyFrame::kMaxData - 1) / LegacyFrame::kMaxData);
}

bool CLegacyDownloader::Begin(const std::string& filePath, const std::string& fileName) {
  m_ePacing = m_link.Pacing();
  if (!m_link.Open()) {
    ShowMessage(theMsg[MsgId::InitFail], MsgIcon::Error);
    return false;
  }
  // Answers reach the download only through the watch thread; without it the printer's
  // ACK would never be seen.
  if (m_ePacing == LegacyPacing::Answered && !m_link.Receiving()) {
    m_link.Close();
    ShowMessage(theMsg[MsgId::InitFail], MsgIcon::Error);
    return false;
  }
  WriteSetting(kLegacySection, kLegacyFolderKey, filePath);
  WriteSetting(kLegacySection, kLegacyFileKey, fileName);
  if (!m_source.Open(filePath, m_area)) {
    m_link.Close();
    ShowMessage(theMsg[MsgId::FileOpenError], MsgIcon::Error);
    return false;
  }
  m_bOpen = true;
  m_eStep = LegacyStep::Waiting;
  m_frame = LegacyFrame::Erase(m_area);
  SetCaption("Erasing...");
  if (!SendFrame()) {
    Fail(theMsg[MsgId::WriteToPort]);
    ShowEndMessage();
    return false;
  }
  return true;
}

bool CLegacyDownloader::EraseWait(const std::atomic<bool>* cancel) {
  std::string caption = "Erasing...";
  for (int i = 0; i < kEraseSteps; ++i) {
    if (cancel != nullptr && cancel->load()) return false;
    Clock().SleepMs(m_area.nEraseStepMs);
    caption += '.';
    SetCaption(caption);
  }
  return true;
}

LegacyStep CLegacyDownloader::AfterErase(const std::atomic<bool>* cancel) {
  if (m_eStep != LegacyStep::Waiting || m_ePacing == LegacyPacing::Answered) return m_eStep;
  while (!m_source.AtEnd()) {
    if (cancel != nullptr && cancel->load()) {
      Cancel();
      return m_eStep;
    }
    m_source.BuildNextFrame(m_frame);
    ++m_nDataFrames;
    SetCaption(CaptionWriting(m_source.Address()));
    if (!SendFrame()) return Fail(theMsg[MsgId::WriteToPort]);
  }
  return Complete();
}

LegacyStep CLegacyDownloader::OnAnswers(const std::vector<uint8_t>& bytes) {
  for (const uint8_t b : bytes) {
    if (m_eStep != LegacyStep::Waiting) break;
    if (!m_bGotDle) {
      m_bGotDle = b == kDle;
      continue;
    }
    m_bGotDle = false;
    if (b == kAck) {
      if (m_source.AtEnd()) {
        Complete();
      } else {
        SendNext();
      }
    } else if (b == kNak) {
      if (m_nRepeats >= kMaxRepeats) {
        Fail(RefusedText(m_frame, m_nRepeats));
        break;
      }
      ++m_nRepeats;
      ++m_nTotalRepeats;
      if (!SendFrame()) Fail(theMsg[MsgId::WriteToPort]);
    }
  }
  return m_eStep;
}

LegacyStep CLegacyDownloader::SendNext() {
  m_source.BuildNextFrame(m_frame);
  ++m_nDataFrames;
  m_nRepeats = 0;
  SetCaption(CaptionWriting(m_source.Address()));
  if (!SendFrame()) return Fail(theMsg[MsgId::WriteToPort]);
  return m_eStep;
}

LegacyStep CLegacyDownloader::RunSerial(int timeoutMs,
                                        const std::function<bool()>& cancelRequested) {
  using std::chrono::steady_clock;
  constexpr int kSliceMs = 100;
  steady_clock::time_point last = steady_clock::now();
  while (m_eStep == LegacyStep::Waiting) {
    if (cancelRequested && cancelRequested()) {
      Cancel();
      break;
    }
    const std::vector<uint8_t> bytes = m_link.TakeAnswers();
    if (!bytes.empty()) {
      last = steady_clock::now();
      OnAnswers(bytes);
      continue;
    }
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(steady_clock::now() - last);
    if (waited.count() >= timeoutMs) {
      return Fail(NoAnswerText(m_frame, timeoutMs / 1000.0));
    }
    const int left = timeoutMs - static_cast<int>(waited.count());
    m_link.AwaitAnswers(left < kSliceMs ? left : kSliceMs);
  }
  return m_eStep;
}

void CLegacyDownloader::Cancel() {
  if (m_eStep == LegacyStep::Waiting) m_eStep = LegacyStep::Failed;
  m_strEndText.clear();
  Finish();
}

void CLegacyDownloader::ShowEndMessage() const {
  if (m_eStep == LegacyStep::Completed) {
    ShowMessage(m_strEndText, MsgIcon::Info);
  } else if (m_eStep == LegacyStep::Failed && !m_strEndText.empty()) {
    ShowMessage(m_strEndText, MsgIcon::Error);
  }
}

bool CLegacyDownloader::SendFrame() {
  m_nProgress = m_source.Address();
  if (m_events.progress) m_events.progress(m_nProgress);
  const bool ok = m_link.Write(m_frame.Bytes(), m_frame.Length());
  if (m_ePacing == LegacyPacing::Answered) {
    m_bGotDle = false;
  } else {
    Clock().SleepMs(kBackToBackGapMs);
  }
  return ok;
}

LegacyStep CLegacyDownloader::Complete() {
  m_eStep = LegacyStep::Completed;
  m_strEndText = theMsg[MsgId::Completed];
  Finish();
  return m_eStep;
}

LegacyStep CLegacyDownloader::Fail(std::string text) {
  m_eStep = LegacyStep::Failed;
  m_strEndText = std::move(text);
  Finish();
  return m_eStep;
}

void CLegacyDownloader::Finish() {
  if (!m_bOpen) return;
  m_bOpen = false;
  m_source.Close();
  m_link.Close();
}

void CLegacyDownloader::SetCaption(std::string caption) {
  m_strCaption = std::move(caption);
  if (m_events.caption) m_events.caption(m_strCaption);
}

std::string CLegacyDownloader::CaptionWriting(uint32_t address) {
  char text[32];
  std::snprintf(text, sizeof text, "Writing...(%lX)", static_cast<unsigned long>(address));
  return text;
}

std::string CLegacyDownloader::FrameName(const LegacyFrame& frame) {
  if (frame.IsErase()) return theMsg.IsKorean() ? "지우기 프레임" : "the erase frame";
  char text[48];
  std::snprintf(text, sizeof text,
                theMsg.IsKorean() ? "주소 %06lX의 프레임" : "the frame at address %06lX",
                static_cast<unsigned long>(frame.Address()));
  return text;
}

std::string CLegacyDownloader::RefusedText(const LegacyFrame& frame, int repeats) {
  char count[16];
  std::snprintf(count, sizeof count, "%d", repeats);
  if (theMsg.IsKorean()) {
    return "프린터가 " + FrameName(frame) + "을 " + count +
           "번 다시 보낸 뒤에도 거부했습니다. 펌웨어 전송을 중단했습니다.";
  }
  return "The printer refused " + FrameName(frame) + " again after " + count +
         " repeats. The firmware download was stopped.";
}

std::string CLegacyDownloader::NoAnswerText(const LegacyFrame& frame, double seconds) {
  char count[32];
  std::snprintf(count, sizeof count, "%g", seconds);
  if (theMsg.IsKorean()) {
    return "프린터가 " + FrameName(frame) + "에 " + count +
           "초 동안 응답하지 않았습니다. 펌웨어 전송을 중단했습니다.";
  }
  return "No answer from the printer for " + std::string(count) + " s to " + FrameName(frame) +
         ". The firmware download was stopped.";
}

}  // namespace torva
