#include "firmware/fw_download.h"

#include <algorithm>
#include <chrono>

#include "app/error_log.h"
#include "app/messages.h"
#include "app/services.h"
#include "firmware/fw_sink.h"

namespace torva {

FwButtons ButtonsAfter(FwOutcome outcome) {
  switch (outcome) {
    case FwOutcome::WrongSize:
    case FwOutcome::NotConfirmed:
      return {false, true};
    case FwOutcome::PrinterNotReady:
      return {true, false};
    case FwOutcome::Running:
    case FwOutcome::PortNotOpened:
    case FwOutcome::WriteError:
    case FwOutcome::PrinterCheck:
      return {false, false};
    case FwOutcome::Completed:
    case FwOutcome::OpenFailed:
    case FwOutcome::InitFail:
    case FwOutcome::OutOfMemory:
    case FwOutcome::ShortRead:
    case FwOutcome::WrongFile:
    case FwOutcome::Refused:
    case FwOutcome::SendFailed:
    case FwOutcome::Stopped:
      break;
  }
  return {true, true};
}

std::string LcdFontQuestion() {
  return theMsg.IsKorean() ? "LCD 폰트를 다운로드 하시겠습니까?"
                           : "Are you sure the LCD Font area download?";
}

std::string AreaQuestion(FirmwareArea area) {
  switch (area) {
    case FirmwareArea::Program:
      return {};
    case FirmwareArea::ExtFont:
      return theMsg[MsgId::AskExtFontArea];
    case FirmwareArea::LcdFont:
      return LcdFontQuestion();
    case FirmwareArea::Downloader:
      return theMsg[MsgId::AskDownloaderArea];
    case FirmwareArea::Boot:
      return theMsg[MsgId::AskBootArea];
  }
  return {};
}

CFirmwareDownload::CFirmwareDownload(IFirmwareSink& sink) : m_sink(sink) {}

CFirmwareDownload::~CFirmwareDownload() {
  RequestStop();
  Join();
}

int CFirmwareDownload::ChunkLimitMs(int length, int baud) {
  if (baud <= 0) baud = 9600;
  const long long lineMs = static_cast<long long>(length) * 11 * 1000 / baud;
  return static_cast<int>(lineMs * kChunkTimeMargin + kChunkAllowanceMs);
}

unsigned CFirmwareDownload::Percent(uint32_t position, uint32_t range) {
  if (range == 0) return 0;
  return static_cast<unsigned>(static_cast<uint64_t>(std::min(position, range)) * 100u / range);
}

FwOutcome CFirmwareDownload::Fail(FwOutcome outcome) {
  m_eOutcome = outcome;
  return outcome;
}

bool CFirmwareDownload::Prepare(const FwRequest& request) {
  Join();
  m_request = request;
  m_block.reset();
  m_bStop = false;
  m_bDataSent = false;
  m_nError = 0;
  m_nRange = 0;
  m_nPosition = 0;
  m_nSent = 0;
  m_nBytesWritten = 0;
  m_eOutcome = FwOutcome::Running;
  // Service areas are an explicit choice; nothing reaches them by accident.
  if (IsServiceArea(request.eArea) && !request.bServiceMode) {
    theLog.WriteLog("Firmware: the %s area needs service mode\r\n", AreaName(request.eArea));
    Fail(FwOutcome::Refused);
    ShowMessage(OutcomeText(), MsgIcon::Error);
    return false;
  }

  CFirmwareFile file;
  if (file.Open(request.strPath) != ImageCheck::Ok) {
    ShowImageCheck(ImageCheck::OpenFailed, 0);
    m_sink.Close();
    Fail(FwOutcome::OpenFailed);
    return false;
  }
  m_nFileSize = file.Size();
  if (file.CheckSize() != ImageCheck::Ok) {
    ShowImageCheck(ImageCheck::WrongSize, m_nFileSize);
    Fail(FwOutcome::WrongSize);
    return false;
  }
  const std::string question = AreaQuestion(request.eArea);
  if (!question.empty() && !AskQuestion(question)) {
    Fail(FwOutcome::NotConfirmed);
    return false;
  }
  if (m_sink.Kind() != SinkKind::Network && !m_sink.Reopen()) {
    ShowMessage(theMsg[MsgId::InitFail], MsgIcon::Error);
    Fail(FwOutcome::InitFail);
    return false;
  }

  std::optional<CFirmwareImage> image;
  const ImageCheck check = file.ReadImage(image);
  if (check != ImageCheck::Ok) {
    ShowImageCheck(check, m_nFileSize);
    m_sink.Close();
    Fail(check == ImageCheck::OutOfMemory ? FwOutcome::OutOfMemory
         : check == ImageCheck::WrongFile ? FwOutcome::WrongFile
                                          : FwOutcome::ShortRead);
    return false;
  }
  if (request.eArea == FirmwareArea::Boot && !image->BootVersionValid()) {
    theLog.WriteLog("Firmware: boot version %d is not 1..10\r\n", image->BootVersion());
    m_sink.Close();
    Fail(FwOutcome::Refused);
    ShowMessage(OutcomeText(), MsgIcon::Error);
    return false;
  }
  m_block = DownloadBlock::Build(*image, request.eArea, request.nModel);
  m_nRange = m_block->Size() + kFlashRange;
  return true;
}

void CFirmwareDownload::SetProgress(uint32_t position) {
  m_nPosition = std::min(position, m_nRange.load());
  if (m_fnProgress) m_fnProgress();
}

FwOutcome CFirmwareDownload::WriteWithRetries(const uint8_t* data, int length) {
  const SinkKind kind = m_sink.Kind();
  const int limitMs =
      kind == SinkKind::Serial ? ChunkLimitMs(length, m_sink.BaudRate()) : kPrinterWriteLimitMs;
  int done = 0;
  for (int attempt = 1;; ++attempt) {
    const CPorts::ChunkWrite r = m_sink.Write(data + done, length - done, limitMs, &m_bStop);
    done += r.nWritten;
    m_nBytesWritten += static_cast<uint32_t>(r.nWritten);
    if (r.bStopped) return FwOutcome::Stopped;
    if (done == length && !r.bTimedOut && r.nError == 0) return FwOutcome::Running;
    m_nError = r.nError;
    theLog.WriteLog("Firmware: write at block offset 0x%X failed (%s, error %d, try %d)\r\n",
                    static_cast<unsigned>(m_nSent.load()) + static_cast<unsigned>(done),
                    r.bTimedOut ? "time-out" : "error", r.nError, attempt);
    if (kind == SinkKind::Port) return FwOutcome::WriteError;
    // A serial chunk the line did not send in its time: the printer does not take data.
    if (kind == SinkKind::Serial && r.bTimedOut) return FwOutcome::PrinterNotReady;
    if (attempt >= kWriteAttempts) {
      return kind == SinkKind::Serial ? FwOutcome::PrinterNotReady : FwOutcome::SendFailed;
    }
    Clock().SleepMs(kRetryPauseMs);
    if (m_bStop) return FwOutcome::Stopped;
  }
}

FwOutcome CFirmwareDownload::SendData() {
  const bool network = m_sink.Kind() == SinkKind::Network;
  if (network) {
    if (!m_sink.Connect()) return FwOutcome::PrinterCheck;
  } else if (!m_sink.IsOpen()) {
    return FwOutcome::PortNotOpened;
  }
  const std::span<const uint8_t> bytes = m_block->Bytes();
  const uint32_t size = m_block->Size();
  const uint32_t chunkMax = network ? kNetworkChunk : kPortChunk;
  while (m_nSent < size) {
    if (m_bStop) return FwOutcome::Stopped;
    const uint32_t sent = m_nSent;
    const uint32_t chunk = std::min(size - sent, chunkMax);
    const FwOutcome o = WriteWithRetries(bytes.data() + sent, static_cast<int>(chunk));
    if (o != FwOutcome::Running) return o;
    m_nSent = sent + chunk;
    SetProgress(m_nSent);
  }
  return FwOutcome::Running;
}

FwOutcome CFirmwareDownload::FlashWait(int step, uint32_t extra) {
  const uint32_t size = m_block->Size();
  const int stepMs = static_cast<int>(static_cast<uint64_t>(size) * 2 / kFlashRange);
  // Each step ends stepMs after the one before it, so that what a sleep overshoots is taken
  // off the next one instead of adding up over 256 steps.
  const auto start = Clock().Now();
  int steps = 0;
  for (uint32_t i = 1; i <= kFlashRange; i += static_cast<uint32_t>(step)) {
    if (m_bStop) return FwOutcome::Stopped;
    const auto due = start + std::chrono::milliseconds(static_cast<long long>(++steps) * stepMs);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock().Now());
    if (left.count() > 0) Clock().SleepMs(static_cast<int>(left.count()));
    SetProgress(m_nSent + i + extra);
  }
  return FwOutcome::Running;
}

