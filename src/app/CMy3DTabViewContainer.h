#pragma once
// A pane of the main window: a tab widget whose pages are the views. The program
// keeps one page per container and finds its view as the page of tab 0.
#include <QTabWidget>

class CMy3DTabViewContainer : public QTabWidget {
  Q_OBJECT

 public:
  explicit CMy3DTabViewContainer(QWidget* pParent = nullptr);

  // Inserts pView as the page at nIndex with a title and an icon; the container owns it.
  // False for a null view or an index outside 0 .. number of pages.
  bool InsertPage(int nIndex, QWidget* pView, const QString& title, const QIcon& icon);
  // Shows the page; false when there is no such page.
  bool SetActivePageIndex(int nIndex);
  // The page of tab nIndex; nullptr when there is none.
  QWidget* GetPage(int nIndex) const;
};
