// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window as the command line uses it: never shown, its recent designs kept away from the
// user's settings, and every message box it would show answered at once and kept as text (the
// warnings of unusual values left out), so that a command can answer with one line.

#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

class FrmKelvane;

class HeadlessWindow
{
public:
    HeadlessWindow();
    ~HeadlessWindow();
    HeadlessWindow(const HeadlessWindow &) = delete;
    HeadlessWindow &operator=(const HeadlessWindow &) = delete;

    FrmKelvane &window() { return *window_; }
    // The messages answered so far, oldest first.
    QStringList messages;
    // No more messages are answered (a later modal box would wait for a user).
    void stopAnswering() { answer_.stop(); }

private:
    QTemporaryDir settings_;
    QTimer answer_;
    std::unique_ptr<FrmKelvane> window_;
};
