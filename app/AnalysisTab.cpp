// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnalysisTab.h"

#include "app/Controls.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace kelvane;
using namespace kelvane::analysis;

namespace {

constexpr int Black = 0, Green = 2, DarkRed = 4, Olive = 6, Grey = 8, Blue = 9, Magenta = 13;

int colourOf(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Sealed: return Magenta;
    case BoxKind::Vented: return Blue;
    case BoxKind::PassiveRadiator: return Green;
    case BoxKind::Bandpass: return Olive;
    }
    return Black;
}

QString nameOf(BoxKind kind)
{
    static const char *const names[] = {"Sealed", "Vented", "Passive radiator", "Bandpass"};
    return QLatin1String(names[int(kind)]);
}

// The row of the frequency labels.
const double FrequencyLabelTop = std::max(25 * GraphPicture::RowHeight, graphgeo::PlotBottom - 1.5);
constexpr double NotesTop = 336;

double clampedY(const Axis &axis, double value)
{
    return std::clamp(axisY(axis, value), graphgeo::PlotTop, graphgeo::PlotBottom);
}


} // namespace

AnalysisTab::AnalysisTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("AnalysisTab"));
    CboAnalysisGraph = new QComboBox(this);
    CboAnalysisGraph->setObjectName(QStringLiteral("CboAnalysisGraph"));
    CboAnalysisGraph->addItems(graphNames());
    CboAnalysisGraph->setToolTip(QStringLiteral("Choose the curve to draw."));
    TxtAnalysisPower = controls::field(this, QStringLiteral("TxtAnalysisPower"), QStringLiteral("1"),
                                       QStringLiteral("Enter the amplifier's power in watts."), 7);
    CboAnalysisVent = new QComboBox(this);
    CboAnalysisVent->setObjectName(QStringLiteral("CboAnalysisVent"));
    CboAnalysisVent->setToolTip(QStringLiteral("Choose the vent of the Box and Vent tab."));

    PicAnalysis = new GraphPicture;
    PicAnalysis->setObjectName(QStringLiteral("PicAnalysis"));
    PicAnalysis->setScale(GraphPicture::LogicalWidth, GraphPicture::LogicalHeight);
    TxtAnalysisXNum = controls::readout(PicAnalysis, QStringLiteral("TxtAnalysisXNum"), QStringLiteral("Hz"), 300, 76);
    TxtAnalysisSealedNum = controls::readout(PicAnalysis, QStringLiteral("TxtAnalysisSealedNum"), QString(), 380, 86);
    TxtAnalysisVentedNum = controls::readout(PicAnalysis, QStringLiteral("TxtAnalysisVentedNum"), QString(), 470, 86);
    // The boxes of the More Boxes tab read out in the right margin, under the legend.
    TxtAnalysisPRNum = controls::readout(PicAnalysis, QStringLiteral("TxtAnalysisPRNum"), QString(), 556, 82);
    TxtAnalysisBPNum = controls::readout(PicAnalysis, QStringLiteral("TxtAnalysisBPNum"), QString(), 556, 82);
    TxtAnalysisPRNum->move(556, int(graphgeo::PlotBottom) - 46);
    TxtAnalysisBPNum->move(556, int(graphgeo::PlotBottom) - 23);
    // Names a screen reader speaks for the controls without a label beside them.
    const std::pair<QWidget *, const char *> spoken[] = {
        {CboAnalysisGraph, "Graph"}, {TxtAnalysisPower, "Power in watts"}, {CboAnalysisVent, "Vent"},
        {TxtAnalysisXNum, "Frequency under the mouse"}, {TxtAnalysisSealedNum, "Sealed box value under the mouse"},
        {TxtAnalysisVentedNum, "Vented box value under the mouse"},
        {TxtAnalysisPRNum, "Passive radiator box value under the mouse"},
        {TxtAnalysisBPNum, "Bandpass box value under the mouse"}};
    for (const auto &[widget, name] : spoken)
        widget->setAccessibleName(QLatin1String(name));
    LblAnalysisNotes = controls::label(this, QStringLiteral("LblAnalysisNotes"), QString());
    LblAnalysisNotes->setWordWrap(true);

    auto *choices = new QHBoxLayout;
    choices->addWidget(controls::label(this, QStringLiteral("LblAnalysisGraph"), QStringLiteral("Graph:")));
    choices->addWidget(CboAnalysisGraph);
    choices->addSpacing(16);
    choices->addWidget(controls::label(this, QStringLiteral("LblAnalysisPower"), QStringLiteral("Power:")));
    choices->addWidget(TxtAnalysisPower);
    choices->addWidget(controls::label(this, QStringLiteral("LblAnalysisPowerUnit"), QStringLiteral("W")));
    choices->addSpacing(16);
    choices->addWidget(controls::label(this, QStringLiteral("LblAnalysisVent"), QStringLiteral("Vent:")));
    choices->addWidget(CboAnalysisVent);
    choices->addStretch(1);
    auto *picture = new QHBoxLayout;
    picture->addStretch(1);
    picture->addWidget(PicAnalysis);
    picture->addStretch(1);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(choices);
    outer->addLayout(picture);
    outer->addWidget(LblAnalysisNotes);
    outer->addStretch(1);

    TxtAnalysisPower->installEventFilter(this);
    connect(CboAnalysisGraph, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_)
            return;
        redraw();
        emit settingsChanged();
    });
    connect(CboAnalysisVent, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (filling_)
            return;
        userVent_ = index;
        redraw();
        emit settingsChanged();
    });
    PicAnalysis->onMouseMove = [this](double x, double y) { PicAnalysis_MouseMove(x, y); };
    redraw();
}

