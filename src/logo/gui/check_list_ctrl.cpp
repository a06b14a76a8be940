#include "logo/gui/check_list_ctrl.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace torva {
namespace {

// Draws the text columns: 6 pixels of margin on both sides, the column's alignment, the
// list's colours, and "..." for a text that does not fit.
class CRowDelegate final : public QStyledItemDelegate {
 public:
  explicit CRowDelegate(CCheckListCtrl* list) : QStyledItemDelegate(list), m_pList(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    if (index.column() == CCheckListCtrl::kColCheck) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    QStyleOptionViewItem o = option;
    initStyleOption(&o, index);
    const bool selected = (o.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group =
        (o.state & QStyle::State_Active) != 0 ? QPalette::Active : QPalette::Inactive;
    painter->save();
    if (selected) {
      painter->fillRect(o.rect, o.palette.brush(group, QPalette::Highlight));
      painter->setPen(o.palette.color(group, QPalette::HighlightedText));
    } else {
      painter->fillRect(o.rect, m_pList->BackgroundColor());
      painter->setPen(m_pList->TextColor());
    }
    const QRect textRect = o.rect.adjusted(CCheckListCtrl::kTextMargin, 0,
                                           -CCheckListCtrl::kTextMargin, 0);
    const int align = index.data(Qt::TextAlignmentRole).toInt();
    // The texts carry blanks in front so that they sort by value; the column aligns them.
    const QString text = index.data(Qt::DisplayRole).toString().trimmed();
    painter->setFont(o.font);
    painter->drawText(textRect, (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter,
                      CCheckListCtrl::FitText(o.fontMetrics, text, textRect.width()));
    painter->restore();
  }

 private:
  CCheckListCtrl* m_pList;
};

constexpr Qt::Alignment kAlignments[4] = {Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignLeft,
                                          Qt::AlignRight};

}  // namespace

CCheckListCtrl::CCheckListCtrl(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(4);
  setHeaderLabels({"", "   No.", "Name", "Size"});
  for (int c = 0; c < 4; ++c) headerItem()->setTextAlignment(c, kAlignments[c] | Qt::AlignVCenter);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSortingEnabled(false);
  setTextElideMode(Qt::ElideNone);
  header()->setStretchLastSection(false);
  header()->setMinimumSectionSize(kCheckWidth);
  header()->setSectionsClickable(true);
  header()->setSectionsMovable(false);
  m_textColor = palette().color(QPalette::Text);
  m_backColor = palette().color(QPalette::Base);
  setItemDelegate(new CRowDelegate(this));
  connect(header(), &QHeaderView::sectionClicked, this, &CCheckListCtrl::OnColumnClick);
  ApplyColumnWidths();
}

void CCheckListCtrl::SetCheckColumn(bool shown) {
  m_bChecks = shown;
  ApplyColumnWidths();
}

std::array<int, 4> CCheckListCtrl::ColumnWidths(int listWidth, bool checkColumn) {
  const int check = checkColumn ? kCheckWidth : 0;
  const int name = std::max(0, listWidth - check - kNumberWidth - kSizeWidth - kSpare);
  return {check, kNumberWidth, name, kSizeWidth};
}

void CCheckListCtrl::ApplyColumnWidths() {
  const std::array<int, 4> widths = ColumnWidths(width(), m_bChecks);
  setColumnHidden(kColCheck, !m_bChecks);
  for (int c = 0; c < 4; ++c) {
    if (c == kColCheck && !m_bChecks) continue;
    setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
  }
}

void CCheckListCtrl::resizeEvent(QResizeEvent* event) {
  QTreeWidget::resizeEvent(event);
  ApplyColumnWidths();
}

void CCheckListCtrl::focusInEvent(QFocusEvent* event) {
  QTreeWidget::focusInEvent(event);
  viewport()->update();
}

void CCheckListCtrl::focusOutEvent(QFocusEvent* event) {
  QTreeWidget::focusOutEvent(event);
  viewport()->update();
}

void CCheckListCtrl::InsertRow(int row, const QString& number, const QString& name,
                               const QString& size, bool checked) {
  auto* item = new QTreeWidgetItem();
  item->setText(kColNumber, number);
  item->setText(kColName, name);
  item->setText(kColSize, size);
  item->setToolTip(kColName, name);
  for (int c = 0; c < 4; ++c) item->setTextAlignment(c, kAlignments[c] | Qt::AlignVCenter);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  if (m_bChecks) {
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(kColCheck, checked ? Qt::Checked : Qt::Unchecked);
  }
  insertTopLevelItem(std::clamp(row, 0, topLevelItemCount()), item);
}

void CCheckListCtrl::DeleteRow(int row) {
  if (row < 0 || row >= topLevelItemCount()) return;
  delete takeTopLevelItem(row);
}

void CCheckListCtrl::DeleteAllRows() { clear(); }

QString CCheckListCtrl::Text(int row, int column) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item != nullptr ? item->text(column) : QString();
}

bool CCheckListCtrl::IsChecked(int row) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return m_bChecks && item != nullptr && item->checkState(kColCheck) == Qt::Checked;
}

