// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HeadlessWindow.h"

#include "app/FrmKelvane.h"
#include "driver/Program.h"

#include <QApplication>
#include <QMessageBox>
#include <QSettings>

HeadlessWindow::HeadlessWindow()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    answer_.setInterval(0);
    QObject::connect(&answer_, &QTimer::timeout, [this] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            if (box->text() != Program::UnusualValueText)
                messages << box->text();
            box->done(0);
        }
    });
    answer_.start();
    window_ = std::make_unique<FrmKelvane>();
    window_->hide();
}

HeadlessWindow::~HeadlessWindow() = default;