double AnalysisTab::defaultPower() const
{
    return snapshot_.driver.maxPower > 0 ? snapshot_.driver.maxPower : 1.0;
}

void AnalysisTab::setSnapshot(const Snapshot &snapshot)
{
    snapshot_ = snapshot;
    viewed_ = isVisible();
    if (snapshot_.calculated && !userPower_) {
        power_ = defaultPower();
        TxtAnalysisPower->setText(generalNumber(power_));
    }
    fillVents();
    redraw();
}

void AnalysisTab::fillVents()
{
    filling_ = true;
    CboAnalysisVent->clear();
    for (const BoxSnapshot &box : snapshot_.boxes) {
        if (box.kind != BoxKind::Vented || !snapshot_.calculated)
            continue;
        for (const Vent &v : box.vents)
            CboAnalysisVent->addItem(ventCaption(v));
        const bool chosen = userVent_ >= 0 && userVent_ < int(box.vents.size());
        CboAnalysisVent->setCurrentIndex(chosen ? userVent_ : defaultVent(box));
    }
    filling_ = false;
}

design::AnalysisSettings AnalysisTab::settings() const
{
    return {CboAnalysisGraph->currentIndex(), userPower_ ? generalNumber(power_) : QString(), userVent_};
}

void AnalysisTab::applySettings(const design::AnalysisSettings &s)
{
    filling_ = true;
    CboAnalysisGraph->setCurrentIndex(std::clamp(s.graph, 0, GraphCount - 1));
    filling_ = false;
    const std::optional<double> power = parseNumber(s.power);
    userPower_ = power && *power > 0;
    power_ = userPower_ ? *power : defaultPower();
    TxtAnalysisPower->setText(userPower_ ? s.power : generalNumber(power_));
    userVent_ = s.vent;
    fillVents();
    redraw();
}

