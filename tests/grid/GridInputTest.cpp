// The table driven by real mouse and key events: scripts of steps, each followed by the
// expected focus cell and selection, and the click, check-box, sort, edit and clipboard
// behaviour that the tables depend on, read-only texts included.
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include "GridTestUtil.h"
#include "grid/InPlaceEdit.h"

// One step: a click on a cell or a key, then what must hold.
struct Step {
  enum Kind { Click, Key } kind;
  int row_or_key;
  int col;
  Qt::KeyboardModifiers mods;
  CCellID focus;
  CCellRange selection;  // the bounds of the selected cells
};
using Script = std::vector<Step>;
Q_DECLARE_METATYPE(Script)

namespace {

Step ClickAt(int r, int c, Qt::KeyboardModifiers m, CCellID f, CCellRange s) {
  return {Step::Click, r, c, m, f, s};
}
Step Press(int key, Qt::KeyboardModifiers m, CCellID f, CCellRange s) {
  return {Step::Key, key, 0, m, f, s};
}
const CCellRange kNone(6, 5, -1, -1);

QPoint Center(CGridCtrl& grid, int r, int c) { return grid.GetCellRect(r, c).center(); }

}  // namespace

class GridInputTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { grid = MakeGrid(6, 5); grid->show(); QVERIFY(QTest::qWaitForWindowExposed(grid.get())); }
  void cleanup() { grid.reset(); }

  void script_data();
  void script();
  void checkBoxClicks_data();
  void checkBoxClicks();
  void headerClickSorts();
  void sortArrowBesideHeaderText_data();
  void sortArrowBesideHeaderText();
  void readOnlyTextsRefuseChanges_data();
  void readOnlyTextsRefuseChanges();
  void clickNotification();
  void deleteClearsSelection();
  void editByKeys_data();
  void editByKeys();
  void doubleClickEditsAndEndEditVeto();
  void copyAndPasteByKeys();
  void dividerDragUnhidesColumn();
  void rowDropMovesRow();

 private:
  std::unique_ptr<CGridCtrl> grid;
};

void GridInputTest::script_data() {
  QTest::addColumn<bool>("listMode");
  QTest::addColumn<int>("hiddenCol");
  QTest::addColumn<Script>("steps");
  const auto none = Qt::NoModifier;
  QTest::newRow("click, shift-click, ctrl-click") << false << -1 << Script{
      ClickAt(1, 1, none, {1, 1}, {1, 1, 1, 1}),
      ClickAt(3, 2, Qt::ShiftModifier, {3, 2}, {1, 1, 3, 2}),
      ClickAt(5, 4, Qt::ControlModifier, {5, 4}, {1, 1, 5, 4}),
      ClickAt(2, 0, none, {2, 0}, {2, 0, 2, 0})};
  QTest::newRow("keys skip a hidden column") << false << 2 << Script{
      ClickAt(1, 1, none, {1, 1}, {1, 1, 1, 1}),
      Press(Qt::Key_Right, none, {1, 3}, {1, 3, 1, 3}),
      Press(Qt::Key_Left, none, {1, 1}, {1, 1, 1, 1}),
      Press(Qt::Key_Up, none, {1, 1}, {1, 1, 1, 1}),  // never into the header
      Press(Qt::Key_Down, Qt::ShiftModifier, {2, 1}, {1, 1, 2, 1}),
      Press(Qt::Key_End, Qt::ControlModifier, {5, 4}, {5, 4, 5, 4}),
      Press(Qt::Key_Home, none, {5, 0}, {5, 0, 5, 0})};
  QTest::newRow("tab wraps to the next row") << false << -1 << Script{
      ClickAt(1, 4, none, {1, 4}, {1, 4, 1, 4}),
      Press(Qt::Key_Tab, none, {2, 0}, {2, 0, 2, 0}),
      Press(Qt::Key_Backtab, Qt::ShiftModifier, {1, 4}, {1, 4, 1, 4})};
  QTest::newRow("ctrl+a selects the data cells") << false << -1 << Script{
      ClickAt(2, 2, none, {2, 2}, {2, 2, 2, 2}),
      Press(Qt::Key_A, Qt::ControlModifier, {2, 2}, {1, 0, 5, 4})};
  QTest::newRow("list mode single row") << true << -1 << Script{
      ClickAt(2, 3, none, {2, 3}, {2, 0, 2, 4}),
      ClickAt(4, 1, Qt::ControlModifier, {4, 1}, {4, 0, 4, 4}),
      ClickAt(1, 1, Qt::ShiftModifier, {1, 1}, {1, 0, 1, 4}),
      Press(Qt::Key_Down, none, {2, 1}, {2, 0, 2, 4}),
      ClickAt(0, 1, none, {2, 1}, {2, 0, 2, 4})};  // header click without sort or selection change
}

