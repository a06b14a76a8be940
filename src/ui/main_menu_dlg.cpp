#include "ui/main_menu_dlg.h"

#include <QPushButton>
#include <QVBoxLayout>
#include <map>

#include "app/app.h"
#include "app/messages.h"
#include "app/models.h"
#include "app/port_info.h"
#include "app/services.h"
#include "ports/port_kind.h"
#include "ui/connection_env.h"

namespace torva {
namespace {

std::map<int, CMainMenuDlg::JobLauncher>& Launchers() {
  static std::map<int, CMainMenuDlg::JobLauncher> launchers;
  return launchers;
}

PortInfoKind InfoKindOf(const std::string& portName) {
  switch (ClassifyPortName(portName)) {
    case PortNameKind::Serial: return PortInfoKind::Serial;
    case PortNameKind::UsbPrinter: return PortInfoKind::Usb;
    default: return PortInfoKind::Other;
  }
}

bool HasLauncher(int job) {
  auto it = Launchers().find(job);
  return it != Launchers().end() && it->second;
}

}  // namespace

void CMainMenuDlg::SetJobLauncher(int job, JobLauncher launcher) {
  if (launcher) {
    Launchers()[job] = std::move(launcher);
  } else {
    Launchers().erase(job);
  }
}

CMainMenuDlg::CMainMenuDlg(IConnectionEnvironment& env, QWidget* parent)
    : QDialog(parent), m_env(env) {
  setObjectName("CMainMenuDlg");
  setModal(true);
  m_pLogo = new QPushButton("&Logo Download", this);
  m_pLogo->setObjectName("LogoDownload");
  m_pUserSetup = new QPushButton("&User Setup", this);
  m_pUserSetup->setObjectName("UserSetup");
  m_pFirmware = new QPushButton("&Firmware Download", this);
  m_pFirmware->setObjectName("FirmwareDownload");
  m_pBack = new QPushButton("<< &Back  ", this);
  m_pBack->setObjectName("Back");

  auto* layout = new QVBoxLayout(this);
  for (QPushButton* b : {m_pLogo, m_pUserSetup, m_pFirmware}) {
    b->setMinimumSize(220, 40);
    b->setAutoDefault(false);
    layout->addWidget(b);
  }
  layout->addSpacing(12);
  layout->addWidget(m_pBack);

  connect(m_pLogo, &QPushButton::clicked, this, &CMainMenuDlg::OnLogoDownload);
  connect(m_pUserSetup, &QPushButton::clicked, this, &CMainMenuDlg::OnUserSetup);
  connect(m_pFirmware, &QPushButton::clicked, this, &CMainMenuDlg::OnFirmwareDownload);
  connect(m_pBack, &QPushButton::clicked, this, &CMainMenuDlg::OnBack);
  OnInitDialog();
}

void CMainMenuDlg::OnInitDialog() {
  setWindowTitle(kAppName);
  const ConnectionSettings& settings = m_env.Connection();
  g_strPortInfo = BuildPortInfo(settings, InfoKindOf(settings.m_strPortName));

  const bool legacy = IsLegacyFirmwareModel(settings.m_nModel);
  m_pLogo->setEnabled(HasLauncher(kJobLogo));
  m_pUserSetup->setEnabled(HasUserSetup(settings.m_nModel) && HasLauncher(kJobUserSetup));
  m_pFirmware->setEnabled(HasLauncher(legacy ? kJobLegacyFirmware : kJobFirmware));

  if (System().DefaultLanguageId() == kLangKorean) {
    m_pLogo->setText("로고 전송");
    m_pUserSetup->setText("사용자 설정");
    m_pFirmware->setText("펌웨어 전송");
    m_pBack->setText("<< 뒤로");
  }
}

void CMainMenuDlg::RunJob(int job) {
  auto it = Launchers().find(job);
  if (it != Launchers().end() && it->second) it->second(*this);
}

void CMainMenuDlg::OnLogoDownload() {
  m_env.Connection().m_nFunction = kJobLogo;
  RunJob(kJobLogo);
}

void CMainMenuDlg::OnUserSetup() {
  if (!HasUserSetup(m_env.Connection().m_nModel)) return;
  m_env.Connection().m_nFunction = kJobUserSetup;
  RunJob(kJobUserSetup);
  // The dialog's exit closes its connection; a port still open after it is closed here.
  if (m_env.PortConnected()) m_env.ClosePort();
}

void CMainMenuDlg::OnFirmwareDownload() {
  m_env.Connection().m_nFunction = kJobFirmware;
  RunJob(IsLegacyFirmwareModel(m_env.Connection().m_nModel) ? kJobLegacyFirmware : kJobFirmware);
  if (m_env.PortConnected()) m_env.ClosePort();
}

void CMainMenuDlg::OnBack() { reject(); }

}  // namespace torva
