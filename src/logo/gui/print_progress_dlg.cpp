#include "logo/gui/print_progress_dlg.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/messages.h"
#include "app/services.h"
#include "logo/print_engine.h"

namespace torva {
namespace {

int g_nPrintTimerMs = CPrintEngine::kTimerMs;

}  // namespace

void CPrintProgressDlg::SetTimerPeriodMs(int ms) {
  g_nPrintTimerMs = ms > 0 ? ms : CPrintEngine::kTimerMs;
}
int CPrintProgressDlg::TimerPeriodMs() { return g_nPrintTimerMs; }

CPrintProgressDlg::CPrintProgressDlg(CPrintEngine& engine, QWidget* parent)
    : QDialog(parent), m_engine(engine) {
  setObjectName("CPrintProgressDlg");
  setWindowTitle("Printing");
  setModal(true);
  m_widgets = AddProgressWidgets(*this, *new QVBoxLayout(this), 300);
  if (System().DefaultLanguageId() == kLangKorean) setWindowTitle("인쇄 중");
  connect(&m_timer, &QTimer::timeout, this, &CPrintProgressDlg::OnTimer);
  connect(m_widgets.pCancel, &QPushButton::clicked, this, &CPrintProgressDlg::OnCancel);
}

int CPrintProgressDlg::DoModal() {
  OnInitDialog();
  return exec();
}

void CPrintProgressDlg::OnInitDialog() {
  if (m_bStarted) return;
  m_bStarted = true;
  m_engine.Begin();
  m_widgets.pStatus->setText(QString());
  m_widgets.pProgress->setRange(0, m_engine.ProgressRange());
  m_widgets.pProgress->setValue(0);
  m_timer.start(g_nPrintTimerMs);
}

void CPrintProgressDlg::OnTimer() {
  const PrintStep step = m_engine.Tick();
  ShowProgress();
  emit Printed(m_engine.Printed());
  if (step == PrintStep::Printed) return;
  // Finished (after the end pause) or a failed write (message shown): end with OK.
  m_timer.stop();
  accept();
}

void CPrintProgressDlg::ShowProgress() {
  m_widgets.pStatus->setText(QString::fromStdString(m_engine.StatusText()));
  m_widgets.pProgress->setValue(std::min(m_engine.ProgressPos(), m_widgets.pProgress->maximum()));
}

void CPrintProgressDlg::OnCancel() {
  m_timer.stop();
  m_engine.Cancel();
  QDialog::reject();
}

void CPrintProgressDlg::reject() { OnCancel(); }

void CPrintProgressDlg::OnCancelMode() {
  m_timer.stop();
  m_engine.CancelBySystem();
  accept();
}

QString CPrintProgressDlg::StatusText() const { return m_widgets.pStatus->text(); }
int CPrintProgressDlg::ProgressValue() const { return m_widgets.pProgress->value(); }
int CPrintProgressDlg::ProgressMaximum() const { return m_widgets.pProgress->maximum(); }

}  // namespace torva
