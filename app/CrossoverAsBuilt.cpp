// SPDX-License-Identifier: GPL-3.0-or-later
// The Crossover tab's parts as built, in the drivers panel: each coil's resistance, the series the
// values come from, the tweeter's L-pad, the baffle step and its compensation, what each part must
// take at a power, and the optimizer with its progress, Cancel and Undo.

#include "app/Controls.h"
#include "app/CrossoverDriversPanel.h"
#include "app/CrossoverOptimizerRunner.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <cmath>

using namespace kelvane;

namespace {

const crossover::Grid &asBuiltGrid()
{
    static const crossover::Grid grid = crossover::logGrid();
    return grid;
}

// A coil's resistance as its field shows it.
QString dcrText(double ohms)
{
    return formatNumber(ohms, QStringLiteral("#0.00"));
}

// A value with its nearest value of the series: "3.99 Ohms (3.9 Ohms)".
QString withNearest(double value, const QString &pattern, double scale, const QString &unit, crossover::PartSeries series)
{
    const QString text = formatNumber(value * scale, pattern + QLatin1Char(' ') + unit);
    try {
        return text + QStringLiteral(" (") + generalNumber(crossover::nearestInSeries(value * scale, series)) + QLatin1Char(' ')
               + unit + QLatin1Char(')');
    } catch (const CalcFault &) {
        return text; // no value of the series is near it
    }
}

} // namespace

