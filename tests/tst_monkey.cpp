// A seeded, bounded random run of the real window (a "monkey"): thousands of user events drawn from
// typing, pasting any characters, Enter in every field, clicks on every enabled button and option,
// tab switches, mouse moves over every picture, the About window, saving and printing, saving,
// opening and exporting design files (good ones, damaged ones, missing ones). After each event the
// window must still answer, show no "nan" or "inf", have shown only the program's own messages,
// have written nothing but bitmaps, designs and curves into the current folder, and show results
// that belong to the driver data on screen.
//
// Every run uses a fixed set of seeds plus one fresh seed, all printed. To reproduce a failure:
//   KELVANE_MONKEY_SEED=<seed> tst_monkey        runs only that seed
//   KELVANE_MONKEY_EVENTS=<n> tst_monkey         sets the number of events per seed
// No printer is reachable in this program (see main below), so every print takes its failure path.

#include "TestSupport.h"
#include "common/NumberText.h"
#include "design/DesignFile.h"
#include "driver/Program.h"
#include "graphs/GraphPicture.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include <atomic>
#include <clocale>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <random>
#include <thread>

using namespace testsupport;

namespace {

// Fixed seeds run every time; one fresh seed is added per run.
constexpr quint64 FixedSeeds[] = {1, 20261206, 0x5eedf00dULL};
constexpr int DefaultEvents = 1200;
// A generous bound for one event: anything longer is a hang, not slowness.
constexpr int HangBoundSeconds = 10;

// Aborts the whole program when one event runs past the bound: a hang in the window's thread
// cannot be detected from that thread.
class Watchdog
{
public:
    Watchdog() : thread_([this] { watch(); }) {}
    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void arm(const std::string &what)
    {
        std::lock_guard lock(mutex_);
        what_ = what;
        deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(HangBoundSeconds);
        armed_ = true;
    }
    void disarm()
    {
        std::lock_guard lock(mutex_);
        armed_ = false;
    }

private:
    void watch()
    {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            wake_.wait_for(lock, std::chrono::milliseconds(200));
            if (armed_ && std::chrono::steady_clock::now() > deadline_) {
                std::fprintf(stderr, "FAIL: event did not finish within %d s: %s\n", HangBoundSeconds,
                             what_.c_str());
                std::fflush(stderr);
                std::abort();
            }
        }
    }
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string what_;
    std::chrono::steady_clock::time_point deadline_;
    bool armed_ = false;
    bool stop_ = false;
    std::thread thread_;
};

// Answers every modal window as it appears: message boxes with OK (title and text recorded),
// any other dialog (the About window) with reject(); open popup menus are closed.
class ModalCloser
{
public:
    ModalCloser()
    {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }
    QList<Message> takeMessages() { return std::exchange(messages_, {}); }
    QStringList takeDialogs() { return std::exchange(dialogs_, {}); }

private:
    void poll()
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == answered_)
            return;
        answered_ = modal;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            messages_.append({box->windowTitle(), box->text()});
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->done(0);
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            // The file dialogs of the File menu are cancelled like any other dialog.
            dialogs_ << dialog->objectName();
            dialog->reject();
        } else {
            dialogs_ << modal->objectName();
            modal->close();
        }
    }
    QTimer timer_;
    QPointer<QWidget> answered_;
    QList<Message> messages_;
    QStringList dialogs_;
};

// The messages the program may show: the fixed texts, each with its own title.
QList<Message> allowedMessages()
{
    const QString error = QStringLiteral("Error");
    return {
        {error, Program::NumberErrorText},
        {error, Program::MoreDataNeededText},
        {error, Program::UnusualValueText},
        {error, Program::FsLimitText},
        {error, Program::QtcErrorText},
        {QStringLiteral("Kelvane"), Program::PrintProblemText}, // the box-and-vent report
        {error, Program::PrintProblemText},                      // either graph
    };
}

// The messages of design files: a file that cannot be opened (with its reason), a save that
// failed, and the question before unsaved changes are dropped.
bool isDesignMessage(const Message &m)
{
    static const QRegularExpression error(QStringLiteral(
        "^The design could not be opened from .+: .+\\.$|^The (design|curves) could not be saved to .+\\.$"));
    static const QRegularExpression question(QStringLiteral("^Do you want to save the changes to .+\\?$"));
    return (m.title == QLatin1String("Error") && error.match(m.text).hasMatch())
           || (m.title == QLatin1String("Kelvane") && question.match(m.text).hasMatch());
}

