// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: a response or impedance text file (.frd, .zma), the same bytes read as both kinds.

#include "driverdata/DriverData.h"
#include "fuzz/FuzzCheck.h"

namespace {

using namespace kelvane;

// A refused file gives one message naming it and no curve; an accepted one at least 3 points of
// finite numbers at strictly rising frequencies above 0, a positive impedance, and a phase for
// every point or none.
void check(const driverdata::ReadResult &r, driverdata::Kind kind)
{
    if (!r.curve) {
        fuzz::promise(r.error.startsWith(QStringLiteral("c.frd: ")), "a refusal names the file");
        return;
    }
    const driverdata::Curve &c = *r.curve;
    fuzz::promise(r.error.isEmpty(), "an accepted file has no message");
    fuzz::promise(c.fileName == QStringLiteral("c.frd"), "the curve keeps the file's base name");
    fuzz::promise(c.hz.size() >= 3 && c.magnitude.size() == c.hz.size(), "at least 3 points, each with a magnitude");
    fuzz::promise(c.phaseDeg.empty() || c.phaseDeg.size() == c.hz.size(), "a phase for every point or none");
    for (std::size_t i = 0; i < c.hz.size(); ++i) {
        fuzz::promise(std::isfinite(c.hz[i]) && c.hz[i] > 0, "frequencies are finite and above 0");
        fuzz::promise(i == 0 || c.hz[i] > c.hz[i - 1], "frequencies rise strictly");
        fuzz::promise(std::isfinite(c.magnitude[i]), "magnitudes are finite");
        fuzz::promise(kind == driverdata::Kind::Response || c.magnitude[i] > 0, "impedances are above 0");
        fuzz::promise(c.phaseDeg.empty() || std::isfinite(c.phaseDeg[i]), "phases are finite");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    for (driverdata::Kind kind : {driverdata::Kind::Response, driverdata::Kind::Impedance})
        check(driverdata::readCurve(bytes, kind, QStringLiteral("/some/folder/c.frd")), kind);
    return 0;
}
