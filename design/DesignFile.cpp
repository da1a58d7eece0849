// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/DesignFile.h"
#include "common/NumberText.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace kelvane::design {

namespace {

constexpr const char *Sections[] = {"input", "boxModel", "boxAndVent", "crossover"};
constexpr const char *StateSection = "state";
constexpr const char *AnalysisSection = "analysis";
constexpr const char *MoreBoxesSection = "moreBoxes";
constexpr const char *RadiatorFlag = "passiveRadiatorCalculated";
constexpr const char *BandpassFlag = "bandpassCalculated";
constexpr const char *DriverCountName = "TxtDriverCount", *WiringName = "CboWiring", *IsobaricName = "ChkIsobaric";

QString quoted(const char *name)
{
    return QLatin1Char('"') + QLatin1String(name) + QLatin1Char('"');
}

// A whole number from first to last, or nothing.
std::optional<int> wholeNumber(const QJsonValue &v, int first, int last)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (d != std::floor(d) || d < first || d > last)
        return std::nullopt;
    return int(d);
}

// The More Boxes tab's section: it and each of its entries may be missing (a file of an earlier
// release); what is there must be of its kind. The reason when it is not, else empty.
QString readMoreBoxes(const QJsonObject &root, MoreBoxesSettings &settings)
{
    const QJsonValue value = root.value(QLatin1String(MoreBoxesSection));
    if (value.isUndefined())
        return {};
    if (!value.isObject())
        return quoted(MoreBoxesSection) + QStringLiteral(" is not a group of entries");
    const QJsonObject section = value.toObject();
    for (std::size_t i = 0; i < MoreBoxesFields.size(); ++i) {
        const QJsonValue v = section.value(QLatin1String(MoreBoxesFields[i].name));
        if (v.isUndefined())
            continue;
        if (!v.isString())
            return quoted(MoreBoxesFields[i].name) + QStringLiteral(" is not a text");
        settings.texts[i] = v.toString();
    }
    const std::pair<const char *, bool *> flags[] = {{RadiatorFlag, &settings.passiveRadiatorCalculated},
                                                     {BandpassFlag, &settings.bandpassCalculated}};
    for (const auto &[name, flag] : flags) {
        const QJsonValue v = section.value(QLatin1String(name));
        if (v.isUndefined())
            continue;
        if (!v.isBool())
            return quoted(name) + QStringLiteral(" is not true or false");
        *flag = v.toBool();
    }
    return {};
}

// The drivers in the box: each entry may be missing (one driver), what is there must be of its
// kind. With a count of "1" the wiring and the pairs are those of one driver, as the file will be
// written again. The reason when an entry is not of its kind, else empty.
constexpr const char *CrossoverDriversSection = "crossoverDrivers";
constexpr const char *CurveNames[] = {"wooferResponse", "wooferImpedance", "tweeterResponse", "tweeterImpedance"};

// A curve kept in a design: its file's base name and its points as the lines of a file.
QJsonObject curveJson(const driverdata::Curve &c)
{
    QString points;
    for (std::size_t i = 0; i < c.hz.size(); ++i) {
        points += QString::number(c.hz[i], 'g', 10) + QLatin1Char(' ') + QString::number(c.magnitude[i], 'g', 10);
        if (c.hasPhase())
            points += QLatin1Char(' ') + QString::number(c.phaseDeg[i], 'g', 10);
        points += QLatin1Char('\n');
    }
    QJsonObject o;
    o.insert(QStringLiteral("file"), c.fileName);
    o.insert(QStringLiteral("points"), points);
    return o;
}