bool AnalysisTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == TxtAnalysisPower) {
        if (event->type() == QEvent::FocusIn)
            TxtAnalysisPower->selectAll();
        if (event->type() == QEvent::KeyPress) {
            int KeyAscii = Program::KeyAsciiOf(static_cast<QKeyEvent *>(event));
            if (KeyAscii >= 0) {
                const bool enter = KeyAscii == Program::KeyEnter;
                TxtAnalysisPower_KeyPress(KeyAscii);
                // As on the Input tab, Enter moves the focus on once the handler has finished.
                if (enter) {
                    QWidget *target = focusWidget() ? focusWidget() : this;
                    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab,
                                                                      Qt::NoModifier, QStringLiteral("\t")));
                }
                if (KeyAscii == 0)
                    return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AnalysisTab::TxtAnalysisPower_KeyPress(int &KeyAscii)
{
    if (KeyAscii != Program::KeyEnter) {
        Program::NumericKeyFilter(KeyAscii);
        return;
    }
    KeyAscii = 0;
    double value = 0;
    Program::ValidateNumber(TxtAnalysisPower->text(), value);
    if (TxtAnalysisPower->text() == QLatin1String("0"))
        Program::ShowNumberError();
    if (value == 0) {
        // Nothing usable: back to the power the tab starts with.
        userPower_ = false;
        power_ = defaultPower();
        TxtAnalysisPower->setText(generalNumber(power_));
    } else {
        if (value < PlausibleMinPower || value > PlausibleMaxPower)
            Program::ShowUnusualValue();
        userPower_ = true;
        power_ = value;
    }
    redraw();
    emit settingsChanged();
}

void AnalysisTab::redraw()
{
    GraphPicture *pic = PicAnalysis;
    pic->clear();
    for (QLineEdit *f : {TxtAnalysisXNum, TxtAnalysisSealedNum, TxtAnalysisVentedNum, TxtAnalysisPRNum, TxtAnalysisBPNum})
        f->clear();
    const Graph graph = Graph(std::max(0, CboAnalysisGraph->currentIndex()));
    const int vent = CboAnalysisVent->currentIndex();
    data_ = graphData(snapshot_, graph, power_, vent);
    const QStringList noteLines = notes(snapshot_, power_, vent);
    LblAnalysisNotes->setText(noteLines.join(QLatin1Char('\n')));
    if (!data_.missing.isEmpty()) {
        // Word-wrapped to the width of the frame.
        QString row;
        double top = 200;
        for (const QString &word : data_.missing.split(QLatin1Char(' '))) {
            const QString longer = row.isEmpty() ? word : row + QLatin1Char(' ') + word;
            if (!row.isEmpty() && GraphPicture::textWidth(longer) > graphgeo::PlotRight - graphgeo::PlotLeft) {
                pic->drawText(graphgeo::PlotLeft, top, row, Black);
                top += GraphPicture::RowHeight;
                row = word;
            } else {
                row = longer;
            }
        }
        pic->drawText(graphgeo::PlotLeft, top, row, Black);
        return;
    }

    const Axis axis = axisFor(graph, data_);
    drawFrame(axis, data_.unit);
    using namespace graphgeo;
    if (std::isfinite(data_.limit) && data_.limit >= axis.low && data_.limit <= axis.high) {
        const double y = axisY(axis, data_.limit);
        pic->line(PlotLeft + 1, y, PlotRight - 1, y, DarkRed);
        // Above the line, or below it where the line runs along the top of the frame.
        const double top = y - GraphPicture::RowHeight < PlotTop + 2 ? y + 1 : y - GraphPicture::RowHeight;
        pic->drawText(PlotRight - 4 - GraphPicture::textWidth(data_.limitLabel), top, data_.limitLabel, DarkRed);
    }
    pic->setLineWidth(2);
    for (std::size_t i = 0; i < data_.curves.size(); ++i) {
        const Curve &c = data_.curves[i];
        const int colour = colourOf(snapshot_.boxes[i].kind);
        for (int f = FirstHz + 1; f <= LastHz; ++f)
            if (std::isfinite(c[f - 1]) && std::isfinite(c[f]))
                pic->line(graphX(f - 1), clampedY(axis, c[f - 1]), graphX(f), clampedY(axis, c[f]), colour);
    }
    pic->setLineWidth(1);
    // The further curves (the radiators' excursion) thin, in the colour of their box.
    for (const ExtraCurve &e : data_.extra) {
        const int colour = colourOf(snapshot_.boxes[std::size_t(e.box)].kind);
        for (int f = FirstHz + 1; f <= LastHz; ++f)
            if (std::isfinite(e.values[f - 1]) && std::isfinite(e.values[f]))
                pic->line(graphX(f - 1), clampedY(axis, e.values[f - 1]), graphX(f), clampedY(axis, e.values[f]), colour);
    }
    // The notes under the frame, a sentence to a row, so a saved or printed picture carries them.
    double top = NotesTop;
    for (const QString &line : noteLines) {
        const QStringList sentences = line.split(QStringLiteral(". "));
        for (int i = 0; i < int(sentences.size()); ++i) {
            pic->drawText(8, top, sentences[i] + (i + 1 < int(sentences.size()) ? QStringLiteral(".") : QString()), Black);
            top += GraphPicture::RowHeight;
        }
    }
}

void AnalysisTab::drawFrame(const Axis &axis, const QString &unit)
{
    using namespace graphgeo;
    GraphPicture *pic = PicAnalysis;
    const Graph graph = Graph(std::max(0, CboAnalysisGraph->currentIndex()));
    pic->drawText(0, 0, QStringLiteral("                  Driver:  ") + snapshot_.driver.name, Black);
    QString title = graphNames().value(int(graph));
    if (dependsOnPower(graph))
        title += QStringLiteral(" at ") + generalNumber(power_) + QStringLiteral(" W");
    pic->drawText(PlotLeft, GraphPicture::RowHeight, title, Black);
    pic->drawText(4, 0, unit, Black);
    // The legend in the right margin, in the colours of the frequency-response graph.
    // Entries too wide for the margin take two rows.
    double legendTop = PlotTop + 4;
    const auto legend = [pic, &legendTop](const QString &text, int colour) {
        const qsizetype space = text.indexOf(QLatin1Char(' '));
        const bool wide = space > 0 && GraphPicture::textWidth(text) > GraphPicture::LogicalWidth - PlotRight - 8;
        for (const QString &row : wide ? QStringList{text.left(space), text.mid(space + 1)} : QStringList{text}) {
            pic->drawText(PlotRight + 6, legendTop, row, colour);
            legendTop += GraphPicture::RowHeight;
        }
    };
    for (const BoxSnapshot &box : snapshot_.boxes)
        legend(nameOf(box.kind), colourOf(box.kind));
    for (const ExtraCurve &e : data_.extra)
        legend(e.label, colourOf(snapshot_.boxes[std::size_t(e.box)].kind));
    for (const graphgeo::FrequencyLabel &label : graphgeo::FrequencyLabels)
        pic->drawText(GraphPicture::columnX(label.column), FrequencyLabelTop, QLatin1String(label.text), Black);

    pic->setLineWidth(2);
    pic->box(PlotLeft, PlotTop, PlotRight, PlotBottom, DarkRed);
    pic->setLineWidth(1);
    for (int f : graphgeo::GridFrequencies)
        pic->line(graphX(f), PlotTop + 1, graphX(f), PlotBottom - 1, Grey);
    // Value labels and dotted lines at every step, a tick on the frame at each.
    const int steps = int(std::lround((axis.high - axis.low) / axis.step));
    for (int k = 0; k <= steps; ++k) {
        const double value = axis.low + k * axis.step;
        const double y = axisY(axis, value);
        const QString text = generalNumber(value);
        pic->drawText(PlotLeft - 4 - GraphPicture::textWidth(text), y - GraphPicture::RowHeight / 2, text, Black);
        pic->line(PlotLeft + 4, y, PlotLeft, y, DarkRed);
        if (k > 0 && k < steps)
            for (int x = 49; x <= 547; x += 3)
                pic->pset(x, y, Grey);
    }
}

void AnalysisTab::PicAnalysis_MouseMove(double x, double y)
{
    if (!graphgeo::insidePlot(x, y) || data_.curves.empty())
        return;
    const int f = std::clamp(int(std::lround(graphgeo::freqAtX(x))), FirstHz, LastHz);
    const Graph graph = Graph(std::max(0, CboAnalysisGraph->currentIndex()));
    TxtAnalysisXNum->setText(formatNumber(f, QStringLiteral("#,##0 Hz")));
    QLineEdit *const readouts[] = {TxtAnalysisSealedNum, TxtAnalysisVentedNum, TxtAnalysisPRNum, TxtAnalysisBPNum};
    for (std::size_t i = 0; i < data_.curves.size(); ++i)
        readouts[int(snapshot_.boxes[i].kind)]->setText(valueText(graph, data_.curves[i][f]));
}

void AnalysisTab::showEvent(QShowEvent *event)
{
    viewed_ = true;
    QWidget::showEvent(event);
}

std::vector<design::CurveColumn> AnalysisTab::exportColumns() const
{
    exported_.clear();
    if (!snapshot_.calculated || !viewed_)
        return {};
    static const char *const names[GraphCount] = {"sound pressure level", "maximum SPL", "cone excursion",
                                                  "air speed", "group delay", "phase", "impedance"};
    const QString atPower = QStringLiteral(" at ") + generalNumber(power_) + QStringLiteral(" W");
    const int vent = CboAnalysisVent->currentIndex();
    for (int k = 0; k < GraphCount; ++k) {
        const GraphData g = graphData(snapshot_, Graph(k), power_, vent);
        if (!g.missing.isEmpty())
            continue;
        for (std::size_t i = 0; i < g.curves.size(); ++i) {
            const Curve &c = g.curves[i];
            if (std::none_of(c.begin() + FirstHz, c.end(), [](double v) { return std::isfinite(v); }))
                continue;
            const BoxKind kind = snapshot_.boxes[i].kind;
            QString heading = nameOf(kind) + QLatin1Char(' ') + QLatin1String(names[k]);
            if (Graph(k) == Graph::VentSpeed && kind == BoxKind::Vented)
                heading += QStringLiteral(" in the ") + CboAnalysisVent->currentText() + QStringLiteral(" vent");
            if (Graph(k) == Graph::VentSpeed && kind == BoxKind::Bandpass && !snapshot_.boxes[i].vents.empty())
                heading += QStringLiteral(" in the ") + generalNumber(snapshot_.boxes[i].vents.front().diameter)
                           + QStringLiteral(" in vent");
            heading += (dependsOnPower(Graph(k)) ? atPower : QString()) + QStringLiteral(" (") + g.unit + QLatin1Char(')');
            exported_.emplace_back(heading, c);
        }
        for (const ExtraCurve &e : g.extra)
            exported_.emplace_back(e.label + QLatin1Char(' ') + QLatin1String(names[k])
                                       + (dependsOnPower(Graph(k)) ? atPower : QString()) + QStringLiteral(" (") + g.unit
                                       + QLatin1Char(')'),
                                   e.values);
    }
    std::vector<design::CurveColumn> columns;
    for (const auto &[heading, curve] : exported_)
        columns.push_back({heading, &curve});
    return columns;
}
