// SPDX-License-Identifier: GPL-3.0-or-later
// A seeded, bounded random run of the real window (a "monkey"): thousands of user events drawn from
// the table of event kinds below. After each event the window must still answer (a watchdog aborts
// on a hang), show no "nan" or "inf", have shown only the program's own messages, have written
// nothing but bitmaps, designs and curves into the current folder, and show results that belong to
// the driver data on screen.
//
// Every run uses a fixed set of seeds plus one fresh seed, all printed. To reproduce a failure:
//   KELVANE_MONKEY_SEED=<seed> tst_monkey        runs only that seed
//   KELVANE_MONKEY_EVENTS=<n> tst_monkey         sets the number of events per seed
// No printer is reachable in this program (see main below), so every print takes its failure path.
//
// The Analysis tab's power, graph and vent, the driver library window, the Measure Driver window,
// the build sheet and picture exports, the drivers in the box, window resizes (maximized and back
// too) and the Crossover tab's drivers have event kinds of their own too.
//
// Adding an event kind: write one member function of Monkey, `QString myEvent()`, that draws its
// random choices with below() / chance() / pick(), stores what it will do in action_ and returns a
// description of it for the failure log (or an empty string when it cannot happen now, e.g. no
// field on the current tab: the next row is tried then). Then add one row {weight, &Monkey::myEvent}
// to Monkey::Events. Messages a new feature shows belong in isOwnMessage, files it writes in
// filesOutsideTheFolder.

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

using namespace testsupport;

namespace {

constexpr quint64 FixedSeeds[] = {1, 20261206, 0x5eedf00dULL};
constexpr int DefaultEvents = 1200;
constexpr int HangBoundSeconds = 10; // anything longer for one event is a hang, not slowness

// Aborts the whole program when one event runs past the bound (a hang in the window's thread cannot
// be detected from that thread), naming the event.
char hungEvent[512];
void armWatchdog(const QString &what)
{
    qstrncpy(hungEvent, qPrintable(QStringLiteral("FAIL: event did not finish within %1 s: %2\n").arg(HangBoundSeconds).arg(what)), sizeof hungEvent);
    std::signal(SIGALRM, [](int) {
        (void)!write(2, hungEvent, strlen(hungEvent));
        std::abort();
    });
    alarm(what.isEmpty() ? 0 : HangBoundSeconds);
}

// Numbers a user might try: ordinary, tiny, huge, at the edges of the plausible ranges.
const QStringList InterestingNumbers = QStringLiteral(
    "0 00 . 0. .0 1 2 7 10 20 30 50 100 101 200 499 500 500.0001 501 1000 0.1 0.2 0.35 0.4 0.5 0.5647 0.7 0.707 0.7071 "
    "0.71 0.9 1.2 1.5 1.9 2.5 3 6 8 9.99 12 25.4 38 0.0000001 0.0001 0.00000000000000000001 99999999999 1e308 1E308 "
    "1e-308 999999999999999999999999999999 1.2.3 .. 0.000 007 3.14159265358979323846").split(u' ');

// Texts pasted as they are (the key filters never see pasted text).
const char *const InterestingPastes[] = {
    "nan", "NaN", "inf", "-inf", "Infinity", "1e308", "-1", "-0", "+5", " 5", "5 ", "1,5", "0x10", "1e400", "../escape",
    "../../escape", "/tmp/kelvane-monkey-escape", "a/b", "..", ".", "", "con", "name.bmp", "*", "?", "~", "$HOME",
    "%s%s%s%n", "\\\\server\\share", "line\nbreak", "tab\there", "\xc3\xa9\xc3\xa8\xe2\x82\xac", "\xe4\xb8\xad\xe6\x96\x87",
    "\xf0\x9f\x94\x8a", "\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7", "12\xe2\x80\xaf" "5", "\xef\xbc\x95"};

// Names the run saves designs under, opens them from and exports curves to, all relative to its own
// folder; "missing/" is a folder that does not exist, "junk" a file the run damages.
const char *const DesignNames[] = {"a.kelvane", "b.kelvane", "junk.kelvane", "missing.kelvane", "missing/c.kelvane"};

class Monkey
{
public:
    Monkey(quint64 seed, const QString &workDir, const QString &rootDir, QStringList *trace)
        : rng_(seed), seed_(seed), workDir_(workDir), rootDir_(rootDir), trace_(trace)
    {
        writeCurves();
    }

    // Runs the events; an empty result means every check held.
    QString run(int events)
    {
        newWindow();
        for (int n = 0; n < events; ++n) {
            action_ = {};
            QString what;
            for (int roll = below(100), i = 0; what.isEmpty(); ++i) {
                const auto &[weight, event] = Events[i % std::size(Events)];
                if ((roll -= weight) < 0 || i >= int(std::size(Events)))
                    what = (this->*event)();
            }
            armWatchdog(QStringLiteral("seed %1 event %2: %3").arg(seed_).arg(n).arg(what));
            action_();
            for (int i = 0; i < 3; ++i) // queued keystrokes (the Tab after Enter) and zero timers
                QCoreApplication::processEvents();
            armWatchdog({});
            history_ = (history_ << QStringLiteral("%1: %2").arg(n).arg(what)).mid(std::max(0, int(history_.size()) - 25));
            if (const QString fault = check(); !fault.isEmpty())
                return QStringLiteral("seed %1, event %2 (%3): %4\nlast events:\n  %5")
                    .arg(seed_).arg(n).arg(what, fault, history_.join(QLatin1String("\n  ")));
            if (trace_)
                *trace_ << what << snapshot();
            if (!window_->isVisible())
                newWindow();
        }
        // What the run reached, so a change that starves some path shows in the log.
        qInfo("seed %llu: %d files saved; messages: %s", seed_, int(QDir(workDir_).entryList(QDir::Files).size()),
              qPrintable(QStringList(seenMessages_.begin(), seenMessages_.end()).join(QLatin1String(", "))));
        return {};
    }

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

