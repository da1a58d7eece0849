// The calculation spine through the real window: reading the driver data, the stops for missing or
// out-of-range data, the Vas units, the Qtc adjustment, the failure trap and the result state.

#include "TestSupport.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "graphs/GraphPicture.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace testsupport;

namespace {

bool resultButtonsEnabled(FrmKelvane &w)
{
    const bool on = w.CmdFrequency->isEnabled();
    for (QPushButton *b : {w.CmdDisplacement, w.CmdSave, w.CmdSaveDisplacement, w.CmdPrintDisplacement,
                           w.CmdPrintFreq})
        if (b->isEnabled() != on)
            qFatal("result buttons are not all in the same state");
    return on;
}

void fillDriver(FrmKelvane &w, const QString &fs, const QString &vas, const QString &qts)
{
    w.TxtFs->setText(fs);
    w.TxtVas->setText(vas);
    w.TxtQts->setText(qts);
}

} // namespace

class TestCalculation : public QObject
{
    Q_OBJECT

private slots:
    void stopsBeforeCalculating_data();
    void stopsBeforeCalculating();
    void fsAtTheLimitCalculates();
    void vasUnits_data();
    void vasUnits();
    void leadingPointInQts();
    void qtcNotAboveQtsIsRaised();
    void calculateBoxSwitchesTabs();
    void editingDriverResetsModel_data();
    void editingDriverResetsModel();
    void editingOtherDataKeepsResults();
};

void TestCalculation::stopsBeforeCalculating_data()
{
    QTest::addColumn<QString>("fs");
    QTest::addColumn<QString>("vas");
    QTest::addColumn<QString>("qts");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("focusInFs");

    QTest::newRow("no Fs") << "" << "40" << "0.4" << Program::MoreDataNeededText << true;
    QTest::newRow("no Vas") << "30" << "" << "0.4" << Program::MoreDataNeededText << true;
    QTest::newRow("no Qts") << "30" << "40" << "" << Program::MoreDataNeededText << true;
    QTest::newRow("Qts a lone point reads as 0") << "30" << "40" << "." << Program::MoreDataNeededText << true;
    QTest::newRow("Fs 0.0 reads as 0") << "0.0" << "40" << "0.4" << Program::MoreDataNeededText << true;
    QTest::newRow("Fs above 500") << "500.5" << "40" << "0.4" << Program::FsLimitText << true;
    QTest::newRow("pasted letters in Fs") << "abc" << "40" << "0.4" << Program::NumberErrorText << false;
    QTest::newRow("pasted text in Qts") << "30" << "40" << "0,4" << Program::NumberErrorText << false;
    QTest::newRow("pasted two points in Vas") << "30" << "1.2.3" << "0.4" << Program::NumberErrorText << false;
}

void TestCalculation::stopsBeforeCalculating()
{
    QFETCH(QString, fs);
    QFETCH(QString, vas);
    QFETCH(QString, qts);
    QFETCH(QString, message);
    QFETCH(bool, focusInFs);

    auto w = freshWindow();
    fillDriver(*w, fs, vas, qts);
    MessageCatcher catcher;
    QTest::mouseClick(w->CmdCalculateInput, Qt::LeftButton);
    settle();
    QCOMPARE(catcher.texts(), QStringList{message});
    QCOMPARE(catcher.messages().first().title, QStringLiteral("Error"));
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabInput));
    QVERIFY(!resultButtonsEnabled(*w));
    if (focusInFs)
        QCOMPARE(w->focusWidget(), w->TxtFs);
}

void TestCalculation::fsAtTheLimitCalculates()
{
    auto w = freshWindow();
    fillDriver(*w, "500", "40", "0.4");
    MessageCatcher catcher;
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxModel);
    QTest::mouseClick(w->CmdCalculate, Qt::LeftButton);
    settle();
    QVERIFY(!catcher.texts().contains(Program::FsLimitText));
    QVERIFY(resultButtonsEnabled(*w));
    QCOMPARE(w->Fs, 500.0);
}

void TestCalculation::vasUnits_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("cubicFeet");
    // 10 of the unit: 1 litre = 0.0353145 cu ft, 1 cubic metre = 35.3145 cu ft.
    QTest::newRow("Cu. Ft.") << 0 << 10.0;
    QTest::newRow("liters") << 1 << 0.353145;
    QTest::newRow("Cu. m") << 2 << 353.145;
}

void TestCalculation::vasUnits()
{
    QFETCH(int, unit);
    QFETCH(double, cubicFeet);
    auto w = freshWindow();
    w->OptVas[unit]->setChecked(true);
    fillDriver(*w, "30", "10", "0.4");
    MessageCatcher catcher;
    w->CmdCalculate_Click();
    QVERIFY(qAbs(w->Vas - cubicFeet) < 1e-12);
}

