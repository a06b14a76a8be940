// CCheckListCtrl: column layout, header-click sorting and its direction rule, check boxes
// that move with their rows, and shortened texts.
#include <QFontMetrics>
#include <QHeaderView>
#include <QTest>
#include <cstdio>

#include "logo/gui/check_list_ctrl.h"
#include "logo_gui_fixture.h"

namespace torva::test {
namespace {

QString Num(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%3d", n);
  return text;
}

QString Size(long n) {
  char text[24];
  std::snprintf(text, sizeof text, "%15ld", n);
  return text;
}

QStringList Column(const CCheckListCtrl& list, int column) {
  QStringList texts;
  for (int r = 0; r < list.RowCount(); ++r) texts << list.Text(r, column).trimmed();
  return texts;
}

}  // namespace

class CheckListCtrlTest : public QObject {
  Q_OBJECT
 private slots:
  void columnWidths_data() {
    QTest::addColumn<bool>("checks");
    QTest::addColumn<int>("check");
    QTest::addColumn<int>("name");
    QTest::newRow("page 1") << true << 17 << 400 - 17 - 50 - 86 - 5;
    QTest::newRow("pages 2 and 3") << false << 0 << 400 - 50 - 86 - 5;
  }
  void columnWidths() {
    QFETCH(bool, checks);
    QFETCH(int, check);
    QFETCH(int, name);
    const auto widths = CCheckListCtrl::ColumnWidths(400, checks);
    QCOMPARE(widths[0], check);
    QCOMPARE(widths[1], 50);
    QCOMPARE(widths[2], name);
    QCOMPARE(widths[3], 86);

    CCheckListCtrl list;
    list.SetCheckColumn(checks);
    list.resize(400, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.isColumnHidden(0), !checks);
    QCOMPARE(list.columnWidth(2), name);
    QCOMPARE(list.headerItem()->text(1), QString("   No."));
  }

  void headerClicksSortWithTheDirectionRule() {
    CCheckListCtrl list;
    const int numbers[] = {10, 2, 33, 7};
    const long sizes[] = {100, 25000, 9, 728};
    const char* names[] = {"b.bmp", "C.bmp", "a.bmp", "D.bmp"};
    for (int i = 0; i < 4; ++i) list.InsertRow(i, Num(numbers[i]), names[i], Size(sizes[i]), false);
    QList<QPair<int, bool>> asked;
    connect(&list, &CCheckListCtrl::ColumnClicked, &list, [&](int column, bool ascending) {
      asked.append({column, ascending});
      list.SortByColumn(column, ascending);
    });

    // The first click sorts descending; the padded numbers sort by value.
    list.header()->sectionClicked(1);
    QCOMPARE(Column(list, 1), QStringList({"33", "10", "7", "2"}));
    // The same header again reverses.
    list.OnColumnClick(1);
    QCOMPARE(Column(list, 1), QStringList({"2", "7", "10", "33"}));
    // Another header keeps the direction; names compare without case.
    list.OnColumnClick(2);
    QCOMPARE(Column(list, 2), QStringList({"a.bmp", "b.bmp", "C.bmp", "D.bmp"}));
    list.OnColumnClick(3);
    QCOMPARE(Column(list, 3), QStringList({"9", "100", "728", "25000"}));
    list.OnColumnClick(3);
    QCOMPARE(Column(list, 3), QStringList({"25000", "728", "100", "9"}));
    QCOMPARE(asked.size(), 5);
    QCOMPARE(asked.front(), qMakePair(1, false));
  }

  void sortingKeepsTheSelection() {
    CCheckListCtrl list;
    for (int i = 0; i < 3; ++i) list.InsertRow(i, Num(i + 1), QString("f%1").arg(i), Size(8), false);
    list.SelectRow(0);
    list.SortByColumn(1, false);
    QCOMPARE(list.SelectedRows(), std::vector<int>({2}));
    QCOMPARE(list.Text(2, 1).trimmed(), QString("1"));
  }

  void checkBoxesMoveUpWithTheirRows() {
    CCheckListCtrl list;
    for (int i = 0; i < 4; ++i) list.InsertRow(i, Num(i + 1), "x.bmp", Size(8), i % 2 == 1);
    list.DeleteRow(1);
    QCOMPARE(list.RowCount(), 3);
    QCOMPARE(list.IsChecked(0), false);
    QCOMPARE(list.IsChecked(1), false);
    QCOMPARE(list.IsChecked(2), true);
    list.SetChecked(0, true);
    QVERIFY(list.IsChecked(0));

    // Without the check column the rows have no check boxes at all.
    CCheckListCtrl hidden;
    hidden.SetCheckColumn(false);
    hidden.InsertRow(0, Num(1), "x.bmp", Size(8), true);
    QVERIFY(!hidden.IsChecked(0));
    QVERIFY(!(hidden.topLevelItem(0)->flags() & Qt::ItemIsUserCheckable));
  }

  void longTextsAreShortenedWithThreeDots() {
    CCheckListCtrl list;
    const QFontMetrics metrics(list.font());
    const QString name = "a_rather_long_logo_file_name_for_the_shop.bmp";
    const int width = metrics.horizontalAdvance(name) / 2;
    const QString fitted = CCheckListCtrl::FitText(metrics, name, width);
    QVERIFY(fitted.endsWith("..."));
    QVERIFY(name.startsWith(fitted.chopped(3)));
    QVERIFY(metrics.horizontalAdvance(fitted) <= width);
    QCOMPARE(CCheckListCtrl::FitText(metrics, "ok.bmp", 1000), QString("ok.bmp"));
  }

  void newColours() {
    CCheckListCtrl list;
    list.SetColors(Qt::red, Qt::yellow);
    QCOMPARE(list.TextColor(), QColor(Qt::red));
    QCOMPARE(list.BackgroundColor(), QColor(Qt::yellow));
  }
};

std::unique_ptr<QObject> MakeCheckListCtrlTest() { return std::make_unique<CheckListCtrlTest>(); }

}  // namespace torva::test

#include "check_list_ctrl_test.moc"
