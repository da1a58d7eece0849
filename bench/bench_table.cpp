// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the JSON results of the benchmark programs (and of the session program) and prints one
// table: benchmark, measured, target, ok or MISSED. With repetitions it takes each benchmark's
// median; times are wall-clock per iteration. "--markdown" prints the table in Markdown.
//
//   kelvane-bench-table [--markdown] results1.json results2.json ...

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace {

struct Row {
    QString name;
    QString measured;
    QString target;
    QString verdict;
};

double toMicroseconds(double value, const QString &unit)
{
    if (unit == QLatin1String("ns"))
        return value / 1000.0;
    if (unit == QLatin1String("ms"))
        return value * 1000.0;
    if (unit == QLatin1String("s"))
        return value * 1'000'000.0;
    return value; // "us"
}

// A duration in the unit that reads best: 0.41 µs, 23.5 µs, 1.27 ms.
QString durationText(double us)
{
    const auto fixed = [](double v, const char *unit) {
        const int decimals = v < 10 ? 2 : v < 100 ? 1 : 0;
        return QString::asprintf("%.*f %s", decimals, v, unit);
    };
    if (us < 1000)
        return fixed(us, "µs");
    if (us < 1'000'000)
        return fixed(us / 1000, "ms");
    return fixed(us / 1'000'000, "s");
}

QString megabytesText(double kb)
{
    return QString::asprintf("%.1f MB", kb / 1024.0);
}

// The machine the figures belong to: cores, processor model and the Qt version in use.
QString machineText()
{
    QString model = QStringLiteral("unknown processor");
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (cpuinfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : cpuinfo.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                model = QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
                break;
            }
        }
    }
    return QStringLiteral("%1 cores, %2, Qt %3").arg(QThread::idealThreadCount()).arg(model,
                                                                                   QLatin1String(qVersion()));
}

void print(const std::vector<Row> &rows, bool markdown)
{
    std::printf("Machine: %s\n\n", qPrintable(machineText()));
    const Row header{QStringLiteral("benchmark"), QStringLiteral("measured"), QStringLiteral("target"),
                     QStringLiteral("ok/MISSED")};
    if (markdown) {
        std::printf("| %s | %s | %s | %s |\n|---|--:|--:|---|\n", qPrintable(header.name),
                    qPrintable(header.measured), qPrintable(header.target), qPrintable(header.verdict));
        for (const Row &r : rows)
            std::printf("| %s | %s | %s | %s |\n", qPrintable(r.name), qPrintable(r.measured),
                        qPrintable(r.target), qPrintable(r.verdict));
        return;
    }
    qsizetype w[3] = {header.name.size(), header.measured.size(), header.target.size()};
    for (const Row &r : rows) {
        w[0] = std::max(w[0], r.name.size());
        w[1] = std::max(w[1], r.measured.size());
        w[2] = std::max(w[2], r.target.size());
    }
    const auto line = [&](const Row &r) {
        std::printf("%s  %s  %s  %s\n", qPrintable(r.name.leftJustified(w[0])),
                    qPrintable(r.measured.rightJustified(w[1])), qPrintable(r.target.rightJustified(w[2])),
                    qPrintable(r.verdict));
    };
    line(header);
    std::printf("%s\n", qPrintable(QString(w[0] + w[1] + w[2] + 15, QLatin1Char('-'))));
    for (const Row &r : rows)
        line(r);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    bool markdown = false;
    QStringList files;
    for (const QString &arg : QCoreApplication::arguments().mid(1)) {
        if (arg == QLatin1String("--markdown"))
            markdown = true;
        else
            files << arg;
    }

    std::vector<Row> rows;
    int missed = 0;
    for (const QString &path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "bench table: cannot read %s\n", qPrintable(path));
            return 1;
        }
        const QJsonArray benchmarks = QJsonDocument::fromJson(f.readAll()).object()
                                          .value(QLatin1String("benchmarks")).toArray();
        // With repetitions only the medians are taken; a benchmark run once has no aggregates.
        std::map<QString, bool> hasMedian;
        for (const QJsonValue &v : benchmarks) {
            const QJsonObject b = v.toObject();
            if (b.value(QLatin1String("aggregate_name")).toString() == QLatin1String("median"))
                hasMedian[b.value(QLatin1String("run_name")).toString()] = true;
        }
        for (const QJsonValue &v : benchmarks) {
            const QJsonObject b = v.toObject();
            const QString runType = b.value(QLatin1String("run_type")).toString();
            Row row;
            double measured = 0, target = 0;
            bool haveTarget = false;
            if (runType == QLatin1String("memory")) {
                row.name = b.value(QLatin1String("name")).toString();
                measured = b.value(QLatin1String("peak_resident_kb")).toDouble();
                target = b.value(QLatin1String("target_kb")).toDouble();
                haveTarget = target > 0;
                row.measured = measured > 0 ? megabytesText(measured) : QStringLiteral("unknown");
                row.target = haveTarget ? QStringLiteral("< ") + megabytesText(target) : QString();
            } else {
                const QString runName = b.value(QLatin1String("run_name")).toString();
                const bool median = b.value(QLatin1String("aggregate_name")).toString() == QLatin1String("median");
                if (runType == QLatin1String("aggregate") ? !median : hasMedian.count(runName) > 0)
                    continue;
                row.name = runName;
                row.name.remove(QLatin1String("/real_time"));
                if (b.value(QLatin1String("error_occurred")).toBool()) {
                    row.measured = QStringLiteral("error");
                    row.verdict = QStringLiteral("FAILED: ") + b.value(QLatin1String("error_message")).toString();
                    ++missed;
                    rows.push_back(row);
                    continue;
                }
                const QString unit = b.value(QLatin1String("time_unit")).toString();
                measured = toMicroseconds(b.value(QLatin1String("real_time")).toDouble(), unit);
                target = b.value(QLatin1String("target_us")).toDouble();
                haveTarget = target > 0;
                row.measured = durationText(measured);
                row.target = haveTarget ? QStringLiteral("< ") + durationText(target) : QString();
            }
            if (haveTarget) {
                const bool ok = measured > 0 && measured < target;
                row.verdict = ok ? QStringLiteral("ok") : QStringLiteral("MISSED");
                missed += ok ? 0 : 1;
            }
            rows.push_back(row);
        }
    }
    print(rows, markdown);
    if (!markdown)
        std::printf("\n%d figure(s) missed the target.\n", missed);
    return 0;
}
