// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File > Export Build Sheet…: which box, side ratio, wall thickness, units, page size and whether
// the crossover goes on the sheet. Built from the window's snapshot; the window never sees its
// controls.

#include "sheet/BuildSheet.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

class DlgBuildSheet : public QDialog
{
    Q_OBJECT

public:
    DlgBuildSheet(const kelvane::sheet::Snapshot &snapshot, QWidget *parent = nullptr);

    // The choices as they stand (the wall thickness as typed, 0 when it is not a number).
    kelvane::sheet::Choices choices() const;

    // OK checks the wall thickness: a number above 0, or "Please enter a number > 0!".
    void accept() override;

    QComboBox *CboBox = nullptr, *CboRatio = nullptr, *CboUnits = nullptr, *CboPage = nullptr;
    QLineEdit *TxtWallThickness = nullptr;
    QCheckBox *ChkCrossover = nullptr;

private:
    bool ventedFirst_;
};
