// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's settings file (~/.config/Kelvane/Kelvane.conf): the recent designs and the window's
// place on the screen.

#include <QSettings>

inline QSettings programSettings()
{
    return QSettings(QStringLiteral("Kelvane"), QStringLiteral("Kelvane"));
}
