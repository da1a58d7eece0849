// The calculation spine through the real window: reading the driver data, the stops for missing or
// out-of-range data, the Vas units, the Qtc adjustment, the failure trap and the result state.

#include "TestSupport.h"
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
    void readsDriverData_data();
    void readsDriverData();
    void calculateBoxSwitchesTabs();
    void editingDriverResetsModel_data();
    void editingDriverResetsModel();
    void editingOtherDataKeepsResults();
};

void TestCalculation::stopsBeforeCalculating_data()
{
    for (const char *column : {"fs", "vas", "qts", "message"})
        QTest::addColumn<QString>(column);
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
    QFETCH(QString, message);
    auto w = freshWindow();
    fillDriver(*w, fetch<QString>("fs"), fetch<QString>("vas"), fetch<QString>("qts"));
    MessageCatcher catcher;
    QTest::mouseClick(w->CmdCalculateInput, Qt::LeftButton);
    settle();
    QCOMPARE(catcher.texts(), QStringList{message});
    QCOMPARE(catcher.messages().first().title, QStringLiteral("Error"));
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabInput));
    QVERIFY(!resultButtonsEnabled(*w));
    if (fetch<bool>("focusInFs"))
        QCOMPARE(w->focusWidget(), w->TxtFs);
}

void TestCalculation::readsDriverData_data()
{
    QTest::addColumn<int>("unit");
    for (const char *column : {"fs", "vas", "qts", "qes"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<QList<double>>("read"); // Fs, Vas in cubic feet, Qts, Qes
    // 10 of the unit: 1 litre = 0.0353145 cu ft, 1 cubic metre = 35.3145 cu ft.
    QTest::newRow("Vas 10 Cu. Ft.") << 0 << "30" << "10" << "0.4" << "" << QList<double>{30, 10.0, 0.4, 0};
    QTest::newRow("Vas 10 liters") << 1 << "30" << "10" << "0.4" << "" << QList<double>{30, 0.353145, 0.4, 0};
    QTest::newRow("Vas 10 Cu. m") << 2 << "30" << "10" << "0.4" << "" << QList<double>{30, 353.145, 0.4, 0};
    QTest::newRow("Fs 500 is still allowed") << 0 << "500" << "40" << "0.4" << "" << QList<double>{500, 40, 0.4, 0};
    QTest::newRow("leading points") << 0 << "30" << "40" << ".4" << ".35" << QList<double>{30, 40, 0.4, 0.35};
}

void TestCalculation::readsDriverData()
{
    auto w = freshWindow();
    w->OptVas[fetch<int>("unit")]->setChecked(true);
    fillDriver(*w, fetch<QString>("fs"), fetch<QString>("vas"), fetch<QString>("qts"));
    w->TxtQes->setText(fetch<QString>("qes"));
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxModel);
    MessageCatcher catcher;
    QTest::mouseClick(w->CmdCalculate, Qt::LeftButton);
    settle();
    QVERIFY2(catcher.texts().isEmpty(), qPrintable(catcher.texts().join(u'|')));
    QVERIFY(resultButtonsEnabled(*w));
    const QList<double> read = fetch<QList<double>>("read");
    QCOMPARE(w->Fs, read[0]);
    QVERIFY(qAbs(w->Vas - read[1]) < 1e-12);
    QCOMPARE(w->Qts, read[2]);
    if (read[3] > 0)
        QCOMPARE(w->Qes, read[3]);
}

void TestCalculation::calculateBoxSwitchesTabs()
{
    auto w = freshWindow();
    fillDriver(*w, "30", "40", "0.4");
    MessageCatcher catcher;
    QTest::mouseClick(w->CmdCalculateInput, Qt::LeftButton);
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabBoxModel));
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