    // A text typed key by key: mostly numbers, sometimes letters and symbols the filters reject.
    QString typedText()
    {
        switch (below(6)) {
        case 0: return chance(2) ? QString::number(std::numeric_limits<double>::max(), 'f', 0) : pick(InterestingNumbers);
        case 1: return pick(InterestingNumbers);
        case 2: return digits(1 + below(4)) + (chance(60) ? "." + digits(below(5)) : QString());
        case 3: return "0." + digits(1 + below(3));
        case 4: return digits(20 + below(300));
        default: return printable(1 + below(12));
        }
    }

    // A pasted text: any characters, including control characters and very long texts.
    QString pastedText()
    {
        switch (below(5)) {
        case 0: return QString::fromUtf8(pick(InterestingPastes));
        case 1: return typedText();
        case 2: {
            QString s;
            for (int i = 1 + below(40); i > 0; --i)
                s += below(4) == 0 ? printable(1, 0, 32) : below(3) == 0 ? printable(1, 0xa0, 0x2f00) : printable(1);
            return s;
        }
        case 3: return digits(1000 + below(20000));
        default: return QString(1 + below(5000), QChar(char16_t(32 + below(95))));
        }
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

    // ---- The event kinds, one function each ----
    QString typeText()
    {
        QLineEdit *f = anyUsable<QLineEdit>();
        if (!f)
            return {};
        const QString text = typedText();
        const bool enter = chance(75);
        action_ = [f, text, enter] { f->setFocus(Qt::OtherFocusReason); typeInto(f, text, enter); };
        return "type " + quoted(text) + " into " + f->objectName() + (enter ? " + Enter" : "");
    }
    QString pasteText()
    {
        QLineEdit *f = anyUsable<QLineEdit>();
        if (!f)
            return {};
        const QString text = pastedText();
        const bool enter = chance(60);
        action_ = [f, text, enter] {
            f->setFocus(Qt::OtherFocusReason);
            f->selectAll();
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
            if (enter)
                QTest::keyClick(f, Qt::Key_Return);
        };
        return "paste " + quoted(text) + " into " + f->objectName() + (enter ? " + Enter" : "");
    }
    QString enterInField()
    {
        QLineEdit *f = anyUsable<QLineEdit>();
        if (!f)
            return {};
        action_ = [f] { f->setFocus(Qt::OtherFocusReason); QTest::keyClick(f, Qt::Key_Return); };
        return "Enter in " + f->objectName();
    }
    QString clickIntoField()
    {
        QLineEdit *f = anyUsable<QLineEdit>();
        if (!f)
            return {};
        action_ = [f] { QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(4, f->height() / 2)); };
        return "click into " + f->objectName();
    }
    // A key on whatever has the focus; letters only the Vas options take as shortcuts.
    QString keyOnFocus()
    {
        const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Space,
                                Qt::Key_Escape, Qt::Key_Return, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down,
                                Qt::Key_Home, Qt::Key_End, Qt::Key_F, Qt::Key_L, Qt::Key_M};
        const Qt::Key key = pick(keys);
        action_ = [this, key] { QTest::keyClick(window_->focusWidget() ? window_->focusWidget() : window_.get(), key); };
        return QStringLiteral("key %1 on the focus").arg(int(key), 0, 16);
    }
    QString clickButton()
    {
        QPushButton *b = anyUsable<QPushButton>();
        if (!b)
            return {};
        action_ = [b] { QTest::mouseClick(b, Qt::LeftButton); };
        return "click " + b->objectName();
    }
    QString clickOption()
    {
        QRadioButton *o = anyUsable<QRadioButton>();
        if (!o)
            return {};
        action_ = [o] { QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(6, o->height() / 2)); };
        return "click " + o->objectName();
    }
    QString switchTab()
    {
        const int tab = below(window_->SSTab->count());
        action_ = [this, tab] {
            QTest::mouseClick(window_->SSTab->tabBar(), Qt::LeftButton, {}, window_->SSTab->tabBar()->tabRect(tab).center());
        };
        return QStringLiteral("tab %1").arg(tab);
    }
    // Mouse moves over the picture of the current tab, its edges and corners as well as inside.
    QString moveMouse()
    {
        GraphPicture *picture = anyUsable<GraphPicture>();
        if (!picture)
            return {};
        QList<QPoint> points;
        for (int i = 1 + below(8); i > 0; --i) {
            const int x = chance(20) ? (chance(50) ? 0 : picture->width() - 1) : below(picture->width());
            points << QPoint(x, chance(20) ? (chance(50) ? 0 : picture->height() - 1) : below(picture->height()));
        }
        action_ = [picture, points] {
            for (const QPoint &p : points) {
                QMouseEvent move(QEvent::MouseMove, p, picture->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(picture, &move);
            }
        };
        return QStringLiteral("%1 mouse moves over %2").arg(points.size()).arg(picture->objectName());
    }
    // The window resized: back to its default size, to any size up to about 2500 x 1500, or maximized
    // and back; every picture then takes the room its tab gives it.
    QString resizeWindow()
    {
        if (chance(15)) {
            action_ = [this] { window_->isMaximized() ? window_->showNormal() : window_->showMaximized(); };
            return QStringLiteral("window maximized or back");
        }
        const QSize smallest = window_->minimumSizeHint();
        const QSize size = chance(25) ? smallest : smallest + QSize(below(1400), below(900));
        action_ = [this, size] { window_->resize(size); };
        return QStringLiteral("window resized to %1 x %2").arg(size.width()).arg(size.height());
    }
    // Saving, opening, damaging and exporting design files, the recent list and the File menu.
    QString designFile()
    {
        const QString name = QLatin1String(pick(DesignNames));
        switch (below(8)) {
        case 0: case 1:
            action_ = [this, name] { window_->saveDesign(name); };
            return "save design " + name;
        case 2: case 3:
            action_ = [this, name] { openWithFileTexts(name, [this, name] { window_->openDesign(name); }); };
            return "open design " + name;
        case 4: { // cut short, one byte changed, or any text at all
            const int kind = below(3);
            const quint64 where = rng_();
            const QString text = pastedText();
            action_ = [kind, where, text] {
                QFile good(QStringLiteral("a.kelvane")), junk(QStringLiteral("junk.kelvane"));
                QByteArray bytes = good.open(QIODevice::ReadOnly) ? good.readAll() : QByteArray();
                if (kind == 0)
                    bytes.truncate(bytes.isEmpty() ? 0 : int(where % quint64(bytes.size())));
                else if (kind == 1 && !bytes.isEmpty())
                    bytes[int(where % quint64(bytes.size()))] = char(where >> 32);
                else
                    bytes = text.toUtf8();
                if (junk.open(QIODevice::WriteOnly))
                    junk.write(bytes);
            };
            return QStringLiteral("damage junk.kelvane (%1)").arg(kind);
        }
        case 5: {
            const QString file = chance(80) ? QStringLiteral("curves.csv") : QStringLiteral("missing/curves.csv");
            action_ = [this, file] { window_->exportCurves(file); };
            return "export curves to " + file;
        }
        case 6:
            if (const int count = int(window_->MnuOpenRecent->actions().size())) {
                const int index = below(count);
                action_ = [this, index] {
                    openWithFileTexts(window_->recentDesigns().value(index),
                                      [this, index] { window_->MnuOpenRecent->actions().at(index)->trigger(); });
                };
                return QStringLiteral("open recent %1").arg(index);
            }
            [[fallthrough]];
        default: { // the menu items themselves: the question, the file dialogs (cancelled), Save
            QAction *const items[] = {window_->MnuNew, window_->MnuOpen, window_->MnuSave, window_->MnuSaveAs, window_->MnuExportCurves};
            QAction *a = pick(items);
            action_ = [a] { a->trigger(); };
            return "File > " + a->objectName();
        }
        }
    }
    // A choice in a drop-down list of the current tab (the Analysis tab's graph and vent).
    QString chooseInList()
    {
        QComboBox *c = anyUsable<QComboBox>();
        if (!c)
            return {};
        const int k = below(c->count() + 1) - 1; // -1: no choice at all
        action_ = [c, k] { c->setCurrentIndex(k); };
        return QStringLiteral("choose %1 in %2").arg(k).arg(c->objectName());
    }
    // The sheet of whatever the window holds now, with random choices, written into the run's folder
    // (or a missing one); a picture of a random graph as PNG or SVG; or one of the two menu items,
    // whose dialogs the closer cancels.
    QString buildSheet()
    {
        const QString where = chance(90) ? QString() : QStringLiteral("missing/");
        switch (below(3)) {
        case 0: {
            const kelvane::sheet::Choices c{chance(50), below(3), double(below(40)), chance(50),
                                            chance(50) ? kelvane::sheet::PageSize::A4 : kelvane::sheet::PageSize::Letter,
                                            chance(50)};
            action_ = [this, c, where] {
                kelvane::sheet::writePdfFile(kelvane::sheet::buildSheet(window_->buildSheetSnapshot(), c, {}, {}),
                                             where + QStringLiteral("sheet.pdf"));
            };
            return "build sheet to " + where + "sheet.pdf";
        }
        case 1: {
            GraphPicture *picture = pick(pictures());
            const QString file = where + (chance(50) ? QStringLiteral("picture.png") : QStringLiteral("picture.svg"));
            action_ = [picture, file] {
                kelvane::sheet::writePicture(picture->drawing(), file, kelvane::sheet::pictureFormatOf(file), {});
            };
            return "picture of " + picture->objectName() + " to " + file;
        }
        default: {
            QAction *a = chance(50) ? window_->MnuExportBuildSheet : window_->MnuExportPicture;
            action_ = [a] { a->trigger(); };
            return "File > " + a->objectName();
        }
        }
    }
    // The driver library window: opened, searched, a row clicked or double-clicked (Use), Use, Add
    // Current Driver and Delete (whose question the closer answers), closed again. Its library lives
    // in the run's own home folder.
    QString driverLibrary()
    {
        auto *dialog = window_->findChild<DlgDriverLibrary *>();
        if (!dialog || !dialog->isVisible()) {
            action_ = [this] { window_->MnuDriverLibrary->trigger(); };
            return QStringLiteral("File > Driver Library");
        }
        const auto rowCenter = [dialog](int row) {
            return dialog->TblDrivers->visualRect(dialog->TblDrivers->model()->index(row, 1)).center();
        };
        // The name Use puts in TxtName was typed or imported by a user too.
        const auto nameIsTyped = [this] { userText_[window_->TxtName] = window_->TxtName->text(); };
        switch (below(7)) {
        case 0: case 1: {
            const char *const words[] = {"brennholt", "SUB", "c1", "mid woofer", "zzz", "", "12 inch", "a"};
            const QString text = QLatin1String(pick(words));
            action_ = [dialog, text] {
                dialog->TxtDriverSearch->clear();
                QTest::keyClicks(dialog->TxtDriverSearch, text);
            };
            return "search the library for " + quoted(text);
        }
        case 2: {
            const int row = below(std::max(dialog->TblDrivers->model()->rowCount(), 1));
            const bool twice = chance(40);
            action_ = [dialog, row, rowCenter, twice, nameIsTyped] {
                QTest::mouseClick(dialog->TblDrivers->viewport(), Qt::LeftButton, {}, rowCenter(row));
                if (twice)
                    QTest::mouseDClick(dialog->TblDrivers->viewport(), Qt::LeftButton, {}, rowCenter(row));
                nameIsTyped();
            };
            return QStringLiteral("%1 library row %2").arg(twice ? "double-click" : "click").arg(row);
        }
        case 3: case 4: case 5: {
            QPushButton *const buttons[] = {dialog->CmdUseDriver, dialog->CmdAddDriver, dialog->CmdDeleteDriver};
            QPushButton *b = pick(buttons);
            action_ = [b, nameIsTyped] { QTest::mouseClick(b, Qt::LeftButton); nameIsTyped(); };
            return "click " + b->objectName();
        }
        default:
            action_ = [dialog] { dialog->close(); };
            return QStringLiteral("close the driver library");
        }
    }
    QString about()
    {
        action_ = [this] { window_->MnuAbout->trigger(); };
        return QStringLiteral("Help > About");
    }
    // The drivers in the box: a count typed with Enter (mostly one a builder would use), a wiring, or
    // the isobaric pairs clicked.
    QString drivers()
    {
        const int kind = below(3);
        const QString count = chance(80) ? QString::number(1 + below(8)) : typedText();
        const int wiring = below(4) - 1; // -1: no choice at all
        action_ = [this, kind, count, wiring] {
            window_->SSTab->setCurrentIndex(FrmKelvane::TabBoxModel);
            if (kind == 0)
                typeInto(window_->TxtDriverCount, count);
            else if (kind == 1)
                window_->CboWiring->setCurrentIndex(wiring);
            else
                QTest::mouseClick(window_->ChkIsobaric, Qt::LeftButton, {}, QPoint(6, window_->ChkIsobaric->height() / 2));
        };
        return kind == 0 ? "drivers " + quoted(count) : kind == 1 ? QStringLiteral("wiring %1").arg(wiring) : QStringLiteral("isobaric pairs");
    }
    // ---- More Boxes tab: begin ----
    // The radiator box or the bandpass box calculated from entries mostly a builder would make,
    // sometimes odd ones; the bandpass chambers emptied for a fresh design now and then.
    QString moreBoxes()
    {
        MoreBoxesTab *tab = window_->MoreBoxes;
        const bool bandpass = chance(50), odd = chance(20);
        const auto number = [&](const QStringList &usual) { return odd && chance(50) ? typedText() : pick(usual); };
        QList<std::pair<QLineEdit *, QString>> texts;
        if (bandpass) {
            if (chance(40))
                for (QLineEdit *f : {tab->TxtBPRearVolume, tab->TxtBPFrontVolume, tab->TxtBPFb})
                    texts.append({f, QString()});
            texts.append({tab->TxtBPRipple, number({"0.4", "0.5", "0.6", "0.7", "0.9"})});
            texts.append({tab->TxtBPGain, number({"1", "3", "6", "10"})});
            texts.append({tab->TxtBPVentDia, number({"", "2", "3", "4", "8"})});
        } else {
            texts.append({tab->TxtPRSd, number({"50", "130", "330", "500"})});
            texts.append({tab->TxtPRMms, number({"10", "60", "150", "400"})});
            texts.append({tab->TxtPRVas, number({"0.2", "1.5", "20", "60"})});
            texts.append({tab->TxtPRXmax, number({"", "5", "12", "20"})});
            texts.append({tab->TxtPRCount, number({"1", "2", "4"})});
        }
        action_ = [this, tab, texts, bandpass] {
            window_->SSTab->setCurrentIndex(FrmKelvane::TabMoreBoxes);
            for (const auto &[field, text] : texts) {
                field->setText(text);
                userText_[field] = text;
            }
            (bandpass ? tab->CmdCalculateBP : tab->CmdCalculatePR)->click();
        };
        QStringList shown;
        for (const auto &[field, text] : texts)
            shown << field->objectName() + "=" + quoted(text);
        return (bandpass ? "bandpass " : "passive radiator ") + shown.join(u' ');
    }
    // ---- More Boxes tab: end ----

    // ---- Measure Driver window: begin ----
    // Opened from the Tools menu; its fields typed into, its lists chosen, its pages switched, its
    // buttons clicked (the file dialogs are closed unanswered) and curves loaded as a chosen file
    // would be: a driver, the same with a mass on the cone, a vented box, a resistor, a file that is
    // no curve and one that is not there, all written by the run outside its folder.
    QString measureDriver()
    {
        auto *dialog = window_->findChild<DlgMeasureDriver *>();
        if (!dialog || !dialog->isVisible()) {
            action_ = [this] { window_->MnuMeasureDriver->trigger(); };
            return QStringLiteral("Tools > Measure Driver");
        }
        switch (below(6)) {
        case 0: case 1: {
            QLineEdit *const fields[] = {dialog->TxtMeasureRe, dialog->TxtAddedMass, dialog->TxtMeasureSd, dialog->TxtTestBoxVolume};
            QLineEdit *f = pick(fields);
            const QString text = chance(70) ? pick(QStringList{"", "5.6", "6", "20", "25", "150", "220", "40", "90"}) : typedText();
            action_ = [f, text] { typeInto(f, text); };
            return "type " + quoted(text) + " into " + f->objectName() + " + Enter";
        }
        case 2: {
            const int which = below(3), index = below(3);
            action_ = [dialog, which, index] {
                if (which == 0)
                    dialog->CboVasMethod->setCurrentIndex(index % 2);
                else if (which == 1)
                    dialog->CboMeasuredVent->setCurrentIndex(std::min(index, dialog->CboMeasuredVent->count() - 1));
                else
                    dialog->TabMeasure->setCurrentIndex(index % 2);
            };
            return QStringLiteral("choose %1 in %2").arg(index).arg(QLatin1String(which == 0 ? "CboVasMethod" : which == 1 ? "CboMeasuredVent" : "TabMeasure"));
        }
        case 3: case 4: {
            const QString file = QLatin1String(pick({"woofer.zma", "mass.zma", "box.zma", "resistor.zma", "junk.zma", "missing.zma"}));
            const int how = below(3);
            const QString path = curves_.filePath(file);
            action_ = [dialog, how, path] {
                how == 0 ? dialog->loadFreeAir(path) : how == 1 ? dialog->loadSecond(path) : dialog->loadBoxImpedance(path);
            };
            return QStringLiteral("load %1 as the %2 curve").arg(file, QLatin1String(how == 0 ? "free-air" : how == 1 ? "second" : "box"));
        }
        default: {
            QPushButton *const buttons[] = {dialog->CmdLoadFreeAir, dialog->CmdLoadSecond, dialog->CmdLoadBoxImpedance,
                                            dialog->CmdUseMeasured, dialog->CmdAddMeasuredToLibrary, dialog->CmdCloseMeasure};
            QPushButton *b = pick(buttons);
            // Use puts the measured driver's name into TxtName, as a user could have typed it.
            action_ = [this, b] { QTest::mouseClick(b, Qt::LeftButton); userText_[window_->TxtName] = window_->TxtName->text(); };
            return "click " + b->objectName();
        }
        }
    }
    void writeCurves()
    {
        using kelvane::measure::DriverModel;
        const DriverModel woofer{5.6, 30, 4, 0.5, 0.8e-3, 0.3e-3, 6}, loaded{5.6, 24, 4, 0.56, 0.8e-3, 0.3e-3, 6};
        const std::function<std::complex<double>(double)> curves[] = {
            [&](double f) { return kelvane::measure::impedance(woofer, f); },
            [&](double f) { return kelvane::measure::impedance(loaded, f); },
            [&](double f) { return kelvane::measure::ventedImpedance(woofer, 1.2, 28, 7, f); },
            [](double) { return std::complex<double>(8); }};
        const char *const names[] = {"woofer.zma", "mass.zma", "box.zma", "resistor.zma"};
        for (int k = 0; k < 4; ++k) {
            QFile f(curves_.filePath(QLatin1String(names[k])));
            if (!f.open(QIODevice::WriteOnly))
                continue;
            for (int i = 0; i < 300; ++i) {
                const double hz = 10 * std::pow(2000.0, i / 299.0);
                const std::complex<double> z = curves[k](hz);
                f.write(QByteArray::number(hz) + ' ' + QByteArray::number(std::abs(z)) + ' ' + QByteArray::number(std::arg(z) * 57.3) + '\n');
            }
        }
        QFile junk(curves_.filePath(QStringLiteral("junk.zma")));
        if (junk.open(QIODevice::WriteOnly))
            junk.write("Freq Ohm\n10 8\nten 9\n");
    }
    // ---- Measure Driver window: end ----

    // ---- Crossover tab's drivers: begin ----
    // The drivers' files loaded (the Measure Driver window's curves, as responses too, a file that is
    // no curve and one that is not there), cleared, the box, graph and polarity chosen, the parts as
    // built and the tweeter's level and offset typed, the crossover curves exported; mostly after a
    // crossover is calculated.
    QString crossoverDrivers()
    {
        CrossoverDriversPanel *panel = window_->CrossoverDrivers;
        switch (below(6)) {
        case 0: {
            const QString file = QLatin1String(pick({"woofer.zma", "box.zma", "resistor.zma", "junk.zma", "missing.zma"}));
            const int slot = below(4);
            const QString path = curves_.filePath(file);
            action_ = [this, panel, slot, path] {
                window_->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
                panel->loadFile(CrossoverDriversPanel::File(slot), path);
            };
            return QStringLiteral("load %1 into the crossover's slot %2").arg(file).arg(slot);
        }
        case 1: {
            const bool woofer = chance(50);
            action_ = [panel, woofer] { (woofer ? panel->CmdWooferClearData : panel->CmdTweeterClearData)->click(); };
            return QLatin1String(woofer ? "CmdWooferClearData" : "CmdTweeterClearData");
        }
        case 2: {
            const int which = below(3), index = below(4);
            action_ = [this, panel, which, index] {
                window_->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
                if (which == 0)
                    panel->CboCrossoverBox->setCurrentIndex(index % 2);
                else if (which == 1)
                    panel->CboCrossoverGraph->setCurrentIndex(index);
                else
                    QTest::mouseClick(panel->ChkTweeterReversed, Qt::LeftButton, {}, QPoint(6, panel->ChkTweeterReversed->height() / 2));
            };
            return which == 0 ? QStringLiteral("CboCrossoverBox %1").arg(index % 2)
                 : which == 1 ? QStringLiteral("CboCrossoverGraph %1").arg(index) : QStringLiteral("ChkTweeterReversed");
        }
        case 3: {
            QLineEdit *const fields[] = {panel->TxtWooferPartUsed[0], panel->TxtWooferPartUsed[1], panel->TxtWooferPartUsed[2],
                                         panel->TxtTweeterPartUsed[0], panel->TxtTweeterPartUsed[1], panel->TxtTweeterPartUsed[3],
                                         panel->TxtTweeterSPL, panel->TxtAcousticOffset};
            QLineEdit *f = pick(fields);
            const QString text = chance(70) ? pick(QStringList{"", "0.47", "1.2", "3.3", "8.2", "-15", "25", "88", "0"}) : typedText();
            action_ = [this, f, text] {
                window_->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
                typeInto(f, text);
            };
            return "type " + quoted(text) + " into " + f->objectName() + " + Enter";
        }
        case 4: {
            action_ = [this] { window_->MnuExportCrossoverCurves->trigger(); };
            return QStringLiteral("File > Export Crossover Curves");
        }
        default: {
            const int type = below(5);
            action_ = [this, type] {
                window_->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
                for (const auto &[field, text] : {std::pair{window_->TxtZ, "8"}, {window_->Text2, "6"}, {window_->Text3, "2500"},
                                                  {window_->Text4, "2500"}})
                    if (field->text().isEmpty())
                        field->setText(QLatin1String(text));
                window_->OptCrossoverType[std::size_t(type)]->click();
                window_->CmdCalculateCrossover->click();
            };
            return QStringLiteral("calculate the crossover of type %1").arg(type);
        }
        }
    }
    // ---- Crossover tab's drivers: end ----

    // The crossover as built: coil resistances, pad, baffle, percent and power typed, the series
    // chosen, Suggest Pad, the optimizer run (or cancelled at once) and undone.
    QString crossoverAsBuilt()
    {
        CrossoverDriversPanel *panel = window_->CrossoverDrivers;
        switch (below(5)) {
        case 0: {
            QLineEdit *const fields[] = {panel->TxtWooferPartDCR[0], panel->TxtWooferPartDCR[2], panel->TxtTweeterPartDCR[1],
                                         panel->TxtTweeterPartDCR[3], panel->TxtTweeterPad, panel->TxtBaffleWidth,
                                         panel->TxtBafflePercent, panel->TxtCrossoverPower};
            QLineEdit *f = pick(fields);
            const QString text = chance(70) ? pick(QStringList{"", "0", "0.5", "3", "6.5", "20", "21", "100", "250", "1e3"}) : typedText();
            action_ = [this, f, text] {
                window_->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
                typeInto(f, text);
            };
            return "type " + quoted(text) + " into " + f->objectName() + " + Enter";
        }
        case 1: {
            const int index = below(2);
            action_ = [panel, index] { panel->CboPartSeries->setCurrentIndex(index); };
            return QStringLiteral("CboPartSeries %1").arg(index);
        }
        case 2:
            action_ = [panel] { panel->CmdSuggestPad->click(); };
            return QStringLiteral("CmdSuggestPad");
        case 3: {
            const bool cancel = chance(50);
            action_ = [panel, cancel] {
                panel->CmdOptimize->click();
                if (cancel)
                    panel->CmdCancelOptimize->click();
                // The run ends before the next event, so that a seed gives the same events and
                // screens however fast the machine is (and the locales' traces can be compared).
                QDeadlineTimer limit(120000);
                while (panel->optimizing() && !limit.hasExpired())
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            };
            return cancel ? QStringLiteral("CmdOptimize, then CmdCancelOptimize") : QStringLiteral("CmdOptimize");
        }
        default:
            action_ = [panel] { panel->CmdUndoOptimize->click(); };
            return QStringLiteral("CmdUndoOptimize");
        }
    }

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

    // The texts a design file holds were typed by a user too, so they may spell "nan" as well: a
    // field showing the text of the file it was opened from counts as typed.
    void openWithFileTexts(const QString &path, const std::function<void()> &open)
    {
        const kelvane::design::ReadResult read = kelvane::design::readFile(path);
        open();
        for (std::size_t i = 0; read.ok() && i < kelvane::design::TextFields.size(); ++i)
            if (auto *f = window_->findChild<QLineEdit *>(QLatin1String(kelvane::design::TextFields[i].name)))
                if (f->text() == read.design.texts[i])
                    userText_[f] = read.design.texts[i];
        // More Boxes tab: its fields are kept in the file too.
        for (std::size_t i = 0; read.ok() && i < kelvane::design::MoreBoxesFields.size(); ++i)
            if (auto *f = window_->findChild<QLineEdit *>(QLatin1String(kelvane::design::MoreBoxesFields[i].name)))
                if (f->text() == read.design.moreBoxes.texts[i])
                    userText_[f] = f->text();
    }

    void newWindow()
    {
        userText_.clear();
        window_ = std::make_unique<FrmKelvane>();
        window_->activateWindow();
        // A text the user typed or pasted may spell "nan" or "inf" itself; only the program's own
        // texts are held to the rule.
        for (QLineEdit *f : window_->findChildren<QLineEdit *>())
            QObject::connect(f, &QLineEdit::textEdited, [this, f](const QString &t) { userText_[f] = t; });
    }

    QList<GraphPicture *> pictures() const
    {
        QList<GraphPicture *> out{window_->Frequency->PicFrequency, window_->Displacement->PicDisplacementLimit, window_->Picture1,
                                  window_->PicCrossoverPlan, window_->Analysis->PicAnalysis};
        if (auto *dialog = window_->findChild<DlgMeasureDriver *>())
            out << dialog->PicMeasuredImpedance;
        return out;
    }

    // Every caption, field text, button state, graph text and message, in a fixed order.
    QString snapshot()
    {
        QStringList out{QString::number(window_->SSTab->currentIndex())};
        for (QLabel *l : window_->findChildren<QLabel *>())
            out << l->text();
        for (QLineEdit *e : window_->findChildren<QLineEdit *>())
            out << e->text();
        for (QPushButton *b : window_->findChildren<QPushButton *>())
            out << (b->isEnabled() ? "on" : "off");
        for (GraphPicture *picture : pictures())
            out << picture->texts();
        for (const Message &m : lastMessages_) // the run's folder has another name in every run
            out << m.title << QString(m.text).replace(workDir_, QStringLiteral("<folder>"));
        return out.join(u'|');
    }

    // ---- Checks after every event ----
    QString check()
    {
        if (QWidget *modal = QApplication::activeModalWidget())
            return "a modal window stayed open: " + modal->windowTitle();
        lastMessages_ = std::exchange(closer_.messages, {});
        for (const Message &m : lastMessages_) {
            seenMessages_.insert(m.text.left(45));
            if (!isOwnMessage(m))
                return QStringLiteral("unknown message \"%1\" titled \"%2\"").arg(m.text, m.title);
        }
        for (const QString &dialog : std::exchange(closer_.dialogs, {}))
            if (!QStringList{"frmAbout", "DlgOpenDesign", "DlgSaveDesign", "DlgExportCurves", "DlgBuildSheet", "DlgExportPicture",
                             "DlgLoadFreeAir", "DlgLoadSecond", "DlgLoadBoxCurve", "DlgLoadDriverData", "DlgExportCrossoverCurves"}
                     .contains(dialog))
                return "unexpected dialog " + dialog;
        if (QString fault = nonFiniteShown(); !fault.isEmpty())
            return fault;
        if (QString fault = resultsOfOtherData(); !fault.isEmpty())
            return fault;
        return filesOutsideTheFolder();
    }

    // The fixed texts, each with its own title; the design files' messages and question; "The image
    // could not be saved to <file>." for the bitmap of either graph or of the crossover plan, named
    // after the driver or, for an unnamed driver, after the picture.
    bool isOwnMessage(const Message &m) const
    {
        static const QRegularExpression design(QStringLiteral(
            "^The design could not be opened from .+: .+\\.$|^The (design|curves) could not be saved to .+\\.$"));
        static const QRegularExpression question(QStringLiteral("^Do you want to save the changes to .+\\?$"));
        static const QRegularExpression library(QStringLiteral(
            "^The driver on the Input tab cannot be added: .+\\.$|^\".*\" is already in the library\\. Replace it\\?$"
            "|^Delete \".*\" from the library\\?$"));
        if (m.title == QLatin1String("Driver Library"))
            return library.match(m.text).hasMatch();
        // The Measure Driver window: what is wrong with a curve, in plain words.
        if (m.title == DlgMeasureDriver::Title)
            return !m.text.isEmpty();
        if (m.title == QLatin1String("Kelvane"))
            return m.text == Program::PrintProblemText || question.match(m.text).hasMatch();
        if (m.title != QLatin1String("Error"))
            return false;
        // A driver's file the Crossover tab refused, named with what is wrong.
        static const QRegularExpression driverFile(QStringLiteral("^[^ /]+\\.zma: .+"));
        if (driverFile.match(m.text).hasMatch())
            return true;
        const QString name = window_->State.DriverName;
        for (const auto &[placeholder, suffix] : {std::pair{"FrequencyResponse", "Frequency"}, {"PowerResponse", "Limits"}, {"Crossover", "Plan"}})
            if (m.text == "The image could not be saved to " + (name.isEmpty() ? QLatin1String(placeholder) : name) + suffix + ".bmp.")
                return true;
        return !shortMessage(m).startsWith(QLatin1String("Error: ")) || design.match(m.text).hasMatch();
    }

    QString nonFiniteShown()
    {
        // "nan", "inf", "-nan", "infinity" as words of their own ("Resonance" is fine).
        static const QRegularExpression bad(QStringLiteral("(?<![a-z])(nan|inf)"), QRegularExpression::CaseInsensitiveOption);
        QList<std::pair<const QObject *, QString>> texts{{window_.get(), window_->windowTitle()}};
        for (QWidget *c : window_->findChildren<QWidget *>()) {
            if (auto *l = qobject_cast<QLabel *>(c))
                texts.append({c, l->text()});
            else if (auto *f = qobject_cast<QLineEdit *>(c); f && !(userText_.contains(f) && userText_[f] == f->text()))
                texts.append({c, f->text()});
            else if (auto *b = qobject_cast<QAbstractButton *>(c))
                texts.append({c, b->text()});
            else if (auto *g = qobject_cast<QGroupBox *>(c))
                texts.append({c, g->title()});
            else if (auto *list = qobject_cast<QComboBox *>(c))
                texts.append({c, list->currentText()});
        }
        for (int i = 0; i < window_->SSTab->count(); ++i)
            texts.append({window_->SSTab, window_->SSTab->tabText(i)});
        // A picture on show is 4 : 3 and never below 640 x 480.
        for (GraphPicture *picture : pictures())
            if (picture->isVisible() && (picture->width() < 640 || picture->width() * 3 != picture->height() * 4))
                return QStringLiteral("%1 is %2 x %3").arg(picture->objectName()).arg(picture->width()).arg(picture->height());
        // The texts drawn on every picture; the driver's name rows show what the user typed (a
        // picture drawn before the name changed shows the name of then).
        for (GraphPicture *picture : pictures())
            for (const QString &text : picture->texts())
                if (!text.startsWith(QLatin1String("                  Driver:  ")) && !text.startsWith(QLatin1String("Driver:  ")))
                    texts.append({picture, text});
        for (const auto &[object, text] : texts)
            if (bad.match(text).hasMatch())
                return QStringLiteral("%1 shows \"%2\"").arg(object->objectName(), text.left(60));
        // A non-finite value kept in the window would reach the screen with the next caption.
        const FrmKelvane &w = *window_;
        const double values[] = {w.State.Fs, w.State.Qts, w.State.Qes, w.State.Qms, w.State.Vas, w.State.Qtc, w.State.Power, w.State.Vd, w.State.Sd, w.State.Dia, w.State.Xmax, w.State.VCHeight,
                                 w.State.VCGap, w.State.Re, w.State.Z, w.State.AddVolume, w.State.PercentOverVolume, w.State.Efficiency, w.State.SPL, w.State.EBP,
                                 w.State.VbSealed, w.State.Alpha, w.State.Fc, w.State.F3Sealed, w.State.PeakdBSealed, w.State.PeakFreqSealed, w.State.VbVented, w.State.Fb,
                                 w.State.Qloss, w.State.F3Vented, w.State.PeakdBVented, w.State.PeakFreqVented, w.State.VbSealedBuild, w.State.VbVentedBuild,
                                 w.State.VbVentedCuIn, w.State.DepthSealedA, w.State.DepthVentedA, w.State.AcousticPowerMax, w.State.SPLMax, w.State.VentVd,
                                 w.State.MinVentDia, w.State.TweeterFs, w.State.TweeterZ, w.State.WooferXover, w.State.TweeterXover};
        for (std::size_t i = 0; i < std::size(values); ++i)
            if (!std::isfinite(values[i]))
                return QStringLiteral("the window keeps a non-finite value (number %1 of the list)").arg(i);
        for (std::size_t k = 0; k < w.State.VentLength.size(); ++k)
            if (!std::isfinite(w.State.VentLength[k]) || !std::isfinite(w.State.VentDia[k]) || !std::isfinite(w.State.VentSpeed[k]))
                return QStringLiteral("the window keeps a non-finite vent %1").arg(k);
        for (int f = 10; f <= 500; ++f)
            for (double v : {w.State.VentedResponse[f], w.State.SealedResponse[f], w.State.PaSealed[f], w.State.PaVented[f], w.State.SPLSealedLimit[f], w.State.SPLVentedLimit[f]})
                if (!std::isfinite(v))
                    return QStringLiteral("a curve holds a non-finite value at %1 Hz").arg(f);
        return {};
    }

    // While the graph buttons are enabled the results are valid: they must belong to the Fs, Qts and
    // Vas the Input tab shows (Vas: of the drivers in the box together).
    QString resultsOfOtherData() const
    {
        const FrmKelvane &w = *window_;
        const double vasFactor[3] = {1.0, 0.0353145, 35.3145};
        const std::optional<double> fs = kelvane::parseNumber(w.TxtFs->text());
        const std::optional<double> qts = kelvane::parseNumber(QLatin1Char('0') + w.TxtQts->text());
        const std::optional<double> vas = kelvane::parseNumber(w.TxtVas->text());
        const auto fault = [](const char *name, double value, QLineEdit *field) {
            return QStringLiteral("results shown for %1 %2 while the Input tab shows \"%3\"")
                .arg(QLatin1String(name), kelvane::generalNumber(value), field->text().left(40));
        };
        if (!w.CmdFrequency->isEnabled())
            return {};
        if (!fs || *fs != w.State.Fs)
            return fault("Fs", w.State.Fs, w.TxtFs);
        if (!qts || *qts != w.State.Qts)
            return fault("Qts", w.State.Qts, w.TxtQts);
        const double groupFactor = w.driverGroup({1}).equivalent.vas;
        if (!vas || *vas * vasFactor[std::max(0, FrmKelvane::selectedIndex(w.OptVas))] * groupFactor != w.State.Vas)
            return fault("Vas", w.State.Vas, w.TxtVas);
        return {};
    }

    // Nothing may be written but bitmaps, designs and curves into the current folder, nothing next
    // to it, and nothing under /tmp through a pasted path.
    QString filesOutsideTheFolder() const
    {
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        if (const QStringList around = QDir(rootDir_).entryList(all); around != QStringList{QFileInfo(workDir_).fileName()})
            return "files written next to the current folder: " + around.join(QLatin1String(", "));
        for (const QFileInfo &fi : QDir(workDir_).entryInfoList(all))
            if (!fi.isFile() || !QStringList{"bmp", "kelvane", "csv", "pdf", "png", "svg"}.contains(fi.suffix()))
                return "unexpected entry in the current folder: " + fi.fileName();
        if (QFileInfo::exists("/tmp/kelvane-monkey-escape") || QFileInfo::exists("/tmp/kelvane-monkey-escape.bmp"))
            return QStringLiteral("a file was written under /tmp through a pasted path");
        return {};
    }

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
    QSet<QString> seenMessages_;
};

