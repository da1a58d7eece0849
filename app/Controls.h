// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small factories for the window's controls: each control gets its objectName (arrays carry the
// index in brackets, "OptVas(1)"), its caption or default text and its tooltip in one call.

#include <QRadioButton>
#include <QString>
#include <array>

class QFont;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace controls {

QString arrayName(const char *name, int index);

QLabel *label(QWidget *parent, const QString &name, const QString &caption,
              const QString &tip = QString());
QLabel *heading(QWidget *parent, const QString &name, const QString &caption);
QLineEdit *field(QWidget *parent, const QString &name, const QString &text, const QString &tip,
                 int widthChars = 9);
QPushButton *button(QWidget *parent, const QString &name, const QString &caption,
                    const QString &tip);
QPushButton *exitButton(QWidget *parent, int index);
QRadioButton *option(QWidget *parent, const QString &name, const QString &caption,
                     const QString &tip);
// A read-only readout field on a picture, at (x, 1), width units wide and 21 high.
QLineEdit *readout(QWidget *picture, const QString &name, const QString &text, int x, int width);
// An option frame: no caption, a tooltip, its buttons side by side.
QGroupBox *frame(QWidget *parent, const QString &name, const QString &tip);

// Selected index of an option array, or -1 when none is selected.
template <std::size_t N>
int selectedIndex(const std::array<QRadioButton *, N> &options)
{
    for (std::size_t i = 0; i < N; ++i)
        if (options[i] && options[i]->isChecked())
            return int(i);
    return -1;
}

} // namespace controls
