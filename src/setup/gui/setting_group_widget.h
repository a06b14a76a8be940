// The User Setup dialog's setting group: one row per printer setting (paper width through the
// customize setup code), bound to the setting model. A click or a list change goes to the
// model's rules and then Edited() asks the dialog to refresh; Refresh writes the model's
// members and enabled states back into the controls. The digit fields are read into the
// model as they are typed and checked for their ranges by TakeFields.
#pragma once

#include <QGroupBox>
#include <QString>
#include <vector>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace torva {

class CRadioPair;
class CSettingModel;

class CSettingGroupWidget : public QGroupBox {
  Q_OBJECT
 public:
  CSettingGroupWidget(CSettingModel& model, QWidget* parent = nullptr);

  // The lists' entries (the code pages and the receive buffers come from the model), the
  // setting-248 label and the Korean texts; called once at start.
  void FillLists();
  void SetKoreanTexts();
  // What the model line offers: the bell row reads "Reserved" where the line has no bell.
  void ApplyModelView();
  void Refresh();
  // The digit fields into the model with their ranges checked; false (after the message,
  // with the focus in the field) when one is refused.
  bool TakeFields();
  // Bold labels for the rows whose value differs from baseline.
  void MarkChanged(const CSettingModel& baseline);

 signals:
  void Edited();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static constexpr std::size_t kBellRow = 5;
  struct Row {
    QLabel* pLabel;
    std::vector<int CSettingModel::*> members;
    bool bCustomCode = false;
  };
  QLabel* AddRow(const char* name, const char* text, std::vector<QWidget*> controls,
                 std::vector<int CSettingModel::*> members);
  QLabel* Caption(const char* name, const char* text);
  QComboBox* List(const char* name);
  QLineEdit* DigitField(const char* name, int maxDigits);
  CRadioPair* Radios(const char* name, const char* first, const char* second);
  void ConnectControls();
  void ReadDigits(QLineEdit* field, int CSettingModel::*member);

  CSettingModel& m_model;
  QGridLayout* m_pGrid = nullptr;
  std::vector<Row> m_rows;

  CRadioPair* m_pPaperWidth = nullptr;
  QComboBox* m_pColumns = nullptr;
  CRadioPair* m_pPaperType = nullptr;
  QComboBox* m_pColorDensity = nullptr;
  CRadioPair* m_pWaterMark = nullptr;
  QLabel* m_pImageNoCaption = nullptr;
  QLineEdit* m_pImageNo = nullptr;
  CRadioPair* m_pCutAdjust = nullptr;
  QLabel* m_pLinesCaption = nullptr;
  QLineEdit* m_pCutLines = nullptr;
  CRadioPair* m_pDrawerWithCut = nullptr;
  QComboBox* m_pBellType = nullptr;
  QComboBox* m_pBellTimes = nullptr;
  QLabel* m_pBellUnit = nullptr;
  QComboBox* m_pCodePage = nullptr;
  QComboBox* m_pNvGraphic = nullptr;
  QComboBox* m_pNvUser = nullptr;
  CRadioPair* m_pCutMode = nullptr;
  QComboBox* m_pMaxSpeed = nullptr;
  QLineEdit* m_pLeftMargin = nullptr;
  CRadioPair* m_pDrawerSelfTest = nullptr;
  QLabel* m_pBoldFontLabel = nullptr;
  CRadioPair* m_pBoldFont = nullptr;
  QComboBox* m_pReceiveBuffer = nullptr;
  CRadioPair* m_pStopBit = nullptr;
  QLineEdit* m_pCustomCode = nullptr;
};

// A stored label text as shown: the doubled "&&" of the stored texts is one ampersand.
QString ShownLabel(const char* stored);

}  // namespace torva
