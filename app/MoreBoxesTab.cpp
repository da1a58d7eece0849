// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MoreBoxesTab.h"

#include "app/Controls.h"
#include "boxvent/BoxCore.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "models/VolumeUnit.h"
#include "moreboxes/MoreBoxesCore.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

using namespace kelvane;

const QString MoreBoxesTab::NoDriverText = QStringLiteral("Enter the driver on the Input tab and click Calculate Box.");

namespace {

const char *const VasUnitCaption[3] = {"Cu. Ft.", "liters", "Cu. m"};

// One row of a frame: the caption, the control, the unit.
struct Row {
    const char *caption;
    QWidget *control;
    const char *unit;
};

QGroupBox *frameOf(QWidget *parent, const QString &name, const QString &title, const std::vector<Row> &rows,
                   QPushButton *calculate, const std::vector<Row> &results, QLabel *notes)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto *grid = new QGridLayout(box);
    int r = 0;
    const auto add = [&](const Row &row) {
        auto *caption = controls::label(box, QString(), QLatin1String(row.caption));
        grid->addWidget(caption, r, 0);
        row.control->setParent(box);
        if (auto *result = qobject_cast<QLabel *>(row.control)) {
            // A result may say more than a number: it takes the unit's column too and wraps.
            result->setWordWrap(true);
            grid->addWidget(result, r, 1, 1, 2);
        } else {
            grid->addWidget(row.control, r, 1);
            row.control->setAccessibleName(caption->text());
        }
        if (row.unit)
            grid->addWidget(controls::label(box, QString(), QLatin1String(row.unit)), r, 2);
        ++r;
    };
    for (const Row &row : rows)
        add(row);
    calculate->setParent(box);
    grid->addWidget(calculate, r++, 1);
    for (const Row &row : results)
        add(row);
    notes->setParent(box);
    notes->setWordWrap(true);
    grid->addWidget(notes, r++, 0, 1, 3);
    grid->setRowStretch(r, 1);
    grid->setColumnStretch(2, 1);
    return box;
}

} // namespace

