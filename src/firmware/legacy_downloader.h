// CLegacyDownloader: the TORVA10 firmware download of one flash area, frame by frame. The
// dialog and the command line drive the same steps:
//
//   Begin(path, name)   open the link without flow control (a serial line also needs its
//                       watch thread), remember the file in the FWDN15 section, open the
//                       image, send the erase frame. False: "Init Fail" or "File open
//                       error!!" was shown and nothing stays open.
//   EraseWait()         six steps of the area's erase step wait with their captions; it may
//                       run on a thread of its own, so the window keeps painting
//   AfterErase()        a link that never answers: every frame back to back, 50 ms apart;
//                       otherwise Waiting for the printer's answers
//   OnAnswers(bytes)    DLE ACK sends the next frame (Completed after the last), DLE NAK the
//                       same frame again, any other byte is ignored
//   RunSerial(ms)       the answers awaited on the link until the end or a time-out
//   ShowEndMessage()    "COMPLETED" or why it failed, on the thread that may show messages
//
// A frame the printer refuses kMaxRepeats times ends the download with a message naming
// its address. Every prescribed wait goes through torva::Clock(). The link and the file are
// closed when the download ends, whichever way.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/services.h"
#include "firmware/legacy_area.h"
#include "firmware/legacy_frame.h"
#include "firmware/legacy_link.h"

namespace torva {

// The settings file's section of the downloader: the image's full path and its name.
inline constexpr const char* kLegacySection = "FWDN15";
inline constexpr const char* kLegacyFolderKey = "FOLDER";
inline constexpr const char* kLegacyFileKey = "FILE";

enum class LegacyStep { Waiting, Completed, Failed };

class CLegacyDownloader {
 public:
  static constexpr uint8_t kDle = 0x10;
  static constexpr uint8_t kAck = 0x06;
  static constexpr uint8_t kNak = 0x15;
  static constexpr int kEraseSteps = 6;
  static constexpr int kBackToBackGapMs = 50;
  // A frame is sent at most this many times more after the printer refused it.
  static constexpr int kMaxRepeats = 10;

  // Called on the thread that runs the step: the caption, and the progress position (an
  // address between the area's start and end).
  struct Events {
    std::function<void(const std::string&)> caption;
    std::function<void(uint32_t)> progress;
  };

  CLegacyDownloader(ILegacyLink& link, const LegacyAreaInfo& area, Events events = {});
  ~CLegacyDownloader();
  CLegacyDownloader(const CLegacyDownloader&) = delete;
  CLegacyDownloader& operator=(const CLegacyDownloader&) = delete;

  bool Begin(const std::string& filePath, const std::string& fileName);
  // False when cancel was set between two steps (the download is then ended as cancelled).
  bool EraseWait(const std::atomic<bool>* cancel = nullptr);
  // cancel, set from another thread, ends the back-to-back frames as CANCEL does.
  LegacyStep AfterErase(const std::atomic<bool>* cancel = nullptr);
  LegacyStep OnAnswers(const std::vector<uint8_t>& bytes);
  // Answers taken from the link until the download ends; Failed with a message after
  // timeoutMs without any answer byte. cancelRequested, asked about ten times a second,
  // acts as CANCEL.
  LegacyStep RunSerial(int timeoutMs, const std::function<bool()>& cancelRequested = {});
  // Ends the download now (CANCEL): the link and the file closed, no message.
  void Cancel();
  void ShowEndMessage() const;

  LegacyStep Step() const { return m_eStep; }
  const std::string& EndText() const { return m_strEndText; }
  const LegacyAreaInfo& Area() const { return m_area; }
  const std::string& Caption() const { return m_strCaption; }
  uint32_t Progress() const { return m_nProgress; }
  // Data frames built so far, and repeats of refused frames.
  int DataFrames() const { return m_nDataFrames; }
  int FrameCount() const;
  int Repeats() const { return m_nRepeats; }
  int TotalRepeats() const { return m_nTotalRepeats; }
  const LegacyFrame& CurrentFrame() const { return m_frame; }

  // The texts of the ends this tool adds, in the language of the messages.
  static std::string RefusedText(const LegacyFrame& frame, int repeats);
  static std::string NoAnswerText(const LegacyFrame& frame, double seconds);
  static std::string CaptionWriting(uint32_t address);

 private:
  bool SendFrame();
  LegacyStep SendNext();
  LegacyStep Complete();
  LegacyStep Fail(std::string text);
  void SetCaption(std::string caption);
  void Finish();
  static std::string FrameName(const LegacyFrame& frame);

  ILegacyLink& m_link;
  const LegacyAreaInfo& m_area;
  Events m_events;
  CLegacyFrameSource m_source;
  LegacyFrame m_frame;
  LegacyPacing m_ePacing = LegacyPacing::Answered;
  LegacyStep m_eStep = LegacyStep::Waiting;
  bool m_bOpen = false;
  bool m_bGotDle = false;
  int m_nDataFrames = 0;
  int m_nRepeats = 0;
  int m_nTotalRepeats = 0;
  uint32_t m_nProgress = 0;
  std::string m_strCaption;
  std::string m_strEndText;
};

}  // namespace torva