void TestCalculation::leadingPointInQts()
{
    auto w = freshWindow();
    fillDriver(*w, "30", "40", ".4");
    w->TxtQes->setText(QStringLiteral(".35"));
    MessageCatcher catcher;
    w->CmdCalculate_Click();
    QCOMPARE(w->Qts, 0.4);
    QCOMPARE(w->Qes, 0.35);
}

void TestCalculation::qtcNotAboveQtsIsRaised()
{
    auto w = freshWindow();
    fillDriver(*w, "30", "40", "0.8");
    QCOMPARE(w->TxtQtc->text(), QStringLiteral("0.707"));
    MessageCatcher catcher;
    w->CmdCalculate_Click();
    // Qts + 0.1 = 0.9 (0.9000000000000001 in binary, written in general form as 0.9); the sealed
    // model reads it back and may write it again with three decimals.
    const std::optional<double> qtc = kelvane::parseNumber(w->TxtQtc->text());
    QVERIFY(qtc);
    QCOMPARE(*qtc, 0.9);
    QVERIFY(w->TxtQtc->text() == QLatin1String("0.9") || w->TxtQtc->text() == QLatin1String("0.900"));
}

void TestCalculation::calculateBoxSwitchesTabs()
{
    auto w = freshWindow();
    fillDriver(*w, "30", "40", "0.4");
    int tabDuringChain = -1;
    MessageCatcher catcher;
    QTest::mouseClick(w->CmdCalculateInput, Qt::LeftButton);
    tabDuringChain = w->SSTab->currentIndex();
    QCOMPARE(tabDuringChain, int(FrmKelvane::TabBoxModel));
    QVERIFY(resultButtonsEnabled(*w));
    QCOMPARE(w->focusWidget(), w->CmdFrequency);
}

void TestCalculation::editingDriverResetsModel_data()
{
    QTest::addColumn<QString>("edit"); // which driver value is changed
    QTest::newRow("one character typed in Fs") << "Fs";
    QTest::newRow("one character typed in Qts") << "Qts";
    QTest::newRow("one character typed in Vas") << "Vas";
    QTest::newRow("Vas unit changed by letter") << "unit";
}

void TestCalculation::editingDriverResetsModel()
{
    QFETCH(QString, edit);
    auto w = freshWindow();
    fillDriver(*w, "30", "40", "0.4");
    MessageCatcher catcher;
    w->CmdCalculate_Click();
    QVERIFY(resultButtonsEnabled(*w));
    w->OptVolBox->setChecked(true);
    w->TxtCBV->setText(QStringLiteral("1.5"));
    w->TxtQtc->setText(QStringLiteral("1.2"));
    w->TxtVBV->setText(QStringLiteral("2"));
    w->TxtVFb->setText(QStringLiteral("35"));
    w->TxtQloss->setText(QStringLiteral("10"));
    w->PicFrequency->pset(100, 100, 4);

    if (edit == QLatin1String("unit")) {
        w->OptVas[1]->setFocus();
        QTest::keyClick(w->OptVas[1], Qt::Key_M);
        QVERIFY(w->OptVas[2]->isChecked());
    } else {
        QLineEdit *f = edit == QLatin1String("Fs") ? w->TxtFs : edit == QLatin1String("Qts") ? w->TxtQts : w->TxtVas;
        f->setFocus();
        f->end(false);
        QTest::keyClick(f, Qt::Key_5);
    }
    QVERIFY(w->OptQtc->isChecked());
    QCOMPARE(w->TxtCBV->text(), QString());
    QCOMPARE(w->TxtQtc->text(), QStringLiteral("0.707"));
    QCOMPARE(w->TxtVBV->text(), QString());
    QCOMPARE(w->TxtVFb->text(), QString());
    QCOMPARE(w->TxtQloss->text(), QStringLiteral("7"));
    QVERIFY(!resultButtonsEnabled(*w));
    QCOMPARE(w->PicFrequency->image().pixelColor(100 * w->PicFrequency->pixelScale(),
                                                 100 * w->PicFrequency->pixelScale()), QColor(Qt::white));
}

void TestCalculation::editingOtherDataKeepsResults()
{
    auto w = freshWindow();
    fillDriver(*w, "30", "40", "0.4");
    MessageCatcher catcher;
    w->CmdCalculate_Click();
    w->TxtQloss->setText(QStringLiteral("10"));
    typeInto(w->TxtQes, QStringLiteral("0.5"));
    typeInto(w->TxtPower, QStringLiteral("100"));
    w->OptVd[1]->setChecked(true);
    QVERIFY(resultButtonsEnabled(*w));
    QCOMPARE(w->TxtQloss->text(), QStringLiteral("10"));
}

QTEST_MAIN(TestCalculation)
#include "tst_calculation.moc"
