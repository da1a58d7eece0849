// SPDX-License-Identifier: GPL-3.0-or-later
// The "Crossover Plans" tab: the schematic of the calculated network drawn on a 640 x 480 picture,
// amplifier on the left, the woofer's low-pass with the Zobel network above the common return
// wire, the tweeter's high-pass below it with the tweeter's polarity; every part with its value
// and its E12 value. Before a calculation it says what to enter. Saved and printed like a graph.

#include "crossover/CrossoverPictures.h"
#include "common/Checked.h"
#include "crossover/RealParts.h"
#include "common/NumberText.h"
#include "crossover/CrossoverCore.h"
#include "graphs/GraphPicture.h"

#include <QPushButton>
#include <cmath>
#include <numbers>

namespace {

constexpr int Black = 0, DarkRed = 4, Blue = 9, Magenta = 13;

// Where the plan's parts stand on a picture of a given size. On the 640 x 480 picture: the wires
// (the woofer's line, the common return, the tweeter's line), the amplifier's + wire down the left
// edge to both lines (its - terminal feeds the return), each part in a slot from the left, the
// Zobel network in the slot after the last part and the driver at the right. A larger picture
// spreads the wires over its height and the slots over its width; the symbols and the text keep
// their size.
struct PlanLayout {
    double width = 640, height = 480;
    double wooferY = 110, returnY = 240, tweeterY = 370;
    double busX = 14;
    double ampLeft = 24, ampRight = 72, ampTop = 215, ampBottom = 265;
    double slotLeft = 92, slotWidth = 88;
    double driverX = 566;
};

PlanLayout planLayout(double width, double height)
{
    PlanLayout l;
    if (width == l.width && height == l.height)
        return l;
    const double across = width / l.width, down = height / l.height;
    l.width = width;
    l.height = height;
    l.wooferY *= down;
    l.returnY *= down;
    l.tweeterY *= down;
    l.ampTop = l.returnY - 25;
    l.ampBottom = l.returnY + 25;
    l.slotWidth *= across;
    l.driverX = width - (640 - l.driverX);
    return l;
}

// Length of a part's symbol along its wire.
constexpr double BodyLength = 60;

enum class Symbol { Coil, Plates, Zigzag };

Symbol symbolOf(const crossover::Component &c)
{
    return c.kind == crossover::Component::Inductor ? Symbol::Coil : Symbol::Plates;
}

// A part's symbol centred between a and b on an axis-parallel wire, with leads to both ends.
void part(GraphCanvas &pic, Symbol symbol, double ax, double ay, double bx, double by)
{
    const bool vertical = ax == bx;
    const double length = vertical ? by - ay : bx - ax;
    const double start = (length - BodyLength) / 2;
    // Position u along the wire from a, v across it.
    const auto px = [&](double u, double v) { return vertical ? ax + v : ax + u; };
    const auto py = [&](double u, double v) { return vertical ? ay + u : ay + v; };
    const auto seg = [&](double u1, double v1, double u2, double v2) {
        pic.line(px(u1, v1), py(u1, v1), px(u2, v2), py(u2, v2), Black);
    };
    switch (symbol) {
    case Symbol::Coil: {
        seg(0, 0, start, 0);
        // Four turns, each a half circle over the wire.
        constexpr int Turns = 4, StepsPerTurn = 8;
        const double radius = BodyLength / Turns / 2;
        double u0 = start, v0 = 0;
        for (int k = 1; k <= Turns * StepsPerTurn; ++k) {
            const double phase = std::numbers::pi * (k % StepsPerTurn) / StepsPerTurn;
            const double u = start + BodyLength * k / (Turns * StepsPerTurn);
            const double v = k % StepsPerTurn == 0 ? 0.0 : -radius * std::sin(phase);
            seg(u0, v0, u, v);
            u0 = u;
            v0 = v;
        }
        seg(start + BodyLength, 0, length, 0);
        break;
    }
    case Symbol::Plates: {
        const double mid = length / 2;
        seg(0, 0, mid - 3, 0);
        seg(mid + 3, 0, length, 0);
        pic.setLineWidth(2);
        seg(mid - 3, -10, mid - 3, 10);
        seg(mid + 3, -10, mid + 3, 10);
        pic.setLineWidth(1);
        break;
    }
    case Symbol::Zigzag: {
        const double body = 36, first = (length - body) / 2;
        seg(0, 0, first, 0);
        double u0 = first, v0 = 0;
        for (int k = 1; k <= 6; ++k) {
            const double u = first + body * k / 6;
            const double v = k == 6 ? 0.0 : (k % 2 ? -6.0 : 6.0);
            seg(u0, v0, u, v);
            u0 = u;
            v0 = v;
        }
        seg(first + body, 0, length, 0);
        break;
    }
    }
}

void junction(GraphCanvas &pic, double x, double y)
{
    pic.setLineWidth(4);
    pic.pset(x, y, Black);
    pic.setLineWidth(1);
}

// Text centred on x.
void centred(GraphCanvas &pic, double x, double yTop, const QString &text, int colour)
{
    pic.drawText(x - GraphCanvas::textWidth(text) / 2, yTop, text, colour);
}

// A loudspeaker standing between two wires at the driver's place: its magnet as a small box, its
// cone opening to the right, + and - beside its terminals.
void loudspeaker(GraphCanvas &pic, const PlanLayout &l, double yTop, double yBottom, bool plusOnTop, int colour)
{
    const double DriverX = l.driverX;
    const double mid = (yTop + yBottom) / 2;
    pic.line(DriverX, yTop, DriverX, mid - 12, Black);
    pic.line(DriverX, mid + 12, DriverX, yBottom, Black);
    pic.box(DriverX - 5, mid - 12, DriverX + 5, mid + 12, colour);
    pic.line(DriverX + 5, mid - 12, DriverX + 15, mid - 24, colour);
    pic.line(DriverX + 15, mid - 24, DriverX + 15, mid + 24, colour);
    pic.line(DriverX + 15, mid + 24, DriverX + 5, mid + 12, colour);
    // The marks stand right of the leads, clear of the cone.
    const double upper = mid - 24 - GraphCanvas::RowHeight, lower = mid + 24;
    pic.drawText(DriverX + 4, plusOnTop ? upper : lower, QStringLiteral("+"), colour);
    pic.drawText(DriverX + 5, plusOnTop ? lower : upper, QStringLiteral("-"), colour);
}

// One section on its wire: series parts along it, shunt parts down (or up) to the return.
// Returns where the wire goes on after the last part.
double section(GraphCanvas &pic, const PlanLayout &l, const crossover::Section &parts, double wireY, bool labelsAbove)
{
    const double row = GraphCanvas::RowHeight;
    double cursor = l.busX;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const crossover::Component &c = parts[i];
        const double x0 = l.slotLeft + l.slotWidth * double(i);
        const QString name = crossover::partName(c, int(i)) + QStringLiteral("  ") + crossover::valueText(c);
        const QString e12 = QStringLiteral("E12  ") + crossover::e12Text(c);
        if (!c.shunt) {
            const double start = x0 + (l.slotWidth - BodyLength) / 2 - 6;
            pic.line(cursor, wireY, start, wireY, Black);
            part(pic, symbolOf(c), start, wireY, start + BodyLength, wireY);
            cursor = start + BodyLength;
            const double centre = start + BodyLength / 2;
            const double top = labelsAbove ? wireY - 14 - 2 * row : wireY + 10;
            centred(pic, centre, top, name, Black);
            centred(pic, centre, top + row, e12, Black);
        } else {
            const double xs = x0 + 24;
            junction(pic, xs, wireY);
            junction(pic, xs, l.returnY);
            part(pic, symbolOf(c), xs, std::min(wireY, l.returnY), xs, std::max(wireY, l.returnY));
            const double mid = (wireY + l.returnY) / 2;
            pic.drawText(xs + 12, mid - row, name, Black);
            pic.drawText(xs + 12, mid, e12, Black);
        }
    }
    return cursor;
}

