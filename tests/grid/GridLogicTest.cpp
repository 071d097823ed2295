// The table's state without pixels: copy text, paste splitting and placement, sorting by
// bytes, by column type and names as ICU orders them, auto-size, selection moves and
// geometry.
#include <QClipboard>
#include <QCollator>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <numeric>
#include <random>

#include "GridTestUtil.h"
#include "grid/GridSort.h"
#include "grid/GridText.h"
#include "text/Cp1254.h"

using Lines = std::vector<std::vector<std::string>>;
Q_DECLARE_METATYPE(CCellRange)
Q_DECLARE_METATYPE(Lines)
Q_DECLARE_METATYPE(GridColumnType)

class GridLogicTest : public QObject {
  Q_OBJECT

 private slots:
  void copyText_data();
  void copyText();
  void copyToClipboard();
  void splitPaste_data();
  void splitPaste();
  void pastePlacement();
  void sortByteOrder();
  void sortMovesWholeRows();
  void sortMatchesOracle();
  void sortByType_data();
  void sortByType();
  void sortIsStable_data();
  void sortIsStable();
  void sortTextAsIcuDoes();
  void autoSizeKeepsHiddenColumns();
  void selectionMoves();
  void selectionSignalsOnlyOnChange();
  void geometryHitTesting();
  void outOfRangeRefused();
};

void GridLogicTest::copyText_data() {
  QTest::addColumn<CCellRange>("range");
  QTest::addColumn<int>("hiddenCol");
  QTest::addColumn<int>("hiddenRow");
  QTest::addColumn<QByteArray>("expected");
  QTest::newRow("block of 2 x 3") << CCellRange(1, 0, 2, 2) << -1 << -1
                                  << QByteArray("1,0\t1,1\t1,2\r\n2,0\t2,1\t2,2") + '\0';
  // A whole job-files row with its hidden number column: the tab before it stays.
  QTest::newRow("hidden last column") << CCellRange(1, 0, 1, 2) << 2 << -1
                                      << QByteArray("1,0\t1,1\t") + '\0';
  QTest::newRow("hidden middle column") << CCellRange(1, 0, 1, 2) << 1 << -1
                                        << QByteArray("1,0\t1,2") + '\0';
  QTest::newRow("hidden row") << CCellRange(1, 0, 3, 0) << -1 << 2
                              << QByteArray("1,0\r\n3,0") + '\0';
  QTest::newRow("hidden last row keeps break") << CCellRange(1, 0, 2, 0) << -1 << 2
                                               << QByteArray("1,0\r\n") + '\0';
  QTest::newRow("nothing selected") << CCellRange() << -1 << -1 << QByteArray();
}

void GridLogicTest::copyText() {
  QFETCH(CCellRange, range);
  QFETCH(int, hiddenCol);
  QFETCH(int, hiddenRow);
  QFETCH(QByteArray, expected);
  auto grid = MakeGrid(4, 3);
  grid->SetColumnWidth(hiddenCol, 0);
  grid->SetRowHeight(hiddenRow, 0);
  grid->SetSelectedRange(range);
  const std::string text = grid->CopySelectionText();
  QCOMPARE(QByteArray(text.data(), static_cast<qsizetype>(text.size())), expected);
}

void GridLogicTest::copyToClipboard() {
  auto grid = MakeGrid(3, 2);
  grid->SetItemText8(1, 0, "\xDE" "ERAN");  // Windows-1254 capital S with cedilla
  grid->SetSelectedRange({1, 0, 2, 1});
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  QVERIFY(grid->CopySelection());
  QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("ŞERAN\t1,1\r\n2,0\t2,1"));

  // With nothing selected the clipboard keeps what it had.
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  grid->ClearSelection();
  QVERIFY(!grid->CopySelection());
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

