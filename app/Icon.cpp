// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Icon.h"

#include <QPixmap>

// The icon ships as data/kelvane.svg; the window uses its 32 x 32 rendering (and a 64 x 64 one for
// high-density screens), compiled in as resources.
QPixmap kelvaneIconPixmap(int size)
{
    const QPixmap pixmap(size > 32 ? QStringLiteral(":/icons/kelvane-64.png")
                                   : QStringLiteral(":/icons/kelvane-32.png"));
    return size == pixmap.width() ? pixmap
                                  : pixmap.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QIcon kelvaneIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/kelvane-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/kelvane-64.png"), QSize(64, 64));
    return icon;
}