QJsonObject crossoverDriversJson(const CrossoverDriversSettings &s)
{
    QJsonObject o;
    for (std::size_t i = 0; i < 4; ++i)
        if (s.curves[i])
            o.insert(QLatin1String(CurveNames[i]), curveJson(*s.curves[i]));
    QJsonArray woofer, tweeter;
    for (std::size_t i = 0; i < 4; ++i) {
        woofer.append(s.wooferUsed[i]);
        tweeter.append(s.tweeterUsed[i]);
    }
    o.insert(QStringLiteral("TxtWooferPartUsed"), woofer);
    o.insert(QStringLiteral("TxtTweeterPartUsed"), tweeter);
    QJsonArray wooferDcr, tweeterDcr;
    for (std::size_t i = 0; i < 4; ++i) {
        wooferDcr.append(s.wooferDcr[i]);
        tweeterDcr.append(s.tweeterDcr[i]);
    }
    o.insert(QStringLiteral("TxtWooferPartDCR"), wooferDcr);
    o.insert(QStringLiteral("TxtTweeterPartDCR"), tweeterDcr);
    o.insert(QStringLiteral("TxtTweeterPad"), s.pad);
    o.insert(QStringLiteral("TxtBaffleWidth"), s.baffleWidth);
    o.insert(QStringLiteral("TxtBafflePercent"), s.bafflePercent);
    o.insert(QStringLiteral("TxtCrossoverPower"), s.power);
    o.insert(QStringLiteral("CboPartSeries"), s.series);
    o.insert(QStringLiteral("TxtTweeterSPL"), s.tweeterSpl);
    o.insert(QStringLiteral("TxtAcousticOffset"), s.offset);
    if (s.reversed)
        o.insert(QStringLiteral("ChkTweeterReversed"), *s.reversed);
    o.insert(QStringLiteral("CboCrossoverBox"), s.box);
    o.insert(QStringLiteral("CboCrossoverGraph"), s.graph);
    return o;
}

// Every entry may be missing; what is there must be of its kind, and a kept curve must read as
// its file did.
QString readCrossoverDrivers(const QJsonObject &root, CrossoverDriversSettings &s)
{
    const QJsonValue value = root.value(QLatin1String(CrossoverDriversSection));
    if (value.isUndefined())
        return {};
    if (!value.isObject())
        return quoted(CrossoverDriversSection) + QStringLiteral(" is not a group of entries");
    const QJsonObject o = value.toObject();
    for (std::size_t i = 0; i < 4; ++i) {
        const QJsonValue c = o.value(QLatin1String(CurveNames[i]));
        if (c.isUndefined())
            continue;
        const QJsonObject curve = c.toObject();
        const QJsonValue file = curve.value(QStringLiteral("file")), points = curve.value(QStringLiteral("points"));
        if (!c.isObject() || !file.isString() || !points.isString())
            return quoted(CurveNames[i]) + QStringLiteral(" is not a kept file");
        const driverdata::ReadResult read =
            driverdata::readCurve(points.toString().toUtf8(), i % 2 == 0 ? driverdata::Kind::Response : driverdata::Kind::Impedance,
                                  driverdata::baseName(file.toString()));
        if (!read.curve)
            return quoted(CurveNames[i]) + QStringLiteral(" is not a kept file (") + read.error + QLatin1Char(')');
        s.curves[i] = read.curve;
    }
    const std::pair<const char *, std::array<QString, 4> *> used[] = {{"TxtWooferPartUsed", &s.wooferUsed},
                                                                      {"TxtTweeterPartUsed", &s.tweeterUsed},
                                                                      {"TxtWooferPartDCR", &s.wooferDcr},
                                                                      {"TxtTweeterPartDCR", &s.tweeterDcr}};
    for (const auto &[name, texts] : used) {
        const QJsonValue v = o.value(QLatin1String(name));
        if (v.isUndefined())
            continue;
        const QJsonArray a = v.toArray();
        if (!v.isArray() || a.size() != 4 || std::any_of(a.begin(), a.end(), [](const QJsonValue &t) { return !t.isString(); }))
            return quoted(name) + QStringLiteral(" is not four texts");
        for (qsizetype i = 0; i < 4; ++i)
            (*texts)[std::size_t(i)] = a[i].toString();
    }
    const std::pair<const char *, QString *> texts[] = {
        {"TxtTweeterSPL", &s.tweeterSpl},     {"TxtAcousticOffset", &s.offset},         {"TxtTweeterPad", &s.pad},
        {"TxtBaffleWidth", &s.baffleWidth}, {"TxtBafflePercent", &s.bafflePercent}, {"TxtCrossoverPower", &s.power}};
    for (const auto &[name, text] : texts) {
        const QJsonValue v = o.value(QLatin1String(name));
        if (v.isUndefined())
            continue;
        if (!v.isString())
            return quoted(name) + QStringLiteral(" is not a text");
        *text = v.toString();
    }
    if (const QJsonValue v = o.value(QStringLiteral("ChkTweeterReversed")); !v.isUndefined()) {
        if (!v.isBool())
            return QStringLiteral("\"ChkTweeterReversed\" is not true or false");
        s.reversed = v.toBool();
    }
    const std::pair<const char *, std::pair<int, int *>> choices[] = {
        {"CboCrossoverBox", {CrossoverBoxCount, &s.box}},
        {"CboCrossoverGraph", {CrossoverGraphCount, &s.graph}},
        {"CboPartSeries", {2, &s.series}}};
    for (const auto &[name, choice] : choices) {
        const QJsonValue v = o.value(QLatin1String(name));
        if (v.isUndefined())
            continue;
        const std::optional<int> index = wholeNumber(v, qstrcmp(name, "CboCrossoverBox") == 0 ? -1 : 0, choice.first - 1);
        if (!index)
            return quoted(name) + QStringLiteral(" is not one of its options");
        *choice.second = *index;
    }
    return {};
}

