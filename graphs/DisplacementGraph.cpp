// SPDX-License-Identifier: GPL-3.0-or-later
// The "Displacement Limits" tab: the level at which each box reaches the driver's excursion limit,
// relative to the level at its thermal limit, with the power notes, the mouse readout, and the
// image save and print.

#include "app/FrmKelvane.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "graphs/DisplacementCore.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QLineEdit>
#include <QTabWidget>
#include <algorithm>

using kelvane::CalcFault;
using kelvane::formatNumber;

namespace {

constexpr int Black = 0, DarkRed = 4, Grey = 8, Blue = 9, Magenta = 13;

// Text rows are placed at explicit positions, as an 8-point sans-serif font would stack them. The
// heading rows and the frequency-label row stand where the frequency-response graph prints the
// same rows (one row height apart from the top, the labels on row 26), the level rows are centred
// on their grid lines. Row 26 is kept clear of the frame's bottom edge whatever the row height.
double headingRowTop(int row)
{
    return (row - 1) * GraphPicture::RowHeight;
}
double levelRowTop(double gridY)
{
    return gridY - GraphPicture::RowHeight / 2;
}
const double FrequencyLabelTop = std::max(headingRowTop(26), graphgeo::PlotBottom - 1.5);
// The watt labels stand in the margin between the plot's right edge and the picture's.
constexpr double WattLabelX = graphgeo::PlotRight + 4;

void drawCurve(GraphPicture *pic, FrmKelvane::Curve &levels, double splMax, int colour)
{
    for (const displacement::CurveMark &m : displacement::curveMarks(levels, splMax, colour)) {
        if (m.point)
            pic->pset(m.x1, m.y1, m.colour);
        else
            pic->line(m.x1, m.y1, m.x2, m.y2, m.colour);
    }
}

} // namespace

void FrmKelvane::GraphDisplacement()
{
    GraphPicture *pic = PicDisplacementLimit;
    const int heading = pic->textColor();
    pic->drawText(0, headingRowTop(1), QStringLiteral("                  Driver:  ") + DriverName, heading);
    pic->drawText(0, headingRowTop(4), QStringLiteral("                  Magenta - Sealed Box Response"), Magenta);
    pic->drawText(0, headingRowTop(5), QStringLiteral("                         Blue - Vented Box Response"), Blue);
    pic->setTextColor(Black);
    for (const displacement::LevelRow &row : displacement::levelRows(SPLMax, Power)) {
        // A three-digit level ("  109.1 dB") is wider than the margin in this font: let the
        // leading blanks go off the left edge so the text always ends clear of the frame.
        const double dbX = std::min(0.0, graphgeo::PlotLeft - 4 - GraphPicture::textWidth(row.dbText));
        pic->drawText(dbX, levelRowTop(row.gridY), row.dbText, Black);
        // The long run of spaces in the watt pattern only pushes the value to the right margin,
        // which here is placed directly.
        pic->drawText(WattLabelX, levelRowTop(row.gridY), row.wattText.trimmed(), Black);
    }
    for (const graphgeo::FrequencyLabel &label : graphgeo::FrequencyLabels)
        pic->drawText(GraphPicture::columnX(label.column), FrequencyLabelTop, QLatin1String(label.text), Black);

    using namespace graphgeo;
    pic->setLineWidth(2);
    pic->box(PlotLeft, PlotTop, PlotRight, PlotBottom, DarkRed);
    pic->setLineWidth(1);
    // The thermal-limit level, solid; then dotted lines every 5 dB below it.
    pic->line(49, limitY(0), 548, limitY(0), Grey);
    for (int x = 49; x <= 547; x += 3)
        for (double level : {-5.0, -10.0, -15.0, -20.0, -25.0})
            pic->pset(x, limitY(level), Grey);
    for (int f : graphgeo::GridFrequencies)
        pic->line(graphX(f), 25, graphX(f), 303, Grey);
    for (int k = 3; k <= 33; k += 5)
        pic->line(52, 8 * k, 48, 8 * k, DarkRed);
}

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

        SSTab->setCurrentIndex(TabDisplacement);
        GraphPicture *pic = PicDisplacementLimit;
        pic->clear();
        pic->setScale(GraphPicture::LogicalWidth, GraphPicture::LogicalHeight);
        GraphDisplacement();

        // The notes start under the plot's lower-left corner.
        pic->pset(graphgeo::PlotLeft, graphgeo::PlotBottom, DarkRed);
        displacement::NoteInput notes;
        notes.recommendation = Recommendation;
        notes.spl = SPL;
        notes.estimatedNote = EstimatedNote;
        notes.power = Power;
        notes.splMax = SPLMax;
        notes.qtc = Qtc;
        notes.box = box;
        notes.volumeUnit = volumeUnitIndex();
        for (const QString &line : displacement::noteLines(notes))
            pic->print(line);

        pic->setLineWidth(2);
        drawCurve(pic, SPLVentedLimit, SPLMax, Blue);
        drawCurve(pic, SPLSealedLimit, SPLMax, Magenta);
        pic->setLineWidth(1);
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
    try {
        if (graphgeo::insidePlot(X, Y))
            TxtFreqPowerXNum->setText(formatNumber(displacement::readoutFrequency(X), QStringLiteral("#,##0.0 Hz")));
        double level = 0;
        if (graphgeo::insidePlot(X, Y)) {
            level = displacement::readoutLevel(Y, SPLMax);
            TxtSPLpowerYNum->setText(formatNumber(level, QStringLiteral("##,##0.0 dB")));
        }
        if (graphgeo::insidePlot(X, Y))
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
