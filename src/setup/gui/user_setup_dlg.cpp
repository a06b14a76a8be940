#include "setup/gui/user_setup_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "app/app.h"
#include "app/messages.h"
#include "app/services.h"
#include "setup/gui/new_option_group.h"
#include "setup/gui/setting_group_widget.h"
#include "setup/setup_lists.h"

// Outside the namespace: the resource's initialiser of the static library.
static void InitSetupResources() { Q_INIT_RESOURCE(setup_gui); }

namespace torva {
namespace {

bool KoreanSystem() { return System().DefaultLanguageId() == kLangKorean; }

CSettingModel MakeModel(int modelCode) {
  const bool korean = KoreanSystem();
  const CSettingsFile file = theApp().Settings();
  return CSettingModel(modelCode, korean, LoadCodePageList(file),
                       LoadReceiveBufferList(file, korean));
}

QString PortInfoText() {
  QString text = QString::fromStdString(g_strPortInfo);
  return text.replace("\r\n", "\n");
}

}  // namespace

CUserSetupDlg::CUserSetupDlg(int modelCode, SetupConnection connection, QWidget* parent)
    : QDialog(parent), m_model(MakeModel(modelCode)) {
  InitSetupResources();
  setObjectName("CUserSetupDlg");
  setModal(true);
  ISetupSink& sink = *this;
  m_pExchange = std::make_unique<CSetupExchange>(m_model, sink, std::move(connection));

  m_pHeading = new QLabel("SELECT USER SETUP FUNCTION", this);
  m_pHeading->setObjectName("Heading");
  QFont headingFont = m_pHeading->font();
  headingFont.setBold(true);
  headingFont.setPointSizeF(headingFont.pointSizeF() * 1.2);
  m_pHeading->setFont(headingFont);

  m_pSettings = new CSettingGroupWidget(m_model, this);
  m_pNewOptions = new CNewOptionGroup(m_model, this);
  auto* modelCaption = new QLabel("MODEL", this);
  m_pModel = new QPlainTextEdit(this);
  m_pModel->setObjectName("MODEL");
  m_pModel->setReadOnly(true);
  m_pModel->setMaximumHeight(110);
  m_pStatus = new QLabel(this);
  m_pStatus->setObjectName("Status");

  auto button = [this](const char* name, const char* text) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setMinimumWidth(90);
    return b;
  };
  m_pGetValue = button("GetValue", "Get Value");
  m_pSetValue = button("SetValue", "Set Value");
  m_pTest = button("TEST", "TEST");
  m_pDefault = button("Default", "Default");
  m_pExit = button("EXIT", "EXIT");
  m_pExit->setDefault(true);

  auto* right = new QVBoxLayout;
  right->addWidget(m_pNewOptions, 1);
  right->addWidget(modelCaption);
  right->addWidget(m_pModel);
  right->addWidget(m_pStatus);
  auto* middle = new QHBoxLayout;
  middle->addWidget(m_pSettings, 3);
  middle->addLayout(right, 2);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {m_pGetValue, m_pSetValue, m_pTest, m_pDefault}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(m_pExit);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pHeading);
  layout->addLayout(middle);
  layout->addLayout(buttons);

  m_pReadTimer = new QTimer(this);
  m_pReadTimer->setSingleShot(true);
  connect(m_pReadTimer, &QTimer::timeout, this, &CUserSetupDlg::OnReadTimer);
  connect(m_pGetValue, &QPushButton::clicked, this, &CUserSetupDlg::OnGetValue);
  connect(m_pSetValue, &QPushButton::clicked, this, &CUserSetupDlg::OnSetValue);
  connect(m_pTest, &QPushButton::clicked, this, &CUserSetupDlg::OnTest);
  connect(m_pDefault, &QPushButton::clicked, this, &CUserSetupDlg::OnDefault);
  connect(m_pExit, &QPushButton::clicked, this, &CUserSetupDlg::OnExit);
  connect(m_pSettings, &CSettingGroupWidget::Edited, this, &CUserSetupDlg::RefreshControls);
  connect(m_pNewOptions, &CNewOptionGroup::Edited, this, &CUserSetupDlg::RefreshControls);
}

CUserSetupDlg::~CUserSetupDlg() {
  // The worker goes before the model and the widgets it hands values to.
  CloseOnce();
  m_pExchange.reset();
}

