// The two-way crossover: the ladders' responses against the analytic alignments, the E12 rounding,
// the parts and notes the window shows, its messages, the plan and its bitmap.

#include "TestSupport.h"
#include "common/Checked.h"
#include "crossover/CrossoverCore.h"
#include "driver/Program.h"
#include "graphs/GraphPicture.h"

#include <QDir>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cmath>

using namespace testsupport;

namespace {

// The Butterworth magnitude of order n, |H|^2 = 1 / (1 + x^(2n)) with x = f / fc for the low-pass
// and fc / f for the high-pass; a Linkwitz-Riley of order 2m is the Butterworth of order m squared.
double analyticDb(int order, bool linkwitzRiley, double x)
{
    return linkwitzRiley ? -20.0 * std::log10(1.0 + std::pow(x, order))
                         : -10.0 * std::log10(1.0 + std::pow(x, 2 * order));
}

crossover::Design designOf(int type, double wooferOhms, double wooferHz, double tweeterOhms, double tweeterHz)
{
    crossover::Input in;
    in.type = type;
    in.wooferOhms = wooferOhms;
    in.wooferHz = wooferHz;
    in.tweeterOhms = tweeterOhms;
    in.tweeterHz = tweeterHz;
    return crossover::design(in);
}

// The sample crossover's texts, type by index, set into the fields as if pasted.
void enterCrossover(FrmKelvane *w, int type, const QString &z, const QString &tweeterZ, const QString &wooferHz,
                    const QString &tweeterHz)
{
    w->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
    w->TxtZ->setText(z);
    w->Text2->setText(tweeterZ);
    w->Text3->setText(wooferHz);
    w->Text4->setText(tweeterHz);
    if (type >= 0)
        w->OptCrossoverType[type]->setChecked(true);
}

QStringList shown(const std::array<QLabel *, 4> &labels)
{
    QStringList out;
    for (QLabel *l : labels)
        out << l->text();
    return out;
}

} // namespace

class TestCrossover : public QObject
{
    Q_OBJECT

private slots:
    void sectionsFollowTheirAlignment_data();
    void sectionsFollowTheirAlignment();
    void sumIsFlatWithTheStatedPolarity_data();
    void sumIsFlatWithTheStatedPolarity();
    void nearestE12_data();
    void nearestE12();
    void partsShown_data();
    void partsShown();
    void zobelAndNotes();
    void valueBeyondItsShownUnitIsAFault();
    void missingOrBadDataChangesNothing_data();
    void missingOrBadDataChangesNothing();
    void typesAreOneExclusiveGroup();
    void readoutUnderTheMouse();
    void planSavedAfterTheDriver();
};

void TestCrossover::sectionsFollowTheirAlignment_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("order");
    QTest::addColumn<bool>("linkwitzRiley");
    QTest::newRow("first-order Butterworth") << 0 << 1 << false;
    QTest::newRow("second-order Butterworth") << 1 << 2 << false;
    QTest::newRow("second-order Linkwitz-Riley") << 2 << 2 << true;
    QTest::newRow("third-order Butterworth") << 3 << 3 << false;
    QTest::newRow("fourth-order Linkwitz-Riley") << 4 << 4 << true;
}

void TestCrossover::sectionsFollowTheirAlignment()
{
    QFETCH(int, type);
    QFETCH(int, order);
    QFETCH(bool, linkwitzRiley);
    // Different loads and frequencies for the two sections: the response depends on f / fc alone.
    const crossover::Design d = designOf(type, 8, 2500, 6, 3100);
    // At its own crossover frequency: -3.01 dB (half power) for Butterworth, -6.02 dB for LR.
    const double atF = linkwitzRiley ? -6.0206 : -3.0103;
    QVERIFY(std::abs(crossover::levelDb(d.woofer, 8, 2500) - atF) < 1e-3);
    QVERIFY(std::abs(crossover::levelDb(d.tweeter, 6, 3100) - atF) < 1e-3);
    for (double ratio : {0.1, 0.25, 0.5, 0.8, 1.25, 2.0, 4.0, 10.0}) {
        const double woofer = crossover::levelDb(d.woofer, 8, 2500 * ratio);
        const double tweeter = crossover::levelDb(d.tweeter, 6, 3100 * ratio);
        QVERIFY2(std::abs(woofer - analyticDb(order, linkwitzRiley, ratio)) < 0.01, qPrintable(QString::number(ratio)));
        QVERIFY2(std::abs(tweeter - analyticDb(order, linkwitzRiley, 1 / ratio)) < 0.01, qPrintable(QString::number(ratio)));
    }
}

