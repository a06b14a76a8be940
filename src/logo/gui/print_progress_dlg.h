// CPrintProgressDlg, "Printing": sends one NV image print per timer tick (300 ms) through
// the print engine, which owns the commands, the selection order and the end pause. The
// dialog shows the status line and the progress bar.
//
// DoModal returns QDialog::Accepted when the run finished or a write failed (CommCannotTransmit
// was shown), Rejected after Cancel.
#pragma once

#include <QDialog>
#include <QTimer>

#include "logo/gui/progress_widgets.h"

namespace torva {

class CPrintEngine;

class CPrintProgressDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CPrintProgressDlg(CPrintEngine& engine, QWidget* parent = nullptr);

  int DoModal();

  void OnInitDialog();
  void OnTimer();
  void OnCancel();
  // The system ends the modal state: the cancel flag unless a write failed, end with OK.
  void OnCancelMode();

  // The timer's period; tests may shorten it.
  static void SetTimerPeriodMs(int ms);
  static int TimerPeriodMs();

  QString StatusText() const;
  int ProgressValue() const;
  int ProgressMaximum() const;

 signals:
  // After each tick, with the number of prints sent so far.
  void Printed(int printed);

 protected:
  void reject() override;

 private:
  void ShowProgress();

  CPrintEngine& m_engine;
  ProgressWidgets m_widgets;
  QTimer m_timer;
  bool m_bStarted = false;
};

}  // namespace torva
