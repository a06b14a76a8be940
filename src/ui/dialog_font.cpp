#include "ui/dialog_font.h"

#include <QApplication>
#include <QFont>
#include <QStringList>

namespace torva {

void ApplyDialogFont(QApplication& app) {
  QFont font = QApplication::font();
  // Latin faces first (Linux, then Windows), then the Korean ones of both.
  font.setFamilies({"DejaVu Sans", "Segoe UI", "Noto Sans CJK KR", "NanumGothic", "Malgun Gothic"});
  app.setFont(font);
}

}  // namespace torva
