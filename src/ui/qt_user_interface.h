// The Qt side of the services seam: message boxes, Yes/No questions, the open-file dialog,
// the Print to File prompt, the Ctrl key and the wait cursor.
#pragma once

#include <QDialog>
#include <QString>

#include "app/services.h"

class QLineEdit;

namespace torva {

class CQtUserInterface final : public IUserInterface {
 public:
  void Message(const std::string& text, const std::string& caption, MsgIcon icon) override;
  bool Question(const std::string& text, const std::string& caption) override;
  std::vector<std::string> OpenFiles(const std::string& title, const std::string& filter,
                                     bool multi) override;
  std::optional<std::string> PrintToFileName() override;
  bool CtrlKeyHeld() override;
  // Nested calls are counted; the cursor returns when every "on" has had its "off".
  void SetWaitCursor(bool on) override;

 private:
  int m_nWaitDepth = 0;
};

// The user-interface thread of the services seam: the thread of the QApplication, reached by
// queued calls through its event loop (modal dialogs' loops included).
class CQtUiThread final : public IUiThread {
 public:
  bool IsUiThread() override;
  void Post(std::function<void()> task) override;
};

// "Name(*.bmp)|*.bmp|All(*.*)|*.*||" -> "Name(*.bmp) (*.bmp);;All(*.*) (*)": each pair of
// description and patterns becomes one Qt filter; ';' between patterns becomes a blank and
// "*.*" becomes "*" so that names without an extension are offered too.
QString QtFileFilter(const std::string& filter);

// The Print to File prompt: "Input the output file name", one edit, OK.
class CPrintToFileDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CPrintToFileDlg(QWidget* parent = nullptr);
  QString FileName() const;
  QLineEdit* Edit() const { return m_pEdit; }

 private:
  QLineEdit* m_pEdit = nullptr;
};

}  // namespace torva
