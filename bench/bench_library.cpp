// SPDX-License-Identifier: GPL-3.0-or-later
// The driver library's figures: one keystroke in the search field of a 10,000-driver library (the
// table filtered and sorted again), an import of a 1,000-driver table into the library (read,
// recognised, parsed and stored in one transaction), and the library window opened on 10,000
// drivers until it is shown and painted. Every library lives in a temporary folder.

#include "BenchSupport.h"

#include "app/DlgDriverLibrary.h"
#include "library/Export.h"

#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace kelvanebench;
using namespace kelvane::library;

namespace {

// Made-up drivers with varied names and numbers.
std::vector<Entry> manyDrivers(int count)
{
    std::vector<Entry> out;
    for (int i = 0; i < count; ++i) {
        Entry e;
        e.maker = QStringLiteral("Maker %1").arg(i % 97);
        e.model = QStringLiteral("W%1-%2").arg(4 + i % 12).arg(i);
        e.fs = 20 + i % 60, e.qts = 0.3 + (i % 30) / 100.0, e.qes = 0.35 + (i % 30) / 100.0, e.qms = 4;
        e.vas = 10 + i % 200, e.re = 5.6, e.le = 0.8, e.z = 8, e.sd = 100 + i % 400, e.xmax = 3 + i % 9;
        e.power = 50 + i % 300, e.notes = QStringLiteral("paper cone %1 inch").arg(4 + i % 12);
        out.push_back(e);
    }
    return out;
}

// A library of count drivers (plus the samples) in dir.
QString libraryWith(const QTemporaryDir &dir, int count)
{
    const QString path = dir.filePath(QStringLiteral("drivers.sqlite"));
    DriverStore store;
    ImportSummary summary;
    if (!store.open(path) || !store.store(manyDrivers(count), false, summary))
        return {};
    return path;
}

void BM_SearchKeystroke(benchmark::State &state)
{
    setTargetMicroseconds(state, 10000);
    QTemporaryDir dir;
    DlgDriverLibrary dialog(libraryWith(dir, 10000), {});
    dialog.show();
    QTest::qWaitForWindowExposed(&dialog);
    QTest::keyClicks(dialog.TxtDriverSearch, QStringLiteral("maker 1"));
    bool add = true;
    for (auto _ : state) {
        // Typing one more character, then taking it back: "maker 1" <-> "maker 12".
        QTest::keyClick(dialog.TxtDriverSearch, add ? Qt::Key_2 : Qt::Key_Backspace);
        QCoreApplication::processEvents();
        add = !add;
    }
    if (dialog.TblDrivers->model()->rowCount() == 0)
        state.SkipWithError("the search found nothing");
}
BENCHMARK(BM_SearchKeystroke)->Name("Library: search of 10,000 drivers, one keystroke")->Unit(benchmark::kMicrosecond);

void BM_Import1000(benchmark::State &state)
{
    setTargetMicroseconds(state, 1'000'000);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("drivers.csv"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(toCsv(manyDrivers(1000))) <= 0) {
        state.SkipWithError("no table written");
        return;
    }
    out.close();
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        DriverStore store;
        store.open(dir.filePath(QStringLiteral("library-%1.sqlite").arg(run++)));
        state.ResumeTiming();
        if (store.importFiles({file}, false).added != 1000)
            state.SkipWithError("the import did not add 1,000 drivers");
    }
}
BENCHMARK(BM_Import1000)->Name("Library: import of a 1,000-driver table")->Unit(benchmark::kMillisecond);

void BM_OpenDialog10000(benchmark::State &state)
{
    setTargetMicroseconds(state, 200000);
    QTemporaryDir dir;
    const QString path = libraryWith(dir, 10000);
    for (auto _ : state) {
        DlgDriverLibrary dialog(path, {});
        dialog.show();
        QTest::qWaitForWindowExposed(&dialog);
        dialog.repaint();
        if (dialog.TblDrivers->model()->rowCount() < 10000)
            state.SkipWithError("the window shows fewer than 10,000 drivers");
    }
}
BENCHMARK(BM_OpenDialog10000)->Name("Library: window opened on 10,000 drivers")->Unit(benchmark::kMillisecond);

} // namespace

KELVANE_BENCHMARK_MAIN_WITH_APPLICATION()
