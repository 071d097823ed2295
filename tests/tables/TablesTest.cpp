// The three table views on a document filled by hand: columns, number texts, hidden
// keys, colours, ticks, read-only cells, sorting by meaning, the keys the exports hand
// over, the job files table's click and removal.
#include <QClipboard>
#include <QMenu>
#include <QtTest>

#include "TestSupport.h"
#include "grid/GridDefs.h"
#include "jobdata/CVelmiraDocAccess.h"
#include "jobdata/TableTexts.h"
#include "tables/CGPSNoktaView.h"
#include "tables/CTSJView.h"
#include "tables/CVelmiraView.h"

namespace {

CTarvekNokta Point(int nIndex, int nFileNumber, const char* name) {
  CTarvekNokta p;
  p.nIndex = nIndex;
  p.nFileNumber = nFileNumber;
  p.strName = name;
  p.strBaseName = "BASE";
  p.strSolution = "Fix";
  p.dY = 500000.12346;
  p.dX = 4400000.5;
  p.dHdop = 0.8;
  return p;
}

CEslesenNokta Pair(int nPairNo, double dDiffY, double dDiffHours, int nGroupNo = kNoGroup) {
  CEslesenNokta pair;
  pair.strName1 = "P1";
  pair.strName2 = "P1";
  pair.nPairNo = nPairNo;
  pair.dDiffY = dDiffY;
  pair.dDiffHours = dDiffHours;
  pair.nGroupNo = nGroupNo;
  return pair;
}

}  // namespace

class TablesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    shell = std::make_unique<RecordingShell>();
    doc = std::make_unique<CVelmiraDoc>(*shell, std::filesystem::temp_directory_path() / "velmira-unused");
  }

  // The header row of each table: texts, the plain word-break format (top left, wrapping)
  // and the key columns hidden from the start.
  void headerRows_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QList<int>>("hidden");
    QTest::newRow("job files") << 0 << QStringList{"TSJ Dosyası", "Bulunduğu Dizin", "nFileNumber"} << QList<int>{2};
    QTest::newRow("points") << 1
                            << QStringList{"Nokta No", "Baz Nokta No", "Sağa Değer", "Yukarı Değer",
                                           "Elipsoid Yüksekliği", "Tamsayı B.Çözümü", "Veri Toplama Aralığı",
                                           "Oturum Zamanı", "Epok Sayısı", "HDop", "VDop", "PDop", "RMS",
                                           "GPS Uydu Sayısı", "GLONASS Uydu Sayısı", "Enlem", "Boylam",
                                           "Oturum Zamanı", "nIndex", "nFileNumber"}
                            << QList<int>{18, 19};
    QTest::newRow("pairs") << 2
                           << QStringList{"1.Oturum", "2.Oturum", "1.Oturum Epok Sayısı", "2.Oturum Epok Sayısı",
                                          "FARK-Sağa Değer(m)", "FARK-Yukarı Değer(m)", "FARK-Elipsoit H.(m)",
                                          "FARK-Oturum Zamanı(saat)", "nIndex", "Oturum1_NDX", "Oturum2_NDX",
                                          "Grup No"}
                           << QList<int>{8, 9, 10, 11};
  }

  void headerRows() {
    QFETCH(int, table);
    QFETCH(QStringList, headers);
    QFETCH(QList<int>, hidden);
    std::unique_ptr<CGridView> view;
    if (table == 0) view = std::make_unique<CTSJView>(*doc);
    if (table == 1) view = std::make_unique<CGPSNoktaView>(*doc);
    if (table == 2) view = std::make_unique<CVelmiraView>(*doc);
    CGridCtrl* grid = view->GetGridCtrl();
    QCOMPARE(grid->GetRowCount(), 1);
    QCOMPARE(grid->GetFixedRowCount(), 1);
    QCOMPARE(grid->GetFixedColumnCount(), 0);
    QCOMPARE(grid->GetColumnCount(), headers.size());
    for (int c = 0; c < headers.size(); ++c) {
      QCOMPARE(grid->GetItemText(0, c), headers[c]);
      QCOMPARE(grid->GetItemFormat(0, c), unsigned(DT_WORDBREAK));
      QCOMPARE(grid->GetColumnWidth(c) == 0, hidden.contains(c));
    }
  }

  void pointTableListsOneFileWithItsFormats() {
    CVelmiraDocAccess::NoktaList(*doc) = {Point(1000, 1, "A"), Point(1001, 2, "B"), Point(1002, 1, "C"), Point(1003, 1, "D")};
    CGPSNoktaView view(*doc);
    view.Fill(1);
    CGridCtrl* grid = view.GetGridCtrl();
    QCOMPARE(grid->GetRowCount(), 4);
    QCOMPARE(grid->GetColumnCount(), kPointColumns);
    for (int r = 1; r < 4; ++r) {
      QVERIFY(dynamic_cast<CGridCellCheck*>(grid->GetCell(r, 0)) != nullptr);
      QVERIFY(!grid->GetCheck(r, 0));
      QCOMPARE(grid->GetItemText(r, 6), QStringLiteral("1"));
    }
    QCOMPARE(grid->GetItemText(2, 0), QStringLiteral("C"));
    QCOMPARE(grid->GetItemText(1, 2), QStringLiteral("500000.1235"));
    QCOMPARE(grid->GetItemText(1, 9), QStringLiteral("0.800000000000"));
    QCOMPARE(grid->GetItemText(3, kPointIndexColumn), QStringLiteral("1003"));
    QCOMPARE(grid->GetItemText(0, 7), QStringLiteral("Oturum Zamanı"));
    QCOMPARE(grid->GetItemText(0, 17), QStringLiteral("Oturum Zamanı"));
    QCOMPARE(grid->GetColumnWidth(kPointIndexColumn), 0);
    QCOMPARE(grid->GetColumnWidth(kPointFileNumberColumn), 0);
    QVERIFY(grid->GetColumnWidth(17) > 0);

    view.Fill(7);
    QCOMPARE(grid->GetRowCount(), 1);
    QCOMPARE(grid->GetColumnWidth(kPointIndexColumn), 0);
  }

  // A sort moves the hidden keys with their rows, so the export takes the point shown.
  void tickedKeysFollowTheTableOrder() {
    CVelmiraDocAccess::NoktaList(*doc) = {Point(1000, 1, "A"), Point(1001, 1, "C"), Point(1002, 1, "B")};
    CGPSNoktaView view(*doc);
    view.Fill(1);
    QVERIFY(view.GetGridCtrl()->SortItems(0, false));  // C, B, A
    view.GetGridCtrl()->SetCheck(1, 0, true);
    view.GetGridCtrl()->SetCheck(3, 0, true);
    const std::vector<PointKey> keys = view.CheckedPointKeys();
    QCOMPARE(keys.size(), size_t{2});
    QCOMPARE(keys[0].nIndex, 1001);
    QCOMPARE(keys[1].nIndex, 1000);
    QCOMPARE(keys[0].nFileNumber, 1);
  }

  void pairColours_data() {
    QTest::addColumn<double>("diffY");
    QTest::addColumn<double>("hours");
    QTest::addColumn<int>("group");
    QTest::addColumn<QList<int>>("coloured");
    QTest::addColumn<QString>("hoursText");
    QTest::newRow("at the limits") << 0.07 << 1.0 << kNoGroup << QList<int>{} << "1.0000";
    QTest::newRow("0.1 mm over") << 0.0701 << 1.0 << kNoGroup << QList<int>{4} << "1.0000";
    QTest::newRow("half an hour") << 0.0 << 0.5 << kNoGroup << QList<int>{7} << "0.5000";
    QTest::newRow("a day apart") << 0.0 << 26.0 << kNoGroup << QList<int>{} << "26.0000";
    QTest::newRow("grouped") << 0.0 << 2.0 << 3 << QList<int>{0} << "2.0000";
  }
  void pairColours() {
    QFETCH(double, diffY);
    QFETCH(double, hours);
    QFETCH(int, group);
    QFETCH(QList<int>, coloured);
    QFETCH(QString, hoursText);
    CVelmiraDocAccess::EslesenList(*doc) = {Pair(100, diffY, hours, group)};
    CVelmiraView view(*doc);
    view.Fill();
    CGridCtrl* grid = view.GetGridCtrl();
    QCOMPARE(grid->GetRowCount(), 2);
    QCOMPARE(grid->GetItemText(1, 7), hoursText);
    for (int c = 0; c < kPairColumns; ++c) {
      const QColor expected = !coloured.contains(c) ? QColor() : c == 0 ? QColor(255, 255, 1) : QColor(255, 1, 1);
      QCOMPARE(grid->GetItemBkColour(1, c), expected);
    }
    for (int c = kFirstHiddenPairColumn; c < kPairColumns; ++c) QCOMPARE(grid->GetColumnWidth(c), 0);
  }

  // A later criteria change recolours nothing until the table is filled again.
  void coloursFollowTheCriteriaOfTheLastFill() {
    CVelmiraDocAccess::EslesenList(*doc) = {Pair(100, 0.05, 2)};
    CVelmiraView view(*doc);
    view.Fill();
    CMatchCriteria strict = doc->Criteria();
    strict.dMaxDiffY = 0.01;
    doc->SetCriteria(strict);
    QCOMPARE(view.GetGridCtrl()->GetItemBkColour(1, 4), QColor());
    view.Fill();
    QCOMPARE(view.GetGridCtrl()->GetItemBkColour(1, 4), QColor(255, 1, 1));
  }

  void selectionPopupTicksAndUnticksEveryRow() {
    CVelmiraView empty(*doc);
    QMenu* menu = empty.GetPopupMenu();
    QCOMPARE(menu->title(), QStringLiteral("Seçim"));
    QCOMPARE(menu->actions().size(), 3);
    QCOMPARE(menu->actions()[0]->text(), QStringLiteral("Tüm Noktaları Seç"));
    QCOMPARE(menu->actions()[1]->text(), QStringLiteral("Seçimi Bırak"));
    QCOMPARE(menu->actions()[2]->text(), QStringLiteral("Dilime Göre Seç"));
    menu->actions()[0]->trigger();
    QCOMPARE(empty.GetGridCtrl()->GetRowCount(), 1);

    CVelmiraDocAccess::NoktaList(*doc) = {Point(1000, 1, "A"), Point(1001, 1, "B")};
    CGPSNoktaView view(*doc);
    view.Fill(1);
    view.GetPopupMenu()->actions()[0]->trigger();
    QCOMPARE(view.CheckedRows(), (std::vector<int>{1, 2}));
    view.GetPopupMenu()->actions()[1]->trigger();
    QVERIFY(view.CheckedRows().empty());
  }

  // A form names one zone: the pair table ticks the pairs of the zone chosen.
  void zoneMenuTicksThePairsOfOneZone() {
    std::vector<CTarvekNokta> points;
    for (int i = 0; i < 6; ++i) {
      points.push_back(Point(1000 + i, i < 4 ? 1 : 2, "K"));
      points.back().strMeridian = i < 4 ? "33" : "30";
    }
    CVelmiraDocAccess::NoktaList(*doc) = points;
    std::vector<CEslesenNokta> pairs = {Pair(100, 0, 2), Pair(101, 0, 2), Pair(102, 0, 2), Pair(103, 0, 2)};
    const int ends[][2] = {{1000, 1001}, {1004, 1005}, {1002, 1003}, {1003, 1004}};  // the last spans zones
    for (size_t i = 0; i < pairs.size(); ++i) {
      pairs[i].nIndex1 = ends[i][0];
      pairs[i].nIndex2 = ends[i][1];
    }
    CVelmiraDocAccess::EslesenList(*doc) = pairs;
    CVelmiraView view(*doc);
    view.Fill();
    QMenu* zones = view.GetZoneMenu();
    emit zones->aboutToShow();
    QCOMPARE(zones->actions().size(), 2);
    QCOMPARE(zones->actions()[0]->text(), QStringLiteral("TM30"));
    QCOMPARE(zones->actions()[1]->text(), QStringLiteral("TM33"));
    view.SetAllChecks(true);
    zones->actions()[1]->trigger();
    QCOMPARE(view.CheckedPairNumbers(), (std::vector<int>{100, 102}));
    zones->actions()[0]->trigger();
    QCOMPARE(view.CheckedPairNumbers(), (std::vector<int>{101}));
  }

  void popupOnlyInsideTheTable() {
    CGPSNoktaView view(*doc);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(!view.ShowPopupAt(view.mapToGlobal(QPoint(400, 400))));
    QVERIFY(!view.GetPopupMenu()->isVisible());
    QVERIFY(view.ShowPopupAt(view.GetGridCtrl()->mapToGlobal(QPoint(20, 20))));
    QVERIFY(view.GetPopupMenu()->isVisible());
    view.GetPopupMenu()->close();

    // A right click in the table reaches the view through the control.
    QWidget* viewport = view.GetGridCtrl()->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(30, 30), viewport->mapToGlobal(QPoint(30, 30)));
    QApplication::sendEvent(viewport, &event);
    QVERIFY(view.GetPopupMenu()->isVisible());
    view.GetPopupMenu()->close();
  }

  // Regression: clearing or pasting over a selected row reached the hidden key cells, so
  // an export or a removal then found another record or none.
  void keyCellsSurviveClearAndPaste() {
    CVelmiraDocAccess::NoktaList(*doc) = {Point(1000, 1, "A"), Point(1001, 1, "B")};
    CGPSNoktaView view(*doc);
    view.Fill(1);
    CGridCtrl* grid = view.GetGridCtrl();
    grid->SetSelectedRange(CCellRange(1, 0, 1, kPointColumns - 1));
    grid->ClearSelectedTexts();
    QCOMPARE(grid->GetItemText(1, kPointIndexColumn), QStringLiteral("1000"));
    QCOMPARE(grid->GetItemText(1, kPointFileNumberColumn), QStringLiteral("1"));
    std::string row;
    for (int c = 0; c < kPointColumns; ++c) row += (c ? "\t" : "") + std::string("9");
    grid->PasteTextToGrid(CCellID(2, 0), row + "\r\n");
    QCOMPARE(grid->GetItemText(2, kPointIndexColumn), QStringLiteral("1001"));
    grid->SetCheck(2, 0, true);
    QCOMPARE(view.CheckedPointKeys().size(), size_t{1});
    QCOMPARE(view.CheckedPointKeys()[0].nIndex, 1001);
  }

  // The cells show the document and the exports read the document: an edit in a cell was
  // exported as if it had not happened, and Delete blanked a job file's name and path.
  // Every way to change a text is refused; ticking and copying still work.
  void viewsRefuseChangesToCells_data() {
    QTest::addColumn<int>("table");
    QTest::newRow("job files") << 0;
    QTest::newRow("points") << 1;
    QTest::newRow("pairs") << 2;
  }
  void viewsRefuseChangesToCells() {
    QFETCH(int, table);
    CVelmiraDocAccess::TsjList(*doc) = {{"/d/a.tsj", "a.tsj", 1, "33", "RTK"}, {"/d/b.tsj", "b.tsj", 2, "33", "RTK"}};
    CVelmiraDocAccess::NoktaList(*doc) = {Point(1000, 1, "A"), Point(1001, 1, "B")};
    CVelmiraDocAccess::EslesenList(*doc) = {Pair(100, 0.01, 2), Pair(101, 0.02, 3)};
    std::unique_ptr<CGridView> view;
    if (table == 0) view = std::make_unique<CTSJView>(*doc);
    if (table == 1) view = std::make_unique<CGPSNoktaView>(*doc);
    if (table == 2) view = std::make_unique<CVelmiraView>(*doc);
    if (auto* files = dynamic_cast<CTSJView*>(view.get())) files->Rebuild();
    if (auto* points = dynamic_cast<CGPSNoktaView*>(view.get())) points->Fill(1);
    if (auto* pairs = dynamic_cast<CVelmiraView*>(view.get())) pairs->Fill();
    view->resize(900, 300);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    CGridCtrl* grid = view->GetGridCtrl();
    QCOMPARE(grid->GetRowCount(), 3);
    QStringList before;
    for (int r = 0; r < grid->GetRowCount(); ++r) {
      for (int c = 0; c < grid->GetColumnCount(); ++c) {
        before << grid->GetItemText(r, c);
        QVERIFY(!grid->IsCellEditable(r, c));
      }
    }
    const QPoint cell = grid->GetCellRect(1, 1).center();
    QGuiApplication::clipboard()->setText(QStringLiteral("9\t9\t9"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
    QTest::keyClicks(grid, QStringLiteral("77"));
    QTest::keyClick(grid, Qt::Key_F2);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
    QVERIFY(!grid->GetInPlaceEdit());
    QTest::keyClick(grid, Qt::Key_Delete);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(grid, Qt::Key_X, Qt::ControlModifier);
    QVERIFY(!grid->PasteTextToGrid(CCellID(1, 0), "x\ty"));
    QStringList after;
    for (int r = 0; r < grid->GetRowCount(); ++r) {
      for (int c = 0; c < grid->GetColumnCount(); ++c) after << grid->GetItemText(r, c);
    }
    QCOMPARE(after, before);
    const auto* box = static_cast<CGridCellCheck*>(grid->GetCell(2, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, box->GetCheckPlacement(grid->GetCellRect(2, 0)).center());
    QCOMPARE(view->CheckedRows(), std::vector<int>{2});
  }

  // A header click sorts by what the column means; the second click turns the order
  // round, and the detail export takes the ticked points in the order shown.
  void pointTableSortsByMeaning_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QList<int>>("ascending");  // nIndex of the rows
    // 1000 Dere, 10 epochs, 27.6.2024 19:5, easting 500000.1
    // 1001 Çınar, 3 epochs, 3.7.2024 8:0, easting -0.0000
    // 1002 Cami, 120 epochs, 27.6.2024 9:59, easting 12.5
    // 1003 İnci, 9 epochs, 1.1.2025 0:0, easting 3
    QTest::newRow("names by Turkish collation") << 0 << QList<int>{1002, 1001, 1000, 1003};
    QTest::newRow("easting by value") << 2 << QList<int>{1001, 1003, 1002, 1000};
    QTest::newRow("epochs by value") << 8 << QList<int>{1001, 1003, 1000, 1002};
    QTest::newRow("start time by date") << 17 << QList<int>{1002, 1000, 1001, 1003};
  }
  void pointTableSortsByMeaning() {
    QFETCH(int, column);
    QFETCH(QList<int>, ascending);
    struct Row { const char* name; int epochs; const char* time; double east; };
    const Row rows[] = {{"Dere", 10, "27.6.2024 19:5", 500000.1},
                        {"\xC7\xFDnar", 3, "3.7.2024 8:0", -0.00001},  // Çınar in Windows-1254
                        {"Cami", 120, "27.6.2024 9:59", 12.5},
                        {"\xDDnci", 9, "1.1.2025 0:0", 3}};           // İnci
    std::vector<CTarvekNokta> points;
    for (int i = 0; i < 4; ++i) {
      CTarvekNokta p = Point(1000 + i, 1, rows[i].name);
      p.nEpochs = rows[i].epochs;
      p.strTime = rows[i].time;
      p.dY = rows[i].east;
      points.push_back(p);
    }
    CVelmiraDocAccess::NoktaList(*doc) = points;
    CGPSNoktaView view(*doc);
    view.Fill(1);
    CGridCtrl* grid = view.GetGridCtrl();
    view.resize(1600, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(grid->GetItemText(2, 2), QStringLiteral("-0.0000"));
    auto keys = [&] {
      view.SetAllChecks(true);
      QList<int> indexes;
      for (const PointKey& k : view.CheckedPointKeys()) indexes << k.nIndex;
      return indexes;
    };
    const QPoint header = grid->GetCellRect(0, column).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, header);
    QCOMPARE(grid->GetSortColumn(), column);
    QVERIFY(grid->GetSortAscending());
    QCOMPARE(keys(), ascending);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->GetCellRect(0, column).center());
    QVERIFY(!grid->GetSortAscending());
    QList<int> descending(ascending.rbegin(), ascending.rend());
    QCOMPARE(keys(), descending);
  }

  // A refilled or emptied table is in list order again, so its arrow goes.
  void sortArrowGoesWithARefill_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<bool>("refill");  // false: emptied, as by a removal
    QTest::newRow("points listed again") << 1 << true;
    QTest::newRow("points emptied") << 1 << false;
    QTest::newRow("pairs of a new matching run") << 2 << true;
    QTest::newRow("pairs emptied") << 2 << false;
  }
  void sortArrowGoesWithARefill() {
    QFETCH(int, table);
    QFETCH(bool, refill);
    CVelmiraDocAccess::NoktaList(*doc) = {Point(1000, 1, "A"), Point(1001, 1, "B")};
    CVelmiraDocAccess::EslesenList(*doc) = {Pair(100, 0.01, 2), Pair(101, 0.02, 3)};
    CGPSNoktaView points(*doc);
    CVelmiraView pairs(*doc);
    CGridView* view = table == 1 ? static_cast<CGridView*>(&points) : &pairs;
    auto fill = [&] { table == 1 ? points.Fill(1) : pairs.Fill(); };
    fill();
    view->resize(900, 300);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    CGridCtrl* grid = view->GetGridCtrl();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->GetCellRect(0, 0).center());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->GetCellRect(0, 0).center());
    QCOMPARE(grid->GetSortColumn(), 0);
    QVERIFY(!grid->GetSortArrowRect(0).isNull());
    if (refill) fill();
    else view->Clear();
    QCOMPARE(grid->GetSortColumn(), -1);
    QVERIFY(grid->GetSortArrowRect(0).isNull());
    // The next click starts ascending again.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->GetCellRect(0, 0).center());
    QVERIFY(grid->GetSortAscending());
  }

  void jobFilesTableClickShowsTheFileOfTheRow() {
    CVelmiraDocAccess::TsjList(*doc) = {{"/d/a.tsj", "a.tsj", 1, "33", "RTK"}, {"/d/\xE7" "b.tsj", "\xE7" "b.tsj", 2, "33", "RTK"}};
    CTSJView view(*doc);
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.Rebuild();
    CGridCtrl* grid = view.GetGridCtrl();
    QCOMPARE(grid->GetRowCount(), 3);
    QCOMPARE(grid->GetItemText(2, 0), QStringLiteral("çb.tsj"));
    QCOMPARE(grid->GetItemText(2, 1), QStringLiteral("/d/çb.tsj"));
    QCOMPARE(grid->GetItemText(2, 2), QStringLiteral("2"));
    QCOMPARE(grid->GetColumnWidth(2), 0);
    QVERIFY(grid->GetHeaderSort() == false);

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->GetCellRect(2, 1).center());
    QCOMPARE(shell->shownFiles, std::vector<int>{2});
  }

  void headerClickWithoutFilesShowsNoPoints() {
    CTSJView view(*doc);
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    CGridCtrl* grid = view.GetGridCtrl();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->GetCellRect(0, 1).center());
    QCOMPARE(shell->shownFiles, std::vector<int>{0});
  }

  void removalDropsTheTickedFilesOnly() {
    CVelmiraDocAccess::TsjList(*doc) = {{"/a.tsj", "a.tsj", 1, "33", "RTK"}, {"/b.tsj", "b.tsj", 2, "33", "RTK"},
                      {"/c.tsj", "c.tsj", 3, "33", "RTK"}};
    CVelmiraDocAccess::NoktaList(*doc) = {Point(1000, 1, "A"), Point(1001, 2, "B"), Point(1002, 3, "C")};
    CTSJView view(*doc);
    view.Rebuild();
    CGridCtrl* grid = view.GetGridCtrl();

    view.RemoveCheckedFiles();  // nothing ticked: a rebuild only
    QCOMPARE(doc->TsjList().size(), size_t{3});
    QCOMPARE(shell->cleared, 0);

    grid->SetCheck(1, 0, true);
    grid->SetCheck(3, 0, true);
    QMenu* menu = view.GetPopupMenu();
    QCOMPARE(menu->title(), QStringLiteral("TSJ Dosyaları"));
    QCOMPARE(menu->actions()[0]->text(), QStringLiteral("İşaretli Dosyayı Kaldır"));
    menu->actions()[0]->trigger();
    QCOMPARE(doc->TsjList().size(), size_t{1});
    QCOMPARE(doc->TsjList()[0].nFileNumber, 2);
    QCOMPARE(doc->NoktaList().size(), size_t{1});
    QCOMPARE(doc->NoktaList()[0].nIndex, 1001);
    QCOMPARE(shell->cleared, 2);
    QCOMPARE(grid->GetRowCount(), 2);
    QVERIFY(!grid->GetCheck(1, 0));
    QCOMPARE(grid->GetItemText(1, 2), QStringLiteral("2"));
    QCOMPARE(grid->GetColumnWidth(2), 0);
  }

 private:
  std::unique_ptr<RecordingShell> shell;
  std::unique_ptr<CVelmiraDoc> doc;
};

QTEST_MAIN(TablesTest)
#include "TablesTest.moc"
