// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's place on the screen: its default size, and the size, place and maximized state
// it had when the program last closed.

#include "app/WindowPlacement.h"

#include "app/FrmKelvane.h"
#include "app/ProgramSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace {
const QString GeometryKey = QStringLiteral("windowGeometry");
} // namespace

QRect placedOnScreen(const QRect &frame, const QList<QRect> &screens, const QRect &primary)
{
    for (const QRect &screen : screens) {
        const QRect seen = screen.intersected(frame);
        if (seen.width() >= std::min(frame.width(), 100) && seen.height() >= std::min(frame.height(), 50))
            return frame;
    }
    QRect moved = frame;
    moved.moveCenter(primary.center());
    moved.moveTopLeft(QPoint(std::max(moved.left(), primary.left()), std::max(moved.top(), primary.top())));
    return moved;
}

void FrmKelvane::placeWindow(Placement placement)
{
    placement_ = placement;
    // The smallest size that shows every tab whole: every picture is then 640 x 480.
    resize(minimumSizeHint());
    if (placement != Placement::Remembered)
        return;
    const QByteArray saved = programSettings().value(GeometryKey).toByteArray();
    if (saved.isEmpty() || !restoreGeometry(saved) || isMaximized() || isFullScreen())
        return;
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    if (const QScreen *primary = QGuiApplication::primaryScreen()) {
        const QRect frame = frameGeometry();
        const QRect placed = placedOnScreen(frame, screens, primary->availableGeometry());
        if (placed != frame)
            move(placed.topLeft());
    }
}

void FrmKelvane::rememberPlacement()
{
    if (placement_ == Placement::Remembered)
        programSettings().setValue(GeometryKey, saveGeometry());
}
