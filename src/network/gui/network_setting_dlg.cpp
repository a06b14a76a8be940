#include "network/gui/network_setting_dlg.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/messages.h"
#include "app/services.h"

namespace torva {
namespace {

constexpr const char* kCaptionNotice = "Notice";

// Column titles and widths of the printer list; the MAC column takes the rest. A column is
// widened where this system's font needs more room for its longest text.
struct Column {
  const char* title;
  int width;
  const char* longest;
};
constexpr Column kColumns[] = {{"IP", 130, "255.255.255.255 (DHCP)"},
                               {"Port", 60, "65535"},
                               {"Subnet", 130, "255.255.255.255"},
                               {"Gateway", 130, "255.255.255.255"},
                               {"Mac Address", 0, "FF:FF:FF:FF:FF:FF"}};
constexpr int kCellPadding = 16;

// Up to four dotted fields of 0..255 while typing, as an address box holds them.
const char* const kAddressPattern =
    R"(((25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)?(\.(25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)?){0,3}))";

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QLineEdit* AddressBox(QWidget* parent, const char* name) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setValidator(
      new QRegularExpressionValidator(QRegularExpression(kAddressPattern), box));
  box->setMaximumWidth(180);
  return box;
}

QLabel* Label(const char* text, const char* name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

CNetworkSettingDlg::CNetworkSettingDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("CNetworkSettingDlg");
  setWindowTitle("Ethernet-II Network Setting");
  setModal(true);

  m_pList = new QTableWidget(0, static_cast<int>(std::size(kColumns)), this);
  m_pList->setObjectName("PrinterList");
  m_pList->setShowGrid(true);
  m_pList->verticalHeader()->hide();
  m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pList->setWordWrap(false);
  m_pList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_pList->horizontalHeader()->setStretchLastSection(true);
  m_pList->viewport()->installEventFilter(this);

  m_pSearch = new QPushButton("Search Printer", this);
  m_pSearch->setObjectName("SearchPrinter");
  m_pChange = new QPushButton("Change Setting", this);
  m_pChange->setObjectName("ChangeSetting");
  m_pExit = new QPushButton("EXIT", this);
  m_pExit->setObjectName("EXIT");
  m_pExit->setDefault(true);

  m_pIp = AddressBox(this, "IP");
  m_pSubnet = AddressBox(this, "Subnet");
  m_pGateway = AddressBox(this, "Gateway");
  m_pPort = new QLineEdit(this);
  m_pPort->setObjectName("PORT");
  m_pPort->setMaxLength(10);
  m_pPort->setMaximumWidth(180);
  m_pPort->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d*"), m_pPort));
  m_pDhcp = new QCheckBox("DHCP", this);
  m_pDhcp->setObjectName("DHCP");

  auto* macLabel = Label("MAC(Low 3byte):", "MacLabel", this);
  const char* const boxNames[] = {"MacLow1", "MacLow2", "MacLow3"};
  for (size_t i = 0; i < m_pMacLow.size(); ++i) {
    m_pMacLow[i] = new QLineEdit(this);
    m_pMacLow[i]->setObjectName(boxNames[i]);
    m_pMacLow[i]->setMaxLength(2);
    m_pMacLow[i]->setMaximumWidth(40);
    m_pMacLow[i]->setValidator(new QRegularExpressionValidator(
        QRegularExpression("[0-9A-Fa-f]{0,2}"), m_pMacLow[i]));
  }
  auto* colon1 = Label(":", "MacColon1", this);
  auto* colon2 = Label(":", "MacColon2", this);
  auto* manual = new QPushButton("Manually change", this);
  manual->setObjectName("ManuallyChange");
  m_pManual = {macLabel, m_pMacLow[0], colon1, m_pMacLow[1], colon2, m_pMacLow[2], manual};
  for (QWidget* w : m_pManual) w->hide();

  auto* fields = new QGridLayout;
  const std::pair<const char*, QWidget*> rows[] = {
      {"IP", m_pIp}, {"Subnet", m_pSubnet}, {"Gateway", m_pGateway}, {"PORT", m_pPort}};
  int r = 0;
  for (const auto& [text, box] : rows) {
    auto* label = Label(text, (std::string(text) + "Label").c_str(), this);
    label->setBuddy(box);
    fields->addWidget(label, r, 0);
    fields->addWidget(box, r, 1);
    ++r;
  }
  fields->addWidget(m_pDhcp, r, 1);

  auto* manualRow = new QHBoxLayout;
  for (QWidget* w : m_pManual) manualRow->addWidget(w);
  manualRow->addStretch();

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(m_pSearch);
  buttons->addWidget(m_pChange);
  buttons->addStretch();
  buttons->addWidget(m_pExit);

  auto* lower = new QHBoxLayout;
  lower->addLayout(fields);
  lower->addStretch(1);
  lower->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pList, 1);
  layout->addLayout(lower);
  layout->addLayout(manualRow);

  connect(m_pSearch, &QPushButton::clicked, this, &CNetworkSettingDlg::OnSearchPrinter);
  connect(m_pChange, &QPushButton::clicked, this, &CNetworkSettingDlg::OnChangeSetting);
  connect(manual, &QPushButton::clicked, this, &CNetworkSettingDlg::OnManualChange);
  connect(m_pExit, &QPushButton::clicked, this, &QDialog::accept);

  m_pPort->setText(QString::number(m_nPort));
  OnInitDialog();
}

CNetworkSettingDlg::~CNetworkSettingDlg() = default;

int CNetworkSettingDlg::exec() {
  OnInitDialog();
  return QDialog::exec();
}

void CNetworkSettingDlg::SetDiscoveryParams(std::optional<NetDiscoveryParams> params) {
  m_params = std::move(params);
}

