// The User Setup dialog's "New Option" group: the settings that are written but never read
// (emulation, print density, auto-cut, self-test, kitchen bell, USB mode, LCD password,
// paper save, sleep, WiFi keep-connection), bound to the setting model, and the company logo
// picture that takes the place of the choices a line does not offer.
#pragma once

#include <QGroupBox>
#include <vector>

class QComboBox;
class QGridLayout;
class QLabel;

namespace torva {

class CRadioPair;
class CSettingModel;

class CNewOptionGroup : public QGroupBox {
  Q_OBJECT
 public:
  CNewOptionGroup(CSettingModel& model, QWidget* parent = nullptr);

  void FillLists();
  void SetKoreanTexts();
  // Hides, disables and relabels what the model line does not offer; shows the logo
  // picture when the choices are hidden.
  void ApplyModelView();
  void Refresh();
  void MarkChanged(const CSettingModel& baseline);

 signals:
  void Edited();

 private:
  struct Row {
    QLabel* pLabel;
    QWidget* pControl;
    int CSettingModel::*member;
  };
  void AddRow(const char* name, const char* text, QWidget* control, int CSettingModel::*member);
  CRadioPair* Radios(const char* name, const char* first, const char* second,
                     int CSettingModel::*member);
  QComboBox* List(const char* name, int CSettingModel::*member);
  QLabel* Label(const char* name) const;

  CSettingModel& m_model;
  QGridLayout* m_pGrid = nullptr;
  std::vector<Row> m_rows;
  QLabel* m_pLogo = nullptr;
};

}  // namespace torva
