// SPDX-License-Identifier: GPL-3.0-or-later
// The "Input" tab: driver data, its units and the two calculate buttons; the values derived from
// that data: the total Q from Qes and Qms, and the linear volume displacement Vd from whatever
// displacement data was given.

#include "app/InputTab.h"

#include "app/Controls.h"
#include "app/FieldEntry.h"
#include "app/FieldEntry.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"
#include "driver/Program.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace controls;

namespace {

const QString VolumeTip = QStringLiteral("Choose a unit of volume.");
const QString AreaTip = QStringLiteral("Choose a unit of Area.");
const QString LengthTip = QStringLiteral("Choose a unit of Length.");

template <std::size_t N>
QGroupBox *optionFrame(QWidget *parent, const char *frameName, const char *optionName,
                       const QString &tip, const std::array<const char *, N> &captions,
                       std::array<QRadioButton *, N> &options, bool tipOnButtons = true)
{
    QGroupBox *g = frame(parent, QLatin1String(frameName), tip);
    for (std::size_t i = 0; i < N; ++i)
        options[i] = option(g, arrayName(optionName, int(i)), QLatin1String(captions[i]),
                            tipOnButtons ? tip : QString());
    return g;
}

} // namespace

InputTab::InputTab(kelvane::state::DesignState &state, FieldEntry &keys, QWidget *parent)
    : QWidget(parent), State(state), Keys(&keys)
{
    QWidget *page = this;
    auto *left = new QGridLayout;
    auto *right = new QGridLayout;
    left->setVerticalSpacing(6);
    right->setVerticalSpacing(6);

    left->addWidget(heading(page, arrayName("Label1", 17), QStringLiteral("Box Design Parameters")),
                    0, 0, 1, 3);
    left->addWidget(label(page, arrayName("Label1", 0), QStringLiteral("Driver Name:")), 1, 0);
    TxtName = field(page, QStringLiteral("TxtName"), QString(),
                    QStringLiteral("Enter a name for the driver."), 18);
    left->addWidget(TxtName, 1, 1, 1, 2);

    left->addWidget(label(page, arrayName("Label1", 1), QStringLiteral("Resonant Frequency - Fs:")), 2, 0);
    TxtFs = field(page, QStringLiteral("TxtFs"), QString(),
                  QStringLiteral("Enter the Free Air Resonant Frequency of the driver."));
    left->addWidget(TxtFs, 2, 1);
    left->addWidget(label(page, arrayName("Label1", 21), QStringLiteral("Hz")), 2, 2);

    left->addWidget(label(page, arrayName("Label1", 5), QStringLiteral("Compliance - Vas:")), 3, 0);
    TxtVas = field(page, QStringLiteral("TxtVas"), QString(),
                   QStringLiteral("Enter the Equivalent Air Volume  representing the Acoustic "
                                  "Compliance (\"springiness\") of the driver's suspension."));
    left->addWidget(TxtVas, 3, 1);
    FrameVas = optionFrame<3>(page, "FrameVas", "OptVas", VolumeTip,
                              {"Cu. Ft.", "liters", "Cu. m"}, OptVas);
    left->addWidget(FrameVas, 3, 2);

    left->addWidget(label(page, arrayName("Label1", 2), QStringLiteral("Speaker Q - Qts:")), 4, 0);
    TxtQts = field(page, QStringLiteral("TxtQts"), QString(), QStringLiteral("Enter the driver Q."));
    left->addWidget(TxtQts, 4, 1);

    CmdCalculateInput = button(page, QStringLiteral("CmdCalculateInput"), QStringLiteral("Calculate Box"),
                               QStringLiteral("Click to calculate the frequency response(s) of the driver."));
    left->addWidget(CmdCalculateInput, 5, 1);

    left->addWidget(label(page, arrayName("Label1", 3), QStringLiteral("Electrical Q - Qes:")), 6, 0);
    TxtQes = field(page, QStringLiteral("TxtQes"), QString(),
                   QStringLiteral("Enter the driver's electrical Q."));
    left->addWidget(TxtQes, 6, 1);
    left->addWidget(label(page, arrayName("Label1", 4), QStringLiteral("Mechanical Q - Qms:")), 7, 0);
    TxtQms = field(page, QStringLiteral("TxtQms"), QString(),
                   QStringLiteral("Enter the driver's mechanical Q."));
    left->addWidget(TxtQms, 7, 1);
    CmdCalculateQts = button(page, QStringLiteral("CmdCalculateQts"), QStringLiteral("Calculate Qts"),
                             QStringLiteral("Enter the Qes and Qms above, and Click here to calculate "
                                            "the driver's Qts."));
    left->addWidget(CmdCalculateQts, 8, 1);
    left->setRowStretch(9, 1);

    right->addWidget(heading(page, arrayName("Label1", 18),
                             QStringLiteral("Displacement Limit Parameters")), 0, 0, 1, 3);
    right->addWidget(label(page, arrayName("Label1", 6), QStringLiteral("Maximum Power:")), 1, 0);
    TxtPower = field(page, QStringLiteral("TxtPower"), QString(),
                     QStringLiteral("Input Maximum Power Handling."));
    right->addWidget(TxtPower, 1, 1);
    right->addWidget(label(page, arrayName("Label1", 22), QStringLiteral("Watts")), 1, 2);

    right->addWidget(label(page, arrayName("Label1", 11),
                           QStringLiteral("Linear Volume Displacement - Vd:")), 2, 0);
    TxtVd = field(page, QStringLiteral("TxtVd"), QString(),
                  QStringLiteral("Input Linear Volume Displacement of the driver."));
    right->addWidget(TxtVd, 2, 1);
    FrameVd = optionFrame<3>(page, "FrameVd", "OptVd", VolumeTip, {"liters", "Cu. m", "Cu. Ft."}, OptVd);
    right->addWidget(FrameVd, 2, 2);

    right->addWidget(label(page, arrayName("Label1", 12), QStringLiteral("Effective Cone Area - Sd:")), 3, 0);
    TxtSd = field(page, QStringLiteral("TxtSd"), QString(),
                  QStringLiteral("Input Effective Cone area - used to Calculate Vd if Vd is unknown."));
    right->addWidget(TxtSd, 3, 1);
    FrameSd = optionFrame<3>(page, "FrameSd", "OptSd", AreaTip, {"Sq. cm", "Sq. m", "Sq. in."}, OptSd);
    right->addWidget(FrameSd, 3, 2);

    right->addWidget(label(page, arrayName("Label1", 13),
                           QStringLiteral("Advertised Driver Diameter - d:")), 4, 0);
    TxtDia = field(page, QStringLiteral("TxtDia"), QString(),
                   QStringLiteral("Inpute the Advertised Diameter - used to find Sd and Vd when they "
                                  "are unknown."));
    right->addWidget(TxtDia, 4, 1);
    FrameDia = optionFrame<3>(page, "FrameDia", "OptDia", LengthTip, {"mm", "cm", "inches"}, OptDia);
    right->addWidget(FrameDia, 4, 2);

    right->addWidget(label(page, arrayName("Label1", 14),
                           QStringLiteral("Linear One-way Displacement - Xmax:")), 5, 0);
    TxtXmax = field(page, QStringLiteral("TxtXmax"), QString(),
                    QStringLiteral("Enter the Linear One-Way Xmax (NOT Peak to Peak!)."));
    right->addWidget(TxtXmax, 5, 1);
    FrameXmax = optionFrame<2>(page, "FrameXmax", "OptXmax", LengthTip, {"inches", "mm"}, OptXmax);
    right->addWidget(FrameXmax, 5, 2);

    right->addWidget(label(page, arrayName("Label1", 15), QStringLiteral("Voice Coil Height - H:")), 6, 0);
    TxtVCHeight = field(page, QStringLiteral("TxtVCHeight"), QString(),
                        QStringLiteral("Enter the Voice Coil Height (or length) when Xmax is unknown."));
    right->addWidget(TxtVCHeight, 6, 1);
    right->addWidget(label(page, arrayName("Label1", 16), QStringLiteral("Voice Coil Gap - L:")), 7, 0);
    TxtVCGap = field(page, QStringLiteral("TxtVCGap"), QString(),
                     QStringLiteral("Enter the Voice Coil Gap length (or height) when Xmax is unknown."));
    right->addWidget(TxtVCGap, 7, 1);
    right->setRowStretch(8, 1);

    OptVas[1]->setChecked(true);
    OptVd[0]->setChecked(true);
    OptSd[0]->setChecked(true);
    OptDia[2]->setChecked(true);
    OptXmax[1]->setChecked(true);

    auto *line = new QFrame(page);
    line->setObjectName(arrayName("Line2", 0));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addSpacing(12);
    columns->addWidget(line);
    columns->addSpacing(12);
    columns->addLayout(right);

    CmdExit = exitButton(page, 0);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(CmdExit);

    auto *outer = new QVBoxLayout(page);
    outer->addLayout(columns, 1);
    outer->addLayout(bottom);

    connect(CmdCalculateQts, &QPushButton::clicked, this, [this] {
        CmdCalculateQts_Click();
        Keys->flushQueuedTab();
    });
    // field, value, Tab after Enter, "0" reported, zero empties, text left by a zero, warning, unit
    const auto above = [](double limit) { return [limit](double v) { return v > limit; }; };
    const std::vector<FieldEntry::Numeric> entries = {
        {TxtFs, &State.Fs, true, true, true, {}, [](double v) { return v < 10; }},
        {TxtQts, &State.Qts, true, true, true, {}, above(2)},
        {TxtQes, &State.Qes, true, true, true, {}, above(2)},
        {TxtQms, &State.Qms, true, true, true, {}, [](double v) { return v > 20 || v < 0.5; }},
        {TxtVas, &State.Vas, true, true, true, {}, [](double v) { return v > 500 || v < 0.01; },
         [this] { return controls::selectedIndex(OptVas); }, [this](double vas) { return groupVas ? groupVas(vas) : vas; }},
        {TxtPower, &State.Power, true, true, true, {}, {}},
        {TxtVd, &State.Vd, true, true, true, {}, {}},
        {TxtSd, &State.Sd, true, true, true, {}, {}},
        {TxtDia, &State.Dia, true, true, true, {}, {}},
        {TxtXmax, &State.Xmax, true, true, true, {}, above(100)},
        {TxtVCHeight, &State.VCHeight, true, true, true, {}, above(100)},
        {TxtVCGap, &State.VCGap, true, true, true, {}, above(100)},
    };
    for (const FieldEntry::Numeric &entry : entries)
        Keys->addNumeric(entry);
    Keys->onKey(TxtName, [this](int &k) { TxtName_KeyPress(k); });
    for (int i = 0; i < 3; ++i)
        Keys->onKey(OptVas[i], [this, i](int &k) { OptVas_KeyPress(i, k); });
}

