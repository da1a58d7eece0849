// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

// The modal About window: title, version, what the program is for, the disclaimer and the licence.
class FrmAbout : public QDialog
{
public:
    explicit FrmAbout(QWidget *parent = nullptr);

    static QString versionText();

    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QLabel *lblLicense = nullptr;
    QPushButton *cmdOK = nullptr;

private:
    void Form_Load();
};