// Breaks a note into rows no wider than width units.
QStringList wrapped(const QString &text, double width)
{
    QStringList rows;
    QString current;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
        if (!current.isEmpty() && GraphCanvas::textWidth(candidate) > width) {
            rows << current;
            current = word;
        } else {
            current = candidate;
        }
    }
    if (!current.isEmpty())
        rows << current;
    return rows;
}

// The plan of a network, or what to enter before there is one.
// The tweeter's L-pad at its values as built in the slot after the high-pass (R1 along the wire,
// R2 across the tweeter); returns where the wire goes on.
double padPlan(GraphCanvas &pic, const PlanLayout &l, const crossover::BuiltCrossover &b, double cursor)
{
    const crossover::LPad pad = crossover::builtPad(b);
    if (!pad.used)
        return cursor;
    const double row = GraphCanvas::RowHeight, y = l.tweeterY;
    const double x0 = l.slotLeft + l.slotWidth * double(b.tweeter.size());
    const double start = x0 + 2;
    pic.line(cursor, y, start, y, Black);
    part(pic, Symbol::Zigzag, start, y, start + 44, y);
    const double xs = start + 60;
    pic.line(start + 44, y, xs, y, Black);
    junction(pic, xs, y);
    junction(pic, xs, l.returnY);
    part(pic, Symbol::Zigzag, xs, l.returnY, xs, y);
    pic.drawText(start, y + 10, QStringLiteral("Pad"), Black);
    pic.drawText(start, y + 10 + row, QStringLiteral("R1  ") + kelvane::generalNumber(pad.series) + QStringLiteral(" Ohms"), Black);
    pic.drawText(xs - 36, l.returnY + 14 + row, QStringLiteral("R2  ") + kelvane::generalNumber(pad.parallel) + QStringLiteral(" Ohms"),
                 Black);
    return xs;
}

