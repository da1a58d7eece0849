// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DlgBuildSheet.h"
#include "boxvent/BoxCore.h"
#include "common/NumberText.h"
#include "driver/Program.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>

using namespace kelvane;

DlgBuildSheet::DlgBuildSheet(const sheet::Snapshot &snapshot, QWidget *parent)
    : QDialog(parent), ventedFirst_(snapshot.ventedRecommended)
{
    setObjectName(QStringLiteral("DlgBuildSheet"));
    setWindowTitle(QStringLiteral("Export Build Sheet"));
    const sheet::Choices defaults =
        sheet::defaultChoices(snapshot, QLocale::system().measurementSystem() == QLocale::ImperialUSSystem);

    const auto combo = [this](const char *name, const QStringList &items, int current) {
        auto *c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->addItems(items);
        c->setCurrentIndex(current);
        return c;
    };
    // The box the driver's EBP advises comes first.
    const QString sealed = QStringLiteral("Sealed box"), vented = QStringLiteral("Vented box");
    const QString advised = QStringLiteral(" (recommended)");
    CboBox = combo("CboBox", ventedFirst_ ? QStringList{vented + advised, sealed} : QStringList{sealed + advised, vented}, 0);
    // Then the boxes calculated on the More Boxes tab.
    if (snapshot.radiatorBox)
        CboBox->addItem(QStringLiteral("Passive radiator box"), int(sheet::OtherBox::PassiveRadiator));
    if (snapshot.bandpassBox)
        CboBox->addItem(QStringLiteral("Bandpass box"), int(sheet::OtherBox::Bandpass));
    QStringList ratios;
    for (const boxvent::SideRatio &r : boxvent::SideRatios)
        ratios << QLatin1String(r.caption);
    CboRatio = combo("CboRatio", ratios, defaults.ratio);
    CboUnits = combo("CboUnits", {QStringLiteral("Metric (mm, litres)"), QStringLiteral("Inch (inches, cubic feet)")},
                     defaults.metric ? 0 : 1);
    CboPage = combo("CboPage", {QStringLiteral("A4"), QStringLiteral("Letter")},
                    defaults.page == sheet::PageSize::Letter ? 1 : 0);
    TxtWallThickness = new QLineEdit(generalNumber(defaults.wall), this);
    TxtWallThickness->setObjectName(QStringLiteral("TxtWallThickness"));
    ChkCrossover = new QCheckBox(QStringLiteral("Include the crossover"), this);
    ChkCrossover->setObjectName(QStringLiteral("ChkCrossover"));
    ChkCrossover->setChecked(defaults.includeCrossover);
    ChkCrossover->setEnabled(snapshot.crossover.has_value());

    // The wall's default follows the unit while the builder has not typed one of their own.
    connect(CboUnits, &QComboBox::currentIndexChanged, this, [this](int index) {
        const QString mm = generalNumber(sheet::DefaultWallMm), in = generalNumber(sheet::DefaultWallIn);
        if (TxtWallThickness->text() == mm || TxtWallThickness->text() == in)
            TxtWallThickness->setText(index == 0 ? mm : in);
    });

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Box:"), CboBox);
    form->addRow(QStringLiteral("Side ratio:"), CboRatio);
    form->addRow(QStringLiteral("Wall thickness:"), TxtWallThickness);
    form->addRow(QStringLiteral("Units:"), CboUnits);
    form->addRow(QStringLiteral("Page size:"), CboPage);
    form->addRow(QString(), ChkCrossover);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DlgBuildSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DlgBuildSheet::reject);
    form->addRow(buttons);
}

sheet::Choices DlgBuildSheet::choices() const
{
    sheet::Choices c;
    c.vented = (CboBox->currentIndex() == 0) == ventedFirst_;
    c.other = sheet::OtherBox(CboBox->currentData().toInt());
    c.ratio = CboRatio->currentIndex();
    c.metric = CboUnits->currentIndex() == 0;
    c.wall = parseNumber(TxtWallThickness->text()).value_or(0.0);
    c.page = CboPage->currentIndex() == 1 ? sheet::PageSize::Letter : sheet::PageSize::A4;
    c.includeCrossover = ChkCrossover->isEnabled() && ChkCrossover->isChecked();
    return c;
}

void DlgBuildSheet::accept()
{
    if (!(choices().wall > 0)) {
        Program::ShowNumberError();
        TxtWallThickness->setFocus();
        TxtWallThickness->selectAll();
        return;
    }
    QDialog::accept();
}
