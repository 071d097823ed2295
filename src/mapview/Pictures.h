#pragma once
// Pictures of the views as files: a drawing as SVG (the report's own text) or as PNG
// (painted as on the screen), and the map's image as PNG. A save never leaves a
// half-written file under the chosen name: it writes beside it and renames into place, so
// a failure leaves any earlier file as it was.
#include <QImage>

#include <filesystem>

#include "drawing/Drawing.h"
#include "platform/Result.h"

// The drawing painted onto white at scale times its size (2 for a sharp PNG). The null
// image when its size or scale is not a positive number or the image would be larger
// than kLargestImagePixels on a side.
inline constexpr int kLargestImagePixels = 16384;
QImage RenderDrawing(const drawing::Drawing& picture, double scale);

// By the extension, in any case: ".svg" writes the SVG with an XML declaration, ".png"
// the drawing at twice its size. Any other extension, a missing folder, a target that is
// a folder or read-only, and a failed write are refused with the cause, UTF-8:
// "Resim kaydedilemedi: <path>" and the reason on a second line.
Status SaveDrawing(const drawing::Drawing& picture, const std::filesystem::path& path);

// The image as PNG, with the same checks and causes; ".png" only.
Status SaveImage(const QImage& image, const std::filesystem::path& path);

// Both drawings in one picture, a on the left and b on its right, each centred in the
// height of the taller one on white; the title joins both titles. Sizes that are not
// positive numbers count as 0.
drawing::Drawing SideBySide(const drawing::Drawing& a, const drawing::Drawing& b);