// Runs one seed in a fresh temporary folder, with no recent designs; the failure text, or empty.
QString runSeed(quint64 seed, int events, QStringList *trace = nullptr)
{
    QTemporaryDir root;
    const QString work = root.filePath(QStringLiteral("work"));
    const QString before = QDir::currentPath();
    if (!QDir().mkpath(work) || !QDir::setCurrent(work))
        return QStringLiteral("no temporary folder");
    QSettings(QStringLiteral("Kelvane"), QStringLiteral("Kelvane")).clear();
    // The driver library (under the home folder's test data) starts anew for every seed.
    QTemporaryDir home;
    const QByteArray homeBefore = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    const QString failure = Monkey(seed, work, root.path(), trace).run(events);
    qputenv("HOME", homeBefore);
    QDir::setCurrent(before);
    return failure;
}

} // namespace

class TestMonkey : public QObject
{
    Q_OBJECT

private slots:
    // The print events must take the failure path, never reach a real printer.
    void noPrinterIsReachable()
    {
        auto w = freshWindow();
        MessageCatcher catcher;
        act(w.get(), "tab=2; CmdPrintBoxVent");
        settle();
        QCOMPARE(catcher.shown(), "Kelvane: " + Program::PrintProblemText);
    }

    void randomEvents_data()
    {
        QTest::addColumn<quint64>("seed");
        bool ok = false;
        if (const quint64 only = qEnvironmentVariable("KELVANE_MONKEY_SEED").toULongLong(&ok); ok) {
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(only))) << only;
            return;
        }
        for (quint64 seed : FixedSeeds)
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
        const quint64 fresh = QRandomGenerator::system()->generate64() >> 16;
        QTest::newRow(qPrintable(QStringLiteral("fresh seed %1").arg(fresh))) << fresh;
    }
    void randomEvents()
    {
        QFETCH(quint64, seed);
        bool ok = false;
        const int set = qEnvironmentVariable("KELVANE_MONKEY_EVENTS").toInt(&ok);
        const int events = ok && set > 0 ? set : DefaultEvents;
        qInfo("monkey seed %llu, %d events (reproduce with KELVANE_MONKEY_SEED=%llu)", seed, events, seed);
        const QString failure = runSeed(seed, events);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    // The same events give the same screens, messages and graph texts whatever the locale: the C
    // library's (number conversion) and Qt's default one, German and French with a decimal comma.
    void sameUnderEveryLocale()
    {
        const std::string original = std::setlocale(LC_ALL, nullptr);
        const QLocale originalDefault;
        QStringList reference;
        QString failure = runSeed(7, 250, &reference);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        for (const char *name : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
            if (!std::setlocale(LC_ALL, name)) {
                qWarning("locale %s is not installed; scripts/setup.sh test installs it", name);
                continue;
            }
            QLocale::setDefault(QLocale(QString::fromLatin1(name).left(5)));
            QStringList trace;
            failure = runSeed(7, 250, &trace);
            std::setlocale(LC_ALL, original.c_str());
            QLocale::setDefault(originalDefault);
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
            QCOMPARE(trace.size(), reference.size());
            for (int i = 0; i < trace.size(); ++i)
                QVERIFY2(trace.at(i) == reference.at(i), qPrintable(QStringLiteral("%1: after \"%2\" the window differs from the C locale")
                                                                         .arg(QLatin1String(name), reference.at(i - i % 2))));
        }
    }
};

// No printer may be reachable: the CUPS client is pointed at a socket that does not exist and the
// default destinations are removed, all before the application (and its print plugin) starts. The
// recent designs and the file dialogs' settings go to a folder of this run only.
int main(int argc, char **argv)
{
    qputenv("CUPS_SERVER", "/nonexistent/kelvane-monkey-no-cups.sock");
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    QTemporaryDir settings;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    TestMonkey test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_monkey.moc"
