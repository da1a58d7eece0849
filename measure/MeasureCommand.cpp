// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/MeasureCommand.h"

#include "common/NumberText.h"
#include "library/Export.h"
#include "measure/MeasureCore.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <cstring>

namespace kelvane::measure {

namespace {

const QString MeasureDriver = QStringLiteral("measure-driver"), MeasureBox = QStringLiteral("measure-box"),
              Re = QStringLiteral("re"), Sd = QStringLiteral("sd"), AddedMass = QStringLiteral("added-mass"),
              TestBox = QStringLiteral("test-box");

int fail(QTextStream &err, const QString &line)
{
    err << "kelvane: " << line << Qt::endl;
    return 1;
}

// The number of an option above 0, or 0 when it is not given; false (with the message) when the
// text is no such number.
bool optionNumber(const QCommandLineParser &parser, const QString &name, double &value, QTextStream &err)
{
    value = 0;
    if (!parser.isSet(name))
        return true;
    const QString text = parser.value(name);
    if (const std::optional<double> v = parseNumber(text); v && *v > 0 && std::isfinite(*v)) {
        value = *v;
        return true;
    }
    fail(err, QStringLiteral("--%1 needs a number above 0, not \"%2\".").arg(name, text));
    return false;
}

bool read(const QString &path, Curve &curve, QTextStream &err)
{
    driverdata::ReadResult r = driverdata::readCurveFile(path, driverdata::Kind::Impedance);
    if (!r.curve) {
        fail(err, r.error);
        return false;
    }
    curve = std::move(*r.curve);
    return true;
}

} // namespace

void addOptions(QCommandLineParser &parser)
{
    parser.addOption({MeasureDriver,
                      QStringLiteral("Measure a driver from its free-air impedance file FREE and print its parameters as CSV, "
                                     "with --added-mass or --test-box and the second file after it for Vas."),
                      QStringLiteral("FREE")});
    parser.addOption({Re, QStringLiteral("Measure driver: the voice coil's DC resistance (default: from the fit)."),
                      QStringLiteral("OHMS")});
    parser.addOption({Sd, QStringLiteral("Measure driver: the cone area in square centimetres."), QStringLiteral("CM2")});
    parser.addOption({AddedMass, QStringLiteral("Measure driver: grams added to the cone for the second file."),
                      QStringLiteral("G")});
    parser.addOption({TestBox, QStringLiteral("Measure driver: litres of the sealed test box of the second file."),
                      QStringLiteral("LITRES")});
    parser.addOption({MeasureBox, QStringLiteral("Print the tuning of a built vented box from its impedance file BOX."),
                      QStringLiteral("BOX")});
}

bool requested(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--measure-driver", 16) == 0 || std::strncmp(argv[i], "--measure-box", 13) == 0)
            return true;
    return false;
}

int run(const QCommandLineParser &parser, QTextStream &out, QTextStream &err)
{
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(MeasureBox)) {
        if (parser.isSet(MeasureDriver) || !files.isEmpty())
            return fail(err, QStringLiteral("--measure-box takes one file and nothing else."));
        Curve curve;
        if (!read(parser.value(MeasureBox), curve, err))
            return 1;
        const BoxCheck check = checkVentedBox(curve, std::nullopt);
        if (!check.ok())
            return fail(err, check.problem);
        out << "Fb [Hz]\n" << formatNumber(check.fb, QStringLiteral("#0.00")) << Qt::endl;
        return 0;
    }

    double re = 0;
    SecondInput in;
    double mass = 0, box = 0;
    if (!optionNumber(parser, Re, re, err) || !optionNumber(parser, Sd, in.sdCm2, err)
        || !optionNumber(parser, AddedMass, mass, err) || !optionNumber(parser, TestBox, box, err))
        return 1;
    if (mass > 0 && box > 0)
        return fail(err, QStringLiteral("--added-mass and --test-box are two ways to the same Vas: give one."));
    const bool second = mass > 0 || box > 0;
    if (files.size() > (second ? 1 : 0) || (second && files.isEmpty()))
        return fail(err, second ? QStringLiteral("--%1 needs the second impedance file after it.").arg(mass > 0 ? AddedMass : TestBox)
                                : QStringLiteral("A second impedance file needs --added-mass G or --test-box LITRES before it."));
    in.method = box > 0 ? VasMethod::TestBox : VasMethod::AddedMass;
    in.amount = box > 0 ? box : mass;

    Curve freeCurve, secondCurve;
    if (!read(parser.value(MeasureDriver), freeCurve, err) || (second && !read(files.constFirst(), secondCurve, err)))
        return 1;
    const FreeAir freeAir = measureFreeAir(freeCurve, re);
    if (!freeAir.ok())
        return fail(err, freeAir.problem);
    Mechanics mechanics;
    if (second) {
        mechanics = measureMechanics(freeAir, secondCurve, in);
        if (!mechanics.ok())
            return fail(err, mechanics.problem);
    }
    const library::Entry e = measuredEntry(freeAir, parser.value(MeasureDriver), second ? &mechanics : nullptr,
                                           second ? files.constFirst() : QString(), in);
    out << library::csvHeader() << ",Fit error [%]\n"
        << library::csvRow(e) << ',' << formatNumber(freeAir.fitError, QStringLiteral("#0.00")) << Qt::endl;
    return 0;
}

} // namespace kelvane::measure
