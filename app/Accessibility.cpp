// SPDX-License-Identifier: GPL-3.0-or-later
// Names for assistive technology: every control gets an accessible name a screen reader can speak,
// taken from its caption, from the label beside it, or from its tooltip.

#include "app/FrmKelvane.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

QString withoutAccessKey(QString text)
{
    return text.remove(QLatin1Char('&')).trimmed();
}

// The label standing left of a widget in the same grid row, if any.
QLabel *labelBeside(QWidget *w)
{
    QWidget *parent = w->parentWidget();
    if (!parent)
        return nullptr;
    const QList<QGridLayout *> grids = parent->findChildren<QGridLayout *>();
    for (QGridLayout *grid : grids) {
        const int index = grid->indexOf(w);
        if (index < 0)
            continue;
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        for (int c = column - 1; c >= 0; --c) {
            if (QLayoutItem *item = grid->itemAtPosition(row, c)) {
                if (auto *label = qobject_cast<QLabel *>(item->widget()))
                    return label;
                if (item->widget())
                    return nullptr; // another control stands between: no label of this field
            }
        }
    }
    return nullptr;
}

} // namespace

void FrmKelvane::nameControlsForAccessibility()
{
    const QList<QWidget *> widgets = findChildren<QWidget *>();
    for (QWidget *w : widgets) {
        if (!w->accessibleName().isEmpty())
            continue;
        QString name;
        if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            name = withoutAccessKey(button->text());
        } else if (auto *field = qobject_cast<QLineEdit *>(w)) {
            if (QLabel *label = labelBeside(field)) {
                label->setBuddy(field);
                name = label->text();
            }
        } else if (auto *box = qobject_cast<QGroupBox *>(w)) {
            name = box->title();
        } else {
            continue;
        }
        if (name.isEmpty())
            name = w->toolTip();
        if (!name.isEmpty())
            w->setAccessibleName(name);
    }
    // Controls with neither caption nor label.
    BoxModel->OptQtc->setAccessibleName(QStringLiteral("Qtc:"));
    BoxModel->TxtQtc->setAccessibleName(QStringLiteral("Qtc"));
    BoxModel->TxtCBV->setAccessibleName(QStringLiteral("Sealed box volume"));
    BoxVent->TxtVentDia->setAccessibleName(QStringLiteral("User Chosen Vent Diameter"));
    Frequency->TxtFreqXNum->setAccessibleName(QStringLiteral("Frequency under the pointer"));
    Frequency->TxtSPLYNum->setAccessibleName(QStringLiteral("Level under the pointer"));
    Displacement->TxtFreqPowerXNum->setAccessibleName(QStringLiteral("Frequency under the pointer"));
    Displacement->TxtSPLpowerYNum->setAccessibleName(QStringLiteral("Level under the pointer"));
    Displacement->TxtSPLpowerYwattsNum->setAccessibleName(QStringLiteral("Power under the pointer"));
    Crossover->TxtCrossoverFreqXNum->setAccessibleName(QStringLiteral("Frequency under the pointer"));
    Crossover->TxtCrossoverYNum->setAccessibleName(QStringLiteral("Level under the pointer"));
}
