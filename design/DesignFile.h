// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A design file: every entry a user makes, kept as the texts typed and the options chosen, written
// as pretty-printed JSON with a format name and a version number. Reading checks the whole file
// (size, JSON, format, version, the kind of every value) before anything is used, so a bad file is
// refused with a reason and never half applied. Also the CSV text of the calculated curves.
//
// No widget in sight: the window maps the names below to its controls.

#include "driverdata/DriverData.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace kelvane::design {

inline constexpr const char *FormatName = "Kelvane design";
inline constexpr int FormatVersion = 1;
inline constexpr const char *FileSuffix = "kelvane";
// A design is a few kilobytes, or a few megabytes with the drivers' measured curves kept inside it
// (four files of 30,000 points come to about 4 MB); anything larger is not read at all, and not saved.
inline constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

// One entry field, by the objectName of its control, in the section of the file that holds it.
// The order is the order in which a design is filled in: the driver data first, since changing
// Fs, Qts or Vas resets the Box Model fields.
struct TextField {
    const char *section;
    const char *name;
};
inline constexpr std::array<TextField, 28> TextFields = {{
    {"input", "TxtName"}, {"input", "TxtFs"}, {"input", "TxtQts"}, {"input", "TxtVas"},
    {"input", "TxtQes"}, {"input", "TxtQms"}, {"input", "TxtPower"}, {"input", "TxtVd"},
    {"input", "TxtSd"}, {"input", "TxtDia"}, {"input", "TxtXmax"}, {"input", "TxtVCHeight"},
    {"input", "TxtVCGap"},
    {"boxModel", "TxtQtc"}, {"boxModel", "TxtCBV"}, {"boxModel", "TxtQloss"}, {"boxModel", "TxtVFb"},
    {"boxModel", "TxtVBV"},
    {"boxAndVent", "TxtPercentOverVolume"}, {"boxAndVent", "TxtAddVolume"}, {"boxAndVent", "TxtVentDia"},
    {"crossover", "TxtRe"}, {"crossover", "TxtL"}, {"crossover", "TxtZ"}, {"crossover", "Text1"},
    {"crossover", "Text2"}, {"crossover", "Text3"}, {"crossover", "Text4"},
}};

// One option group: the index of the selected option, or -1 where none may be selected.
// "SealedModel" is the pair OptQtc (0, a box for the Qtc) and OptVolBox (1, a box of the volume).
struct ChoiceField {
    const char *section;
    const char *name;
    int count;
    bool noneAllowed;
};
inline constexpr std::array<ChoiceField, 8> ChoiceFields = {{
    {"input", "OptVas", 3, false}, {"input", "OptVd", 3, false}, {"input", "OptSd", 3, false},
    {"input", "OptDia", 3, false}, {"input", "OptXmax", 2, false},
    {"boxModel", "SealedModel", 2, false}, {"boxModel", "OptSealedVolumeBox", 3, false},
    {"crossover", "OptCrossoverType", 5, true},
}};

inline constexpr int TabCount = 9;

// The Analysis tab's choices, in an optional "analysis" section: the graph (index of
// CboAnalysisGraph), the power as typed (empty: the driver's maximum power) and the vent (index of
// CboAnalysisVent; -1: the narrowest that is not too fast). A file without them opens with these.
inline constexpr int AnalysisGraphCount = 7, AnalysisVentCount = 7;
struct AnalysisSettings {
    int graph = 0;
    QString power;
    int vent = -1;
};

