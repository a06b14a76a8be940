#include "logo/gui/progress_widgets.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/messages.h"
#include "app/services.h"

namespace torva {

ProgressWidgets AddProgressWidgets(QDialog& dialog, QVBoxLayout& layout, int statusWidth) {
  ProgressWidgets w;
  w.pStatus = new QLabel(&dialog);
  w.pStatus->setObjectName("Status");
  w.pStatus->setMinimumWidth(statusWidth);
  w.pProgress = new QProgressBar(&dialog);
  w.pProgress->setObjectName("Progress");
  w.pProgress->setTextVisible(false);
  w.pCancel = new QPushButton("Cancel", &dialog);
  w.pCancel->setObjectName("Cancel");
  if (System().DefaultLanguageId() == kLangKorean) w.pCancel->setText("취소");
  layout.addWidget(w.pStatus);
  layout.addWidget(w.pProgress);
  layout.addWidget(w.pCancel, 0, Qt::AlignHCenter);
  return w;
}

}  // namespace torva
