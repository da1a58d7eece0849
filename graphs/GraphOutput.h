// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a graph to a bitmap file and printing the window with a graph: the pieces both graph
// tabs share, free of the main window.

#include <QString>
#include <functional>
#include <memory>

class QImage;
class QPrinter;

namespace graphoutput {

// Longest file name, in bytes of the file system's encoding, that the usual Linux file systems
// (ext4, xfs, btrfs, tmpfs) accept.
constexpr int MaxFileNameBytes = 255;

// True when name can only mean a file directly in the current folder: not empty, not "." or
// "..", no "/" or "\" (a folder separator here or on another system), no control character, and
// no longer than MaxFileNameBytes. Letters, digits, blanks, ".", "'", "_" and "-" are all fine.
bool isPlainFileName(const QString &name);

// Writes image as an uncompressed Windows bitmap named fileName in the current folder. The data
// go to a temporary file that is renamed over the target only when complete, so an existing file
// of that name is replaced whole or left untouched. Returns false when the name is not a plain
// file name or the file could not be written.
bool saveBitmap(const QImage &image, const QString &fileName);

// Where prints go. The default source gives a printer for the system's default print queue, or
// nullptr when there is none; tests install a source that gives a PDF printer.
using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;
void setPrinterSource(PrinterSource source); // an empty source restores the default
std::unique_ptr<QPrinter> defaultPrinter();

// Prints image on one page, as large as the printable area allows with its proportions kept.
// Returns false when there is no printer or the print job fails.
bool printImage(const QImage &image);

} // namespace graphoutput
