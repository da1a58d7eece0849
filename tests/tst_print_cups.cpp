// SPDX-License-Identifier: GPL-3.0-or-later
// "Print" on the "Box and Vent" tab through the system's real print service (CUPS): the report
// reaches a real print queue as one document, and with no reachable printer the user is told so
// and nothing else changes.
//
// The queue is set up by tests/print_queue.sh (run as ctest fixture): it writes each job to a PDF
// file, which is read back with pdftotext. Without CUPS or the queue the success path skips.

#include "TestSupport.h"
#include "app/BoxVentReport.h"
#include "boxvent/ReportLines.h"
#include "boxvent/TextPrinter.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

using namespace testsupport;

namespace {

const QString Queue = qEnvironmentVariable("KELVANE_PRINT_QUEUE", QStringLiteral("KELVANEBOXVENT"));
const QString Output = qEnvironmentVariable("KELVANE_PRINT_OUTPUT", QStringLiteral("/tmp/kelvane-boxvent-print.pdf"));

// The exit code and output of a program, or -1 when it did not finish normally.
std::pair<int, QString> run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {-1, QString()};
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

bool queueReady()
{
    return !QStandardPaths::findExecutable("lpstat").isEmpty() && run("lpstat", {"-r"}).second.contains("is running")
           && run("lpstat", {"-p", Queue}).first == 0;
}

// Lines of a PDF as pdftotext reads them, page feeds and the final empty lines dropped; each line's
// blank runs collapsed (their width depends on the printer's font).
QStringList simplified(const QStringList &lines)
{
    QStringList out;
    for (const QString &l : lines)
        out << QString(l).remove(u'\f').simplified();
    while (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

QStringList pdfLines(const QString &pdf, const char *mode)
{
    return simplified(run("pdftotext", {mode, "-enc", "UTF-8", pdf, "-"}).second.split(u'\n'));
}

// Both boxes and the vent table filled as after a calculation.
std::unique_ptr<FrmKelvane> calculatedWindow()
{
    auto w = freshWindow();
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxVent);
    w->State.VbSealed = 2.88;
    w->State.VbVented = 1;
    w->State.Fb = 40;
    w->BoxVent->VentLengths();
    w->BoxVent->BoxDimensions();
    act(w.get(), "TxtVentDia<2");
    return w;
}

// Everything the user can see on the window, and the report it would print.
QStringList snapshot(FrmKelvane *w)
{
    QStringList s = kelvane::boxvent::reportLines(kelvane::boxvent::reportInputOf(*w->BoxVent));
    s << QString::number(w->SSTab->currentIndex());
    for (QLabel *l : w->findChildren<QLabel *>())
        s << l->objectName() + '=' + l->text();
    for (QLineEdit *e : w->findChildren<QLineEdit *>())
        s << e->objectName() + '=' + e->text();
    for (QRadioButton *o : w->findChildren<QRadioButton *>())
        s << o->objectName() + '=' + QString::number(o->isChecked());
    return s;
}

} // namespace

class TestPrintCups : public QObject
{
    Q_OBJECT

private slots:
    void reportReachesPrintQueue()
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
        const auto jobs = [] { return run("lpstat", {"-W", "completed", "-o", Queue}).second.count(u'\n'); };
        const auto jobsBefore = jobs();
        MessageCatcher catcher;
        auto w = calculatedWindow();
        const QStringList before = snapshot(w.get());
        const QStringList lines = kelvane::boxvent::reportLines(kelvane::boxvent::reportInputOf(*w->BoxVent));
        w->BoxVent->CmdPrintBoxVent_Click();
        settle();
        QCOMPARE(catcher.shown(), QString());
        QCOMPARE(snapshot(w.get()), before);
        // Wait until the queue has written the job out.
        for (QDeadlineTimer deadline(120000); !deadline.hasExpired(); QThread::msleep(200))
            if (QFile::exists(Output) && run("lpstat", {"-o", Queue}).second.trimmed().isEmpty())
                break;
        QVERIFY2(QFile::exists(Output), "the print queue wrote no file");
        QCOMPARE(jobs(), jobsBefore + 1);
        // Every printed line comes back in its place, the empty ones too.
        QCOMPARE(pdfLines(Output, "-layout"), simplified(lines));
        QCOMPARE(lines.size(), 35);
    }

    // The report's lines on a PDF printer, read back by position: every line in its place, empty
    // lines included; a text longer than a page goes on over further pages in order; a printer that
    // cannot open its output fails.
    void textLinesOnPdfPrinter()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        InTempFolder folder;
        const auto pages = [](const QString &pdf) {
            return QRegularExpression("Pages:\\s+(\\d+)").match(run("pdfinfo", {pdf}).second).captured(1).toInt();
        };
        const QStringList lines = kelvane::boxvent::reportLines(kelvane::boxvent::reportInputOf(*calculatedWindow()->BoxVent));
        QVERIFY(kelvane::printTextLines(*pdfPrinter("report.pdf"), lines));
        QCOMPARE(pages("report.pdf"), 1);
        QCOMPARE(pdfLines("report.pdf", "-layout"), simplified(lines));
        QStringList longText;
        for (int i = 1; i <= 300; ++i)
            longText << QStringLiteral("line %1 of the long text").arg(i);
        QVERIFY(kelvane::printTextLines(*pdfPrinter("long.pdf"), longText));
        QVERIFY(pages("long.pdf") > 1);
        QCOMPARE(pdfLines("long.pdf", "-raw"), longText);
        QVERIFY(!kelvane::printTextLines(*pdfPrinter("/nonexistent-folder/report.pdf"), lines));
    }

    void noReachablePrinter_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("destination");
        // A scheduler socket that nobody listens on.
        QTest::newRow("no print service") << "/tmp/kelvane-no-print-service.sock" << "KELVANENOSUCHQUEUE";
        // With the service up but naming no default of its own, a default queue it does not know.
        if (queueReady() && run("env", {"-u", "LPDEST", "-u", "PRINTER", "lpstat", "-d"}).second.contains("no system default destination"))
            QTest::newRow("default queue unknown to the service") << "" << "KELVANENOSUCHQUEUE";
    }
    // The print runs in a child process whose environment hides every printer.
    void noReachablePrinter()
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
        QVERIFY2(child.exitCode() == 0 && out.contains("PASS   : TestPrintCups::unreachableChild"), qPrintable(out));
    }
    void unreachableChild()
    {
        if (qEnvironmentVariable("KELVANE_PRINT_CHILD") != "1")
            QSKIP("runs only as the child of noReachablePrinter");
        MessageCatcher catcher;
        auto w = calculatedWindow();
        catcher.clear();
        const QStringList before = snapshot(w.get());
        w->BoxVent->CmdPrintBoxVent_Click();
        settle();
        QCOMPARE(catcher.shown(), "Kelvane: " + Program::PrintProblemText);
        QCOMPARE(snapshot(w.get()), before);
    }
};

QTEST_MAIN(TestPrintCups)
#include "tst_print_cups.moc"
