// What the connection dialog does for its user beyond choosing: it remembers the connection
// last confirmed with OK, checks the printer on request, and says why a control is greyed out.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "app/messages.h"
#include "app/services.h"
#include "logo/printer_check.h"
#include "ui/connection_env.h"
#include "ui/network_dlg.h"
#include "ui/port_setting_dlg.h"

namespace torva {
namespace {

std::string Text(const QComboBox* combo) { return combo->currentText().toStdString(); }

bool IsSerialKind(PortKind kind) { return kind == PK_COM || kind == PK_USB_COM; }
bool IsNetworkKind(PortKind kind) { return kind == PK_ETHERNET || kind == PK_WIFI; }

void SelectText(QComboBox* combo, const QString& text) {
  const int index = combo->findText(text);
  if (index >= 0 && combo->isEnabled()) combo->setCurrentIndex(index);
}

}  // namespace

void CPortSettingDlg::RestoreLastModel() {
  m_lastConnection = LoadLastConnection();
  if (!m_lastConnection) return;
  if (!m_lastConnection->strIpAddress.empty() && m_lastConnection->nTcpPort > 0) {
    m_pNetwork->m_strIpAddress = m_lastConnection->strIpAddress;
    m_pNetwork->m_nPort = m_pNetwork->m_nAcceptedPort =
        static_cast<unsigned>(m_lastConnection->nTcpPort);
  }
  // A USB printer that is present was pre-selected by the device list: it wins.
  if (m_pDevice->currentIndex() >= 0) return;
  const int index = m_pDevice->findText(QString::fromStdString(m_lastConnection->strModel));
  if (index >= 0) m_pDevice->setCurrentIndex(index);
}

void CPortSettingDlg::RestoreLastLine() {
  if (!m_lastConnection || Text(m_pDevice) != m_lastConnection->strModel) return;
  const LastConnection& last = *m_lastConnection;
  if (!last.strPort.empty()) SelectText(m_pPort, QString::fromStdString(last.strPort));
  if (last.nBaudRate <= 0 || !IsSerialKind(m_nPortKind)) return;
  SelectText(m_pBaudrate, QString::number(last.nBaudRate));
  SelectText(m_pDataLength, QString("%1 Bits").arg(last.nDataBits));
  if (last.nParity >= 0 && last.nParity < m_pParity->count()) {
    m_pParity->setCurrentIndex(last.nParity);
  }
  SelectText(m_pStopBit, last.nStopBits == 2 ? "2" : "1");
  if (last.nFlowControl >= 1 && last.nFlowControl <= m_pFlowControl->count()) {
    m_pFlowControl->setCurrentIndex(last.nFlowControl - 1);
  }
}

void CPortSettingDlg::SaveConfirmedConnection() {
  const ConnectionSettings& s = m_env.Connection();
  LastConnection last;
  last.strModel = Text(m_pDevice);
  const bool usbPrinter = m_nPortKind == PK_USB && m_nFamily != 2;
  if (!usbPrinter && !IsNetworkKind(m_nPortKind)) last.strPort = Text(m_pPort);
  if (!usbPrinter && IsSerialKind(m_nPortKind)) {
    last.nBaudRate = s.m_nBaudRate;
    last.nDataBits = s.m_nDataBits;
    last.nParity = s.m_nParity;
    last.nStopBits = s.m_nStopBits;
    last.nFlowControl = s.m_nFlowControl;
  }
  if (IsNetworkKind(m_nPortKind)) {
    last.strIpAddress = m_pNetwork->m_strIpAddress;
    last.nTcpPort = static_cast<int>(m_pNetwork->m_nAcceptedPort);
  } else if (m_lastConnection) {
    // The network printer's address stays for the next time one is chosen.
    last.strIpAddress = m_lastConnection->strIpAddress;
    last.nTcpPort = m_lastConnection->nTcpPort;
  }
  SaveLastConnection(last);
  m_lastConnection = last;
}

void CPortSettingDlg::OnCheck() {
  const bool korean = theMsg.IsKorean();
  ConnectionSettings s;
  s.m_nModel = ModelCodeFromName(Text(m_pDevice));
  if (IsNetworkKind(m_nPortKind)) {
    s.m_strPortName = "ETHERNET_II";
  } else if (m_nPortKind == PK_USB) {
    s.m_strPortName = "USB";
  } else {
    s.m_strPortName = Text(m_pPort);
  }
  if (m_nFamily == 0 || m_nPortKind == PK_NONE || s.m_strPortName.empty()) {
    m_pCheckStatus->setText(korean ? "먼저 프린터 종류와 포트를 고르십시오"
                                   : "Choose a printer model and a port first");
    return;
  }
  if (IsSerialKind(m_nPortKind)) {
    s.m_nBaudRate = m_pBaudrate->currentText().toInt();
    s.m_nDataBits = m_pDataLength->currentText().section(' ', 0, 0).toInt();
    s.m_nParity = m_pParity->currentIndex();
    s.m_nStopBits = m_pStopBit->currentText() == "2" ? 2 : 0;
    s.m_nFlowControl = m_pFlowControl->currentIndex() + 1;
  }
  m_pCheckStatus->setText(korean ? "점검 중..." : "Checking...");
  m_pCheckStatus->repaint();
  Ui().SetWaitCursor(true);
  const PrinterCheckResult result =
      CheckPrinter(s, m_pNetwork->m_strIpAddress, static_cast<int>(m_pNetwork->m_nPort));
  Ui().SetWaitCursor(false);
  m_pCheckStatus->setText(QString::fromStdString(PrinterCheckText(result, korean)));
}

void CPortSettingDlg::UpdateDisabledTips() {
  const bool korean = theMsg.IsKorean();
  const bool chosen = m_pDevice->currentIndex() >= 0 && m_nFamily != 0;
  QString portTip;
  QString lineTip;
  if (!chosen) {
    portTip = lineTip = korean ? "먼저 프린터 종류를 고르십시오" : "Choose a printer model first";
  } else if (m_nPortKind == PK_USB) {
    portTip = korean
                  ? "USB 프린터는 장치 ID로 찾으므로 고를 포트가 없습니다"
                  : "A USB printer is found by its device identifier: there is no port to choose";
  } else if (IsNetworkKind(m_nPortKind)) {
    portTip = korean ? "네트워크 프린터의 주소는 OK 다음에 입력합니다"
                     : "A network printer's address is asked for after OK";
  } else if (m_pPort->count() == 0) {
    portTip = korean ? "이 종류의 포트를 찾지 못했습니다" : "No port of this kind was found";
  }
  if (chosen && !IsSerialKind(m_nPortKind)) {
    lineTip = korean ? "통신 속도 등은 직렬 포트에만 있습니다"
                     : "Only a serial line has a baud rate, parity and the other line settings";
  }
  m_pPort->setToolTip(m_pPort->isEnabled() ? m_pPort->currentText() : portTip);
  for (QComboBox* list : {m_pBaudrate, m_pParity, m_pDataLength, m_pFlowControl, m_pStopBit}) {
    list->setToolTip(list->isEnabled() ? QString() : lineTip);
  }
  QString okTip;
  if (!m_pOk->isEnabled()) {
    okTip = !chosen ? (korean ? "먼저 프린터 종류를 고르십시오" : "Choose a printer model first")
                    : (korean ? "사용할 포트나 프린터가 없습니다"
                              : "There is no port or printer to use for this model");
  }
  m_pOk->setToolTip(okTip);
}

}  // namespace torva
