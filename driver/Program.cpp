// SPDX-License-Identifier: GPL-3.0-or-later
#include "driver/Program.h"
#include "common/NumberText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QWidget>

namespace Program {

int KeyAsciiOf(const QKeyEvent *ke)
{
    if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter)
        return KeyEnter;
    if (ke->key() == Qt::Key_Backspace)
        return KeyBackspace;
    if (ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return -1;
    const QString text = ke->text();
    if (text.isEmpty())
        return -1;
    const uint code = text.toUcs4().value(0);
    return code < 32 || code == 127 ? -1 : int(code);
}

bool ValidateNumber(const QString &text, double &dest)
{
    if (const std::optional<double> value = kelvane::parseNumber(text)) {
        dest = *value;
        return true;
    }
    ShowNumberError();
    dest = 0;
    return false;
}

void NumericKeyFilter(int &KeyAscii)
{
    if (KeyAscii == KeyEnter) {
        KeyAscii = 0;
        return;
    }
    if (KeyAscii == KeyBackspace || KeyAscii == '.')
        return;
    if (KeyAscii < '0' || KeyAscii > '9') {
        KeyAscii = 0;
        QApplication::beep();
    }
}

void NameKeyFilter(int &KeyAscii)
{
    if (KeyAscii == KeyEnter) {
        KeyAscii = 0;
        return;
    }
    const int k = KeyAscii;
    const bool passes = k == KeyBackspace || k == ' ' || k == '.' || k == '\'' || k == '_' || k == '-'
                        || (k >= 'a' && k <= 'z') || (k >= 'A' && k <= 'Z') || (k >= '0' && k <= '9');
    if (!passes) {
        KeyAscii = 0;
        QApplication::beep();
    }
}

void ShowMessage(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void ShowNumberError() { ShowMessage(NumberErrorText, QStringLiteral("Error")); }
void ShowMoreDataNeeded() { ShowMessage(MoreDataNeededText, QStringLiteral("Error")); }
void ShowUnusualValue() { ShowMessage(UnusualValueText, QStringLiteral("Error")); }
void ShowFsLimit() { ShowMessage(FsLimitText, QStringLiteral("Error")); }
void ShowQtcError() { ShowMessage(QtcErrorText, QStringLiteral("Error")); }
void ShowDriverCountError() { ShowMessage(DriverCountErrorText, QStringLiteral("Error")); }

} // namespace Program