void GridLogicTest::splitPaste_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<Lines>("expected");
  QTest::newRow("comma and line feed") << QByteArray("1,2\n3") << Lines{{"1", "2"}, {"3"}};
  QTest::newRow("copy format") << QByteArray("a\tb\r\nc\td") << Lines{{"a", "b"}, {"c", "d"}};
  QTest::newRow("trimmed fields") << QByteArray("  x ,  y  \r") << Lines{{"x", "y"}};
  QTest::newRow("tab and comma each separate") << QByteArray("a,\tb") << Lines{{"a", "", "b"}};
  QTest::newRow("trailing separator adds nothing") << QByteArray("a\t") << Lines{{"a"}};
  QTest::newRow("empty line still takes a row") << QByteArray("a\n\nb") << Lines{{"a"}, {}, {"b"}};
}

void GridLogicTest::splitPaste() {
  QFETCH(QByteArray, text);
  QFETCH(Lines, expected);
  QCOMPARE(SplitPasteText(std::string_view(text.constData(), static_cast<size_t>(text.size()))), expected);
}

void GridLogicTest::pastePlacement() {
  {
    auto grid = MakeGrid(4, 4);
    QVERIFY(grid->PasteTextToGrid({1, 1}, "1,2\n3"));
    QCOMPARE(grid->GetItemText8(1, 1), std::string("1"));
    QCOMPARE(grid->GetItemText8(1, 2), std::string("2"));
    QCOMPARE(grid->GetItemText8(2, 1), std::string("3"));
    QCOMPARE(grid->GetItemText8(2, 2), std::string("2,2"));
    QCOMPARE(grid->GetSelectedCellRange(), CCellRange(1, 1, 2, 2));
  }
  {
    // Hidden rows and columns are stepped over; fields past the table are dropped.
    auto grid = MakeGrid(4, 4);
    grid->SetColumnWidth(2, 0);
    grid->SetRowHeight(2, 0);
    QVERIFY(grid->PasteTextToGrid({1, 1}, "a,b,c,d\ne"));
    QCOMPARE(grid->GetItemText8(1, 1), std::string("a"));
    QCOMPARE(grid->GetItemText8(1, 2), std::string("1,2"));
    QCOMPARE(grid->GetItemText8(1, 3), std::string("b"));
    QCOMPARE(grid->GetItemText8(3, 1), std::string("e"));
  }
  {
    auto grid = MakeGrid(3, 3);
    grid->SetItemState(1, 1, GVIS_READONLY);
    QVERIFY(!grid->PasteTextToGrid({1, 1}, "x"));
    QCOMPARE(grid->GetItemText8(1, 1), std::string("1,1"));
    grid->SetEditable(false);
    QVERIFY(!grid->PasteTextToGrid({2, 2}, "x"));
  }
}

void GridLogicTest::sortByteOrder() {
  auto grid = MakeGrid(6, 1);
  const char* texts[] = {"20", "100", "9", "\xDE" "a", "Z"};  // 0xDE is capital S-cedilla
  for (int r = 1; r <= 5; ++r) grid->SetItemText8(r, 0, texts[r - 1]);
  QVERIFY(grid->SortItems(0, true));
  const std::vector<std::string> ascending = {"100", "20", "9", "Z", "\xDE" "a"};
  for (int r = 1; r <= 5; ++r) QCOMPARE(grid->GetItemText8(r, 0), ascending[static_cast<size_t>(r - 1)]);
  QCOMPARE(grid->GetItemText8(0, 0), std::string("0,0"));  // the header stays
  QVERIFY(grid->SortItems(0, false));
  for (int r = 1; r <= 5; ++r) QCOMPARE(grid->GetItemText8(r, 0), ascending[static_cast<size_t>(5 - r)]);
}

void GridLogicTest::sortMovesWholeRows() {
  auto grid = MakeGrid(4, 3);
  const char* names[] = {"C", "A", "B"};
  for (int r = 1; r <= 3; ++r) {
    QVERIFY(grid->SetCellCheck(r, 0));
    grid->SetItemText8(r, 0, names[r - 1]);
    grid->SetItemText8(r, 2, std::to_string(1000 + r));
    grid->SetRowHeight(r, 20 + r);
  }
  grid->SetColumnWidth(2, 0);
  grid->SetCheck(1, 0, true);  // "C"
  QVERIFY(grid->SortItems(0, true));
  QCOMPARE(grid->GetItemText8(3, 0), std::string("C"));
  QVERIFY(grid->GetCheck(3, 0));
  QVERIFY(!grid->GetCheck(1, 0));
  QCOMPARE(grid->GetItemText8(3, 2), std::string("1001"));
  QCOMPARE(grid->GetItemText8(1, 2), std::string("1002"));
  QCOMPARE(grid->GetRowHeight(3), 21);
  QCOMPARE(grid->GetColumnWidth(2), 0);
}

