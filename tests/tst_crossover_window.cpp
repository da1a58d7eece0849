// SPDX-License-Identifier: GPL-3.0-or-later
// The Crossover tab's drivers in the window: what the labels say is used, the parts as built, files
// loaded and refused, the simulated graphs and their readouts, the notes, the design file and the
// command line's CSV.

#include "TestSupport.h"
#include "app/CrossoverDriversPanel.h"
#include "common/NumberText.h"
#include "crossover/CrossoverCore.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QProcess>

using namespace testsupport;

namespace {

// A second-order Linkwitz-Riley at 2 kHz on 8 ohms: L = 2 R / w = 1.273 mH and C = 1 / (2 R w) =
// 4.974 uF (by hand), whose nearest E12 values are 1.2 mH and 4.7 uF; the woofer with Re 6 ohms.
const QString Calculated = Driver30 + "TxtQes=0.45; CmdCalculateInput; tab=3; TxtRe=6; TxtL=0.5; TxtZ=8; Text2=8; "
                                      "Text3=2000; Text4=2000; OptCrossoverType(2); CmdCalculateCrossover";

// A text file of points from `from` to `to` Hz, 20 to the octave, at `value` (and phase 0), in the
// shape measuring programs write: comments, a header line, blanks and CRLF.
void writeCurve(const QString &path, double from, double to, double value)
{
    QByteArray text = "* made by the test\r\nFreq[Hz]  dB  Phase[Deg]\r\n";
    for (double f = from; f <= to * 1.0001; f *= std::pow(2.0, 1.0 / 20))
        text += QByteArray::number(f, 'f', 3) + "\t" + QByteArray::number(value) + "  0\r\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
}

QString csvOf(FrmKelvane *w)
{
    const auto &sim = w->Crossover->CrossoverDrivers->simulation();
    return sim ? crossover::simulationCsv(*sim) : QString();
}

std::size_t pointNear(const crossover::Simulation &s, double hz)
{
    return std::size_t(std::min_element(s.grid.hz.begin(), s.grid.hz.end(),
                                        [hz](double a, double b) { return std::abs(std::log(a / hz)) < std::abs(std::log(b / hz)); })
                       - s.grid.hz.begin());
}

} // namespace

class TestCrossoverWindow : public QObject
{
    Q_OBJECT

private slots:
    void behaviour_data()
    {
        addStepColumns();
        const auto row = [](const char *name, const QString &steps, const char *messages, const QString &shows) {
            QTest::newRow(name) << steps << messages << shows;
        };
        // The tweeter's level without a file: the woofer's 89.07 dB at 1 W / 1 m (2.7e-8 Fs^3 Vas / Qes)
        // + 10 log10(2.83^2 / 6) = 90.3 dB at 2.83 V. EBP 30 / 0.45 = 67: either box, so sealed.
        row("calculated", Calculated, "",
            "TxtWooferPartUsed(0)=1.2; TxtWooferPartUsed(1)=4.7; TxtWooferPartUsed(2)=; TxtTweeterPartUsed(0)=4.7; "
            "TxtTweeterPartUsed(1)=1.2; ChkTweeterReversed=on; LblWooferData=modelled: sealed box of the Box Model; "
            "LblTweeterData=nominal: 8 ohms, flat at 90.3 dB");
        row("tweeter level typed", Calculated + "; TxtTweeterSPL<92.5", "", "LblTweeterData=nominal: 8 ohms, flat at 92.5 dB");
        row("keys filtered", Calculated + "; TxtWooferPartUsed(0)<1a.5", "", "TxtWooferPartUsed(0)=1.5");
        row("zero used value", Calculated + "; TxtWooferPartUsed(1)<0", "number", "TxtWooferPartUsed(1)=4.7");
        row("offset in front", Calculated + "; TxtAcousticOffset<-2-0", "", "TxtAcousticOffset=-20");
        row("third order starts normal", Driver30 + "CmdCalculateInput; tab=3; TxtRe=6; TxtZ=8; Text2=8; Text3=2000; "
            "Text4=2000; OptCrossoverType(3); CmdCalculateCrossover", "", "ChkTweeterReversed=off");
    }
    void behaviour()
    {
        auto w = freshWindow();
        checkRow(w.get());
    }

