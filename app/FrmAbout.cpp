// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmAbout.h"

#include "app/Controls.h"
#include "app/Icon.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString ApplicationTitle = QStringLiteral("Kelvane");

QFrame *divider(QWidget *parent, int index)
{
    auto *line = new QFrame(parent);
    line->setObjectName(controls::arrayName("Line1", index));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

QString FrmAbout::versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(KELVANE_VERSION_MAJOR).arg(KELVANE_VERSION_MINOR).arg(KELVANE_VERSION_PATCH);
}

FrmAbout::FrmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(kelvaneIconPixmap(32));
    icon->setFixedSize(36, 36);

    lblTitle = controls::heading(this, QStringLiteral("lblTitle"), QString());
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle->setFont(titleFont);
    lblVersion = controls::label(this, QStringLiteral("lblVersion"), QString());
    lblDescription = controls::label(this, QStringLiteral("lblDescription"), QString());
    lblDescription->setWordWrap(true);
    lblDisclaimer = controls::label(this, QStringLiteral("lblDisclaimer"), QString());
    lblDisclaimer->setWordWrap(true);
    lblLicense = controls::label(this, QStringLiteral("lblLicense"), QString());

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);    // Enter
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);   // Escape rejects: also closes

    auto *header = new QHBoxLayout;
    header->addWidget(icon, 0, Qt::AlignTop);
    auto *titles = new QVBoxLayout;
    titles->addWidget(lblTitle);
    titles->addWidget(lblVersion);
    header->addLayout(titles, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);

    auto *outer = new QVBoxLayout(this);
    outer->addLayout(header);
    outer->addWidget(divider(this, 0));
    outer->addWidget(lblDescription);
    outer->addWidget(divider(this, 1));
    outer->addWidget(lblDisclaimer);
    outer->addWidget(lblLicense);
    outer->addLayout(buttons);
    setMinimumWidth(420);

    Form_Load();
}

void FrmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + ApplicationTitle);
    lblVersion->setText(versionText());
    lblTitle->setText(ApplicationTitle);
    lblDescription->setText(QStringLiteral(
        "This program was developed to model loudspeaker box designs and compare them. "
        "I hope you find it useful and enlightening."));
    lblDisclaimer->setText(QStringLiteral(
        "Although every effort has been made to make it accurate, there is no guarantee that it "
        "actually is. Therefore, use it at your own risk."));
    // The year the program was first published, not the build's.
    lblLicense->setText(QStringLiteral("Copyright 2026 Kelvane contributors. License GPLv3+"));
}
