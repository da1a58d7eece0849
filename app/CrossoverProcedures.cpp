// SPDX-License-Identifier: GPL-3.0-or-later
// The procedures of the "Crossover" and "Crossover Plans" tabs. "Calculate Crossover": read the woofer
// and tweeter data, stop on missing or bad data, design both sections and the Zobel network, and show
// the parts, the notes, the response and the plan; the response plot with its readout under the mouse;
// the schematic with its "Save Image" and "Print" buttons. The pictures themselves are drawn in
// crossover/ from plain data.

#include "app/CrossoverDriversPanel.h"
#include "app/CrossoverPlansTab.h"
#include "app/Controls.h"
#include "app/CrossoverTab.h"
#include "app/GraphTabs.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "crossover/CrossoverCore.h"
#include "crossover/CrossoverPictures.h"
#include "driver/Program.h"
#include "graphs/GraphPicture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

void showSection(const crossover::Section &section, const std::array<QLabel *, 4> &names,
                 const std::array<QLabel *, 4> &values, const std::array<QLabel *, 4> &e12)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool used = i < section.size();
        names[i]->setText(used ? crossover::partName(section[i], int(i)) + QLatin1Char(':') : QString());
        values[i]->setText(used ? crossover::valueText(section[i]) : QString());
        e12[i]->setText(used ? crossover::e12Text(section[i]) : QString());
    }
}

} // namespace

void CrossoverTab::CmdCalculateCrossover_Click()
{
    // The fields in tab order; the first one that is not a number, or that is required and
    // missing (empty or 0), stops the calculation with the focus in it.
    struct Entry {
        QLineEdit *field;
        bool required;
        double value = 0;
    };
    Entry entries[] = {{TxtRe, false}, {TxtL, false}, {TxtZ, true}, {Text1, false},
                       {Text2, true},  {Text3, true}, {Text4, true}};
    for (Entry &e : entries) {
        const QString text = e.field->text();
        if (!text.isEmpty()) {
            const std::optional<double> value = kelvane::parseNumber(text);
            if (!value) {
                Program::ShowNumberError();
                e.field->setFocus();
                return;
            }
            e.value = *value;
        }
        if (e.required && e.value == 0) {
            Program::ShowMoreDataNeeded();
            e.field->setFocus();
            return;
        }
    }
    const int type = controls::selectedIndex(OptCrossoverType);
    if (type < 0) {
        Program::ShowMoreDataNeeded();
        OptCrossoverType[0]->setFocus();
        return;
    }

    crossover::Input in;
    in.type = type;
    in.reOhms = entries[0].value;
    in.leHenries = entries[1].value / 1000.0; // typed in mH
    in.wooferOhms = entries[2].value;
    in.tweeterFs = entries[3].value;
    in.tweeterOhms = entries[4].value;
    in.wooferHz = entries[5].value;
    in.tweeterHz = entries[6].value;

    // The whole network and its curves are worked out before anything is shown, so a fault leaves
    // the tabs as they were.
    crossover::Design network;
    try {
        // A group of woofers: the network is designed on the group's nominal impedance, the Zobel
        // on the group's Re and Le.
        const kelvane::driver::DriverValues woofers =
            groupOf({.re = in.reOhms, .le = in.leHenries, .z = in.wooferOhms});
        crossover::Input group = in;
        group.reOhms = woofers.re;
        group.leHenries = woofers.le;
        group.wooferOhms = woofers.z;
        network = crossover::design(group);
        crossover::plot::allCurvePoints(network);
    } catch (const kelvane::CalcFault &) {
        Program::ShowNumberError();
        return;
    }

    State.Re = in.reOhms;
    State.Z = in.wooferOhms;
    State.TweeterFs = in.tweeterFs;
    State.TweeterZ = in.tweeterOhms;
    State.WooferXover = in.wooferHz;
    State.TweeterXover = in.tweeterHz;
    State.CrossoverNetwork = network;

    showSection(network.woofer, LblWooferPartName, LblWooferPart, LblWooferPartE12);
    showSection(network.tweeter, LblTweeterPartName, LblTweeterPart, LblTweeterPartE12);
    if (network.zobel.used) {
        LblZobelR->setText(crossover::ohmsText(network.zobel.ohms));
        LblZobelRE12->setText(crossover::e12OhmsText(network.zobel.ohms));
        LblZobelC->setText(crossover::faradsText(network.zobel.farads));
        LblZobelCE12->setText(crossover::e12FaradsText(network.zobel.farads));
    } else {
        LblZobelR->setText(QStringLiteral("not used"));
        LblZobelC->setText(QStringLiteral("not used"));
        LblZobelRE12->clear();
        LblZobelCE12->clear();
    }
    LblCrossoverNotes->setText(QStringLiteral("Notes: ") + crossover::notes(network).join(QLatin1Char(' ')));
    updateDrivers(true);

    CrossoverResponse();
    networkCalculated();
}

void CrossoverTab::CrossoverResponse()
{
    // The simulated graphs are the panel's.
    if (CrossoverDrivers->drawsPicture()) {
        CrossoverDrivers->redraw();
        return;
    }
    crossover::ResponsePicture picture;
    picture.network = State.CrossoverNetwork;
    if (State.CrossoverNetwork)
        picture.curves = crossover::plot::allCurvePoints(*State.CrossoverNetwork);
    Picture1->setDrawing([picture](GraphCanvas &canvas) { crossover::drawResponse(canvas, picture); });
}

void CrossoverTab::Picture1_MouseMove(int /*Button*/, int /*Shift*/, double X, double Y)
{
    if (CrossoverDrivers->mouseMove(X, Y))
        return;
    const graphgeo::PlotLayout l = crossover::responsePlotLayout(Picture1->width(), Picture1->height());
    if (!l.inside(X, Y))
        return;
    TxtCrossoverFreqXNum->setText(
        kelvane::formatNumber(crossover::plot::freqAtX(l.baseX(X)), QStringLiteral("#,##0 Hz")));
    TxtCrossoverYNum->setText(
        kelvane::formatNumber(crossover::plot::levelAtY(l.baseY(Y)), QStringLiteral("##,##0.0 dB")));
}

void CrossoverPlansTab::CrossoverPlan()
{
    // The pad and the baffle-step compensation as built, when there are any.
    std::optional<crossover::BuiltCrossover> built;
    try {
        if (state_.CrossoverNetwork && builtCrossover) {
            built = builtCrossover();
            crossover::builtNetwork(*built); // the pad and the compensation can be built
            if (built->baffle.used) {
                crossover::nearestInSeries(built->baffle.henries * 1e3, built->series);
                crossover::nearestInSeries(built->baffle.ohms, built->series);
            }
        }
    } catch (const kelvane::CalcFault &) {
        built.reset();
    }
    PicCrossoverPlan->setDrawing([network = state_.CrossoverNetwork, name = state_.DriverName, built](GraphCanvas &canvas) {
        crossover::drawPlan(canvas, network, name, built);
    });
}

void CrossoverPlansTab::CmdSavePlan_Click()
{
    SaveGraphImage(PicCrossoverPlan, state_.DriverName, QStringLiteral("Crossover"), QStringLiteral("Plan"), [this] { CrossoverPlan(); });
}

void CrossoverPlansTab::CmdPrintPlan_Click()
{
    PrintGraphWindow(PicCrossoverPlan, CmdSavePlan, CmdPrintPlan, [this] { CrossoverPlan(); });
}
