// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DlgMeasureDriver.h"

#include "app/Controls.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"
#include "library/DriverStore.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

using namespace kelvane;
using namespace kelvane::measure;

const QString DlgMeasureDriver::Title = QStringLiteral("Measure Driver");

namespace {

QString text(double value, const char *pattern)
{
    return formatNumber(value, QLatin1String(pattern));
}

} // namespace

DlgMeasureDriver::DlgMeasureDriver(const QString &libraryPath, Hooks hooks, QWidget *parent)
    : QDialog(parent), libraryPath_(libraryPath), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("DlgMeasureDriver"));
    setWindowTitle(Title);
    using controls::button;
    using controls::field;
    using controls::label;

    // ---- The driver page ----
    auto *driverPage = new QWidget;
    CmdLoadFreeAir = button(driverPage, QStringLiteral("CmdLoadFreeAir"), QStringLiteral("Load Free-Air Curve…"),
                            QStringLiteral("Click here to load the driver's impedance measured in free air (.zma)."));
    LblFreeAirFile = label(driverPage, QStringLiteral("LblFreeAirFile"), QString());
    TxtMeasureRe = field(driverPage, QStringLiteral("TxtMeasureRe"), QString(),
                         QStringLiteral("Enter the voice coil's DC resistance from an ohmmeter, or leave it empty to take it from the fit, and hit <Enter>."));
    CboVasMethod = new QComboBox(driverPage);
    CboVasMethod->setObjectName(QStringLiteral("CboVasMethod"));
    CboVasMethod->addItems({QStringLiteral("Added mass"), QStringLiteral("Sealed test box")});
    CboVasMethod->setToolTip(QStringLiteral("Choose how the second curve was measured."));
    TxtAddedMass = field(driverPage, QStringLiteral("TxtAddedMass"), QString(),
                         QStringLiteral("Enter the mass added to the cone for the second curve in grams and hit <Enter>."));
    TxtMeasureSd = field(driverPage, QStringLiteral("TxtMeasureSd"), QString(),
                         QStringLiteral("Enter the cone area in square centimetres and hit <Enter>."));
    TxtTestBoxVolume = field(driverPage, QStringLiteral("TxtTestBoxVolume"), QString(),
                             QStringLiteral("Enter the net volume of the sealed test box in liters and hit <Enter>."));
    CmdLoadSecond = button(driverPage, QStringLiteral("CmdLoadSecond"), QStringLiteral("Load Second Curve…"),
                           QStringLiteral("Click here to load the impedance measured with the added mass or in the test box."));
    LblSecondFile = label(driverPage, QStringLiteral("LblSecondFile"), QString());

    auto *entries = new QGroupBox(QStringLiteral("Measurements:"), driverPage);
    entries->setObjectName(QStringLiteral("FrameMeasurements"));
    auto *eg = new QGridLayout(entries);
    int r = 0;
    const auto entryRow = [&](const char *caption, QWidget *control, const char *unit) {
        eg->addWidget(label(entries, QString(), QLatin1String(caption)), r, 0);
        eg->addWidget(control, r, 1);
        if (unit)
            eg->addWidget(label(entries, QString(), QLatin1String(unit)), r, 2);
        ++r;
    };
    eg->addWidget(CmdLoadFreeAir, r, 0);
    eg->addWidget(LblFreeAirFile, r++, 1, 1, 2);
    entryRow("Re (DC):", TxtMeasureRe, "ohms");
    entryRow("Cone area - Sd:", TxtMeasureSd, "Sq. cm");
    entryRow("Vas from:", CboVasMethod, nullptr);
    entryRow("Added mass:", TxtAddedMass, "g");
    entryRow("Test box volume:", TxtTestBoxVolume, "liters");
    eg->addWidget(CmdLoadSecond, r, 0);
    eg->addWidget(LblSecondFile, r++, 1, 1, 2);

    auto *results = new QGroupBox(QStringLiteral("Results:"), driverPage);
    results->setObjectName(QStringLiteral("FrameMeasuredResults"));
    auto *rg = new QGridLayout(results);
    rg->addWidget(label(results, QString(), QStringLiteral("Standard method")), 0, 1);
    rg->addWidget(label(results, QString(), QStringLiteral("Fit of the whole curve")), 0, 2);
    r = 1;
    const auto resultRow = [&](const char *caption, QLabel *&standard, const char *name, QLabel **fitted = nullptr,
                               const char *fittedName = nullptr) {
        rg->addWidget(label(results, QString(), QLatin1String(caption)), r, 0);
        standard = label(results, QLatin1String(name), QString());
        standard->setMinimumWidth(110);
        // A value without a fitted one beside it may take the fit's column too.
        rg->addWidget(standard, r, 1, 1, fitted ? 1 : 2);
        if (fitted) {
            *fitted = label(results, QLatin1String(fittedName), QString());
            rg->addWidget(*fitted, r, 2);
        }
        ++r;
    };
    resultRow("Re:", LblMeasuredRe, "LblMeasuredRe");
    resultRow("Fs:", LblMeasuredFs, "LblMeasuredFs", &LblFittedFs, "LblFittedFs");
    resultRow("Qms:", LblMeasuredQms, "LblMeasuredQms", &LblFittedQms, "LblFittedQms");
    resultRow("Qes:", LblMeasuredQes, "LblMeasuredQes", &LblFittedQes, "LblFittedQes");
    resultRow("Qts:", LblMeasuredQts, "LblMeasuredQts");
    resultRow("Le (at 1 kHz):", LblMeasuredLe, "LblMeasuredLe");
    resultRow("Vas:", LblMeasuredVas, "LblMeasuredVas");
    resultRow("Mms:", LblMeasuredMms, "LblMeasuredMms");
    resultRow("Cms:", LblMeasuredCms, "LblMeasuredCms");
    resultRow("Bl:", LblMeasuredBl, "LblMeasuredBl");
    resultRow("Sensitivity (1 W / 1 m):", LblMeasuredSPL, "LblMeasuredSPL");
    resultRow("Fit error (rms):", LblMeasuredFitError, "LblMeasuredFitError");
    LblMeasureNote = label(driverPage, QStringLiteral("LblMeasureNote"), QString());
    LblMeasureNote->setWordWrap(true);
    CmdUseMeasured = button(driverPage, QStringLiteral("CmdUseMeasured"), QStringLiteral("Use"),
                            QStringLiteral("Click here to put the measured driver on the Input tab."));
    CmdAddMeasuredToLibrary = button(driverPage, QStringLiteral("CmdAddMeasuredToLibrary"), QStringLiteral("Add to Library"),
                                     QStringLiteral("Click here to add the measured driver to the driver library."));
    auto *driverButtons = new QHBoxLayout;
    driverButtons->addWidget(CmdUseMeasured);
    driverButtons->addWidget(CmdAddMeasuredToLibrary);
    driverButtons->addStretch(1);
    auto *driverColumn = new QVBoxLayout(driverPage);
    driverColumn->addWidget(entries);
    driverColumn->addWidget(results);
    driverColumn->addWidget(LblMeasureNote);
    driverColumn->addLayout(driverButtons);
    driverColumn->addStretch(1);

    // ---- The box page ----
    auto *boxPage = new QWidget;
    CmdLoadBoxImpedance = button(boxPage, QStringLiteral("CmdLoadBoxImpedance"), QStringLiteral("Load Box Curve…"),
                                 QStringLiteral("Click here to load the impedance of the built vented box (.zma)."));
    LblBoxFile = label(boxPage, QStringLiteral("LblBoxFile"), QString());
    LblBoxDesign = label(boxPage, QStringLiteral("LblBoxDesign"), QString());
    LblBoxDesign->setWordWrap(true);
    CboMeasuredVent = new QComboBox(boxPage);
    CboMeasuredVent->setObjectName(QStringLiteral("CboMeasuredVent"));
    CboMeasuredVent->setToolTip(QStringLiteral("Choose the vent of the Box and Vent tab the box was built with."));
    LblMeasuredFb = label(boxPage, QStringLiteral("LblMeasuredFb"), QString());
    LblMeasuredQl = label(boxPage, QStringLiteral("LblMeasuredQl"), QString());
    LblMeasuredQl->setWordWrap(true);
    LblVentAdvice = label(boxPage, QStringLiteral("LblVentAdvice"), QString());
    LblVentAdvice->setWordWrap(true);
    auto *bg = new QGridLayout(boxPage);
    r = 0;
    bg->addWidget(CmdLoadBoxImpedance, r, 0);
    bg->addWidget(LblBoxFile, r++, 1);
    bg->addWidget(LblBoxDesign, r++, 0, 1, 2);
    bg->addWidget(label(boxPage, QString(), QStringLiteral("Vent built:")), r, 0);
    bg->addWidget(CboMeasuredVent, r++, 1);
    bg->addWidget(label(boxPage, QString(), QStringLiteral("Measured tuning - Fb:")), r, 0);
    bg->addWidget(LblMeasuredFb, r++, 1);
    bg->addWidget(label(boxPage, QString(), QStringLiteral("Leakage Q - Ql:")), r, 0);
    bg->addWidget(LblMeasuredQl, r++, 1);
    bg->addWidget(LblVentAdvice, r++, 0, 1, 2);
    bg->setRowStretch(r, 1);
    bg->setColumnStretch(1, 1);

    TabMeasure = new QTabWidget(this);
    TabMeasure->setObjectName(QStringLiteral("TabMeasure"));
    TabMeasure->addTab(driverPage, QStringLiteral("Driver"));
    TabMeasure->addTab(boxPage, QStringLiteral("Vented Box Check"));

    PicMeasuredImpedance = new GraphPicture(this);
    PicMeasuredImpedance->setObjectName(QStringLiteral("PicMeasuredImpedance"));
    CmdCloseMeasure = button(this, QStringLiteral("CmdCloseMeasure"), QStringLiteral("Close"),
                             QStringLiteral("Click here to close this window."));
    auto *right = new QVBoxLayout;
    right->addWidget(new PictureHolder(PicMeasuredImpedance), 1);
    right->addWidget(CmdCloseMeasure, 0, Qt::AlignRight);
    auto *outer = new QHBoxLayout(this);
    outer->addWidget(TabMeasure, 1);
    outer->addLayout(right);

    for (QLineEdit *f : {TxtMeasureRe, TxtMeasureSd, TxtAddedMass, TxtTestBoxVolume})
        f->installEventFilter(this);
    connect(CmdLoadFreeAir, &QPushButton::clicked, this, [this] { CmdLoadFreeAir_Click(); });
    connect(CmdLoadSecond, &QPushButton::clicked, this, [this] { CmdLoadSecond_Click(); });
    connect(CmdUseMeasured, &QPushButton::clicked, this, [this] { CmdUseMeasured_Click(); });
    connect(CmdAddMeasuredToLibrary, &QPushButton::clicked, this, [this] { CmdAddMeasuredToLibrary_Click(); });
    connect(CmdLoadBoxImpedance, &QPushButton::clicked, this, [this] { CmdLoadBoxImpedance_Click(); });
    connect(CmdCloseMeasure, &QPushButton::clicked, this, &QDialog::close);
    connect(CboVasMethod, &QComboBox::currentIndexChanged, this, [this] { CboVasMethod_Click(); });
    connect(CboMeasuredVent, &QComboBox::currentIndexChanged, this, [this] { checkBox(); });
    connect(TabMeasure, &QTabWidget::currentChanged, this, [this] { redraw(); });
    CboVasMethod_Click();
    showResults();
}