// Names the random run saves designs under, opens them from and exports curves to, all relative to
// its own folder; "missing/" is a folder that does not exist, "junk" a file the run damages.
const char *const DesignNames[] = {"a.kelvane", "b.kelvane", "junk.kelvane", "missing.kelvane",
                                   "missing/c.kelvane"};

// Numbers a user might try: ordinary, tiny, huge, at the edges of the plausible ranges.
const char *const InterestingNumbers[] = {
    "0", "00", ".", "0.", ".0", "1", "2", "7", "10", "20", "30", "50", "100", "101", "200", "499",
    "500", "500.0001", "501", "1000", "0.1", "0.2", "0.35", "0.4", "0.5", "0.5647", "0.7", "0.707",
    "0.7071", "0.71", "0.9", "1.2", "1.5", "1.9", "2.5", "3", "6", "8", "9.99", "12", "25.4", "38",
    "0.0000001", "0.0001", "0.00000000000000000001", "99999999999", "1e308", "1E308", "1e-308",
    "179769313486231570000000000000000000000000000000000000000000000000000000000000000000000000000"
    "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
    "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
    "00000000000000000000000000000000000000000000000000000000000000000",
    "999999999999999999999999999999", "1.2.3", "..", "0.000", "007", "3.14159265358979323846",
};

// Texts pasted as they are (the key filters never see pasted text).
const char *const InterestingPastes[] = {
    "nan", "NaN", "inf", "-inf", "Infinity", "1e308", "-1", "-0", "+5", " 5", "5 ", "1,5", "0x10",
    "1e400", "../escape", "../../escape", "/tmp/kelvane-monkey-escape", "a/b", "..", ".", "",
    "con", "name.bmp", "*", "?", "~", "$HOME", "%s%s%s%n", "\\\\server\\share", "line\nbreak",
    "tab\there", "\xc3\xa9\xc3\xa8\xe2\x82\xac", "\xe4\xb8\xad\xe6\x96\x87", "\xf0\x9f\x94\x8a",
    "\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7", "12\xe2\x80\xaf" "5", "\xef\xbc\x95",
};

class Monkey
{
public:
    Monkey(quint64 seed, const QString &workDir, const QString &rootDir, Watchdog &watchdog)
        : rng_(seed), seed_(seed), workDir_(workDir), rootDir_(rootDir), watchdog_(watchdog)
    {
    }

    // With a trace, everything the window shows is appended to it after every event.
    void setTrace(QStringList *trace) { trace_ = trace; }