NetDiscoveryParams CNetworkSettingDlg::ExchangeParams() const {
  return m_params ? *m_params : NetDiscoveryParams::FromSettings();
}

void CNetworkSettingDlg::OnInitDialog() {
  const bool service = Ui().CtrlKeyHeld();
  for (QWidget* w : m_pManual) w->setVisible(service);

  m_pList->setRowCount(0);
  QStringList titles;
  for (const Column& c : kColumns) titles << c.title;
  m_pList->setHorizontalHeaderLabels(titles);
  const QFontMetrics metrics = m_pList->fontMetrics();
  // Room for a vertical scroll bar, so that the last column is not cut when the list is full.
  int listWidth = 2 * m_pList->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    const int width =
        std::max(kColumns[i].width, metrics.horizontalAdvance(kColumns[i].longest) + kCellPadding);
    m_pList->setColumnWidth(i, width);
    listWidth += width;
  }
  m_pList->setMinimumWidth(listWidth);
  m_pChange->setEnabled(false);

  const bool korean = System().DefaultLanguageId() == kLangKorean;
  m_pSearch->setText(korean ? "프린터 검색" : "Search Printer");
  m_pChange->setText(korean ? "설정 변경" : "Change Setting");
  m_pExit->setText(korean ? "닫기" : "EXIT");
}

void CNetworkSettingDlg::AddPrinterRow(const NetPrinterReply& reply) {
  const NetListRow texts = ListRowOf(reply.m_packet);
  const std::string* const columns[] = {&texts.m_strIp, &texts.m_strPort, &texts.m_strSubnet,
                                        &texts.m_strGateway, &texts.m_strMac};
  const int row = m_pList->rowCount();
  m_pList->insertRow(row);
  for (int i = 0; i < static_cast<int>(std::size(columns)); ++i) {
    auto* item = new QTableWidgetItem(Q(*columns[i]));
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pList->setItem(row, i, item);
  }
  m_pList->scrollToItem(m_pList->item(row, 0));
}

void CNetworkSettingDlg::OnSearchPrinter() {
  Ui().SetWaitCursor(true);
  m_pList->setRowCount(0);
  CNetDiscovery discovery(ExchangeParams());
  discovery.Search([this](const NetPrinterReply& reply) {
    AddPrinterRow(reply);
    // The search holds this thread; let the new row paint, but take no clicks meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  });
  Ui().SetWaitCursor(false);
}

bool CNetworkSettingDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pList->viewport() && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) {
      OnListClick(m_pList->indexAt(mouse->position().toPoint()).row());
    }
  }
  return QDialog::eventFilter(watched, event);
}

void CNetworkSettingDlg::OnListClick(int row) {
  if (row < 0 || row >= m_pList->rowCount()) {
    m_pChange->setEnabled(false);
    return;
  }
  auto text = [this, row](int column) {
    const QTableWidgetItem* item = m_pList->item(row, column);
    return item != nullptr ? S(item->text()) : std::string();
  };
  const NetListRow texts{text(0), text(1), text(2), text(3), text(4)};
  const NetSettingForm form = FormOfRow(texts);
  m_pDhcp->setChecked(form.m_bDhcp);
  m_pIp->setText(Q(form.m_strIp));
  m_nPort = form.m_nPort;
  m_pPort->setText(QString::number(m_nPort));
  m_pSubnet->setText(Q(form.m_strSubnet));
  m_pGateway->setText(Q(form.m_strGateway));
  m_strSelectedMac = texts.m_strMac;
  m_pChange->setEnabled(true);
}

NetSettingForm CNetworkSettingDlg::ReadForm() const {
  NetSettingForm form;
  form.m_strIp = S(m_pIp->text());
  form.m_strSubnet = S(m_pSubnet->text());
  form.m_strGateway = S(m_pGateway->text());
  form.m_nPort = PortBoxValue(S(m_pPort->text()));
  form.m_bDhcp = m_pDhcp->isChecked();
  return form;
}

void CNetworkSettingDlg::TakeFields(const NetSettingForm& form) {
  m_nPort = form.m_nPort;
  for (size_t i = 0; i < m_pMacLow.size(); ++i) m_strMacLow[i] = S(m_pMacLow[i]->text());
}

void CNetworkSettingDlg::OnChangeSetting() {
  const NetSettingForm form = ReadForm();
  NetSettingPacket packet;
  const int refused = BuildSelectedChange(form, m_strSelectedMac, packet);
  // The host byte is checked before the control values are taken into the fields.
  if (refused != kMsgHostByte) TakeFields(form);
  if (refused != 0) {
    ShowMessage(theMsg[refused], MsgIcon::Warning);
    return;
  }
  RunChange(packet, kCaptionNotice);
}

void CNetworkSettingDlg::OnManualChange() {
  const NetSettingForm form = ReadForm();
  TakeFields(form);
  NetSettingPacket packet;
  if (const int refused = BuildManualChange(form, m_strMacLow, packet)) {
    ShowMessage(theMsg[refused], MsgIcon::Warning);
    return;
  }
  RunChange(packet, kAppName);
}

void CNetworkSettingDlg::RunChange(const NetSettingPacket& packet, const std::string& caption) {
  CNetDiscovery discovery(ExchangeParams());
  discovery.ChangeSettings(packet, caption);
  m_pChange->setEnabled(false);
}

void RunNetworkSettingDlg(QWidget& owner) {
  auto* dlg = owner.findChild<CNetworkSettingDlg*>(QString(), Qt::FindDirectChildrenOnly);
  if (dlg == nullptr) dlg = new CNetworkSettingDlg(&owner);
  dlg->exec();
}

}  // namespace torva
