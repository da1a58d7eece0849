// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CrossoverDriversPanel.h"

#include "analysis/AnalysisCore.h"
#include "app/Controls.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "graphs/GraphAxes.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QSaveFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

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

// The part's value in the unit its caption uses: millihenries or microfarads.
double unitScale(const crossover::Component &c)
{
    return c.kind == crossover::Component::Inductor ? 1e3 : 1e6;
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

// The offset as typed: a number with an optional leading minus sign (in front of the woofer).
std::optional<double> signedNumber(const QString &text)
{
    const bool negative = text.startsWith(QLatin1Char('-'));
    const std::optional<double> value = parseNumber(negative ? text.mid(1) : text);
    return value && negative ? std::optional<double>(-*value) : value;
}

} // namespace

CrossoverDriversPanel::CrossoverDriversPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CrossoverDriversPanel"));
    const auto dataFrame = [this](const QString &name, const QString &caption, QPushButton *&response,
                                  QPushButton *&impedance, QPushButton *&clear, QLabel *&data, const QString &who) {
        auto *frame = new QGroupBox(caption, this);
        frame->setObjectName(name + QStringLiteral("Data"));
        const QString prefix = QStringLiteral("Cmd") + name.mid(5);
        response = controls::button(frame, prefix + QStringLiteral("Response"), QStringLiteral("Response…"),
                                    QStringLiteral("Load the ") + who + QStringLiteral("'s frequency response file (.frd, .txt)."));
        impedance = controls::button(frame, prefix + QStringLiteral("Impedance"), QStringLiteral("Impedance…"),
                                     QStringLiteral("Load the ") + who + QStringLiteral("'s impedance file (.zma, .txt)."));
        clear = controls::button(frame, prefix + QStringLiteral("ClearData"), QStringLiteral("Clear"),
                                 QStringLiteral("Forget the ") + who + QStringLiteral("'s files."));
        data = controls::label(frame, QStringLiteral("Lbl") + name.mid(5) + QStringLiteral("Data"), QString());
        data->setWordWrap(true);
        auto *buttons = new QHBoxLayout;
        buttons->addWidget(response);
        buttons->addWidget(impedance);
        buttons->addWidget(clear);
        buttons->addStretch(1);
        auto *box = new QVBoxLayout(frame);
        box->setContentsMargins(6, 2, 6, 2);
        box->addLayout(buttons);
        box->addWidget(data);
        return frame;
    };
    FrameWooferData = dataFrame(QStringLiteral("FrameWoofer"), QStringLiteral("Woofer data"), CmdWooferResponse,
                                CmdWooferImpedance, CmdWooferClearData, LblWooferData, QStringLiteral("woofer"));
    FrameTweeterData = dataFrame(QStringLiteral("FrameTweeter"), QStringLiteral("Tweeter data"), CmdTweeterResponse,
                                 CmdTweeterImpedance, CmdTweeterClearData, LblTweeterData, QStringLiteral("tweeter"));

    CboCrossoverBox = new QComboBox(this);
    CboCrossoverBox->setObjectName(QStringLiteral("CboCrossoverBox"));
    CboCrossoverBox->addItems({QStringLiteral("Sealed box"), QStringLiteral("Vented box")});
    CboCrossoverBox->setToolTip(QStringLiteral("The box of the Box Model the woofer is modelled in."));
    CboCrossoverGraph = new QComboBox(this);
    CboCrossoverGraph->setObjectName(QStringLiteral("CboCrossoverGraph"));
    CboCrossoverGraph->addItems({QStringLiteral("Filter sections"), QStringLiteral("Response on the drivers"),
                                 QStringLiteral("Phase on the drivers"), QStringLiteral("Impedance at the amplifier")});
    CboCrossoverGraph->setToolTip(QStringLiteral("Choose what the picture shows."));
    TxtTweeterSPL = controls::field(this, QStringLiteral("TxtTweeterSPL"), QString(),
                                    QStringLiteral("The tweeter's sensitivity, dB at 2.83 V / 1 m (empty: the woofer's)."), 6);
    TxtAcousticOffset = controls::field(this, QStringLiteral("TxtAcousticOffset"), QStringLiteral("0"),
                                        QStringLiteral("How far (mm) the tweeter's acoustic centre lies behind (+) or in "
                                                       "front of (-) the woofer's."), 6);
    ChkTweeterReversed = new QCheckBox(QStringLiteral("Tweeter reversed"), this);
    ChkTweeterReversed->setObjectName(QStringLiteral("ChkTweeterReversed"));
    ChkTweeterReversed->setToolTip(QStringLiteral("Connect the tweeter in reversed polarity."));
    for (int i = 0; i < 4; ++i) {
        TxtWooferPartUsed[std::size_t(i)] = controls::field(this, controls::arrayName("TxtWooferPartUsed", i), QString(),
                                                            QStringLiteral("The value you build with."), 6);
        TxtTweeterPartUsed[std::size_t(i)] = controls::field(this, controls::arrayName("TxtTweeterPartUsed", i), QString(),
                                                             QStringLiteral("The value you build with."), 6);
        TxtWooferPartUsed[std::size_t(i)]->setAccessibleName(QStringLiteral("Woofer part %1 as built").arg(i + 1));
        TxtTweeterPartUsed[std::size_t(i)]->setAccessibleName(QStringLiteral("Tweeter part %1 as built").arg(i + 1));
    }

    // CboCrossoverGraph stands beside the picture (the window places it).
    auto *options = new QGridLayout;
    options->addWidget(controls::label(this, QStringLiteral("LblCrossoverBox"), QStringLiteral("Woofer modelled in:")), 0, 0);
    options->addWidget(CboCrossoverBox, 0, 1);
    options->addWidget(controls::label(this, QStringLiteral("LblTweeterSPL"), QStringLiteral("Tweeter sensitivity (dB):")), 1, 0);
    options->addWidget(TxtTweeterSPL, 1, 1);
    options->addWidget(controls::label(this, QStringLiteral("LblAcousticOffset"), QStringLiteral("Tweeter offset (mm):")), 2, 0);
    options->addWidget(TxtAcousticOffset, 2, 1);
    options->addWidget(ChkTweeterReversed, 3, 0, 1, 2);
    options->setColumnStretch(2, 1);
    buildAsBuilt();
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(FrameWooferData);
    outer->addWidget(FrameTweeterData);
    outer->addLayout(options);
    outer->addWidget(FrameAsBuilt);

    connect(CmdWooferResponse, &QPushButton::clicked, this, [this] { chooseFile(WooferResponse); });
    connect(CmdWooferImpedance, &QPushButton::clicked, this, [this] { chooseFile(WooferImpedance); });
    connect(CmdTweeterResponse, &QPushButton::clicked, this, [this] { chooseFile(TweeterResponse); });
    connect(CmdTweeterImpedance, &QPushButton::clicked, this, [this] { chooseFile(TweeterImpedance); });
    connect(CmdWooferClearData, &QPushButton::clicked, this, [this] { clearData(true); });
    connect(CmdTweeterClearData, &QPushButton::clicked, this, [this] { clearData(false); });
    connect(CboCrossoverBox, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_)
            return;
        userBox_ = true;
        simulate();
        redraw();
        emit settingsChanged();
    });
    connect(CboCrossoverGraph, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_)
            return;
        redraw();
        if (!drawsPicture())
            emit filterSectionsChosen();
        emit settingsChanged();
    });
    connect(ChkTweeterReversed, &QCheckBox::toggled, this, [this] {
        if (filling_)
            return;
        simulate();
        redraw();
        emit settingsChanged();
    });
    for (QLineEdit *f : {TxtTweeterSPL, TxtAcousticOffset})
        f->installEventFilter(this);
    for (std::size_t i = 0; i < 4; ++i) {
        TxtWooferPartUsed[i]->installEventFilter(this);
        TxtTweeterPartUsed[i]->installEventFilter(this);
        TxtWooferPartUsed[i]->setEnabled(false);
        TxtTweeterPartUsed[i]->setEnabled(false);
    }
    showData();
}