void TestCrossover::sumIsFlatWithTheStatedPolarity_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("tweeterSign");
    QTest::addColumn<double>("peakDb");
    // Allpass sums: first order normal, LR2 reversed, LR4 normal, third order either way. The
    // second-order Butterworth pair reversed sums to (1 - s^2) / (s^2 + sqrt2 s + 1), which is
    // |2 / sqrt2| = +3.01 dB at the crossover frequency: flat in power, not in pressure.
    QTest::newRow("first order, normal") << 0 << 1.0 << 0.0;
    QTest::newRow("LR2, reversed") << 2 << -1.0 << 0.0;
    QTest::newRow("third order, normal") << 3 << 1.0 << 0.0;
    QTest::newRow("third order, reversed") << 3 << -1.0 << 0.0;
    QTest::newRow("LR4, normal") << 4 << 1.0 << 0.0;
    QTest::newRow("Butterworth 2, reversed, +3 dB") << 1 << -1.0 << 3.0103;
}

void TestCrossover::sumIsFlatWithTheStatedPolarity()
{
    QFETCH(int, type);
    QFETCH(double, tweeterSign);
    QFETCH(double, peakDb);
    crossover::Design d = designOf(type, 8, 2000, 6, 2000);
    if (type != 3)
        QCOMPARE(d.tweeterSign, tweeterSign);
    d.tweeterSign = tweeterSign;
    double highest = -100, lowest = 100;
    for (double f = 20; f <= 20000; f *= 1.01) {
        const double sum = crossover::levels(d, f).sum;
        highest = std::max(highest, sum);
        lowest = std::min(lowest, sum);
    }
    QVERIFY2(std::abs(highest - peakDb) < 0.01, qPrintable(QString::number(highest)));
    if (peakDb == 0)
        QVERIFY2(lowest > -0.1, qPrintable(QString::number(lowest)));
}

void TestCrossover::nearestE12_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("e12");
    // Nearest by ratio: the boundary between two neighbours a, b is sqrt(a b).
    QTest::newRow("0.424 to 0.39 (boundary 0.428)") << 0.424 << 0.39;
    QTest::newRow("0.43 to 0.47") << 0.43 << 0.47;
    QTest::newRow("6.63 to 6.8 (boundary 6.17)") << 6.63 << 6.8;
    QTest::newRow("1.09 to 1.0 (boundary 1.095)") << 1.09 << 1.0;
    QTest::newRow("1.1 to 1.2") << 1.1 << 1.2;
    QTest::newRow("0.9003 to 0.82 (boundary 0.9055)") << 0.9003 << 0.82;
    QTest::newRow("9.1 up to the next decade's 10") << 9.1 << 10.0;
    QTest::newRow("a series value stays") << 47.0 << 47.0;
    QTest::newRow("microfarads in farads") << 4.69e-6 << 4.7e-6;
}

void TestCrossover::nearestE12()
{
    QFETCH(double, value);
    QFETCH(double, e12);
    QVERIFY(std::abs(crossover::nearestE12(value) / e12 - 1) < 1e-12);
}

void TestCrossover::partsShown_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("woofer");
    QTest::addColumn<QStringList>("wooferE12");
    QTest::addColumn<QStringList>("tweeter");
    QTest::addColumn<QStringList>("tweeterE12");
    // 8 Ohms at 3,000 Hz, 2 pi f = 18,850 rad/s: L = l 8 / 18,850, C = c / (8 x 18,850).
    QTest::newRow("first order (worked check)")
        << 0 << QStringList{"0.424 mH", "", "", ""} << QStringList{"0.39 mH", "", "", ""}
        << QStringList{"6.63 µF", "", "", ""} << QStringList{"6.8 µF", "", "", ""};
    // High-pass: C1 = 1 / (sqrt2 x 8 x 18,850), L2 = sqrt2 x 8 / 18,850.
    QTest::newRow("second-order Butterworth (worked check)")
        << 1 << QStringList{"0.600 mH", "4.69 µF", "", ""} << QStringList{"0.56 mH", "4.7 µF", "", ""}
        << QStringList{"4.69 µF", "0.600 mH", "", ""} << QStringList{"4.7 µF", "0.56 mH", "", ""};
    // Woofer 4 Ohms at 2,500 Hz (15,708 rad/s), tweeter 6 Ohms at 3,000 Hz: by hand from
    // l1 = 4 sqrt2 / 3, c2 = 9 sqrt2 / 8, l3 = 2 sqrt2 / 3, c4 = sqrt2 / 4 and the duals 1/l, 1/c.
    QTest::newRow("fourth-order Linkwitz-Riley, other loads and frequencies")
        << 4 << QStringList{"0.480 mH", "25.32 µF", "0.240 mH", "5.63 µF"}
        << QStringList{"0.47 mH", "27 µF", "0.22 mH", "5.6 µF"}
        << QStringList{"4.69 µF", "0.200 mH", "9.38 µF", "0.900 mH"}
        << QStringList{"4.7 µF", "0.22 mH", "10 µF", "0.82 mH"};
}