    // Runs the events; an empty result means every check held.
    QString run(int events)
    {
        newWindow();
        for (int n = 0; n < events; ++n) {
            const QString what = nextEvent();
            const std::string label = QStringLiteral("seed %1 event %2: %3")
                                          .arg(seed_).arg(n).arg(what).toStdString();
            watchdog_.arm(label);
            perform();
            settleEvents();
            watchdog_.disarm();
            remember(QStringLiteral("%1: %2").arg(n).arg(what));
            if (trace_)
                *trace_ << what << snapshot();
            if (const QString fault = check(); !fault.isEmpty())
                return QStringLiteral("seed %1, event %2 (%3): %4\nlast events:\n  %5")
                    .arg(seed_).arg(n).arg(what, fault, history_.join(QStringLiteral("\n  ")));
            if (what == QLatin1String("click CmdCalculateCrossover") && lastMessages_.isEmpty())
                ++crossoversCalculated_;
            if (!window_ || !window_->isVisible())
                newWindow();
        }
        window_.reset();
        // What the run reached, so a change that starves some path shows in the log.
        QStringList seen;
        for (auto it = seenMessages_.cbegin(); it != seenMessages_.cend(); ++it)
            seen << QStringLiteral("%1 x \"%2\"").arg(it.value()).arg(it.key().left(45));
        qInfo("seed %llu: %d bitmaps saved, %d crossovers calculated; messages: %s", seed_,
              int(QDir(workDir_).entryList(QDir::Files).size()), crossoversCalculated_,
              qPrintable(seen.join(QLatin1String(", "))));
        return {};
    }

private:
    // ---- Random choices (plain modulo arithmetic: the same on every platform) ----
    quint64 next() { return rng_(); }
    int below(int n) { return n <= 1 ? 0 : int(next() % quint64(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    T pick(const QList<T> &list) { return list.at(below(int(list.size()))); }

    QString randomDigits(int length)
    {
        QString s;
        for (int i = 0; i < length; ++i)
            s += QChar(u'0' + below(10));
        return s;
    }

    // A text typed key by key: mostly numbers, sometimes letters and symbols the filters reject.
    QString typedText()
    {
        switch (below(6)) {
        case 0: case 1:
            return QString::fromLatin1(InterestingNumbers[below(int(std::size(InterestingNumbers)))]);
        case 2:
            return randomDigits(1 + below(4)) + (chance(60) ? QStringLiteral(".") + randomDigits(below(5)) : QString());
        case 3:
            return QStringLiteral("0.") + randomDigits(1 + below(3));
        case 4:
            return randomDigits(20 + below(300));
        default: {
            QString s;
            const int length = 1 + below(12);
            for (int i = 0; i < length; ++i)
                s += QChar(char16_t(32 + below(95)));
            return s;
        }
        }
    }

    // A pasted text: any characters, including control characters and very long texts.
    QString pastedText()
    {
        switch (below(5)) {
        case 0:
            return QString::fromUtf8(InterestingPastes[below(int(std::size(InterestingPastes)))]);
        case 1:
            return typedText();
        case 2: {
            QString s;
            const int length = 1 + below(40);
            for (int i = 0; i < length; ++i) {
                const int kind = below(4);
                if (kind == 0)
                    s += QChar(char16_t(below(32)));
                else if (kind == 1)
                    s += QChar(char16_t(0xa0 + below(0x2f00)));
                else
                    s += QChar(char16_t(32 + below(95)));
            }
            return s;
        }
        case 3:
            return randomDigits(1000 + below(20000));
        default:
            return QString(1 + below(5000), QChar(char16_t(32 + below(95))));
        }
    }

    QWidget *currentPage() const { return window_->SSTab->currentWidget(); }

    template <typename T>
    QList<T *> usable(QWidget *root) const
    {
        QList<T *> out;
        for (T *w : root->findChildren<T *>())
            if (w->isVisible() && w->isEnabled())
                out << w;
        return out;
    }

    QList<QLineEdit *> editableFields() const
    {
        QList<QLineEdit *> out;
        for (QLineEdit *f : usable<QLineEdit>(currentPage()))
            if (!f->isReadOnly())
                out << f;
        return out;
    }

    QList<QPushButton *> clickableButtons() const
    {
        QList<QPushButton *> out;
        for (QPushButton *b : usable<QPushButton>(currentPage()))
            if (!b->objectName().startsWith(QLatin1String("CmdExit")))
                out << b;
        return out;
    }

    // ---- Events: nextEvent draws one and describes it, perform carries it out ----
    QString nextEvent()
    {
        action_ = {};
        const int roll = below(100);
        const QList<QLineEdit *> fields = editableFields();
        if (roll < 30 && !fields.isEmpty()) {
            QLineEdit *f = pick(fields);
            const QString text = typedText();
            const bool enter = chance(75);
            action_ = [this, f, text, enter] {
                f->setFocus(Qt::OtherFocusReason);
                typeInto(f, text, enter);
            };
            return QStringLiteral("type %1 into %2%3").arg(shown(text), f->objectName(),
                                                           enter ? QStringLiteral(" + Enter") : QString());
        }
        if (roll < 40 && !fields.isEmpty()) {
            QLineEdit *f = pick(fields);
            const QString text = pastedText();
            const bool enter = chance(60);
            action_ = [this, f, text, enter] {
                f->setFocus(Qt::OtherFocusReason);
                f->selectAll();
                QGuiApplication::clipboard()->setText(text);
                QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
                if (enter)
                    QTest::keyClick(f, Qt::Key_Return);
            };
            return QStringLiteral("paste %1 into %2%3").arg(shown(text), f->objectName(),
                                                            enter ? QStringLiteral(" + Enter") : QString());
        }
        if (roll < 50 && !fields.isEmpty()) {
            QLineEdit *f = pick(fields);
            action_ = [f] {
                f->setFocus(Qt::OtherFocusReason);
                QTest::keyClick(f, Qt::Key_Return);
            };
            return QStringLiteral("Enter in %1").arg(f->objectName());
        }
        if (roll < 55 && !fields.isEmpty()) {
            QLineEdit *f = pick(fields);
            action_ = [f] { QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(4, f->height() / 2)); };
            return QStringLiteral("click into %1").arg(f->objectName());
        }
        if (roll < 62) {
            // A key on whatever has the focus; letters only the Vas options take as shortcuts.
            static const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Backspace, Qt::Key_Delete,
                                           Qt::Key_Space, Qt::Key_Escape, Qt::Key_Return, Qt::Key_Left,
                                           Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home,
                                           Qt::Key_End, Qt::Key_F, Qt::Key_L, Qt::Key_M};
            const Qt::Key key = keys[below(int(std::size(keys)))];
            action_ = [this, key] {
                QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window_.get();
                QTest::keyClick(target, key);
            };
            return QStringLiteral("key %1 on the focus").arg(int(key), 0, 16);
        }
        if (roll < 80) {
            const QList<QPushButton *> buttons = clickableButtons();
            if (!buttons.isEmpty()) {
                QPushButton *b = pick(buttons);
                action_ = [b] { QTest::mouseClick(b, Qt::LeftButton); };
                return QStringLiteral("click %1").arg(b->objectName());
            }
        }
        if (roll < 88) {
            const QList<QRadioButton *> options = usable<QRadioButton>(currentPage());
            if (!options.isEmpty()) {
                QRadioButton *o = pick(options);
                action_ = [o] { QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(6, o->height() / 2)); };
                return QStringLiteral("click %1").arg(o->objectName());
            }
        }
        if (roll < 91) {
            const int tab = below(window_->SSTab->count());
            action_ = [this, tab] {
                QTabBar *bar = window_->SSTab->tabBar();
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
            };
            return QStringLiteral("tab %1").arg(tab);
        }
        if (roll < 95) {
            GraphPicture *picture = currentGraph();
            if (picture) {
                const int moves = 1 + below(8);
                QList<QPoint> points;
                for (int i = 0; i < moves; ++i) {
                    // Edges and corners as well as anywhere inside.
                    const int x = chance(20) ? (chance(50) ? 0 : picture->width() - 1) : below(picture->width());
                    const int y = chance(20) ? (chance(50) ? 0 : picture->height() - 1) : below(picture->height());
                    points << QPoint(x, y);
                }
                action_ = [picture, points] {
                    for (const QPoint &p : points) {
                        QMouseEvent move(QEvent::MouseMove, QPointF(p), picture->mapToGlobal(QPointF(p)),
                                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                        QApplication::sendEvent(picture, &move);
                    }
                };
                return QStringLiteral("%1 mouse moves over %2").arg(moves).arg(picture->objectName());
            }
        }
        if (roll < 99)
            return designFileEvent();
        action_ = [this] { window_->MnuAbout->trigger(); };
        return QStringLiteral("Help > About");
    }

    QString designFileEvent()
    {
        const QString name = QLatin1String(DesignNames[below(int(std::size(DesignNames)))]);
        switch (below(8)) {
        case 0: case 1:
            action_ = [this, name] { window_->saveDesign(name); };
            return QStringLiteral("save design %1").arg(name);
        case 2: case 3:
            action_ = [this, name] { openWithFileTexts(name, [this, name] { window_->openDesign(name); }); };
            return QStringLiteral("open design %1").arg(name);
        case 4: {
            // A damaged design: cut short, one byte changed, or any text at all.
            const int kind = below(3);
            const quint64 where = next();
            const QString text = pastedText();
            action_ = [kind, where, text] {
                QFile good(QStringLiteral("a.kelvane"));
                QByteArray bytes = good.open(QIODevice::ReadOnly) ? good.readAll() : QByteArray();
                if (kind == 0)
                    bytes.truncate(bytes.isEmpty() ? 0 : int(where % quint64(bytes.size())));
                else if (kind == 1 && !bytes.isEmpty())
                    bytes[int(where % quint64(bytes.size()))] = char(where >> 32);
                else
                    bytes = text.toUtf8();
                QFile junk(QStringLiteral("junk.kelvane"));
                if (junk.open(QIODevice::WriteOnly))
                    junk.write(bytes);
            };
            return QStringLiteral("damage junk.kelvane (%1)").arg(kind);
        }
        case 5: {
            const QString file = chance(80) ? QStringLiteral("curves.csv") : QStringLiteral("missing/curves.csv");
            action_ = [this, file] { window_->exportCurves(file); };
            return QStringLiteral("export curves to %1").arg(file);
        }
        case 6: {
            const QList<QAction *> recent = window_->MnuOpenRecent->actions();
            if (!recent.isEmpty()) {
                const int index = below(int(recent.size()));
                QAction *a = recent.at(index);
                action_ = [this, a, index] {
                    openWithFileTexts(window_->recentDesigns().value(index), [a] { a->trigger(); });
                };
                return QStringLiteral("open recent %1").arg(a->objectName());
            }
            [[fallthrough]];
        }
        default: {
            // The menu items themselves: the question, the file dialogs (cancelled), Save.
            QAction *const items[] = {window_->MnuNew, window_->MnuOpen, window_->MnuSave, window_->MnuSaveAs,
                                      window_->MnuExportCurves};
            QAction *a = items[below(int(std::size(items)))];
            action_ = [a] { a->trigger(); };
            return QStringLiteral("File > %1").arg(a->objectName());
        }
        }
    }

    // The texts a design file holds were typed by a user too, so they may spell "nan" as well: a
    // field showing the text of the file it was opened from counts as typed.
    void openWithFileTexts(const QString &path, const std::function<void()> &open)
    {
        const kelvane::design::ReadResult read = kelvane::design::readFile(path);
        open();
        if (!read.ok() || !window_)
            return;
        for (std::size_t i = 0; i < kelvane::design::TextFields.size(); ++i)
            if (auto *f = window_->findChild<QLineEdit *>(QLatin1String(kelvane::design::TextFields[i].name)))
                if (f->text() == read.design.texts[i])
                    userText_[f] = read.design.texts[i];
    }

    GraphPicture *currentGraph() const
    {
        const int tab = window_->SSTab->currentIndex();
        if (tab == FrmKelvane::TabFrequency)
            return window_->PicFrequency;
        if (tab == FrmKelvane::TabDisplacement)
            return window_->PicDisplacementLimit;
        if (tab == FrmKelvane::TabCrossover)
            return window_->Picture1;
        if (tab == FrmKelvane::TabCrossoverPlans)
            return window_->PicCrossoverPlan;
        return nullptr;
    }

    static QString shown(const QString &text)
    {
        QString s = text.left(40);
        for (QChar &c : s)
            if (c.unicode() < 32)
                c = u'?';
        return QLatin1Char('"') + s + (text.size() > 40 ? QStringLiteral("...\" (%1 chars)").arg(text.size())
                                                          : QStringLiteral("\""));
    }

    void perform() { action_(); }

    // Queued keystrokes (the Tab after Enter) and zero timers run before the checks.
    static void settleEvents()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    void remember(const QString &what)
    {
        history_ << what;
        if (history_.size() > 25)
            history_.removeFirst();
    }

    void newWindow()
    {
        window_.reset();
        userText_.clear();
        window_ = std::make_unique<FrmKelvane>();
        window_->activateWindow();
        // A text the user typed or pasted may spell "nan" or "inf" itself; only texts the program
        // wrote are held to the rule.
        for (QLineEdit *f : window_->findChildren<QLineEdit *>())
            QObject::connect(f, &QLineEdit::textEdited, [this, f](const QString &t) { userText_[f] = t; });
    }

    // Every caption, field text, message and graph text, in a fixed order.
    QString snapshot()
    {
        QStringList out;
        if (window_) {
            out << QString::number(window_->SSTab->currentIndex());
            for (QLabel *l : window_->findChildren<QLabel *>())
                out << l->text();
            for (QLineEdit *e : window_->findChildren<QLineEdit *>())
                out << e->text();
            for (QPushButton *b : window_->findChildren<QPushButton *>())
                out << (b->isEnabled() ? QStringLiteral("on") : QStringLiteral("off"));
            for (GraphPicture *picture : pictures())
                out << picture->texts();
        }
        // The run's folder has another name in every run.
        for (const Message &m : lastMessages_)
            out << m.title << QString(m.text).replace(workDir_, QStringLiteral("<folder>"));
        return out.join(QLatin1Char('|'));
    }

    // ---- Checks after every event ----
    QString check()
    {
        if (QWidget *modal = QApplication::activeModalWidget())
            return QStringLiteral("a modal window stayed open: %1").arg(modal->windowTitle());

        lastMessages_ = closer_.takeMessages();
        for (const Message &m : lastMessages_)
            ++seenMessages_[m.text.startsWith(QLatin1String("The image could not be saved"))
                                ? QStringLiteral("The image could not be saved to ...")
                                : m.text];
        for (const Message &m : lastMessages_)
            if (!allowedMessages().contains(m) && !isSaveFailure(m) && !isDesignMessage(m))
                return QStringLiteral("unknown message \"%1\" titled \"%2\"").arg(m.text, m.title);
        static const QStringList dialogs = {QStringLiteral("frmAbout"), QStringLiteral("DlgOpenDesign"),
                                            QStringLiteral("DlgSaveDesign"), QStringLiteral("DlgExportCurves")};
        for (const QString &dialog : closer_.takeDialogs())
            if (!dialogs.contains(dialog))
                return QStringLiteral("unexpected dialog %1").arg(dialog);

        if (window_) {
            if (const QString fault = nonFiniteOnScreen(); !fault.isEmpty())
                return fault;
            if (const QString fault = resultsOfOtherData(); !fault.isEmpty())
                return fault;
        }
        return filesOutsideTheFolder();
    }

    // Every drawing surface of the window: both graphs, the crossover's response and its plan.
    QList<GraphPicture *> pictures() const
    {
        return {window_->PicFrequency, window_->PicDisplacementLimit, window_->Picture1, window_->PicCrossoverPlan};
    }

    // "The image could not be saved to <file>." names the bitmap of either graph or of the
    // crossover plan, after the driver or, for an unnamed driver, after the picture.
    bool isSaveFailure(const Message &m) const
    {
        if (m.title != QLatin1String("Error") || !window_)
            return false;
        const QString name = window_->DriverName;
        for (const auto &[placeholder, suffix] : {std::pair{"FrequencyResponse", "Frequency"},
                                                   std::pair{"PowerResponse", "Limits"},
                                                   std::pair{"Crossover", "Plan"}}) {
            const QString file = (name.isEmpty() ? QLatin1String(placeholder) : name) + QLatin1String(suffix)
                                 + QStringLiteral(".bmp");
            if (m.text == QStringLiteral("The image could not be saved to ") + file + QLatin1Char('.'))
                return true;
        }
        return false;
    }

    QString nonFiniteOnScreen()
    {
        // "nan", "inf", "-nan", "infinity" as words of their own ("Resonance" is fine).
        static const QRegularExpression bad(QStringLiteral("(?<![a-z])(nan|inf)"),
                                            QRegularExpression::CaseInsensitiveOption);
        const auto flag = [](const QObject *o, const QString &text) {
            return bad.match(text).hasMatch()
                       ? QStringLiteral("%1 shows \"%2\"").arg(o->objectName(), text.left(60))
                       : QString();
        };
        for (QLabel *l : window_->findChildren<QLabel *>())
            if (QString f = flag(l, l->text()); !f.isEmpty())
                return f;
        for (QLineEdit *e : window_->findChildren<QLineEdit *>()) {
            if (userText_.value(e, QString()) == e->text() && userText_.contains(e))
                continue;
            if (QString f = flag(e, e->text()); !f.isEmpty())
                return f;
        }
        for (QAbstractButton *b : window_->findChildren<QAbstractButton *>())
            if (QString f = flag(b, b->text()); !f.isEmpty())
                return f;
        for (QGroupBox *g : window_->findChildren<QGroupBox *>())
            if (QString f = flag(g, g->title()); !f.isEmpty())
                return f;
        for (int i = 0; i < window_->SSTab->count(); ++i)
            if (QString f = flag(window_->SSTab, window_->SSTab->tabText(i)); !f.isEmpty())
                return f;
        if (QString f = flag(window_.get(), window_->windowTitle()); !f.isEmpty())
            return f;
        // The texts drawn on every picture; the driver's name rows show what the user typed.
        const QString driverRow = QStringLiteral("                  Driver:  ") + window_->DriverName;
        const QString planDriverRow = QStringLiteral("Driver:  ") + window_->DriverName;
        for (GraphPicture *picture : pictures())
            for (const QString &text : picture->texts())
                if (text != driverRow && text != planDriverRow)
                    if (QString f = flag(picture, text); !f.isEmpty())
                        return f;

        // A non-finite value kept in the window would reach the screen with the next caption.
        const FrmKelvane &w = *window_;
        const std::pair<const char *, double> values[] = {
            {"Fs", w.Fs}, {"Qts", w.Qts}, {"Qes", w.Qes}, {"Qms", w.Qms}, {"Vas", w.Vas}, {"Qtc", w.Qtc},
            {"Power", w.Power}, {"Vd", w.Vd}, {"Sd", w.Sd}, {"Dia", w.Dia}, {"Xmax", w.Xmax},
            {"VCHeight", w.VCHeight}, {"VCGap", w.VCGap}, {"Re", w.Re}, {"Z", w.Z},
            {"AddVolume", w.AddVolume}, {"PercentOverVolume", w.PercentOverVolume},
            {"Efficiency", w.Efficiency}, {"SPL", w.SPL}, {"EBP", w.EBP}, {"VbSealed", w.VbSealed},
            {"Alpha", w.Alpha}, {"Fc", w.Fc}, {"F3Sealed", w.F3Sealed}, {"PeakdBSealed", w.PeakdBSealed},
            {"PeakFreqSealed", w.PeakFreqSealed}, {"VbVented", w.VbVented}, {"Fb", w.Fb},
            {"Qloss", w.Qloss}, {"F3Vented", w.F3Vented}, {"PeakdBVented", w.PeakdBVented},
            {"PeakFreqVented", w.PeakFreqVented}, {"VbSealedBuild", w.VbSealedBuild},
            {"VbVentedBuild", w.VbVentedBuild}, {"VbVentedCuIn", w.VbVentedCuIn},
            {"DepthSealedA", w.DepthSealedA}, {"DepthVentedA", w.DepthVentedA},
            {"AcousticPowerMax", w.AcousticPowerMax}, {"SPLMax", w.SPLMax},
            {"VentVd", w.VentVd}, {"MinVentDia", w.MinVentDia},
            {"TweeterFs", w.TweeterFs}, {"TweeterZ", w.TweeterZ}, {"WooferXover", w.WooferXover},
            {"TweeterXover", w.TweeterXover},
        };
        for (const auto &[name, value] : values)
            if (!std::isfinite(value))
                return QStringLiteral("the window keeps a non-finite %1").arg(QLatin1String(name));
        for (std::size_t k = 0; k < w.VentLength.size(); ++k)
            if (!std::isfinite(w.VentLength[k]) || !std::isfinite(w.VentDia[k])
                || (k < w.VentSpeed.size() && !std::isfinite(w.VentSpeed[k])))
                return QStringLiteral("the window keeps a non-finite vent %1").arg(k);
        for (int f = 10; f <= 500; ++f)
            if (!std::isfinite(w.VentedResponse[f]) || !std::isfinite(w.SealedResponse[f])
                || !std::isfinite(w.PaSealed[f]) || !std::isfinite(w.PaVented[f])
                || !std::isfinite(w.SPLSealedLimit[f]) || !std::isfinite(w.SPLVentedLimit[f]))
                return QStringLiteral("a curve holds a non-finite value at %1 Hz").arg(f);
        return {};
    }

    // While the graph buttons are enabled the results are valid: they must belong to the Fs, Qts
    // and Vas the Input tab shows.
    QString resultsOfOtherData()
    {
        const FrmKelvane &w = *window_;
        if (!w.CmdFrequency->isEnabled())
            return {};
        static const double VasFactor[3] = {1.0, 0.0353145, 35.3145};
        const std::optional<double> fs = kelvane::parseNumber(w.TxtFs->text());
        const std::optional<double> qts = kelvane::parseNumber(QLatin1Char('0') + w.TxtQts->text());
        const std::optional<double> vas = kelvane::parseNumber(w.TxtVas->text());
        const int unit = std::max(0, FrmKelvane::selectedIndex(w.OptVas));
        if (!fs || *fs != w.Fs)
            return QStringLiteral("results shown for Fs %1 while the Input tab shows \"%2\"")
                .arg(kelvane::generalNumber(w.Fs), w.TxtFs->text().left(40));
        if (!qts || *qts != w.Qts)
            return QStringLiteral("results shown for Qts %1 while the Input tab shows \"%2\"")
                .arg(kelvane::generalNumber(w.Qts), w.TxtQts->text().left(40));
        if (!vas || *vas * VasFactor[unit] != w.Vas)
            return QStringLiteral("results shown for Vas %1 while the Input tab shows \"%2\"")
                .arg(kelvane::generalNumber(w.Vas), w.TxtVas->text().left(40));
        return {};
    }

    // Nothing may be written but bitmaps, designs and curves into the current folder, and nothing
    // next to it.
    QString filesOutsideTheFolder()
    {
        const QStringList around = QDir(rootDir_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                             | QDir::NoDotAndDotDot);
        if (around != QStringList{QFileInfo(workDir_).fileName()})
            return QStringLiteral("files written next to the current folder: %1").arg(around.join(QLatin1String(", ")));
        const QFileInfoList inside = QDir(workDir_).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                                  | QDir::NoDotAndDotDot);
        for (const QFileInfo &fi : inside)
            if (!fi.isFile() || !QStringList{"bmp", "kelvane", "csv"}.contains(fi.suffix()))
                return QStringLiteral("unexpected entry in the current folder: %1").arg(fi.fileName());
        if (QFileInfo::exists(QStringLiteral("/tmp/kelvane-monkey-escape"))
            || QFileInfo::exists(QStringLiteral("/tmp/kelvane-monkey-escape.bmp")))
            return QStringLiteral("a file was written under /tmp through a pasted path");
        return {};
    }

