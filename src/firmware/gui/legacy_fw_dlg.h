// CLegacyFwDlg, "TORVASet : TORVA10 Firmware Download": writes one flash area of a TORVA10
// printer from a raw flash image. The engine (CLegacyDownloader) owns the frames, the answers
// and the waits; this dialog owns the controls. The erase wait (and the back-to-back frames
// of a parallel port) run on a thread of their own so that the window keeps painting; the
// printer's answers are handled on the dialog's thread. While it waits for an answer the
// dialog shows for how long; CANCEL ends the download at any time.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace torva {

class CLegacyDownloader;
class CLegacyPortLink;

class CLegacyFwDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CLegacyFwDlg(QWidget* parent = nullptr);
  ~CLegacyFwDlg() override;

  // "&Open": the open-file dialog; the chosen path and name into the two boxes.
  void OnFileOpen();
  // OK: the download starts (port, settings file, image, erase frame, erase wait).
  void OnOK();
  // CANCEL: ends a running download (port and file closed) and the dialog.
  void OnCancel();

  // What the tests read.
  QString CaptionText() const;
  QString WaitText() const;
  int ProgressValue() const;
  bool OkEnabled() const;
  bool Running() const { return m_pEngine != nullptr; }
  void SelectArea(int nArea);

  std::string m_strFilePath;
  std::string m_strFileName;
  int m_nArea = 0;

 signals:
  // The download ended without completing (its message shown); the dialog is usable again.
  void DownloadFailed();

 protected:
  void reject() override;

 private:
  void OnPortData();
  void OnWorkDone();
  void OnWaitTick();
  void EndDownload();
  void StopWorker();
  void SetCaption(const QString& text);

  std::unique_ptr<CLegacyPortLink> m_pLink;
  std::unique_ptr<CLegacyDownloader> m_pEngine;
  std::thread m_worker;
  std::atomic<bool> m_bCancel{false};
  bool m_bWorking = false;
  QElapsedTimer m_waited;
  QTimer m_waitTimer;

  QLineEdit* m_pPath = nullptr;
  QLineEdit* m_pName = nullptr;
  QPushButton* m_pOpen = nullptr;
  QGroupBox* m_pAreaBox = nullptr;
  QRadioButton* m_pArea[4] = {};
  QGroupBox* m_pDeviceBox = nullptr;
  QLabel* m_pDevice = nullptr;
  QLabel* m_pCaption = nullptr;
  QLabel* m_pWait = nullptr;
  QProgressBar* m_pProgress = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
};

}  // namespace torva
