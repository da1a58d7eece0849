// SPDX-License-Identifier: GPL-3.0-or-later
// Design files: New, Open, Open Recent, Save, Save As and Export Curves on the File menu; the
// unsaved mark in the window title and the question before unsaved changes are dropped.

#include "app/AnalysisTab.h"
#include "app/CrossoverDriversPanel.h"
#include "app/DesignFiles.h"
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

DesignFiles::DesignFiles(FrmKelvane &window) : QObject(&window), w(window) {}

void DesignFiles::buildDesignMenu(QMenu *file)
{
    const auto add = [file](const char *name, const QString &caption, QKeySequence::StandardKey key) {
        QAction *a = file->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (key != QKeySequence::UnknownKey)
            a->setShortcut(key);
        return a;
    };
    w.MnuNew = add("MnuNew", QStringLiteral("&New"), QKeySequence::New);
    w.MnuOpen = add("MnuOpen", QStringLiteral("&Open…"), QKeySequence::Open);
    w.MnuOpenRecent = file->addMenu(QStringLiteral("Open &Recent"));
    w.MnuOpenRecent->setObjectName(QStringLiteral("MnuOpenRecent"));
    w.MnuSave = add("MnuSave", QStringLiteral("&Save"), QKeySequence::Save);
    w.MnuSaveAs = add("MnuSaveAs", QStringLiteral("Save &As…"), QKeySequence::SaveAs);
    w.MnuExportCurves = add("MnuExportCurves", QStringLiteral("&Export Curves…"), QKeySequence::UnknownKey);
    connect(w.MnuNew, &QAction::triggered, this, [this] { MnuNew_Click(); });
    connect(w.MnuOpen, &QAction::triggered, this, [this] { MnuOpen_Click(); });
    connect(w.MnuSave, &QAction::triggered, this, [this] { MnuSave_Click(); });
    connect(w.MnuSaveAs, &QAction::triggered, this, [this] { MnuSaveAs_Click(); });
    connect(w.MnuExportCurves, &QAction::triggered, this, [this] { MnuExportCurves_Click(); });
    w.MnuExportCrossoverCurves = add("MnuExportCrossoverCurves", QStringLiteral("Export C&rossover Curves…"),
                                   QKeySequence::UnknownKey);
    connect(w.MnuExportCrossoverCurves, &QAction::triggered, this, [this] {
        if (!w.Crossover->CrossoverDrivers->simulation()) {
            Program::ShowMoreDataNeeded();
            return;
        }
        const QString proposed = designPath_.isEmpty() ? QStringLiteral("crossover.csv")
                                                       : QFileInfo(designPath_).completeBaseName() + QStringLiteral("-crossover.csv");
        const QString path = chooseFile(&w, QStringLiteral("DlgExportCrossoverCurves"), QStringLiteral("Export Crossover Curves"),
                                        true, QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"), proposed);
        if (!path.isEmpty())
            w.Crossover->CrossoverDrivers->exportCurves(path);
    });
    refreshRecentMenu();
}

void DesignFiles::watchDesignEdits()
{
    startUpDesign_ = currentDesign();
    for (QLabel *l : w.findChildren<QLabel *>())
        startUpCaptions_.emplace_back(l, l->text());
    for (QLineEdit *f : w.findChildren<QLineEdit *>()) {
        const bool stored = f == w.BoxModel->TxtDriverCount
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
    connect(w.BoxModel->CboWiring, &QComboBox::currentIndexChanged, this, [this] { markDesignModified(); });
    connect(w.BoxModel->ChkIsobaric, &QCheckBox::toggled, this, [this] { markDesignModified(); });
    updateDesignTitle();
}

std::vector<QRadioButton *> DesignFiles::choiceOptions(std::size_t choice) const
{
    const design::ChoiceField &c = design::ChoiceFields[choice];
    if (qstrcmp(c.name, "SealedModel") == 0)
        return {w.BoxModel->OptQtc, w.BoxModel->OptVolBox};
    std::vector<QRadioButton *> options;
    for (int i = 0; i < c.count; ++i)
        options.push_back(w.findChild<QRadioButton *>(controls::arrayName(c.name, i)));
    return options;
}

design::Design DesignFiles::currentDesign() const
{
    design::Design d;
    for (std::size_t i = 0; i < design::TextFields.size(); ++i)
        d.texts[i] = w.findChild<QLineEdit *>(QLatin1String(design::TextFields[i].name))->text();
    for (std::size_t c = 0; c < design::ChoiceFields.size(); ++c) {
        const std::vector<QRadioButton *> options = choiceOptions(c);
        const auto on = std::find_if(options.begin(), options.end(), [](QRadioButton *o) { return o->isChecked(); });
        d.choices[c] = on == options.end() ? (design::ChoiceFields[c].noneAllowed ? -1 : 0)
                                           : int(on - options.begin());
    }
    d.calculated = w.BoxModel->CmdFrequency->isEnabled();
    d.frequencyDrawn = d.calculated && !w.Frequency->PicFrequency->texts().isEmpty();
    d.displacementDrawn = d.calculated && !w.Displacement->PicDisplacementLimit->texts().isEmpty();
    d.crossoverCalculated = w.State.CrossoverNetwork.has_value();
    d.tab = w.SSTab->currentIndex();
    d.analysis = w.Analysis->settings();
    d.moreBoxes = w.MoreBoxes->settings();
    d.drivers = {w.BoxModel->TxtDriverCount->text(), std::max(0, w.BoxModel->CboWiring->currentIndex()), w.BoxModel->ChkIsobaric->isChecked()};
    d.crossoverDrivers = w.Crossover->CrossoverDrivers->settings();
    return d;
}

void DesignFiles::setDesignChoices(const design::Design &d)
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

void DesignFiles::applyDesign(const design::Design &d)
{
    fillingDesign_ = true;
    // Start from the window as it opens: no results on offer, the captions of start-up.
    w.ButtonsOff();
    for (const auto &[label, caption] : startUpCaptions_)
        label->setText(caption);
    for (const auto &[field, text] : startUpReadouts_)
        field->setText(text);
    w.State.CrossoverNetwork.reset();
    w.UpdateCrossoverDrivers(false);
    w.CrossoverPlans->CmdSavePlan->setEnabled(false);
    w.CrossoverPlans->CmdPrintPlan->setEnabled(false);
    w.Crossover->CrossoverResponse();
    w.CrossoverPlans->CrossoverPlan();
    // The options go first so that a unit change cannot rewrite a field set after it; the driver
    // fields reset the Box Model as they change, so the choices are set once more at the end.
    setDesignChoices(d);
    // The drivers in the box before the fields they would reset.
    w.BoxModel->TxtDriverCount->setText(d.drivers.count);
    if (d.drivers.wiring < w.BoxModel->CboWiring->count())
        w.BoxModel->CboWiring->setCurrentIndex(d.drivers.wiring);
    w.BoxModel->ChkIsobaric->setChecked(d.drivers.isobaric && w.BoxModel->ChkIsobaric->isEnabled());
    for (std::size_t i = 0; i < design::TextFields.size(); ++i)
        w.findChild<QLineEdit *>(QLatin1String(design::TextFields[i].name))->setText(d.texts[i]);
    setDesignChoices(d);
    commitEnteredValues();
    w.Analysis->applySettings(d.analysis);

    // Then what the user had done with it, through the program's own buttons.
    if (d.calculated) {
        w.CmdCalculateInput_Click();
        if (d.frequencyDrawn && w.BoxModel->CmdFrequency->isEnabled())
            w.CmdFrequency_Click();
        if (d.displacementDrawn && w.BoxModel->CmdDisplacement->isEnabled())
            w.CmdDisplacement_Click();
    }
    if (d.crossoverCalculated)
        w.Crossover->CmdCalculateCrossover_Click();
    w.Crossover->CrossoverDrivers->applySettings(d.crossoverDrivers);
    if (d.crossoverCalculated)
        w.CrossoverPlans->CrossoverPlan(); // with the pad and the baffle-step network as built
    w.MoreBoxes->applySettings(d.moreBoxes);
    w.BoxModel->ShowDriverGroup();
    w.SSTab->setCurrentIndex(d.tab);
    if (!d.calculated && d.tab == FrmKelvane::TabInput)
        w.Input->TxtFs->setFocus(Qt::OtherFocusReason);
    fillingDesign_ = false;
}

void DesignFiles::commitEnteredValues()
{
    // As the key handlers keep them: volumes in cubic feet, Vas for the drivers in the box.
    for (const FieldEntry::Numeric &entry : w.Keys->numericEntries())
        if (entry.shared)
            *entry.shared = FieldEntry::keptValue(entry, parseNumber(entry.field->text()).value_or(0.0));
    w.State.Qtc = parseNumber(w.BoxModel->TxtQtc->text()).value_or(0.0);
    w.State.AddVolume = parseNumber(w.BoxVent->TxtAddVolume->text()).value_or(0.0);
    w.State.PercentOverVolume = parseNumber(w.BoxVent->TxtPercentOverVolume->text()).value_or(0.0);
    if (w.State.PercentOverVolume == 0)
        w.State.PercentOverVolume = 100;
    w.State.VentDia[6] = parseNumber(w.BoxVent->TxtVentDia->text()).value_or(0.0);
}

bool DesignFiles::openDesign(const QString &path)
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

bool DesignFiles::saveDesign(const QString &path)
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

std::vector<design::CurveColumn> DesignFiles::calculatedCurves() const
{
    std::vector<design::CurveColumn> columns;
    if (!w.BoxModel->CmdFrequency->isEnabled())
        return columns;
    // The sealed response is swept when its graph is drawn; the vented one by the calculation.
    if (!w.Frequency->PicFrequency->texts().isEmpty())
        columns.push_back({QStringLiteral("Sealed response (dB)"), &w.State.SealedResponse});
    columns.push_back({QStringLiteral("Vented response (dB)"), &w.State.VentedResponse});
    if (!w.Displacement->PicDisplacementLimit->texts().isEmpty()) {
        columns.push_back({QStringLiteral("Sealed displacement-limited SPL (dB)"), &w.State.SPLSealedLimit});
        columns.push_back({QStringLiteral("Sealed displacement-limited power (W)"), &w.State.PaSealed});
        columns.push_back({QStringLiteral("Vented displacement-limited SPL (dB)"), &w.State.SPLVentedLimit});
        columns.push_back({QStringLiteral("Vented displacement-limited power (W)"), &w.State.PaVented});
    }
    for (const design::CurveColumn &c : w.Analysis->exportColumns())
        columns.push_back(c);
    return columns;
}

bool DesignFiles::exportCurves(const QString &path)
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

void DesignFiles::MnuNew_Click()
{
    if (!askToSaveChanges())
        return;
    applyDesign(startUpDesign_);
    setDesignFile(QString());
}

void DesignFiles::MnuOpen_Click()
{
    if (!askToSaveChanges())
        return;
    const QString path = chooseFile(&w, QStringLiteral("DlgOpenDesign"), QStringLiteral("Open Design"), false,
                                    DesignFilter, QLatin1String(design::FileSuffix), QString());
    if (!path.isEmpty())
        openDesign(path);
}

void DesignFiles::MnuOpenRecent_Click(int Index)
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

void DesignFiles::MnuSave_Click()
{
    if (designPath_.isEmpty())
        MnuSaveAs_Click();
    else
        saveDesign(designPath_);
}

void DesignFiles::MnuSaveAs_Click()
{
    const QString proposed = designPath_.isEmpty()
                                 ? (w.Input->TxtName->text().isEmpty() ? QStringLiteral("design") : w.Input->TxtName->text())
                                       + QStringLiteral(".kelvane")
                                 : designPath_;
    const QString path = chooseFile(&w, QStringLiteral("DlgSaveDesign"), QStringLiteral("Save Design As"), true,
                                    DesignFilter, QLatin1String(design::FileSuffix), proposed);
    if (!path.isEmpty())
        saveDesign(path);
}

void DesignFiles::MnuExportCurves_Click()
{
    if (calculatedCurves().empty()) {
        Program::ShowMoreDataNeeded();
        return;
    }
    const QString proposed = designPath_.isEmpty()
                                 ? QStringLiteral("curves.csv")
                                 : QFileInfo(designPath_).completeBaseName() + QStringLiteral(".csv");
    const QString path = chooseFile(&w, QStringLiteral("DlgExportCurves"), QStringLiteral("Export Curves"), true,
                                    QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"), proposed);
    if (!path.isEmpty())
        exportCurves(path);
}

bool DesignFiles::askToSaveChanges()
{
    // A window never saved closes as it always has: only a design with a file is asked about.
    if (!designModified_ || designPath_.isEmpty())
        return true;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kelvane"),
                    design::askToSaveText(QFileInfo(designPath_).fileName()),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, &w);
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

void DesignFiles::markDesignModified()
{
    if (fillingDesign_ || designModified_)
        return;
    designModified_ = true;
    updateDesignTitle();
}

void DesignFiles::setDesignFile(const QString &path)
{
    designPath_ = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    designModified_ = false;
    updateDesignTitle();
}

void DesignFiles::updateDesignTitle()
{
    if (designPath_.isEmpty()) {
        w.setWindowTitle(QStringLiteral("Kelvane"));
        return;
    }
    w.setWindowTitle(QFileInfo(designPath_).fileName() + (designModified_ ? QStringLiteral("*") : QString())
                   + QStringLiteral(" - Kelvane"));
}

QStringList DesignFiles::recentDesigns() const
{
    return programSettings().value(RecentKey).toStringList().mid(0, MaxRecentDesigns);
}

void DesignFiles::rememberRecent(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList recent = recentDesigns();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    programSettings().setValue(RecentKey, recent.mid(0, MaxRecentDesigns));
    refreshRecentMenu();
}

void DesignFiles::forgetRecent(const QString &path)
{
    QStringList recent = recentDesigns();
    recent.removeAll(path);
    programSettings().setValue(RecentKey, recent);
    refreshRecentMenu();
}

void DesignFiles::refreshRecentMenu()
{
    w.MnuOpenRecent->clear();
    const QStringList recent = recentDesigns();
    for (int i = 0; i < recent.size(); ++i) {
        QString shown = shownPath(recent.at(i));
        QAction *a = w.MnuOpenRecent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown.replace(
            QLatin1Char('&'), QStringLiteral("&&"))));
        a->setObjectName(controls::arrayName("MnuRecentDesign", i));
        connect(a, &QAction::triggered, this, [this, i] { MnuOpenRecent_Click(i); });
    }
    w.MnuOpenRecent->setEnabled(!recent.isEmpty());
}
