// SPDX-License-Identifier: GPL-3.0-or-later
// A seeded, bounded random run of the real window (a "monkey"); the event kinds and the checks
// after every event are the class Monkey (Monkey.h, Monkey.cpp, MonkeyEvents.cpp).
//
// Every run uses a fixed set of seeds plus one fresh seed, all printed. To reproduce a failure:
//   KELVANE_MONKEY_SEED=<seed> tst_monkey        runs only that seed
//   KELVANE_MONKEY_EVENTS=<n> tst_monkey         sets the number of events per seed
// No printer is reachable in this program (see main below), so every print takes its failure path.

#include "Monkey.h"

using namespace testsupport;
using monkey::Monkey;

namespace {

constexpr quint64 FixedSeeds[] = {1, 20261206, 0x5eedf00dULL};
constexpr int DefaultEvents = 1200;

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

// The offscreen platform warns that it cannot raise a window or pass on its size hints, and the PDF
// writer about every font it cannot shape: thousands of lines in a run, which would bury the lines
// of a failure. Everything else reaches the test log.
QtMessageHandler testLog = nullptr;
void dropPlatformNoise(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && (text.startsWith(QLatin1String("This plugin does not support ")) || text.contains(QLatin1String("OpenType support missing"))))
        return;
    testLog(type, context, text);
}

} // namespace

class TestMonkey : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testLog = qInstallMessageHandler(dropPlatformNoise); }

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