// The baffle-step compensation at its values as built, on the + wire up to the woofer: its coil
// with the resistor across it.
void bafflePlan(GraphCanvas &pic, const PlanLayout &l, const crossover::BuiltCrossover &b)
{
    if (!b.baffle.used)
        return;
    const double row = GraphCanvas::RowHeight;
    const double top = l.wooferY + 12, bottom = l.ampTop - 14, rx = l.busX + 24;
    const double mH = crossover::nearestInSeries(b.baffle.henries * 1e3, b.series);
    const double ohms = crossover::nearestInSeries(b.baffle.ohms, b.series);
    // The bus is cut between top and bottom: the network stands in it.
    pic.line(l.busX, top, rx, top, Black);
    pic.line(l.busX, bottom, rx, bottom, Black);
    part(pic, Symbol::Coil, l.busX, top, l.busX, bottom);
    part(pic, Symbol::Zigzag, rx, top, rx, bottom);
    const double x = rx + 10;
    pic.drawText(x, top, QStringLiteral("Step"), Black);
    pic.drawText(x, top + row, QStringLiteral("L ") + kelvane::generalNumber(mH) + QStringLiteral(" mH"), Black);
    pic.drawText(x, top + 2 * row, QStringLiteral("  ") + kelvane::formatNumber(b.baffle.dcr, QStringLiteral("#0.00")) + QStringLiteral(" Ohms DCR"), Black);
    pic.drawText(x, top + 3 * row, QStringLiteral("R ") + kelvane::generalNumber(ohms) + QStringLiteral(" Ohms"), Black);
}

} // namespace

