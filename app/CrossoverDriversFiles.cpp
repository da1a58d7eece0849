// SPDX-License-Identifier: GPL-3.0-or-later
// The drivers panel's files: a driver's response or impedance file loaded into its slot (or
// forgotten), the lines saying what each driver's data is, and the simulation exported as CSV.
#include "app/CrossoverDriversPanel.h"

#include "common/NumberText.h"
#include "driver/Program.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSaveFile>

using namespace kelvane;

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
