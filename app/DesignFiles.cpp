// SPDX-License-Identifier: GPL-3.0-or-later
// Design files: New, Open, Open Recent, Save, Save As and Export Curves on the File menu; the
// unsaved mark in the window title and the question before unsaved changes are dropped.

#include "app/AnalysisTab.h"
#include "app/CrossoverDriversPanel.h"
#include "app/Controls.h"
#include "app/FrmKelvane.h"
#include "app/FieldEntry.h"
#include "app/MoreBoxesTab.h"
#include "app/ProgramSettings.h"
#include "common/NumberText.h"
#include "design/DesignFile.h"
#include "driver/Program.h"
#include "graphs/GraphPicture.h"
#include "models/VolumeUnit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QTabWidget>

#include <cmath>

using namespace kelvane;

namespace {

constexpr int MaxRecentDesigns = 8;
const QString RecentKey = QStringLiteral("recentDesigns");

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// A file chosen in Qt's own file dialog (named, so it can be found and answered like any window).
QString chooseFile(QWidget *parent, const QString &name, const QString &caption, bool forSaving,
                   const QString &filter, const QString &suffix, const QString &proposed)
{
    QFileDialog dialog(parent, caption);
    dialog.setObjectName(name);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({filter, QStringLiteral("All files (*)")});
    dialog.setDefaultSuffix(suffix);
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

const QString DesignFilter = QStringLiteral("Kelvane designs (*.kelvane)");

// Written whole or not at all: a failed write leaves the file that was there untouched.
bool writeWhole(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

void FrmKelvane::buildDesignMenu(QMenu *file)
{
    const auto add = [file](const char *name, const QString &caption, QKeySequence::StandardKey key) {
        QAction *a = file->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (key != QKeySequence::UnknownKey)
            a->setShortcut(key);
        return a;
    };
    MnuNew = add("MnuNew", QStringLiteral("&New"), QKeySequence::New);
    MnuOpen = add("MnuOpen", QStringLiteral("&Open…"), QKeySequence::Open);
    MnuOpenRecent = file->addMenu(QStringLiteral("Open &Recent"));
    MnuOpenRecent->setObjectName(QStringLiteral("MnuOpenRecent"));
    MnuSave = add("MnuSave", QStringLiteral("&Save"), QKeySequence::Save);
    MnuSaveAs = add("MnuSaveAs", QStringLiteral("Save &As…"), QKeySequence::SaveAs);
    MnuExportCurves = add("MnuExportCurves", QStringLiteral("&Export Curves…"), QKeySequence::UnknownKey);
    connect(MnuNew, &QAction::triggered, this, [this] { MnuNew_Click(); });
    connect(MnuOpen, &QAction::triggered, this, [this] { MnuOpen_Click(); });
    connect(MnuSave, &QAction::triggered, this, [this] { MnuSave_Click(); });
    connect(MnuSaveAs, &QAction::triggered, this, [this] { MnuSaveAs_Click(); });
    connect(MnuExportCurves, &QAction::triggered, this, [this] { MnuExportCurves_Click(); });
    MnuExportCrossoverCurves = add("MnuExportCrossoverCurves", QStringLiteral("Export C&rossover Curves…"),
                                   QKeySequence::UnknownKey);
    connect(MnuExportCrossoverCurves, &QAction::triggered, this, [this] {
        if (!Crossover->CrossoverDrivers->simulation()) {
            Program::ShowMoreDataNeeded();
            return;
        }
        const QString proposed = designPath_.isEmpty() ? QStringLiteral("crossover.csv")
                                                       : QFileInfo(designPath_).completeBaseName() + QStringLiteral("-crossover.csv");
        const QString path = chooseFile(this, QStringLiteral("DlgExportCrossoverCurves"), QStringLiteral("Export Crossover Curves"),
                                        true, QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"), proposed);
        if (!path.isEmpty())
            Crossover->CrossoverDrivers->exportCurves(path);
    });
    refreshRecentMenu();
}

void FrmKelvane::watchDesignEdits()
{
    startUpDesign_ = currentDesign();
    for (QLabel *l : findChildren<QLabel *>())
        startUpCaptions_.emplace_back(l, l->text());
    for (QLineEdit *f : findChildren<QLineEdit *>()) {
        const bool stored = f == BoxModel->TxtDriverCount
                            || std::any_of(design::TextFields.begin(), design::TextFields.end(),
                                           [f](const design::TextField &t) { return f->objectName() == QLatin1String(t.name); });
        if (stored)
            connect(f, &QLineEdit::textChanged, this, [this] { markDesignModified(); });
        else
            startUpReadouts_.emplace_back(f, f->text());
    }
    for (std::size_t c = 0; c < design::ChoiceFields.size(); ++c)
        for (QRadioButton *o : choiceOptions(c))
            connect(o, &QRadioButton::toggled, this, [this] { markDesignModified(); });
    connect(BoxModel->CboWiring, &QComboBox::currentIndexChanged, this, [this] { markDesignModified(); });
    connect(BoxModel->ChkIsobaric, &QCheckBox::toggled, this, [this] { markDesignModified(); });
    updateDesignTitle();
}

std::vector<QRadioButton *> FrmKelvane::choiceOptions(std::size_t choice) const
{
    const design::ChoiceField &c = design::ChoiceFields[choice];
    if (qstrcmp(c.name, "SealedModel") == 0)
        return {BoxModel->OptQtc, BoxModel->OptVolBox};
    std::vector<QRadioButton *> options;
    for (int i = 0; i < c.count; ++i)
        options.push_back(findChild<QRadioButton *>(controls::arrayName(c.name, i)));
    return options;
}

design::Design FrmKelvane::currentDesign() const
{
    design::Design d;
    for (std::size_t i = 0; i < design::TextFields.size(); ++i)
        d.texts[i] = findChild<QLineEdit *>(QLatin1String(design::TextFields[i].name))->text();
    for (std::size_t c = 0; c < design::ChoiceFields.size(); ++c) {
        const std::vector<QRadioButton *> options = choiceOptions(c);
        const auto on = std::find_if(options.begin(), options.end(), [](QRadioButton *o) { return o->isChecked(); });
        d.choices[c] = on == options.end() ? (design::ChoiceFields[c].noneAllowed ? -1 : 0)
                                           : int(on - options.begin());
    }
    d.calculated = BoxModel->CmdFrequency->isEnabled();
    d.frequencyDrawn = d.calculated && !Frequency->PicFrequency->texts().isEmpty();
    d.displacementDrawn = d.calculated && !Displacement->PicDisplacementLimit->texts().isEmpty();
    d.crossoverCalculated = State.CrossoverNetwork.has_value();
    d.tab = SSTab->currentIndex();
    d.analysis = Analysis->settings();
    d.moreBoxes = MoreBoxes->settings();
    d.drivers = {BoxModel->TxtDriverCount->text(), std::max(0, BoxModel->CboWiring->currentIndex()), BoxModel->ChkIsobaric->isChecked()};
    d.crossoverDrivers = Crossover->CrossoverDrivers->settings();
    return d;
}

void FrmKelvane::setDesignChoices(const design::Design &d)
{
    for (std::size_t c = 0; c < design::ChoiceFields.size(); ++c) {
        const std::vector<QRadioButton *> options = choiceOptions(c);
        // Checking one option of an exclusive group clears the others. -1 clears them all, which
        // an exclusive group allows only while its buttons are not exclusive.
        for (int i = 0; i < int(options.size()); ++i) {
            const bool exclusive = options[i]->autoExclusive();
            if (d.choices[c] < 0)
                options[i]->setAutoExclusive(false);
            options[i]->setChecked(i == d.choices[c]);
            options[i]->setAutoExclusive(exclusive);
        }
    }
}

void FrmKelvane::applyDesign(const design::Design &d)
{
    fillingDesign_ = true;
    // Start from the window as it opens: no results on offer, the captions of start-up.
    ButtonsOff();
    for (const auto &[label, caption] : startUpCaptions_)
        label->setText(caption);
    for (const auto &[field, text] : startUpReadouts_)
        field->setText(text);
    State.CrossoverNetwork.reset();
    UpdateCrossoverDrivers(false);
    CrossoverPlans->CmdSavePlan->setEnabled(false);
    CrossoverPlans->CmdPrintPlan->setEnabled(false);
    Crossover->CrossoverResponse();
    CrossoverPlans->CrossoverPlan();
    // The options go first so that a unit change cannot rewrite a field set after it; the driver
    // fields reset the Box Model as they change, so the choices are set once more at the end.
    setDesignChoices(d);
    // The drivers in the box before the fields they would reset.
    BoxModel->TxtDriverCount->setText(d.drivers.count);
    if (d.drivers.wiring < BoxModel->CboWiring->count())
        BoxModel->CboWiring->setCurrentIndex(d.drivers.wiring);
    BoxModel->ChkIsobaric->setChecked(d.drivers.isobaric && BoxModel->ChkIsobaric->isEnabled());
    for (std::size_t i = 0; i < design::TextFields.size(); ++i)
        findChild<QLineEdit *>(QLatin1String(design::TextFields[i].name))->setText(d.texts[i]);
    setDesignChoices(d);
    commitEnteredValues();
    Analysis->applySettings(d.analysis);

    // Then what the user had done with it, through the program's own buttons.
    if (d.calculated) {
        CmdCalculateInput_Click();
        if (d.frequencyDrawn && BoxModel->CmdFrequency->isEnabled())
            CmdFrequency_Click();
        if (d.displacementDrawn && BoxModel->CmdDisplacement->isEnabled())
            CmdDisplacement_Click();
    }
    if (d.crossoverCalculated)
        Crossover->CmdCalculateCrossover_Click();
    Crossover->CrossoverDrivers->applySettings(d.crossoverDrivers);
    if (d.crossoverCalculated)
        CrossoverPlans->CrossoverPlan(); // with the pad and the baffle-step network as built
    MoreBoxes->applySettings(d.moreBoxes);
    BoxModel->ShowDriverGroup();
    SSTab->setCurrentIndex(d.tab);
    if (!d.calculated && d.tab == TabInput)
        Input->TxtFs->setFocus(Qt::OtherFocusReason);
    fillingDesign_ = false;
}

void FrmKelvane::commitEnteredValues()
{
    for (const FieldEntry::Numeric &entry : Keys->numericEntries())
        if (entry.shared)
            *entry.shared = parseNumber(entry.field->text()).value_or(0.0);
    // Volumes are held in cubic feet, as the key handlers hold them.
    const auto inCubicFeet = [](double typed, int unit) {
        const double cubicFeet = volume::toCubicFeet(typed, unit);
        return std::isfinite(cubicFeet) ? cubicFeet : 0.0;
    };
    State.Vas = inCubicFeet(State.Vas, controls::selectedIndex(Input->OptVas));
    State.VbSealed = inCubicFeet(State.VbSealed, BoxModel->volumeUnitIndex());
    State.VbVented = inCubicFeet(State.VbVented, BoxModel->volumeUnitIndex());
    State.Qtc = parseNumber(BoxModel->TxtQtc->text()).value_or(0.0);
    State.AddVolume = parseNumber(BoxVent->TxtAddVolume->text()).value_or(0.0);
    State.PercentOverVolume = parseNumber(BoxVent->TxtPercentOverVolume->text()).value_or(0.0);
    if (State.PercentOverVolume == 0)
        State.PercentOverVolume = 100;
    State.VentDia[6] = parseNumber(BoxVent->TxtVentDia->text()).value_or(0.0);
}

bool FrmKelvane::openDesign(const QString &path)
{
    const design::ReadResult read = design::readFile(path);
    if (!read.ok()) {
        Program::ShowMessage(design::openFailureText(shownPath(path), read.reason), QStringLiteral("Error"));
        return false;
    }
    applyDesign(read.design);
    setDesignFile(path);
    rememberRecent(path);
    return true;
}

bool FrmKelvane::saveDesign(const QString &path)
{
    // A design larger than a design file may be (long measured curves kept inside it) would be
    // written but never open again: it is not saved, as a design that cannot be written is not.
    const QByteArray json = design::toJson(currentDesign());
    if (path.isEmpty() || json.size() > design::MaxFileBytes || !writeWhole(path, json)) {
        Program::ShowMessage(design::saveFailureText(shownPath(path)), QStringLiteral("Error"));
        return false;
    }
    setDesignFile(path);
    rememberRecent(path);
    return true;
}

std::vector<design::CurveColumn> FrmKelvane::calculatedCurves() const
{
    std::vector<design::CurveColumn> columns;
    if (!BoxModel->CmdFrequency->isEnabled())
        return columns;
    // The sealed response is swept when its graph is drawn; the vented one by the calculation.
    if (!Frequency->PicFrequency->texts().isEmpty())
        columns.push_back({QStringLiteral("Sealed response (dB)"), &State.SealedResponse});
    columns.push_back({QStringLiteral("Vented response (dB)"), &State.VentedResponse});
    if (!Displacement->PicDisplacementLimit->texts().isEmpty()) {
        columns.push_back({QStringLiteral("Sealed displacement-limited SPL (dB)"), &State.SPLSealedLimit});
        columns.push_back({QStringLiteral("Sealed displacement-limited power (W)"), &State.PaSealed});
        columns.push_back({QStringLiteral("Vented displacement-limited SPL (dB)"), &State.SPLVentedLimit});
        columns.push_back({QStringLiteral("Vented displacement-limited power (W)"), &State.PaVented});
    }
    for (const design::CurveColumn &c : Analysis->exportColumns())
        columns.push_back(c);
    return columns;
}

bool FrmKelvane::exportCurves(const QString &path)
{
    const std::vector<design::CurveColumn> columns = calculatedCurves();
    if (columns.empty()) {
        Program::ShowMoreDataNeeded();
        return false;
    }
    if (path.isEmpty() || !writeWhole(path, design::curvesCsv(columns).toUtf8())) {
        Program::ShowMessage(design::curvesFailureText(shownPath(path)), QStringLiteral("Error"));
        return false;
    }
    return true;
}

void FrmKelvane::MnuNew_Click()
{
    if (!askToSaveChanges())
        return;
    applyDesign(startUpDesign_);
    setDesignFile(QString());
}

void FrmKelvane::MnuOpen_Click()
{
    if (!askToSaveChanges())
        return;
    const QString path = chooseFile(this, QStringLiteral("DlgOpenDesign"), QStringLiteral("Open Design"), false,
                                    DesignFilter, QLatin1String(design::FileSuffix), QString());
    if (!path.isEmpty())
        openDesign(path);
}

void FrmKelvane::MnuOpenRecent_Click(int Index)
{
    const QStringList recent = recentDesigns();
    if (Index < 0 || Index >= recent.size())
        return;
    const QString path = recent.at(Index);
    if (!QFileInfo::exists(path)) {
        Program::ShowMessage(design::openFailureText(shownPath(path), QStringLiteral("there is no such file")),
                             QStringLiteral("Error"));
        forgetRecent(path);
        return;
    }
    if (askToSaveChanges())
        openDesign(path);
}

void FrmKelvane::MnuSave_Click()
{
    if (designPath_.isEmpty())
        MnuSaveAs_Click();
    else
        saveDesign(designPath_);
}

void FrmKelvane::MnuSaveAs_Click()
{
    const QString proposed = designPath_.isEmpty()
                                 ? (Input->TxtName->text().isEmpty() ? QStringLiteral("design") : Input->TxtName->text())
                                       + QStringLiteral(".kelvane")
                                 : designPath_;
    const QString path = chooseFile(this, QStringLiteral("DlgSaveDesign"), QStringLiteral("Save Design As"), true,
                                    DesignFilter, QLatin1String(design::FileSuffix), proposed);
    if (!path.isEmpty())
        saveDesign(path);
}

void FrmKelvane::MnuExportCurves_Click()
{
    if (calculatedCurves().empty()) {
        Program::ShowMoreDataNeeded();
        return;
    }
    const QString proposed = designPath_.isEmpty()
                                 ? QStringLiteral("curves.csv")
                                 : QFileInfo(designPath_).completeBaseName() + QStringLiteral(".csv");
    const QString path = chooseFile(this, QStringLiteral("DlgExportCurves"), QStringLiteral("Export Curves"), true,
                                    QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"), proposed);
    if (!path.isEmpty())
        exportCurves(path);
}

bool FrmKelvane::askToSaveChanges()
{
    // A window never saved closes as it always has: only a design with a file is asked about.
    if (!designModified_ || designPath_.isEmpty())
        return true;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kelvane"),
                    design::askToSaveText(QFileInfo(designPath_).fileName()),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return saveDesign(designPath_);
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void FrmKelvane::closeEvent(QCloseEvent *event)
{
    if (!askToSaveChanges()) {
        event->ignore();
        return;
    }
    rememberPlacement();
    QMainWindow::closeEvent(event);
}

void FrmKelvane::markDesignModified()
{
    if (fillingDesign_ || designModified_)
        return;
    designModified_ = true;
    updateDesignTitle();
}

void FrmKelvane::setDesignFile(const QString &path)
{
    designPath_ = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    designModified_ = false;
    updateDesignTitle();
}

void FrmKelvane::updateDesignTitle()
{
    if (designPath_.isEmpty()) {
        setWindowTitle(QStringLiteral("Kelvane"));
        return;
    }
    setWindowTitle(QFileInfo(designPath_).fileName() + (designModified_ ? QStringLiteral("*") : QString())
                   + QStringLiteral(" - Kelvane"));
}

QStringList FrmKelvane::recentDesigns() const
{
    return programSettings().value(RecentKey).toStringList().mid(0, MaxRecentDesigns);
}

void FrmKelvane::rememberRecent(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList recent = recentDesigns();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    programSettings().setValue(RecentKey, recent.mid(0, MaxRecentDesigns));
    refreshRecentMenu();
}

void FrmKelvane::forgetRecent(const QString &path)
{
    QStringList recent = recentDesigns();
    recent.removeAll(path);
    programSettings().setValue(RecentKey, recent);
    refreshRecentMenu();
}

void FrmKelvane::refreshRecentMenu()
{
    MnuOpenRecent->clear();
    const QStringList recent = recentDesigns();
    for (int i = 0; i < recent.size(); ++i) {
        QString shown = shownPath(recent.at(i));
        QAction *a = MnuOpenRecent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown.replace(
            QLatin1Char('&'), QStringLiteral("&&"))));
        a->setObjectName(controls::arrayName("MnuRecentDesign", i));
        connect(a, &QAction::triggered, this, [this, i] { MnuOpenRecent_Click(i); });
    }
    MnuOpenRecent->setEnabled(!recent.isEmpty());
}