void CrossoverDriversPanel::attach(GraphPicture *picture, QLineEdit *xNum, QLineEdit *yNum, QLabel *notes)
{
    picture_ = picture;
    xNum_ = xNum;
    yNum_ = yNum;
    notes_ = notes;
    TxtCrossoverWooferNum = controls::readout(picture, QStringLiteral("TxtCrossoverWooferNum"), QString(), 198, 82);
    TxtCrossoverTweeterNum = controls::readout(picture, QStringLiteral("TxtCrossoverTweeterNum"), QString(), 282, 82);
    TxtCrossoverSumNum = controls::readout(picture, QStringLiteral("TxtCrossoverSumNum"), QString(), 366, 82);
    const std::pair<QLineEdit *, const char *> spoken[] = {{TxtCrossoverWooferNum, "Woofer value under the mouse"},
                                                            {TxtCrossoverTweeterNum, "Tweeter value under the mouse"},
                                                            {TxtCrossoverSumNum, "Sum value under the mouse"}};
    for (const auto &[readout, name] : spoken) {
        readout->setAccessibleName(QLatin1String(name));
        picture->keepRight(readout);
        readout->setVisible(false);
    }
}

void CrossoverDriversPanel::setSnapshot(const CrossoverDriversSnapshot &snapshot, bool newNetwork)
{
    // A run of the optimizer belongs to the network it started on.
    waitOptimizer();
    snapshot_ = snapshot;
    filling_ = true;
    if (!userBox_)
        CboCrossoverBox->setCurrentIndex(std::clamp(snapshot.recommendedBox, 0, 1));
    if (!powerTyped_)
        TxtCrossoverPower->setText(snapshot.woofer.maxPower > 0 ? generalNumber(snapshot.woofer.maxPower) : QString());
    if (newNetwork && snapshot.network) {
        fillUsed(snapshot.network->woofer, TxtWooferPartUsed);
        fillUsed(snapshot.network->tweeter, TxtTweeterPartUsed);
        ChkTweeterReversed->setChecked(snapshot.network->tweeterSign < 0);
        fillDcr(true, false);
        fillDcr(false, false);
        showNearest();
        edited();
    }
    if (!snapshot.network)
        for (std::size_t i = 0; i < 4; ++i) {
            TxtWooferPartUsed[i]->clear();
            TxtTweeterPartUsed[i]->clear();
            TxtWooferPartUsed[i]->setEnabled(false);
            TxtTweeterPartUsed[i]->setEnabled(false);
            TxtWooferPartDCR[i]->clear();
            TxtTweeterPartDCR[i]->clear();
            TxtWooferPartDCR[i]->setEnabled(false);
            TxtTweeterPartDCR[i]->setEnabled(false);
        }
    filling_ = false;
    simulate();
    redraw();
}