namespace crossover {

void drawPlan(GraphCanvas &pic, const std::optional<crossover::Design> &network, const QString &DriverName,
              const std::optional<crossover::BuiltCrossover> &built)
{
    const PlanLayout l = planLayout(pic.width(), pic.height());
    const double row = GraphCanvas::RowHeight;
    const double WooferY = l.wooferY, ReturnY = l.returnY, TweeterY = l.tweeterY, DriverX = l.driverX;

    if (!network) {
        const char *hint[] = {
            "No crossover has been calculated yet.",
            "",
            "On the Crossover tab, enter the woofer impedance, the tweeter impedance and both",
            "crossover frequencies, choose one of the five crossover types and click",
            "\"Calculate Crossover\". Enter the woofer's Re and Le as well for a Zobel network",
            "across the woofer.",
        };
        double y = 180 * l.height / 480;
        for (const char *line : hint) {
            pic.drawText(60, y, QLatin1String(line), Black);
            y += row;
        }
        return;
    }
    const crossover::Design &d = *network;

    pic.drawText(8, 4, QStringLiteral("Crossover plan:  ") + QLatin1String(crossover::alignment(d.in.type).name), Black);
    pic.drawText(8, 4 + row, QStringLiteral("Driver:  ") + DriverName, Black);

    // The amplifier and its wires.
    pic.box(l.ampLeft, l.ampTop, l.ampRight, l.ampBottom, DarkRed);
    centred(pic, (l.ampLeft + l.ampRight) / 2, ReturnY - row / 2, QStringLiteral("Amp"), DarkRed);
    pic.drawText(l.ampLeft + 3, ReturnY - row / 2, QStringLiteral("+"), DarkRed);
    pic.drawText(l.ampRight - 8, ReturnY - row / 2, QStringLiteral("-"), DarkRed);
    pic.line(l.busX, ReturnY, l.ampLeft, ReturnY, Black);
    junction(pic, l.busX, ReturnY);
    if (built && built->baffle.used) {
        // The woofer's wire passes through the compensation.
        pic.line(l.busX, WooferY, l.busX, WooferY + 12, Black);
        pic.line(l.busX, l.ampTop - 14, l.busX, TweeterY, Black);
        bafflePlan(pic, l, *built);
    } else {
        pic.line(l.busX, WooferY, l.busX, TweeterY, Black);
    }
    pic.line(l.ampRight, ReturnY, DriverX, ReturnY, Black);

    // Woofer: low-pass, Zobel network, woofer.
    pic.drawText(l.slotLeft, WooferY - 22 - 3 * row,
                 QStringLiteral("Woofer low-pass, ") + kelvane::generalNumber(d.in.wooferOhms) + QStringLiteral(" Ohms")
                     + QStringLiteral(" at ") + kelvane::formatNumber(d.in.wooferHz, QStringLiteral("#,##0 Hz")),
                 Blue);
    double cursor = section(pic, l, d.woofer, WooferY, true);
    pic.line(cursor, WooferY, DriverX, WooferY, Black);
    const double zobelX = l.slotLeft + l.slotWidth * double(d.woofer.size()) + 24;
    if (d.zobel.used) {
        junction(pic, zobelX, WooferY);
        junction(pic, zobelX, ReturnY);
        const double middle = (WooferY + ReturnY) / 2;
        part(pic, Symbol::Zigzag, zobelX, WooferY, zobelX, middle);
        part(pic, Symbol::Plates, zobelX, middle, zobelX, ReturnY);
        pic.drawText(zobelX + 14, WooferY + 4, QStringLiteral("Zobel"), Black);
        pic.drawText(zobelX + 14, WooferY + 4 + row, QStringLiteral("R  ") + crossover::ohmsText(d.zobel.ohms), Black);
        pic.drawText(zobelX + 14, WooferY + 4 + 2 * row,
                      QStringLiteral("E12  ") + crossover::e12OhmsText(d.zobel.ohms), Black);
        pic.drawText(zobelX + 14, middle + 14, QStringLiteral("C  ") + crossover::faradsText(d.zobel.farads), Black);
        pic.drawText(zobelX + 14, middle + 14 + row,
                      QStringLiteral("E12  ") + crossover::e12FaradsText(d.zobel.farads), Black);
    } else {
        pic.drawText(zobelX - 10, (WooferY + ReturnY) / 2 - row / 2, QStringLiteral("Zobel not used"), Black);
    }
    loudspeaker(pic, l, WooferY, ReturnY, true, Blue);
    pic.drawText(DriverX + 22, (WooferY + ReturnY) / 2 - row, QStringLiteral("Woofer"), Blue);
    pic.drawText(DriverX + 22, (WooferY + ReturnY) / 2, kelvane::generalNumber(d.in.wooferOhms) + QStringLiteral(" Ohms"), Blue);

    // Tweeter: high-pass and tweeter, the + terminal on the return when it is reversed.
    cursor = section(pic, l, d.tweeter, TweeterY, false);
    if (built)
        cursor = padPlan(pic, l, *built, cursor);
    pic.line(cursor, TweeterY, DriverX, TweeterY, Black);
    const bool reversed = d.tweeterSign < 0;
    loudspeaker(pic, l, ReturnY, TweeterY, reversed, Magenta);
    const double tweeterMid = (ReturnY + TweeterY) / 2;
    pic.drawText(DriverX + 22, tweeterMid - row, QStringLiteral("Tweeter"), Magenta);
    pic.drawText(DriverX + 22, tweeterMid, kelvane::generalNumber(d.in.tweeterOhms) + QStringLiteral(" Ohms"), Magenta);
    pic.drawText(DriverX + 22, tweeterMid + row, reversed ? QStringLiteral("reversed") : QStringLiteral("normal"), Magenta);
    if (crossover::alignment(d.in.type).polarity == crossover::Polarity::Either)
        pic.drawText(DriverX + 22, tweeterMid + 2 * row, QStringLiteral("or reversed"), Magenta);
    pic.drawText(l.slotLeft, TweeterY + 14 + 2 * row,
                 QStringLiteral("Tweeter high-pass, ") + kelvane::generalNumber(d.in.tweeterOhms) + QStringLiteral(" Ohms")
                     + QStringLiteral(" at ") + kelvane::formatNumber(d.in.tweeterHz, QStringLiteral("#,##0 Hz")),
                 Magenta);

    // The notes, as far as they fit under the drawing.
    double y = TweeterY + 20 + 3 * row;
    for (const QString &note : crossover::notes(d))
        for (const QString &line : wrapped(note, l.width - 16)) {
            if (y + row > l.height)
                return;
            pic.drawText(8, y, line, Black);
            y += row;
        }
}

} // namespace crossover
