// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the design-file reader. A design it accepts has every option and tab in range, and
// writes and reads back to the same design.

#include "design/DesignFile.h"
#include "fuzz/FuzzCheck.h"

using namespace kelvane;
using fuzz::promise;

namespace {

bool same(const design::Design &a, const design::Design &b)
{
    return a.texts == b.texts && a.choices == b.choices && a.calculated == b.calculated
           && a.frequencyDrawn == b.frequencyDrawn && a.displacementDrawn == b.displacementDrawn
           && a.crossoverCalculated == b.crossoverCalculated && a.tab == b.tab && a.analysis.graph == b.analysis.graph
           && a.analysis.power == b.analysis.power && a.analysis.vent == b.analysis.vent
           && a.moreBoxes.texts == b.moreBoxes.texts
           && a.moreBoxes.passiveRadiatorCalculated == b.moreBoxes.passiveRadiatorCalculated
           && a.moreBoxes.bandpassCalculated == b.moreBoxes.bandpassCalculated && a.drivers.count == b.drivers.count
           && a.drivers.wiring == b.drivers.wiring && a.drivers.isobaric == b.drivers.isobaric;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const design::ReadResult r = design::fromJson(fuzz::bytesOf(data, size));
    if (!r.ok())
        return 0;
    const design::Design &d = r.design;
    for (std::size_t i = 0; i < design::ChoiceFields.size(); ++i)
        promise(d.choices[i] >= (design::ChoiceFields[i].noneAllowed ? -1 : 0) && d.choices[i] < design::ChoiceFields[i].count,
                design::ChoiceFields[i].name);
    promise(d.tab >= 0 && d.tab < design::TabCount, "tab");
    promise(d.analysis.graph >= 0 && d.analysis.graph < design::AnalysisGraphCount, "CboAnalysisGraph");
    promise(d.analysis.vent >= -1 && d.analysis.vent < design::AnalysisVentCount, "CboAnalysisVent");
    const design::ReadResult again = design::fromJson(design::toJson(d));
    promise(again.ok(), "a design written reads back");
    promise(same(again.design, d), "a design written reads back the same");
    return 0;
}
