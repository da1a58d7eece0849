// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>

// The program's icon: a loudspeaker cabinet with a woofer and a port.
QIcon kelvaneIcon();
QPixmap kelvaneIconPixmap(int size = 32);
