// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns a build sheet into PDF pages, and a picture into a PNG or SVG file.
//
// Pages: the margins are 15 mm on every side of A4 or Letter and nothing is drawn outside them.
// Tables have columns as wide as their widest text, spread over the printable width (a table too
// wide is set in a smaller size until it fits); numbers are right-aligned so their digits line up.
// A table breaks between rows and repeats its header on the next page; a graph or a heading never
// breaks. Text is in the system's sans-serif face; graphs are painted from their drawing as vectors.

#include "graphs/GraphDrawing.h"
#include "sheet/BuildSheet.h"

#include <QString>

class QIODevice;

namespace kelvane::sheet {

inline constexpr double MarginMm = 15;

// Writes the whole sheet to device; false when the device cannot take it.
bool writePdf(const Sheet &sheet, QIODevice *device);
// Through a temporary file beside path: an existing file is replaced only by a complete sheet.
bool writePdfFile(const Sheet &sheet, const QString &path);

enum class PictureFormat { Png, Svg };
// The format a file name asks for: ".svg" gives SVG, anything else PNG.
PictureFormat pictureFormatOf(const QString &path);
// PNG at twice the drawing's size (1280 x 960 pixels for a 640 x 480 picture), or SVG at its size
// with that size as its view box, written through a temporary file.
bool writePicture(const GraphDrawing &drawing, const QString &path, PictureFormat format, const QString &title);

} // namespace kelvane::sheet