bool CUserSetupDlg::OnInitDialog() {
  setWindowTitle(kTitleUserSetup);
  m_pModel->setPlainText(PortInfoText());
  RefreshControls();
  m_pSettings->FillLists();
  m_pNewOptions->FillLists();
  if (!m_pExchange->OpenExchange()) {
    m_bClosed = true;
    return false;
  }
  if (m_model.IsKorean()) {
    m_pHeading->setText("사용자 설정");
    m_pGetValue->setText("설정 읽기");
    m_pSetValue->setText("설정 쓰기");
    m_pExit->setText("취소");
    m_pTest->setText("테스트");
    m_pDefault->setText("기본값");
    m_pSettings->SetKoreanTexts();
    m_pNewOptions->SetKoreanTexts();
  }
  m_pSettings->ApplyModelView();
  m_pNewOptions->ApplyModelView();
  ButtonsChanged(m_pExchange->Buttons());
  RefreshControls();
  return true;
}

int CUserSetupDlg::exec() {
  if (!OnInitDialog()) return Rejected;
  return QDialog::exec();
}

void CUserSetupDlg::OnGetValue() {
  // The marks compare with what this read brings; settings it does not read keep their
  // values of now.
  m_baseline = m_model;
  const bool ok = m_pExchange->GetValue();
  ShowReadStatus();
  if (ok) StartReadTimer();
  RefreshControls();
}

void CUserSetupDlg::OnSetValue() {
  if (!m_pSettings->TakeFields()) return;
  if (m_pExchange->SetValue() && m_baseline) m_baseline = m_model;
  RefreshControls();
}

void CUserSetupDlg::OnTest() {
  m_pExchange->TestPrint();
  RefreshControls();
}

void CUserSetupDlg::OnDefault() {
  if (m_model.AskAndLoadDefaults()) RefreshControls();
}

void CUserSetupDlg::OnExit() {
  CloseOnce();
  accept();
}

void CUserSetupDlg::reject() {
  CloseOnce();
  QDialog::reject();
}

void CUserSetupDlg::CloseOnce() {
  if (m_bClosed) return;
  m_bClosed = true;
  m_pReadTimer->stop();
  m_pExchange->CloseExchange();
}

bool CUserSetupDlg::ApplySetupValue(const SetupValue& value, const std::atomic<bool>& stop) {
  return RunOnUiThread(
      [this, value] {
        m_model.ApplyValue(value);
        if (m_baseline) m_baseline->ApplyValue(value);
        RefreshControls();
        ShowReadStatus();
      },
      [&stop] { return stop.load(); });
}

void CUserSetupDlg::ButtonsChanged(const SetupButtons& buttons) {
  m_pGetValue->setEnabled(buttons.bGetValue);
  m_pSetValue->setEnabled(buttons.bSetValue);
  m_pTest->setEnabled(buttons.bTest);
  m_pExit->setEnabled(buttons.bExit);
  m_pDefault->setEnabled(buttons.bDefault);
}

void CUserSetupDlg::FailureStateEntered() { RefreshControls(); }

void CUserSetupDlg::ReadStatusChanged(const SetupReadStatus&) { ShowReadStatus(); }

void CUserSetupDlg::ShowReadStatus() {
  const SetupReadStatus status = m_pExchange->ReadStatus();
  m_pStatus->setText(status.bStarted ? QString::fromStdString(status.Text()) : QString());
}

void CUserSetupDlg::RefreshControls() {
  m_pSettings->Refresh();
  m_pNewOptions->Refresh();
  if (m_baseline) {
    m_pSettings->MarkChanged(*m_baseline);
    m_pNewOptions->MarkChanged(*m_baseline);
  }
}

void CUserSetupDlg::StartReadTimer() {
  if (const int ms = m_pExchange->ReadTimerMs(); ms > 0 && !m_bClosed) m_pReadTimer->start(ms);
}

void CUserSetupDlg::OnReadTimer() {
  if (m_bClosed) return;
  m_pExchange->OnReadTimer();
  ShowReadStatus();
  StartReadTimer();
}

int RunUserSetup(int modelCode, SetupConnection connection, QWidget* parent) {
  CUserSetupDlg dlg(modelCode, std::move(connection), parent);
  return dlg.exec();
}

}  // namespace torva
