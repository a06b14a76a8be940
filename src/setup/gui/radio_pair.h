// Two radio buttons of one setting that may both be clear: -1 (nothing chosen, not written),
// 0 for the first, 1 for the second. A plain exclusive button group cannot return to "none
// chosen" once a radio was clicked, which a printer setting that was never read needs.
#pragma once

#include <QString>
#include <QWidget>

class QButtonGroup;
class QRadioButton;

namespace torva {

class CRadioPair : public QWidget {
  Q_OBJECT
 public:
  // name is the setting's object name; the radios are named name + "0" and name + "1".
  CRadioPair(const QString& name, const QString& first, const QString& second,
             QWidget* parent = nullptr);

  // -1 clears both radios. Emits nothing.
  void SetChoice(int choice);
  int Choice() const;
  void SetTexts(const QString& first, const QString& second);
  void SetRadiosEnabled(bool enabled);
  QRadioButton* Radio(int choice) const { return choice == 0 ? m_pFirst : m_pSecond; }

 signals:
  // A click by the user (or QTest) on one radio.
  void Clicked(int choice);

 private:
  QButtonGroup* m_pGroup = nullptr;
  QRadioButton* m_pFirst = nullptr;
  QRadioButton* m_pSecond = nullptr;
};

}  // namespace torva