MoreBoxesTab::MoreBoxesTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MoreBoxesTab"));
    using controls::field;
    using controls::label;
    const auto text = [](const char *name) {
        for (const design::MoreBoxesField &f : design::MoreBoxesFields)
            if (qstrcmp(f.name, name) == 0)
                return QLatin1String(f.start);
        return QLatin1String("");
    };
    const auto make = [&](QLineEdit *&f, const char *name, const char *tip) {
        f = field(this, QLatin1String(name), text(name), QLatin1String(tip));
        return f;
    };
    const auto result = [this](QLabel *&l, const char *name) {
        l = label(this, QLatin1String(name), QString());
        l->setMinimumWidth(90);
        return l;
    };

    make(TxtPRSd, "TxtPRSd", "Enter the radiator's effective area in square centimetres.");
    make(TxtPRMms, "TxtPRMms", "Enter the radiator's moving mass in grams, without added mass.");
    make(TxtPRVas, "TxtPRVas", "Enter the radiator's compliance volume Vas.");
    make(TxtPRQms, "TxtPRQms", "Enter the radiator's mechanical Q (5 is a good guess).");
    make(TxtPRXmax, "TxtPRXmax", "Enter the radiator's one-way linear excursion in mm (optional).");
    make(TxtPRCount, "TxtPRCount", "Enter the number of radiators, 1 to 4.");
    make(TxtPRVb, "TxtPRVb", "Enter a box volume to model.");
    make(TxtPRFb, "TxtPRFb", "Enter a box frequency to model.");
    CmdCalculatePR = controls::button(this, QStringLiteral("CmdCalculatePR"), QStringLiteral("Calculate"),
                                      QStringLiteral("Click here to calculate the passive radiator box."));
    LblPRVasUnit = label(this, QStringLiteral("LblPRVasUnit"), QStringLiteral("liters"));
    LblPRVbUnit = label(this, QStringLiteral("LblPRVbUnit"), QStringLiteral("Cu Ft"));
    LblPRNotes = label(this, QStringLiteral("LblPRNotes"), NoDriverText);
    FramePassiveRadiator = frameOf(
        this, QStringLiteral("FramePassiveRadiator"), QStringLiteral("Passive Radiator Box:"),
        {{"Radiator area - Sd:", TxtPRSd, "Sq. cm"},
         {"Radiator moving mass - Mms:", TxtPRMms, "g"},
         {"Radiator compliance - Vas:", TxtPRVas, nullptr},
         {"Radiator mechanical Q - Qms:", TxtPRQms, nullptr},
         {"Radiator Xmax:", TxtPRXmax, "mm"},
         {"Number of radiators:", TxtPRCount, nullptr},
         {"Box volume - Vb:", TxtPRVb, nullptr},
         {"Tuning - Fb:", TxtPRFb, "Hz"}},
        CmdCalculatePR,
        {{"Mass to add to each radiator:", result(LblPRAddedMass, "LblPRAddedMass"), nullptr},
         {"Radiator resonance (notch) - Fp:", result(LblPRFp, "LblPRFp"), nullptr},
         {"F3:", result(LblPRF3, "LblPRF3"), nullptr},
         {"Response peak:", result(LblPRPeak, "LblPRPeak"), nullptr},
         {"Radiator excursion:", result(LblPRExcursion, "LblPRExcursion"), nullptr}},
        LblPRNotes);
    // The unit captions stand beside their fields.
    auto *prGrid = static_cast<QGridLayout *>(FramePassiveRadiator->layout());
    prGrid->addWidget(LblPRVasUnit, 2, 2);
    prGrid->addWidget(LblPRVbUnit, 6, 2);

    make(TxtBPRearVolume, "TxtBPRearVolume", "Enter the volume of the sealed rear chamber, or leave it empty for a design.");
    make(TxtBPFrontVolume, "TxtBPFrontVolume", "Enter the volume of the vented front chamber, or leave it empty for a design.");
    make(TxtBPFb, "TxtBPFb", "Enter the front chamber's tuning, or leave it empty for a design.");
    make(TxtBPRipple, "TxtBPRipple", "Enter the passband ripple S (0.7 is a flat passband).");
    make(TxtBPGain, "TxtBPGain", "Enter the passband gain over the driver's sensitivity in dB.");
    make(TxtBPVentDia, "TxtBPVentDia", "Enter a vent diameter in inches, or leave it empty for the narrowest that is not too fast.");
    CmdCalculateBP = controls::button(this, QStringLiteral("CmdCalculateBP"), QStringLiteral("Calculate"),
                                      QStringLiteral("Click here to calculate the bandpass box."));
    LblBPRearUnit = label(this, QStringLiteral("LblBPRearUnit"), QStringLiteral("Cu Ft"));
    LblBPFrontUnit = label(this, QStringLiteral("LblBPFrontUnit"), QStringLiteral("Cu Ft"));
    LblBPNotes = label(this, QStringLiteral("LblBPNotes"), NoDriverText);
    FrameBandpass = frameOf(
        this, QStringLiteral("FrameBandpass"), QStringLiteral("Fourth-Order Bandpass Box:"),
        {{"Rear chamber (sealed):", TxtBPRearVolume, nullptr},
         {"Front chamber (vented):", TxtBPFrontVolume, nullptr},
         {"Tuning - Fb:", TxtBPFb, "Hz"},
         {"Passband ripple - S:", TxtBPRipple, nullptr},
         {"Passband gain:", TxtBPGain, "dB"},
         {"Vent diameter:", TxtBPVentDia, "in"}},
        CmdCalculateBP,
        {{"Lower -3 dB frequency:", result(LblBPF3Low, "LblBPF3Low"), nullptr},
         {"Upper -3 dB frequency:", result(LblBPF3High, "LblBPF3High"), nullptr},
         {"Passband gain reached:", result(LblBPGain, "LblBPGain"), nullptr},
         {"Vent length:", result(LblBPVentLength, "LblBPVentLength"), nullptr},
         {"Vent air speed:", result(LblBPVentSpeed, "LblBPVentSpeed"), nullptr}},
        LblBPNotes);
    auto *bpGrid = static_cast<QGridLayout *>(FrameBandpass->layout());
    bpGrid->addWidget(LblBPRearUnit, 0, 2);
    bpGrid->addWidget(LblBPFrontUnit, 1, 2);

    auto *frames = new QHBoxLayout;
    frames->addWidget(FramePassiveRadiator, 1);
    frames->addWidget(FrameBandpass, 1);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(frames);
    outer->addStretch(1);

    // Plausible ranges as on the Input and Box Model tabs; the radiator's Vas is tested as typed,
    // like the driver's.
    constexpr double Any = HUGE_VAL;
    entries_ = {{TxtPRSd, 0, Any, {}},       {TxtPRMms, 0, Any, {}},      {TxtPRVas, 0.01, 500, {}},
                {TxtPRQms, 0.5, 20, QStringLiteral("5")},              {TxtPRXmax, 0, 100, {}},
                {TxtPRCount, 1, 4, QStringLiteral("1")},               {TxtPRVb, 0, Any, {}},
                {TxtPRFb, 10, 200, {}},      {TxtBPRearVolume, 0, Any, {}}, {TxtBPFrontVolume, 0, Any, {}},
                {TxtBPFb, 10, 200, {}},      {TxtBPRipple, 0.3, 1, QStringLiteral("0.7")},
                {TxtBPGain, 0, 15, QStringLiteral("3")},               {TxtBPVentDia, 0, Any, {}}};
    for (const Entry &e : entries_) {
        e.field->installEventFilter(this);
        connect(e.field, &QLineEdit::textEdited, this, &MoreBoxesTab::settingsChanged);
    }
    connect(CmdCalculatePR, &QPushButton::clicked, this, [this] { CmdCalculatePR_Click(); });
    connect(CmdCalculateBP, &QPushButton::clicked, this, [this] { CmdCalculateBP_Click(); });
}

