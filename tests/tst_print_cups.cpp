// "Print" on the "Box and Vent" tab through the system's real print service (CUPS): the report
// reaches a real print queue as one document, and with no reachable printer the user is told so
// and nothing else changes.
//
// The queue is set up by tests/print_queue.sh (run as ctest fixture): it writes each job to a PDF
// file, which is read back with pdftotext. Without CUPS or the queue the success path skips.

#include "TestSupport.h"
#include "boxvent/Report.h"
#include "boxvent/ReportLines.h"
#include "driver/Program.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QThread>

using namespace testsupport;
using namespace kelvane::boxvent;

namespace {

QString envOr(const char *name, const QString &fallback)
{
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? fallback : v;
}

const QString Queue = envOr("KELVANE_PRINT_QUEUE", QStringLiteral("KELVANEBOXVENT"));
const QString Output = envOr("KELVANE_PRINT_OUTPUT", QStringLiteral("/tmp/kelvane-boxvent-print.pdf"));

struct Run {
    int exitCode = -1;
    QString out;
};

Run run(const QString &program, const QStringList &args, int timeoutMs = 60000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

bool queueReady()
{
    if (QStandardPaths::findExecutable("lpstat").isEmpty())
        return false;
    const Run r = run("lpstat", {"-r"});
    if (!r.out.contains("is running"))
        return false;
    return run("lpstat", {"-p", Queue}).exitCode == 0;
}

// Lines of the PDF as pdftotext reads them by position, empty lines included; each line with its
// blank runs collapsed (their width depends on the printer's font), page feeds and the final empty
// lines dropped.
QStringList pdfLines(const QString &pdf)
{
    const Run r = run("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"});
    QStringList lines;
    for (QString l : r.out.split(u'\n'))
        lines << l.remove(u'\f').simplified();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// A window with both boxes and the vent table filled as after a calculation.
std::unique_ptr<FrmKelvane> calculatedWindow()
{
    auto w = freshWindow();
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxVent);
    w->OptSealedVolumeBox[0]->setChecked(true);
    w->VbSealed = 2.88;
    w->VbVented = 1;
    w->Fb = 40;
    w->VentLengths();
    w->BoxDimensions();
    typeInto(find<QLineEdit>(w.get(), "TxtVentDia"), "2");
    settle();
    return w;
}

// Everything the user can see on the window, and the values the report reads.
QStringList snapshot(FrmKelvane *w)
{
    QStringList s;
    for (QLabel *l : w->findChildren<QLabel *>())
        s << l->objectName() + '=' + l->text();
    for (QLineEdit *e : w->findChildren<QLineEdit *>())
        s << e->objectName() + '=' + e->text();
    for (QRadioButton *o : w->findChildren<QRadioButton *>())
        s << o->objectName() + '=' + QString::number(o->isChecked());
    s << QString::number(w->SSTab->currentIndex());
    for (double v : w->VentLength)
        s << QString::number(v, 'g', 17);
    for (double v : {w->VbSealedBuild, w->VbVentedBuild, w->DepthSealedA, w->DepthVentedC, w->AddVolume,
                     w->PercentOverVolume})
        s << QString::number(v, 'g', 17);
    return s;
}

} // namespace

class TestPrintCups : public QObject
{
    Q_OBJECT

private slots:
    void reportReachesPrintQueue();
    void noReachablePrinter_data();
    void noReachablePrinter();
    // Runs in a child process started by noReachablePrinter, whose environment hides every printer.
    void unreachableChild();
};

void TestPrintCups::reportReachesPrintQueue()
{
    if (!queueReady())
        QSKIP("no CUPS scheduler with the test queue (tests/print_queue.sh start, as root)");
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    // The queue is this process's default printer (ctest sets this; a run by hand may not).
    if (qEnvironmentVariable("LPDEST").isEmpty())
        qputenv("LPDEST", Queue.toLocal8Bit());
    QCOMPARE(qEnvironmentVariable("LPDEST"), Queue);
    QFile::remove(Output);
    QVERIFY(!QFile::exists(Output));
    const int jobsBefore = run("lpstat", {"-W", "completed", "-o", Queue}).out.count(u'\n');

    MessageCatcher catcher;
    auto w = calculatedWindow();
    const QStringList before = snapshot(w.get());
    const QStringList lines = reportLines(reportInputOf(*w));
    w->CmdPrintBoxVent_Click();
    settle();
    QCOMPARE(catcher.messages().size(), 0);
    QCOMPARE(snapshot(w.get()), before);

    // Wait until the queue has written the job out.
    QDeadlineTimer deadline(120000);
    while (!deadline.hasExpired()) {
        if (QFile::exists(Output) && run("lpstat", {"-o", Queue}).out.trimmed().isEmpty())
            break;
        QThread::msleep(200);
    }
    QVERIFY2(QFile::exists(Output), "the print queue wrote no file");
    QCOMPARE(run("lpstat", {"-W", "completed", "-o", Queue}).out.count(u'\n'), jobsBefore + 1);

    // Every printed line comes back in its place, the empty ones too.
    QStringList expected;
    for (const QString &l : lines)
        expected << l.simplified();
    QCOMPARE(pdfLines(Output), expected);
    QCOMPARE(expected.size(), 35);
}

void TestPrintCups::noReachablePrinter_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("destination");
    // A scheduler socket that nobody listens on.
    QTest::newRow("no print service") << "/tmp/kelvane-no-print-service.sock" << "KELVANENOSUCHQUEUE";
    // With the service up but naming no default of its own, a default queue it does not know.
    if (queueReady() && run("env", {"-u", "LPDEST", "-u", "PRINTER", "lpstat", "-d"}).out.contains("no system default destination"))
        QTest::newRow("default queue unknown to the service") << "" << "KELVANENOSUCHQUEUE";
}

void TestPrintCups::noReachablePrinter()
{
    QFETCH(QString, server);
    QFETCH(QString, destination);
    if (!server.isEmpty())
        QFile::remove(server);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KELVANE_PRINT_CHILD", "1");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("LPDEST", destination);
    env.insert("PRINTER", destination);
    if (server.isEmpty())
        env.remove("CUPS_SERVER");
    else
        env.insert("CUPS_SERVER", server);
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"unreachableChild"});
    QVERIFY(child.waitForFinished(120000));
    const QString out = QString::fromUtf8(child.readAll());
    QVERIFY2(child.exitCode() == 0 && out.contains("PASS   : TestPrintCups::unreachableChild"),
             qPrintable(out));
}

void TestPrintCups::unreachableChild()
{
    if (qEnvironmentVariable("KELVANE_PRINT_CHILD") != "1")
        QSKIP("runs only as the child of noReachablePrinter");
    MessageCatcher catcher;
    auto w = calculatedWindow();
    catcher.clear();
    const QStringList before = snapshot(w.get());
    w->CmdPrintBoxVent_Click();
    settle();
    const QList<Message> expected{{"Kelvane", Program::PrintProblemText}};
    QCOMPARE(catcher.messages(), expected);
    QCOMPARE(snapshot(w.get()), before);
}

QTEST_MAIN(TestPrintCups)
#include "tst_print_cups.moc"