void GridInputTest::script() {
  QFETCH(bool, listMode);
  QFETCH(int, hiddenCol);
  QFETCH(Script, steps);
  if (listMode) {
    grid->SetListMode(true);
    grid->SetSingleRowSelection(true);
    grid->SetFixedColumnSelection(false);
  }
  grid->SetColumnWidth(hiddenCol, 0);
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    if (s.kind == Step::Click) {
      QTest::mouseClick(grid->viewport(), Qt::LeftButton, s.mods, Center(*grid, s.row_or_key, s.col));
    } else {
      QTest::keyClick(grid.get(), static_cast<Qt::Key>(s.row_or_key), s.mods);
    }
    const QByteArray where = "step " + QByteArray::number(static_cast<int>(i));
    QVERIFY2(grid->GetFocusCell() == s.focus, where);
    QVERIFY2(grid->GetSelectedCellRange() == s.selection, where);
  }
}

void GridInputTest::checkBoxClicks_data() {
  QTest::addColumn<bool>("editable");
  QTest::addColumn<bool>("readOnly");
  QTest::addColumn<bool>("onBox");
  QTest::addColumn<bool>("ticked");
  QTest::newRow("box of an editable cell") << true << false << true << true;
  QTest::newRow("text beside the box") << true << false << false << false;
  QTest::newRow("read-only cell") << true << true << true << false;
  QTest::newRow("control not editable") << false << false << true << false;
}

void GridInputTest::checkBoxClicks() {
  QFETCH(bool, editable);
  QFETCH(bool, readOnly);
  QFETCH(bool, onBox);
  QFETCH(bool, ticked);
  grid->SetCellCheck(1, 0);
  grid->SetColumnWidth(0, 150);
  grid->SetRowHeight(1, 30);
  grid->SetEditable(editable);
  if (readOnly) grid->SetItemState(1, 0, GVIS_READONLY);
  auto* cell = static_cast<CGridCellCheck*>(grid->GetCell(1, 0));
  const QRect rect = grid->GetCellRect(1, 0);
  const QPoint at = onBox ? cell->GetCheckPlacement(rect).center() : QPoint(rect.right() - 5, rect.center().y());
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  QCOMPARE(grid->GetCheck(1, 0), ticked);
  QCOMPARE(grid->GetFocusCell(), CCellID(1, 0));  // either way the click selects
  if (ticked) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(!grid->GetCheck(1, 0));
  }
}

void GridInputTest::headerClickSorts() {
  grid->SetHeaderSort(true);
  const char* texts[] = {"20", "100", "9", "3", "100"};
  for (int r = 1; r <= 5; ++r) grid->SetItemText8(r, 1, texts[r - 1]);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, Center(*grid, 0, 1));
  QCOMPARE(grid->GetSortColumn(), 1);
  QVERIFY(grid->GetSortAscending());
  QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("100"));
  QCOMPARE(grid->GetItemText(5, 1), QStringLiteral("9"));
  // The column is selected after the sort.
  QCOMPARE(grid->GetSelectedCellRange(), CCellRange(1, 1, 5, 1));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, Center(*grid, 0, 1));
  QVERIFY(!grid->GetSortAscending());
  QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("9"));
  QCOMPARE(grid->GetItemText(5, 1), QStringLiteral("100"));
  // Another column starts ascending again.
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, Center(*grid, 0, 2));
  QVERIFY(grid->GetSortAscending());
}

// The arrow gets room of its own: it once sat over the end of the header text.
void GridInputTest::sortArrowBesideHeaderText_data() {
  QTest::addColumn<QString>("header");
  QTest::addColumn<bool>("autoSize");
  QTest::newRow("one letter, auto-sized") << "X" << true;
  QTest::newRow("long header, auto-sized") << "FARK-Oturum Zamanı(saat)" << true;
  QTest::newRow("wide letters, auto-sized") << "WWWWMMMMŞŞĞĞ" << true;
  QTest::newRow("narrowed by hand") << "Elipsoid Yüksekliği" << false;
}

