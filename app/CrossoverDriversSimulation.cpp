// SPDX-License-Identifier: GPL-3.0-or-later
// The drivers panel's simulation: the drivers' curves on the simulation's grid (loaded, or the woofer
// modelled in its box and the tweeter nominal), the network as built simulated on them, the three
// simulated graphs drawn on the tab's picture with the notes under it, and the readouts under the
// mouse.
#include "app/CrossoverDriversPanel.h"

#include "analysis/AnalysisCore.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "graphs/GraphAxes.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

using namespace kelvane;

namespace {

constexpr int Black = 0, Green = 2, DarkRed = 4, Grey = 8, Blue = 9, Magenta = 13;

const crossover::Grid &simulationGrid()
{
    static const crossover::Grid grid = crossover::logGrid();
    return grid;
}

// What the picture shows, kept with it so that it can be drawn again at any size.
struct SimulationPicture {
    QString missing;                  // what to do instead of a graph
    QString title, unit, secondUnit;  // the second unit: the impedance's phase on the right
    std::vector<double> hz;
    std::vector<std::vector<double>> curves; // on the left axis
    std::vector<int> colours;
    std::vector<QString> legend;
    std::vector<double> second;       // on the right axis (the impedance's phase), or empty
    double low = 0, high = 1, step = 1;
    bool wrapped = false;             // phases: a jump of a turn is not drawn
};

double plotY(const SimulationPicture &p, double value)
{
    namespace plot = crossover::plot;
    const double v = std::clamp(value, p.low, p.high);
    return plot::Top + (p.high - v) / (p.high - p.low) * (plot::Bottom - plot::Top);
}

double valueAtY(const SimulationPicture &p, double y)
{
    namespace plot = crossover::plot;
    return p.high - (y - plot::Top) / (plot::Bottom - plot::Top) * (p.high - p.low);
}

// The second axis: -90 .. +90 degrees over the plot's height.
constexpr double SecondLow = -90, SecondHigh = 90;

void drawSimulation(GraphCanvas &pic, const SimulationPicture &p)
{
    namespace plot = crossover::plot;
    const graphgeo::PlotLayout l =
        graphgeo::plotLayout(pic.width(), pic.height(), plot::Left, plot::Top, plot::Right, plot::Bottom);
    if (!p.missing.isEmpty()) {
        pic.setLineWidth(2);
        pic.box(l.left, l.top, l.right, l.bottom, DarkRed);
        pic.setLineWidth(1);
        pic.drawText(l.left + 8, l.y(200), p.missing, Black);
        return;
    }
    // Legend, title and unit.
    for (std::size_t i = 0; i < p.legend.size(); ++i)
        pic.drawText(4, 2 + double(i) * GraphCanvas::RowHeight, p.legend[i], p.colours[i]);
    pic.drawText(l.left, l.bottom + 8 + GraphCanvas::RowHeight, p.title, Black);

    // Value labels and grid.
    std::vector<graphaxes::ValueLabel> labels;
    const int steps = int(std::lround((p.high - p.low) / p.step));
    for (int k = 0; k <= steps; ++k) {
        const double value = p.low + k * p.step;
        const double y = l.y(plotY(p, value));
        labels.push_back({y, generalNumber(value) + (k == steps ? QLatin1Char(' ') + p.unit : QString())});
        if (k > 0 && k < steps)
            for (double x = l.left + 1; x <= l.right - 2; x += 3)
                pic.pset(x, y, Grey);
    }
    graphaxes::leftLabels(pic, l, labels);
    for (const auto &[hz, text] : {std::pair{20.0, "20"}, {50.0, "50"}, {100.0, "100"}, {200.0, "200"}, {500.0, "500"},
                                   {1000.0, "1k"}, {2000.0, "2k"}, {5000.0, "5k"}, {10000.0, "10k"}, {20000.0, "20k"}}) {
        const QString t = QLatin1String(text);
        pic.drawText(l.x(plot::x(hz)) - GraphCanvas::textWidth(t) / 2, l.bottom + 6, t, Black);
    }
    pic.setLineWidth(2);
    pic.box(l.left, l.top, l.right, l.bottom, DarkRed);
    pic.setLineWidth(1);
    for (double decade : {10.0, 100.0, 1000.0})
        for (int m = 1; m <= 9; ++m) {
            const double hz = m * decade;
            if (hz > plot::FirstHz && hz < plot::LastHz && (decade > 10 || m >= 3))
                pic.line(l.x(plot::x(hz)), l.top + 1, l.x(plot::x(hz)), l.bottom - 1, Grey);
        }
    if (!p.second.empty())
        for (int k = 0; k <= 4; ++k) {
            const double deg = SecondLow + k * 45;
            const double y = l.top + (SecondHigh - deg) / (SecondHigh - SecondLow) * (l.bottom - l.top);
            const QString t = generalNumber(deg) + (k == 4 ? QStringLiteral(" deg") : QString());
            pic.drawText(l.right + 4, y - GraphCanvas::RowHeight / 2, t, Magenta);
        }

    // The curves: a line between neighbouring grid points that both have data (a wrapped phase
    // that jumps by a turn is not joined).
    const auto curve = [&](const std::vector<double> &values, int colour, auto yOf) {
        for (std::size_t k = 1; k < values.size(); ++k) {
            const double a = values[k - 1], b = values[k];
            if (!std::isfinite(a) || !std::isfinite(b) || (p.wrapped && std::abs(b - a) > 180))
                continue;
            pic.line(l.x(plot::x(p.hz[k - 1])), yOf(a), l.x(plot::x(p.hz[k])), yOf(b), colour);
        }
    };
    pic.setLineWidth(2);
    for (std::size_t i = 0; i < p.curves.size(); ++i)
        curve(p.curves[i], p.colours[i], [&](double v) { return l.y(plotY(p, v)); });
    pic.setLineWidth(1);
    if (!p.second.empty())
        curve(p.second, Magenta, [&](double deg) {
            const double d = std::clamp(deg, SecondLow, SecondHigh);
            return l.top + (SecondHigh - d) / (SecondHigh - SecondLow) * (l.bottom - l.top);
        });
}

std::vector<double> wrappedPhase(const std::vector<double> &phase)
{
    std::vector<double> out(phase.size());
    std::transform(phase.begin(), phase.end(), out.begin(),
                   [](double deg) { return std::isfinite(deg) ? crossover::wrapDeg(deg) : deg; });
    return out;
}

// The nearest grid point to a frequency.
std::size_t nearestPoint(const std::vector<double> &hz, double f)
{
    const auto it = std::lower_bound(hz.begin(), hz.end(), f);
    if (it == hz.begin())
        return 0;
    if (it == hz.end())
        return hz.size() - 1;
    const std::size_t k = std::size_t(it - hz.begin());
    return std::log(*it / f) < std::log(f / hz[k - 1]) ? k : k - 1;
}

} // namespace

