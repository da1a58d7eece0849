// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A main window for the window benchmarks: shown offscreen, the sample driver entered, on the tab
// a benchmark needs.

#include "BenchSupport.h"

#include "app/FrmKelvane.h"
#include "tools/SampleDriver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QWindow>

#include <memory>

namespace kelvanebench {

// Lets the window system deliver what is pending (exposure, layout, painting).
inline void processPending()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Processes events until the window is exposed (or a second has passed); true when it is.
inline bool waitUntilExposed(QWidget &w)
{
    QElapsedTimer clock;
    clock.start();
    while (!(w.windowHandle() && w.windowHandle()->isExposed())) {
        if (clock.elapsed() > 1000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The sample driver typed into the Input tab (the texts a user would leave there), Vas in litres.
inline void enterSampleDriver(FrmKelvane &w)
{
    ::enterSampleDriver(w, QStringLiteral("W10-Bench"));
}

// The vented row in fit mode: no tuning and no volume of the user's, so Calculate proposes them.
inline void clearVentedFields(FrmKelvane &w)
{
    w.BoxModel->TxtVFb->clear();
    w.BoxModel->TxtVBV->clear();
}

// A shown window with the sample driver entered and calculated once, on the Box Model tab.
inline std::unique_ptr<FrmKelvane> calculatedWindow()
{
    auto w = std::make_unique<FrmKelvane>();
    waitUntilExposed(*w);
    enterSampleDriver(*w);
    w->CmdCalculateInput_Click();
    processPending();
    return w;
}

} // namespace kelvanebench
