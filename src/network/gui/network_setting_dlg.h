// The Network Setting dialog "Ethernet-II Network Setting": lists the printers that answer a
// search, takes a clicked printer's settings into the edit fields, and sends changed
// settings to it with the set exchange. In service mode (Ctrl held when the dialog opens) it
// also offers a manual change addressed by the low three bytes of a MAC address.
//
// One object lives in the network connection dialog for the whole run: the fields keep their
// values between openings, the list starts empty at each. The exchanges run on the dialog's
// thread and block it (about a second after the last reply); the rules live in
// network/net_setting_rules.h, the bytes and the order in network/net_discovery.h.
#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <string>

#include "network/net_discovery.h"
#include "network/net_setting_rules.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace torva {

class CNetworkSettingDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CNetworkSettingDlg(QWidget* parent = nullptr);
  ~CNetworkSettingDlg() override;

  // Runs OnInitDialog, then the dialog modally; returns when EXIT is pressed.
  int exec() override;

  // The start of each opening: the manual-change controls by the Ctrl key, an empty list,
  // "Change Setting" disabled, the captions of the language.
  void OnInitDialog();
  void OnSearchPrinter();
  // A click in the list: row is the row hit, -1 for a click beside the rows.
  void OnListClick(int row);
  void OnChangeSetting();
  void OnManualChange();

  // Appends one printer's reply at the end of the list and brings it into view.
  void AddPrinterRow(const NetPrinterReply& reply);

  // Where the exchanges send and listen; without it they read the settings file's
  // "NETWORK" section at each exchange.
  void SetDiscoveryParams(std::optional<NetDiscoveryParams> params);

  unsigned m_nPort = 0;
  std::string m_strSelectedMac;
  std::array<std::string, 3> m_strMacLow;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  NetDiscoveryParams ExchangeParams() const;
  NetSettingForm ReadForm() const;
  void TakeFields(const NetSettingForm& form);  // the control values into the fields
  void RunChange(const NetSettingPacket& packet, const std::string& caption);

  std::optional<NetDiscoveryParams> m_params;
  QTableWidget* m_pList = nullptr;
  QPushButton* m_pSearch = nullptr;
  QPushButton* m_pChange = nullptr;
  QPushButton* m_pExit = nullptr;
  QLineEdit* m_pIp = nullptr;
  QLineEdit* m_pSubnet = nullptr;
  QLineEdit* m_pGateway = nullptr;
  QLineEdit* m_pPort = nullptr;
  QCheckBox* m_pDhcp = nullptr;
  std::array<QLineEdit*, 3> m_pMacLow{};
  std::array<QWidget*, 7> m_pManual{};  // label, three boxes, two ":" labels, the button
};

// "Network Setting" of the network connection dialog: runs the one CNetworkSettingDlg that
// lives inside owner, made at the first call.
void RunNetworkSettingDlg(QWidget& owner);

}  // namespace torva
