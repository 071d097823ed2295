#pragma once
// State bits, text formats and colour conventions shared by the cells and the control.
#include <QRgb>
#include <cstdint>

// Cell state word.
enum GridCellState : unsigned {
  GVIS_FOCUSED = 0x01,
  GVIS_SELECTED = 0x02,
  GVIS_DROPHILITED = 0x04,
  GVIS_READONLY = 0x08,  // no editing, no ticking, no pasting
  GVIS_FIXED = 0x10,
  GVIS_FIXEDROW = 0x20,
  GVIS_FIXEDCOL = 0x40,
  GVIS_MODIFIED = 0x80,
};

// Text format bits of a cell (the meanings of the desktop text-drawing flags).
enum GridTextFormat : unsigned {
  DT_LEFT = 0x0000,
  DT_CENTER = 0x0001,
  DT_RIGHT = 0x0002,
  DT_VCENTER = 0x0004,
  DT_BOTTOM = 0x0008,
  DT_WORDBREAK = 0x0010,
  DT_SINGLELINE = 0x0020,
  DT_NOPREFIX = 0x0800,
  DT_END_ELLIPSIS = 0x8000,
};

// Which attributes SetItem writes.
enum GridItemMask : unsigned {
  GVIF_TEXT = 0x0001,
  GVIF_IMAGE = 0x0002,
  GVIF_PARAM = 0x0004,
  GVIF_STATE = 0x0008,
  GVIF_BKCLR = 0x0010,
  GVIF_FGCLR = 0x0020,
  GVIF_FORMAT = 0x0040,
  GVIF_MARGIN = 0x0080,
};

// A colour of 0 alpha stands for "take the default cell's colour"; every real colour the
// API accepts is opaque.
inline constexpr QRgb kClrDefault = 0x00000000u;
inline constexpr unsigned kFormatDefault = 0xFFFFFFFFu;
