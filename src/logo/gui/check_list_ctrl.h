// CCheckListCtrl: the bitmap list of the selection, preview and upload pages. Four columns:
// check boxes (page 1; hidden on pages 2 and 3), "   No.", "Name" and "Size". Header clicks
// ask the page to refill and sort: a click on another header keeps the direction, a second
// click on the same header reverses it; the first click sorts descending. Texts are
// compared without case, so the right-aligned number and size texts sort numerically.
// A text that does not fit its column is shortened from the end and "..." is appended.
#pragma once

#include <QColor>
#include <QString>
#include <QTreeWidget>
#include <array>
#include <vector>

class QFontMetrics;

namespace torva {

class CCheckListCtrl : public QTreeWidget {
  Q_OBJECT
 public:
  enum Column { kColCheck = 0, kColNumber = 1, kColName = 2, kColSize = 3 };
  static constexpr int kCheckWidth = 17;
  static constexpr int kNumberWidth = 50;
  static constexpr int kSizeWidth = 86;
  static constexpr int kSpare = 5;
  static constexpr int kTextMargin = 6;

  explicit CCheckListCtrl(QWidget* parent = nullptr);

  // Page 1 shows the check boxes; pages 2 and 3 keep their column at width 0.
  void SetCheckColumn(bool shown);
  bool HasCheckColumn() const { return m_bChecks; }
  // Column widths for a list of that width.
  static std::array<int, 4> ColumnWidths(int listWidth, bool checkColumn);

  void InsertRow(int row, const QString& number, const QString& name, const QString& size,
                 bool checked);
  void DeleteRow(int row);
  void DeleteAllRows();
  int RowCount() const { return topLevelItemCount(); }
  QString Text(int row, int column) const;
  bool IsChecked(int row) const;
  void SetChecked(int row, bool checked);

  // Rows that are selected, ascending; the first of them or -1.
  std::vector<int> SelectedRows() const;
  int FirstSelectedRow() const;
  // Selects and focuses one row (nothing for -1 or a row that does not exist).
  void SelectRow(int row);

  void SortByColumn(int column, bool ascending);
  // The header click rule; emits ColumnClicked with the direction to sort.
  void OnColumnClick(int column);
  int SortColumn() const { return m_nSortColumn; }
  bool SortAscending() const { return m_bAscending; }

  // New text and background colours for the rows.
  void SetColors(const QColor& text, const QColor& background);
  QColor TextColor() const { return m_textColor; }
  QColor BackgroundColor() const { return m_backColor; }

  // text, or its longest start followed by "..." that fits width pixels.
  static QString FitText(const QFontMetrics& metrics, const QString& text, int width);

 signals:
  void ColumnClicked(int column, bool ascending);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void ApplyColumnWidths();

  bool m_bChecks = true;
  int m_nSortColumn = -1;
  bool m_bAscending = false;
  QColor m_textColor;
  QColor m_backColor;
};

}  // namespace torva
