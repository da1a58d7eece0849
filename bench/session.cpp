// SPDX-License-Identifier: GPL-3.0-or-later
// A whole working session, for its peak resident memory: start the program, enter the sample
// driver, calculate, draw both graphs, save both as bitmaps into a temporary folder, then read the
// peak resident set (VmHWM) from /proc/self/status. Writes one result in the JSON shape of the
// benchmark programs (to the file given with --out=FILE, else to standard output) so that
// scripts/bench.sh puts it into the same table.

#include "WindowSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

// Peak resident set size of this process in kilobytes, or -1 when /proc is not readable.
long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    // A /proc file reports size 0, so it is read whole rather than line by line to its end.
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines)
        if (line.startsWith("VmHWM:"))
            return line.mid(6).simplified().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    kelvanebench::quietOffscreenHints();
    QApplication app(argc, argv);
    QString outPath;
    for (const QString &arg : QCoreApplication::arguments())
        if (arg.startsWith(QLatin1String("--out=")))
            outPath = QDir::current().absoluteFilePath(arg.mid(6));

    // The bitmaps go into the current folder; make that a fresh temporary one.
    QTemporaryDir folder;
    if (!folder.isValid() || !QDir::setCurrent(folder.path())) {
        std::fprintf(stderr, "session: no temporary folder\n");
        return 1;
    }

    // A message box would wait for a click that never comes: answer it, and count it as a fault.
    QStringList messages;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&messages] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            messages << box->text();
            box->done(QMessageBox::Ok);
        }
    });
    answer.start(10);

    auto w = kelvanebench::calculatedWindow();
    w->SSTab->setCurrentIndex(FrmKelvane::TabFrequency);
    w->BoxModel->CmdFrequency->click();
    kelvanebench::processPending();
    w->Frequency->CmdSave->click();
    w->SSTab->setCurrentIndex(FrmKelvane::TabDisplacement);
    w->BoxModel->CmdDisplacement->click();
    kelvanebench::processPending();
    w->Displacement->CmdSaveDisplacement->click();
    kelvanebench::processPending();

    const int bitmaps = int(QDir().entryList({QStringLiteral("*.bmp")}, QDir::Files).size());
    const long peakKb = peakResidentKb();
    QString name = QStringLiteral("Session peak memory: calculate, draw and save both graphs");
    if (bitmaps != 2)
        name += QStringLiteral(" (only %1 of 2 bitmaps written)").arg(bitmaps);
    if (!messages.isEmpty())
        name += QStringLiteral(" (message: %1)").arg(messages.join(QLatin1String("; ")));

    const QJsonObject result{{QStringLiteral("name"), name},
                             {QStringLiteral("run_type"), QStringLiteral("memory")},
                             {QStringLiteral("peak_resident_kb"), double(peakKb)},
                             {QStringLiteral("target_kb"), 80.0 * 1024}};
    const QByteArray json =
        QJsonDocument(QJsonObject{{QStringLiteral("benchmarks"), QJsonArray{result}}}).toJson();
    w.reset();
    QDir::setCurrent(QDir::tempPath());
    if (outPath.isEmpty()) {
        std::fputs(json.constData(), stdout);
    } else {
        QFile out(outPath);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 1;
        out.write(json);
    }
    return peakKb > 0 ? 0 : 1;
}