void CrossoverDriversPanel::refresh()
{
    simulate();
    redraw();
}

bool CrossoverDriversPanel::driverCurves(crossover::DriverCurves &woofer, crossover::DriverCurves &tweeter)
{
    const crossover::Grid &grid = simulationGrid();
    woofer = {};
    if (!curves_[WooferResponse] || !curves_[WooferImpedance]) {
        const std::size_t box = std::size_t(std::max(0, CboCrossoverBox->currentIndex()));
        if (box >= snapshot_.boxes.size() || snapshot_.woofer.re <= 0) {
            missing_ = QStringLiteral("Calculate Box (with the woofer's Re) to model the woofer, or load its files.");
            return false;
        }
        woofer = crossover::modelledWoofer(snapshot_.woofer, snapshot_.boxes[box], grid);
        // The modelled woofer radiates into the whole space below its baffle's step; a response file
        // was measured on its baffle and has the step in it already.
        if (const std::optional<double> mm = parseNumber(TxtBaffleWidth->text()); mm && *mm > 0 && !curves_[WooferResponse])
            crossover::addBaffleStep(woofer.response, grid, crossover::baffleStepHz(*mm / 1000));
    }
    if (curves_[WooferResponse])
        woofer.response = crossover::responseOnGrid(*curves_[WooferResponse], grid);
    if (curves_[WooferImpedance])
        woofer.impedance = crossover::impedanceOnGrid(*curves_[WooferImpedance], grid);

    double level = 0;
    if (const std::optional<double> spl = parseNumber(TxtTweeterSPL->text()))
        level = *spl;
    else if (snapshot_.woofer.re > 0 && snapshot_.woofer.sensitivity > 0)
        level = crossover::sensitivityAt283(snapshot_.woofer);
    else if (!curves_[TweeterResponse]) {
        missing_ = QStringLiteral("Enter the tweeter's sensitivity, or load its response file.");
        return false;
    }
    tweeter = crossover::nominalDriver(snapshot_.network->in.tweeterOhms, level, grid);
    if (curves_[TweeterResponse])
        tweeter.response = crossover::responseOnGrid(*curves_[TweeterResponse], grid);
    if (curves_[TweeterImpedance])
        tweeter.impedance = crossover::impedanceOnGrid(*curves_[TweeterImpedance], grid);
    return true;
}

