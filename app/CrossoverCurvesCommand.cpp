// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CrossoverCurvesCommand.h"
#include "app/CrossoverDriversPanel.h"
#include "app/FrmKelvane.h"
#include "app/HeadlessWindow.h"
#include "common/NumberText.h"
#include "design/DesignFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>

#include <cstdio>
#include <cstring>

namespace kelvane::crossovercurves {

namespace {

int fail(const QString &line)
{
    std::fprintf(stderr, "kelvane: %s\n", qPrintable(line));
    return 1;
}

// The file options in the order of the panel's slots.
const char *const FileOptions[] = {"woofer-response", "woofer-impedance", "tweeter-response", "tweeter-impedance"};

} // namespace

void addOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("crossover-curves"),
                      QStringLiteral("Write the crossover of DESIGN simulated on its drivers as the CSV file given after it, without a window."),
                      QStringLiteral("DESIGN")});
    parser.addOption({QStringLiteral("optimize-crossover"),
                      QStringLiteral("Optimize the crossover of DESIGN on its drivers, write the optimized design (with the files "
                                     "loaded) as the design file given after it and print the result, without a window."),
                      QStringLiteral("DESIGN")});
    parser.addOption({QStringLiteral("woofer-response"), QStringLiteral("Crossover curves: the woofer's frequency response file."),
                      QStringLiteral("F")});
    parser.addOption({QStringLiteral("woofer-impedance"), QStringLiteral("Crossover curves: the woofer's impedance file."),
                      QStringLiteral("F")});
    parser.addOption({QStringLiteral("tweeter-response"), QStringLiteral("Crossover curves: the tweeter's frequency response file."),
                      QStringLiteral("F")});
    parser.addOption({QStringLiteral("tweeter-impedance"), QStringLiteral("Crossover curves: the tweeter's impedance file."),
                      QStringLiteral("F")});
    parser.addOption({QStringLiteral("offset"),
                      QStringLiteral("Crossover curves: the tweeter's acoustic centre behind (+) or in front of (-) the woofer's, mm."),
                      QStringLiteral("MM")});
}

bool requested(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--crossover-curves", 18) == 0 || std::strncmp(argv[i], "--optimize-crossover", 20) == 0)
            return true;
    return false;
}

int run(const QCommandLineParser &parser)
{
    const bool optimize = parser.isSet(QStringLiteral("optimize-crossover"));
    const QString command = optimize ? QStringLiteral("--optimize-crossover") : QStringLiteral("--crossover-curves");
    const QString designPath = parser.value(command.mid(2));
    const QStringList rest = parser.positionalArguments();
    if (rest.size() != 1)
        return fail(command + (optimize ? QStringLiteral(" needs a design file and one design file to write")
                                        : QStringLiteral(" needs a design file and one CSV file to write")));
    const QString out = rest.constFirst();
    std::optional<double> offset;
    if (parser.isSet(QStringLiteral("offset"))) {
        // In front of the woofer is a negative offset.
        const QString text = parser.value(QStringLiteral("offset"));
        const bool negative = text.startsWith(QLatin1Char('-'));
        offset = parseNumber(negative ? text.mid(1) : text);
        if (offset && negative)
            offset = -*offset;
        if (!offset)
            return fail(QStringLiteral("--offset needs a number of millimetres"));
    }
    const design::ReadResult read = design::readFile(designPath);
    if (!read.ok())
        return fail(design::openFailureText(QDir::toNativeSeparators(designPath), read.reason));

    // The window works as it does on screen; every message it would show becomes the one line of
    // the answer.
    HeadlessWindow headless;
    QStringList &messages = headless.messages;
    FrmKelvane &window = headless.window();
    window.Files->openDesign(designPath);
    // The woofer is modelled in its box: a design saved before "Calculate Box" is calculated here.
    if (!window.BoxModel->CmdFrequency->isEnabled()) {
        window.CmdCalculateInput_Click();
        messages.clear(); // what is missing for the boxes only matters where the woofer is modelled
    }
    if (!window.State.CrossoverNetwork)
        return fail(QDir::toNativeSeparators(designPath) + QStringLiteral(": the crossover is not calculated"));
    CrossoverDriversPanel *panel = window.Crossover->CrossoverDrivers;
    for (int slot = 0; slot < 4; ++slot) {
        const QString option = QLatin1String(FileOptions[slot]);
        if (parser.isSet(option) && !panel->loadFile(CrossoverDriversPanel::File(slot), parser.value(option)))
            return fail(messages.isEmpty() ? parser.value(option) : messages.constLast());
    }
    if (offset) {
        panel->TxtAcousticOffset->setText(generalNumber(*offset));
        panel->refresh();
    }
    if (!panel->simulation())
        return fail(QDir::toNativeSeparators(designPath) + QStringLiteral(": ") + panel->missing());
    if (optimize) {
        messages.clear();
        if (panel->startOptimize())
            while (panel->optimizing())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const QString line = panel->LblOptimizeResult->text();
        if (line.isEmpty() || !panel->CmdUndoOptimize->isEnabled())
            return fail(QDir::toNativeSeparators(designPath) + QStringLiteral(": ")
                        + (messages.isEmpty() ? QStringLiteral("the crossover could not be optimized") : messages.constLast()));
        if (!window.Files->saveDesign(out))
            return fail(messages.isEmpty() ? design::saveFailureText(QDir::toNativeSeparators(out)) : messages.constLast());
        std::printf("%s\n", line.toUtf8().constData());
        return 0;
    }
    headless.stopAnswering();
    const QByteArray bytes = crossover::simulationCsv(*panel->simulation()).toUtf8();
    QSaveFile file(out);
    if (!(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()))
        return fail(design::curvesFailureText(QDir::toNativeSeparators(out)));
    return 0;
}

} // namespace kelvane::crossovercurves