void CCheckListCtrl::SetChecked(int row, bool checked) {
  QTreeWidgetItem* item = topLevelItem(row);
  if (m_bChecks && item != nullptr) item->setCheckState(kColCheck, checked ? Qt::Checked : Qt::Unchecked);
}

std::vector<int> CCheckListCtrl::SelectedRows() const {
  std::vector<int> rows;
  for (int i = 0; i < topLevelItemCount(); ++i) {
    if (topLevelItem(i)->isSelected()) rows.push_back(i);
  }
  return rows;
}

int CCheckListCtrl::FirstSelectedRow() const {
  for (int i = 0; i < topLevelItemCount(); ++i) {
    if (topLevelItem(i)->isSelected()) return i;
  }
  return -1;
}

void CCheckListCtrl::SelectRow(int row) {
  QTreeWidgetItem* item = row >= 0 ? topLevelItem(row) : nullptr;
  if (item == nullptr) return;
  item->setSelected(true);
  setCurrentItem(item, kColNumber, QItemSelectionModel::Current);
}

void CCheckListCtrl::SortByColumn(int column, bool ascending) {
  if (column < 0 || column > kColSize) return;
  std::vector<QTreeWidgetItem*> items;
  std::vector<QTreeWidgetItem*> selected;
  QTreeWidgetItem* current = currentItem();
  while (topLevelItemCount() > 0) {
    QTreeWidgetItem* item = topLevelItem(0);
    if (item->isSelected()) selected.push_back(item);
    items.push_back(takeTopLevelItem(0));
  }
  std::stable_sort(items.begin(), items.end(),
                   [column, ascending](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
                     const int cmp = QString::compare(a->text(column), b->text(column),
                                                      Qt::CaseInsensitive);
                     return ascending ? cmp < 0 : cmp > 0;
                   });
  for (QTreeWidgetItem* item : items) addTopLevelItem(item);
  if (current != nullptr) setCurrentItem(current, kColNumber, QItemSelectionModel::Current);
  for (QTreeWidgetItem* item : selected) item->setSelected(true);
}

void CCheckListCtrl::OnColumnClick(int column) {
  if (column == m_nSortColumn) m_bAscending = !m_bAscending;
  m_nSortColumn = column;
  emit ColumnClicked(column, m_bAscending);
}

void CCheckListCtrl::SetColors(const QColor& text, const QColor& background) {
  m_textColor = text;
  m_backColor = background;
  viewport()->update();
}

QString CCheckListCtrl::FitText(const QFontMetrics& metrics, const QString& text, int width) {
  if (metrics.horizontalAdvance(text) <= width) return text;
  const QString dots = QStringLiteral("...");
  QString shortened = text;
  while (!shortened.isEmpty() && metrics.horizontalAdvance(shortened + dots) > width) {
    shortened.chop(1);
  }
  return shortened + dots;
}

}  // namespace torva
