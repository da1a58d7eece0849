// SPDX-License-Identifier: GPL-3.0-or-later
// The response and impedance file reader: every way of writing a file it accepts, and every file it
// refuses with the message the builder then reads. The files are made up here, a few points each.

#include "driverdata/DriverData.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace kelvane::driverdata;

using Values = std::vector<double>;
Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Values)

class TestDriverData : public QObject {
    Q_OBJECT
private slots:
    void accepted_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<Values>("hz");
        QTest::addColumn<Values>("magnitude");
        QTest::addColumn<Values>("phase"); // empty: the curve has no phase
        const Kind R = Kind::Response, Z = Kind::Impedance;
        const Values hz{20, 40, 80}, db{85.5, 86, 87}, ph{-10.25, -20, 30};
        QTest::newRow("blanks, three columns") << QByteArray("20 85.5 -10.25\n40 86 -20\n80 87 30\n") << R << hz << db << ph;
        QTest::newRow("comments of every mark anywhere, a header line, blank lines")
            << QByteArray("* made up\n# for a test\nFreq[Hz]  dBSPL  Phase[Deg]\n\n; between\n20 85.5 -10.25\n"
                          "' a quote comment\n40 86 -20\n   # indented\n\n80 87 30\n* the end\n")
            << R << hz << db << ph;
        QTest::newRow("tabs, CRLF and trailing blanks")
            << QByteArray("20\t85.5\t-10.25 \r\n40\t86\t-20\t\r\n80\t87\t30  \r\n") << R << hz << db << ph;
        QTest::newRow("commas between the fields, with blanks either side")
            << QByteArray("20,85.5,-10.25\n40, 86, -20\n80 ,87 ,30\n") << R << hz << db << ph;
        QTest::newRow("semicolons between, decimal commas")
            << QByteArray("20;85,5;-10,25\n40;86;-20\n80;87;30\n") << R << hz << db << ph;
        QTest::newRow("blanks between, decimal commas, two columns")
            << QByteArray("20 85,5\n40 86\n80,5 87\n") << R << Values{20, 40, 80.5} << db << Values{};
        QTest::newRow("plus signs and exponents")
            << QByteArray("+2.0e+01 +85.5 -1.025E1\n4E1 86 -20\n8.0e1 +8.7e1 +30\n") << R << hz << db << ph;
        QTest::newRow("byte order mark, UTF-8 and Latin-1 comments, a quoted header")
            << QByteArray("\xEF\xBB\xBF* Hocht\xC3\xB6ner\n* Messung f\xFCr den Hocht\xF6ner\n\"Freq (Hz)\",\"SPL\",\"Phase\"\n"
                          "20,85.5,-10.25\n40,86,-20\n80,87,30\n")
            << R << hz << db << ph;
        QTest::newRow("group delay named in the header line")
            << QByteArray("Freq  dB  Group Delay\n20 85.5 0.001\n40 86 0.001\n80 87 0.002\n") << R << hz << db << Values{};
        QTest::newRow("GD [s] named in a comment before the data")
            << QByteArray("* Hz  dB  GD [s]\n20 85.5 0.001\n40 86 0.001\n80 87 0.002\n") << R << hz << db << Values{};
        QTest::newRow("(sec) in the header line")
            << QByteArray("Frequency Level Delay(sec)\n20 85.5 0.001\n40 86 0.001\n80 87 0.002\n") << R << hz << db << Values{};
        QTest::newRow("group delay named only after the first point is no header: phase")
            << QByteArray("20 85.5 -10.25\n* group delay follows\n40 86 -20\n80 87 30\n") << R << hz << db << ph;
        QTest::newRow("a word with gd in it is not group delay")
            << QByteArray("* Hz  dB  avgd [s]\n20 85.5 -10.25\n40 86 -20\n80 87 30\n") << R << hz << db << ph;
        QTest::newRow("a repeated frequency keeps its first point")
            << QByteArray("20 85.5 -10.25\n20 99 9\n40 86 -20\n80 87 30\n") << R << hz << db << ph;
        QTest::newRow("lines of separators only are blank")
            << QByteArray("20 0\n;;;\n,\f\n40 -3\n\t,\n80 -60\n") << R << hz << Values{0, -3, -60} << Values{};
        QTest::newRow("levels at and below 0 dB") << QByteArray("20 0\n40 -3\n80 -60\n") << R << hz << Values{0, -3, -60} << Values{};
        QTest::newRow("impedance with phase")
            << QByteArray("10 6.2 5\n100 8 30.5\n1000 12 -40\n") << Z << Values{10, 100, 1000} << Values{6.2, 8, 12}
            << Values{5, 30.5, -40};
        QTest::newRow("a value too small to hold is 0")
            << QByteArray("20 1e-400\n40 86\n80 87\n") << R << hz << Values{0, 86, 87} << Values{};
    }

    void accepted()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Kind, kind);
        const ReadResult r = readCurve(bytes, kind, QStringLiteral("/home/me/data/drv.frd"));
        QVERIFY2(r.curve, qPrintable(r.error));
        QCOMPARE(r.error, QString());
        QCOMPARE(r.curve->fileName, QStringLiteral("drv.frd"));
        QTEST(r.curve->hz, "hz");
        QTEST(r.curve->magnitude, "magnitude");
        QTEST(r.curve->phaseDeg, "phase");
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("message");
        const Kind R = Kind::Response, Z = Kind::Impedance;
        QTest::newRow("empty") << QByteArray() << R << "w.frd: the file is empty";
        QTest::newRow("blank lines only") << QByteArray(" \r\n\t\n") << R << "w.frd: the file is empty";
        QTest::newRow("a header and comments only") << QByteArray("* c\nFreq dB\n") << R << "w.frd: the file holds no points";
        QTest::newRow("two points") << QByteArray("20 85\n40 86\n") << R
                                    << "w.frd: the file holds only 2 points; a curve needs at least 3";
        QTest::newRow("three lines, one frequency repeated")
            << QByteArray("20 85\n20 85\n40 86\n") << R << "w.frd: the file holds only 2 points; a curve needs at least 3";
        QTest::newRow("frequency 0, starting with a point") << QByteArray(".0 85\n40 86\n80 87\n") << R
                                                            << "w.frd: line 1: the frequency .0 Hz is not above 0";
        QTest::newRow("negative frequency on the first line") << QByteArray("-20 85\n40 86\n80 87\n") << R
                                                              << "w.frd: line 1: the frequency -20 Hz is not above 0";
        QTest::newRow("negative frequency, lines counted over comments and CRLF")
            << QByteArray("* c\r\n20 85\r\n\r\n-40 86\r\n80 87\r\n") << R << "w.frd: line 4: the frequency -40 Hz is not above 0";
        QTest::newRow("impedance 0") << QByteArray("20 8\n40 0\n80 9\n") << Z
                                     << "w.frd: line 2: the impedance 0 ohms is not above 0";
        QTest::newRow("negative impedance, decimal comma") << QByteArray("20 -0,5\n40 8\n80 9\n") << Z
                                                           << "w.frd: line 1: the impedance -0,5 ohms is not above 0";
        QTest::newRow("too large a number") << QByteArray("20 85\n40 1e999\n80 87\n") << R
                                            << "w.frd: line 2: \"1e999\" is not a finite number";
        QTest::newRow("nan") << QByteArray("20 85\n40 nan\n80 87\n") << R << "w.frd: line 2: \"nan\" is not a number";
        QTest::newRow("a word in the phase column") << QByteArray("20 85 0\n40 86 abc\n80 87 0\n") << R
                                                     << "w.frd: line 2: \"abc\" is not a number";
        QTest::newRow("a control character") << QByteArray("20 85 0\n40 86 1\x01\n80 87 0\n") << R
                                             << "w.frd: line 2: \"1\uFFFD\" is not a number";
        QTest::newRow("two numbers in one field") << QByteArray("20 85\n40 1,5,5\n80 87\n") << R
                                                  << "w.frd: line 2: \"1,5,5\" is not a number";
        QTest::newRow("a second header line") << QByteArray("Freq dB\nHz dB\n20 85\n40 86\n80 87\n") << R
                                              << "w.frd: line 2: \"Hz\" is not a number";
        QTest::newRow("falling frequency") << QByteArray("20 85\n40 86\n30 87\n") << R
                                           << "w.frd: line 3: the frequency falls from 40 Hz to 30 Hz; the frequencies must rise";
        QTest::newRow("the column count changes") << QByteArray("20 85 1\n40 86\n80 87 3\n") << R
                                                  << "w.frd: line 2: 2 numbers where the lines before have 3";
        QTest::newRow("one number") << QByteArray("20\n40 86\n80 87\n") << R
                                    << "w.frd: line 1: 1 number where a point has a frequency, a level and perhaps a phase";
        QTest::newRow("four numbers") << QByteArray("20 8 1 2\n40 8 1 2\n80 8 1 2\n") << Z
                                      << "w.frd: line 1: 4 numbers where a point has a frequency, a magnitude and perhaps a phase";
        QTest::newRow("over 16 MiB") << QByteArray(MaxCurveBytes + 1, ' ') << Z
                                     << "w.frd: the file is over 16 MiB, too large for an impedance file";
    }

    void refused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Kind, kind);
        const ReadResult r = readCurve(bytes, kind, QStringLiteral("C:\\meas\\w.frd"));
        QVERIFY(!r.curve);
        QTEST(r.error, "message");
    }

    // From a file: the curve keeps the base name; a file over the limit is refused without reading it
    // (a sparse file of zeros), one at the limit is read; a missing file says so.
    void fromFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tweeter.zma"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1000 6 0\n2000 6.5 10\n4000 7 20\n");
        f.close();
        const ReadResult ok = readCurveFile(path, Kind::Impedance);
        QVERIFY(ok.curve);
        QCOMPARE(ok.curve->fileName, QStringLiteral("tweeter.zma"));
        QCOMPARE(ok.curve->phaseDeg, (Values{0, 10, 20}));

        QVERIFY(f.resize(MaxCurveBytes + 1));
        QCOMPARE(readCurveFile(path, Kind::Response).error,
                 QStringLiteral("tweeter.zma: the file is over 16 MiB, too large for a response file"));
        QVERIFY(f.resize(MaxCurveBytes)); // the zeros after the points are one line of no number
        QCOMPARE(readCurveFile(path, Kind::Impedance).error.left(21), QStringLiteral("tweeter.zma: line 4: "));
        QVERIFY(readCurveFile(dir.filePath(QStringLiteral("none.frd")), Kind::Response).error.startsWith(QStringLiteral("none.frd: ")));
        QVERIFY(readCurve("20 85\n40 1e999\n80 87\n", Kind::Response).error.startsWith(QStringLiteral("line 2: ")));
    }

    // Captions: 3 significant digits, kHz from 1000 Hz on.
    void captions()
    {
        QCOMPARE(frequencyText(20), QStringLiteral("20 Hz"));
        QCOMPARE(frequencyText(45.27), QStringLiteral("45.3 Hz"));
        QCOMPARE(frequencyText(179.6), QStringLiteral("180 Hz"));
        QCOMPARE(frequencyText(999.7), QStringLiteral("1 kHz"));
        QCOMPARE(frequencyText(1250), QStringLiteral("1.25 kHz"));
        QCOMPARE(frequencyText(12345), QStringLiteral("12.3 kHz"));
        Curve c{QStringLiteral("woofer.frd"), {10, 500, 40000}, {80, 85, 70}, {}};
        QCOMPARE(describe(c), QStringLiteral("woofer.frd (3 points, 10 Hz to 40 kHz)"));
    }
};

QTEST_GUILESS_MAIN(TestDriverData)
#include "tst_driverdata.moc"