void DlgMeasureDriver::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    refreshDesign();
    // The cone area starts as the Input tab's.
    if (TxtMeasureSd->text().isEmpty() && design_.sdCm2 > 0)
        TxtMeasureSd->setText(text(design_.sdCm2, "#0.0"));
}

void DlgMeasureDriver::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    // The design may have changed in the main window meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        refreshDesign();
}

bool DlgMeasureDriver::eventFilter(QObject *watched, QEvent *event)
{
    auto *f = qobject_cast<QLineEdit *>(watched);
    if (f && event->type() == QEvent::FocusIn) {
        // Typing replaces the whole value, as in every entry field of the main window.
        f->selectAll();
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, f, [f] { f->selectAll(); });
    }
    if (!f || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    int KeyAscii = Program::KeyAsciiOf(static_cast<QKeyEvent *>(event));
    if (KeyAscii < 0)
        return QDialog::eventFilter(watched, event);
    if (KeyAscii != Program::KeyEnter) {
        Program::NumericKeyFilter(KeyAscii);
        return KeyAscii == 0 || QDialog::eventFilter(watched, event);
    }
    // Enter commits: a text that is no number above 0 is reported and emptied (an empty field is
    // left empty: Re, Sd and the second measurement are optional); then the focus moves on and
    // the results follow the new value.
    if (!f->text().isEmpty()) {
        double value = 0;
        Program::ValidateNumber(f->text(), value);
        if (f->text() == QLatin1String("0")) {
            Program::ShowNumberError();
            f->clear();
        } else if (value == 0) {
            f->clear();
        }
    }
    if (f == TxtMeasureRe)
        measure();
    else
        measureSecond();
    // The Tab keystroke is queued once any message above has been answered.
    QCoreApplication::postEvent(f, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")));
    return true;
}

namespace {

QString chooseCurve(QWidget *parent, const QString &name, const QString &caption)
{
    QFileDialog dialog(parent, caption);
    dialog.setObjectName(name);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Impedance curves (*.zma *.txt *.csv)"), QStringLiteral("All files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// The number in a field, 0 when it is empty or no number.
double number(const QLineEdit *f)
{
    const std::optional<double> v = parseNumber(f->text());
    return v && std::isfinite(*v) ? *v : 0.0;
}

} // namespace

std::optional<Curve> DlgMeasureDriver::readFile(const QString &path)
{
    driverdata::ReadResult r = driverdata::readCurveFile(path, driverdata::Kind::Impedance);
    if (!r.curve)
        Program::ShowMessage(r.error, Title);
    return std::move(r.curve);
}

void DlgMeasureDriver::CmdLoadFreeAir_Click()
{
    if (const QString path = chooseCurve(this, QStringLiteral("DlgLoadFreeAir"), QStringLiteral("Load Free-Air Curve")); !path.isEmpty())
        loadFreeAir(path);
}

bool DlgMeasureDriver::loadFreeAir(const QString &path)
{
    std::optional<Curve> curve = readFile(path);
    if (!curve)
        return false;
    freeCurve_ = std::move(curve);
    // A second curve belongs to the driver it was measured with.
    secondCurve_.reset();
    measure();
    return freeAir_.has_value();
}

QLineEdit *DlgMeasureDriver::secondAmountField() const
{
    return CboVasMethod->currentIndex() == 1 ? TxtTestBoxVolume : TxtAddedMass;
}

void DlgMeasureDriver::CmdLoadSecond_Click()
{
    // The mass or the box comes first: the curve means nothing without it.
    if (!(number(secondAmountField()) > 0)) {
        Program::ShowMoreDataNeeded();
        secondAmountField()->setFocus();
        return;
    }
    if (const QString path = chooseCurve(this, QStringLiteral("DlgLoadSecond"), QStringLiteral("Load Second Curve")); !path.isEmpty())
        loadSecond(path);
}

bool DlgMeasureDriver::loadSecond(const QString &path)
{
    if (!freeAir_ || !(number(secondAmountField()) > 0)) {
        Program::ShowMoreDataNeeded();
        return false;
    }
    std::optional<Curve> curve = readFile(path);
    if (!curve)
        return false;
    secondCurve_ = std::move(curve);
    measureSecond();
    return mechanics_.has_value();
}

void DlgMeasureDriver::CboVasMethod_Click()
{
    const bool box = CboVasMethod->currentIndex() == 1;
    TxtAddedMass->setEnabled(!box);
    TxtTestBoxVolume->setEnabled(box);
    // The second curve was measured one way: the other way forgets it.
    secondCurve_.reset();
    measureSecond();
}

void DlgMeasureDriver::measure()
{
    freeAir_.reset();
    mechanics_.reset();
    if (freeCurve_) {
        FreeAir result = measureFreeAir(*freeCurve_, number(TxtMeasureRe));
        if (result.ok())
            freeAir_ = std::move(result);
        else
            Program::ShowMessage(result.problem, Title);
    }
    if (!freeAir_)
        secondCurve_.reset();
    measureSecond();
}

void DlgMeasureDriver::measureSecond()
{
    mechanics_.reset();
    secondInput_ = {CboVasMethod->currentIndex() == 1 ? VasMethod::TestBox : VasMethod::AddedMass,
                    number(secondAmountField()), number(TxtMeasureSd)};
    if (freeAir_ && secondCurve_ && secondInput_.amount > 0) {
        Mechanics result = measureMechanics(*freeAir_, *secondCurve_, secondInput_);
        if (result.ok()) {
            mechanics_ = std::move(result);
        } else {
            Program::ShowMessage(result.problem, Title);
            secondCurve_.reset();
        }
    }
    showResults();
}

void DlgMeasureDriver::showResults()
{
    for (QLabel *l : {LblMeasuredRe, LblMeasuredFs, LblMeasuredQms, LblMeasuredQes, LblMeasuredQts, LblMeasuredLe,
                      LblMeasuredVas, LblMeasuredMms, LblMeasuredCms, LblMeasuredBl, LblMeasuredSPL, LblMeasuredFitError,
                      LblFittedFs, LblFittedQms, LblFittedQes, LblMeasureNote})
        l->clear();
    LblFreeAirFile->setText(freeCurve_ ? freeCurve_->fileName : QString());
    LblSecondFile->setText(secondCurve_ ? secondCurve_->fileName : QString());
    CmdUseMeasured->setEnabled(freeAir_.has_value());
    CmdAddMeasuredToLibrary->setEnabled(freeAir_.has_value());
    CmdLoadSecond->setEnabled(freeAir_.has_value());
    if (freeAir_) {
        const FreeAir &f = *freeAir_;
        LblMeasuredRe->setText(text(f.re, "#0.00 ohms") + (f.reFromFit ? QStringLiteral(" (from the fit)") : QString()));
        LblMeasuredFs->setText(text(f.standard.fs, "#0.00 Hz"));
        LblMeasuredQms->setText(text(f.standard.qms, "#0.000"));
        LblMeasuredQes->setText(text(f.standard.qes, "#0.000"));
        LblMeasuredQts->setText(text(f.standard.qts, "#0.000"));
        LblFittedFs->setText(text(f.fit.fs, "#0.00 Hz"));
        LblFittedQms->setText(text(f.fit.qms, "#0.000"));
        LblFittedQes->setText(text(f.fit.qes, "#0.000"));
        LblMeasuredLe->setText(text(f.le * 1000, "#0.000 mH"));
        LblMeasuredFitError->setText(text(f.fitError, "#0.00 %"));
        QStringList notes;
        if (f.reFromFit)
            notes << QStringLiteral("Re is taken from the fit: type the voice coil's DC resistance when you know it.");
        if (!mechanics_)
            notes << QStringLiteral("For Vas, Mms and Bl, load a second curve with a mass on the cone or in a sealed test box.");
        LblMeasureNote->setText(notes.join(QLatin1Char(' ')));
    }
    if (mechanics_) {
        const Mechanics &m = *mechanics_;
        const auto show = [](QLabel *l, const std::optional<double> &v, const char *pattern, double factor = 1) {
            l->setText(v ? text(*v * factor, pattern) : QStringLiteral("needs Sd"));
        };
        show(LblMeasuredVas, m.vas, "#0.00 liters");
        show(LblMeasuredMms, m.mms, "#0.00 g");
        show(LblMeasuredCms, m.cms, "#0.000 mm/N", 1000);
        show(LblMeasuredBl, m.bl, "#0.00 Tm");
        show(LblMeasuredSPL, m.spl, "#0.0 dB");
    }
    redraw();
}

library::Entry DlgMeasureDriver::measuredDriver() const
{
    if (!freeAir_)
        return {};
    return measuredEntry(*freeAir_, freeCurve_->fileName, mechanics_ ? &*mechanics_ : nullptr,
                         secondCurve_ ? secondCurve_->fileName : QString(), secondInput_);
}

void DlgMeasureDriver::CmdUseMeasured_Click()
{
    if (freeAir_ && hooks_.useDriver)
        hooks_.useDriver(measuredDriver());
}

void DlgMeasureDriver::CmdAddMeasuredToLibrary_Click()
{
    if (!freeAir_)
        return;
    const library::Entry e = measuredDriver();
    const QString title = QStringLiteral("Driver Library");
    library::DriverStore store;
    if (!store.open(libraryPath_)) {
        Program::ShowMessage(store.notice(), title);
        return;
    }
    const bool exists = store.contains(e.maker, e.model);
    if (exists) {
        QMessageBox ask(QMessageBox::NoIcon, title, QStringLiteral("\"%1\" is already in the library. Replace it?").arg(e.name()),
                        QMessageBox::Yes | QMessageBox::No, this);
        ask.setDefaultButton(QMessageBox::No);
        if (ask.exec() != QMessageBox::Yes)
            return;
    }
    if (!store.add(e, exists)) {
        Program::ShowMessage(QStringLiteral("The driver could not be added to the library."), title);
        return;
    }
    LblMeasureNote->setText(QStringLiteral("\"%1\" is in the driver library now.").arg(e.name()));
}

void DlgMeasureDriver::CmdLoadBoxImpedance_Click()
{
    if (const QString path = chooseCurve(this, QStringLiteral("DlgLoadBoxCurve"), QStringLiteral("Load Box Curve")); !path.isEmpty())
        loadBoxImpedance(path);
}

bool DlgMeasureDriver::loadBoxImpedance(const QString &path)
{
    std::optional<Curve> curve = readFile(path);
    if (!curve)
        return false;
    boxCurve_ = std::move(curve);
    TabMeasure->setCurrentIndex(1);
    refreshDesign();
    return boxCheck_.has_value();
}

void DlgMeasureDriver::refreshDesign()
{
    design_ = hooks_.design ? hooks_.design() : MeasureSnapshot{};
    const QSignalBlocker block(CboMeasuredVent);
    const int before = CboMeasuredVent->currentIndex();
    CboMeasuredVent->clear();
    if (design_.calculated) {
        for (const analysis::Vent &v : design_.vented.vents)
            CboMeasuredVent->addItem(analysis::ventCaption(v));
        // The user's own vent when there is one, else the vent the Analysis tab starts on.
        const int own = int(design_.vented.vents.size()) - 1;
        const int start = own >= 0 && design_.vented.vents.back().own ? own : analysis::defaultVent(design_.vented);
        CboMeasuredVent->setCurrentIndex(before >= 0 && before < CboMeasuredVent->count() ? before : start);
        LblBoxDesign->setText(QStringLiteral("Designed: %1 in %2").arg(text(design_.vented.fb, "#0.0 Hz"), text(design_.vented.vb, "#0.000 Cu. Ft.")));
    } else {
        LblBoxDesign->setText(QStringLiteral("Calculate the box on the Box Model tab to compare the tuning with the design."));
    }
    CboMeasuredVent->setEnabled(CboMeasuredVent->count() > 0);
    checkBox();
}

void DlgMeasureDriver::checkBox()
{
    boxCheck_.reset();
    for (QLabel *l : {LblMeasuredFb, LblMeasuredQl, LblVentAdvice})
        l->clear();
    LblBoxFile->setText(boxCurve_ ? boxCurve_->fileName : QString());
    if (boxCurve_) {
        // The driver as measured here, else as typed on the Input tab.
        const std::optional<DriverModel> driver = freeAir_ ? std::optional<DriverModel>(freeAir_->fit) : design_.driver;
        BoxCheck check = checkVentedBox(*boxCurve_, driver);
        if (check.ok()) {
            boxCheck_ = std::move(check);
        } else {
            Program::ShowMessage(check.problem, Title);
            boxCurve_.reset();
            LblBoxFile->clear();
        }
    }
    if (boxCheck_) {
        LblMeasuredFb->setText(text(boxCheck_->fb, "#0.0 Hz"));
        LblMeasuredQl->setText(boxCheck_->ql ? text(*boxCheck_->ql, "#0.0")
                                             : QStringLiteral("needs the driver: measure it here, or enter Fs, the Q values and Re"));
        const int vent = CboMeasuredVent->currentIndex();
        if (design_.calculated && vent >= 0 && vent < int(design_.vented.vents.size()))
            LblVentAdvice->setText(ventAdvice(design_.vented.fb, boxCheck_->fb, design_.vented.vents[std::size_t(vent)].diameter,
                                              design_.vented.vb));
    }
    redraw();
}