void CrossoverDriversPanel::buildAsBuilt()
{
    for (int i = 0; i < 4; ++i) {
        const auto n = std::size_t(i);
        TxtWooferPartDCR[n] = controls::field(this, controls::arrayName("TxtWooferPartDCR", i), QString(),
                                              QStringLiteral("The coil's resistance, ohms (empty: an 18 AWG air-core coil's)."), 5);
        TxtTweeterPartDCR[n] = controls::field(this, controls::arrayName("TxtTweeterPartDCR", i), QString(),
                                               QStringLiteral("The coil's resistance, ohms (empty: an 18 AWG air-core coil's)."), 5);
        TxtWooferPartDCR[n]->setAccessibleName(QStringLiteral("Woofer part %1 resistance").arg(i + 1));
        TxtTweeterPartDCR[n]->setAccessibleName(QStringLiteral("Tweeter part %1 resistance").arg(i + 1));
        LblWooferPartStress[n] = controls::label(this, controls::arrayName("LblWooferPartStress", i), QString());
        LblTweeterPartStress[n] = controls::label(this, controls::arrayName("LblTweeterPartStress", i), QString());
        for (QLineEdit *f : {TxtWooferPartDCR[n], TxtTweeterPartDCR[n]}) {
            f->installEventFilter(this);
            f->setEnabled(false);
        }
    }
    LblZobelStress = controls::label(this, QStringLiteral("LblZobelStress"), QString());

    FrameAsBuilt = new QGroupBox(QStringLiteral("As built"), this);
    FrameAsBuilt->setObjectName(QStringLiteral("FrameAsBuilt"));
    QWidget *f = FrameAsBuilt;
    CboPartSeries = new QComboBox(f);
    CboPartSeries->setObjectName(QStringLiteral("CboPartSeries"));
    CboPartSeries->addItems(crossover::seriesNames());
    CboPartSeries->setToolTip(QStringLiteral("The series of values the parts are bought in."));
    TxtCrossoverPower = controls::field(f, QStringLiteral("TxtCrossoverPower"), QString(),
                                        QStringLiteral("The power (W) the parts' stress is worked out at."), 6);
    TxtTweeterPad = controls::field(f, QStringLiteral("TxtTweeterPad"), QString(),
                                    QStringLiteral("How much to pad the tweeter down, dB (0 to 20; empty: no pad)."), 6);
    TxtBaffleWidth = controls::field(f, QStringLiteral("TxtBaffleWidth"), QString(),
                                     QStringLiteral("The baffle's width, mm (empty: no baffle step)."), 6);
    TxtBafflePercent = controls::field(f, QStringLiteral("TxtBafflePercent"), QStringLiteral("0"),
                                       QStringLiteral("How much of the baffle step to compensate, % (0 to 100)."), 6);
    CmdSuggestPad = controls::button(f, QStringLiteral("CmdSuggestPad"), QStringLiteral("Suggest Pad"),
                                     QStringLiteral("Pad the tweeter down to the woofer's level."));
    LblPadSeries = controls::label(f, QStringLiteral("LblPadSeries"), QString());
    LblPadParallel = controls::label(f, QStringLiteral("LblPadParallel"), QString());
    LblPadStress = controls::label(f, QStringLiteral("LblPadStress"), QString());
    LblBSCInductor = controls::label(f, QStringLiteral("LblBSCInductor"), QString());
    LblBSCResistor = controls::label(f, QStringLiteral("LblBSCResistor"), QString());
    LblBSCStress = controls::label(f, QStringLiteral("LblBSCStress"), QString());
    LblStressNote = controls::label(f, QStringLiteral("LblStressNote"), QString());
    LblStressNote->setWordWrap(true);
    CmdOptimize = controls::button(f, QStringLiteral("CmdOptimize"), QStringLiteral("Optimize"),
                                   QStringLiteral("Find the values that bring the drivers closest to the target."));
    CmdCancelOptimize = controls::button(f, QStringLiteral("CmdCancelOptimize"), QStringLiteral("Cancel"),
                                         QStringLiteral("Stop the optimizer; the values stay as they were."));
    CmdUndoOptimize = controls::button(f, QStringLiteral("CmdUndoOptimize"), QStringLiteral("Undo"),
                                       QStringLiteral("Put back the values from before the last optimizing."));
    PrgOptimize = new QProgressBar(f);
    PrgOptimize->setObjectName(QStringLiteral("PrgOptimize"));
    PrgOptimize->setRange(0, 100);
    PrgOptimize->setVisible(false);
    CmdCancelOptimize->setVisible(false);
    CmdUndoOptimize->setEnabled(false);
    LblOptimizeResult = controls::label(f, QStringLiteral("LblOptimizeResult"), QString());
    LblOptimizeResult->setWordWrap(true);

    auto *grid = new QGridLayout;
    const auto caption = [f](const char *name, const char *text) { return controls::label(f, QLatin1String(name), QLatin1String(text)); };
    grid->addWidget(caption("LblPartSeries", "Series:"), 0, 0);
    grid->addWidget(CboPartSeries, 0, 1);
    grid->addWidget(caption("LblCrossoverPower", "Power (W):"), 0, 2);
    grid->addWidget(TxtCrossoverPower, 0, 3);
    grid->addWidget(caption("LblTweeterPad", "Tweeter pad (dB):"), 1, 0);
    grid->addWidget(TxtTweeterPad, 1, 1);
    grid->addWidget(CmdSuggestPad, 1, 2, 1, 2);
    // One value a row, so that the column keeps its width whatever the values say.
    const std::pair<QLabel *, QLabel *> rows[] = {
        {caption("LblPadSeriesName", "Pad R1:"), LblPadSeries},
        {caption("LblPadParallelName", "Pad R2:"), LblPadParallel},
        {caption("LblPadStressName", "Pad stress:"), LblPadStress},
        {nullptr, nullptr},
        {caption("LblBSCInductorName", "Step L:"), LblBSCInductor},
        {caption("LblBSCResistorName", "Step R:"), LblBSCResistor},
        {caption("LblBSCStressName", "Step stress:"), LblBSCStress},
    };
    int r = 2;
    for (const auto &[name, value] : rows) {
        if (!name) {
            grid->addWidget(caption("LblBaffleWidth", "Baffle width (mm):"), r, 0);
            grid->addWidget(TxtBaffleWidth, r, 1);
            grid->addWidget(caption("LblBafflePercent", "Compensate (%):"), r, 2);
            grid->addWidget(TxtBafflePercent, r, 3);
        } else {
            grid->addWidget(name, r, 0);
            grid->addWidget(value, r, 1, 1, 3);
        }
        ++r;
    }
    grid->addWidget(LblStressNote, r, 0, 1, 4);
    for (QLabel *l : {LblStressNote, LblOptimizeResult}) {
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        l->setMinimumWidth(1);
    }
    auto *run = new QHBoxLayout;
    run->addWidget(CmdOptimize);
    run->addWidget(CmdCancelOptimize);
    run->addWidget(CmdUndoOptimize);
    run->addWidget(PrgOptimize, 1);
    auto *box = new QVBoxLayout(FrameAsBuilt);
    box->setContentsMargins(6, 2, 6, 2);
    box->addLayout(grid);
    box->addLayout(run);
    box->addWidget(LblOptimizeResult);

    for (QLineEdit *e : {TxtCrossoverPower, TxtTweeterPad, TxtBaffleWidth, TxtBafflePercent})
        e->installEventFilter(this);
    connect(CboPartSeries, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_)
            seriesChanged();
    });
    connect(CmdSuggestPad, &QPushButton::clicked, this, [this] { suggestPad(); });
    connect(CmdOptimize, &QPushButton::clicked, this, [this] { startOptimize(); });
    connect(CmdCancelOptimize, &QPushButton::clicked, this, [this] { cancelOptimize(); });
    connect(CmdUndoOptimize, &QPushButton::clicked, this, [this] { undoOptimize(); });
    runner_ = new CrossoverOptimizerRunner(this);
    connect(runner_, &CrossoverOptimizerRunner::progress, this, [this](double fraction) {
        if (runner_->running())
            PrgOptimize->setValue(int(std::lround(fraction * 100)));
    });
    connect(runner_, &CrossoverOptimizerRunner::finished, this, [this] { optimizerFinished(); });
}

