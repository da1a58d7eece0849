// The result volume unit: the factor table, and rewriting every shown volume when the user picks
// another unit, without recalculating.

#include "TestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace testsupport;

class TestUnits : public QObject
{
    Q_OBJECT

private slots:
    void switchRewritesVolumes_data();
    void switchRewritesVolumes();
    void switchBeforeCalculating();
};

void TestUnits::switchRewritesVolumes_data()
{
    QTest::addColumn<int>("unit");
    for (const char *column : {"cbv", "sealedLabel", "vbv", "ventedLabel", "caption"})
        QTest::addColumn<QString>(column);

    // Sealed 0.6493 cu ft typed in volume mode: /0.0353145 = 18.38622 litres,
    // /35.3145 = 0.0183862 cubic metres. Vented: the user's 2 cu ft = 56.63396 litres
    // = 0.0566340 cubic metres.
    QTest::newRow("litres") << 1 << "18.3862" << "18.386" << "56.6340" << "56.634" << "liter";
    QTest::newRow("cubic metres") << 2 << "0.0184" << "0.0184" << "0.0566" << "0.0566" << "Cu M";
    QTest::newRow("back to cubic feet") << 0 << "0.6493" << "0.649" << "2.0000" << "2.000" << "Cu Ft";
}

void TestUnits::switchRewritesVolumes()
{
    const int unit = fetch<int>("unit");
    auto w = freshWindow();
    setDriver(w.get(), "50", "0.35", "2");
    w->OptVolBox->setChecked(true);
    w->TxtCBV->setText("0.6493");
    w->TxtVFb->setText("40");
    w->TxtVBV->setText("2");
    w->CmdCalculate->click();
    QCOMPARE(w->VbSealed, 0.6493);
    QCOMPARE(w->VbVented, 2.0);
    const QString f3Before = w->LblCF3->text();

    // Through another unit first, so that every row starts from a switch.
    w->OptSealedVolumeBox[unit == 1 ? 2 : 1]->setChecked(true);
    w->OptSealedVolumeBox[unit]->setChecked(true);
    QCOMPARE(w->TxtCBV->text(), fetch<QString>("cbv"));
    QCOMPARE(w->LblCBVolume[0]->text(), fetch<QString>("sealedLabel"));
    QCOMPARE(w->TxtVBV->text(), fetch<QString>("vbv"));
    QCOMPARE(w->LblVBVolume->text(), fetch<QString>("ventedLabel"));
    QCOMPARE(w->LblSealedUnit->text(), fetch<QString>("caption"));
    QCOMPARE(w->LblVentedUnit->text(), fetch<QString>("caption"));
    // Stored volumes and other results are untouched.
    QCOMPARE(w->VbSealed, 0.6493);
    QCOMPARE(w->VbVented, 2.0);
    QCOMPARE(w->LblCF3->text(), f3Before);
}

void TestUnits::switchBeforeCalculating()
{
    auto w = freshWindow();
    w->OptSealedVolumeBox[2]->setChecked(true);
    QCOMPARE(w->TxtCBV->text(), QStringLiteral("0.0000"));
    QCOMPARE(w->TxtVBV->text(), QStringLiteral("0.0000"));
    QCOMPARE(w->LblCBVolume[0]->text(), QStringLiteral("0.0000"));
    w->OptSealedVolumeBox[1]->setChecked(true);
    QCOMPARE(w->LblVBVolume->text(), QStringLiteral("0.000"));
    QCOMPARE(w->LblSealedUnit->text(), QStringLiteral("liter"));
}

QTEST_MAIN(TestUnits)
#include "tst_units.moc"