bool MoreBoxesTab::eventFilter(QObject *watched, QEvent *event)
{
    const auto entry = std::find_if(entries_.begin(), entries_.end(), [watched](const Entry &e) { return e.field == watched; });
    if (entry != entries_.end()) {
        if (event->type() == QEvent::FocusIn) {
            // Typing replaces the whole value, also after a click (which places the caret after the
            // focus arrives), as in every entry field of the window.
            QLineEdit *f = entry->field;
            f->selectAll();
            if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, f, [f] { f->selectAll(); });
        }
        if (event->type() == QEvent::KeyPress) {
            int KeyAscii = Program::KeyAsciiOf(static_cast<QKeyEvent *>(event));
            if (KeyAscii >= 0) {
                const bool enter = KeyAscii == Program::KeyEnter;
                commitEntry(*entry, KeyAscii);
                // As on the Input tab, Enter moves the focus on once the handler has finished.
                if (enter) {
                    QWidget *target = focusWidget() ? focusWidget() : this;
                    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier,
                                                                      QStringLiteral("\t")));
                }
                if (KeyAscii == 0)
                    return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MoreBoxesTab::commitEntry(const Entry &entry, int &KeyAscii)
{
    if (KeyAscii != Program::KeyEnter) {
        Program::NumericKeyFilter(KeyAscii);
        return;
    }
    KeyAscii = 0;
    double value = 0;
    Program::ValidateNumber(entry.field->text(), value);
    if (entry.field->text() == QLatin1String("0")) {
        Program::ShowNumberError();
        entry.field->setText(entry.resetText);
    } else if (value == 0) {
        entry.field->setText(entry.resetText);
    } else if (entry.field == TxtPRCount && (value != std::floor(value) || value > 4)) {
        // One to four whole radiators: anything else is not a count the box is built with.
        Program::ShowNumberError();
        entry.field->setText(entry.resetText);
    } else if (value < entry.low || value > entry.high) {
        Program::ShowUnusualValue();
    }
    emit settingsChanged();
}

namespace {

// The number in a field of the calculation: empty is "More data needed!" (when required), a text
// that is no number above 0 "Please enter a number > 0!"; either way the field gets the focus.
bool readField(QLineEdit *field, double &value, bool required = true)
{
    value = 0;
    if (field->text().isEmpty()) {
        if (!required)
            return true;
        Program::ShowMoreDataNeeded();
    } else if (const std::optional<double> v = parseNumber(field->text()); v && std::isfinite(*v) && *v > 0) {
        value = *v;
        return true;
    } else {
        Program::ShowNumberError();
    }
    field->setFocus();
    field->selectAll();
    return false;
}

// Given: not empty and not "0", as the vented box tells a typed volume from one to fit.
bool given(const QLineEdit *field)
{
    return !field->text().isEmpty() && field->text() != QLatin1String("0");
}

} // namespace

QString MoreBoxesTab::volumeText(double cuFt) const
{
    return formatNumber(volume::fromCubicFeet(cuFt, snapshot_.volumeUnit), QLatin1String(volume::FieldPattern));
}

double MoreBoxesTab::volumeOf(const QLineEdit *field) const
{
    return volume::toCubicFeet(parseNumber(field->text()).value_or(0.0), snapshot_.volumeUnit);
}

void MoreBoxesTab::setVolumeUnit(int unit)
{
    unit = volume::validUnit(unit);
    // The volume fields are rewritten in the new unit, as the Box Model tab rewrites its own.
    const int before = snapshot_.volumeUnit;
    for (QLineEdit *f : {TxtPRVb, TxtBPRearVolume, TxtBPFrontVolume}) {
        const std::optional<double> v = parseNumber(f->text());
        if (unit != before && v && *v > 0)
            f->setText(formatNumber(volume::fromCubicFeet(volume::toCubicFeet(*v, before), unit),
                                    QLatin1String(volume::FieldPattern)));
    }
    snapshot_.volumeUnit = unit;
    for (QLabel *l : {LblPRVbUnit, LblBPRearUnit, LblBPFrontUnit})
        l->setText(QLatin1String(volume::UnitCaption[unit]));
}

void MoreBoxesTab::setSnapshot(const MoreBoxesSnapshot &s)
{
    const analysis::Snapshot before = snapshot_.calculation;
    const double vdBefore = snapshot_.vd;
    setVolumeUnit(s.volumeUnit);
    snapshot_.vasUnit = volume::validUnit(s.vasUnit);
    snapshot_.vd = s.vd;
    LblPRVasUnit->setText(QLatin1String(VasUnitCaption[snapshot_.vasUnit]));
    snapshot_.calculation = s.calculation;
    const auto vented = [](const analysis::Snapshot &c) {
        for (const analysis::BoxSnapshot &b : c.boxes)
            if (b.kind == analysis::BoxKind::Vented)
                return b;
        return analysis::BoxSnapshot{};
    };
    const analysis::BoxSnapshot box = vented(s.calculation);
    const analysis::DriverSnapshot &d = s.calculation.driver, &o = before.driver;
    // Results stand only for the driver and box they were calculated for.
    const bool same = s.calculation.calculated && before.calculated && d.fs == o.fs && d.qts == o.qts
                      && d.qes == o.qes && d.vas == o.vas && d.sd == o.sd && d.xmax == o.xmax && s.vd == vdBefore
                      && box.qloss == vented(before).qloss;
    if (!same) {
        clearPR();
        clearBP();
    }
    if (!s.calculation.calculated) {
        // A new driver: the bandpass is designed afresh, as the vented box is fitted afresh.
        for (QLineEdit *f : {TxtBPRearVolume, TxtBPFrontVolume, TxtBPFb})
            f->clear();
        LblPRNotes->setText(NoDriverText);
        LblBPNotes->setText(NoDriverText);
    } else {
        if (!prCalculated_)
            LblPRNotes->clear();
        if (!bpCalculated_ && LblBPNotes->text() == NoDriverText)
            LblBPNotes->clear();
        // The radiator box starts from the vented box: its volume and tuning whenever they change.
        if (box.vb > 0 && box.fb > 0 && (box.vb != filledVb_ || box.fb != filledFb_ || TxtPRVb->text().isEmpty())) {
            TxtPRVb->setText(volumeText(box.vb));
            TxtPRFb->setText(formatNumber(box.fb, QStringLiteral("#0.0")));
            filledVb_ = box.vb;
            filledFb_ = box.fb;
        }
    }
}

void MoreBoxesTab::clearPR()
{
    prCalculated_ = false;
    for (QLabel *l : {LblPRAddedMass, LblPRFp, LblPRF3, LblPRPeak, LblPRExcursion, LblPRNotes})
        l->clear();
}

void MoreBoxesTab::clearBP()
{
    bpCalculated_ = false;
    for (QLabel *l : {LblBPF3Low, LblBPF3High, LblBPGain, LblBPVentLength, LblBPVentSpeed, LblBPNotes})
        l->clear();
}

namespace {

double ventedQloss(const analysis::Snapshot &s)
{
    for (const analysis::BoxSnapshot &b : s.boxes)
        if (b.kind == analysis::BoxKind::Vented)
            return b.qloss;
    return 7;
}

} // namespace

void MoreBoxesTab::CmdCalculatePR_Click()
{
    if (!snapshot_.calculation.calculated) {
        Program::ShowMoreDataNeeded();
        return;
    }
    moreboxes::RadiatorInput in;
    double count = 0;
    if (!readField(TxtPRSd, in.sd) || !readField(TxtPRMms, in.mms) || !readField(TxtPRVas, in.vas)
        || !readField(TxtPRQms, in.qms) || !readField(TxtPRXmax, in.xmax, false) || !readField(TxtPRCount, count)
        || !readField(TxtPRVb, in.vb) || !readField(TxtPRFb, in.fb))
        return;
    if (count != std::floor(count) || count > 4) {
        Program::ShowNumberError();
        TxtPRCount->setText(QStringLiteral("1"));
        TxtPRCount->setFocus();
        return;
    }
    in.count = int(count);
    in.driverVd = snapshot_.vd;
    in.vas = volume::toCubicFeet(in.vas, snapshot_.vasUnit);
    in.vb = volume::toCubicFeet(in.vb, snapshot_.volumeUnit);
    const double qloss = ventedQloss(snapshot_.calculation);
    const moreboxes::RadiatorResult r = moreboxes::designRadiator(snapshot_.calculation.driver, in, qloss);
    clearPR();
    if (!r.valid) {
        Program::ShowNumberError();
        emit boxesChanged();
        return;
    }
    const moreboxes::RadiatorCaptions c = moreboxes::radiatorCaptions(in, r);
    LblPRAddedMass->setText(c.addedMass);
    LblPRFp->setText(c.fp);
    LblPRF3->setText(c.f3);
    LblPRPeak->setText(c.peak);
    LblPRExcursion->setText(c.excursion);
    prBox_ = moreboxes::radiatorBox(in, r, qloss);
    prCalculated_ = prBox_.kind == analysis::BoxKind::PassiveRadiator;
    emit boxesChanged();
    emit settingsChanged();
}

void MoreBoxesTab::CmdCalculateBP_Click()
{
    if (!snapshot_.calculation.calculated) {
        Program::ShowMoreDataNeeded();
        return;
    }
    moreboxes::BandpassInput in;
    in.driverVd = snapshot_.vd;
    const bool own = given(TxtBPRearVolume) && given(TxtBPFrontVolume) && given(TxtBPFb);
    if (own) {
        if (!readField(TxtBPRearVolume, in.rearVb) || !readField(TxtBPFrontVolume, in.frontVb) || !readField(TxtBPFb, in.fb))
            return;
        in.rearVb = volume::toCubicFeet(in.rearVb, snapshot_.volumeUnit);
        in.frontVb = volume::toCubicFeet(in.frontVb, snapshot_.volumeUnit);
    }
    if (!readField(TxtBPRipple, in.ripple) || !readField(TxtBPGain, in.gain)
        || !readField(TxtBPVentDia, in.ventDiameter, false))
        return;
    const analysis::DriverSnapshot &driver = snapshot_.calculation.driver;
    const double qloss = ventedQloss(snapshot_.calculation);
    clearBP();
    moreboxes::BandpassDesign design = moreboxes::bandpassChambers(driver, in);
    if (!design.valid) {
        LblBPNotes->setText(design.note);
        emit boxesChanged();
        return;
    }
    if (design.designed) {
        // The design fills the three fields and runs on them as shown, as the vented box's fit does.
        TxtBPRearVolume->setText(volumeText(design.rearVb));
        TxtBPFrontVolume->setText(volumeText(design.frontVb));
        TxtBPFb->setText(formatNumber(design.fb, QStringLiteral("#0.0")));
        in.rearVb = volumeOf(TxtBPRearVolume);
        in.frontVb = volumeOf(TxtBPFrontVolume);
        in.fb = parseNumber(TxtBPFb->text()).value_or(0.0);
        const QString note = design.note;
        design = moreboxes::bandpassChambers(driver, in);
        design.note = note;
    }
    // Without a diameter of the user's: the narrowest standard vent that fits and is not too fast
    // (the widest that fits when every one is).
    if (in.ventDiameter <= 0) {
        for (double dia : boxvent::StandardVentDiameters) {
            in.ventDiameter = dia;
            const moreboxes::BandpassResult r = moreboxes::evaluateBandpass(driver, design, in, qloss);
            if (r.ventLength > 0 && !boxvent::ventTooFast(r.ventSpeed))
                break;
        }
        TxtBPVentDia->setText(generalNumber(in.ventDiameter));
    }
    const moreboxes::BandpassResult r = moreboxes::evaluateBandpass(driver, design, in, qloss);
    const moreboxes::BandpassCaptions c = moreboxes::bandpassCaptions(design, r, in);
    LblBPF3Low->setText(c.f3Low);
    LblBPF3High->setText(c.f3High);
    LblBPGain->setText(c.gain);
    LblBPVentLength->setText(c.ventLength);
    LblBPVentSpeed->setText(c.ventSpeed);
    LblBPNotes->setText(c.note);
    bpBox_ = moreboxes::bandpassBox(design, in, r, qloss);
    bpCalculated_ = bpBox_.kind == analysis::BoxKind::Bandpass;
    emit boxesChanged();
    emit settingsChanged();
}

std::vector<analysis::BoxSnapshot> MoreBoxesTab::boxes() const
{
    std::vector<analysis::BoxSnapshot> out;
    if (prCalculated_)
        out.push_back(prBox_);
    if (bpCalculated_)
        out.push_back(bpBox_);
    return out;
}

design::MoreBoxesSettings MoreBoxesTab::settings() const
{
    design::MoreBoxesSettings s;
    for (std::size_t i = 0; i < design::MoreBoxesFields.size(); ++i)
        s.texts[i] = findChild<QLineEdit *>(QLatin1String(design::MoreBoxesFields[i].name))->text();
    s.passiveRadiatorCalculated = prCalculated_;
    s.bandpassCalculated = bpCalculated_;
    return s;
}

void MoreBoxesTab::applySettings(const design::MoreBoxesSettings &s)
{
    for (std::size_t i = 0; i < design::MoreBoxesFields.size(); ++i)
        findChild<QLineEdit *>(QLatin1String(design::MoreBoxesFields[i].name))->setText(s.texts[i]);
    clearPR();
    clearBP();
    if (snapshot_.calculation.calculated) {
        if (s.passiveRadiatorCalculated)
            CmdCalculatePR_Click();
        if (s.bandpassCalculated)
            CmdCalculateBP_Click();
    } else {
        LblPRNotes->setText(NoDriverText);
        LblBPNotes->setText(NoDriverText);
    }
    emit boxesChanged();
}

std::optional<sheet::MoreBox> MoreBoxesTab::sheetBox(bool bandpass) const
{
    if (!(bandpass ? bpCalculated_ : prCalculated_))
        return std::nullopt;
    const analysis::BoxSnapshot &box = bandpass ? bpBox_ : prBox_;
    sheet::MoreBox out{box.vb, bandpass ? box.frontVb : 0.0, {}};
    const auto row = [&out](const char *caption, const QString &text) {
        if (!text.isEmpty())
            out.results.emplace_back(QLatin1String(caption), text);
    };
    if (bandpass) {
        row("Tuning (Fb)", boxvent::tuningCaption(box.fb));
        if (!box.vents.empty()) {
            // The sheet gives the vent in its own unit.
            out.ventDiameter = box.vents.front().diameter;
            out.ventLength = boxvent::ventLength(out.ventDiameter, box.fb, box.frontVb * 1728);
        }
        row("Vent air speed", LblBPVentSpeed->text());
        row("Lower -3 dB frequency", LblBPF3Low->text());
        row("Upper -3 dB frequency", LblBPF3High->text());
        row("Passband gain reached", LblBPGain->text());
    } else {
        row("Number of radiators", QString::number(box.radiator.count));
        row("Tuning (Fb)", boxvent::tuningCaption(box.fb));
        row("Mass to add to each radiator", LblPRAddedMass->text());
        row("Radiator resonance (notch) - Fp", LblPRFp->text());
        row("F3", LblPRF3->text());
        row("Response peak", LblPRPeak->text());
        row("Radiator excursion", LblPRExcursion->text());
    }
    return out;
}
