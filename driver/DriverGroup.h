// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Several identical drivers in one box, modelled as one equivalent driver that the box models, the
// graphs and the analysis take in place of the single driver. Plain functions; no widget.
//
// The rules follow from the small-signal model of the driver (Vas = rho c^2 Sd^2 Cms, Mms from Fs
// and Cms, the force factor from Re, Mms and Qes) and from the reference efficiency
// eta0 = 4 pi^2 Fs^3 Vas / (c^3 Qes):
// - N drivers side by side act as one cone of N times the area, moving N times the mass on
//   suspensions N times as stiff: Fs and the Q's stay, Vas = N Vas (Cms / N over (N Sd)^2),
//   Sd, Vd, Mms and the thermal power N times one driver's.
// - An isobaric pair (one driver behind the other, both moving the same air) has one driver's cone
//   area and displacement, twice the mass and twice the stiffness: Fs and the Q's stay, Vas halves
//   (Cms / 2 over Sd^2), Mms and the power double. N/2 pairs side by side: Vas N/4 times, Sd and
//   Vd N/2 times, Mms and the power N times one driver's.
// - The efficiency follows the equivalent Vas: 10 log10(Vas ratio) dB, +3.01 dB for two side by
//   side, -3.01 dB for an isobaric pair. The level at 2.83 V adds 10 log10(2.83^2 / Re) with the
//   group's Re.
// - Re, Le and the nominal impedance follow the wiring of all N drivers (in a pair the two drivers
//   are wired like the rest): series N times, parallel 1/N, series-parallel (two strings of two,
//   four drivers only) one driver's. The force factor then follows by itself (parallel: Bl, series:
//   N Bl), so the electrical Q stays and the impedance curve is N times or 1/N of one driver's.

#include <QString>
#include <QStringList>

#include <optional>

namespace kelvane::driver {

enum class Wiring { Parallel, Series, SeriesParallel };
inline constexpr int MaxDrivers = 8;

// One driver's values, or a group's equivalent. A value not known is 0, and stays 0 in the group.
struct DriverValues {
    double vas = 0;   // cubic feet
    double sd = 0;    // square metres
    double vd = 0;    // cubic metres
    double mms = 0;   // kg
    double power = 0; // W
    double re = 0;    // ohms
    double le = 0;    // henries
    double z = 0;     // nominal impedance, ohms
};

struct DriverGroup {
    int count = 1;
    Wiring wiring = Wiring::Parallel;
    bool isobaric = false;
    DriverValues equivalent;
    double efficiencyDb = 0; // the group's reference efficiency over one driver's, dB
    int cones = 1;           // cones facing the air: the count, or one per isobaric pair
};

// The group of count drivers (1 to MaxDrivers) wired as said. Isobaric pairs need an even count and
// series-parallel four drivers; otherwise the drivers stand side by side, wired in parallel.
DriverGroup group(const DriverValues &one, int count, Wiring wiring, bool isobaric);

// The count in a text: a whole number from 1 to MaxDrivers, or nothing.
std::optional<int> driverCount(const QString &text);
// The wirings offered for a count, in the order of the list: "Parallel", "Series", and for four
// drivers "Series-parallel".
QStringList wiringNames(int count);
inline bool isobaricOffered(int count) { return count % 2 == 0; }

// The group in words for the Box Model tab, for example "2 drivers in parallel: 4.0 ohms, Vas 170 l,
// Sd 440 cm², 92.0 dB at 1 W, 96.6 dB at 2.83 V"; each figure is left out while its data is missing
// (spl: the group's sensitivity at 1 W / 1 m). Empty for one driver.
QString groupLine(const DriverGroup &g, std::optional<double> spl);

} // namespace kelvane::driver
