// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnalysisTab.h"

#include "app/Controls.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "graphs/GraphAxes.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPoint>
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
const double FrequencyLabelTop = std::max(25 * GraphCanvas::RowHeight, graphgeo::PlotBottom - 1.5);

// y on the 640 x 480 plot of a value, held within the frame.
double clampedY(const Axis &axis, double value)
{
    return std::clamp(axisY(axis, value), graphgeo::PlotTop, graphgeo::PlotBottom);
}

// What the picture shows, kept with it so that it can be drawn again at any size.
struct AnalysisPicture {
    QString missing; // what to enter instead of a graph
    QString driverName, title;
    std::vector<std::pair<QString, int>> legend; // text and colour
    Axis axis;
    GraphData data;
    std::vector<int> colours;      // of data.curves
    std::vector<int> extraColours; // of data.extra
};

// The message of a graph without data, word-wrapped to the width of the frame.
void drawMissing(GraphCanvas &pic, const graphgeo::PlotLayout &l, const QString &missing)
{
    QString row;
    double top = l.y(200);
    for (const QString &word : missing.split(QLatin1Char(' '))) {
        const QString longer = row.isEmpty() ? word : row + QLatin1Char(' ') + word;
        if (!row.isEmpty() && GraphCanvas::textWidth(longer) > l.right - l.left) {
            pic.drawText(l.left, top, row, Black);
            top += GraphCanvas::RowHeight;
            row = word;
        } else {
            row = longer;
        }
    }
    pic.drawText(l.left, top, row, Black);
}

void drawFrame(GraphCanvas &pic, const graphgeo::PlotLayout &l, const AnalysisPicture &a)
{
    pic.drawText(0, 0, QStringLiteral("                  Driver:  ") + a.driverName, Black);
    pic.drawText(l.left, GraphCanvas::RowHeight, a.title, Black);
    pic.drawText(4, 0, a.data.unit, Black);
    // The legend in the right margin, in the colours of the frequency-response graph.
    // Entries too wide for the margin take two rows.
    double legendTop = l.top + 4;
    for (const auto &[text, colour] : a.legend) {
        const qsizetype space = text.indexOf(QLatin1Char(' '));
        const bool wide = space > 0 && GraphCanvas::textWidth(text) > l.width - l.right - 8;
        for (const QString &row : wide ? QStringList{text.left(space), text.mid(space + 1)} : QStringList{text}) {
            pic.drawText(l.right + 6, legendTop, row, colour);
            legendTop += GraphCanvas::RowHeight;
        }
    }
    graphaxes::frequencyLabels(pic, l, FrequencyLabelTop);

    pic.setLineWidth(2);
    pic.box(l.left, l.top, l.right, l.bottom, DarkRed);
    pic.setLineWidth(1);
    graphaxes::frequencyGrid(pic, l);
    // Value labels and dotted lines at every step, a tick on the frame at each; a taller plot also
    // labels the half steps where the labels fit.
    const Axis &axis = a.axis;
    const int steps = int(std::lround((axis.high - axis.low) / axis.step));
    std::vector<graphaxes::ValueLabel> labels;
    for (int k = 0; k <= steps; ++k) {
        const double value = axis.low + k * axis.step;
        const double y = l.y(axisY(axis, value));
        labels.push_back({y, generalNumber(value)});
        pic.line(l.left + 4, y, l.left, y, DarkRed);
        if (k > 0 && k < steps)
            for (double x = l.left + 1; x <= l.right - 2; x += 3)
                pic.pset(x, y, Grey);
    }
    if (!l.isBase())
        for (int k = 0; k < steps; ++k) {
            const double y = l.y(axisY(axis, axis.low + (k + 0.5) * axis.step));
            labels.push_back({y, generalNumber(axis.low + (k + 0.5) * axis.step)});
            pic.line(l.left + 2, y, l.left, y, DarkRed);
        }
    graphaxes::leftLabels(pic, l, labels);
}