CrossoverDriversPanel::~CrossoverDriversPanel()
{
    // The rest of the tab may be gone already: only the run is stopped.
    if (runner_)
        runner_->stopAndWait();
}

crossover::PartSeries CrossoverDriversPanel::series() const
{
    return CboPartSeries->currentIndex() == 1 ? crossover::PartSeries::E24 : crossover::PartSeries::E12;
}

void CrossoverDriversPanel::attachNearest(const std::array<QLabel *, 4> &woofer, const std::array<QLabel *, 4> &tweeter,
                                          QLabel *zobelR, QLabel *zobelC, const std::array<QLabel *, 2> &headings)
{
    nearestWoofer_ = woofer;
    nearestTweeter_ = tweeter;
    nearestZobelR_ = zobelR;
    nearestZobelC_ = zobelC;
    nearestHeadings_ = headings;
}

// The nearest values of the part lists in the chosen series (E12: as "Calculate Crossover" wrote them).
void CrossoverDriversPanel::showNearest()
{
    const QString name = CboPartSeries->currentText();
    for (QLabel *h : nearestHeadings_)
        if (h)
            h->setText(name);
    if (!snapshot_.network || !nearestZobelR_)
        return;
    const crossover::Design &d = *snapshot_.network;
    const crossover::PartSeries s = series();
    for (bool woofer : {true, false}) {
        const crossover::Section &section = woofer ? d.woofer : d.tweeter;
        const std::array<QLabel *, 4> &labels = woofer ? nearestWoofer_ : nearestTweeter_;
        const std::vector<double> values = crossover::seriesValues(section, s);
        for (std::size_t i = 0; i < 4; ++i)
            labels[i]->setText(i >= section.size() ? QString()
                               : section[i].kind == crossover::Component::Inductor
                                   ? generalNumber(values[i] * 1e3) + QStringLiteral(" mH")
                                   : generalNumber(values[i] * 1e6) + QStringLiteral(" µF"));
    }
    if (d.zobel.used) {
        nearestZobelR_->setText(generalNumber(crossover::nearestInSeries(d.zobel.ohms, s)) + QStringLiteral(" Ohms"));
        nearestZobelC_->setText(generalNumber(crossover::nearestInSeries(d.zobel.farads * 1e6, s)) + QStringLiteral(" µF"));
    }
}

std::vector<double> CrossoverDriversPanel::dcrValues(bool woofer) const
{
    std::vector<double> out;
    if (!snapshot_.network)
        return out;
    const crossover::Section &section = woofer ? snapshot_.network->woofer : snapshot_.network->tweeter;
    const std::array<QLineEdit *, 4> &fields = woofer ? TxtWooferPartDCR : TxtTweeterPartDCR;
    const std::vector<double> used = usedValues(woofer);
    for (std::size_t i = 0; i < section.size() && i < 4; ++i)
        out.push_back(section[i].kind != crossover::Component::Inductor
                          ? 0.0
                          : parseNumber(fields[i]->text()).value_or(crossover::coilDcr(used[i])));
    return out;
}

