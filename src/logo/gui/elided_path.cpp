#include "logo/gui/elided_path.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QLineEdit>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace torva {
namespace {

constexpr const char* kFullPathProperty = "torvaFullPath";
constexpr const char* kFilterProperty = "torvaElideOnResize";

// Re-shortens the field's path to its new width.
class CElideOnResize final : public QObject {
 public:
  using QObject::QObject;
  static void Apply(QLineEdit& field) {
    const QString path = field.property(kFullPathProperty).toString();
    const int room = field.contentsRect().width() - 2 * field.fontMetrics().averageCharWidth();
    field.setText(room > 0 ? field.fontMetrics().elidedText(path, Qt::ElideMiddle, room) : path);
    field.setCursorPosition(0);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) Apply(*static_cast<QLineEdit*>(watched));
    return false;
  }
};

}  // namespace

void ShowElidedPath(QLineEdit& field, const QString& path) {
  if (!field.property(kFilterProperty).toBool()) {
    field.installEventFilter(new CElideOnResize(&field));
    field.setProperty(kFilterProperty, true);
  }
  field.setProperty(kFullPathProperty, path);
  field.setToolTip(path);
  CElideOnResize::Apply(field);
}

CPathComboBox::CPathComboBox(QWidget* parent) : QComboBox(parent) {
  view()->setTextElideMode(Qt::ElideMiddle);
  connect(this, &QComboBox::currentTextChanged, this,
          [this](const QString& text) { setToolTip(text); });
}

void CPathComboBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  const QRect field =
      style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideMiddle, field.width());
  painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace torva
