#pragma once
// A drawing on the screen or in an image: the same marks the report writes as SVG, painted
// with a QPainter so the two outputs agree in geometry, colours, dashes and text anchors.
// Everything here works in the drawing's own pixels; the caller's transform places and
// scales the picture.
#include <QPointF>

#include "drawing/Drawing.h"

class QPainter;

// Paints the marks in order, antialiased. As in the SVG: a mark with a coordinate, radius,
// pen width or font size that is not a number is left out; lines and polylines are never
// filled; a pen of width 0, a circle of radius 0 and a rect without area paint nothing.
// The painter's state is restored afterwards.
void PaintDrawing(QPainter& painter, const drawing::Drawing& picture);

// The mark of a pair or a point under at (drawing pixels): the topmost one that contains
// at (its outline included), else the nearest within tolerancePx of its shape, the topmost
// among equals. Texts and furniture are never hit. Nothing when no mark qualifies or at is
// not a number; a tolerance that is negative or not a number counts as 0.
const drawing::Mark* KeyedMarkAt(const drawing::Drawing& picture, QPointF at, double tolerancePx);
