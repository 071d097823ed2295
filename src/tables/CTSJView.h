#pragma once
// The job files table: one row per job file of the document, a check box to mark files
// for removal, the hidden file number in column 2. A click lists the file's points.
#include "tables/CGridView.h"

class CTSJView : public CGridView {
  Q_OBJECT

 public:
  static constexpr int kFileNumberColumn = 2;

  CTSJView(CVelmiraDoc& doc, QWidget* pParent = nullptr);

  // Rebuilds every row from the document's job files; ticks and selection are lost.
  void Rebuild();
  // "İşaretli Dosyayı Kaldır": removes the ticked job files with their points.
  void RemoveCheckedFiles();

 private:
  void OnCellClick(int nRow, int nCol);
};
