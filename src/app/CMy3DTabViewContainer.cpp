#include "app/CMy3DTabViewContainer.h"

CMy3DTabViewContainer::CMy3DTabViewContainer(QWidget* pParent) : QTabWidget(pParent) {
  setDocumentMode(false);
  setTabPosition(QTabWidget::South);
  setIconSize(QSize(16, 16));
}

bool CMy3DTabViewContainer::InsertPage(int nIndex, QWidget* pView, const QString& title,
                                       const QIcon& icon) {
  if (!pView || nIndex < 0 || nIndex > count()) return false;
  return insertTab(nIndex, pView, icon, title) == nIndex;
}

bool CMy3DTabViewContainer::SetActivePageIndex(int nIndex) {
  if (nIndex < 0 || nIndex >= count()) return false;
  setCurrentIndex(nIndex);
  return true;
}

QWidget* CMy3DTabViewContainer::GetPage(int nIndex) const {
  return nIndex >= 0 && nIndex < count() ? widget(nIndex) : nullptr;
}
