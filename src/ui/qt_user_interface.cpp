#include "ui/qt_user_interface.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QThread>
#include <QVBoxLayout>

namespace torva {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Message texts carry CR LF line breaks; a Qt label wants plain LF.
QString MessageText(const std::string& s) { return Q(s).replace("\r\n", "\n"); }

QMessageBox::Icon BoxIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Info: break;
  }
  return QMessageBox::Information;
}

}  // namespace

void CQtUserInterface::Message(const std::string& text, const std::string& caption,
                               MsgIcon icon) {
  QMessageBox box(BoxIcon(icon), Q(caption), MessageText(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.setObjectName("MessageBox");
  box.exec();
}

bool CQtUserInterface::Question(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, Q(caption), MessageText(text),
                  QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
  box.setObjectName("QuestionBox");
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    if (description.isEmpty()) break;  // the "||" that ends the list
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& p : patterns) {
      p = p.trimmed();
      if (p == "*.*") p = "*";
    }
    filters << description + " (" + patterns.join(' ') + ")";
  }
  return filters.join(";;");
}

std::vector<std::string> CQtUserInterface::OpenFiles(const std::string& title,
                                                     const std::string& filter, bool multi) {
  QWidget* parent = QApplication::activeWindow();
  QStringList chosen;
  if (multi) {
    chosen = QFileDialog::getOpenFileNames(parent, Q(title), QString(), QtFileFilter(filter));
  } else {
    QString one = QFileDialog::getOpenFileName(parent, Q(title), QString(), QtFileFilter(filter));
    if (!one.isEmpty()) chosen << one;
  }
  std::vector<std::string> result;
  for (const QString& path : chosen) result.push_back(path.toStdString());
  return result;
}

std::optional<std::string> CQtUserInterface::PrintToFileName() {
  CPrintToFileDlg dlg(QApplication::activeWindow());
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return dlg.FileName().toStdString();
}

bool CQtUserInterface::CtrlKeyHeld() {
  return (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0;
}

void CQtUserInterface::SetWaitCursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++m_nWaitDepth;
  } else if (m_nWaitDepth > 0) {
    QApplication::restoreOverrideCursor();
    --m_nWaitDepth;
  }
}

bool CQtUiThread::IsUiThread() {
  return QCoreApplication::instance() != nullptr &&
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

void CQtUiThread::Post(std::function<void()> task) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return;
  QMetaObject::invokeMethod(app, std::move(task), Qt::QueuedConnection);
}

CPrintToFileDlg::CPrintToFileDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("CPrintToFileDlg");
  setWindowTitle("Print to File");
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel("Input the output file name", this);
  label->setObjectName("FileNameLabel");
  m_pEdit = new QLineEdit(this);
  m_pEdit->setObjectName("FileName");
  label->setBuddy(m_pEdit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("OK");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(label);
  layout->addWidget(m_pEdit);
  layout->addWidget(buttons);
}

QString CPrintToFileDlg::FileName() const { return m_pEdit->text(); }

}  // namespace torva