void GridInputTest::sortArrowBesideHeaderText() {
  QFETCH(QString, header);
  QFETCH(bool, autoSize);
  grid->SetHeaderSort(true);
  grid->SetItemText(0, 1, header);
  grid->SetItemFormat(0, 1, DT_WORDBREAK);
  if (autoSize) grid->AutoSize();
  else grid->SetColumnWidth(1, 50);
  const CGridCellBase* cell = grid->GetCell(0, 1);
  const QRect cellRect = grid->GetCellRect(0, 1);
  const QRect textRect = cell->GetTextRect(cellRect);
  if (autoSize) QVERIFY(textRect.width() >= cell->GetTextExtent(cell->GetText()).width());
  QVERIFY(grid->GetSortArrowRect(1).isNull());  // no arrow before a sort
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, Center(*grid, 0, 1));
  const QRect arrow = grid->GetSortArrowRect(1);
  QVERIFY(!arrow.isNull());
  QVERIFY(cellRect.contains(arrow));
  QVERIFY(!arrow.intersects(textRect));
  // The arrow is painted where it is said to be.
  const QImage shot = grid->viewport()->grab().toImage();
  int dark = 0;
  for (int y = arrow.top(); y <= arrow.bottom(); ++y) {
    for (int x = arrow.left(); x <= arrow.right(); ++x) dark += shot.pixelColor(x, y) != grid->GetFixedBkColor();
  }
  QVERIFY(dark > 0);
  QVERIFY(grid->GetSortArrowRect(2).isNull());
}

// The three tables: texts read-only, check boxes tickable. Every way to change a text is
// tried; none may, and the box in column 0 still toggles afterwards.
struct Attempt {
  enum Kind { Keys, DoubleClick, Drop } kind;
  int key;  // for Keys; 0 to type the text
  Qt::KeyboardModifiers mods;
  QString text;  // typed, pasted or dropped
};
Q_DECLARE_METATYPE(Attempt)

void GridInputTest::readOnlyTextsRefuseChanges_data() {
  QTest::addColumn<Attempt>("attempt");
  const auto none = Qt::NoModifier;
  QTest::newRow("typing") << Attempt{Attempt::Keys, 0, none, "7"};
  QTest::newRow("blank") << Attempt{Attempt::Keys, 0, none, " "};
  QTest::newRow("F2") << Attempt{Attempt::Keys, Qt::Key_F2, none, {}};
  QTest::newRow("Enter") << Attempt{Attempt::Keys, Qt::Key_Return, none, {}};
  QTest::newRow("Backspace") << Attempt{Attempt::Keys, Qt::Key_Backspace, none, {}};
  QTest::newRow("double click") << Attempt{Attempt::DoubleClick, 0, none, {}};
  QTest::newRow("Delete") << Attempt{Attempt::Keys, Qt::Key_Delete, none, {}};
  QTest::newRow("Ctrl+V") << Attempt{Attempt::Keys, Qt::Key_V, Qt::ControlModifier, "p\tq\r\nr"};
  QTest::newRow("Ctrl+X") << Attempt{Attempt::Keys, Qt::Key_X, Qt::ControlModifier, {}};
  QTest::newRow("Shift+Delete") << Attempt{Attempt::Keys, Qt::Key_Delete, Qt::ShiftModifier, {}};
  QTest::newRow("drop from elsewhere") << Attempt{Attempt::Drop, 0, none, "p\tq"};
}

void GridInputTest::readOnlyTextsRefuseChanges() {
  QFETCH(Attempt, attempt);
  grid->SetEditable(false);
  grid->SetTickable(true);
  grid->EnableDragAndDrop(true);
  for (int r = 1; r < 6; ++r) grid->SetCellCheck(r, 0);
  grid->SetColumnWidth(0, 150);
  std::vector<std::string> before;
  for (int r = 0; r < 6; ++r) {
    for (int c = 0; c < 5; ++c) before.push_back(grid->GetItemText8(r, c));
  }
  QGuiApplication::clipboard()->setText(attempt.text.isEmpty() ? QStringLiteral("x") : attempt.text);
  for (const CCellID at : {CCellID(1, 0), CCellID(2, 3), CCellID(5, 4)}) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(grid->GetCellRect(at.row, at.col).right() - 5, Center(*grid, at.row, at.col).y()));
    QTest::keyClick(grid.get(), Qt::Key_A, Qt::ControlModifier);  // every data cell selected
    switch (attempt.kind) {
      case Attempt::Keys:
        if (attempt.key) QTest::keyClick(grid.get(), static_cast<Qt::Key>(attempt.key), attempt.mods);
        else QTest::keyClicks(grid.get(), attempt.text);
        break;
      case Attempt::DoubleClick:
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, Center(*grid, at.row, at.col));
        break;
      case Attempt::Drop: {
        QMimeData mime;
        mime.setText(attempt.text);
        const QPoint p = Center(*grid, at.row, at.col);
        QDragEnterEvent enter(p, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &enter);
        QVERIFY(!enter.isAccepted());
        QDropEvent drop(QPointF(p), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &drop);
        break;
      }
    }
    QVERIFY(!grid->GetInPlaceEdit());
    QVERIFY(!grid->IsCellEditable(at.row, at.col));
  }
  std::vector<std::string> after;
  for (int r = 0; r < 6; ++r) {
    for (int c = 0; c < 5; ++c) after.push_back(grid->GetItemText8(r, c));
  }
  QCOMPARE(after, before);
  // Ticking, selecting and copying still work.
  const auto* check = static_cast<CGridCellCheck*>(grid->GetCell(2, 0));
  const QPoint box = check->GetCheckPlacement(grid->GetCellRect(2, 0)).center();
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, box);
  QVERIFY(grid->GetCheck(2, 0));
  QCOMPARE(grid->GetFocusCell(), CCellID(2, 0));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, Center(*grid, 3, 2));
  QTest::keyClick(grid.get(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("3,2"));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, box);
  QVERIFY(!grid->GetCheck(2, 0));
}

