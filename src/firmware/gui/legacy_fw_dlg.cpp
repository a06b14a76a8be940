#include "firmware/gui/legacy_fw_dlg.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app/app.h"
#include "app/messages.h"
#include "app/services.h"
#include "firmware/legacy_downloader.h"
#include "firmware/legacy_link.h"
#include "ports/ports.h"

namespace torva {
namespace {

constexpr const char* kImageFilter = "BINARY(*.bin)|*.bin|ALL FILE(*.*)|*.*|";
constexpr int kWaitTickMs = 500;
// An answer normally follows within milliseconds; the waiting time shows after this.
constexpr int kShowWaitAfterMs = 1000;

QString Q(const std::string& s) { return QString::fromStdString(s); }

struct Captions {
  const char* area;
  const char* radios[4];
  const char* device;
  const char* open;
  const char* ok;
  const char* cancel;
};

constexpr Captions kEnglish = {"SELECT AREA", {"&1.Program", "&2.Ext Font", "&3.Boot", "&4.Font"},
                               "DEVICE",      "&Open",
                               "OK",          "CANCEL"};
constexpr Captions kKorean = {"영역 선택", {"&1.프로그램", "&2.확장 폰트", "&3.부트", "&4.폰트"},
                              "장치",      "열기(&O)",
                              "확인",      "취소"};

}  // namespace

CLegacyFwDlg::CLegacyFwDlg(QWidget* parent) : QDialog(parent) {
  const Captions& c = theMsg.IsKorean() ? kKorean : kEnglish;
  setWindowTitle(kTitleLegacyFirmware);
  auto* layout = new QVBoxLayout(this);

  auto* fileRow = new QHBoxLayout;
  m_pPath = new QLineEdit(this);
  m_pName = new QLineEdit(this);
  m_pPath->setEnabled(false);
  m_pName->setEnabled(false);
  m_pPath->setMinimumWidth(320);
  m_pOpen = new QPushButton(QString::fromUtf8(c.open), this);
  fileRow->addWidget(m_pPath, 3);
  fileRow->addWidget(m_pName, 1);
  fileRow->addWidget(m_pOpen);
  layout->addLayout(fileRow);

  auto* middle = new QHBoxLayout;
  m_pAreaBox = new QGroupBox(QString::fromUtf8(c.area), this);
  auto* areaLayout = new QVBoxLayout(m_pAreaBox);
  for (int i = 0; i < 4; ++i) {
    m_pArea[i] = new QRadioButton(QString::fromUtf8(c.radios[i]), m_pAreaBox);
    areaLayout->addWidget(m_pArea[i]);
  }
  // The extended font is written by the F/W Update dialog's lines only.
  m_pArea[kLegacyAreaExtFont]->setEnabled(false);
  m_pDeviceBox = new QGroupBox(QString::fromUtf8(c.device), this);
  auto* deviceLayout = new QVBoxLayout(m_pDeviceBox);
  m_pDevice = new QLabel(QString::fromStdString(g_strPortInfo).remove('\r'), m_pDeviceBox);
  deviceLayout->addWidget(m_pDevice);
  middle->addWidget(m_pAreaBox);
  middle->addWidget(m_pDeviceBox, 1);
  layout->addLayout(middle);

  m_pCaption = new QLabel(this);
  m_pWait = new QLabel(this);
  m_pProgress = new QProgressBar(this);
  m_pProgress->setTextVisible(false);
  layout->addWidget(m_pCaption);
  layout->addWidget(m_pProgress);
  layout->addWidget(m_pWait);

  auto* buttons = new QHBoxLayout;
  m_pOk = new QPushButton(QString::fromUtf8(c.ok), this);
  m_pCancel = new QPushButton(QString::fromUtf8(c.cancel), this);
  m_pOk->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(m_pOk);
  buttons->addWidget(m_pCancel);
  layout->addLayout(buttons);

  connect(m_pOpen, &QPushButton::clicked, this, &CLegacyFwDlg::OnFileOpen);
  connect(m_pOk, &QPushButton::clicked, this, &CLegacyFwDlg::OnOK);
  connect(m_pCancel, &QPushButton::clicked, this, &CLegacyFwDlg::OnCancel);
  m_waitTimer.setInterval(kWaitTickMs);
  connect(&m_waitTimer, &QTimer::timeout, this, &CLegacyFwDlg::OnWaitTick);

  m_strFilePath = GetSetting(kLegacySection, kLegacyFolderKey);
  m_strFileName = GetSetting(kLegacySection, kLegacyFileKey);
  m_pPath->setText(Q(m_strFilePath));
  m_pName->setText(Q(m_strFileName));
  SelectArea(kLegacyAreaProgram);
}

CLegacyFwDlg::~CLegacyFwDlg() {
  StopWorker();
  m_pEngine.reset();
  m_pLink.reset();
}

void CLegacyFwDlg::SelectArea(int nArea) {
  if (LegacyAreaOf(nArea) == nullptr) return;
  m_nArea = nArea;
  m_pArea[nArea]->setChecked(true);
}

void CLegacyFwDlg::OnFileOpen() {
  const std::vector<std::string> chosen = Ui().OpenFiles("", kImageFilter, false);
  if (chosen.empty()) return;
  m_strFilePath = chosen.front();
  m_strFileName = std::filesystem::path(m_strFilePath).filename().string();
  m_pPath->setText(Q(m_strFilePath));
  m_pName->setText(Q(m_strFileName));
}

void CLegacyFwDlg::OnOK() {
  if (m_pEngine) return;
  for (int i = 0; i < 4; ++i) {
    if (m_pArea[i]->isChecked() && LegacyAreaOf(i) != nullptr) m_nArea = i;
  }
  m_bCancel = false;
  // Answers come on the watch thread; they are taken on this thread.
  m_pLink = std::make_unique<CLegacyPortLink>(thePort, [this] {
    QMetaObject::invokeMethod(
        this, [this] { OnPortData(); }, Qt::QueuedConnection);
  });
  CLegacyDownloader::Events events;
  events.caption = [this](const std::string& text) {
    QMetaObject::invokeMethod(
        this, [this, t = Q(text)] { SetCaption(t); }, Qt::QueuedConnection);
  };
  events.progress = [this](uint32_t pos) {
    QMetaObject::invokeMethod(
        this, [this, pos] { m_pProgress->setValue(static_cast<int>(pos)); }, Qt::QueuedConnection);
  };
  const LegacyAreaInfo& area = *LegacyAreaOf(m_nArea);
  m_pEngine = std::make_unique<CLegacyDownloader>(*m_pLink, area, events);
  m_pProgress->setRange(static_cast<int>(area.nStart), static_cast<int>(area.nEnd));
  if (!m_pEngine->Begin(m_strFilePath, m_strFileName)) {
    m_pEngine.reset();
    m_pLink.reset();
    return;
  }
  m_pOk->setEnabled(false);
  m_pOpen->setEnabled(false);
  m_pAreaBox->setEnabled(false);
  m_bWorking = true;
  m_worker = std::thread([this] {
    if (m_pEngine->EraseWait(&m_bCancel)) m_pEngine->AfterErase(&m_bCancel);
    QMetaObject::invokeMethod(
        this, [this] { OnWorkDone(); }, Qt::QueuedConnection);
  });
}

void CLegacyFwDlg::OnWorkDone() {
  StopWorker();
  if (!m_pEngine) return;
  if (m_pEngine->Step() != LegacyStep::Waiting) {
    EndDownload();
    return;
  }
  m_waited.start();
  m_waitTimer.start();
  // Answers that came during the erase wait are waiting in the queue.
  OnPortData();
}

void CLegacyFwDlg::OnPortData() {
  if (!m_pEngine || m_bWorking || !m_pLink || m_pEngine->Step() != LegacyStep::Waiting) return;
  const std::vector<uint8_t> answers = m_pLink->TakeAnswers();
  if (answers.empty()) return;
  m_waited.start();
  m_pWait->clear();
  if (m_pEngine->OnAnswers(answers) != LegacyStep::Waiting) EndDownload();
}

void CLegacyFwDlg::OnWaitTick() {
  if (!m_pEngine || m_bWorking || !m_waited.isValid()) return;
  const qint64 ms = m_waited.elapsed();
  if (ms < kShowWaitAfterMs) return;
  const int s = static_cast<int>(ms / 1000);
  m_pWait->setText(theMsg.IsKorean() ? QString::fromUtf8("프린터의 응답을 기다리는 중: %1초").arg(s)
                                     : QString("Waiting for the printer's answer: %1 s").arg(s));
}

void CLegacyFwDlg::EndDownload() {
  m_waitTimer.stop();
  m_pWait->clear();
  // The captions and the progress of the last frame arrive before the end is shown.
  QCoreApplication::sendPostedEvents(this);
  m_pEngine->ShowEndMessage();
  const bool completed = m_pEngine->Step() == LegacyStep::Completed;
  m_pEngine.reset();
  m_pLink.reset();
  if (completed) {
    accept();
    return;
  }
  m_pOk->setEnabled(true);
  m_pOpen->setEnabled(true);
  m_pAreaBox->setEnabled(true);
  emit DownloadFailed();
}

void CLegacyFwDlg::StopWorker() {
  if (m_worker.joinable()) m_worker.join();
  m_bWorking = false;
}

void CLegacyFwDlg::OnCancel() { reject(); }

void CLegacyFwDlg::reject() {
  m_bCancel = true;
  StopWorker();
  m_waitTimer.stop();
  if (m_pEngine) m_pEngine->Cancel();
  m_pEngine.reset();
  m_pLink.reset();
  QDialog::reject();
}

void CLegacyFwDlg::SetCaption(const QString& text) { m_pCaption->setText(text); }

QString CLegacyFwDlg::CaptionText() const { return m_pCaption->text(); }
QString CLegacyFwDlg::WaitText() const { return m_pWait->text(); }
int CLegacyFwDlg::ProgressValue() const { return m_pProgress->value(); }
bool CLegacyFwDlg::OkEnabled() const { return m_pOk->isEnabled(); }

}  // namespace torva
