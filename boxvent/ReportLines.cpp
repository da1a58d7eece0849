// SPDX-License-Identifier: GPL-3.0-or-later
#include "boxvent/ReportLines.h"
#include "common/NumberText.h"

#include <cmath>

namespace kelvane::boxvent {

namespace {

const QString AddedVolumeText = QStringLiteral("Additional volume due to bracing, speaker, vent, etc... :  ");
const QString OverVolumeText = QStringLiteral("Overvolume percentage :  ");
const QString SealedBoxText = QStringLiteral("Sealed Box  ");
const QString VentedBoxText = QStringLiteral("Vented Box  ");
const QString InsideText = QStringLiteral("                           (Inside Dimensions)");
const QString LitresInsideText = QStringLiteral("  l                          (Inside Dimensions)");
const QString ColumnsText = QStringLiteral(
    "      Ratios                Volumes              Height            Width            Depth");
const QString UnderlineText = QStringLiteral(
    "      ______                _______              ______            _____            _____");
const QString VentFrequencyText = QStringLiteral("Vent Frequency:  ");
const QString VentColumnsText =
    QStringLiteral("Diameter                Length                 Good for the following:");
const QString VentUnderlineText =
    QStringLiteral("________                ______                 _______________________");

const std::array<QString, 3> InchRatioText = {
    QStringLiteral("2.60 : 1.60 : 1         "),
    QStringLiteral("2.00 : 1.44 : 1         "),
    QStringLiteral("1.59 : 1.26 : 1         "),
};
const std::array<QString, 3> MetricRatioText = {
    QStringLiteral("2.60 : 1.60 : 1              "),
    QStringLiteral("2.00 : 1.44 : 1              "),
    QStringLiteral("1.59 : 1.26 : 1              "),
};

struct VentRow {
    QString diameter;
    QString remark;
};
const std::array<VentRow, 6> InchVentRows = {{
    {QStringLiteral("  1''                           "),
     QStringLiteral("                        (Minimum for 4'' Drivers)")},
    {QStringLiteral("  2''                           "),
     QStringLiteral("                         4'' and 5'' Drivers (Minimum for 6'' Drivers)")},
    {QStringLiteral("  3''                           "),
     QStringLiteral("                         6'' Drivers (Minimum for 8'' Drivers)")},
    {QStringLiteral("  4''                           "),
     QStringLiteral("                       8'' and 10'' Drivers (Minimum for 12'' Drivers)")},
    {QStringLiteral("  6''                           "),
     QStringLiteral("                      12'' Drivers (Minimum for 15'' Drivers)")},
    {QStringLiteral("  8''                           "),
     QStringLiteral("                      18'' Drivers (Minimum for 21'' Drivers)")},
}};
// Each metric remark starts with the length's unit " cm".
const std::array<VentRow, 6> MetricVentRows = {{
    {QStringLiteral("  2.54 cm                       "),
     QStringLiteral(" cm                       (Minimum for 10 cm Drivers)")},
    {QStringLiteral("  5.08 cm                       "),
     QStringLiteral(" cm                        10 cm and 13 cm Drivers (Minimum for 15 cm Drivers)")},
    {QStringLiteral("  7.62 cm                       "),
     QStringLiteral(" cm                        15 cm Drivers (Minimum for 20 cm Drivers)")},
    {QStringLiteral("  10.16 cm                     "),
     QStringLiteral(" cm                      20 cm and 25 cm Drivers (Minimum for 30 cm Drivers)")},
    {QStringLiteral("  15.24 cm                     "),
     QStringLiteral(" cm                     30 cm Drivers (Minimum for 38 cm Drivers)")},
    {QStringLiteral("  20.32 cm                     "),
     QStringLiteral(" cm                     46 cm Drivers (Minimum for 53 cm Drivers)")},
}};
const QString UserVentInchText = QStringLiteral("''                      ");
const QString UserVentRemarkText = QStringLiteral("                        User Chosen Vent Diameter");
const QString UserVentMetricText = QStringLiteral(" cm                      ");
const QString UserVentMetricRemarkText =
    QStringLiteral(" cm                       User Chosen Vent Diameter");

constexpr double CmPerInch = 2.54;
constexpr double CuFtPerLitre = 0.0353145;

QString V(double x, const char *pattern)
{
    return formatNumber(x, QLatin1String(pattern));
}

// A vent length in centimetres followed by its remark (which starts with " cm"); a length that is
// not positive prints as nothing, its unit dropped with it.
QString metricVent(double lengthInches, const QString &remark)
{
    if (lengthInches > 0)
        return V(lengthInches * CmPerInch, "0.0") + remark;
    return remark.mid(3);
}

void appendBlank(QStringList &out, int count)
{
    for (int i = 0; i < count; ++i)
        out << QString();
}

} // namespace

QStringList reportLines(const ReportInput &in)
{
    QStringList out;
    const double cm3PerCuIn = std::pow(CmPerInch, 3);
    if (in.metric)
        out << AddedVolumeText + V(in.addVolume * cm3PerCuIn, "0.0") + QStringLiteral(" Cu cm    (")
                   + plainPrint(in.addVolume) + QStringLiteral(" Cu. in.)");
    else
        out << AddedVolumeText + plainPrint(in.addVolume) + QStringLiteral(" Cu. in.");
    out << OverVolumeText + plainPrint(in.percentOverVolume) + QStringLiteral(" %");
    appendBlank(out, 2);

    // One box section: heading, column heads, three ratio rows (lines 5-11 and 14-20).
    const auto section = [&](const QString &title, bool sealed) {
        if (in.metric) {
            const double net = sealed ? in.vbSealed : in.vbVented;
            out << title + V(net / CuFtPerLitre, "0.0") + LitresInsideText;
        } else {
            out << title + (sealed ? in.originalCVol : in.originalVVol) + InsideText;
        }
        out << ColumnsText << UnderlineText;
        appendBlank(out, 1);
        for (int i = 0; i < 3; ++i) {
            if (in.metric) {
                const double build = sealed ? in.vbSealedBuild : in.vbVentedBuild;
                const double d = sealed ? in.depthSealed[i] : in.depthVented[i];
                const double height = i == 0 ? d * 2.6 : i == 1 ? d + d : d * 1.59;
                const double width = i == 0 ? d * 1.6 : i == 1 ? d * 1.44 : d * 1.26;
                out << MetricRatioText[i] + V(build / CuFtPerLitre, "0.0")
                           + QStringLiteral("  l                 ") + V(height * CmPerInch, "0.0")
                           + QStringLiteral(" cm          ") + V(width * CmPerInch, "0.0")
                           + QStringLiteral(" cm         ") + V(d * CmPerInch, "0.0") + QStringLiteral(" cm");
            } else {
                out << InchRatioText[i] + (sealed ? in.cVol[i] : in.vVol[i]) + QString(11, u' ')
                           + (sealed ? in.cHeight[i] : in.vHeight[i]) + QString(13, u' ')
                           + (sealed ? in.cWidth[i] : in.vWidth[i]) + QString(12, u' ')
                           + (sealed ? in.cDepth[i] : in.vDepth[i]);
            }
        }
    };
    section(SealedBoxText, true);
    appendBlank(out, 2);
    section(VentedBoxText, false);
    appendBlank(out, 3);

    out << VentFrequencyText + in.originalFb;
    appendBlank(out, 1);
    out << VentColumnsText << VentUnderlineText;
    appendBlank(out, 1);
    for (std::size_t k = 0; k < 6; ++k) {
        if (in.metric)
            out << MetricVentRows[k].diameter + metricVent(in.ventLength[k], MetricVentRows[k].remark);
        else
            out << InchVentRows[k].diameter + in.ventLengthCaption[k] + InchVentRows[k].remark;
    }
    if (in.ventDia6 > 0) {
        if (in.metric)
            out << QStringLiteral(" ") + V(in.ventDia6 * CmPerInch, "0.00") + UserVentMetricText
                       + metricVent(in.ventLength[6], UserVentMetricRemarkText);
        else
            out << QStringLiteral(" ") + in.ventDiaText + UserVentInchText + in.ventLengthCaption[6]
                       + UserVentRemarkText;
    }
    return out;
}

} // namespace kelvane::boxvent