void CrossoverDriversPanel::fillUsed(const crossover::Section &section, const std::array<QLineEdit *, 4> &fields)
{
    const std::vector<double> e12 = crossover::seriesValues(section, series());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const bool used = i < section.size();
        fields[i]->setText(used ? generalNumber(e12[i] * unitScale(section[i])) : QString());
        fields[i]->setToolTip(used ? QStringLiteral("The value you build with, ")
                                         + QLatin1String(section[i].kind == crossover::Component::Inductor ? "mH." : "uF.")
                                   : QStringLiteral("The value you build with."));
        fields[i]->setEnabled(used);
    }
}

std::vector<double> CrossoverDriversPanel::usedValues(bool woofer) const
{
    std::vector<double> values;
    if (!snapshot_.network)
        return values;
    const crossover::Section &section = woofer ? snapshot_.network->woofer : snapshot_.network->tweeter;
    const std::array<QLineEdit *, 4> &fields = woofer ? TxtWooferPartUsed : TxtTweeterPartUsed;
    for (std::size_t i = 0; i < section.size() && i < fields.size(); ++i)
        values.push_back(parseNumber(fields[i]->text()).value_or(0.0) / unitScale(section[i]));
    return values;
}

bool CrossoverDriversPanel::loadFile(File slot, const QString &path)
{
    const driverdata::Kind kind =
        slot == WooferResponse || slot == TweeterResponse ? driverdata::Kind::Response : driverdata::Kind::Impedance;
    const driverdata::ReadResult read = driverdata::readCurveFile(path, kind);
    if (!read.curve) {
        Program::ShowMessage(read.error, QStringLiteral("Error"));
        return false;
    }
    curves_[std::size_t(slot)] = read.curve;
    simulate();
    redraw();
    emit settingsChanged();
    return true;
}

