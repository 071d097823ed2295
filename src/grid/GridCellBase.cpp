#include "grid/GridCellBase.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <QStringList>

#include "grid/GridCell.h"
#include "grid/GridCtrl.h"
#include "text/Cp1254.h"

namespace {

QString Decode(std::string_view s) {
  const std::u16string u = text::Cp1254ToUtf16(s);
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

// A cell outside any control takes these.
const CGridDefaultCell& FallbackDefault() {
  static const CGridDefaultCell cell;
  return cell;
}

}  // namespace

QString CGridCellBase::GetTipText() const { return Decode(GetText()); }

const CGridDefaultCell* CGridCellBase::GetDefaultCell() const {
  if (const CGridCtrl* grid = GetGrid()) return grid->GetDefaultCell(IsFixedRow(), IsFixedCol());
  return &FallbackDefault();
}

void CGridCellBase::Copy(const CGridCellBase& other) {
  SetText(other.GetText());
  SetImage(other.GetImage());
  SetData(other.GetData());
  SetState(other.GetState());
  SetFormat(other.GetFormat());
  SetTextClr(other.GetTextClr());
  SetBackClr(other.GetBackClr());
  SetFont(other.IsDefaultFont() ? nullptr : &other.GetFont());
  SetMargin(other.GetMargin());
}

void CGridCellBase::Reset() { m_nState = 0; }

int CGridCellBase::HeaderArrowRoom() const {
  const CGridCtrl* grid = GetGrid();
  return grid && IsFixedRow() ? grid->GetSortArrowRoom() : 0;
}

QRect CGridCellBase::GetTextRect(const QRect& cellRect) const {
  const int m = GetMargin();
  QRect r = cellRect.adjusted(m, 0, -m, 0);
  // A header keeps its right end for the sort arrow, so the two never overlap.
  r.setRight(std::max(r.left() - 1, r.right() - HeaderArrowRoom()));
  return r;
}

QSize CGridCellBase::GetTextExtent(std::string_view strCp1254) const {
  const CGridDefaultCell* def = GetDefaultCell();
  const bool bMultiLine = (GetFormat() & DT_WORDBREAK) && !(GetFormat() & DT_SINGLELINE);
  if (IsDefaultFont() && def && !bMultiLine) return {def->TextWidth(strCp1254), def->LineHeight()};
  // Word-wrapped texts (the headers) are laid out with fractional advances; a width
  // rounded down from the per-byte table would make the painter wrap them.
  const QFontMetricsF fm(GetFont());
  const QStringList lines = Decode(strCp1254).split(QLatin1Char('\n'));
  qreal width = 0;
  for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(line));
  const int nLineHeight = IsDefaultFont() && def ? def->LineHeight() : static_cast<int>(std::ceil(fm.height()));
  return {static_cast<int>(std::ceil(width)) + 1, static_cast<int>(bMultiLine ? lines.size() : 1) * nLineHeight};
}

QSize CGridCellBase::GetCellExtent() const {
  const int m = GetMargin();
  const QSize text = GetTextExtent(GetText());
  // The default height keeps a one-line cell as high as a freshly made row.
  const int nMinHeight = GetDefaultCell() ? GetDefaultCell()->GetHeight() : 0;
  return {text.width() + 2 * m + HeaderArrowRoom(), std::max(text.height() + m, nMinHeight)};
}

void CGridCellBase::Draw(QPainter& painter, const QRect& rect, unsigned nDrawState) {
  const CGridCtrl* grid = GetGrid();
  const bool bFixed = IsFixed();
  const bool bSelected = (nDrawState & GVIS_SELECTED) && !bFixed;
  const bool bDropHi = (nDrawState & GVIS_DROPHILITED) != 0;

  QColor bk = bFixed ? (grid ? grid->GetFixedBkColor() : QColor(Qt::lightGray))
                     : (grid ? grid->GetBkColor() : QColor(Qt::white));
  if (GetBackClr() != kClrDefault) bk = QColor::fromRgb(GetBackClr());
  QColor fg = grid ? grid->GetTextColor() : QColor(Qt::black);
  if (GetTextClr() != kClrDefault) fg = QColor::fromRgb(GetTextClr());
  if ((bSelected || bDropHi) && grid) {
    bk = grid->GetHighlightColor();
    fg = grid->GetHighlightTextColor();
  }
  painter.fillRect(rect, bk);

  if (bFixed) {
    // A raised edge in place of the grid lines.
    painter.setPen(QColor(Qt::white));
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(grid ? grid->GetGridLineColor().darker(150) : QColor(Qt::darkGray));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
  }
  if ((nDrawState & GVIS_FOCUSED) && !bFixed) {
    painter.setPen(QPen(fg, 1, Qt::DotLine));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }

  const unsigned nFormat = GetFormat();
  int flags = Qt::TextSingleLine;
  if ((nFormat & DT_WORDBREAK) && !(nFormat & DT_SINGLELINE)) flags = Qt::TextWordWrap;
  flags |= (nFormat & DT_CENTER) ? Qt::AlignHCenter : (nFormat & DT_RIGHT) ? Qt::AlignRight
                                                                             : Qt::AlignLeft;
  flags |= (nFormat & DT_BOTTOM) ? Qt::AlignBottom : (nFormat & DT_VCENTER) ? Qt::AlignVCenter
                                                                              : Qt::AlignTop;
  const QRect textRect = GetTextRect(rect);
  QString str = Decode(GetText());
  painter.setFont(GetFont());
  if ((nFormat & DT_END_ELLIPSIS) && (flags & Qt::TextSingleLine)) {
    str = painter.fontMetrics().elidedText(str, Qt::ElideRight, textRect.width());
  }
  painter.setPen(fg);
  painter.drawText(textRect, flags, str);
}