void GridLogicTest::sortMatchesOracle() {
  // Many equal keys and already sorted runs: the quicksort must give the order std::sort
  // gives on the same bytes, and keep each row's cells together.
  std::mt19937 rng(7);
  CGridCellStore store;
  auto make = [](int, int) { return std::unique_ptr<CGridCellBase>(new CGridCell); };
  store.SetColumnCount(2, make);
  store.SetRowCount(3001, make);
  std::vector<std::string> keys;
  for (int r = 1; r <= 3000; ++r) {
    std::string k = r < 1000 ? std::to_string(r) : std::to_string(rng() % 50);
    if (r % 7 == 0) k += "\xFD";  // dotless i, above every ASCII byte
    store.GetCell(r, 0)->SetText(k);
    store.GetCell(r, 1)->SetText(std::to_string(r));
    keys.push_back(k);
  }
  for (const bool bAscending : {true, false}) {
    const std::vector<int> order = SortRowOrder(store, 0, GridColumnType::Bytes, bAscending, 1);
    std::vector<std::string> expected = keys;
    std::sort(expected.begin(), expected.end());
    if (!bAscending) std::reverse(expected.begin(), expected.end());
    std::vector<int> seen(order.size(), 0);
    for (size_t i = 0; i < order.size(); ++i) {
      QCOMPARE(store.GetCell(order[i], 0)->GetText(), expected[i]);
      // Equal keys keep the order they had.
      if (i > 0 && expected[i] == expected[i - 1]) QVERIFY(order[i] > order[i - 1]);
      ++seen[static_cast<size_t>(order[i] - 1)];
    }
    QVERIFY(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
  }
}

// Texts given in ascending order (UTF-8, as the screen shows them), all keys different:
// the table is filled in a scrambled order, sorted up and then down.
void GridLogicTest::sortByType_data() {
  QTest::addColumn<GridColumnType>("type");
  QTest::addColumn<QStringList>("ascending");
  const auto num = GridColumnType::Number, text = GridColumnType::Text, date = GridColumnType::DateTime;
  QTest::newRow("epochs: 10 after 3") << num << QStringList{"3", "9", "10", "100", "120"};
  QTest::newRow("negative values") << num << QStringList{"-12.5000", "-2.0000", "-0.0010", "0.0010", "1.0000"};
  QTest::newRow("empty first, -0.0000 as zero") << num << QStringList{"", "-0.0010", "-0.0000", "0.0001"};
  QTest::newRow("dilution figures") << num << QStringList{"0.800000000000", "1.200000000000", "10.000000000000"};
  QTest::newRow("coordinates") << num << QStringList{"500000.1235", "4399999.9999", "4400000.5000"};
  QTest::newRow("hidden keys") << num << QStringList{"-99999", "2", "999", "1000", "1001"};
  QTest::newRow("no number after the numbers") << num << QStringList{"", "5", "50", "abc"};
  QTest::newRow("Ç between C and D") << text << QStringList{"Cami", "Çınar", "Dere", "Zeytin"};
  QTest::newRow("İ after I, before J") << text << QStringList{"I", "İ", "J"};
  QTest::newRow("ı before i") << text << QStringList{"h", "ı", "i", "j"};
  QTest::newRow("Ğ Ö Ş Ü after their base letters")
      << text << QStringList{"G", "Ğ", "H", "O", "Ö", "P", "S", "Ş", "T", "U", "Ü", "V"};
  QTest::newRow("names with Turkish letters")
      << text << QStringList{"", "AĞAÇ", "BİNA KÖŞESİ", "ÇEŞME", "DİREK", "İSKELE", "KÖŞE", "ŞEV"};
  QTest::newRow("dates within a day") << date << QStringList{"27.6.2024 9:59", "27.6.2024 10:0", "27.6.2024 19:5"};
  QTest::newRow("dates across months")
      << date << QStringList{"30.1.2024 23:59", "2.2.2024 0:0", "27.6.2024 19:5", "3.10.2024 8:0", "5.12.2024 7:30"};
  QTest::newRow("dates across years")
      << date << QStringList{"", "31.12.1969 23:59", "1.1.1970 0:0", "31.12.2023 23:59", "1.1.2024 0:0", "2.1.2038 0:0"};
  QTest::newRow("no date after the dates") << date << QStringList{"1.1.2024 0:0", "32.1.2024 0:0", "x"};
}

void GridLogicTest::sortByType() {
  QFETCH(GridColumnType, type);
  QFETCH(QStringList, ascending);
  const int n = static_cast<int>(ascending.size());
  auto grid = MakeGrid(n + 1, 2);
  QVERIFY(grid->SetColumnType(1, type));
  QCOMPARE(grid->GetColumnType(1), type);
  QCOMPARE(grid->GetColumnType(0), GridColumnType::Bytes);
  // A scrambled start, every text once: step through the list by a stride prime to n.
  int stride = 1;
  for (int k : {3, 2, 5, 7}) {
    if (n > k && std::gcd(k, n) == 1) {
      stride = k;
      break;
    }
  }
  for (int i = 0; i < n; ++i) grid->SetItemText(i + 1, 1, ascending[(i * stride + 1) % n]);
  QVERIFY(grid->SortItems(1, true));
  QStringList shown;
  for (int r = 1; r <= n; ++r) shown << grid->GetItemText(r, 1);
  QCOMPARE(shown, ascending);
  QVERIFY(grid->SortItems(1, false));
  shown.clear();
  for (int r = n; r >= 1; --r) shown << grid->GetItemText(r, 1);
  QCOMPARE(shown, ascending);
}

void GridLogicTest::sortIsStable_data() {
  QTest::addColumn<GridColumnType>("type");
  QTest::addColumn<QStringList>("keys");          // column 1, row by row
  QTest::addColumn<QString>("ascendingRows");     // the rows' first texts after sorting
  QTest::addColumn<QString>("descendingRows");
  // Column 0 names the rows a to e.
  QTest::newRow("equal numbers") << GridColumnType::Number << QStringList{"5", "3", "5.0", "-0.0000", "0.0000"}
                                 << "debac" << "acbde";
  QTest::newRow("equal names") << GridColumnType::Text << QStringList{"Şev", "Ağaç", "Şev", "Ağaç", ""}
                               << "ebdac" << "acbde";
  QTest::newRow("equal dates") << GridColumnType::DateTime
                               << QStringList{"1.7.2024 0:0", "27.6.2024 19:5", "1.7.2024 0:0", "", "27.6.2024 19:5"}
                               << "dbeac" << "acbed";
}

void GridLogicTest::sortIsStable() {
  QFETCH(GridColumnType, type);
  QFETCH(QStringList, keys);
  QFETCH(QString, ascendingRows);
  QFETCH(QString, descendingRows);
  auto grid = MakeGrid(6, 2);
  grid->SetColumnType(1, type);
  for (int r = 1; r <= 5; ++r) {
    grid->SetItemText(r, 0, QString(QChar('a' + r - 1)));
    grid->SetItemText(r, 1, keys[r - 1]);
  }
  auto rows = [&] {
    QString s;
    for (int r = 1; r <= 5; ++r) s += grid->GetItemText(r, 0);
    return s;
  };
  QVERIFY(grid->SortItems(1, true));
  QCOMPARE(rows(), ascendingRows);
  // Descending from the original order: equal keys still in their first order.
  for (int r = 1; r <= 5; ++r) {
    grid->SetItemText(r, 0, QString(QChar('a' + r - 1)));
    grid->SetItemText(r, 1, keys[r - 1]);
  }
  QVERIFY(grid->SortItems(1, false));
  QCOMPARE(rows(), descendingRows);
}

// ICU's Turkish collation, behind QCollator on Linux, is the oracle for the order of a
// name column: every character alone, and short names from few pieces, so that many share
// their letters and differ by accent, case, ligature or the dot of l·l alone.
void GridLogicTest::sortTextAsIcuDoes() {
#ifdef Q_OS_WIN
  QSKIP("Qt for Windows has no ICU: its QCollator is the system's collation, which this order replaces");
#endif
  std::vector<std::string> names;
  for (int b = 1; b < 256; ++b) names.emplace_back(1, static_cast<char>(b));
  const char* pieces[] = {"a", "A", "â", "Â", "æ", "e", "E", "g", "ğ", "ı", "I", "Î", "i", "İ", "î", "l", "L",
                          "l·", "s", "ş", "Ş", "ß", "c", "ç", "Ç", "0", "1", "9", "¹", "½", " ", "-", "."};
  std::mt19937 rng(11);
  while (names.size() < 700) {
    std::string name;
    for (size_t n = 1 + rng() % 4; n > 0; --n) name += text::Utf8ToCp1254(pieces[rng() % std::size(pieces)]);
    names.push_back(name);
  }
  CGridCellStore store;
  auto make = [](int, int) { return std::unique_ptr<CGridCellBase>(new CGridCell); };
  store.SetColumnCount(1, make);
  store.SetRowCount(static_cast<int>(names.size()), make);
  QStringList shown;
  QList<bool> blank;  // an empty cell, which comes first
  for (size_t r = 0; r < names.size(); ++r) {
    store.GetCell(static_cast<int>(r), 0)->SetText(names[r]);
    shown << QString::fromStdU16String(text::Cp1254ToUtf16(names[r]));
    blank << (names[r].find_first_not_of(" \t\r\n") == std::string::npos);
  }
  const QCollator icu{QLocale(QLocale::Turkish, QLocale::Turkey)};
  std::vector<int> expected(names.size());
  std::iota(expected.begin(), expected.end(), 0);
  std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
    return blank[a] || blank[b] ? blank[a] && !blank[b] : icu.compare(shown[a], shown[b]) < 0;
  });
  const std::vector<int> order = SortRowOrder(store, 0, GridColumnType::Text, true, 0);
  for (size_t i = 0; i < order.size(); ++i) {
    QVERIFY2(order[i] == expected[i],
             qPrintable(QStringLiteral("place %1: %2, ICU: %3").arg(i).arg(shown[order[i]], shown[expected[i]])));
  }
}

