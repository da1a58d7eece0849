// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BuildSheetCommand.h"
#include "app/FrmKelvane.h"
#include "app/HeadlessWindow.h"
#include "design/DesignFile.h"
#include "driver/Program.h"
#include "sheet/SheetWriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QLocale>
#include <QPushButton>

#include <cstdio>
#include <cstring>

namespace kelvane::buildsheet {

namespace {

const char *const ChoiceOptions[] = {"box", "other-box", "ratio", "wall", "units", "page"};

int fail(const QString &line)
{
    std::fprintf(stderr, "kelvane: %s\n", qPrintable(line));
    return 1;
}

} // namespace

void addOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("build-sheet"),
                      QStringLiteral("Write the build sheet of DESIGN as the PDF file given after it, without a window."),
                      QStringLiteral("DESIGN")});
    parser.addOption({QStringLiteral("box"), QStringLiteral("Build sheet: sealed or vented (default: the recommended box)."),
                      QStringLiteral("sealed|vented")});
    parser.addOption({QStringLiteral("other-box"),
                      QStringLiteral("Build sheet: the passive radiator or bandpass box of the More Boxes tab instead, when calculated in DESIGN."),
                      QStringLiteral("radiator|bandpass")});
    parser.addOption({QStringLiteral("ratio"), QStringLiteral("Build sheet: side ratio 1, 2 or 3 (default 1)."),
                      QStringLiteral("1|2|3")});
    parser.addOption({QStringLiteral("wall"),
                      QStringLiteral("Build sheet: wall thickness in mm, or in inches with --units inch (default 18 mm or 0.75 in)."),
                      QStringLiteral("MM")});
    parser.addOption({QStringLiteral("units"),
                      QStringLiteral("Build sheet: metric or inch (default: metric when the design's volumes are in litres or cubic metres)."),
                      QStringLiteral("metric|inch")});
    parser.addOption({QStringLiteral("page"), QStringLiteral("Build sheet: a4 or letter (default from the system's locale)."),
                      QStringLiteral("a4|letter")});
}

bool requested(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--build-sheet", 13) == 0)
            return true;
    return false;
}

int run(const QCommandLineParser &parser)
{
    const QString designPath = parser.value(QStringLiteral("build-sheet"));
    const QStringList rest = parser.positionalArguments();
    if (rest.size() != 1)
        return fail(QStringLiteral("--build-sheet needs a design file and one PDF file to write"));
    const QString out = rest.constFirst();
    sheet::Choices checked;
    for (const char *name : ChoiceOptions) {
        const QString option = QLatin1String(name);
        if (parser.isSet(option))
            if (const QString problem = sheet::applyOption(checked, option, parser.value(option)); !problem.isEmpty())
                return fail(problem);
    }

    const design::ReadResult read = design::readFile(designPath);
    if (!read.ok())
        return fail(design::openFailureText(QDir::toNativeSeparators(designPath), read.reason));

    HeadlessWindow headless;
    QStringList &messages = headless.messages;
    FrmKelvane &window = headless.window();
    window.Files->openDesign(designPath);
    // A design saved before "Calculate Box" is calculated here, as the button would.
    if (!window.BoxModel->CmdFrequency->isEnabled())
        window.CmdCalculateInput_Click();
    const sheet::Snapshot snapshot = window.buildSheetSnapshot();
    headless.stopAnswering();
    if (!messages.isEmpty())
        return fail(QDir::toNativeSeparators(designPath) + QStringLiteral(": ") + messages.constFirst());
    if (!snapshot.calculated)
        return fail(QDir::toNativeSeparators(designPath) + QStringLiteral(": ") + Program::MoreDataNeededText);

    sheet::Choices choices =
        sheet::defaultChoices(snapshot, QLocale::system().measurementSystem() == QLocale::ImperialUSSystem);
    // The wall's default follows the units asked for.
    if (parser.isSet(QStringLiteral("units")))
        sheet::applyOption(choices, QStringLiteral("units"), parser.value(QStringLiteral("units")));
    choices.wall = choices.metric ? sheet::DefaultWallMm : sheet::DefaultWallIn;
    for (const char *name : ChoiceOptions)
        if (parser.isSet(QLatin1String(name)))
            sheet::applyOption(choices, QLatin1String(name), parser.value(QLatin1String(name)));
    const std::optional<sheet::MoreBox> &other =
        choices.other == sheet::OtherBox::PassiveRadiator ? snapshot.radiatorBox : snapshot.bandpassBox;
    if (choices.other != sheet::OtherBox::None && !other)
        return fail(QDir::toNativeSeparators(designPath) + QStringLiteral(": ") + Program::MoreDataNeededText);
    const sheet::Sheet built = sheet::buildSheet(snapshot, choices, QDate::currentDate().toString(Qt::ISODate),
                                                 QStringLiteral("Kelvane %1").arg(QCoreApplication::applicationVersion()));
    if (!sheet::writePdfFile(built, out))
        return fail(QStringLiteral("The build sheet could not be written to %1.").arg(QDir::toNativeSeparators(out)));
    return 0;
}

} // namespace kelvane::buildsheet
