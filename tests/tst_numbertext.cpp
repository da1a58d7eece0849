// Number text: display patterns, the general and printed number forms, strict parsing. ctest runs
// this program (like every test) under the C and a German locale, so each row also proves the
// result does not depend on the system's decimal separator.

#include "common/NumberText.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void formatNumber_data();
    void formatNumber();
    void generalNumber_data();
    void generalNumber(); // and plainPrint()
    void parseNumber_data();
    void parseNumber();
};

void TestNumberText::formatNumber_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    auto row = [](const char *name, const QString &p, double v, const QString &e) {
        QTest::newRow(name) << p << v << e;
    };
    // Ties are decided on the decimal text, not on the binary value just below it.
    row("tie 1.0005", "#0.000", 1.0005, "1.001");
    row("tie 2.675", "#0.00", 2.675, "2.68");
    row("tie negative", "#0.0", -1.25, "-1.3");
    row("tie 2.5 no decimals", "#0", 2.5, "3");
    row("17-digit text", "#0.0000000000000000", 0.1 + 0.2, "0.3000000000000000");
    row("carry over point", "#0.000", 9.9996, "10.000");
    row("carry into new group", "#,##0.0", 999.95, "1,000.0");
    row("tiny rounds up", "#0.0000", 5e-5, "0.0001");
    row("zero", "#0", 0.0, "0");
    row("negative zero", "#0.0", -0.0, "0.0");
    row("negative rounds to zero", "#0.00", -0.004, "0.00");
    row("hash only zero", "#", 0.0, "");
    row("no integer zero", "#.00", 0.5, ".50");
    row("forced integer digits", "000", 7.0, "007");
    row("optional decimal dropped", "#0.0#", 1.5, "1.5");
    row("optional decimal kept", "#0.0#", 1.255, "1.26");
    row("grouped Hz", "#,##0.0 Hz", 1234.56, "1,234.6 Hz");
    row("grouped Watts", "##,##0.0 Watts", 1234567.25, "1,234,567.3 Watts");
    row("grouped negative", "#,##0.00", -1234567.891, "-1,234,567.89");
    row("inch marks", "#0.00''", 3.829, "3.83''");
    row("long blank prefix", QString(183, u' ') + "#0 Watts", 100.0,
        QString(183, u' ') + "100 Watts");
    row("later points literal", "#0.000 Cu. Ft.)", 12.3456, "12.346 Cu. Ft.)");
    row("minus after prefix", "  #0.0 dB", -5.0, "  -5.0 dB");
    row("second point is text", "#0.0.", 3.5, "3.5.");
    row("only first section", "#0 of #0", 5.0, "5 of #0");
    row("huge grouped", "#,##0", 1e300, "1" + QString(",000").repeated(100));
    row("NaN", "#0.0 Hz", std::nan(""), " Hz");
    row("infinity", "x #0 y", -std::numeric_limits<double>::infinity(), "x  y");
    row("empty pattern", "", 2.5, "2.5");
}

void TestNumberText::formatNumber()
{
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(kelvane::formatNumber(value, pattern), expected);
}

// Each row gives the general form and the printed-report form of the same value.
void TestNumberText::generalNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("general");
    QTest::addColumn<QString>("printed");

    auto row = [](const char *name, double v, const QString &g, const QString &p) {
        QTest::newRow(name) << v << g << p;
    };
    row("0.8+0.1", 0.8 + 0.1, "0.9", " 0.9 ");
    row("0.35+0.1", 0.35 + 0.1, "0.45", " 0.45 ");
    row("integer", 3.0, "3", " 3 ");
    row("negative", -2.5, "-2.5", "-2.5 ");
    row("one third", 1.0 / 3, "0.333333333333333", " 0.333333333333333 ");
    row("zero", 0.0, "0", " 0 ");
    row("negative zero", -0.0, "0", " 0 ");
    row("15 digits", 123456789012345.0, "123456789012345", " 123456789012345 ");
    row("1E+15", 1e15, "1E+15", " 1E+15 ");
    row("rounds up to 1E+15", 999999999999999.9, "1E+15", " 1E+15 ");
    row("large rounded", 1234567890123456789.0, "1.23456789012346E+18", " 1.23456789012346E+18 ");
    row("largest", std::numeric_limits<double>::max(), "1.79769313486232E+308",
        " 1.79769313486232E+308 ");
    row("0.0001", 0.0001, "0.0001", " 0.0001 ");
    row("9E-05", 0.00009, "9E-05", " 9E-05 ");
    row("1.5E-07", -1.5e-7, "-1.5E-07", "-1.5E-07 ");
    row("denormal", 5e-324, "5E-324", " 5E-324 ");
    row("NaN", std::nan(""), "", "  ");
}

void TestNumberText::generalNumber()
{
    QFETCH(double, value);
    QFETCH(QString, general);
    QFETCH(QString, printed);
    QCOMPARE(kelvane::generalNumber(value), general);
    QCOMPARE(kelvane::plainPrint(value), printed);
}

void TestNumberText::parseNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");

    QTest::newRow("decimal") << "12.5" << true << 12.5;
    QTest::newRow("trailing point") << "5." << true << 5.0;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("0.1 exact double") << "0.1" << true << 0.1;
    QTest::newRow("long integer") << "1000000000000000000000" << true << 1e21;
    QTest::newRow("underflow is zero") << "0." + QString(400, u'0') + "1" << true << 0.0;
    QTest::newRow("400 nines") << QString(400, u'9') << false << 0.0;
    const std::pair<const char *, QString> notNumbers[] = {
        {"empty", ""},
        {"point only", "."},
        {"two points", "1.2.3"},
        {"letters", "abc"},
        {"exponent", "1e5"},
        {"leading blank", " 1"},
        {"minus", "-1"},
        {"comma", "1,5"},
        {"inf", "inf"},
        {"arabic-indic digit", QString(QChar(0x0663))},
        {"fullwidth digit", QString(QChar(0xFF11))}};
    for (const auto &[name, text] : notNumbers)
        QTest::newRow(name) << text << false << 0.0;
}

void TestNumberText::parseNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> got = kelvane::parseNumber(text);
    QCOMPARE(got.has_value(), valid);
    if (valid)
        QCOMPARE(*got, value);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