void GridInputTest::clickNotification() {
  QSignalSpy clicks(grid.get(), &CGridCtrl::CellClick);
  QSignalSpy right(grid.get(), &CGridCtrl::CellRightClick);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, Center(*grid, 3, 2));
  QTest::mouseClick(grid->viewport(), Qt::RightButton, Qt::NoModifier, Center(*grid, 2, 1));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(395, 295));
  QCOMPARE(clicks.count(), 2);
  QCOMPARE(clicks.at(0), QVariantList({3, 2}));
  QCOMPARE(clicks.at(1), QVariantList({-1, -1}));
  QCOMPARE(right.at(0), QVariantList({2, 1}));
}

void GridInputTest::deleteClearsSelection() {
  grid->SetItemState(2, 2, GVIS_READONLY);
  grid->SetSelectedRange({1, 1, 2, 2});
  QTest::keyClick(grid.get(), Qt::Key_Delete);
  QCOMPARE(grid->GetItemText(1, 1), QString());
  QCOMPARE(grid->GetItemText(2, 1), QString());
  QCOMPARE(grid->GetItemText(2, 2), QStringLiteral("2,2"));  // read-only
  QCOMPARE(grid->GetItemText(3, 1), QStringLiteral("3,1"));
  grid->SetEditable(false);
  grid->SetSelectedRange({3, 1, 3, 1});
  QTest::keyClick(grid.get(), Qt::Key_Delete);
  QCOMPARE(grid->GetItemText(3, 1), QStringLiteral("3,1"));
}

void GridInputTest::editByKeys_data() {
  QTest::addColumn<QString>("keys");  // typed after the opening key
  QTest::addColumn<int>("openKey");   // 0: a typed character opens it
  QTest::addColumn<int>("endKey");
  QTest::addColumn<QString>("cell11");
  QTest::addColumn<CCellID>("focus");
  QTest::newRow("F2 appends, Enter stores") << "x" << int(Qt::Key_F2) << int(Qt::Key_Return) << "1,1x" << CCellID(1, 1);
  QTest::newRow("typing replaces") << "ab" << 0 << int(Qt::Key_Return) << "ab" << CCellID(1, 1);
  QTest::newRow("Escape restores") << "zz" << int(Qt::Key_F2) << int(Qt::Key_Escape) << "1,1" << CCellID(1, 1);
  QTest::newRow("Backspace deletes the last") << "" << int(Qt::Key_Backspace) << int(Qt::Key_Return) << "1," << CCellID(1, 1);
  QTest::newRow("arrow ends a typed edit") << "q" << 0 << int(Qt::Key_Down) << "q" << CCellID(2, 1);
}
Q_DECLARE_METATYPE(CCellID)

void GridInputTest::editByKeys() {
  QFETCH(QString, keys);
  QFETCH(int, openKey);
  QFETCH(int, endKey);
  QFETCH(QString, cell11);
  QFETCH(CCellID, focus);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, Center(*grid, 1, 1));
  if (openKey) QTest::keyClick(grid.get(), static_cast<Qt::Key>(openKey));
  else QTest::keyClicks(grid.get(), keys.left(1));
  CInPlaceEdit* editor = grid->GetInPlaceEdit();
  QVERIFY(editor);
  QTest::keyClicks(editor, openKey ? keys : keys.mid(1));
  QTest::keyClick(editor, static_cast<Qt::Key>(endKey));
  QCOMPARE(grid->GetItemText(1, 1), cell11);
  QCOMPARE(grid->GetFocusCell(), focus);
  if (endKey == Qt::Key_Down) {
    QVERIFY(grid->GetInPlaceEdit());  // an edit opens in the next cell
    QTest::keyClick(grid->GetInPlaceEdit(), Qt::Key_Escape);
  }
  QVERIFY(!grid->GetInPlaceEdit());
}