    std::mt19937_64 rng_;
    quint64 seed_;
    QString workDir_, rootDir_;
    Watchdog &watchdog_;
    ModalCloser closer_;
    std::unique_ptr<FrmKelvane> window_;
    QHash<QLineEdit *, QString> userText_;
    std::function<void()> action_;
    QStringList history_;
    QList<Message> lastMessages_;
    QMap<QString, int> seenMessages_;
    int crossoversCalculated_ = 0;
    QStringList *trace_ = nullptr;
};

} // namespace

namespace {

// Runs one seed in a fresh temporary folder; the failure text, or empty.
QString runSeed(quint64 seed, int events, QStringList *trace = nullptr)
{
    QTemporaryDir root;
    if (!root.isValid())
        return QStringLiteral("no temporary folder");
    const QString work = root.filePath(QStringLiteral("work"));
    QDir().mkpath(work);
    const QString before = QDir::currentPath();
    QDir::setCurrent(work);
    // Every run starts with no recent designs, so runs of one seed stay alike.
    QSettings(QStringLiteral("Kelvane"), QStringLiteral("Kelvane")).clear();
    Watchdog watchdog;
    QString failure;
    {
        Monkey monkey(seed, work, root.path(), watchdog);
        monkey.setTrace(trace);
        failure = monkey.run(events);
    }
    QDir::setCurrent(before);
    return failure;
}

} // namespace

