// SPDX-License-Identifier: GPL-3.0-or-later
// The "Displacement Limits" tab: the level at which each box reaches the driver's excursion limit,
// relative to the level at its thermal limit, with the power notes, the mouse readout, and the
// image save and print.

#include "app/FrmKelvane.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "graphs/DisplacementCore.h"
#include "graphs/GraphAxes.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QLineEdit>
#include <QTabWidget>
#include <algorithm>

using kelvane::CalcFault;
using kelvane::formatNumber;

using graphgeo::PlotLayout;

namespace {

constexpr int Black = 0, DarkRed = 4, Grey = 8, Blue = 9, Magenta = 13;

// What the picture shows, kept with it so that it can be drawn again at any size.
struct LimitsPicture {
    QString driverName;
    int headingColour = Black;
    double splMax = 0, power = 0;
    QStringList notes;
    std::vector<displacement::CurveMark> vented, sealed; // in 640 x 480 units
};

// Text rows are placed at explicit positions, as an 8-point sans-serif font would stack them. The
// heading rows and the frequency-label row stand where the frequency-response graph prints the
// same rows (one row height apart from the top, the labels on row 26), the level rows are centred
// on their grid lines. Row 26 is kept clear of the frame's bottom edge whatever the row height.
double headingRowTop(int row)
{
    return (row - 1) * GraphCanvas::RowHeight;
}
double levelRowTop(double gridY)
{
    return gridY - GraphCanvas::RowHeight / 2;
}
const double FrequencyLabelTop = std::max(headingRowTop(26), graphgeo::PlotBottom - 1.5);

// The level row's dB label left of the frame, its watt label in the margin right of it.
void levelRow(GraphCanvas &pic, const PlotLayout &l, const displacement::LevelRow &row)
{
    const double top = levelRowTop(l.y(row.gridY));
    // A three-digit level ("  109.1 dB") is wider than the margin in this font: let the leading
    // blanks go off the left edge so the text always ends clear of the frame.
    const double dbX = std::min(0.0, l.left - 4 - GraphCanvas::textWidth(row.dbText));
    pic.drawText(dbX, top, row.dbText, Black);
    // The long run of spaces in the watt pattern only pushes the value to the right margin,
    // which here is placed directly.
    pic.drawText(l.right + 4, top, row.wattText.trimmed(), Black);
}

void GraphDisplacement(GraphCanvas &pic, const PlotLayout &l, const LimitsPicture &d)
{
    pic.drawText(0, headingRowTop(1), QStringLiteral("                  Driver:  ") + d.driverName, d.headingColour);
    pic.drawText(0, headingRowTop(4), QStringLiteral("                  Magenta - Sealed Box Response"), Magenta);
    pic.drawText(0, headingRowTop(5), QStringLiteral("                         Blue - Vented Box Response"), Blue);
    pic.setTextColor(Black);
    for (const displacement::LevelRow &row : displacement::levelRows(d.splMax, d.power))
        levelRow(pic, l, row);
    // A larger picture has the room to label the dotted lines between them too.
    if (!l.isBase())
        for (const displacement::LevelRow &row : displacement::halfwayRows(d.splMax, d.power))
            levelRow(pic, l, row);
    graphaxes::frequencyLabels(pic, l, FrequencyLabelTop);

    using graphgeo::limitY;
    pic.setLineWidth(2);
    pic.box(l.left, l.top, l.right, l.bottom, DarkRed);
    pic.setLineWidth(1);
    // The thermal-limit level, solid; then dotted lines every 5 dB below it.
    pic.line(l.left + 1, limitY(l, 0), l.right - 1, limitY(l, 0), Grey);
    for (double x = l.left + 1; x <= l.right - 2; x += 3)
        for (double level : {-5.0, -10.0, -15.0, -20.0, -25.0})
            pic.pset(x, limitY(l, level), Grey);
    graphaxes::frequencyGrid(pic, l);
    for (int k = 3; k <= 33; k += 5)
        pic.line(l.left + 4, l.y(8 * k), l.left, l.y(8 * k), DarkRed);
}

void drawLimits(GraphCanvas &pic, const LimitsPicture &d)
{
    const PlotLayout l = graphgeo::responseLayout(pic.width(), pic.height());
    GraphDisplacement(pic, l, d);
    // The notes start under the plot's lower-left corner.
    pic.pset(l.left, l.bottom, DarkRed);
    for (const QString &line : d.notes)
        pic.print(line);
    pic.setLineWidth(2);
    for (const auto *marks : {&d.vented, &d.sealed})
        for (const displacement::CurveMark &m : *marks) {
            if (m.point)
                pic.pset(l.x(m.x1), l.y(m.y1), m.colour);
            else
                pic.line(l.x(m.x1), l.y(m.y1), l.x(m.x2), l.y(m.y2), m.colour);
        }
    pic.setLineWidth(1);
}

} // namespace

