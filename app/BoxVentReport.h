// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the printed box-and-vent report (boxvent/ReportLines) reads from the main window.

#include "boxvent/ReportLines.h"

class BoxVentTab;

namespace kelvane::boxvent {

// The report's inputs as the tab holds them now: the tab's captions, the user's diameter text,
// the build values, and the layout chosen by the result unit (cubic feet: inches, else metric).
ReportInput reportInputOf(const BoxVentTab &w);

} // namespace kelvane::boxvent
