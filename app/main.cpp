#include "app/FrmKelvane.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.6"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Designs sealed and vented loudspeaker boxes from a driver's Thiele-Small parameters."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A design (.kelvane) to open at start-up."),
                                 QStringLiteral("[FILE]"));
    parser.process(app); // --help and --version answer on standard output and end the program

    FrmKelvane window;   // shows itself as it loads
    // A file that cannot be opened gives its message and leaves the empty window.
    if (const QStringList files = parser.positionalArguments(); !files.isEmpty())
        window.openDesign(files.constFirst());
    return app.exec();
}
