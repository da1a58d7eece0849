// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared entry routines and the program's fixed messages. Every message is a real modal box titled
// "Error" with an OK button only and no icon.

#include <QString>

class QKeyEvent;

namespace Program {

// Key codes the key handlers see.
constexpr int KeyBackspace = 8;
constexpr int KeyEnter = 13;
constexpr int KeyTab = 9;

// The key code a key handler sees for a key press, or -1 for keys that are not characters (arrows,
// Delete, Tab, shortcuts such as Ctrl+V), which go to the control untouched.
int KeyAsciiOf(const QKeyEvent *ke);

// If text is a number (digits with at most one decimal point), dest becomes its value and true is
// returned. Otherwise "Please enter a number > 0!" is shown, dest becomes 0 and false is returned.
bool ValidateNumber(const QString &text, double &dest);

// Enter is swallowed (0); Backspace, "." and digits pass; anything else is swallowed with a beep.
void NumericKeyFilter(int &KeyAscii);
// Enter is swallowed; Backspace, space, ".", "'", "_", "-", letters and digits pass; anything else
// is swallowed with a beep.
void NameKeyFilter(int &KeyAscii);

void ShowNumberError();
void ShowMoreDataNeeded();
void ShowUnusualValue();
void ShowFsLimit();
void ShowQtcError();
void ShowDriverCountError();

// A modal message box with OK only and no icon.
void ShowMessage(const QString &text, const QString &title);

inline const QString NumberErrorText = QStringLiteral("Please enter a number > 0!");
inline const QString MoreDataNeededText = QStringLiteral("More data needed!");
inline const QString UnusualValueText =
    QStringLiteral("Are you sure about this number?  It may be outside the normally expected value.");
inline const QString FsLimitText = QStringLiteral("This program only calculates calculates for Fs<500 Hz.");
inline const QString QtcErrorText = QStringLiteral("Qtc must be > Qts!");
inline const QString DriverCountErrorText = QStringLiteral("Please enter a whole number of drivers from 1 to 8.");
inline const QString PrintProblemText = QStringLiteral("There was a problem printing to your printer.");

} // namespace Program