void GridLogicTest::autoSizeKeepsHiddenColumns() {
  auto grid = MakeGrid(3, 3);
  grid->SetItemText8(1, 0, "a rather longer text than the others");
  grid->SetColumnWidth(2, 0);
  grid->AutoSize();
  QCOMPARE(grid->GetColumnWidth(2), 0);
  QVERIFY(grid->GetColumnWidth(0) > grid->GetColumnWidth(1));
  QVERIFY(grid->GetRowHeight(1) > 1);
  // A check cell needs room for its box.
  grid->SetItemText8(2, 1, "");
  const int before = grid->GetColumnWidth(1);
  grid->SetCellCheck(1, 1);
  grid->AutoSize();
  QVERIFY(grid->GetColumnWidth(1) > before);
}

void GridLogicTest::selectionMoves() {
  GridSelectionMode mode{5, 4, 1, 0, false, false};
  CGridSelection sel;
  sel.Click({1, 1}, false, false, mode);
  sel.Click({3, 2}, true, false, mode);
  QCOMPARE(sel.GetBounds(), CCellRange(1, 1, 3, 2));
  QCOMPARE(sel.GetAnchor(), CCellID(1, 1));
  sel.Click({4, 3}, false, true, mode);  // Ctrl adds
  QVERIFY(sel.IsSelected(2, 2) && sel.IsSelected(4, 3) && !sel.IsSelected(4, 2));

  mode.bListMode = true;
  sel.Click({2, 1}, false, false, mode);
  QCOMPARE(sel.GetBounds(), CCellRange(2, 0, 2, 3));
  sel.Click({4, 0}, false, true, mode);  // list mode, several rows
  QVERIFY(sel.IsSelected(2, 3) && sel.IsSelected(4, 0));
  mode.bSingleRow = true;
  sel.Click({3, 0}, false, true, mode);  // single-row: Ctrl still replaces
  QCOMPARE(sel.GetBounds(), CCellRange(3, 0, 3, 3));
  sel.Click({1, 0}, true, false, mode);
  QCOMPARE(sel.GetBounds(), CCellRange(1, 0, 1, 3));
}

