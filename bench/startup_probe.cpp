// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up probe: the program's own start (application, main window constructed and shown offscreen,
// first paint) and then an exit, so a benchmark can time whole start-ups as fresh processes.
// Exits with 1 when the window is never exposed.

#include "WindowSupport.h"

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    kelvanebench::quietOffscreenHints();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvane"));
    FrmKelvane window;
    const bool shown = kelvanebench::waitUntilExposed(window);
    kelvanebench::processPending();
    return shown ? 0 : 1;
}
