// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A seeded, bounded random run of the real window (a "monkey"): thousands of user events drawn from
// the table of event kinds below. After each event the window must still answer (a watchdog aborts
// on a hang), show no "nan" or "inf", have shown only the program's own messages, have written
// nothing but bitmaps, designs and curves into the current folder, and show results that belong to
// the driver data on screen.
//
// Every run uses a fixed set of seeds plus one fresh seed, all printed. To reproduce a failure:
//   KELVANE_MONKEY_SEED=<seed> tst_monkey        runs only that seed
//   KELVANE_MONKEY_EVENTS=<n> tst_monkey         sets the number of events per seed
// No printer is reachable in this program (see main in tst_monkey.cpp), so every print takes its failure path.
//
// The Analysis tab's power, graph and vent, the driver library window, the Measure Driver window,
// the build sheet and picture exports, the drivers in the box, window resizes (maximized and back
// too) and the Crossover tab's drivers have event kinds of their own too.
//
// Adding an event kind: write one member function of Monkey, `QString myEvent()`, that draws its
// random choices with below() / chance() / pick(), stores what it will do in action_ and returns a
// description of it for the failure log (or an empty string when it cannot happen now, e.g. no
// field on the current tab: the next row is tried then). Declare it below, define it in
// MonkeyEvents.cpp and add one row {weight, &Monkey::myEvent}
// to Monkey::Events. Messages a new feature shows belong in isOwnMessage, files it writes in
// filesOutsideTheFolder.
//
// The class is declared here; its event kinds are defined in MonkeyEvents.cpp, the run and the checks
// after every event in Monkey.cpp (both compiled into tst_monkey only).

#include "TestSupport.h"
#include "app/AnalysisTab.h"
#include "app/CrossoverDriversPanel.h"
#include "app/DlgDriverLibrary.h"
#include "app/DlgMeasureDriver.h"
#include "app/MoreBoxesTab.h"
#include "common/NumberText.h"
#include "design/DesignFile.h"
#include "graphs/GraphPicture.h"
#include "sheet/SheetWriter.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QGroupBox>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTableView>

#include <clocale>
#include <csignal>
#include <random>
#include <unistd.h>

namespace monkey {

using namespace testsupport;

class Monkey
{
public:
    Monkey(quint64 seed, const QString &workDir, const QString &rootDir, QStringList *trace)
        : rng_(seed), seed_(seed), workDir_(workDir), rootDir_(rootDir), trace_(trace)
    {
        writeCurves();
    }

    // Runs the events; an empty result means every check held.
    QString run(int events);

private:
    // ---- Random choices (plain modulo arithmetic: the same on every platform) ----
    int below(int n) { return n <= 1 ? 0 : int(rng_() % quint64(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    T pick(const QList<T> &list) { return list.at(below(int(list.size()))); }
    template <typename T, std::size_t N>
    T pick(T const (&array)[N]) { return array[below(int(N))]; }
    QString digits(int length)
    {
        QString s;
        while (length-- > 0)
            s += QChar(u'0' + below(10));
        return s;
    }
    QString printable(int length, int first = 32, int span = 95)
    {
        QString s;
        while (length-- > 0)
            s += QChar(char16_t(first + below(span)));
        return s;
    }

    // A control of the current tab that the user can reach (the exits aside), or none.
    template <typename T>
    T *anyUsable()
    {
        QList<T *> out;
        for (T *w : window_->SSTab->currentWidget()->findChildren<T *>())
            if (w->isVisible() && w->isEnabled() && !w->objectName().startsWith(QLatin1String("CmdExit")))
                out << w;
        return out.isEmpty() ? nullptr : pick(out);
    }

    static QString quoted(const QString &text)
    {
        QString s = text.left(40);
        for (QChar &c : s)
            c = c.unicode() < 32 ? u'?' : c;
        return QLatin1Char('"') + s + (text.size() > 40 ? QStringLiteral("...\" (%1 chars)").arg(text.size()) : QStringLiteral("\""));
    }

    // ---- The event kinds, one function each (MonkeyEvents.cpp) ----
    QString typeText();
    QString pasteText();
    QString enterInField();
    QString clickIntoField();
    QString keyOnFocus();
    QString clickButton();
    QString clickOption();
    QString switchTab();
    QString moveMouse();
    QString resizeWindow();
    QString designFile();
    QString chooseInList();
    QString buildSheet();
    QString driverLibrary();
    QString about();
    QString drivers();
    QString moreBoxes();
    QString measureDriver();
    QString crossoverDrivers();
    QString crossoverAsBuilt();

    // The texts drawn for the event kinds; the curves files the Crossover tab loads.
    QString typedText();
    QString pastedText();
    void writeCurves();

    // One row per event kind: its weight in a hundred events and the function that draws it.
    static constexpr std::pair<int, QString (Monkey::*)()> Events[] = {
        {14, &Monkey::typeText}, {10, &Monkey::pasteText}, {10, &Monkey::enterInField}, {5, &Monkey::clickIntoField},
        {7, &Monkey::keyOnFocus}, {16, &Monkey::clickButton}, {8, &Monkey::clickOption}, {3, &Monkey::switchTab},
        {4, &Monkey::moveMouse}, {3, &Monkey::chooseInList}, {4, &Monkey::designFile}, {1, &Monkey::buildSheet},
        {2, &Monkey::driverLibrary}, {1, &Monkey::about},
        {2, &Monkey::moreBoxes},      // More Boxes tab (its 2 taken from typeText)
        {2, &Monkey::drivers},        // the drivers in the box (its 2 taken from typeText)
        {2, &Monkey::measureDriver},  // Measure Driver window (its 2 taken from typeText)
        {2, &Monkey::resizeWindow},   // window resizes (its 2 taken from typeText)
        {2, &Monkey::crossoverDrivers}, // the Crossover tab's drivers (its 2 taken from typeText)
        {2, &Monkey::crossoverAsBuilt}}; // the crossover as built and its optimizer (its 2 taken from typeText)

    // ---- The run's state and the checks after every event (Monkey.cpp) ----
    void openWithFileTexts(const QString &path, const std::function<void()> &open);
    void newWindow();
    QList<GraphPicture *> pictures() const;
    QString snapshot();
    QString check();
    bool isOwnMessage(const Message &m) const;
    QString nonFiniteShown();
    QString resultsOfOtherData() const;
    QString filesOutsideTheFolder() const;
    // The window's thread is turning its event loop while it waits for work in another thread (the
    // optimizer): it answers, so the hang bound starts again.
    static void windowAnswers();

    std::mt19937_64 rng_;
    quint64 seed_;
    QTemporaryDir curves_;
    QString workDir_, rootDir_;
    QStringList *trace_;
    MessageCatcher closer_{QMessageBox::Ok, 1};
    std::unique_ptr<FrmKelvane> window_;
    QHash<QLineEdit *, QString> userText_;
    std::function<void()> action_;
    QStringList history_;
    QList<Message> lastMessages_;
    QString eventFault_; // what an event found wrong while it ran, reported by the checks after it
    QSet<QString> seenMessages_;
};

} // namespace monkey