// The More Boxes tab's fields as typed and whether each box was calculated, in an optional
// "moreBoxes" section; a missing entry keeps the text the tab starts with.
struct MoreBoxesField {
    const char *name;
    const char *start;
};
inline constexpr std::array<MoreBoxesField, 14> MoreBoxesFields = {{
    {"TxtPRSd", ""}, {"TxtPRMms", ""}, {"TxtPRVas", ""}, {"TxtPRQms", "5"}, {"TxtPRXmax", ""},
    {"TxtPRCount", "1"}, {"TxtPRVb", ""}, {"TxtPRFb", ""},
    {"TxtBPRearVolume", ""}, {"TxtBPFrontVolume", ""}, {"TxtBPFb", ""}, {"TxtBPRipple", "0.7"},
    {"TxtBPGain", "3"}, {"TxtBPVentDia", ""},
}};
struct MoreBoxesSettings {
    MoreBoxesSettings()
    {
        for (std::size_t i = 0; i < MoreBoxesFields.size(); ++i)
            texts[i] = QLatin1String(MoreBoxesFields[i].start);
    }
    std::array<QString, MoreBoxesFields.size()> texts;
    bool passiveRadiatorCalculated = false;
    bool bandpassCalculated = false;
};

// The drivers in the box (TxtDriverCount as typed, the index of CboWiring, ChkIsobaric), kept in
// the "boxModel" section only when the count is not "1": a design of one driver is written as it
// was before groups of drivers, and a file without them opens with one driver.
inline constexpr int WiringCount = 3;
struct DriverGroupSettings {
    QString count = QStringLiteral("1");
    int wiring = 0;
    bool isobaric = false;
};

// The Crossover tab's drivers, in an optional "crossoverDrivers" section: the four files kept inside
// the design (their base name and their points, so a design travels without them), the parts as
// built as typed (mH, uF), TxtTweeterSPL and TxtAcousticOffset as typed, ChkTweeterReversed (none:
// as the design's note says), CboCrossoverBox (-1: the recommended box) and CboCrossoverGraph.
// A file without them opens with these.
inline constexpr int CrossoverBoxCount = 2, CrossoverGraphCount = 4;
struct CrossoverDriversSettings {
    // Woofer response, woofer impedance, tweeter response, tweeter impedance.
    std::array<std::optional<driverdata::Curve>, 4> curves;
    std::array<QString, 4> wooferUsed, tweeterUsed;
    QString tweeterSpl, offset = QStringLiteral("0");
    std::optional<bool> reversed;
    int box = -1;
    int graph = 0;
    // The parts as built: coil resistances ("" for a capacitor or no part), pad (dB), baffle width
    // (mm), compensation (%), series (0 E12, 1 E24) and the power of the parts' stress (W; "" the
    // driver's maximum).
    std::array<QString, 4> wooferDcr, tweeterDcr;
    QString pad, baffleWidth, bafflePercent = QStringLiteral("0"), power;
    int series = 0;
};

struct Design {
    std::array<QString, TextFields.size()> texts{};   // by the index in TextFields
    std::array<int, ChoiceFields.size()> choices{};
    bool calculated = false;             // "Calculate Box" had run through on these data
    bool frequencyDrawn = false;         // the Frequency Response graph was drawn
    bool displacementDrawn = false;      // the Displacement Limits graph was drawn
    bool crossoverCalculated = false;    // the Crossover tab had been calculated
    int tab = 0;                         // the tab that was open
    AnalysisSettings analysis;
    MoreBoxesSettings moreBoxes;
    DriverGroupSettings drivers;
    CrossoverDriversSettings crossoverDrivers;
};

QByteArray toJson(const Design &design);

// The design, or the reason it cannot be one (reason empty on success), in words that complete
// "The design could not be opened from <file>: ...".
struct ReadResult {
    Design design;
    QString reason;
    bool ok() const { return reason.isEmpty(); }
};
ReadResult fromJson(const QByteArray &bytes);

// The whole file, at most MaxFileBytes of it; a reason when it cannot be read or is too large.
ReadResult readFile(const QString &path);

QString openFailureText(const QString &file, const QString &reason);
QString saveFailureText(const QString &file);
QString curvesFailureText(const QString &file);
QString askToSaveText(const QString &file);

// One column of the curves file: a heading and a per-frequency array (index = whole hertz).
struct CurveColumn {
    QString heading;
    const std::array<double, 501> *values;
};
// CSV: a header row, then one row per hertz from 10 to 500; "." decimals, up to 15 significant
// digits, a value that is not finite left empty.
QString curvesCsv(const std::vector<CurveColumn> &columns);

} // namespace kelvane::design