void drawAnalysis(GraphCanvas &pic, const AnalysisPicture &a)
{
    using namespace graphgeo;
    const PlotLayout l = responseLayout(pic.width(), pic.height());
    if (!a.missing.isEmpty()) {
        drawMissing(pic, l, a.missing);
        return;
    }
    drawFrame(pic, l, a);
    const Axis &axis = a.axis;
    const GraphData &data = a.data;
    if (std::isfinite(data.limit) && data.limit >= axis.low && data.limit <= axis.high) {
        const double y = l.y(axisY(axis, data.limit));
        pic.line(l.left + 1, y, l.right - 1, y, DarkRed);
        // Above the line, or below it where the line runs along the top of the frame.
        const double top = y - GraphCanvas::RowHeight < l.top + 2 ? y + 1 : y - GraphCanvas::RowHeight;
        pic.drawText(l.right - 4 - GraphCanvas::textWidth(data.limitLabel), top, data.limitLabel, DarkRed);
    }
    // A curve through its values at every whole hertz, on the picture's whole units: a point on the
    // unit of the one before adds nothing, and a run along a row or a column is one line (the lines'
    // square ends cover the same units), so a curve takes a few hundred lines instead of 490.
    const auto curve = [&](const Curve &c, int colour) {
        std::vector<QPoint> run;
        const auto draw = [&] {
            for (std::size_t i = 1; i < run.size(); ++i)
                pic.line(run[i - 1].x(), run[i - 1].y(), run[i].x(), run[i].y(), colour);
            run.clear();
        };
        for (int f = FirstHz; f <= LastHz; ++f) {
            if (!std::isfinite(c[f])) {
                draw();
                continue;
            }
            const QPoint p(int(std::floor(graphX(l, f) + 0.5)), int(std::floor(l.y(clampedY(axis, c[f])) + 0.5)));
            if (!run.empty() && run.back() == p)
                continue;
            if (run.size() >= 2) {
                const QPoint a = run.end()[-2], b = run.back();
                const bool alongRow = a.y() == b.y() && b.y() == p.y() && (b.x() - a.x()) * (p.x() - b.x()) > 0;
                const bool alongColumn = a.x() == b.x() && b.x() == p.x() && (b.y() - a.y()) * (p.y() - b.y()) > 0;
                if (alongRow || alongColumn)
                    run.pop_back();
            }
            run.push_back(p);
        }
        draw();
    };
    pic.setLineWidth(2);
    for (std::size_t i = 0; i < data.curves.size(); ++i)
        curve(data.curves[i], a.colours[i]);
    pic.setLineWidth(1);
    // The further curves (the radiators' excursion) thin, in the colour of their box.
    for (std::size_t i = 0; i < data.extra.size(); ++i)
        curve(data.extra[i].values, a.extraColours[i]);
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
    TxtAnalysisXNum = controls::readout(PicAnalysis, QStringLiteral("TxtAnalysisXNum"), QStringLiteral("Hz"), 300, 76);
    TxtAnalysisSealedNum = controls::readout(PicAnalysis, QStringLiteral("TxtAnalysisSealedNum"), QString(), 380, 86);
    TxtAnalysisVentedNum = controls::readout(PicAnalysis, QStringLiteral("TxtAnalysisVentedNum"), QString(), 470, 86);
    // The boxes of the More Boxes tab read out in the right margin, under the legend.
    TxtAnalysisPRNum = controls::readout(PicAnalysis, QStringLiteral("TxtAnalysisPRNum"), QString(), 556, 82);
    TxtAnalysisBPNum = controls::readout(PicAnalysis, QStringLiteral("TxtAnalysisBPNum"), QString(), 556, 82);
    TxtAnalysisPRNum->move(556, int(graphgeo::PlotBottom) - 46);
    TxtAnalysisBPNum->move(556, int(graphgeo::PlotBottom) - 23);
    for (QLineEdit *readout : {TxtAnalysisXNum, TxtAnalysisSealedNum, TxtAnalysisVentedNum})
        PicAnalysis->keepRight(readout);
    for (QLineEdit *readout : {TxtAnalysisPRNum, TxtAnalysisBPNum})
        PicAnalysis->keepBottomRight(readout);
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
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(choices);
    outer->addWidget(new PictureHolder(PicAnalysis), 1);
    outer->addWidget(LblAnalysisNotes);

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
    ++snapshotSerial_;
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
    for (QLineEdit *f : {TxtAnalysisXNum, TxtAnalysisSealedNum, TxtAnalysisVentedNum, TxtAnalysisPRNum, TxtAnalysisBPNum})
        f->clear();
    const Graph graph = Graph(std::max(0, CboAnalysisGraph->currentIndex()));
    const int vent = CboAnalysisVent->currentIndex();
    data_ = graphData(snapshot_, graph, power_, vent);
    // The notes stand under the picture (and under the graph on the build sheet), not in it.
    if (const NotesKey key{snapshotSerial_, power_, vent}; !(key == notesKey_)) {
        LblAnalysisNotes->setText(analysis::notes(snapshot_, power_, vent).join(QLatin1Char('\n')));
        notesKey_ = key;
    }

    AnalysisPicture picture;
    picture.missing = data_.missing;
    if (picture.missing.isEmpty()) {
        picture.driverName = snapshot_.driver.name;
        picture.title = graphNames().value(int(graph));
        if (dependsOnPower(graph))
            picture.title += QStringLiteral(" at ") + generalNumber(power_) + QStringLiteral(" W");
        for (const BoxSnapshot &box : snapshot_.boxes)
            picture.legend.push_back({nameOf(box.kind), colourOf(box.kind)});
        for (const ExtraCurve &e : data_.extra)
            picture.legend.push_back({e.label, colourOf(snapshot_.boxes[std::size_t(e.box)].kind)});
        picture.axis = axisFor(graph, data_);
        picture.data = data_;
        for (std::size_t i = 0; i < data_.curves.size(); ++i)
            picture.colours.push_back(colourOf(snapshot_.boxes[i].kind));
        for (const ExtraCurve &e : data_.extra)
            picture.extraColours.push_back(colourOf(snapshot_.boxes[std::size_t(e.box)].kind));
    }
    PicAnalysis->setDrawing([picture](GraphCanvas &canvas) { drawAnalysis(canvas, picture); });
}

QStringList AnalysisTab::notes() const
{
    const QString text = LblAnalysisNotes->text();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void AnalysisTab::PicAnalysis_MouseMove(double x, double y)
{
    const graphgeo::PlotLayout l = graphgeo::responseLayout(PicAnalysis->width(), PicAnalysis->height());
    if (!l.inside(x, y) || data_.curves.empty())
        return;
    const int f = std::clamp(int(std::lround(graphgeo::freqAtX(l, x))), FirstHz, LastHz);
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