    // A flat 92 dB file with an 8-ohm impedance file sounds as the nominal tweeter at 92 dB where it
    // has data; below its first point the tweeter and the sum have none.
    void filesLikeNominal()
    {
        QTemporaryDir dir;
        writeCurve(dir.filePath("tw.frd"), 1000, 20000, 92);
        writeCurve(dir.filePath("tw.zma"), 1000, 20000, 8);
        auto w = freshWindow();
        act(w.get(), Calculated + "; TxtTweeterSPL<92");
        const crossover::Simulation nominal = *w->Crossover->CrossoverDrivers->simulation();
        MessageCatcher catcher;
        QVERIFY(w->Crossover->CrossoverDrivers->loadFile(CrossoverDriversPanel::TweeterResponse, dir.filePath("tw.frd")));
        QVERIFY(w->Crossover->CrossoverDrivers->loadFile(CrossoverDriversPanel::TweeterImpedance, dir.filePath("tw.zma")));
        QCOMPARE(catcher.shown(), QString());
        // From 1 kHz up to 20 kHz at 20 to the octave: 4.32 octaves, 86 steps to 1000 x 2^(86/20) =
        // 19.7 kHz, 87 points.
        QCOMPARE(w->Crossover->CrossoverDrivers->LblTweeterData->text(),
                 QStringLiteral("tw.frd (87 points, 1 kHz to 19.7 kHz); tw.zma (87 points, 1 kHz to 19.7 kHz)"));
        const crossover::Simulation &s = *w->Crossover->CrossoverDrivers->simulation();
        for (double hz : {1500.0, 4000.0, 15000.0}) {
            const std::size_t k = pointNear(s, hz);
            QVERIFY2(std::abs(s.tweeter.db[k] - nominal.tweeter.db[k]) < 0.01, qPrintable(QString::number(hz)));
            QVERIFY(std::abs(s.woofer.db[k] - nominal.woofer.db[k]) < 1e-9);
        }
        QVERIFY(!s.tweeter.has(pointNear(s, 500)) && !s.sum.has(pointNear(s, 500)));
        QVERIFY(s.sum.has(pointNear(s, 1500)));
    }