void CrossoverDriversPanel::simulate()
{
    showData();
    simulation_.reset();
    missing_.clear();
    if (!snapshot_.network) {
        missing_ = QStringLiteral("Calculate Crossover to simulate the network on the drivers.");
        showAsBuilt();
        return;
    }
    try {
        crossover::DriverCurves woofer, tweeter;
        if (driverCurves(woofer, tweeter))
            simulation_ = crossover::simulate(crossover::builtNetwork(builtCrossover()), woofer, tweeter, acoustics(),
                                              simulationGrid());
    } catch (const CalcFault &) {
        missing_ = QStringLiteral("The network cannot be simulated with these values.");
    }
    showAsBuilt();
}

bool CrossoverDriversPanel::drawsPicture() const
{
    return CboCrossoverGraph->currentIndex() > FilterSections;
}

void CrossoverDriversPanel::redraw()
{
    if (notes_) {
        QString text = snapshot_.notes;
        if (simulation_) {
            // Each note a sentence of its own after the design's notes.
            text += QLatin1Char(' ') + crossover::lowestImpedanceNote(*simulation_) + QLatin1Char('.');
            const QString sum = crossover::sumNote(*simulation_);
            if (!sum.isEmpty())
                text += QLatin1Char(' ') + sum + QLatin1Char('.');
        }
        if (snapshot_.network)
            notes_->setText(text);
    }
    for (QLineEdit *readout : {TxtCrossoverWooferNum, TxtCrossoverTweeterNum, TxtCrossoverSumNum})
        if (readout) {
            readout->clear();
            readout->setVisible(drawsPicture());
        }
    if (!picture_ || !drawsPicture())
        return;
    if (xNum_) {
        xNum_->clear();
        yNum_->clear();
    }
    const Graph graph = Graph(CboCrossoverGraph->currentIndex());
    SimulationPicture p;
    p.title = CboCrossoverGraph->currentText();
    if (!simulation_) {
        p.missing = missing_;
    } else {
        const crossover::Simulation &s = *simulation_;
        p.hz = s.grid.hz;
        if (graph == ImpedanceAtAmplifier) {
            std::vector<double> ohms, deg;
            for (const std::complex<double> &z : s.impedance) {
                ohms.push_back(std::abs(z));
                deg.push_back(std::arg(z) * 180 / M_PI);
            }
            const double top = *std::max_element(ohms.begin(), ohms.end());
            const analysis::Axis axis = analysis::valueAxis(0, std::max(top * 1.1, 1.0));
            p.low = axis.low, p.high = axis.high, p.step = axis.step;
            p.unit = QStringLiteral("ohms");
            p.curves = {ohms};
            p.second = deg;
            p.colours = {Blue, Magenta};
            p.legend = {QStringLiteral("Blue - Impedance (ohms)"), QStringLiteral("Magenta - Phase (deg)")};
        } else {
            const bool phase = graph == PhaseOnDrivers;
            for (const crossover::Trace *t : {&s.woofer, &s.tweeter, &s.sum})
                p.curves.push_back(phase ? wrappedPhase(t->phaseDeg) : t->db);
            if (phase) {
                p.low = -180, p.high = 180, p.step = 45, p.wrapped = true;
                p.unit = QStringLiteral("deg");
            } else {
                double top = -1e300;
                for (const std::vector<double> &c : p.curves)
                    for (double v : c)
                        if (std::isfinite(v))
                            top = std::max(top, v);
                if (top < -1e299)
                    top = 90;
                const analysis::Axis axis = analysis::valueAxis(top - 40, top + 3);
                p.low = axis.low, p.high = axis.high, p.step = axis.step;
                p.unit = QStringLiteral("dB");
            }
            p.colours = {Blue, Magenta, Green};
            p.legend = {QStringLiteral("Blue - Woofer"), QStringLiteral("Magenta - Tweeter"),
                        s.sum.db.empty() ? QStringLiteral("Green - Sum")
                                         : (ChkTweeterReversed->isChecked()
                                                ? QStringLiteral("Green - Sum, tweeter in reversed polarity")
                                                : QStringLiteral("Green - Sum, tweeter in normal polarity"))};
        }
    }
    picture_->setDrawing([p](GraphCanvas &canvas) { drawSimulation(canvas, p); });
}

