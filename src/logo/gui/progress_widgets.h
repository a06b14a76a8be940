// What the "Uploading" and "Printing" dialogs show alike: a status line, a progress bar
// without text and a centred Cancel button ("취소" in Korean).
#pragma once

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace torva {

struct ProgressWidgets {
  QLabel* pStatus = nullptr;
  QProgressBar* pProgress = nullptr;
  QPushButton* pCancel = nullptr;
};

// Makes the three children of dialog and adds them to layout after what it holds already.
ProgressWidgets AddProgressWidgets(QDialog& dialog, QVBoxLayout& layout, int statusWidth);

}  // namespace torva