QString readDrivers(const QJsonObject &boxModel, DriverGroupSettings &drivers)
{
    const QJsonValue count = boxModel.value(QLatin1String(DriverCountName));
    const QJsonValue wiring = boxModel.value(QLatin1String(WiringName));
    const QJsonValue isobaric = boxModel.value(QLatin1String(IsobaricName));
    if (!count.isUndefined() && !count.isString())
        return quoted(DriverCountName) + QStringLiteral(" is not a text");
    if (!wiring.isUndefined() && !wholeNumber(wiring, 0, WiringCount - 1))
        return quoted(WiringName) + QStringLiteral(" is not one of its options");
    if (!isobaric.isUndefined() && !isobaric.isBool())
        return quoted(IsobaricName) + QStringLiteral(" is not true or false");
    drivers.count = count.toString(QStringLiteral("1"));
    if (drivers.count != QLatin1String("1")) {
        drivers.wiring = wiring.toInt(0);
        drivers.isobaric = isobaric.toBool(false);
    }
    return {};
}

} // namespace

QByteArray toJson(const Design &design)
{
    QJsonObject sections[std::size(Sections)];
    const auto sectionOf = [&sections](const char *name) -> QJsonObject & {
        for (std::size_t i = 0; i < std::size(Sections); ++i)
            if (qstrcmp(Sections[i], name) == 0)
                return sections[i];
        Q_UNREACHABLE();
    };
    for (std::size_t i = 0; i < TextFields.size(); ++i)
        sectionOf(TextFields[i].section).insert(QLatin1String(TextFields[i].name), design.texts[i]);
    for (std::size_t i = 0; i < ChoiceFields.size(); ++i)
        sectionOf(ChoiceFields[i].section).insert(QLatin1String(ChoiceFields[i].name), design.choices[i]);
    if (design.drivers.count != QLatin1String("1")) {
        sectionOf("boxModel").insert(QLatin1String(DriverCountName), design.drivers.count);
        sectionOf("boxModel").insert(QLatin1String(WiringName), design.drivers.wiring);
        sectionOf("boxModel").insert(QLatin1String(IsobaricName), design.drivers.isobaric);
    }

    QJsonObject root;
    root.insert(QStringLiteral("format"), QLatin1String(FormatName));
    root.insert(QStringLiteral("version"), FormatVersion);
    for (std::size_t i = 0; i < std::size(Sections); ++i)
        root.insert(QLatin1String(Sections[i]), sections[i]);
    QJsonObject state;
    state.insert(QStringLiteral("calculated"), design.calculated);
    state.insert(QStringLiteral("frequencyResponseDrawn"), design.frequencyDrawn);
    state.insert(QStringLiteral("displacementLimitsDrawn"), design.displacementDrawn);
    state.insert(QStringLiteral("crossoverCalculated"), design.crossoverCalculated);
    state.insert(QStringLiteral("tab"), design.tab);
    root.insert(QLatin1String(StateSection), state);
    QJsonObject analysis;
    analysis.insert(QStringLiteral("CboAnalysisGraph"), design.analysis.graph);
    analysis.insert(QStringLiteral("TxtAnalysisPower"), design.analysis.power);
    analysis.insert(QStringLiteral("CboAnalysisVent"), design.analysis.vent);
    root.insert(QLatin1String(AnalysisSection), analysis);
    root.insert(QLatin1String(CrossoverDriversSection), crossoverDriversJson(design.crossoverDrivers));
    QJsonObject moreBoxes;
    for (std::size_t i = 0; i < MoreBoxesFields.size(); ++i)
        moreBoxes.insert(QLatin1String(MoreBoxesFields[i].name), design.moreBoxes.texts[i]);
    moreBoxes.insert(QLatin1String(RadiatorFlag), design.moreBoxes.passiveRadiatorCalculated);
    moreBoxes.insert(QLatin1String(BandpassFlag), design.moreBoxes.bandpassCalculated);
    root.insert(QLatin1String(MoreBoxesSection), moreBoxes);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ReadResult fromJson(const QByteArray &bytes)
{
    ReadResult r;
    const auto fail = [&r](const QString &reason) {
        r.reason = reason;
        return r;
    };
    if (bytes.isEmpty())
        return fail(QStringLiteral("the file is empty"));
    if (bytes.size() > MaxFileBytes)
        return fail(QStringLiteral("the file is too large to be a design"));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return fail(QStringLiteral("it is not a JSON file"));
    const QJsonObject root = doc.object();
    if (!doc.isObject() || root.value(QStringLiteral("format")) != QJsonValue(QLatin1String(FormatName)))
        return fail(QStringLiteral("it is not a Kelvane design"));
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (!wholeNumber(version, 1, std::numeric_limits<int>::max()))
        return fail(QStringLiteral("\"version\" is not a version number"));
    if (*wholeNumber(version, 1, std::numeric_limits<int>::max()) > FormatVersion)
        return fail(QStringLiteral("it was saved by a newer version of Kelvane"));

    // Every section and entry must be there and of its kind; names the program does not know are
    // left alone.
    const auto section = [&root](const char *name) -> std::optional<QJsonObject> {
        const QJsonValue v = root.value(QLatin1String(name));
        if (!v.isObject())
            return std::nullopt;
        return v.toObject();
    };
    for (const char *name : Sections)
        if (!section(name))
            return fail(quoted(name) + QStringLiteral(" is missing or not a group of entries"));
    const std::optional<QJsonObject> state = section(StateSection);
    if (!state)
        return fail(quoted(StateSection) + QStringLiteral(" is missing or not a group of entries"));

    for (std::size_t i = 0; i < TextFields.size(); ++i) {
        const QJsonValue v = section(TextFields[i].section)->value(QLatin1String(TextFields[i].name));
        if (!v.isString())
            return fail(quoted(TextFields[i].name) + QStringLiteral(" is missing or not a text"));
        r.design.texts[i] = v.toString();
    }
    for (std::size_t i = 0; i < ChoiceFields.size(); ++i) {
        const ChoiceField &c = ChoiceFields[i];
        const std::optional<int> index =
            wholeNumber(section(c.section)->value(QLatin1String(c.name)), c.noneAllowed ? -1 : 0, c.count - 1);
        if (!index)
            return fail(quoted(c.name) + QStringLiteral(" is missing or not one of its options"));
        r.design.choices[i] = *index;
    }
    const std::pair<const char *, bool *> flags[] = {
        {"calculated", &r.design.calculated},
        {"frequencyResponseDrawn", &r.design.frequencyDrawn},
        {"displacementLimitsDrawn", &r.design.displacementDrawn},
        {"crossoverCalculated", &r.design.crossoverCalculated},
    };
    for (const auto &[name, flag] : flags) {
        const QJsonValue v = state->value(QLatin1String(name));
        if (!v.isBool())
            return fail(quoted(name) + QStringLiteral(" is missing or not true or false"));
        *flag = v.toBool();
    }
    const std::optional<int> tab = wholeNumber(state->value(QStringLiteral("tab")), 0, TabCount - 1);
    if (!tab)
        return fail(QStringLiteral("\"tab\" is missing or not a tab"));
    r.design.tab = *tab;
    if (const QString reason = readMoreBoxes(root, r.design.moreBoxes); !reason.isEmpty())
        return fail(reason);
    if (const QString reason = readDrivers(*section("boxModel"), r.design.drivers); !reason.isEmpty())
        return fail(reason);

    if (const QString reason = readCrossoverDrivers(root, r.design.crossoverDrivers); !reason.isEmpty())
        return fail(reason);

    // The Analysis tab's section and each of its entries may be missing (a file of an earlier
    // release); what is there must be of its kind.
    const QJsonValue analysisValue = root.value(QLatin1String(AnalysisSection));
    if (analysisValue.isUndefined())
        return r;
    if (!analysisValue.isObject())
        return fail(quoted(AnalysisSection) + QStringLiteral(" is not a group of entries"));
    const QJsonObject analysis = analysisValue.toObject();
    const std::pair<const char *, std::pair<int, int *>> choices[] = {
        {"CboAnalysisGraph", {AnalysisGraphCount, &r.design.analysis.graph}},
        {"CboAnalysisVent", {AnalysisVentCount, &r.design.analysis.vent}},
    };
    for (const auto &[name, choice] : choices) {
        const QJsonValue v = analysis.value(QLatin1String(name));
        if (v.isUndefined())
            continue;
        const std::optional<int> index = wholeNumber(v, qstrcmp(name, "CboAnalysisVent") == 0 ? -1 : 0, choice.first - 1);
        if (!index)
            return fail(quoted(name) + QStringLiteral(" is not one of its options"));
        *choice.second = *index;
    }
    const QJsonValue power = analysis.value(QStringLiteral("TxtAnalysisPower"));
    if (!power.isUndefined() && !power.isString())
        return fail(QStringLiteral("\"TxtAnalysisPower\" is not a text"));
    r.design.analysis.power = power.toString();
    return r;
}

ReadResult readFile(const QString &path)
{
    ReadResult r;
    const QFileInfo info(path);
    if (!info.exists()) {
        r.reason = QStringLiteral("there is no such file");
        return r;
    }
    if (info.isDir()) {
        r.reason = QStringLiteral("it is a folder");
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.reason = QStringLiteral("the file cannot be read");
        return r;
    }
    // One byte past the limit tells a file that is too large, also where the size is not known
    // beforehand (a pipe).
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        r.reason = QStringLiteral("the file cannot be read");
        return r;
    }
    return fromJson(bytes);
}

QString openFailureText(const QString &file, const QString &reason)
{
    return QStringLiteral("The design could not be opened from ") + file + QStringLiteral(": ") + reason
           + QLatin1Char('.');
}

QString saveFailureText(const QString &file)
{
    return QStringLiteral("The design could not be saved to ") + file + QLatin1Char('.');
}

QString curvesFailureText(const QString &file)
{
    return QStringLiteral("The curves could not be saved to ") + file + QLatin1Char('.');
}

QString askToSaveText(const QString &file)
{
    return QStringLiteral("Do you want to save the changes to ") + file + QStringLiteral("?");
}

QString curvesCsv(const std::vector<CurveColumn> &columns)
{
    QString out = QStringLiteral("Frequency (Hz)");
    for (const CurveColumn &c : columns)
        out += QLatin1Char(',') + c.heading;
    out += QLatin1Char('\n');
    for (int f = 10; f <= 500; ++f) {
        out += QString::number(f);
        for (const CurveColumn &c : columns)
            out += QLatin1Char(',') + generalNumber((*c.values)[f]); // empty when not finite
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace kelvane::design