crossover::BuiltCrossover CrossoverDriversPanel::builtCrossover() const
{
    if (!snapshot_.network)
        throw CalcFault("not calculated");
    const crossover::Design &d = *snapshot_.network;
    crossover::BuiltCrossover b;
    b.woofer = crossover::usedSection(d.woofer, usedValues(true));
    b.tweeter = crossover::usedSection(d.tweeter, usedValues(false));
    b.wooferDcr = dcrValues(true);
    b.tweeterDcr = dcrValues(false);
    b.zobel = d.zobel;
    b.padDb = parseNumber(TxtTweeterPad->text()).value_or(0.0);
    b.tweeterOhms = d.in.tweeterOhms;
    b.series = series();
    if (const std::optional<double> mm = parseNumber(TxtBaffleWidth->text()); mm && *mm > 0)
        b.baffle = crossover::baffleNetwork(parseNumber(TxtBafflePercent->text()).value_or(0.0), d.in.wooferOhms,
                                            crossover::baffleStepHz(*mm / 1000));
    return b;
}

// Fills a section's coil resistances with their default, keeping the ones typed when asked to.
void CrossoverDriversPanel::fillDcr(bool woofer, bool keepTyped)
{
    const std::array<QLineEdit *, 4> &fields = woofer ? TxtWooferPartDCR : TxtTweeterPartDCR;
    std::array<bool, 4> &typed = woofer ? wooferDcrTyped_ : tweeterDcrTyped_;
    const crossover::Section *section =
        snapshot_.network ? (woofer ? &snapshot_.network->woofer : &snapshot_.network->tweeter) : nullptr;
    const std::vector<double> used = usedValues(woofer);
    for (std::size_t i = 0; i < 4; ++i) {
        const bool coil = section && i < section->size() && (*section)[i].kind == crossover::Component::Inductor;
        if (!coil) {
            fields[i]->clear();
            fields[i]->setEnabled(false);
            typed[i] = false;
            continue;
        }
        fields[i]->setEnabled(true);
        if (!(keepTyped && typed[i])) {
            typed[i] = false;
            fields[i]->setText(dcrText(crossover::coilDcr(used[i])));
        }
    }
}

void CrossoverDriversPanel::seriesChanged()
{
    if (snapshot_.network) {
        fillUsed(snapshot_.network->woofer, TxtWooferPartUsed);
        fillUsed(snapshot_.network->tweeter, TxtTweeterPartUsed);
        fillDcr(true, true);
        fillDcr(false, true);
    }
    showNearest();
    edited();
    simulate();
    redraw();
    emit settingsChanged();
}

void CrossoverDriversPanel::edited()
{
    CmdUndoOptimize->setEnabled(false);
}

// The pad, the compensation and the stresses of the network as built.
void CrossoverDriversPanel::showAsBuilt()
{
    for (QLabel *l : {LblPadSeries, LblPadParallel, LblPadStress, LblBSCInductor, LblBSCResistor, LblBSCStress,
                      LblZobelStress, LblStressNote})
        l->clear();
    for (std::size_t i = 0; i < 4; ++i) {
        LblWooferPartStress[i]->clear();
        LblTweeterPartStress[i]->clear();
    }
    if (!snapshot_.network)
        return;
    crossover::BuiltCrossover b;
    try {
        b = builtCrossover();
    } catch (const CalcFault &) {
        return;
    }
    const crossover::PartSeries s = b.series;
    const crossover::LPad pad = crossover::lPad(b.padDb, b.tweeterOhms);
    if (pad.used) {
        LblPadSeries->setText(withNearest(pad.series, QStringLiteral("#0.00"), 1, QStringLiteral("Ohms"), s));
        LblPadParallel->setText(withNearest(pad.parallel, QStringLiteral("#0.00"), 1, QStringLiteral("Ohms"), s));
    }
    if (b.baffle.used) {
        LblBSCInductor->setText(withNearest(b.baffle.henries, QStringLiteral("#0.000"), 1e3, QStringLiteral("mH"), s));
        LblBSCResistor->setText(withNearest(b.baffle.ohms, QStringLiteral("#0.00"), 1, QStringLiteral("Ohms"), s));
    }
    const std::optional<double> watts = parseNumber(TxtCrossoverPower->text());
    if (!simulation_ || !watts || *watts <= 0)
        return;
    std::vector<crossover::PartStress> stress;
    try {
        stress = crossover::partStress(crossover::builtNetwork(b), simulation_->loads, simulation_->grid, *watts,
                                       snapshot_.network->in.wooferOhms);
    } catch (const CalcFault &) {
        return;
    }
    const auto text = [&stress](crossover::PartGroup g, int i) {
        const crossover::PartStress *p = crossover::stressOf(stress, g, i);
        return p ? p->text : QString();
    };
    const auto both = [&text](crossover::PartGroup g) {
        const QString a = text(g, 0), b = text(g, 1);
        return a.isEmpty() || b.isEmpty() ? a + b : a + QStringLiteral(", ") + b;
    };
    for (int i = 0; i < 4; ++i) {
        LblWooferPartStress[std::size_t(i)]->setText(text(crossover::PartGroup::WooferSection, i));
        LblTweeterPartStress[std::size_t(i)]->setText(text(crossover::PartGroup::TweeterSection, i));
    }
    LblPadStress->setText(both(crossover::PartGroup::Pad));
    LblBSCStress->setText(both(crossover::PartGroup::BaffleStep));
    LblZobelStress->setText(both(crossover::PartGroup::Zobel));
    QString note = QStringLiteral("Stress at ") + generalNumber(*watts)
                   + QStringLiteral(" W: a sine swept from 20 Hz to 20 kHz, worst case (music puts far less in).");
    const auto resistorName = [](const crossover::PartStress &p) {
        switch (p.group) {
        case crossover::PartGroup::Pad:
            return p.index == 0 ? QStringLiteral("The pad's R1") : QStringLiteral("The pad's R2");
        case crossover::PartGroup::BaffleStep:
            return QStringLiteral("The step's R");
        case crossover::PartGroup::Zobel:
            return QStringLiteral("The Zobel's R");
        default:
            return QStringLiteral("R") + QString::number(p.index + 1);
        }
    };
    for (const crossover::PartStress &p : crossover::resistorsOver(stress))
        note += QLatin1Char(' ') + resistorName(p) + QStringLiteral(" needs more than 10 W (") + p.text + QStringLiteral(").");
    LblStressNote->setText(note);
}

