// Port and file paths in fields narrower than the path: shortened in the middle, so that
// both the folder it starts with and the device name it ends with stay readable, with the
// whole path as the tooltip. The text the program reads back is always the whole path.
#pragma once

#include <QComboBox>
#include <QString>

class QLineEdit;

namespace torva {

// Shows path in a read-only field, shortened again whenever the field is resized.
void ShowElidedPath(QLineEdit& field, const QString& path);

// A list of port paths that draws its current entry shortened in the middle (the popup
// does the same) and shows the whole entry as its tooltip.
class CPathComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit CPathComboBox(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace torva