void TestCrossover::partsShown()
{
    QFETCH(int, type);
    auto w = freshWindow();
    if (type == 4)
        enterCrossover(w.get(), type, "4", "6", "2500", "3000");
    else
        enterCrossover(w.get(), type, "8", "8", "3000", "3000");
    MessageCatcher catcher;
    QTest::mouseClick(w->CmdCalculateCrossover, Qt::LeftButton);
    settle();
    QCOMPARE(catcher.texts(), QStringList());
    QCOMPARE(shown(w->LblWooferPart), fetch<QStringList>("woofer"));
    QCOMPARE(shown(w->LblWooferPartE12), fetch<QStringList>("wooferE12"));
    QCOMPARE(shown(w->LblTweeterPart), fetch<QStringList>("tweeter"));
    QCOMPARE(shown(w->LblTweeterPartE12), fetch<QStringList>("tweeterE12"));
    // The plan shows every part with its value and its E12 value.
    const QStringList plan = w->PicCrossoverPlan->texts();
    for (int i = 0; i < 4; ++i) {
        if (w->LblWooferPart[i]->text().isEmpty())
            break;
        QVERIFY(plan.contains(w->LblWooferPartName[i]->text().chopped(1) + "  " + w->LblWooferPart[i]->text()));
        QVERIFY(plan.contains("E12  " + w->LblTweeterPartE12[i]->text()));
    }
    QVERIFY(w->CmdSavePlan->isEnabled());
}

void TestCrossover::zobelAndNotes()
{
    auto w = freshWindow();
    enterCrossover(w.get(), 1, "8", "8", "3000", "2500");
    w->Text1->setText("1300");
    QTest::mouseClick(w->CmdCalculateCrossover, Qt::LeftButton);
    QCOMPARE(w->LblZobelR->text(), QStringLiteral("not used"));
    QCOMPARE(w->LblZobelC->text(), QStringLiteral("not used"));
    // Second order: reversed tweeter; 2,500 Hz is below twice the tweeter's Fs of 1,300 Hz.
    QVERIFY(w->LblCrossoverNotes->text().contains("reversed polarity"));
    QVERIFY(w->LblCrossoverNotes->text().contains("below twice the tweeter's Fs (2,600 Hz)"));
    QVERIFY(w->LblCrossoverNotes->text().contains("resistive loads"));

    // Re 6.4 Ohms, Le 0.5 mH: R = 1.25 x 6.4 = 8 Ohms, C = 0.0005 / 8^2 = 7.8125 uF.
    w->TxtRe->setText("6.4");
    w->TxtL->setText("0.5");
    w->Text1->setText("1200");
    w->OptCrossoverType[4]->setChecked(true);
    QTest::mouseClick(w->CmdCalculateCrossover, Qt::LeftButton);
    QCOMPARE(w->LblZobelR->text(), QStringLiteral("8.00 Ohms"));
    QCOMPARE(w->LblZobelRE12->text(), QStringLiteral("8.2 Ohms"));
    QCOMPARE(w->LblZobelC->text(), QStringLiteral("7.81 µF"));
    QCOMPARE(w->LblZobelCE12->text(), QStringLiteral("8.2 µF"));
    QVERIFY(w->LblCrossoverNotes->text().contains("normal polarity"));
    QVERIFY(!w->LblCrossoverNotes->text().contains("below twice"));
}

void TestCrossover::valueBeyondItsShownUnitIsAFault()
{
    // Re 1e-153 ohms with Le 1 mH: C = 0.001 / (1.25e-153)^2 = 6.4e302 F is a number, but 6.4e308 uF
    // is not, so the design is refused before anything is shown.
    crossover::Input in;
    in.type = 0;
    in.wooferOhms = in.tweeterOhms = 8;
    in.wooferHz = in.tweeterHz = 3000;
    in.reOhms = 1e-153;
    in.leHenries = 0.001;
    QVERIFY_THROWS_EXCEPTION(kelvane::CalcFault, crossover::design(in));
    in.reOhms = 6.4;
    QVERIFY(crossover::design(in).zobel.used);
}

void TestCrossover::missingOrBadDataChangesNothing_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no woofer impedance") << "TxtZ" << "" << Program::MoreDataNeededText << "TxtZ";
    QTest::newRow("no tweeter impedance") << "Text2" << "" << Program::MoreDataNeededText << "Text2";
    QTest::newRow("woofer crossover 0") << "Text3" << "0" << Program::MoreDataNeededText << "Text3";
    QTest::newRow("no tweeter crossover") << "Text4" << "" << Program::MoreDataNeededText << "Text4";
    QTest::newRow("no type") << "" << "" << Program::MoreDataNeededText << "OptCrossoverType(0)";
    QTest::newRow("pasted tweeter impedance") << "Text2" << "8 Ohm" << Program::NumberErrorText << "Text2";
    QTest::newRow("Re that is no number") << "TxtRe" << "1.2.3" << Program::NumberErrorText << "TxtRe";
    // 1E-320 Hz: an inductance beyond any double.
    QTest::newRow("frequency too small for any part")
        << "Text3" << QStringLiteral("0.") + QString(319, QLatin1Char('0')) + QStringLiteral("1")
        << Program::NumberErrorText << "";
}