void GridLogicTest::selectionSignalsOnlyOnChange() {
  auto grid = MakeGrid(4, 3);
  QSignalSpy changing(grid.get(), &CGridCtrl::SelectionChanging);
  QSignalSpy changed(grid.get(), &CGridCtrl::SelectionChanged);
  grid->SetSelectedRange({1, 0, 2, 1});
  grid->SetSelectedRange({1, 0, 2, 1});
  QCOMPARE(changing.count(), 1);
  QCOMPARE(changed.count(), 1);
  grid->ClearSelection();
  grid->ClearSelection();
  QCOMPARE(changed.count(), 2);
  // Nothing selected: the range of the table's size and -1.
  QCOMPARE(grid->GetSelectedCellRange(), CCellRange(4, 3, -1, -1));
}

void GridLogicTest::geometryHitTesting() {
  CGridGeometry geo;
  geo.SetRowCount(5, 10);
  geo.SetRowHeight(2, 0);
  QCOMPARE(geo.RowTop(3), 20);
  QCOMPARE(geo.RowAt(19), 1);
  QCOMPARE(geo.RowAt(20), 3);  // the hidden row never holds an offset
  QCOMPARE(geo.RowAt(39), 4);
  QCOMPARE(geo.RowAt(40), -1);
  QCOMPARE(geo.RowAt(50), -1);
  QCOMPARE(geo.RowAt(-1), -1);
  geo.SetRowHeight(0, 30);
  QCOMPARE(geo.RowTop(3), 40);
  QCOMPARE(geo.VisibleRowFrom(2, 1, 1), 3);
  QCOMPARE(geo.VisibleRowFrom(2, -1, 1), 1);
  QCOMPARE(geo.VisibleRowFrom(0, -1, 1), -1);
}