bool CrossoverDriversPanel::mouseMove(double x, double y)
{
    if (!drawsPicture() || !picture_)
        return false;
    namespace plot = crossover::plot;
    const graphgeo::PlotLayout l =
        graphgeo::plotLayout(picture_->width(), picture_->height(), plot::Left, plot::Top, plot::Right, plot::Bottom);
    if (!simulation_ || !l.inside(x, y))
        return true;
    const crossover::Simulation &s = *simulation_;
    const double f = plot::freqAtX(l.baseX(x));
    const std::size_t k = nearestPoint(s.grid.hz, f);
    xNum_->setText(formatNumber(f, QStringLiteral("#,##0 Hz")));
    const Graph graph = Graph(CboCrossoverGraph->currentIndex());
    // The level under the mouse on the graph's own axis: the same axis redraw chose.
    SimulationPicture axis;
    if (graph == ImpedanceAtAmplifier) {
        double top = 0;
        for (const std::complex<double> &z : s.impedance)
            top = std::max(top, std::abs(z));
        const analysis::Axis a = analysis::valueAxis(0, std::max(top * 1.1, 1.0));
        axis.low = a.low, axis.high = a.high;
        yNum_->setText(formatNumber(valueAtY(axis, l.baseY(y)), QStringLiteral("#0.0 ohms")));
        const std::complex<double> z = s.impedance[k];
        TxtCrossoverWooferNum->setText(formatNumber(std::abs(z), QStringLiteral("#0.00 ohms")));
        TxtCrossoverTweeterNum->setText(formatNumber(std::arg(z) * 180 / M_PI, QStringLiteral("#0 deg")));
        TxtCrossoverSumNum->clear();
        return true;
    }
    const bool phase = graph == PhaseOnDrivers;
    if (phase) {
        axis.low = -180, axis.high = 180;
    } else {
        double top = -1e300;
        for (const crossover::Trace *t : {&s.woofer, &s.tweeter, &s.sum})
            for (double v : t->db)
                if (std::isfinite(v))
                    top = std::max(top, v);
        if (top < -1e299)
            top = 90;
        const analysis::Axis a = analysis::valueAxis(top - 40, top + 3);
        axis.low = a.low, axis.high = a.high;
    }
    const QString pattern = phase ? QStringLiteral("#0 deg") : QStringLiteral("##,##0.0 dB");
    yNum_->setText(formatNumber(valueAtY(axis, l.baseY(y)), pattern));
    QLineEdit *const readouts[] = {TxtCrossoverWooferNum, TxtCrossoverTweeterNum, TxtCrossoverSumNum};
    const crossover::Trace *const traces[] = {&s.woofer, &s.tweeter, &s.sum};
    for (int i = 0; i < 3; ++i) {
        const crossover::Trace &t = *traces[i];
        const bool has = k < t.db.size() && t.has(k);
        readouts[i]->setText(!has ? QString()
                                  : formatNumber(phase ? crossover::wrapDeg(t.phaseDeg[k]) : t.db[k], pattern));
    }
    return true;
}
