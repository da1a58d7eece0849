// SPDX-License-Identifier: GPL-3.0-or-later
// Made-up drivers the library holds on its first start, so that a new user can try it at once.
// The makers and numbers are invented; each Qts is 1/(1/Qes + 1/Qms) rounded to three places.

#include "library/DriverStore.h"

namespace kelvane::library {

std::vector<Entry> sampleDrivers()
{
    struct Row {
        const char *maker, *model;
        double fs, qts, qes, qms, vas, re, le, z, sd, xmax, dia, power, spl, bl, mms;
        const char *notes;
    };
    static const Row rows[] = {
        {"Brennholt", "BW-5 Mid", 62, 0.461, 0.52, 4.1, 9.5, 6.0, 0.35, 8, 88, 3.5, 130, 40, 87, 5.0, 7.5,
         "5 inch midwoofer, paper cone"},
        {"Brennholt", "BW-8 Classic", 38, 0.379, 0.42, 3.9, 38, 5.6, 0.9, 8, 220, 5.0, 210, 80, 89, 7.2, 21,
         "8 inch woofer, paper cone"},
        {"Brennholt", "BW-10 Deep", 27, 0.354, 0.38, 5.2, 75, 5.8, 1.4, 8, 340, 7.5, 260, 150, 89, 9.8, 44,
         "10 inch woofer, long throw"},
        {"Corvane", "C6 Midwoofer", 48, 0.395, 0.45, 3.2, 14, 5.2, 0.6, 8, 125, 4.5, 165, 50, 86.5, 5.6, 11,
         "6.5 inch midwoofer, polypropylene cone"},
        {"Corvane", "C12 Sub", 22, 0.504, 0.55, 6.0, 120, 3.4, 2.2, 4, 480, 11, 310, 300, 87, 12.5, 95,
         "12 inch subwoofer"},
        {"Corvane", "C15 Sub Pro", 19, 0.398, 0.42, 7.5, 210, 3.3, 1.8, 4, 850, 12.5, 385, 500, 90, 17.0, 160,
         "15 inch subwoofer, vented boxes"},
        {"Halvorsen", "H4 Midrange", 95, 0.508, 0.62, 2.8, 2.1, 6.2, 0.25, 8, 50, 2.0, 100, 30, 86, 3.9, 3.4,
         "4 inch midrange, sealed back chamber"},
        {"Halvorsen", "H7 Two-Way", 45, 0.422, 0.48, 3.5, 22, 5.4, 0.7, 8, 150, 6.0, 180, 60, 87.5, 6.1, 14,
         "7 inch woofer for two-way boxes"},
        {"Tamsin Acoustic", "TA-10 Sub", 24, 0.449, 0.50, 4.4, 65, 3.6, 1.6, 4, 330, 9.0, 255, 200, 86, 10.5, 52,
         "10 inch subwoofer, small sealed boxes"},
        {"Tamsin Acoustic", "TA-12 Woofer", 30, 0.335, 0.36, 4.8, 95, 6.4, 1.1, 8, 510, 6.5, 305, 180, 92, 11.8, 58,
         "12 inch woofer, high sensitivity"},
    };
    std::vector<Entry> out;
    for (const Row &r : rows) {
        Entry e;
        e.maker = QString::fromUtf8(r.maker);
        e.model = QString::fromUtf8(r.model);
        e.fs = r.fs; e.qts = r.qts; e.qes = r.qes; e.qms = r.qms; e.vas = r.vas;
        e.re = r.re; e.le = r.le; e.z = r.z; e.sd = r.sd; e.xmax = r.xmax; e.diameter = r.dia;
        e.power = r.power; e.spl = r.spl; e.bl = r.bl; e.mms = r.mms;
        e.notes = QString::fromUtf8(r.notes);
        e.source = QStringLiteral("sample");
        out.push_back(e);
    }
    return out;
}

} // namespace kelvane::library