void FrmKelvane::CmdDisplacement_Click()
{
    try {
        Qes = kelvane::numberInOrZero(TxtQes->text());
        if (Qes == 0) {
            Program::ShowMoreDataNeeded();
            SSTab->setCurrentIndex(TabInput);
            TxtQes->setFocus();
            return;
        }
        Power = kelvane::numberInOrZero(TxtPower->text());
        if (Power == 0) {
            Program::ShowMoreDataNeeded();
            SSTab->setCurrentIndex(TabInput);
            TxtPower->setFocus();
            return;
        }
        EfficiencyCalcs();
        GetVd(Vd);
        if (Vd == 0) {
            Program::ShowMoreDataNeeded();
            SSTab->setCurrentIndex(TabInput);
            TxtVd->setFocus();
            return;
        }
        // All the drivers in the box: their power, and the displacement of the cones facing the air.
        const kelvane::driver::DriverValues group = driverGroup({.vd = Vd, .power = Power}).equivalent;
        Power = kelvane::checked(group.power);
        Vd = kelvane::checked(group.vd);

        const displacement::ThermalLimit thermal = displacement::thermalLimit(Power, Efficiency);
        AcousticPowerMax = thermal.acousticPowerMax;
        SPLMax = thermal.splMax;
        KpSealed = displacement::sealedCoefficient(Qtc);
        KpVented = displacement::VentedCoefficient;
        CalculateDisplacementSPL();

        const displacement::ReferenceBox box = displacement::referenceBox(Fs, Qts, Vas, Vd, Efficiency);
        AlphaQtc11 = box.alpha;
        FcQtc11 = box.fc;
        F3Qtc11 = box.f3;
        VbQtc11 = box.vb;
        AcousticPowerQtc11 = box.acousticPower;
        PowerQtc11 = box.power;

        displacement::NoteInput notes;
        notes.recommendation = Recommendation;
        notes.spl = SPL;
        notes.estimatedNote = EstimatedNote;
        notes.power = Power;
        notes.splMax = SPLMax;
        notes.qtc = Qtc;
        notes.box = box;
        notes.volumeUnit = volumeUnitIndex();
        LimitsPicture picture;
        picture.driverName = DriverName;
        picture.splMax = SPLMax;
        picture.power = Power;
        picture.notes = displacement::noteLines(notes);
        picture.vented = displacement::curveMarks(SPLVentedLimit, SPLMax, Blue);
        picture.sealed = displacement::curveMarks(SPLSealedLimit, SPLMax, Magenta);
        SSTab->setCurrentIndex(TabDisplacement);
        PicDisplacementLimit->setDrawing([picture](GraphCanvas &canvas) { drawLimits(canvas, picture); });
    } catch (const CalcFault &) {
        // A field that is not a number, or driver data the formulas cannot use. The figures behind
        // the readout (SPLMax, Efficiency) may already be the new ones, so the old picture goes:
        // its readout would no longer read its own curves.
        PicDisplacementLimit->clear();
        SSTab->setCurrentIndex(TabInput);
        Program::ShowNumberError();
    }
}

void FrmKelvane::CalculateDisplacementSPL()
{
    displacement::fillLimitCurves(KpSealed, Vd, PaSealed, SPLSealedLimit);
    displacement::fillLimitCurves(KpVented, Vd, PaVented, SPLVentedLimit);
}

void FrmKelvane::PicDisplacementLimit_MouseMove(int, int, double X, double Y)
{
    // Each field is updated only inside the plot; any failure ends the readout silently, leaving
    // the fields as far as they were updated.
    // The picture's plot at its size now: positions map back to the 640 x 480 plot.
    const PlotLayout l = graphgeo::responseLayout(PicDisplacementLimit->width(), PicDisplacementLimit->height());
    try {
        if (l.inside(X, Y))
            TxtFreqPowerXNum->setText(
                formatNumber(displacement::readoutFrequency(l.baseX(X)), QStringLiteral("#,##0.0 Hz")));
        double level = 0;
        if (l.inside(X, Y)) {
            level = displacement::readoutLevel(l.baseY(Y), SPLMax);
            TxtSPLpowerYNum->setText(formatNumber(level, QStringLiteral("##,##0.0 dB")));
        }
        if (l.inside(X, Y))
            TxtSPLpowerYwattsNum->setText(
                formatNumber(displacement::readoutWatts(level, Efficiency), QStringLiteral("##,##0.0 Watts")));
    } catch (...) {
    }
}

void FrmKelvane::CmdSaveDisplacement_Click()
{
    SaveGraphImage(PicDisplacementLimit, QStringLiteral("PowerResponse"), QStringLiteral("Limits"),
                   &FrmKelvane::CmdDisplacement_Click);
}

void FrmKelvane::CmdPrintDisplacement_Click()
{
    PrintGraphWindow(PicDisplacementLimit, CmdSaveDisplacement, CmdPrintDisplacement,
                     &FrmKelvane::CmdDisplacement_Click);
}