void CrossoverDriversPanel::suggestPad()
{
    if (!snapshot_.network) {
        Program::ShowMoreDataNeeded();
        return;
    }
    crossover::PadSuggestion pad;
    try {
        crossover::DriverCurves woofer, tweeter;
        if (!driverCurves(woofer, tweeter)) {
            Program::ShowMoreDataNeeded();
            return;
        }
        pad = crossover::suggestPad(woofer.response, tweeter.response, asBuiltGrid(), snapshot_.network->in.wooferHz,
                                    snapshot_.network->in.tweeterHz);
    } catch (const CalcFault &) {
        Program::ShowMoreDataNeeded();
        return;
    }
    if (!std::isfinite(pad.db)) {
        Program::ShowMoreDataNeeded();
        return;
    }
    TxtTweeterPad->setText(formatNumber(pad.db, QStringLiteral("#0.0")));
    edited();
    simulate();
    redraw();
    if (pad.tweeterQuieter)
        LblStressNote->setText(QStringLiteral("The tweeter is the quieter driver: no pad.") + QLatin1Char(' ')
                               + LblStressNote->text());
    emit settingsChanged();
}

CrossoverDriversPanel::AsBuiltValues CrossoverDriversPanel::asBuiltValues() const
{
    AsBuiltValues v;
    for (std::size_t i = 0; i < 4; ++i) {
        v.wooferUsed[i] = TxtWooferPartUsed[i]->text();
        v.tweeterUsed[i] = TxtTweeterPartUsed[i]->text();
        v.wooferDcr[i] = TxtWooferPartDCR[i]->text();
        v.tweeterDcr[i] = TxtTweeterPartDCR[i]->text();
    }
    v.wooferTyped = wooferDcrTyped_;
    v.tweeterTyped = tweeterDcrTyped_;
    v.pad = TxtTweeterPad->text();
    return v;
}

void CrossoverDriversPanel::setAsBuiltValues(const AsBuiltValues &v)
{
    for (std::size_t i = 0; i < 4; ++i) {
        TxtWooferPartUsed[i]->setText(v.wooferUsed[i]);
        TxtTweeterPartUsed[i]->setText(v.tweeterUsed[i]);
        TxtWooferPartDCR[i]->setText(v.wooferDcr[i]);
        TxtTweeterPartDCR[i]->setText(v.tweeterDcr[i]);
    }
    wooferDcrTyped_ = v.wooferTyped;
    tweeterDcrTyped_ = v.tweeterTyped;
    TxtTweeterPad->setText(v.pad);
}

bool CrossoverDriversPanel::optimizing() const
{
    return runner_->running();
}