void GridLogicTest::outOfRangeRefused() {
  auto grid = MakeGrid(3, 3);
  QVERIFY(!grid->SetItemText8(3, 0, "x"));
  QVERIFY(!grid->SetItemText8(0, -1, "x"));
  QCOMPARE(grid->GetItemText(5, 5), QString());
  QVERIFY(grid->GetCell(-1, 0) == nullptr);
  QVERIFY(!grid->SetCellCheck(3, 0));
  QVERIFY(!grid->GetCheck(1, 1));  // not a check cell
  QVERIFY(!grid->SetRowCount(-1));
  // A new text marks the cell modified; a check cell takes over the old attributes.
  QVERIFY(grid->GetItemState(1, 1) & GVIS_MODIFIED);
  grid->SetItemBkColour(1, 1, QColor(255, 1, 1));
  QVERIFY(grid->SetCellCheck(1, 1));
  QCOMPARE(grid->GetItemText8(1, 1), std::string("1,1"));
  QCOMPARE(grid->GetItemBkColour(1, 1), QColor(255, 1, 1));
  QVERIFY(!grid->GetCheck(1, 1));
  // Header cells carry the fixed bits.
  QCOMPARE(grid->GetItemState(0, 1) & (GVIS_FIXED | GVIS_FIXEDROW), unsigned(GVIS_FIXED | GVIS_FIXEDROW));
  // Shrinking drops the selection beyond the end.
  grid->SetSelectedRange({1, 0, 2, 2});
  grid->SetRowCount(2);
  QCOMPARE(grid->GetSelectedCellRange(), CCellRange(1, 0, 1, 2));
  grid->DeleteNonFixedRows();
  QCOMPARE(grid->GetRowCount(), 1);
  QCOMPARE(grid->GetSelectedCellRange(), CCellRange(1, 3, -1, -1));
}

QTEST_MAIN(GridLogicTest)
#include "GridLogicTest.moc"
