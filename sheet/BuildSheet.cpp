// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/BuildSheet.h"
#include "boxvent/BoxCore.h"
#include "common/NumberText.h"

#include <cmath>
#include <numbers>

namespace kelvane::sheet {

namespace {

constexpr double MmPerInch = 25.4;
constexpr double LitresPerCuFt = 1 / 0.0353145;
constexpr double CuInPerCuFt = 1728;
constexpr double SqInPerSqFt = 144;
constexpr double SqMPerSqIn = 0.0254 * 0.0254;

// Texts in the sheet's unit. Inches and cubic feet read exactly as the Box and Vent tab shows them.
struct Units {
    bool metric;
    QString length(double inches) const
    {
        return metric ? formatNumber(inches * MmPerInch, QStringLiteral("#0 mm")) : boxvent::lengthCaption(inches);
    }
    QString volume(double cuFt) const
    {
        return metric ? formatNumber(cuFt * LitresPerCuFt, QStringLiteral("#0.000 l")) : boxvent::volumeCaption(cuFt);
    }
    QString area(double sqIn) const
    {
        return metric ? formatNumber(sqIn * SqMPerSqIn, QStringLiteral("#0.000 m²"))
                      : formatNumber(sqIn / SqInPerSqFt, QStringLiteral("#0.00 sq ft"));
    }
    // A wall thickness as the builder gave it.
    QString wall(double value) const
    {
        return generalNumber(value) + (metric ? QStringLiteral(" mm") : QStringLiteral("''"));
    }
    double wallInches(double value) const { return metric ? value / MmPerInch : value; }
};

Table quantityTable(std::vector<QStringList> rows)
{
    return {{{QStringLiteral("Quantity")}, {QStringLiteral("Value"), true}}, std::move(rows)};
}

Section titleSection(const Snapshot &s, const QString &date, const QString &version)
{
    Section sec{QStringLiteral("Driver"), {}};
    sec.items.push_back(Table{{{QStringLiteral("Item")}, {QStringLiteral("Value")}},
                              {{QStringLiteral("Driver"), s.driverName},
                               {QStringLiteral("Date"), date},
                               {QStringLiteral("Program"), version}}});
    Table data{{{QStringLiteral("Driver data as typed")}, {QStringLiteral("Value"), true}}, {}};
    for (const auto &[caption, text] : s.driverData)
        if (!text.isEmpty())
            data.rows.push_back({caption, text});
    sec.items.push_back(std::move(data));
    return sec;
}

// The box of the More Boxes tab the choices name, or nothing.
const MoreBox *otherBox(const Snapshot &s, const Choices &c)
{
    const std::optional<MoreBox> &box = c.other == OtherBox::PassiveRadiator ? s.radiatorBox : s.bandpassBox;
    return c.other != OtherBox::None && box ? &*box : nullptr;
}

Section boxSection(const Snapshot &s, const Choices &c, const Units &u)
{
    const MoreBox *other = otherBox(s, c);
    // The bandpass box is built as one box holding both chambers.
    const double net = other ? other->vb + other->frontVb : c.vented ? s.vbVented : s.vbSealed;
    const double build = boxvent::buildVolume(net, s.addVolume, s.percentOverVolume);
    const int ratio = std::clamp(c.ratio, 0, 2);
    const boxvent::InsideDimensions in =
        boxvent::dimensionsFromDepth(ratio, boxvent::insideDepth(build, boxvent::SideRatios[std::size_t(ratio)].product));
    const double t = u.wallInches(c.wall);

    const QString heading = !other ? (c.vented ? QStringLiteral("Vented box") : QStringLiteral("Sealed box"))
                            : c.other == OtherBox::PassiveRadiator ? QStringLiteral("Passive radiator box")
                                                                   : QStringLiteral("Bandpass box");
    Section sec{heading, {}};
    const QString added = u.metric ? formatNumber(s.addVolume / CuInPerCuFt * LitresPerCuFt, QStringLiteral("#0.000 l"))
                                   : formatNumber(s.addVolume, QStringLiteral("#0.0 Cu. In."));
    sec.items.push_back(quantityTable({
        {QStringLiteral("Net volume"), u.volume(net)},
        {QStringLiteral("Added volume (bracing, vent, drivers)"), added},
        {QStringLiteral("Over-volume"), generalNumber(s.percentOverVolume) + QStringLiteral(" %")},
        {QStringLiteral("Build volume"), u.volume(build)},
        {QStringLiteral("Side ratio (height : width : depth)"),
         QLatin1String(boxvent::SideRatios[std::size_t(ratio)].caption)},
        {QStringLiteral("Wall thickness"), u.wall(c.wall)},
    }));
    sec.items.push_back(Table{{{QStringLiteral("Dimensions")}, {QStringLiteral("Height"), true},
                               {QStringLiteral("Width"), true}, {QStringLiteral("Depth"), true}},
                              {{QStringLiteral("Inside"), u.length(in.height), u.length(in.width), u.length(in.depth)},
                               {QStringLiteral("Outside"), u.length(in.height + 2 * t), u.length(in.width + 2 * t),
                                u.length(in.depth + 2 * t)}}});
    Table cut{{{QStringLiteral("Panel")}, {QStringLiteral("Count"), true}, {QStringLiteral("Length"), true},
               {QStringLiteral("Width"), true}, {QStringLiteral("Material"), true}},
              {}};
    int count = 0;
    double area = 0;
    for (const Panel &p : cutList(in.height, in.width, in.depth, t)) {
        const double a = p.count * p.length * p.width;
        cut.rows.push_back({QLatin1String(p.name), QString::number(p.count), u.length(p.length), u.length(p.width),
                            u.area(a)});
        count += p.count;
        area += a;
    }
    cut.rows.push_back({QStringLiteral("Total"), QString::number(count), QString(), QString(), u.area(area)});
    sec.items.push_back(std::move(cut));
    sec.items.push_back(Paragraph{JoineryText});
    if (const Drivers &d = s.drivers; d.count > 1) {
        // The drivers stand within the inside height and width, clear of the panels behind the front's edges.
        const bool divider = c.other == OtherBox::Bandpass;
        const QString panel = divider ? QStringLiteral("divider") : QStringLiteral("front panel");
        sec.items.push_back(quantityTable({{QStringLiteral("Drivers"), d.group},
                                           {QStringLiteral("Driver cut-outs in the ") + panel, QString::number(d.cutOuts)}}));
        if (d.diameter > 0 && !cutOutsFit(d.cutOuts, d.diameter, in.height, in.width))
            sec.items.push_back(Paragraph{QStringLiteral("Warning: %1 cut-out%2 of %3 cannot stand side by side in the %4 "
                                                         "(inside %5 high, %6 wide); choose another side ratio or a larger box.")
                                              .arg(d.cutOuts).arg(d.cutOuts > 1 ? QStringLiteral("s") : QString(),
                                                                  u.length(d.diameter), panel, u.length(in.height),
                                                                  u.length(in.width))});
        if (d.isobaric)
            sec.items.push_back(Paragraph{IsobaricNote});
    }
    return sec;
}

// The results of a box of the More Boxes tab, with how its box is divided or fitted.
Section otherSection(const MoreBox &box, const Choices &c, const Units &u)
{
    const bool bandpass = c.other == OtherBox::Bandpass;
    Section sec{bandpass ? QStringLiteral("Chambers and vent") : QStringLiteral("Passive radiators"), {}};
    std::vector<QStringList> rows;
    if (bandpass) {
        rows.push_back({QStringLiteral("Rear chamber (sealed, behind the driver)"), u.volume(box.vb)});
        rows.push_back({QStringLiteral("Front chamber (vented)"), u.volume(box.frontVb)});
        if (box.ventDiameter > 0) {
            rows.push_back({QStringLiteral("Vent diameter"), u.length(box.ventDiameter)});
            rows.push_back({QStringLiteral("Vent length"), box.ventLength > 0 ? u.length(box.ventLength)
                                                                              : QStringLiteral("too narrow: choose a wider vent")});
        }
    }
    for (const auto &[caption, text] : box.results)
        rows.push_back({caption, text});
    sec.items.push_back(quantityTable(std::move(rows)));
    sec.items.push_back(Paragraph{bandpass
        ? QStringLiteral("A divider panel splits the box into the two chambers; the driver is mounted in the divider and the vent "
                         "in a wall of the front chamber. Divider, driver and vent take up volume of their own: add it to the "
                         "chamber they stand in.")
        : QStringLiteral("The radiators are mounted in the box's walls like the driver; the added mass is fixed to the centre "
                         "of each radiator's cone.")});
    return sec;
}

Section ventSection(const Snapshot &s, const Units &u)
{
    Section sec{QStringLiteral("Vent"), {}};
    const VentChoice v = chooseVent(s);
    if (v.diameter <= 0) {
        sec.items.push_back(quantityTable({{QStringLiteral("Tuning (Fb)"), boxvent::tuningCaption(s.fb)}}));
        sec.items.push_back(Paragraph{QStringLiteral("No round vent fits this box and tuning.")});
        return sec;
    }
    // The tube's inside volume, cubic inches: pi (D/2)^2 L.
    const double tube = std::numbers::pi * v.diameter * v.diameter / 4 * v.length;
    const double build = boxvent::buildVolume(s.vbVented, s.addVolume, s.percentOverVolume);
    const QString speed = v.speed <= 0 ? QStringLiteral("unknown (enter Vd)")
                                       : boxvent::ventSpeedCaption(v.speed)
                                             + (boxvent::ventTooFast(v.speed) ? QStringLiteral(" ") + boxvent::VentTooFastText
                                                                               : QString());
    sec.items.push_back(quantityTable({
        {QStringLiteral("Tuning (Fb)"), boxvent::tuningCaption(s.fb)},
        {v.userChosen ? QStringLiteral("Vent diameter (your own)") : QStringLiteral("Vent diameter (narrowest not too fast)"),
         u.length(v.diameter)},
        {QStringLiteral("Vent length"), u.length(v.length)},
        {QStringLiteral("Air speed"), speed},
        {QStringLiteral("Vent tube volume"), u.volume(tube / CuInPerCuFt)},
        {QStringLiteral("Build volume with the vent tube"), u.volume(build + tube / CuInPerCuFt)},
    }));
    sec.items.push_back(Paragraph{QStringLiteral(
        "The vent tube takes up its own volume inside the box: add it to the build volume, as in the last row "
        "(or enter it as added volume on the Box and Vent tab). Sizes are the tube's inside.")});
    return sec;
}

QString kindText(const crossover::Component &p)
{
    return (p.kind == crossover::Component::Inductor ? QStringLiteral("Inductor") : QStringLiteral("Capacitor"))
           + (p.shunt ? QStringLiteral(", shunt") : QStringLiteral(", series"));
}

Section crossoverSection(const Snapshot &s)
{
    const crossover::Design &d = *s.crossover;
    Section sec{QStringLiteral("Crossover"), {}};
    sec.items.push_back(Graph{QStringLiteral("Schematic"), s.plan});
    Table parts{{{QStringLiteral("Section")}, {QStringLiteral("Part")}, {QStringLiteral("Kind")},
                 {QStringLiteral("Value"), true}, {QStringLiteral("E12"), true}},
                {}};
    const auto add = [&parts](const QString &section, const crossover::Section &list) {
        for (std::size_t i = 0; i < list.size(); ++i)
            parts.rows.push_back({section, crossover::partName(list[i], int(i)), kindText(list[i]),
                                  crossover::valueText(list[i]), crossover::e12Text(list[i])});
    };
    add(QStringLiteral("Woofer"), d.woofer);
    add(QStringLiteral("Tweeter"), d.tweeter);
    if (d.zobel.used) {
        parts.rows.push_back({QStringLiteral("Zobel"), QStringLiteral("R"), QStringLiteral("Resistor, across the woofer"),
                              crossover::ohmsText(d.zobel.ohms), crossover::e12OhmsText(d.zobel.ohms)});
        parts.rows.push_back({QStringLiteral("Zobel"), QStringLiteral("C"), QStringLiteral("Capacitor, across the woofer"),
                              crossover::faradsText(d.zobel.farads), crossover::e12FaradsText(d.zobel.farads)});
    }
    sec.items.push_back(std::move(parts));
    // The parts as the builder solders them, where they were simulated.
    if (s.wooferBuilt.size() == d.woofer.size() && s.tweeterBuilt.size() == d.tweeter.size() && !s.lowestImpedance.isEmpty()) {
        Table built{{{QStringLiteral("Section")}, {QStringLiteral("Part")}, {QStringLiteral("As built"), true}, {QStringLiteral("DCR"), true}}, {}};
        const auto ohms = [](double value) { return kelvane::formatNumber(value, QStringLiteral("#0.00 Ohms")); };
        const auto addBuilt = [&](const QString &section, const crossover::Section &list, const std::vector<double> &values,
                                  const std::vector<double> &dcr) {
            for (std::size_t i = 0; i < list.size(); ++i) {
                crossover::Component c = list[i];
                c.value = values[i];
                const bool coil = c.kind == crossover::Component::Inductor && i < dcr.size();
                built.rows.push_back({section, crossover::partName(list[i], int(i)), crossover::valueText(c),
                                      coil ? ohms(dcr[i]) : QString()});
            }
        };
        addBuilt(QStringLiteral("Woofer"), d.woofer, s.wooferBuilt, s.wooferDcr);
        addBuilt(QStringLiteral("Tweeter"), d.tweeter, s.tweeterBuilt, s.tweeterDcr);
        if (s.padSeries > 0) {
            built.rows.push_back({QStringLiteral("Pad"), QStringLiteral("R1"), ohms(s.padSeries), QString()});
            built.rows.push_back({QStringLiteral("Pad"), QStringLiteral("R2"), ohms(s.padParallel), QString()});
        }
        if (s.stepHenries > 0) {
            built.rows.push_back({QStringLiteral("Baffle step"), QStringLiteral("L"),
                                  kelvane::formatNumber(s.stepHenries * 1e3, QStringLiteral("#0.000 mH")), ohms(s.stepDcr)});
            built.rows.push_back({QStringLiteral("Baffle step"), QStringLiteral("R"), ohms(s.stepOhms), QString()});
        }
        sec.items.push_back(std::move(built));
        sec.items.push_back(Paragraph{s.lowestImpedance});
    }
    for (const QString &note : crossover::notes(d))
        sec.items.push_back(Paragraph{note});
    return sec;
}

} // namespace

Choices defaultChoices(const Snapshot &s, bool usLocale)
{
    Choices c;
    c.vented = s.ventedRecommended;
    c.metric = s.resultUnit > 0;
    c.wall = c.metric ? DefaultWallMm : DefaultWallIn;
    c.page = usLocale ? PageSize::Letter : PageSize::A4;
    c.includeCrossover = s.crossover.has_value();
    return c;
}

QString applyOption(Choices &c, const QString &name, const QString &value)
{
    const auto bad = [&](const char *allowed) {
        return QStringLiteral("--%1 must be %2, not \"%3\"").arg(name, QLatin1String(allowed), value);
    };
    if (name == QLatin1String("box")) {
        if (value != QLatin1String("sealed") && value != QLatin1String("vented"))
            return bad("sealed or vented");
        c.vented = value == QLatin1String("vented");
    } else if (name == QLatin1String("other-box")) {
        const int box = QStringList{QStringLiteral("radiator"), QStringLiteral("bandpass")}.indexOf(value);
        if (box < 0)
            return bad("radiator or bandpass");
        c.other = box == 0 ? OtherBox::PassiveRadiator : OtherBox::Bandpass;
    } else if (name == QLatin1String("ratio")) {
        const int r = QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}.indexOf(value);
        if (r < 0)
            return bad("1, 2 or 3");
        c.ratio = r;
    } else if (name == QLatin1String("wall")) {
        const std::optional<double> wall = parseNumber(value);
        if (!wall || !(*wall > 0))
            return bad("a number above 0");
        c.wall = *wall;
    } else if (name == QLatin1String("units")) {
        if (value != QLatin1String("metric") && value != QLatin1String("inch"))
            return bad("metric or inch");
        c.metric = value == QLatin1String("metric");
    } else if (name == QLatin1String("page")) {
        if (value != QLatin1String("a4") && value != QLatin1String("letter"))
            return bad("a4 or letter");
        c.page = value == QLatin1String("a4") ? PageSize::A4 : PageSize::Letter;
    }
    return {};
}