bool CrossoverDriversPanel::startOptimize()
{
    if (runner_->running())
        return false;
    crossover::OptimizeInput in;
    try {
        if (!snapshot_.network || !driverCurves(in.woofer, in.tweeter)) {
            Program::ShowMoreDataNeeded();
            return false;
        }
        in.design = *snapshot_.network;
        // A used value that is not a number above 0 (pasted, say, and never committed with Enter)
        // is reported now rather than at the end of a run.
        for (const bool woofer : {true, false})
            for (const double value : usedValues(woofer))
                if (!(value > 0))
                    throw CalcFault("used value");
        in.start = builtCrossover();
        crossover::builtNetwork(in.start); // a value that cannot be built stops here
    } catch (const CalcFault &) {
        Program::ShowNumberError();
        return false;
    }
    in.wooferDcrTyped.assign(wooferDcrTyped_.begin(), wooferDcrTyped_.begin() + std::ptrdiff_t(in.start.woofer.size()));
    in.tweeterDcrTyped.assign(tweeterDcrTyped_.begin(), tweeterDcrTyped_.begin() + std::ptrdiff_t(in.start.tweeter.size()));
    in.acoustics = acoustics();
    in.grid = asBuiltGrid();
    beforeOptimize_ = asBuiltValues();

    // The tab's inputs are locked while it runs; Cancel stays.
    QWidget *tab = this;
    for (QWidget *w = this; w; w = w->parentWidget())
        if (qobject_cast<QStackedWidget *>(w->parentWidget())) {
            tab = w;
            break;
        }
    locked_.clear();
    for (QWidget *w : tab->findChildren<QWidget *>())
        if ((qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractButton *>(w))
            && w != CmdCancelOptimize && w->isEnabled() && !w->isWindow()) {
            locked_ << w;
            w->setEnabled(false);
        }
    PrgOptimize->setValue(0);
    PrgOptimize->setVisible(true);
    CmdCancelOptimize->setVisible(true);
    CmdCancelOptimize->setEnabled(true);
    runner_->start(in);
    return true;
}

void CrossoverDriversPanel::cancelOptimize()
{
    runner_->cancel();
}

void CrossoverDriversPanel::waitOptimizer()
{
    if (!runner_ || !runner_->running())
        return;
    runner_->stopAndWait();
    optimizerFinished();
}

void CrossoverDriversPanel::optimizerFinished()
{
    for (const QPointer<QWidget> &w : std::as_const(locked_))
        if (w)
            w->setEnabled(true);
    locked_.clear();
    PrgOptimize->setVisible(false);
    CmdCancelOptimize->setVisible(false);
    const std::optional<crossover::OptimizeResult> &r = runner_->result();
    if (!r) {
        if (!runner_->fault().isEmpty())
            Program::ShowNumberError();
        return;
    }
    if (r->cancelled)
        return;
    const crossover::BuiltCrossover &b = r->built;
    for (bool woofer : {true, false}) {
        const crossover::Section &section = woofer ? b.woofer : b.tweeter;
        const std::vector<double> &dcr = woofer ? b.wooferDcr : b.tweeterDcr;
        const std::array<QLineEdit *, 4> &used = woofer ? TxtWooferPartUsed : TxtTweeterPartUsed;
        const std::array<QLineEdit *, 4> &dcrFields = woofer ? TxtWooferPartDCR : TxtTweeterPartDCR;
        for (std::size_t i = 0; i < section.size() && i < 4; ++i) {
            const bool coil = section[i].kind == crossover::Component::Inductor;
            used[i]->setText(generalNumber(crossover::nearestInSeries(section[i].value * (coil ? 1e3 : 1e6), b.series)));
            if (coil)
                dcrFields[i]->setText(dcrText(i < dcr.size() ? dcr[i] : crossover::coilDcr(section[i].value)));
        }
    }
    TxtTweeterPad->setText(b.padDb > 0 ? formatNumber(b.padDb, QStringLiteral("#0.0"))
                                       : (TxtTweeterPad->text().isEmpty() ? QString() : QStringLiteral("0")));
    LblOptimizeResult->setText(r->line);
    simulate();
    redraw();
    CmdUndoOptimize->setEnabled(true);
    emit settingsChanged();
}

void CrossoverDriversPanel::undoOptimize()
{
    if (runner_->running())
        return;
    setAsBuiltValues(beforeOptimize_);
    CmdUndoOptimize->setEnabled(false);
    simulate();
    redraw();
    emit settingsChanged();
}
