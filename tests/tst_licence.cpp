// SPDX-License-Identifier: GPL-3.0-or-later
// The licence and the release as the project states them: every C++, CMake and shell file opens with
// its SPDX line; the CMake project's version is the one of the newest release in the AppStream
// metadata, the Debian changelog and the manual page; the manual page describes every long option
// that --help prints.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString SourceDir = QStringLiteral(KELVANE_SOURCE_DIR);
const QString Spdx = QStringLiteral("SPDX-License-Identifier: GPL-3.0-or-later");

QString readText(const QString &relativePath)
{
    QFile file(SourceDir + u'/' + relativePath);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The line that must carry the SPDX identifier, in the file's own comment syntax, or an empty text
// for a file of another kind.
QString expectedSpdxLine(const QString &name)
{
    if (name.endsWith(QLatin1String(".cpp")) || name.endsWith(QLatin1String(".h")))
        return QStringLiteral("// ") + Spdx;
    if (name == QLatin1String("CMakeLists.txt") || name.endsWith(QLatin1String(".cmake"))
        || name.endsWith(QLatin1String(".sh")))
        return QStringLiteral("# ") + Spdx;
    return {};
}

// Walks the source tree, leaving out hidden folders and build trees: the build folders that git
// ignores (build/, build-*/, where the scripts also generate sources) and any folder with a
// CMakeCache.txt. Collects the files checked and those without the line.
void checkSpdx(const QString &relative, QStringList &checked, QStringList &missing)
{
    const QDir dir(SourceDir + u'/' + relative);
    if (dir.exists(QStringLiteral("CMakeCache.txt")) || relative == QLatin1String("build")
        || relative.startsWith(QLatin1String("build-")))
        return;
    for (const QFileInfo &entry : dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString path = relative.isEmpty() ? entry.fileName() : relative + u'/' + entry.fileName();
        if (entry.isDir()) {
            checkSpdx(path, checked, missing);
            continue;
        }
        const QString expected = expectedSpdxLine(entry.fileName());
        if (expected.isEmpty())
            continue;
        QStringList lines = readText(path).split(u'\n');
        if (lines.constFirst().startsWith(QLatin1String("#!")))   // a script: the line after its shebang
            lines.removeFirst();
        checked << path;
        if (lines.constFirst().trimmed() != expected)
            missing << path;
    }
}

} // namespace

class TestLicence : public QObject
{
    Q_OBJECT

private slots:
    void spdxLineOnEveryFile()
    {
        QStringList checked, missing;
        checkSpdx(QString(), checked, missing);
        // The walk reaches every kind: sources, headers, CMake files and scripts.
        for (const char *file : {"app/main.cpp", "app/FrmAbout.h", "CMakeLists.txt", "tests/CMakeLists.txt",
                                 "scripts/test.sh", "tests/print_queue.sh"})
            QVERIFY2(checked.contains(QLatin1String(file)), file);
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("no SPDX line: ") + missing.join(QLatin1String(", "))));
    }

    // Each place that names the release, with the pattern that finds the version in it (the first
    // match: AppStream lists the newest release first, a Debian changelog its newest entry).
    void versionsAgree_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("newest AppStream release") << "data/org.kelvane.Kelvane.metainfo.xml"
                                                  << "<release\\s+version=\"([^\"]+)\"";
        QTest::newRow("Debian changelog") << "data/debian/changelog" << "^kelvane \\(([^)]+)\\) ";
        QTest::newRow("manual page") << "data/kelvane.1" << "^\\.TH KELVANE 1 \"[^\"]*\" \"Kelvane ([^\"]+)\"";
    }

    void versionsAgree()
    {
        QFETCH(QString, file);
        QFETCH(QString, pattern);
        const QRegularExpressionMatch match =
            QRegularExpression(pattern, QRegularExpression::MultilineOption).match(readText(file));
        QVERIFY2(match.hasMatch(), qPrintable(file));
        const QString cmakeVersion = QStringLiteral("%1.%2.%3")
                                         .arg(KELVANE_VERSION_MAJOR).arg(KELVANE_VERSION_MINOR).arg(KELVANE_VERSION_PATCH);
        QCOMPARE(match.captured(1), cmakeVersion);
    }

    // Options are added to the program over time; the manual page must keep up with every one.
    void manPageCoversEveryOption()
    {
        QProcess kelvane;
        kelvane.start(QStringLiteral(KELVANE_EXE), {QStringLiteral("--help")});
        QVERIFY(kelvane.waitForFinished(60000));
        const QString help = QString::fromUtf8(kelvane.readAllStandardOutput());
        QStringList options;
        for (const QRegularExpressionMatch &m : QRegularExpression(QStringLiteral("--[a-z][a-z0-9-]*")).globalMatch(help))
            options << m.captured();
        options.removeDuplicates();
        QVERIFY2(options.contains(QLatin1String("--build-sheet")), qPrintable(help));

        // The page as it reads: "\-" is a printed hyphen, font changes ("\fB") print nothing.
        const QString page = readText(QStringLiteral("data/kelvane.1"))
                                 .replace(QLatin1String("\\-"), QLatin1String("-"))
                                 .remove(QRegularExpression(QStringLiteral(R"(\\f[BIRP])")));
        QStringList undocumented;
        for (const QString &option : std::as_const(options))
            if (!page.contains(QRegularExpression(QRegularExpression::escape(option) + QStringLiteral("(?![a-z0-9-])"))))
                undocumented << option;
        QVERIFY2(undocumented.isEmpty(), qPrintable(QStringLiteral("not in kelvane.1: ") + undocumented.join(u' ')));
    }
};

QTEST_GUILESS_MAIN(TestLicence)
#include "tst_licence.moc"
