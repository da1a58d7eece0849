// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the main window opens when it takes the place it had last time.

#include <QList>
#include <QRect>

// The window's frame as restored, kept when a screen shows enough of it to be reached (100 x 50
// pixels, or all of a smaller window); otherwise the same size centred on the primary screen's
// available area, its top-left corner kept on that screen.
QRect placedOnScreen(const QRect &frame, const QList<QRect> &screens, const QRect &primary);