void TestCrossover::missingOrBadDataChangesNothing()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    auto w = freshWindow();
    enterCrossover(w.get(), 2, "8", "8", "3000", "3000");
    QTest::mouseClick(w->CmdCalculateCrossover, Qt::LeftButton);
    const QStringList parts = shown(w->LblWooferPart) + shown(w->LblTweeterPart);
    const QStringList plan = w->PicCrossoverPlan->texts();
    const QStringList plot = w->Picture1->texts();

    if (field.isEmpty()) {
        // A fresh window: none of the types is selected.
        w = freshWindow();
        enterCrossover(w.get(), -1, "8", "8", "3000", "3000");
    } else {
        find<QLineEdit>(w.get(), field)->setText(text);
    }
    w->TxtRe->setFocus();
    MessageCatcher catcher;
    QTest::mouseClick(w->CmdCalculateCrossover, Qt::LeftButton);
    settle();
    QCOMPARE(catcher.texts(), QStringList{message});
    if (!focus.isEmpty()) {
        QVERIFY(w->focusWidget());
        QCOMPARE(w->focusWidget()->objectName(), focus);
    }
    if (!field.isEmpty()) {
        QCOMPARE(shown(w->LblWooferPart) + shown(w->LblTweeterPart), parts);
        QCOMPARE(w->PicCrossoverPlan->texts(), plan);
        QCOMPARE(w->Picture1->texts(), plot);
        QCOMPARE(w->Z, 8.0);
    } else {
        QVERIFY(w->LblWooferPart[0]->text().isEmpty());
        QVERIFY(!w->CmdSavePlan->isEnabled());
    }
}

void TestCrossover::typesAreOneExclusiveGroup()
{
    auto w = freshWindow();
    w->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
    QCOMPARE(FrmKelvane::selectedIndex(w->OptCrossoverType), -1);
    QTest::mouseClick(w->OptCrossoverType[1], Qt::LeftButton, {}, QPoint(6, 6));
    QTest::mouseClick(w->OptCrossoverType[3], Qt::LeftButton, {}, QPoint(6, 6));
    QCOMPARE(FrmKelvane::selectedIndex(w->OptCrossoverType), 3);
    QVERIFY(!w->OptCrossoverType[1]->isChecked());
}

void TestCrossover::readoutUnderTheMouse()
{
    auto w = freshWindow();
    w->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
    // The middle of the axis, x = (48 + 616) / 2 = 332, is sqrt(20 x 20,000) = 632 Hz; y = 237 is
    // 6 - (237 - 48) / 9 = -15 dB.
    QMouseEvent move(QEvent::MouseMove, QPointF(332, 237), w->Picture1->mapToGlobal(QPointF(332, 237)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->Picture1, &move);
    QCOMPARE(w->TxtCrossoverFreqXNum->text(), QStringLiteral("632 Hz"));
    QCOMPARE(w->TxtCrossoverYNum->text(), QStringLiteral("-15.0 dB"));
}

void TestCrossover::planSavedAfterTheDriver()
{
    QTemporaryDir folder;
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());
    auto w = freshWindow();
    QVERIFY(w->PicCrossoverPlan->texts().contains("No crossover has been calculated yet."));
    QVERIFY(!w->CmdSavePlan->isEnabled() && !w->CmdPrintPlan->isEnabled());
    enterCrossover(w.get(), 0, "8", "8", "3000", "3000");
    QTest::mouseClick(w->CmdCalculateCrossover, Qt::LeftButton);
    w->SSTab->setCurrentIndex(FrmKelvane::TabCrossoverPlans);
    MessageCatcher catcher;
    QTest::mouseClick(w->CmdSavePlan, Qt::LeftButton);
    QVERIFY(QFileInfo::exists("CrossoverPlan.bmp"));
    w->DriverName = "W8";
    QTest::mouseClick(w->CmdSavePlan, Qt::LeftButton);
    QVERIFY(QFileInfo::exists("W8Plan.bmp"));
    w->DriverName = "a/b";
    QTest::mouseClick(w->CmdSavePlan, Qt::LeftButton);
    settle();
    QDir::setCurrent(before);
    QCOMPARE(catcher.texts(), QStringList{"The image could not be saved to a/bPlan.bmp."});
}

QTEST_MAIN(TestCrossover)
#include "tst_crossover.moc"
