// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Controls.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace controls {

QString arrayName(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

QLabel *label(QWidget *parent, const QString &name, const QString &caption, const QString &tip)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setToolTip(tip);
    return l;
}

QLabel *heading(QWidget *parent, const QString &name, const QString &caption)
{
    QLabel *l = label(parent, name, caption);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QLineEdit *field(QWidget *parent, const QString &name, const QString &text, const QString &tip,
                 int widthChars)
{
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setToolTip(tip);
    const QFontMetrics fm(e->font());
    e->setMinimumWidth(fm.horizontalAdvance(QLatin1Char('0')) * widthChars + 12);
    e->setMaximumWidth(fm.horizontalAdvance(QLatin1Char('0')) * widthChars * 2 + 12);
    return e;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption,
                    const QString &tip)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QPushButton *exitButton(QWidget *parent, int index)
{
    QPushButton *b = button(parent, arrayName("CmdExit", index), QStringLiteral("Exit"),
                            QStringLiteral("Click here to Exit."));
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
    return b;
}

QRadioButton *option(QWidget *parent, const QString &name, const QString &caption,
                     const QString &tip)
{
    auto *o = new QRadioButton(caption, parent);
    o->setObjectName(name);
    o->setToolTip(tip);
    if (parent && parent->layout())
        parent->layout()->addWidget(o);
    return o;
}

QLineEdit *readout(QWidget *picture, const QString &name, const QString &text, int x, int width)
{
    QLineEdit *f = field(picture, name, text, QString(), 6);
    f->setReadOnly(true);
    f->setFocusPolicy(Qt::NoFocus);
    f->setMinimumWidth(0);
    f->setMaximumWidth(QWIDGETSIZE_MAX);
    f->setGeometry(x, 1, width, 21);
    return f;
}

QGroupBox *frame(QWidget *parent, const QString &name, const QString &tip)
{
    auto *g = new QGroupBox(parent);
    g->setObjectName(name);
    g->setToolTip(tip);
    auto *row = new QHBoxLayout(g);
    row->setContentsMargins(6, 2, 6, 2);
    row->setSpacing(10);
    return g;
}

} // namespace controls
