// CUserSetupDlg, "TORVASet : User Setup": every printer setting at once (the setting group and
// the "New Option" group), the connection description, and Get Value, Set Value, TEST,
// Default and EXIT. The dialog binds its controls to a CSettingModel (the rules between
// settings live there) and drives a CSetupExchange (the bytes, the order and the waits live
// there); it receives each read-back setting on its own thread through the exchange's sink.
//
// Beyond the printer's own screen: the status line shows how many settings the last Get Value
// read ("17 of 18 settings read"), and after a Get Value the label of every setting that was
// changed since is bold until Set Value writes it.
//
// RunUserSetup is the main menu's User Setup: the dialog run modally over parent.
#pragma once

#include <QDialog>
#include <atomic>
#include <memory>
#include <optional>

#include "setup/setting_model.h"
#include "setup/setup_exchange.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace torva {

class CNewOptionGroup;
class CSettingGroupWidget;

class CUserSetupDlg : public QDialog, private ISetupSink {
  Q_OBJECT
 public:
  // modelCode picks the controls the line offers; connection says how the printer is reached.
  CUserSetupDlg(int modelCode, SetupConnection connection, QWidget* parent = nullptr);
  ~CUserSetupDlg() override;

  // The start: lists, labels, the exchange opened, the texts of the language and what the
  // model line offers. False when the exchange could not be opened (its message was shown):
  // the dialog is not to be run then.
  bool OnInitDialog();
  // OnInitDialog, then the modal run; Rejected at once when the start failed.
  int exec() override;

  void OnGetValue();
  void OnSetValue();
  void OnTest();
  void OnDefault();
  void OnExit();
  // The close box and Esc: the same as EXIT.
  void reject() override;

  CSettingModel& Model() { return m_model; }
  CSetupExchange& Exchange() { return *m_pExchange; }

 private:
  // ISetupSink, on the worker: the reply is applied on the dialog's thread.
  bool ApplySetupValue(const SetupValue& value, const std::atomic<bool>& stop) override;
  void ButtonsChanged(const SetupButtons& buttons) override;
  void FailureStateEntered() override;
  void ReadStatusChanged(const SetupReadStatus& status) override;

  void RefreshControls();
  void ShowReadStatus();
  void StartReadTimer();
  void OnReadTimer();
  void CloseOnce();

  CSettingModel m_model;
  // The values as read (and as last written): the changed marks compare with it. Empty until
  // the first Get Value.
  std::optional<CSettingModel> m_baseline;
  std::unique_ptr<CSetupExchange> m_pExchange;
  bool m_bClosed = false;

  QLabel* m_pHeading = nullptr;
  CSettingGroupWidget* m_pSettings = nullptr;
  CNewOptionGroup* m_pNewOptions = nullptr;
  QPlainTextEdit* m_pModel = nullptr;
  QLabel* m_pStatus = nullptr;
  QPushButton* m_pGetValue = nullptr;
  QPushButton* m_pSetValue = nullptr;
  QPushButton* m_pTest = nullptr;
  QPushButton* m_pDefault = nullptr;
  QPushButton* m_pExit = nullptr;
  QTimer* m_pReadTimer = nullptr;
};

// The main menu's User Setup: the dialog over parent, modal; returns its result.
int RunUserSetup(int modelCode, SetupConnection connection, QWidget* parent = nullptr);

}  // namespace torva
