// CPrograss, "Uploading": runs one NV image upload on the user-interface thread. The engine
// (CUploadEngine) owns the bytes and the pacing waits; this dialog owns the two timers that
// send one image per tick, so that the window stays responsive between images, and shows
// the status line and the progress bar.
//
// DoModal starts the upload once the dialog is shown and returns QDialog::Accepted after a
// complete upload, a failed define start (error flag) or a system cancel, and Rejected when
// Cancel was pressed (also after a write failure, which leaves the dialog open until then).
#pragma once

#include <QDialog>
#include <QTimer>

#include "logo/gui/progress_widgets.h"

class QLabel;

namespace torva {

class CUploadEngine;

class CPrograss : public QDialog {
  Q_OBJECT
 public:
  explicit CPrograss(CUploadEngine& engine, QWidget* parent = nullptr);

  int DoModal();

  // The start: range and status, the define command and the erase pause, then timer 1.
  void OnInitDialog();
  // timerId 1: the first image; 2: each following image, or the completion.
  void OnTimer(int timerId);
  // The Cancel button (and Escape, and closing the window).
  void OnCancel();
  // The system ends the modal state: a cancel that waits for the printer to take the image
  // in progress, then ends with OK. Nothing happens after a write failure.
  void OnCancelMode();

  // The timers' period; tests may shorten it.
  static void SetTimerPeriodMs(int ms);
  static int TimerPeriodMs();

  QString StatusText() const;
  int ProgressValue() const;
  int ProgressMaximum() const;

 signals:
  // After each timer tick, with the 1-based number of the image sent last.
  void ImageSent(int sequence);
  // A write failed (CommCannotTransmit shown); the dialog stays until Cancel.
  void WriteFailed();

 protected:
  void reject() override;

 private:
  void ShowProgress();
  void StopTimers();
  // Runs OnInitDialog once the window system shows the dialog (or after a bounded wait).
  void StartWhenShown();

  CUploadEngine& m_engine;
  QLabel* m_pText = nullptr;
  ProgressWidgets m_widgets;
  QTimer m_timer1;
  QTimer m_timer2;
  bool m_bStarted = false;
  int m_nExposePolls = 0;
};

}  // namespace torva
