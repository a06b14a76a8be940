#include "firmware/gui/fw_update_dlg.h"

#include <QButtonGroup>
#include <QGridLayout>
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
#include "app/models.h"
#include "app/services.h"
#include "firmware/fw_download.h"
#include "firmware/fw_image.h"
#include "firmware/fw_sink.h"
#include "ports/ports.h"

namespace torva {
namespace {

constexpr const char* kSection = "FWDN20";
constexpr int kTickMs = 50;

QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr std::array<const char*, kFirmwareAreaCount> kObjectNames = {
    "ProgramArea", "ExtFontArea", "LcdFontArea", "DownloadArea", "BootArea"};
constexpr std::array<const char*, kFirmwareAreaCount> kKoreanAreas = {
    "프로그램 영역", "확장 폰트 영역", "LCD 폰트 영역", "다운로드 영역", "부트 영역"};

}  // namespace

CFwUpdateDlg::CFwUpdateDlg(const FwUpdateConnection& connection, QWidget* parent)
    : QDialog(parent), m_connection(connection) {
  setObjectName("FwUpdateDlg");
  m_pPath = new QLineEdit(this);
  m_pPath->setObjectName("FilePath");
  m_pPath->setReadOnly(true);
  m_pFileOpen = new QPushButton("File Open", this);
  m_pFileOpen->setObjectName("FileOpen");

  m_pAreaBox = new QGroupBox("AREA", this);
  auto* areaLayout = new QVBoxLayout(m_pAreaBox);
  auto* group = new QButtonGroup(this);
  for (int i = 0; i < kFirmwareAreaCount; ++i) {
    auto* radio = new QRadioButton(AreaLabel(static_cast<FirmwareArea>(i)), m_pAreaBox);
    radio->setObjectName(kObjectNames[static_cast<size_t>(i)]);
    group->addButton(radio, i);
    areaLayout->addWidget(radio);
    m_apArea[static_cast<size_t>(i)] = radio;
  }
  m_apArea[0]->setChecked(true);
  connect(group, &QButtonGroup::idClicked, this, [this](int id) { m_nArea = id; });

  m_pDeviceBox = new QGroupBox("DEVICE", this);
  m_pDevice = new QLabel(m_pDeviceBox);
  m_pDevice->setObjectName("DeviceText");
  (new QVBoxLayout(m_pDeviceBox))->addWidget(m_pDevice);

  m_pInfoBox = new QGroupBox("Information", this);
  auto* info = new QGridLayout(m_pInfoBox);
  m_pChecksumLabel = new QLabel("CHECKSUM :", m_pInfoBox);
  m_pChecksum = new QLineEdit(m_pInfoBox);
  m_pChecksum->setObjectName("Checksum");
  m_pChecksum->setReadOnly(true);
  m_pFileSizeLabel = new QLabel("FileSize :", m_pInfoBox);
  m_pFileSize = new QLineEdit(m_pInfoBox);
  m_pFileSize->setObjectName("FileSize");
  m_pFileSize->setReadOnly(true);
  m_pBytesLabel = new QLabel("bytes", m_pInfoBox);
  m_pInfoLine = new QLabel("(* Header[4] + FileSize[4] + data[n] + CS[2] )", m_pInfoBox);
  info->addWidget(m_pChecksumLabel, 0, 0);
  info->addWidget(m_pChecksum, 0, 1);
  info->addWidget(m_pFileSizeLabel, 1, 0);
  info->addWidget(m_pFileSize, 1, 1);
  info->addWidget(m_pBytesLabel, 1, 2);
  info->addWidget(m_pInfoLine, 2, 0, 1, 3);

  m_pProgress = new QProgressBar(this);
  m_pProgress->setObjectName("Progress");
  m_pProgress->setTextVisible(false);
  m_pDownload = new QPushButton("DOWNLOAD", this);
  m_pDownload->setObjectName("Download");
  m_pDownload->setDefault(true);
  m_pExit = new QPushButton("EXIT", this);
  m_pExit->setObjectName("Exit");

  auto* top = new QHBoxLayout;
  top->addWidget(m_pPath, 1);
  top->addWidget(m_pFileOpen);
  auto* middle = new QHBoxLayout;
  middle->addWidget(m_pAreaBox);
  auto* right = new QVBoxLayout;
  right->addWidget(m_pDeviceBox);
  right->addWidget(m_pInfoBox);
  middle->addLayout(right, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_pDownload);
  buttons->addWidget(m_pExit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(middle);
  layout->addWidget(m_pProgress);
  layout->addLayout(buttons);

  connect(m_pFileOpen, &QPushButton::clicked, this, &CFwUpdateDlg::OnFileOpen);
  connect(m_pDownload, &QPushButton::clicked, this, &CFwUpdateDlg::OnDownload);
  connect(m_pExit, &QPushButton::clicked, this, &CFwUpdateDlg::reject);
  connect(&m_tick, &QTimer::timeout, this, &CFwUpdateDlg::OnTick);

  if (m_connection.pPort == nullptr) m_connection.pPort = &thePort;
  if (IsNetworkPortName(m_connection.pPort->m_strPortName) && m_connection.pSocket != nullptr) {
    m_pSink = std::make_unique<CSocketSink>(*m_connection.pSocket, m_connection.strIpAddress,
                                            m_connection.nTcpPort);
  } else {
    m_pSink = std::make_unique<CPortSink>(*m_connection.pPort);
  }
  m_pEngine = std::make_unique<CFirmwareDownload>(*m_pSink);
  OnInitDialog();
}

CFwUpdateDlg::~CFwUpdateDlg() {
  m_bClosing = true;
  StopTransfer();
  if (m_connection.pPort->m_bConnected) m_connection.pPort->Close();
}

void CFwUpdateDlg::OnInitDialog() {
  m_strCaption = kTitleFirmware;
  setWindowTitle(m_strCaption);
  m_pDevice->setText(Q(g_strPortInfo).replace("\r\n", "\n"));
  const CSettingsFile settings = theApp().Settings();
  m_strFilePath = settings.Get(kSection, "FOLDER");
  m_strFileName = settings.Get(kSection, "FILE");
  ShowFields();
  if (System().DefaultLanguageId() == kLangKorean) ApplyKorean();
  m_apArea[static_cast<size_t>(FirmwareArea::Boot)]->setEnabled(false);
  m_apArea[static_cast<size_t>(FirmwareArea::Downloader)]->setEnabled(false);
  m_bServiceMode = Ui().CtrlKeyHeld();
  if (m_bServiceMode) m_apArea[static_cast<size_t>(FirmwareArea::Downloader)]->setEnabled(true);
  ApplyBootChoice(m_strFilePath);
  // The LCD font area exists on the TORVA40 line only.
  if (!HasLcdFontArea(m_connection.pPort->m_nModel)) {
    m_apArea[static_cast<size_t>(FirmwareArea::LcdFont)]->setEnabled(false);
  }
  ShowFields();
  m_pDownload->setEnabled(true);
}

void CFwUpdateDlg::ApplyKorean() {
  for (size_t i = 0; i < kKoreanAreas.size(); ++i) m_apArea[i]->setText(kKoreanAreas[i]);
  m_pDeviceBox->setTitle("프린터 종류");
  m_pChecksumLabel->setText("체크섬");
  m_pFileSizeLabel->setText("파일크기");
  m_pBytesLabel->setText("바이트");
  m_pDownload->setText("다운로드");
}

void CFwUpdateDlg::ApplyBootChoice(const std::string& path) {
  QRadioButton* boot = m_apArea[static_cast<size_t>(FirmwareArea::Boot)];
  switch (UpdateBootAreaChoice(path, m_bServiceMode)) {
    case BootChoice::Unchanged:
      break;
    case BootChoice::Enable:
      boot->setEnabled(true);
      break;
    case BootChoice::Disable:
      if (boot->isChecked()) {
        m_apArea[static_cast<size_t>(FirmwareArea::Program)]->setChecked(true);
        m_nArea = static_cast<int>(FirmwareArea::Program);
      }
      boot->setEnabled(false);
      break;
  }
}

void CFwUpdateDlg::TakeControls() {
  for (int i = 0; i < kFirmwareAreaCount; ++i) {
    if (m_apArea[static_cast<size_t>(i)]->isChecked()) m_nArea = i;
  }
}

void CFwUpdateDlg::ShowFields() {
  m_pPath->setText(Q(m_strFilePath));
  m_pPath->setToolTip(Q(m_strFilePath));
  m_pChecksum->setText(Q(m_strChecksum));
  m_pFileSize->setText(Q(m_strFileSize));
  m_apArea[static_cast<size_t>(m_nArea)]->setChecked(true);
}

void CFwUpdateDlg::OnFileOpen() {
  TakeControls();
  const std::vector<std::string> chosen = Ui().OpenFiles("", kFirmwareFileFilter, false);
  if (chosen.empty()) return;
  m_strFilePath = chosen.front();
  m_strFileName = std::filesystem::path(m_strFilePath).filename().string();
  m_pDownload->setEnabled(true);
  ShowFields();
  CFirmwareFile file;
  if (file.Open(m_strFilePath) != ImageCheck::Ok) {
    ShowImageCheck(ImageCheck::OpenFailed, 0);
    return;
  }
  file.Close();
  ApplyBootChoice(m_strFilePath);
}

void CFwUpdateDlg::SetProgress(unsigned position) {
  m_pProgress->setValue(static_cast<int>(position));
  const unsigned range = static_cast<unsigned>(m_pProgress->maximum());
  setWindowTitle(m_strCaption +
                 QString(" - %1 %").arg(CFirmwareDownload::Percent(position, range)));
}

void CFwUpdateDlg::OnDownload() {
  if (Transferring()) return;
  TakeControls();
  const CSettingsFile settings = theApp().Settings();
  settings.Write(kSection, std::string("FOLDER"), m_strFilePath);
  settings.Write(kSection, std::string("FILE"), m_strFileName);
  m_pDownload->setEnabled(false);
  const FwRequest request{m_strFilePath, static_cast<FirmwareArea>(m_nArea),
                          m_connection.pPort->m_nModel, m_bServiceMode};
  if (!m_pEngine->Prepare(request)) {
    const FwButtons after = ButtonsAfter(m_pEngine->Outcome());
    m_pDownload->setEnabled(after.bDownload);
    return;
  }
  TakeControls();
  m_strChecksum = m_pEngine->ChecksumText();
  ShowFields();
  m_pProgress->setRange(0, static_cast<int>(m_pEngine->Range()));
  m_pFileOpen->setEnabled(false);
  SetProgress(0);
  m_pEngine->Start([this] {
    QMetaObject::invokeMethod(
        this, [this] { OnTransferEnd(); }, Qt::QueuedConnection);
  });
  m_tick.start(kTickMs);
}

bool CFwUpdateDlg::Transferring() const { return m_pEngine->Running() || m_tick.isActive(); }

void CFwUpdateDlg::OnTick() {
  SetProgress(m_pEngine->Position());
  if (m_pEngine->DataSent() && m_strFileSize != m_pEngine->FileSizeText()) {
    m_strFileSize = m_pEngine->FileSizeText();
    m_pFileSize->setText(Q(m_strFileSize));
  }
}

void CFwUpdateDlg::OnTransferEnd() {
  if (m_bClosing || m_pEngine->Running()) return;
  m_pEngine->Join();
  m_tick.stop();
  OnTick();
  m_pEngine->ShowOutcome();
  const FwButtons after = ButtonsAfter(m_pEngine->Outcome());
  if (m_pEngine->Outcome() == FwOutcome::Completed) SetProgress(0);
  m_pDownload->setEnabled(after.bDownload);
  m_pFileOpen->setEnabled(after.bFileOpen);
  emit TransferEnded();
}

void CFwUpdateDlg::StopTransfer() {
  m_tick.stop();
  if (!m_pEngine) return;
  m_pEngine->RequestStop();
  m_pEngine->Join();
}

void CFwUpdateDlg::reject() {
  // EXIT at any time: a running transfer is stopped and waited for first.
  m_bClosing = true;
  StopTransfer();
  QDialog::reject();
}

}  // namespace torva
