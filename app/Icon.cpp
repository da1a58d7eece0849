#include "app/Icon.h"

#include <QPainter>
#include <QPixmap>

QPixmap kelvaneIconPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(64, 32, 0), 1));
    p.setBrush(QColor(160, 96, 32));
    p.drawRect(QRectF(6.5, 1.5, 19, 29));          // cabinet
    p.setBrush(QColor(32, 32, 32));
    p.drawEllipse(QPointF(16, 12), 7, 7);           // woofer cone
    p.setBrush(QColor(128, 128, 128));
    p.drawEllipse(QPointF(16, 12), 2.5, 2.5);       // dust cap
    p.setBrush(QColor(0, 0, 0));
    p.drawEllipse(QPointF(16, 25), 3, 3);           // port
    return pixmap;
}

QIcon kelvaneIcon()
{
    QIcon icon;
    icon.addPixmap(kelvaneIconPixmap(32));
    icon.addPixmap(kelvaneIconPixmap(64));
    return icon;
}
