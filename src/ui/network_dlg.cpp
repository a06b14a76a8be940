#include "ui/network_dlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "app/messages.h"
#include "app/services.h"
#include "network/net_setting_rules.h"
#include "ui/connection_env.h"

namespace torva {
namespace {

CNetworkDlg::SettingLauncher& SettingLauncherSlot() {
  static CNetworkDlg::SettingLauncher launcher;
  return launcher;
}

// The dialog lets a freshly connected printer settle before the first probe; jobs do not.
constexpr int kPauseAfterConnectMs = 10;

bool IsKorean() { return System().DefaultLanguageId() == kLangKorean; }

// One to four dotted parts of 0..255 while typing; a full address has four.
const char* const kIpPattern =
    R"(((25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)(\.(25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)?){0,3}))";

// Four parts, none empty; the validator already keeps each part within 0..255.
bool IsFullAddress(const QLineEdit* edit) {
  const QStringList parts = edit->text().split('.');
  return edit->hasAcceptableInput() && parts.size() == 4 &&
         std::none_of(parts.begin(), parts.end(), [](const QString& p) { return p.isEmpty(); });
}

}  // namespace

CNetworkDlg::CNetworkDlg(IConnectionEnvironment& env, QWidget* parent)
    : QDialog(parent), m_env(env), m_pWifi(std::make_unique<CWifiLibrary>()) {
  setObjectName("CNetworkDlg");
  setModal(true);

  auto* ipLabel = new QLabel("IP :", this);
  ipLabel->setObjectName("IPLabel");
  m_pIp = new QLineEdit(this);
  m_pIp->setObjectName("IP");
  m_pIp->setValidator(new QRegularExpressionValidator(QRegularExpression(kIpPattern), m_pIp));
  ipLabel->setBuddy(m_pIp);

  auto* portLabel = new QLabel("PORT :", this);
  portLabel->setObjectName("PORTLabel");
  m_pPort = new QLineEdit(this);
  m_pPort->setObjectName("PORT");
  m_pPort->setMaxLength(10);
  m_pPort->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d*"), m_pPort));
  portLabel->setBuddy(m_pPort);

  m_pOk = new QPushButton("OK", this);
  m_pOk->setObjectName("OK");
  m_pOk->setDefault(true);
  m_pCancel = new QPushButton("Cancel", this);
  m_pCancel->setObjectName("Cancel");

  m_pSetting = new QGroupBox("Setting", this);
  m_pSetting->setObjectName("Setting");
  m_pFirst = new QPushButton(m_pSetting);
  m_pFirst->setObjectName("FirstButton");
  m_pSecond = new QPushButton(m_pSetting);
  m_pSecond->setObjectName("SecondButton");
  auto* settingLayout = new QHBoxLayout(m_pSetting);
  settingLayout->addWidget(m_pFirst);
  settingLayout->addWidget(m_pSecond);

  auto* fields = new QGridLayout;
  fields->addWidget(ipLabel, 0, 0);
  fields->addWidget(m_pIp, 0, 1);
  fields->addWidget(portLabel, 1, 0);
  fields->addWidget(m_pPort, 1, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(m_pOk);
  buttons->addWidget(m_pCancel);
  buttons->addStretch();
  auto* top = new QHBoxLayout;
  top->addLayout(fields, 1);
  top->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(m_pSetting);

  connect(m_pOk, &QPushButton::clicked, this, &CNetworkDlg::OnOK);
  connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_pFirst, &QPushButton::clicked, this, &CNetworkDlg::OnFirstButton);
  connect(m_pSecond, &QPushButton::clicked, this, &CNetworkDlg::OnSecondButton);
  OnInitDialog();
}

CNetworkDlg::~CNetworkDlg() = default;

void CNetworkDlg::SetNetworkSettingLauncher(SettingLauncher launcher) {
  SettingLauncherSlot() = std::move(launcher);
}

void CNetworkDlg::SetWifiLibrary(std::unique_ptr<CWifiLibrary> library) {
  m_pWifi = std::move(library);
}

void CNetworkDlg::OnInitDialog() {
  m_pPort->setText(QString::number(m_nPort));
  m_pIp->setText(QString::fromStdString(m_strIpAddress));
  m_pSecond->setEnabled(false);

  m_bWifi = m_env.Connection().m_strPortName.rfind("ETH", 0) != 0;
  const bool korean = IsKorean();
  if (!m_bWifi) {
    setWindowTitle("Ethernet-II Network");
    m_pFirst->setText(korean ? "네트워크 설정" : "Network Setting");
    m_pFirst->setEnabled(static_cast<bool>(SettingLauncherSlot()));
    m_pSecond->setText("Reserved");
    // Greyed-out buttons say why.
    m_pSecond->setToolTip(korean ? "이더넷 프린터에는 쓰지 않습니다"
                                 : "Not used with an Ethernet printer");
    m_pFirst->setToolTip(m_pFirst->isEnabled() ? QString()
                         : korean ? "이 프로그램에는 네트워크 설정이 없습니다"
                                  : "Network Setting is not part of this build");
  } else {
    setWindowTitle("WLAN(WiFi) Network");
    m_pFirst->setText("Infrastructure");
    m_pFirst->setEnabled(true);
    m_pSecond->setText("Limited AP");
    m_pSecond->setEnabled(true);
    m_pFirst->setToolTip({});
    m_pSecond->setToolTip({});
  }
  m_pCancel->setText(korean ? "취소" : "Cancel");
}

void CNetworkDlg::OnOK() {
  // POSIX sockets need no start-up, so "Init Fail" (InitFail) cannot happen here.
  m_strIpAddress = m_pIp->text().toStdString();
  bool isNumber = false;
  const unsigned long typed = m_pPort->text().toULong(&isNumber);
  m_nPort = isNumber && typed <= 0xFFFFFFFFul ? static_cast<unsigned>(typed) : 0;

  // The printer's own TCP port follows the set rule, 515 included.
  if (const int refused = CheckSettingPort(m_nPort, true)) {
    ShowMessage(theMsg[refused], MsgIcon::Warning);
    return;
  }
  if (!IsFullAddress(m_pIp)) {
    ShowMessage(theMsg[MsgId::IpAddressRange], MsgIcon::Warning);
    return;
  }
  m_nAcceptedPort = m_nPort;

  Ui().SetWaitCursor(true);
  const bool connected =
      m_env.ConnectPrinter(m_strIpAddress, static_cast<int>(m_nAcceptedPort), kPauseAfterConnectMs);
  m_env.ClosePrinter();
  Ui().SetWaitCursor(false);
  if (!connected) {
    ShowMessage(theMsg[MsgId::PrinterCheck], MsgIcon::Error);
    return;
  }
  accept();
}

void CNetworkDlg::OnFirstButton() {
  if (m_bWifi) {
    RunWifi(CWifiLibrary::kInfrastructure);
  } else if (SettingLauncherSlot()) {
    SettingLauncherSlot()(*this);
  }
}

void CNetworkDlg::OnSecondButton() {
  if (m_bWifi) RunWifi(CWifiLibrary::kLimitedAp);
}

void CNetworkDlg::RunWifi(int operation) {
  std::string error;
  if (!m_pWifi->Prepare(operation, error)) {
    ShowMessage(error, MsgIcon::Error);
    return;
  }
  const bool korean = IsKorean();
  Ui().Message(korean ? "프린터를 켜고 USB케이블을 연결하십시오."
                      : "Turn on the printer and Connect a USB cable.",
               korean ? "알림" : "Notice", MsgIcon::Info);
  void* parentWindow = reinterpret_cast<void*>(winId());
  if (!m_pWifi->Run(operation, parentWindow, error)) ShowMessage(error, MsgIcon::Error);
}

}  // namespace torva
