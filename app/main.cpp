// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BuildSheetCommand.h"
#include "app/CrossoverCurvesCommand.h"
#include "app/FrmKelvane.h"
#include "library/CommandLine.h"
#include "library/DriverStore.h"
#include "measure/MeasureCommand.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstring>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Kelvane"));
    // The version is the CMake project's, handed down as compile definitions.
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(KELVANE_VERSION_MAJOR).arg(KELVANE_VERSION_MINOR).arg(KELVANE_VERSION_PATCH));
    // Desktops match the window to its menu entry and software-centre page by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kelvane.Kelvane"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Designs sealed and vented loudspeaker boxes from a driver's Thiele-Small parameters."));
    parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A design (.kelvane) to open at start-up."),
                                 QStringLiteral("[FILE]"));
    const QCommandLineOption importDrivers(QStringLiteral("import-drivers"),
                                           QStringLiteral("Import the driver files FILE... into the driver library and print a summary."));
    const QCommandLineOption listDrivers(QStringLiteral("list-drivers"),
                                         QStringLiteral("Print the library's drivers matching the words of TEXT (all without it) as CSV."));
    parser.addOption(importDrivers);
    parser.addOption(listDrivers);
    kelvane::buildsheet::addOptions(parser);
    kelvane::crossovercurves::addOptions(parser);
    kelvane::measure::addOptions(parser);

    // --help and --version answer on standard output and end the program, also where no display
    // is reachable: they are answered before the window system starts.
    for (int i = 1; i < argc; ++i) {
        for (const char *info : {"-h", "-?", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], info) == 0) {
                QCoreApplication app(argc, argv);
                // The version with the licence on a second line; a bad option is still reported first.
                if (parser.parse(app.arguments()) && parser.isSet(version)) {
                    QTextStream(stdout) << QCoreApplication::applicationName() << ' '
                                        << QCoreApplication::applicationVersion()
                                        << "\nLicense GPLv3+: GNU GPL version 3 or later\n";
                    return 0;
                }
                parser.process(app);
            }
        }
    }

    // The driver library's commands need no window either.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--import-drivers") == 0 || std::strcmp(argv[i], "--list-drivers") == 0) {
            QCoreApplication app(argc, argv);
            parser.process(app);
            QTextStream out(stdout), err(stderr);
            const QString library = kelvane::library::defaultLibraryPath();
            if (parser.isSet(importDrivers))
                return kelvane::library::importDriversCommand(library, parser.positionalArguments(), out, err);
            return kelvane::library::listDriversCommand(library, parser.positionalArguments().join(QLatin1Char(' ')),
                                                        out, err);
        }
    }

    // Nor do the measurements from impedance files.
    if (kelvane::measure::requested(argc, argv)) {
        QCoreApplication app(argc, argv);
        parser.process(app);
        QTextStream out(stdout), err(stderr);
        return kelvane::measure::run(parser, out, err);
    }

    // A build sheet needs fonts and painting but no display: without a platform chosen by the user
    // it is drawn off screen.
    const bool crossoverCurves = kelvane::crossovercurves::requested(argc, argv);
    const bool buildSheet = crossoverCurves || kelvane::buildsheet::requested(argc, argv);
    if (buildSheet && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Its answer on standard error is one line of its own, without the toolkit's notes.
    if (buildSheet)
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    QApplication app(argc, argv);
    parser.process(app);
    if (crossoverCurves)
        return kelvane::crossovercurves::run(parser);
    if (buildSheet)
        return kelvane::buildsheet::run(parser);
    // Shows itself as it loads, where it was when it was last closed.
    FrmKelvane window(nullptr, FrmKelvane::Placement::Remembered);
    // A file that cannot be opened gives its message and leaves the empty window.
    if (const QStringList files = parser.positionalArguments(); !files.isEmpty())
        window.Files->openDesign(files.constFirst());
    return app.exec();
}
