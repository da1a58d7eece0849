// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The build sheet: everything a builder takes to the workbench, laid out as tables of texts in a
// fixed order (title and driver data, the box with its cut list, the vent, the crossover, the
// graphs). Pure: values in, texts out; the PDF writer (SheetWriter.h) turns it into pages.
//
// Working units as in the window: volumes in cubic feet (added volume in cubic inches), lengths in
// inches, frequencies in Hz, Vd in cubic metres. The sheet shows inches and cubic feet, or
// millimetres and litres.

#include "crossover/CrossoverCore.h"
#include "graphs/GraphDrawing.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <variant>
#include <vector>

namespace kelvane::sheet {

// A picture for the sheet: its title, its drawing at 640 x 480 and the notes printed under it.
struct Graph {
    QString title;
    GraphDrawing drawing;
    QStringList notes;
};

// A box of the More Boxes tab: its net volume (the bandpass box's two chambers) and its results as
// the tab shows them, a caption and a text each.
struct MoreBox {
    double vb = 0;      // net volume, cubic feet; the bandpass box's sealed rear chamber
    double frontVb = 0; // the bandpass box's vented front chamber, cubic feet; 0 for the radiator box
    double ventDiameter = 0, ventLength = 0; // the bandpass box's vent, inches; 0 without one
    std::vector<std::pair<QString, QString>> results;
};

// The drivers in the box, when there are several.
struct Drivers {
    int count = 1;        // 1: the sheet says nothing of them
    QString group;        // the group in words, as the Box Model tab says it
    int cutOuts = 1;      // cut-outs in the front panel (the bandpass box: in the divider)
    double diameter = 0;  // of one driver, inches; 0 when unknown
    bool isobaric = false;
};

// What the window hands over: the calculated design as plain values.
struct Snapshot {
    QString driverName;
    // The Input tab's data as typed: a caption with its unit, and the text.
    std::vector<std::pair<QString, QString>> driverData;
    bool calculated = false;
    bool ventedRecommended = false;  // the driver's EBP advises a vented box
    int resultUnit = 0;              // 0 cubic feet, 1 litres, 2 cubic metres
    double vbSealed = 0, vbVented = 0, fb = 0;
    double addVolume = 0, percentOverVolume = 100;
    double userVentDia = 0;          // inches; 0 when none
    double vd = 0;                   // cubic metres; 0 when unknown
    std::optional<crossover::Design> crossover;
    GraphDrawing plan;               // the schematic, when there is a crossover
    // The parts as built (henries, farads; in the order of the crossover's sections) and the
    // simulation's note on the amplifier's lowest impedance; empty when not simulated.
    std::vector<double> wooferBuilt, tweeterBuilt;
    QString lowestImpedance;
    // The coils' resistances as built (ohms, one per part; 0 for a capacitor; empty: not listed), the
    // tweeter's L-pad and the baffle-step compensation at the values built (ohms, henries; 0: none).
    std::vector<double> wooferDcr, tweeterDcr;
    double padSeries = 0, padParallel = 0;
    double stepHenries = 0, stepOhms = 0, stepDcr = 0;
    // Frequency response and, when drawn, displacement limits; more graphs append here.
    std::vector<Graph> graphs;
    // The boxes of the More Boxes tab, when calculated.
    std::optional<MoreBox> radiatorBox, bandpassBox;
    Drivers drivers;
};

enum class PageSize { A4, Letter };

// What the builder chooses in the dialog or on the command line.
// The box on the sheet: the sealed or the vented box as `vented` says, or a box of the More Boxes tab.
enum class OtherBox { None, PassiveRadiator, Bandpass };
struct Choices {
    bool vented = true;
    int ratio = 0;                   // 0, 1, 2: the side ratios of the Box and Vent tab
    double wall = 18;                // wall thickness in the sheet's unit (mm or inches)
    bool metric = true;
    PageSize page = PageSize::A4;
    bool includeCrossover = true;
    OtherBox other = OtherBox::None;
};

// The defaults: the recommended box, the first ratio, 18 mm or 0.75 in, metric when the result unit
// is litres or cubic metres, Letter where the system measures in US units.
Choices defaultChoices(const Snapshot &s, bool usLocale);
inline constexpr double DefaultWallMm = 18, DefaultWallIn = 0.75;

// A command-line option (box, other-box: radiator or bandpass, ratio, wall, units, page) applied to the choices; the reason when its
// value is not one of those allowed (empty on success). The wall is in the sheet's unit.
QString applyOption(Choices &c, const QString &name, const QString &value);

// The six panels of a box of inside height H, width W and depth D (inches) with walls t thick:
// front and back between the sides (W x (H + 2t)), top and bottom between front and back and
// between the sides (W x D), the sides whole ((D + 2t) x (H + 2t)).
struct Panel {
    const char *name;
    int count;
    double length, width;            // inches; length along the box's height where it runs
};
std::array<Panel, 4> cutList(double height, double width, double depth, double wall);
inline const QString JoineryText = QStringLiteral(
    "Joinery: the sides are whole; front and back fit between the sides; top and bottom fit between "
    "the sides and between front and back.");

// Whether count round cut-outs of a diameter fit side by side, in rows and columns, on a panel of
// that height and width.
bool cutOutsFit(int count, double diameter, double height, double width);
inline const QString IsobaricNote = QStringLiteral(
    "Face to face: wire the outer driver reversed. Tunnel: same polarity; add the tunnel's volume to the box.");

// The vent to build: the user's diameter when given, else the narrowest standard diameter that is
// not too fast for the driver's Vd (the narrowest that fits when Vd is unknown; the widest that
// fits when every one is too fast). Diameter 0 when no round vent fits.
struct VentChoice {
    double diameter = 0, length = 0; // inches
    double speed = 0;                // m/s, 0 when unknown
    bool userChosen = false;
};
VentChoice chooseVent(const Snapshot &s);

struct Column {
    QString header;
    bool numeric = false;            // right-aligned, so the digits line up
};
struct Table {
    std::vector<Column> columns;
    std::vector<QStringList> rows;
};
struct Paragraph {
    QString text;
};
using Item = std::variant<Table, Paragraph, Graph>;
struct Section {
    QString heading;
    std::vector<Item> items;
};
struct Sheet {
    QString title;
    PageSize page = PageSize::A4;
    std::vector<Section> sections;
};

// date: the date to print; version: "Kelvane 1.0.6".
Sheet buildSheet(const Snapshot &s, const Choices &c, const QString &date, const QString &version);

} // namespace kelvane::sheet