    // A refused file shows its one message naming the line and changes nothing.
    void refusedFile()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("bad.frd"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("100 90\n200 91\n150 92\n400 90\n") > 0);
        file.close();
        auto w = freshWindow();
        act(w.get(), Calculated);
        const QString before = csvOf(w.get()), label = w->Crossover->CrossoverDrivers->LblWooferData->text();
        MessageCatcher catcher;
        QVERIFY(!w->Crossover->CrossoverDrivers->loadFile(CrossoverDriversPanel::WooferResponse, file.fileName()));
        settle();
        QCOMPARE(catcher.messages.size(), 1);
        QVERIFY2(catcher.messages[0].text.startsWith(QStringLiteral("bad.frd: line 3")), qPrintable(catcher.shown()));
        QCOMPARE(w->Crossover->CrossoverDrivers->LblWooferData->text(), label);
        QCOMPARE(csvOf(w.get()), before);
    }

    // A larger series coil lowers the woofer's top: at 3 kHz, above the crossover, the woofer falls
    // further with 2.2 mH than with 1.2 mH; the tweeter's section stays as it was.
    void usedValueChangesResponse()
    {
        auto w = freshWindow();
        act(w.get(), Calculated);
        const crossover::Simulation before = *w->Crossover->CrossoverDrivers->simulation();
        act(w.get(), "TxtWooferPartUsed(0)<2.2");
        const crossover::Simulation &after = *w->Crossover->CrossoverDrivers->simulation();
        const std::size_t k = pointNear(after, 3000);
        QVERIFY(after.woofer.db[k] < before.woofer.db[k] - 2);
        QVERIFY(std::abs(std::abs(after.tweeterVoltage[k]) - std::abs(before.tweeterVoltage[k])) < 0.05);
    }

    // Each graph draws its own picture with its readouts reading its curves; "Filter sections"
    // comes back as it was.
    void graphs_data()
    {
        QTest::addColumn<int>("graph");
        QTest::addColumn<QString>("legend");
        QTest::newRow("response") << 1 << "Blue - Woofer";
        QTest::newRow("phase") << 2 << "Blue - Woofer";
        QTest::newRow("impedance") << 3 << "Blue - Impedance (ohms)";
    }
    void graphs()
    {
        const int graph = fetch<int>("graph");
        auto w = freshWindow();
        act(w.get(), Calculated);
        w->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
        settle();
        const QStringList sections = w->Crossover->Picture1->texts();
        w->Crossover->CrossoverDrivers->CboCrossoverGraph->setCurrentIndex(graph);
        QVERIFY(w->Crossover->Picture1->texts().contains(fetch<QString>("legend")));
        QVERIFY(w->Crossover->Picture1->texts().contains(w->Crossover->CrossoverDrivers->CboCrossoverGraph->currentText()));
        namespace plot = crossover::plot;
        const graphgeo::PlotLayout l = graphgeo::plotLayout(w->Crossover->Picture1->width(), w->Crossover->Picture1->height(), plot::Left,
                                                            plot::Top, plot::Right, plot::Bottom);
        w->Crossover->Picture1->onMouseMove(l.x(plot::x(1000)), l.y(300));
        const crossover::Simulation &s = *w->Crossover->CrossoverDrivers->simulation();
        const std::size_t k = pointNear(s, 1000);
        QCOMPARE(w->Crossover->TxtCrossoverFreqXNum->text(), QStringLiteral("1,000 Hz"));
        const QString woofer = w->Crossover->CrossoverDrivers->TxtCrossoverWooferNum->text();
        if (graph == 1)
            QCOMPARE(woofer, kelvane::formatNumber(s.woofer.db[k], QStringLiteral("##,##0.0 dB")));
        else if (graph == 2)
            QCOMPARE(woofer, kelvane::formatNumber(crossover::wrapDeg(s.woofer.phaseDeg[k]), QStringLiteral("#0 deg")));
        else
            QCOMPARE(woofer, kelvane::formatNumber(std::abs(s.impedance[k]), QStringLiteral("#0.00 ohms")));
        // At the top edge of the plot the level readout reads the top label of the value axis drawn
        // (the label that carries the unit, "100 dB").
        if (graph != 2) {
            w->Crossover->Picture1->onMouseMove(l.x(plot::x(1000)), l.y(plot::Top) + 0.01);
            const QString unit = graph == 1 ? QStringLiteral(" dB") : QStringLiteral(" ohms");
            QString top;
            for (const QString &t : w->Crossover->Picture1->texts())
                if (t.endsWith(unit) && t.front().isDigit())
                    top = t.chopped(unit.size());
            const double shown = w->Crossover->TxtCrossoverYNum->text().section(QLatin1Char(' '), 0, 0).remove(QLatin1Char(',')).toDouble();
            QVERIFY2(!top.isEmpty() && std::abs(shown - top.toDouble()) < 0.1, qPrintable(top + " / " + w->Crossover->TxtCrossoverYNum->text()));
        }
        w->Crossover->CrossoverDrivers->CboCrossoverGraph->setCurrentIndex(0);
        QCOMPARE(w->Crossover->Picture1->texts(), sections);
        QVERIFY(w->Crossover->CrossoverDrivers->TxtCrossoverWooferNum->isHidden());
    }

    // Once simulated the notes add where the amplifier's load is lowest and how flat the sum is.
    void notes()
    {
        auto w = freshWindow();
        act(w.get(), Calculated);
        const crossover::Simulation &s = *w->Crossover->CrossoverDrivers->simulation();
        const QString text = w->Crossover->LblCrossoverNotes->text();
        QVERIFY2(text.startsWith(QStringLiteral("Notes: ")), qPrintable(text));
        QVERIFY2(text.endsWith(crossover::lowestImpedanceNote(s) + QStringLiteral(". ") + crossover::sumNote(s) + QLatin1Char('.')), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("The amplifier sees")) && text.contains(QStringLiteral("The sum stays within")));
        // The build sheet lists the parts as built (the E12 values 1.2 mH and 4.7 uF worked out above)
        // and the lowest impedance.
        act(w.get(), "TxtWooferPartUsed(0)<1.5");
        const kelvane::sheet::Snapshot sheet = w->buildSheetSnapshot();
        QCOMPARE(sheet.wooferBuilt, (std::vector<double>{1.5e-3, 4.7e-6}));
        QCOMPARE(sheet.lowestImpedance, crossover::lowestImpedanceNote(*w->Crossover->CrossoverDrivers->simulation()));
    }

    // The files, the used values and the choices travel inside the design file.
    void designRoundTrip()
    {
        InTempFolder here;
        writeCurve(QStringLiteral("tw.frd"), 800, 20000, 91);
        auto w = freshWindow();
        act(w.get(), Calculated + "; TxtWooferPartUsed(0)<1.5; TxtAcousticOffset<25; TxtTweeterSPL<89");
        QVERIFY(w->Crossover->CrossoverDrivers->loadFile(CrossoverDriversPanel::TweeterResponse, QStringLiteral("tw.frd")));
        w->Crossover->CrossoverDrivers->ChkTweeterReversed->setChecked(false);
        w->Crossover->CrossoverDrivers->CboCrossoverBox->setCurrentIndex(1);
        w->Crossover->CrossoverDrivers->CboCrossoverGraph->setCurrentIndex(1);
        const QString names = "TxtWooferPartUsed(0); TxtWooferPartUsed(1); TxtTweeterPartUsed(0); TxtAcousticOffset; "
                              "TxtTweeterSPL; ChkTweeterReversed; LblWooferData; LblTweeterData; LblCrossoverNotes";
        const QString before = shown(w.get(), names);
        QVERIFY(before.contains(QStringLiteral("modelled: vented box")));
        QVERIFY(w->Files->saveDesign(QStringLiteral("with data.kelvane")));
        QFile::remove(QStringLiteral("tw.frd")); // the design keeps the points, not a path
        auto other = freshWindow();
        QVERIFY(other->Files->openDesign(QStringLiteral("with data.kelvane")));
        QCOMPARE(shown(other.get(), names), before);
        QCOMPARE(other->Crossover->CrossoverDrivers->CboCrossoverGraph->currentIndex(), 1);
        QCOMPARE(csvOf(other.get()), csvOf(w.get()));
    }

    // A design larger than a design file may be (long curves kept inside it: two files of 600,000
    // points, some 10 MB each in the design) is not written, with the message of a design that cannot
    // be saved, since it would never open again.
    void designTooLargeIsNotSaved()
    {
        InTempFolder here;
        QByteArray text;
        for (int i = 0; i < 600000; ++i)
            text += QByteArray::number(20 + i * 0.0333, 'f', 4) + "\t90 0\n";
        for (const char *name : {"w.frd", "t.frd"}) {
            QFile f{QString::fromLatin1(name)};
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        }
        auto w = freshWindow();
        act(w.get(), Calculated);
        QVERIFY(w->Crossover->CrossoverDrivers->loadFile(CrossoverDriversPanel::WooferResponse, QStringLiteral("w.frd")));
        QVERIFY(w->Crossover->CrossoverDrivers->loadFile(CrossoverDriversPanel::TweeterResponse, QStringLiteral("t.frd")));
        MessageCatcher catcher;
        QVERIFY(!w->Files->saveDesign(QStringLiteral("big.kelvane")));
        settle();
        QCOMPARE(catcher.messages.size(), 1);
        QVERIFY2(catcher.messages[0].text.startsWith(QStringLiteral("The design could not be saved to")), qPrintable(catcher.shown()));
        QVERIFY(!QFile::exists(QStringLiteral("big.kelvane")));
    }

    // The command line writes the same CSV as the window; every problem is one line and exit 1.
    void commandLine()
    {
        InTempFolder here;
        writeCurve(QStringLiteral("tw.zma"), 500, 20000, 6);
        QFile bad(QStringLiteral("bad.frd"));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("20 90\n") > 0);
        bad.close();
        auto w = freshWindow();
        act(w.get(), Calculated);
        QVERIFY(w->Files->saveDesign(QStringLiteral("x.kelvane")));
        QVERIFY(w->Crossover->CrossoverDrivers->loadFile(CrossoverDriversPanel::TweeterImpedance, QStringLiteral("tw.zma")));
        act(w.get(), "TxtAcousticOffset<12");
        const QString expected = csvOf(w.get());
        auto uncalculated = freshWindow();
        act(uncalculated.get(), Driver30 + "CmdCalculateInput");
        QVERIFY(uncalculated->Files->saveDesign(QStringLiteral("none.kelvane")));

        const auto run = [](const QStringList &args) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(KELVANE_EXE), QStringList{"--crossover-curves"} + args);
            p.waitForFinished(60000);
            return std::pair{p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
        };
        const auto [code, errors] = run({"x.kelvane", "out.csv", "--tweeter-impedance", "tw.zma", "--offset", "12"});
        QCOMPARE(errors, QString());
        QCOMPARE(code, 0);
        QFile out(QStringLiteral("out.csv"));
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QString csv = QString::fromUtf8(out.readAll());
        QCOMPARE(csv.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Frequency (Hz),Woofer (dB),Woofer phase (deg),Tweeter (dB),Tweeter phase (deg),Sum (dB),"
                                "Sum phase (deg),Impedance (ohm),Impedance phase (deg)"));
        QCOMPARE(csv, expected);

        const QList<QStringList> refused = {{"none.kelvane", "a.csv"},
                                            {"x.kelvane", "a.csv", "--woofer-response", "bad.frd"},
                                            {"x.kelvane", "a.csv", "--offset", "far"},
                                            {"missing.kelvane", "a.csv"},
                                            {"x.kelvane"}};
        for (const QStringList &args : refused) {
            const auto [refusedCode, message] = run(args);
            QCOMPARE(refusedCode, 1);
            QVERIFY2(message.startsWith(QStringLiteral("kelvane: ")) && message.count(QLatin1Char('\n')) == 1, qPrintable(message));
        }
    }
};

QTEST_MAIN(TestCrossoverWindow)
#include "tst_crossover_window.moc"
