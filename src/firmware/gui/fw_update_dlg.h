// CFwUpdateDlg, "TORVASet : Firmware Download": writes one flash area of the printer from an
// 8 MB firmware image. The engine (CFirmwareDownload) owns the checks, the bytes and the
// waits; this dialog owns the controls. The transfer and its flash wait run on the engine's
// worker for every connection, network included, so the window keeps painting; messages
// are shown on the dialog's thread. EXIT during a transfer stops the worker and waits for
// it before the dialog goes.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <memory>
#include <string>

#include "firmware/fw_area.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace torva {

class CFirmwareDownload;
class CPorts;
class CPrinterSocket;
class IFirmwareSink;

// Where the block goes: the port object, and for "ETHERNET_II" the printer socket at the
// address the network connection dialog accepted.
struct FwUpdateConnection {
  CPorts* pPort = nullptr;
  CPrinterSocket* pSocket = nullptr;
  std::string strIpAddress;
  int nTcpPort = 0;
};

class CFwUpdateDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CFwUpdateDlg(const FwUpdateConnection& connection, QWidget* parent = nullptr);
  ~CFwUpdateDlg() override;

  void OnFileOpen();
  void OnDownload();
  // The bar and the caption: the title, " - ", position * 100 / (S + 20480), " %".
  void SetProgress(unsigned position);

  bool Transferring() const;
  QString CaptionText() const { return windowTitle(); }

  std::string m_strFilePath;
  std::string m_strFileName;
  int m_nArea = 0;
  std::string m_strChecksum;
  std::string m_strFileSize = "0";
  bool m_bServiceMode = false;

 signals:
  // The transfer ended (its message shown, the buttons set).
  void TransferEnded();

 protected:
  void reject() override;

 private:
  void OnInitDialog();
  void ApplyKorean();
  void ApplyBootChoice(const std::string& path);
  void TakeControls();
  void ShowFields();
  void OnTick();
  void OnTransferEnd();
  void StopTransfer();

  FwUpdateConnection m_connection;
  std::unique_ptr<IFirmwareSink> m_pSink;
  std::unique_ptr<CFirmwareDownload> m_pEngine;
  QTimer m_tick;
  QString m_strCaption;
  bool m_bClosing = false;

  QLineEdit* m_pPath = nullptr;
  QPushButton* m_pFileOpen = nullptr;
  QGroupBox* m_pAreaBox = nullptr;
  std::array<QRadioButton*, kFirmwareAreaCount> m_apArea{};
  QGroupBox* m_pDeviceBox = nullptr;
  QLabel* m_pDevice = nullptr;
  QGroupBox* m_pInfoBox = nullptr;
  QLabel* m_pChecksumLabel = nullptr;
  QLineEdit* m_pChecksum = nullptr;
  QLabel* m_pFileSizeLabel = nullptr;
  QLineEdit* m_pFileSize = nullptr;
  QLabel* m_pBytesLabel = nullptr;
  QLabel* m_pInfoLine = nullptr;
  QProgressBar* m_pProgress = nullptr;
  QPushButton* m_pDownload = nullptr;
  QPushButton* m_pExit = nullptr;
};

}  // namespace torva
