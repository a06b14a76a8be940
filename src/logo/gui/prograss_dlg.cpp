#include "logo/gui/prograss_dlg.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

#include "app/messages.h"
#include "app/services.h"
#include "logo/upload_engine.h"

namespace torva {
namespace {

int g_nUploadTimerMs = CUploadEngine::kTimerMs;
// How long the start waits for the window to be on screen: 50 polls of 10 ms at most.
constexpr int kExposePollMs = 10;
constexpr int kMaxExposePolls = 50;

}  // namespace

void CPrograss::SetTimerPeriodMs(int ms) { g_nUploadTimerMs = ms > 0 ? ms : CUploadEngine::kTimerMs; }
int CPrograss::TimerPeriodMs() { return g_nUploadTimerMs; }

CPrograss::CPrograss(CUploadEngine& engine, QWidget* parent) : QDialog(parent), m_engine(engine) {
  setObjectName("CPrograss");
  setWindowTitle("Uploading");
  setModal(true);
  m_pText = new QLabel("Uploading...", this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pText);
  m_widgets = AddProgressWidgets(*this, *layout, 360);
  if (System().DefaultLanguageId() == kLangKorean) {
    setWindowTitle("전송 중");
    m_pText->setText("전송 중...");
  }

  for (QTimer* t : {&m_timer1, &m_timer2}) t->setSingleShot(true);
  connect(&m_timer1, &QTimer::timeout, this, [this] { OnTimer(1); });
  connect(&m_timer2, &QTimer::timeout, this, [this] { OnTimer(2); });
  connect(m_widgets.pCancel, &QPushButton::clicked, this, &CPrograss::OnCancel);
}

int CPrograss::DoModal() {
  QTimer::singleShot(0, this, &CPrograss::StartWhenShown);
  return exec();
}

void CPrograss::StartWhenShown() {
  // The erase pause blocks this thread for seconds. Started before the window system has
  // shown the dialog, the screen keeps the answered question box meanwhile and the program
  // looks hung; started once the window is exposed, "Erasing..." is on screen instead.
  QWindow* window = windowHandle();
  if (window != nullptr && !window->isExposed() && ++m_nExposePolls < kMaxExposePolls) {
    QTimer::singleShot(kExposePollMs, this, &CPrograss::StartWhenShown);
    return;
  }
  OnInitDialog();
}

void CPrograss::OnInitDialog() {
  if (m_bStarted) return;
  m_bStarted = true;
  m_widgets.pProgress->setRange(0, static_cast<int>(m_engine.ProgressRange()));
  m_widgets.pProgress->setValue(0);
  if (!m_engine.Begin()) {
    ShowProgress();
    accept();
    return;
  }
  ShowProgress();
  // The whole window: its first paint may still be pending.
  repaint();
  m_engine.WaitForErase();
  m_timer1.start(g_nUploadTimerMs);
}

void CPrograss::OnTimer(int timerId) {
  (timerId == 1 ? m_timer1 : m_timer2).stop();
  const UploadStep step = m_engine.Tick();
  ShowProgress();
  switch (step) {
    case UploadStep::Sent:
      emit ImageSent(m_engine.Sequence());
      // The cancel may have come from a slot of that signal.
      if (!m_engine.Cancelled() && isVisible()) m_timer2.start(g_nUploadTimerMs);
      break;
    case UploadStep::Completed:
      accept();
      break;
    case UploadStep::Stopped:
      // A write failed (message shown): the dialog waits for Cancel.
      emit WriteFailed();
      break;
  }
}

void CPrograss::ShowProgress() {
  m_widgets.pStatus->setText(QString::fromStdString(m_engine.StatusText()));
  const long range = m_engine.ProgressRange();
  if (m_widgets.pProgress->maximum() != range) m_widgets.pProgress->setRange(0, static_cast<int>(range));
  m_widgets.pProgress->setValue(static_cast<int>(std::min(m_engine.ProgressPos(), range)));
}

void CPrograss::StopTimers() {
  m_timer1.stop();
  m_timer2.stop();
}

void CPrograss::OnCancel() {
  StopTimers();
  m_engine.Cancel();
  QDialog::reject();
}

void CPrograss::reject() { OnCancel(); }

void CPrograss::OnCancelMode() {
  if (m_engine.ErrorFlag()) return;
  StopTimers();
  m_engine.CancelBySystem();
  accept();
}

QString CPrograss::StatusText() const { return m_widgets.pStatus->text(); }
int CPrograss::ProgressValue() const { return m_widgets.pProgress->value(); }
int CPrograss::ProgressMaximum() const { return m_widgets.pProgress->maximum(); }

}  // namespace torva