std::array<Panel, 4> cutList(double height, double width, double depth, double wall)
{
    const double tall = height + 2 * wall;
    return {{{"Front", 1, tall, width},
             {"Back", 1, tall, width},
             {"Side", 2, tall, depth + 2 * wall},
             {"Top and bottom", 2, width, depth}}};
}

bool cutOutsFit(int count, double diameter, double height, double width)
{
    for (int rows = 1; rows <= count; ++rows)
        if (rows * diameter <= height && (count + rows - 1) / rows * diameter <= width)
            return true;
    return false;
}

VentChoice chooseVent(const Snapshot &s)
{
    const double cuIn = s.vbVented * CuInPerCuFt;
    const auto make = [&](double diameter, bool own) {
        VentChoice v{diameter, boxvent::ventLength(diameter, s.fb, cuIn), 0, own};
        if (s.vd > 0)
            v.speed = boxvent::ventAirSpeed(s.fb, s.vd, diameter);
        return v;
    };
    if (s.userVentDia > 0) {
        const VentChoice own = make(s.userVentDia, true);
        if (std::isfinite(own.length) && own.length > 0)
            return own;
    }
    VentChoice widest;
    for (double d : boxvent::StandardVentDiameters) {
        const VentChoice v = make(d, false);
        if (!std::isfinite(v.length) || v.length <= 0)
            continue;
        if (!boxvent::ventTooFast(v.speed))
            return v;
        widest = v;
    }
    return widest;
}

Sheet buildSheet(const Snapshot &s, const Choices &c, const QString &date, const QString &version)
{
    const Units u{c.metric};
    Sheet sheet{QStringLiteral("Build sheet: ") + s.driverName, c.page, {}};
    sheet.sections.push_back(titleSection(s, date, version));
    sheet.sections.push_back(boxSection(s, c, u));
    if (const MoreBox *other = otherBox(s, c))
        sheet.sections.push_back(otherSection(*other, c, u));
    else if (c.vented)
        sheet.sections.push_back(ventSection(s, u));
    if (c.includeCrossover && s.crossover)
        sheet.sections.push_back(crossoverSection(s));
    Section graphs{QStringLiteral("Graphs"), {}};
    for (const Graph &g : s.graphs) {
        graphs.items.push_back(g);
        for (const QString &note : g.notes)
            graphs.items.push_back(Paragraph{note});
    }
    if (!graphs.items.empty())
        sheet.sections.push_back(std::move(graphs));
    return sheet;
}

} // namespace kelvane::sheet