void InputTab::setInputTabOrder()
{
    // The order in which Enter moves the focus through the driver data.
    const std::vector<QWidget *> order = {
        TxtName, TxtFs, TxtVas, OptVas[0], OptVas[1], OptVas[2], TxtQts, CmdCalculateInput,
        TxtQes, TxtQms, CmdCalculateQts, TxtPower, TxtVd, TxtSd, TxtDia, TxtVCHeight, TxtVCGap,
        TxtXmax, OptXmax[0], OptXmax[1], CmdExit,
        OptVd[0], OptVd[1], OptVd[2], OptSd[0], OptSd[1], OptSd[2], OptDia[0], OptDia[1], OptDia[2]};
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

using namespace kelvane;

void InputTab::CmdCalculateQts_Click()
{
    try {
        State.Qes = numberInOrZero(TxtQes->text());
        State.Qms = numberInOrZero(TxtQms->text());
        TxtQes->setText(formatNumber(State.Qes, QStringLiteral("#0.000")));
        TxtQms->setText(formatNumber(State.Qms, QStringLiteral("#0.000")));
        if (State.Qes <= 0) {
            Program::ShowNumberError();
            TxtQes->setFocus();
            TxtQes->clear();
            return;
        }
        if (State.Qms <= 0) {
            Program::ShowNumberError();
            TxtQms->setFocus();
            TxtQms->clear();
            return;
        }
        const double total = driver::totalQ(State.Qes, State.Qms);
        const QString shown = formatNumber(total, QStringLiteral("#0.000"));
        if (shown == TxtQts->text()) {
            // The field already shows this Qts, so nothing is invalidated and results calculated
            // from the field may still be on offer: Qts stays the number they were calculated
            // from, the one the field shows.
            State.Qts = numberIn(QLatin1Char('0') + shown);
        } else {
            State.Qts = total;
            // The new text invalidates the model through TxtQts_Change.
            TxtQts->setText(shown);
        }
        Keys->queueTab();
    } catch (const CalcFault &) {
        TxtQes->setFocus();
        Program::ShowNumberError();
    }
}

namespace {

// A displacement field counts as missing when it is empty or exactly "0".
bool missing(const QLineEdit *field)
{
    return field->text().isEmpty() || field->text() == QLatin1String("0");
}

} // namespace

void InputTab::GetVd(double &VdOut)
{
    const int vdUnit = std::max(0, controls::selectedIndex(OptVd));
    if (!missing(TxtVd)) {
        VdOut = checked(numberIn(TxtVd->text()) * driver::CubicMetresPerVdUnit[vdUnit]);
        return;
    }

    if (!missing(TxtSd)) {
        State.Sd = checked(numberIn(TxtSd->text()) * driver::SquareMmPerSdUnit[std::max(0, controls::selectedIndex(OptSd))]);
    } else {
        if (missing(TxtDia)) {
            // The caller reports a Vd of 0 as missing; a Vd left from an earlier run would
            // otherwise be drawn as if it were this driver's.
            VdOut = 0;
            return;
        }
        State.Dia = driver::effectiveDiameter(
            numberIn(TxtDia->text()) * driver::MmPerDiaUnit[std::max(0, controls::selectedIndex(OptDia))]);
        State.Sd = driver::pistonArea(State.Dia);
    }

    if (missing(TxtXmax)) {
        if (missing(TxtVCHeight) || missing(TxtVCGap)) {
            Program::ShowMoreDataNeeded();
            bringToFront();
            TxtVCHeight->setFocus();
            VdOut = 0;
            return;
        }
        // The coil dimensions are taken in the Xmax unit.
        TxtXmax->setText(generalNumber(
            driver::xmaxFromCoil(numberIn(TxtVCHeight->text()), numberIn(TxtVCGap->text()))));
    }
    State.Xmax = checked(numberIn(TxtXmax->text()) * driver::MmPerXmaxUnit[std::max(0, controls::selectedIndex(OptXmax))]);
    VdOut = driver::displacement(State.Sd, State.Xmax);

    // Written in the unit the Vd option shows, so the next run reads the same volume back.
    TxtVd->setText(formatNumber(VdOut / driver::CubicMetresPerVdUnit[vdUnit],
                                QLatin1String(driver::VdPattern[vdUnit])));
}

void InputTab::TxtName_KeyPress(int &KeyAscii)
{
    if (KeyAscii == Program::KeyEnter) {
        Keys->queueTab();
        KeyAscii = 0;
        return;
    }
    Program::NameKeyFilter(KeyAscii);
}

void InputTab::OptVas_KeyPress(int /*Index*/, int &KeyAscii)
{
    switch (KeyAscii) {
    case 'F': case 'f':
        OptVas[0]->setChecked(true);
        KeyAscii = 0;
        break;
    case 'L': case 'l':
        OptVas[1]->setChecked(true);
        KeyAscii = 0;
        break;
    case 'M': case 'm':
        OptVas[2]->setChecked(true);
        KeyAscii = 0;
        break;
    case Program::KeyEnter:
        Keys->queueTab();
        KeyAscii = 0;
        break;
    default:
        break;
    }
}

driver::DisplacementEntries InputTab::displacementEntries() const
{
    return {TxtVd->text(), TxtSd->text(), TxtDia->text(), TxtXmax->text(), TxtVCHeight->text(),
            TxtVCGap->text(), std::max(0, controls::selectedIndex(OptVd)), std::max(0, controls::selectedIndex(OptSd)),
            std::max(0, controls::selectedIndex(OptDia)), std::max(0, controls::selectedIndex(OptXmax))};
}
