// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frequency-response picture drawn from plain data: its frame (driver name, legend, level and
// frequency labels, grid), the sealed and vented curves and the summary under them.

#include "graphs/FrequencyCore.h"

#include <QString>
#include <QStringList>
#include <vector>

class GraphCanvas;

namespace freqcore {

// What the picture shows, kept with it so that it can be drawn again at any size.
struct FrequencyPicture {
    QString driverName;
    std::vector<freqcore::Mark> vented, sealed; // in 640 x 480 units
    QStringList summary;
};

// Draws the whole picture on pic at its size (640 x 480 the standard picture).
void drawFrequencyResponse(GraphCanvas &pic, const FrequencyPicture &d);

} // namespace freqcore