void CrossoverDriversPanel::chooseFile(File slot)
{
    const bool response = slot == WooferResponse || slot == TweeterResponse;
    QFileDialog dialog(this, response ? QStringLiteral("Load a frequency response") : QStringLiteral("Load an impedance"));
    dialog.setObjectName(QStringLiteral("DlgLoadDriverData"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({response ? QStringLiteral("Frequency response (*.frd *.txt)") : QStringLiteral("Impedance (*.zma *.txt)"),
                           QStringLiteral("All files (*)")});
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        loadFile(slot, dialog.selectedFiles().constFirst());
}

void CrossoverDriversPanel::refresh()
{
    simulate();
    redraw();
}

bool CrossoverDriversPanel::exportCurves(const QString &path)
{
    if (!simulation_) {
        Program::ShowMoreDataNeeded();
        return false;
    }
    const QByteArray bytes = crossover::simulationCsv(*simulation_).toUtf8();
    QSaveFile file(path);
    if (!(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())) {
        Program::ShowMessage(design::curvesFailureText(QDir::toNativeSeparators(path)), QStringLiteral("Error"));
        return false;
    }
    return true;
}

void CrossoverDriversPanel::clearData(bool woofer)
{
    curves_[woofer ? WooferResponse : TweeterResponse].reset();
    curves_[woofer ? WooferImpedance : TweeterImpedance].reset();
    simulate();
    redraw();
    emit settingsChanged();
}

void CrossoverDriversPanel::showData()
{
    const auto describe = [this](File slot) { return driverdata::describe(*curves_[std::size_t(slot)]); };
    const bool vented = CboCrossoverBox->currentIndex() == 1;
    const QString model = QStringLiteral("modelled: ") + QLatin1String(vented ? "vented" : "sealed")
                          + QStringLiteral(" box of the Box Model");
    QStringList woofer;
    if (curves_[WooferResponse])
        woofer << describe(WooferResponse);
    if (curves_[WooferImpedance])
        woofer << describe(WooferImpedance);
    if (woofer.isEmpty())
        LblWooferData->setText(model);
    else if (woofer.size() == 1)
        LblWooferData->setText(woofer.front() + QStringLiteral("; ")
                               + (curves_[WooferResponse] ? QStringLiteral("impedance ") : QStringLiteral("response "))
                               + model);
    else
        LblWooferData->setText(woofer.join(QStringLiteral("; ")));

    const std::optional<double> spl = parseNumber(TxtTweeterSPL->text());
    QString level;
    if (spl)
        level = TxtTweeterSPL->text();
    else if (snapshot_.woofer.re > 0 && snapshot_.woofer.sensitivity > 0)
        level = formatNumber(crossover::sensitivityAt283(snapshot_.woofer), QStringLiteral("#0.0"));
    else
        level = QStringLiteral("?");
    const QString ohms = snapshot_.tweeterOhms > 0 ? generalNumber(snapshot_.tweeterOhms) : QStringLiteral("?");
    QStringList tweeter;
    if (curves_[TweeterResponse])
        tweeter << describe(TweeterResponse);
    if (curves_[TweeterImpedance])
        tweeter << describe(TweeterImpedance);
    if (tweeter.isEmpty())
        LblTweeterData->setText(QStringLiteral("nominal: ") + ohms + QStringLiteral(" ohms, flat at ") + level
                                + QStringLiteral(" dB"));
    else if (tweeter.size() == 1)
        LblTweeterData->setText(tweeter.front() + QStringLiteral("; ")
                                + (curves_[TweeterResponse] ? QStringLiteral("impedance nominal: ") + ohms
                                                                  + QStringLiteral(" ohms")
                                                            : QStringLiteral("response flat at ") + level
                                                                  + QStringLiteral(" dB")));
    else
        LblTweeterData->setText(tweeter.join(QStringLiteral("; ")));
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

crossover::Acoustics CrossoverDriversPanel::acoustics() const
{
    return {signedNumber(TxtAcousticOffset->text()).value_or(0.0), ChkTweeterReversed->isChecked()};
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

bool CrossoverDriversPanel::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (field && event->type() == QEvent::FocusIn) {
        field->selectAll();
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, field, [field] { field->selectAll(); });
    }
    if (field && event->type() == QEvent::KeyPress) {
        int KeyAscii = Program::KeyAsciiOf(static_cast<QKeyEvent *>(event));
        if (KeyAscii < 0)
            return QWidget::eventFilter(watched, event);
        if (KeyAscii == Program::KeyEnter) {
            fieldEntered(field);
            // As on the Input tab, Enter moves the focus on once the handler has finished.
            QWidget *target = focusWidget() ? focusWidget() : this;
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier,
                                                              QStringLiteral("\t")));
            return true;
        }
        // The offset may lie in front of the woofer: a leading minus sign is allowed there.
        if (field == TxtAcousticOffset && KeyAscii == '-') {
            QString rest = field->text();
            const int at = field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
            if (field->hasSelectedText())
                rest.remove(field->selectionStart(), field->selectedText().size());
            return !(at == 0 && !rest.contains(QLatin1Char('-')));
        }
        Program::NumericKeyFilter(KeyAscii);
        if (KeyAscii == 0)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CrossoverDriversPanel::fieldEntered(QLineEdit *field)
{
    const QString text = field->text();
    const std::optional<double> value = field == TxtAcousticOffset ? signedNumber(text) : parseNumber(text);
    const auto dcrIndex = [field](const std::array<QLineEdit *, 4> &fields) {
        return int(std::find(fields.begin(), fields.end(), field) - fields.begin());
    };
    const int wooferDcr = dcrIndex(TxtWooferPartDCR), tweeterDcr = dcrIndex(TxtTweeterPartDCR);
    const int wooferUsed = dcrIndex(TxtWooferPartUsed), tweeterUsed = dcrIndex(TxtTweeterPartUsed);
    if (field == TxtAcousticOffset) {
        if (!text.isEmpty() && !value) {
            Program::ShowNumberError();
            field->setText(QStringLiteral("0"));
        }
    } else if (field == TxtTweeterSPL || field == TxtBaffleWidth) {
        // Empty is the woofer's sensitivity; no baffle step.
        if (!text.isEmpty() && (!value || *value <= 0)) {
            Program::ShowNumberError();
            field->clear();
        }
    } else if (field == TxtTweeterPad) {
        // Empty: no pad.
        if (!text.isEmpty() && (!value || *value > 20)) {
            Program::ShowNumberError();
            field->clear();
        }
    } else if (field == TxtBafflePercent) {
        if (!value || *value > 100) {
            if (!text.isEmpty())
                Program::ShowNumberError();
            field->setText(QStringLiteral("0"));
        }
    } else if (field == TxtCrossoverPower) {
        // Empty (or refused) goes back to the driver's maximum power.
        powerTyped_ = value && *value > 0;
        if (!text.isEmpty() && !powerTyped_)
            Program::ShowNumberError();
        if (!powerTyped_)
            field->setText(snapshot_.woofer.maxPower > 0 ? generalNumber(snapshot_.woofer.maxPower) : QString());
    } else if (wooferDcr < 4 || tweeterDcr < 4) {
        // A coil's resistance typed stays through the optimizer; empty (or refused) is the default.
        std::array<bool, 4> &typed = wooferDcr < 4 ? wooferDcrTyped_ : tweeterDcrTyped_;
        const std::size_t i = std::size_t(wooferDcr < 4 ? wooferDcr : tweeterDcr);
        if (!text.isEmpty() && !value)
            Program::ShowNumberError();
        typed[i] = value.has_value();
        fillDcr(wooferDcr < 4, true);
    } else if ((!value || *value <= 0) && snapshot_.network) {
        // A used value that is not a number above 0 goes back to the part's value of the series.
        Program::ShowNumberError();
        for (bool woofer : {true, false}) {
            const std::array<QLineEdit *, 4> &fields = woofer ? TxtWooferPartUsed : TxtTweeterPartUsed;
            const crossover::Section &section = woofer ? snapshot_.network->woofer : snapshot_.network->tweeter;
            for (std::size_t i = 0; i < section.size() && i < 4; ++i)
                if (fields[i] == field)
                    field->setText(generalNumber(crossover::seriesValues(section, series())[i] * unitScale(section[i])));
        }
    }
    // A coil's default resistance follows its value.
    if (snapshot_.network && (wooferUsed < 4 || tweeterUsed < 4))
        fillDcr(wooferUsed < 4, true);
    edited();
    simulate();
    redraw();
    emit settingsChanged();
}

design::CrossoverDriversSettings CrossoverDriversPanel::settings() const
{
    design::CrossoverDriversSettings s;
    s.curves = curves_;
    for (std::size_t i = 0; i < 4; ++i) {
        s.wooferUsed[i] = TxtWooferPartUsed[i]->text();
        s.tweeterUsed[i] = TxtTweeterPartUsed[i]->text();
    }
    s.tweeterSpl = TxtTweeterSPL->text();
    s.offset = TxtAcousticOffset->text();
    s.reversed = ChkTweeterReversed->isChecked();
    s.box = userBox_ ? CboCrossoverBox->currentIndex() : -1;
    s.graph = CboCrossoverGraph->currentIndex();
    for (std::size_t i = 0; i < 4; ++i) {
        s.wooferDcr[i] = TxtWooferPartDCR[i]->text();
        s.tweeterDcr[i] = TxtTweeterPartDCR[i]->text();
    }
    s.pad = TxtTweeterPad->text();
    s.baffleWidth = TxtBaffleWidth->text();
    s.bafflePercent = TxtBafflePercent->text();
    s.power = powerTyped_ ? TxtCrossoverPower->text() : QString();
    s.series = CboPartSeries->currentIndex();
    return s;
}

void CrossoverDriversPanel::applySettings(const design::CrossoverDriversSettings &s)
{
    waitOptimizer();
    filling_ = true;
    curves_ = s.curves;
    // The series first: the used values of the file then replace the series' values.
    CboPartSeries->setCurrentIndex(std::clamp(s.series, 0, 1));
    if (snapshot_.network) {
        fillUsed(snapshot_.network->woofer, TxtWooferPartUsed);
        fillUsed(snapshot_.network->tweeter, TxtTweeterPartUsed);
        showNearest();
    }
    if (snapshot_.network)
        for (std::size_t i = 0; i < 4; ++i) {
            if (TxtWooferPartUsed[i]->isEnabled() && parseNumber(s.wooferUsed[i]))
                TxtWooferPartUsed[i]->setText(s.wooferUsed[i]);
            if (TxtTweeterPartUsed[i]->isEnabled() && parseNumber(s.tweeterUsed[i]))
                TxtTweeterPartUsed[i]->setText(s.tweeterUsed[i]);
        }
    // A coil's resistance that is a number was typed (the default is filled anew from its value).
    fillDcr(true, false);
    fillDcr(false, false);
    if (snapshot_.network)
        for (bool woofer : {true, false}) {
            const std::array<QString, 4> &texts = woofer ? s.wooferDcr : s.tweeterDcr;
            const std::array<QLineEdit *, 4> &fields = woofer ? TxtWooferPartDCR : TxtTweeterPartDCR;
            std::array<bool, 4> &typed = woofer ? wooferDcrTyped_ : tweeterDcrTyped_;
            for (std::size_t i = 0; i < 4; ++i)
                if (fields[i]->isEnabled() && parseNumber(texts[i]) && texts[i] != fields[i]->text()) {
                    fields[i]->setText(texts[i]);
                    typed[i] = true;
                }
        }
    const std::optional<double> pad = parseNumber(s.pad), width = parseNumber(s.baffleWidth),
                                percent = parseNumber(s.bafflePercent), power = parseNumber(s.power);
    TxtTweeterPad->setText(pad && *pad <= 20 ? s.pad : QString());
    TxtBaffleWidth->setText(width && *width > 0 ? s.baffleWidth : QString());
    TxtBafflePercent->setText(percent && *percent <= 100 ? s.bafflePercent : QStringLiteral("0"));
    powerTyped_ = power && *power > 0;
    TxtCrossoverPower->setText(powerTyped_ ? s.power
                                           : snapshot_.woofer.maxPower > 0 ? generalNumber(snapshot_.woofer.maxPower)
                                                                           : QString());
    edited();
    TxtTweeterSPL->setText(s.tweeterSpl);
    TxtAcousticOffset->setText(s.offset.isEmpty() ? QStringLiteral("0") : s.offset);
    if (s.reversed)
        ChkTweeterReversed->setChecked(*s.reversed);
    userBox_ = s.box >= 0;
    CboCrossoverBox->setCurrentIndex(userBox_ ? std::clamp(s.box, 0, 1) : std::clamp(snapshot_.recommendedBox, 0, 1));
    CboCrossoverGraph->setCurrentIndex(std::clamp(s.graph, 0, 3));
    filling_ = false;
    simulate();
    redraw();
    if (!drawsPicture())
        emit filterSectionsChosen();
}
