#include "setup/gui/radio_pair.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>

namespace torva {

CRadioPair::CRadioPair(const QString& name, const QString& first, const QString& second,
                       QWidget* parent)
    : QWidget(parent) {
  setObjectName(name);
  m_pFirst = new QRadioButton(first, this);
  m_pFirst->setObjectName(name + "0");
  m_pSecond = new QRadioButton(second, this);
  m_pSecond->setObjectName(name + "1");
  m_pGroup = new QButtonGroup(this);
  m_pGroup->addButton(m_pFirst, 0);
  m_pGroup->addButton(m_pSecond, 1);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_pFirst);
  layout->addWidget(m_pSecond);
  layout->addStretch(1);
  connect(m_pGroup, &QButtonGroup::idClicked, this, &CRadioPair::Clicked);
}

void CRadioPair::SetChoice(int choice) {
  if (choice == Choice()) return;
  if (choice == 0 || choice == 1) {
    Radio(choice)->setChecked(true);
    return;
  }
  // An exclusive group keeps one radio checked; let go of it for the moment.
  m_pGroup->setExclusive(false);
  m_pFirst->setChecked(false);
  m_pSecond->setChecked(false);
  m_pGroup->setExclusive(true);
}

int CRadioPair::Choice() const {
  if (m_pFirst->isChecked()) return 0;
  if (m_pSecond->isChecked()) return 1;
  return -1;
}

void CRadioPair::SetTexts(const QString& first, const QString& second) {
  m_pFirst->setText(first);
  m_pSecond->setText(second);
}

void CRadioPair::SetRadiosEnabled(bool enabled) {
  m_pFirst->setEnabled(enabled);
  m_pSecond->setEnabled(enabled);
}

}  // namespace torva
