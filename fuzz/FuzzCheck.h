// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every fuzz target checks once a reader has accepted its bytes. A broken promise aborts, so
// libFuzzer (or the regression run of the ordinary test build) reports the input that broke it.

#include "library/DriverEntry.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace kelvane::fuzz {

inline void promise(bool kept, const char *what)
{
    if (!kept) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A driver file's reader: a failure leaves nothing behind; every entry kept has a name, Fs, Qts
// and Vas, carries its file's name, and each value it has is a finite number above 0 (0 and an
// empty cell mean unknown).
inline void checkImport(const library::ImportResult &r, const QString &source)
{
    if (!r.failure.isEmpty()) {
        promise(r.entries.empty() && r.skipped.isEmpty(), "a failed file gives no entries and no skipped lines");
        return;
    }
    for (const library::Entry &e : r.entries) {
        promise(library::unusableReason(e).isEmpty(), "every entry kept can be designed with");
        promise(e.source == source, "every entry names its file");
        for (const library::Column &c : library::NumericColumns) {
            const library::Value &v = e.*c.value;
            promise(!v || (std::isfinite(*v) && *v > 0), c.header);
        }
    }
    for (const QString &s : r.skipped)
        promise(!s.isEmpty(), "every entry left out says why");
}

} // namespace kelvane::fuzz