void GridInputTest::doubleClickEditsAndEndEditVeto() {
  bool allow = false;
  connect(grid.get(), &CGridCtrl::EndEdit, this, [&](int, int, bool* pb) { *pb = allow; });
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, Center(*grid, 2, 2));
  QVERIFY(grid->GetInPlaceEdit());
  QTest::keyClicks(grid->GetInPlaceEdit(), "!");
  QTest::keyClick(grid->GetInPlaceEdit(), Qt::Key_Return);
  QCOMPARE(grid->GetItemText(2, 2), QStringLiteral("2,2"));  // the parent refused
  // A begin-edit refusal keeps the editor closed; a read-only cell never opens one.
  connect(grid.get(), &CGridCtrl::BeginEdit, this, [](int r, int, bool* pb) { *pb = r != 3; });
  QVERIFY(!grid->EditCell(3, 1));
  grid->SetItemState(4, 1, GVIS_READONLY);
  QVERIFY(!grid->EditCell(4, 1));
  QVERIFY(!grid->EditCell(0, 1));  // header
}

void GridInputTest::copyAndPasteByKeys() {
  grid->SetSelectedRange({1, 0, 2, 1});
  QTest::keyClick(grid.get(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1,0\t1,1\r\n2,0\t2,1"));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, Center(*grid, 3, 2));
  QTest::keyClick(grid.get(), Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(grid->GetItemText(3, 2), QStringLiteral("1"));  // "1,0" splits at the comma
  QCOMPARE(grid->GetItemText(3, 3), QStringLiteral("0"));
  QCOMPARE(grid->GetItemText(4, 2), QStringLiteral("2"));
  QCOMPARE(grid->GetSelectedCellRange(), CCellRange(3, 2, 4, 4));
  // Cut empties the cells it copied.
  grid->SetSelectedRange({5, 0, 5, 0});
  QTest::keyClick(grid.get(), Qt::Key_X, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("5,0"));
  QCOMPARE(grid->GetItemText(5, 0), QString());
}

void GridInputTest::dividerDragUnhidesColumn() {
  grid->SetColumnWidth(2, 0);
  grid->AutoSize();
  QCOMPARE(grid->GetColumnWidth(2), 0);
  // Just right of the divider between columns 1 and 3 lies the hidden column's edge.
  const int x = grid->GetCellRect(0, 3).left() + 1;
  const int y = grid->GetCellRect(0, 3).center().y();
  QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
  QMouseEvent move(QEvent::MouseMove, QPointF(x + 40, y), grid->viewport()->mapToGlobal(QPointF(x + 40, y)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grid->viewport(), &move);
  QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x + 40, y));
  QCOMPARE(grid->GetColumnWidth(2), 41);  // from the column's left edge
  QVERIFY(grid->GetSortColumn() == -1);
}

void GridInputTest::rowDropMovesRow() {
  grid->EnableDragAndDrop(true);
  QVERIFY(grid->MoveRow(1, 4));
  QCOMPARE(grid->GetItemText(4, 0), QStringLiteral("1,0"));
  QCOMPARE(grid->GetItemText(1, 0), QStringLiteral("2,0"));
  QVERIFY(!grid->MoveRow(0, 2));  // the header stays
  // Text dropped from elsewhere is pasted at the cell under the pointer.
  QMimeData mime;
  mime.setText(QStringLiteral("p\tq"));
  QDragEnterEvent enter(Center(*grid, 2, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grid->viewport(), &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(Center(*grid, 2, 1)), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grid->viewport(), &drop);
  QCOMPARE(grid->GetItemText(2, 1), QStringLiteral("p"));
  QCOMPARE(grid->GetItemText(2, 2), QStringLiteral("q"));
  grid->EnableDragAndDrop(false);
  QDragEnterEvent enter2(Center(*grid, 3, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grid->viewport(), &enter2);
  QVERIFY(!enter2.isAccepted());
  QDropEvent refused(QPointF(Center(*grid, 3, 1)), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grid->viewport(), &refused);
  QCOMPARE(grid->GetItemText(3, 1), QStringLiteral("4,1"));  // row 4 moved up by the row drop
}

QTEST_MAIN(GridInputTest)
#include "GridInputTest.moc"