class TestMonkey : public QObject
{
    Q_OBJECT

private slots:
    void noPrinterIsReachable();
    void randomEvents_data();
    void randomEvents();
    void sameUnderEveryLocale();
};

void TestMonkey::noPrinterIsReachable()
{
    // The print events below must take the failure path, never reach a real printer.
    auto w = freshWindow();
    MessageCatcher catcher;
    QTest::mouseClick(w->SSTab->tabBar(), Qt::LeftButton, {},
                      w->SSTab->tabBar()->tabRect(FrmKelvane::TabBoxVent).center());
    QTest::mouseClick(w->CmdPrintBoxVent, Qt::LeftButton);
    settle();
    QCOMPARE(catcher.shown(), "Kelvane: " + Program::PrintProblemText);
}

void TestMonkey::randomEvents_data()
{
    QTest::addColumn<quint64>("seed");
    bool ok = false;
    const quint64 only = qEnvironmentVariable("KELVANE_MONKEY_SEED").toULongLong(&ok);
    if (ok) {
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(only))) << only;
        return;
    }
    for (quint64 seed : FixedSeeds)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    const quint64 fresh = QRandomGenerator::system()->generate64() >> 16;
    QTest::newRow(qPrintable(QStringLiteral("fresh seed %1").arg(fresh))) << fresh;
}

