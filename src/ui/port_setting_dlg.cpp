#include "ui/port_setting_dlg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <initializer_list>

#include "app/app.h"
#include "app/error_log.h"
#include "app/messages.h"
#include "app/services.h"
#include "ports/usb_search.h"
#include "logo/gui/elided_path.h"
#include "logo/printer_check.h"
#include "ui/connection_env.h"
#include "ui/main_menu_dlg.h"
#include "ui/network_dlg.h"

// The icon lives in the library's resources; naming the initialiser keeps it linked.
static void InitTorvaIcon() { Q_INIT_RESOURCE(torvaset); }

namespace torva {
namespace {

constexpr const char* kSearchTitle = "Searching for the printer";
constexpr const char* kDeviceListSection = "DEVICELIST";
constexpr const char* kDeviceListKeyFormat = "Model%d";

// Keeps the wait cursor up for the lifetime of the object.
class CWaitCursor {
 public:
  CWaitCursor() { Ui().SetWaitCursor(true); }
  ~CWaitCursor() { Ui().SetWaitCursor(false); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
};

QComboBox* NewList(QWidget* parent, const char* name, std::initializer_list<const char*> items) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  for (const char* item : items) combo->addItem(item);
  return combo;
}

// The repaint of the title must happen while the search holds the thread.
void ShowProgress() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

std::string Text(const QComboBox* combo) { return combo->currentText().toStdString(); }

}  // namespace

CPortSettingDlg::CPortSettingDlg(IConnectionEnvironment& env, QWidget* parent)
    : QDialog(parent), m_env(env) {
  setObjectName("CPortSettingDlg");
  m_pNetwork = new CNetworkDlg(env, this);

  m_pDevice = new QComboBox(this);
  m_pDevice->setObjectName("DEVICE");
  m_pDevice->setMinimumContentsLength(18);
  m_pPort = new CPathComboBox(this);
  m_pPort->setObjectName("PORT");
  m_pBaudrate = NewList(this, "Baudrate", {"115200", "57600", "38400", "19200", "9600"});
  m_pParity = NewList(this, "Parity", {"NONE", "ODD", "EVEN"});
  m_pDataLength = NewList(this, "DataLength", {"8 Bits", "7 Bits"});
  m_pFlowControl = NewList(this, "FlowControl", {"H/W", "S/W", "NONE"});
  m_pStopBit = NewList(this, "StopBit", {"1", "2"});

  auto* form = new QFormLayout;
  const std::pair<const char*, QComboBox*> rows[] = {
      {"DEVICE", m_pDevice},         {"PORT", m_pPort},          {"Baudrate", m_pBaudrate},
      {"Parity", m_pParity},         {"Data Length", m_pDataLength},
      {"Flow control", m_pFlowControl}, {"Stop Bit", m_pStopBit}};
  for (const auto& [label, combo] : rows) {
    auto* l = new QLabel(label, this);
    l->setObjectName(combo->objectName() + "Label");
    l->setBuddy(combo);
    form->addRow(l, combo);
    m_labels.push_back(l);
  }

  m_pOk = new QPushButton("OK", this);
  m_pOk->setObjectName("OK");
  m_pOk->setDefault(true);
  m_pCancel = new QPushButton("Cancel", this);
  m_pCancel->setObjectName("Cancel");
  m_pCancel->setAutoDefault(false);
  m_pCheck = new QPushButton("Check", this);
  m_pCheck->setObjectName("Check");
  m_pCheck->setAutoDefault(false);
  m_pCheck->setToolTip("Sends the printer check on the chosen port and shows the answer");
  m_pCheckStatus = new QLabel(this);
  m_pCheckStatus->setObjectName("CheckStatus");
  m_pCheckStatus->setWordWrap(true);
  m_pCheckStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

  InitTorvaIcon();
  auto* iconLabel = new QLabel(this);
  iconLabel->setObjectName("Icon");
  iconLabel->setPixmap(QIcon(":/icons/torvaset.png").pixmap(64, 64));
  iconLabel->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_pCheck);
  buttons->addStretch();
  buttons->addWidget(m_pOk);
  buttons->addWidget(m_pCancel);
  auto* top = new QHBoxLayout;
  top->addWidget(iconLabel);
  top->addLayout(form, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(m_pCheckStatus);
  layout->addLayout(buttons);

  // "activated" is the user's choice only; filling a list never runs the handlers.
  connect(m_pDevice, &QComboBox::activated, this, &CPortSettingDlg::OnSelChangeDevice);
  connect(m_pDevice, &QComboBox::activated, this, &CPortSettingDlg::UpdateDisabledTips);
  connect(m_pCheck, &QPushButton::clicked, this, &CPortSettingDlg::OnCheck);
  // A check's answer belongs to the connection it was made on.
  connect(m_pDevice, &QComboBox::activated, m_pCheckStatus, &QLabel::clear);
  connect(m_pPort, &QComboBox::currentIndexChanged, m_pCheckStatus, &QLabel::clear);
  connect(m_pDataLength, &QComboBox::activated, this, &CPortSettingDlg::OnSelChangeDataLength);
  connect(m_pOk, &QPushButton::clicked, this, &CPortSettingDlg::OnOK);
  connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
  OnInitDialog();
}

CPortSettingDlg::~CPortSettingDlg() = default;

int CPortSettingDlg::RunModal(QDialog& dlg) { return m_runModal ? m_runModal(dlg) : dlg.exec(); }

void CPortSettingDlg::OnInitDialog() {
  const QIcon icon(":/icons/torvaset.png");
  setWindowIcon(icon);
  theApp().m_strAppName = kAppName;
  theMsg.SelectLanguage(System().DefaultLanguageId());
  if (theMsg.IsKorean()) SetKoreanLabels();
  setWindowTitle(kTitle);

  FillDeviceList();
  RestoreLastModel();

  for (QComboBox* list : {m_pBaudrate, m_pParity, m_pDataLength, m_pFlowControl, m_pStopBit}) {
    list->setCurrentIndex(0);
  }
  m_pPort->setEnabled(false);
  EnableLineParameters(false);
  m_pOk->setEnabled(false);

  theLog.OpenLog("error.log");
  theLog.WriteHeader();

  if (m_pDevice->currentIndex() >= 0) OnSelChangeDevice();
  RestoreLastLine();
  UpdateDisabledTips();
}

void CPortSettingDlg::SetKoreanLabels() {
  const char* korean[] = {"프린터종류", "포트", "통신속도", "패리티", "테이터 길이",
                          "플로우 컨트롤", "스톱 비트"};
  for (size_t i = 0; i < m_labels.size(); ++i) m_labels[i]->setText(korean[i]);
  m_pCancel->setText("취소");
  m_pCheck->setText("점검");
}

void CPortSettingDlg::FillDeviceList() {
  m_pDevice->clear();
  const std::vector<std::string> listed =
      ReadNumberedSettings(kDeviceListSection, kDeviceListKeyFormat, 1);
  if (!listed.empty()) {
    for (const std::string& name : listed) m_pDevice->addItem(QString::fromStdString(name));
    m_pDevice->setCurrentIndex(-1);
    return;
  }

  auto serialFound = [this](const std::vector<std::string>& ids) {
    for (const std::string& id : ids) {
      if (!m_env.FindUsbSerialPort(id).empty()) return true;
    }
    return false;
  };
  auto printerFound = [this](const std::vector<std::string>& ids) {
    const std::string* previous = nullptr;
    for (const std::string& id : ids) {
      // The search's repeated first identifier is asked once here.
      if (previous != nullptr && *previous == id) continue;
      previous = &id;
      if (m_env.FindUsbPrinter(id) > 0) return true;
    }
    return false;
  };

  // A built-in model whose USB device is present is pre-selected; the TORVA30 USB printer
  // yields to an earlier find, every other find replaces it.
  const std::vector<std::string>& models = BuiltInModels();
  int selected = -1;
  for (size_t i = 0; i < models.size(); ++i) {
    m_pDevice->addItem(QString::fromStdString(models[i]));
    const int family = ModelFamilyFromName(models[i]);
    const PortKind kind = PortKindFromName(models[i], family);
    bool found = false;
    if (kind == PK_USB_COM) {
      found = serialFound(UsbSerialIdsForFamily(family));
    } else if (kind == PK_USB) {
      found = (selected < 0 || family != kModelTorva30) &&
              printerFound(UsbSearchIdsForFamily(family));
    }
    if (found) selected = static_cast<int>(i);
  }
  m_pDevice->setCurrentIndex(selected);
}

void CPortSettingDlg::EnableLineParameters(bool on) {
  for (QComboBox* list : {m_pBaudrate, m_pParity, m_pDataLength, m_pFlowControl, m_pStopBit}) {
    list->setEnabled(on);
  }
}

void CPortSettingDlg::FillBaudrates(int family) {
  m_pBaudrate->clear();
  for (int rate : BaudRatesForFamily(family)) m_pBaudrate->addItem(QString::number(rate));
  m_pBaudrate->setCurrentIndex(0);
}

std::string CPortSettingDlg::FindUsbComPort(int family) {
  for (const std::string& id : UsbSerialIdsForFamily(family)) {
    std::string port = m_env.FindUsbSerialPort(id);
    if (!port.empty()) return port;
  }
  return {};
}

void CPortSettingDlg::OnSelChangeDevice() {
  CWaitCursor wait;
  const std::string device = Text(m_pDevice);
  const int family = ModelFamilyFromName(device);
  if (family == kNoFamily) {
    ShowMessage(theMsg[MsgId::InvalidDevice], MsgIcon::Warning);
    // No port kind survives from the model chosen before: OK waits for a known model.
    m_nFamily = kNoFamily;
    m_nPortKind = PK_NONE;
    m_pOk->setEnabled(false);
    return;
  }
  m_nFamily = family;

  const PortKind kind = PortKindFromName(device, family);
  switch (kind) {
    case PK_ETHERNET:
    case PK_WIFI:
      m_nPortKind = kind;
      m_pPort->setEnabled(false);
      EnableLineParameters(false);
      m_pOk->setEnabled(true);
      return;
    case PK_USB:
      SearchUsbPrinter();
      return;
    case PK_LPT:
    case PK_COM:
    case PK_USB_COM: {
      m_nPortKind = kind;
      m_pPort->clear();
      std::vector<std::string> ports;
      if (kind == PK_USB_COM) {
        std::string port = FindUsbComPort(family);
        if (!port.empty()) ports.push_back(port);
      } else {
        m_env.EnumPorts(kind == PK_LPT, ports);
      }
      if (ports.empty()) {
        // A choice without a port would open the menu over nothing: OK waits for a port.
        ShowMessage(theMsg[kind == PK_LPT ? MsgId::NoLptPort : MsgId::NoComPort], MsgIcon::Warning);
        m_pPort->setCurrentIndex(-1);
        m_pOk->setEnabled(false);
        return;
      }
      for (const std::string& port : ports) m_pPort->addItem(QString::fromStdString(port));
      m_pPort->model()->sort(0);
      m_pPort->setCurrentIndex(0);
      m_pPort->setEnabled(true);
      if (kind == PK_LPT) {
        EnableLineParameters(false);
      } else {
        EnableLineParameters(true);
        FillBaudrates(family);
      }
      break;
    }
    case PK_NONE:
      m_nPortKind = PK_NONE;
      break;
  }
  m_pOk->setEnabled(m_nFamily != kNoFamily && m_nPortKind != PK_NONE);
}

void CPortSettingDlg::SearchUsbPrinter() {
  const QString savedTitle = windowTitle();
  QString shown = kSearchTitle;
  setWindowTitle(shown);
  ShowProgress();

  const int count = torva::SearchUsbPrinter(
      UsbSearchIdsForFamily(m_nFamily),
      [this](const std::string& id) { return m_env.FindUsbPrinter(id); },
      [this, &shown] {
        shown += '.';
        setWindowTitle(shown);
        ShowProgress();
      });
  setWindowTitle(savedTitle);

  if (count <= 0) {
    ShowMessage(theMsg[MsgId::TurnOnUsbPrinter], MsgIcon::Warning);
    m_pOk->setEnabled(false);
    m_pPort->setCurrentIndex(-1);
    m_pDevice->setCurrentIndex(-1);
  } else if (count == 1) {
    m_nPortKind = PK_USB;
    m_pPort->setEnabled(false);
    EnableLineParameters(false);
    m_pOk->setEnabled(true);
  } else {
    ShowMessage(theMsg[MsgId::TooManyUsbDevices], MsgIcon::Warning);
    m_pOk->setEnabled(false);
    m_pPort->setCurrentIndex(-1);
    m_pDevice->setCurrentIndex(-1);
  }
}

void CPortSettingDlg::OnSelChangeDataLength() {
  const QString previous = m_pStopBit->currentText();
  m_pStopBit->clear();
  m_pStopBit->addItems({"1", "2"});
  int index = -1;
  for (int i = 0; i < m_pStopBit->count() && !previous.isEmpty(); ++i) {
    if (m_pStopBit->itemText(i).startsWith(previous)) {
      index = i;
      break;
    }
  }
  m_pStopBit->setCurrentIndex(index);
}

bool CPortSettingDlg::ReadLineParameters() {
  ConnectionSettings& s = m_env.Connection();
  bool isNumber = false;
  const int baud = m_pBaudrate->currentText().toInt(&isNumber);
  if (m_pBaudrate->currentIndex() < 0 || !isNumber) {
    ShowMessage(theMsg[MsgId::BaudNotSelected], MsgIcon::Warning);
    return false;
  }
  s.m_nBaudRate = baud;

  // The leading number of "8 Bits" / "7 Bits".
  const int bits = m_pDataLength->currentText().section(' ', 0, 0).toInt(&isNumber);
  if (m_pDataLength->currentIndex() < 0 || !isNumber) {
    ShowMessage(theMsg[MsgId::DataLengthNotSelected], MsgIcon::Warning);
    return false;
  }
  s.m_nDataBits = bits;

  if (m_pParity->currentIndex() < 0) {
    ShowMessage(theMsg[MsgId::ParityNotSelected], MsgIcon::Warning);
    return false;
  }
  s.m_nParity = m_pParity->currentIndex();

  const QString stop = m_pStopBit->currentText();
  if (stop.isEmpty()) {
    ShowMessage(theMsg[MsgId::StopBitNotSelected], MsgIcon::Warning);
    return false;
  }
  s.m_nStopBits = stop == "1.5" ? 1 : stop == "2" ? 2 : 0;

  if (m_pFlowControl->currentIndex() < 0) {
    ShowMessage(theMsg[MsgId::FlowNotSelected], MsgIcon::Warning);
    return false;
  }
  s.m_nFlowControl = m_pFlowControl->currentIndex() + 1;
  return true;
}

void CPortSettingDlg::OnOK() {
  ConnectionSettings& s = m_env.Connection();
  s.m_strPortName = Text(m_pPort);
  s.m_nModel = ModelCodeFromName(Text(m_pDevice));

  int networkResult = QDialog::Accepted;
  if (m_nPortKind != PK_USB) {
    switch (m_nPortKind) {
      case PK_ETHERNET:
        s.m_strPortName = "ETHERNET_II";
        m_pNetwork->OnInitDialog();
        networkResult = RunModal(*m_pNetwork);
        break;
      case PK_WIFI:
        // The network dialog shows its WiFi mode for this name; every job afterwards
        // treats the printer as a network printer.
        s.m_strPortName = "WIFI";
        m_pNetwork->OnInitDialog();
        networkResult = RunModal(*m_pNetwork);
        s.m_strPortName = "ETHERNET_II";
        break;
      case PK_LPT:
        break;
      default:
        if (!ReadLineParameters()) return;
        break;
    }
  } else {
    s.m_strPortName = "USB";
  }
  if (networkResult != QDialog::Accepted) return;
  SaveConfirmedConnection();

  CMainMenuDlg menu(m_env, this);
  RunModal(menu);
}

}  // namespace torva