FwOutcome CFirmwareDownload::Transfer() {
  if (!m_block) return m_eOutcome;
  FwOutcome o = SendData();
  if (o != FwOutcome::Running) {
    m_sink.Close();
    return Fail(o);
  }
  m_bDataSent = true;
  if (m_fnProgress) m_fnProgress();
  const bool network = m_sink.Kind() == SinkKind::Network;
  if (!network) m_sink.Finish();
  // The network's bar runs 4096 past the data; it is held at its end.
  o = network ? FlashWait(kNetworkFlashStep, kNetworkChunk) : FlashWait(kPortFlashStep, 0);
  if (network) m_sink.Finish();
  if (o != FwOutcome::Running) return Fail(o);
  return Fail(FwOutcome::Completed);
}

void CFirmwareDownload::Start(std::function<void()> finished) {
  Join();
  m_bRunning = true;
  m_worker = std::thread([this, finished = std::move(finished)] {
    Transfer();
    m_bRunning = false;
    if (finished) finished();
  });
}

void CFirmwareDownload::Join() {
  if (m_worker.joinable() && m_worker.get_id() != std::this_thread::get_id()) m_worker.join();
}

std::string CFirmwareDownload::OutcomeText() const {
  switch (m_eOutcome.load()) {
    case FwOutcome::Running:
    case FwOutcome::NotConfirmed:
    case FwOutcome::Stopped:
      return {};
    case FwOutcome::Completed:
      return theMsg[MsgId::UpdateComplete];
    case FwOutcome::OpenFailed:
      return ImageCheckText(ImageCheck::OpenFailed, 0);
    case FwOutcome::WrongSize:
      return ImageCheckText(ImageCheck::WrongSize, m_nFileSize);
    case FwOutcome::OutOfMemory:
      return ImageCheckText(ImageCheck::OutOfMemory, 0);
    case FwOutcome::ShortRead:
      return ImageCheckText(ImageCheck::ShortRead, 0);
    case FwOutcome::WrongFile:
      return ImageCheckText(ImageCheck::WrongFile, 0);
    case FwOutcome::InitFail:
      return theMsg[MsgId::InitFail];
    case FwOutcome::Refused:
      return m_request.eArea == FirmwareArea::Boot && m_request.bServiceMode
                 ? "The Boot Area needs a file whose boot version is 1..10."
                 : std::string("The ") + AreaLabel(m_request.eArea) + " needs service mode.";
    case FwOutcome::PortNotOpened:
      return theMsg[MsgId::PortNotOpened];
    case FwOutcome::PrinterNotReady:
      return theMsg[MsgId::PrinterNotReady];
    case FwOutcome::WriteError:
      return FormatMsg(theMsg[MsgId::LptWriteError], m_nError.load());
    case FwOutcome::PrinterCheck:
    case FwOutcome::SendFailed:
      return theMsg[MsgId::PrinterCheck];
  }
  return {};
}

void CFirmwareDownload::ShowOutcome() const {
  switch (m_eOutcome.load()) {
    case FwOutcome::Completed:
      ShowMessage(OutcomeText(), MsgIcon::Info);
      break;
    case FwOutcome::PortNotOpened:
    case FwOutcome::PrinterNotReady:
    case FwOutcome::WriteError:
    case FwOutcome::PrinterCheck:
    case FwOutcome::SendFailed:
      ShowMessage(OutcomeText(), MsgIcon::Error);
      break;
    default:
      break;  // told by Prepare, or nothing to tell
  }
}

}  // namespace torva
