// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the analysis needs to know of a design, copied out of the window after "Calculate Box": the
// driver as the models used it and one entry per box. Plain values in working units; a box kind
// carries only the fields its model reads, so a new kind adds its own fields and nothing else.

#include <QString>
#include <vector>

namespace kelvane::analysis {

struct DriverSnapshot {
    QString name;
    double fs = 0;          // resonance, Hz
    double qts = 0;         // total Q, as the box models used it
    double qes = 0;         // electrical Q, as the efficiency calculation used it (estimated when not typed)
    double vas = 0;         // compliance volume, cubic feet
    double sensitivity = 0; // dB SPL at 1 W / 1 m
    double maxPower = 0;    // thermal power handling, W; 0 when not given
    double sd = 0;          // cone area, square metres; 0 when neither it nor the diameter is given
    double xmax = 0;        // one-way linear excursion, metres; 0 when not given
    double re = 0;          // voice-coil resistance, ohms; 0 when not given
    double le = 0;          // voice-coil inductance, henries; 0 when not given
};

enum class BoxKind { Sealed, Vented, PassiveRadiator, Bandpass };

// A round vent the vented box may be built with.
struct Vent {
    double diameter = 0; // inches
    double boxSpeed = 0; // m/s with the cone moving Vd at Fb (the Box and Vent tab); 0 when unknown
    bool own = false;    // the user's own diameter
};

// The passive radiators of a passive-radiator box, all alike and moving together.
struct Radiator {
    double sd = 0;  // area of one radiator, square metres
    double mms = 0; // moving mass of one radiator with any added mass, kg
    double vas = 0; // compliance volume of one radiator, cubic feet
    double qms = 0; // mechanical Q of one radiator
    double xmax = 0; // one-way linear excursion, metres; 0 when not given
    int count = 1;
};

struct BoxSnapshot {
    BoxKind kind = BoxKind::Sealed;
    double vb = 0;            // net volume, cubic feet (bandpass: the sealed rear chamber)
    double fc = 0, qtc = 0;   // sealed: system resonance (Hz) and total Q
    double fb = 0, qloss = 0; // vented, passive radiator, bandpass: tuning (Hz) and enclosure loss Q
    std::vector<Vent> vents;  // vented: the six standard vents, then the user's when given;
                              // bandpass: its one vent
    Radiator radiator;        // passive radiator
    double frontVb = 0;       // bandpass: the vented front chamber, cubic feet
};

struct Snapshot {
    bool calculated = false; // false: no results on offer, nothing else is looked at
    DriverSnapshot driver;
    std::vector<BoxSnapshot> boxes;
};

} // namespace kelvane::analysis