void TestMonkey::randomEvents()
{
    QFETCH(quint64, seed);
    bool ok = false;
    int events = qEnvironmentVariable("KELVANE_MONKEY_EVENTS").toInt(&ok);
    if (!ok || events <= 0)
        events = DefaultEvents;
    qInfo("monkey seed %llu, %d events (reproduce with KELVANE_MONKEY_SEED=%llu)", seed, events, seed);

    const QString failure = runSeed(seed, events);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void TestMonkey::sameUnderEveryLocale()
{
    // The same events give the same screens, messages and graph texts whatever the locale: the C
    // library's (number conversion) and Qt's default one, German and French with a decimal comma.
    const quint64 seed = 7;
    const int events = 250;
    const std::string original = std::setlocale(LC_ALL, nullptr);
    const QLocale originalDefault;
    QStringList reference;
    QString failure = runSeed(seed, events, &reference);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    for (const char *name : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
        if (!std::setlocale(LC_ALL, name)) {
            qWarning("locale %s is not installed; scripts/setup.sh test installs it", name);
            continue;
        }
        QLocale::setDefault(QLocale(QString::fromLatin1(name).left(5)));
        QStringList trace;
        failure = runSeed(seed, events, &trace);
        std::setlocale(LC_ALL, original.c_str());
        QLocale::setDefault(originalDefault);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(trace.size(), reference.size());
        for (int i = 0; i < trace.size(); ++i)
            QVERIFY2(trace.at(i) == reference.at(i),
                     qPrintable(QStringLiteral("%1: after \"%2\" the window differs from the C locale")
                                    .arg(QLatin1String(name), reference.at(i - i % 2))));
    }
}

// No printer may be reachable: the CUPS client is pointed at a socket that does not exist and the
// default destinations are removed, all before the application (and its print plugin) starts.
int main(int argc, char **argv)
{
    qputenv("CUPS_SERVER", "/nonexistent/kelvane-monkey-no-cups.sock");
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    // The recent designs and the file dialogs' settings go to a folder of this run only.
    QTemporaryDir settings;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    TestMonkey test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_monkey.moc"
