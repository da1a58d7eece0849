// SPDX-License-Identifier: GPL-3.0-or-later
// Several drivers in one box: the equivalent driver of a group, the Box Model tab's count, wiring and
// isobaric controls, and the group through the models, the impedance, the design file and the sheet.

#include "TestSupport.h"
#include "app/AnalysisTab.h"
#include "driver/DriverGroup.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>

using namespace testsupport;
namespace design = kelvane::design;

namespace {

// The woofer of the group line's example: 85 l, 220 cm², Re 5.6, 8 ohms.
const QString Woofer = "OptVas(1); TxtFs=30; TxtQts=0.4; TxtQes=0.458; TxtVas=85; TxtSd=220; TxtRe=5.6; TxtL=0.8; TxtZ=8; tab=1; ";

// The sealed box's impedance as the Analysis tab exports it, 10 to 500 Hz.
std::vector<double> sealedImpedance(FrmKelvane *w)
{
    act(w, "tab=7");
    for (const design::CurveColumn &c : w->Analysis->exportColumns())
        if (c.heading.startsWith(QLatin1String("Sealed impedance")))
            return {c.values->begin() + 10, c.values->end()};
    return {};
}

} // namespace

class TestDriverGroup : public QObject
{
    Q_OBJECT

private slots:
    // A driver of unit values gives the group's factors, worked from the rules: side by side N times
    // Vas, Sd, Vd, Mms and power; N/2 isobaric pairs Vas N/4, Sd and Vd N/2, Mms and power N; series
    // N Re, parallel Re/N, series-parallel one Re; efficiency 10 log10(Vas factor) dB.
    void equivalentDriver_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("wiring");
        QTest::addColumn<bool>("isobaric");
        QTest::addColumn<QList<double>>("factors"); // Vas, Sd, Vd, Mms, power, Re (= Le = Z), dB
        QTest::newRow("2 side by side in parallel") << 2 << 0 << false << QList<double>{2, 2, 2, 2, 2, 0.5, 3.0103};
        QTest::newRow("an isobaric pair in series") << 2 << 1 << true << QList<double>{0.5, 1, 1, 2, 2, 2, -3.0103};
        QTest::newRow("4 series-parallel as 2 pairs") << 4 << 2 << true << QList<double>{1, 2, 2, 4, 4, 1, 0};
        QTest::newRow("series-parallel only for 4") << 3 << 2 << false << QList<double>{3, 3, 3, 3, 3, 1 / 3.0, 4.7712};
        QTest::newRow("pairs only for an even count") << 3 << 1 << true << QList<double>{3, 3, 3, 3, 3, 3, 4.7712};
    }
    void equivalentDriver()
    {
        QFETCH(QList<double>, factors);
        const auto g = kelvane::driver::group({1, 1, 1, 1, 1, 1, 1, 1}, fetch<int>("count"),
                                              kelvane::driver::Wiring(fetch<int>("wiring")), fetch<bool>("isobaric"));
        const auto &e = g.equivalent;
        const QList<double> got{e.vas, e.sd, e.vd, e.mms, e.power, e.re, g.efficiencyDb};
        for (int i = 0; i < factors.size(); ++i)
            QVERIFY2(std::abs(got[i] - factors[i]) < 1e-4, qPrintable(QStringLiteral("value %1: %2").arg(i).arg(got[i])));
        QVERIFY(e.le == e.re && e.z == e.re);
    }

    // Two drivers side by side keep Fc, Fb and F3 in twice the volume; an isobaric pair keeps them in
    // half, with 3.01 dB less than one driver. By hand: Vb = Vas / ((Qtc/Qts)^2 - 1), Fc = Fs Qtc /
    // Qts; the middle loss-Q fit (Vb proportional to Vas, Fb not depending on it, both rounded as the
    // fields show them), the vented response's -3 dB point by bisection; SPL = 10 log10(2.7e-8 Fs^3
    // Vas / Qes) + 112.2 with Qes = 3 Qts / (3 - Qts).
    void sameTuningInGroupVolume_data()
    {
        addStepColumns();
        const auto rows = [](const char *driver, const QString &steps, const QString &tuning, const QStringList &volumes) {
            const char *groups[] = {"one", "two", "an isobaric pair of"};
            const QString counts[] = {"", "TxtDriverCount<2; ", "TxtDriverCount<2; ChkIsobaric; "};
            for (int k = 0; k < 3; ++k) {
                const QStringList v = volumes[k].split(u' ');
                QTest::addRow("%s %s", groups[k], driver) << steps + "tab=1; " + counts[k] + "CmdCalculate" << ""
                    << tuning + "; LblCBVolume(0)=" + v[0] + "; LblVBVolume(5)=" + v[1] + "; LblSPL=" + v[2]
                           + (k ? "" : "; LblDriverGroup="); // one driver is no group
            }
        };
        rows("50 Hz", Driver50, "LblCFb(0)=101.0; LblCF3(0)=101.0; LblVFb(5)=57.3; LblVF3(5)=63.4",
             {"0.649 1.115 94.51", "1.299 2.231 97.52", "0.325 0.558 91.50"});
        rows("30 Hz", Driver30, "LblCFb(0)=53.0; LblCF3(0)=53.0; LblVFb(5)=30.4; LblVF3(5)=30.6",
             {"1.412 2.700 88.96", "2.825 5.399 91.97", "0.706 1.350 85.95"});
    }
    void sameTuningInGroupVolume() { checkRow(freshWindow().get()); }

    // Enter on the Vas field keeps Vas as Calculate does, for the drivers together (3 cu ft each:
    // 6 side by side, 1.5 as an isobaric pair), so graphs drawn after it still match the boxes on
    // offer. Opening a design keeps it the same way.
    void enteredVasIsTheGroups_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<double>("vas");
        QTest::newRow("one driver") << "" << 3.0;
        QTest::newRow("two side by side") << "TxtDriverCount<2; " << 6.0;
        QTest::newRow("an isobaric pair") << "TxtDriverCount<2; ChkIsobaric; " << 1.5;
    }
    void enteredVasIsTheGroups()
    {
        QFETCH(QString, group);
        QFETCH(double, vas);
        auto w = freshWindow();
        act(w.get(), Driver30 + "tab=1; " + group + "tab=0");
        InTempFolder folder;
        QVERIFY(w->Files->saveDesign(folder.path("g.kelvane"))); // not calculated: opened, nothing recalculates
        auto opened = freshWindow();
        QVERIFY(opened->Files->openDesign(folder.path("g.kelvane")));
        QCOMPARE(opened->State.Vas, vas);
        act(w.get(), "CmdCalculate; tab=0");
        QCOMPARE(w->State.Vas, vas);
        w->Input->TxtVas->setFocus();
        QTest::keyClick(w->Input->TxtVas, Qt::Key_Return);
        settle();
        QVERIFY(w->BoxModel->CmdFrequency->isEnabled());
        QCOMPARE(w->State.Vas, vas);
    }

    // The example: 2 x 85 l, 2 x 220 cm², 8 / 2 ohms; 92.0 dB at 1 W by the SPL above with Fs 30, Qes
    // 0.458 and 170 l; at 2.83 V 10 log10(2.83^2 / 2.8) = +4.56 dB (Re 5.6 / 2), -1.46 dB in series
    // (5.6 x 2). A new wiring keeps the results; the library gets one driver; four offer series-parallel.
    void groupLine()
    {
        auto w = freshWindow();
        act(w.get(), Woofer + "TxtDriverCount<2; CmdCalculate");
        QCOMPARE(w->BoxModel->LblDriverGroup->text(), "2 drivers in parallel: 4.0 ohms, Vas 170 l, Sd 440 cm², 92.0 dB at 1 W, 96.6 dB at 2.83 V");
        w->BoxModel->CboWiring->setCurrentIndex(1);
        QCOMPARE(w->BoxModel->LblDriverGroup->text(), "2 drivers in series: 16.0 ohms, Vas 170 l, Sd 440 cm², 92.0 dB at 1 W, 90.5 dB at 2.83 V");
        QVERIFY(w->BoxModel->CmdFrequency->isEnabled());
        QCOMPARE(w->currentDriver().vas, 85.0);
        act(w.get(), "TxtDriverCount<4");
        QCOMPARE(w->BoxModel->CboWiring->count(), 3);
        QCOMPARE(w->BoxModel->CboWiring->currentIndex(), 0);
        // Sd from a 20 cm diameter: pi (0.85 x 200 mm)^2 / 4 = 226.98 cm², four of them 908 cm².
        act(w.get(), "tab=0; TxtSd=; OptDia(1); TxtDia=20; tab=1");
        QCOMPARE(w->BoxModel->LblDriverGroup->text(), "4 drivers in parallel: 2.0 ohms, Vas 340 l, Sd 908 cm²");
    }

    // 2 in series (parallel) in twice the box: Re, Le and Bl^2 are 2 (1/2) times one driver's and the
    // box keeps Vas / Vb, so the impedance curve is twice (half) the single driver's in its box.
    void impedanceFollowsTheWiring()
    {
        auto one = freshWindow(), two = freshWindow();
        act(one.get(), Woofer + "OptVolBox; TxtCBV=1; CmdCalculate");
        act(two.get(), Woofer + "TxtDriverCount<2; OptVolBox; TxtCBV=2; CmdCalculate");
        const std::vector<double> single = sealedImpedance(one.get());
        for (const auto &[wiring, factor] : {std::pair{0, 0.5}, {1, 2.0}}) {
            two->BoxModel->CboWiring->setCurrentIndex(wiring);
            const std::vector<double> group = sealedImpedance(two.get());
            QCOMPARE(group.size(), std::size_t(491));
            for (std::size_t i = 0; i < group.size(); ++i)
                QVERIFY2(std::abs(group[i] / (factor * single[i]) - 1) < 1e-9, qPrintable(QString::number(i + 10)));
        }
    }

    void messages_data()
    {
        addStepColumns();
        const QString off = "CmdFrequency=off";
        QTest::newRow("0 refused") << "tab=1; TxtDriverCount<0" << "count" << "TxtDriverCount=1";
        QTest::newRow("9 refused") << "tab=1; TxtDriverCount<9" << "count" << "TxtDriverCount=1";
        QTest::newRow("half a driver refused") << "tab=1; TxtDriverCount<2.5" << "count" << "TxtDriverCount=1";
        QTest::newRow("8 taken, the wiring next") << "tab=1; TxtDriverCount<08" << "" << "TxtDriverCount=8; focus=CboWiring";
        QTest::newRow("a pasted count stops Calculate Box") << Driver30 + "TxtDriverCount=12; CmdCalculateInput" << "count"
                                                           << "tab=1; focus=TxtDriverCount; " + off;
        QTest::newRow("a count resets the model") << Driver30 + "CmdCalculate; tab=1; TxtDriverCount<3" << ""
                                                  << "TxtVBV=; TxtQtc=0.707; " + off;
        QTest::newRow("pairs reset it too") << Driver30 + "tab=1; TxtDriverCount<2; CmdCalculate; ChkIsobaric" << ""
                                            << "ChkIsobaric=on; TxtVBV=; LblDriverGroup=2 drivers in parallel as 1 isobaric pair: Vas 42 l; " + off;
        QTest::newRow("an odd count clears the pairs") << "tab=1; TxtDriverCount<2; ChkIsobaric; TxtDriverCount<3" << ""
                                                       << "ChkIsobaric=off; LblDriverGroup=3 drivers in parallel";
    }
    void messages() { checkRow(freshWindow().get()); }

    // A group reopens as saved; a design of one driver keeps none of the group's entries.
    void designFile()
    {
        QTemporaryDir dir;
        const QString names = "TxtDriverCount; ChkIsobaric; LblDriverGroup; LblCBVolume(0); LblVBVolume(5); LblSPL";
        QString saved;
        {
            auto w = freshWindow();
            QVERIFY(w->Files->saveDesign(dir.filePath("one.kelvane")));
            act(w.get(), Woofer + "TxtDriverCount<4; ChkIsobaric");
            w->BoxModel->CboWiring->setCurrentIndex(2);
            act(w.get(), "CmdCalculate");
            saved = shown(w.get(), names);
            QVERIFY(w->Files->saveDesign(dir.filePath("four.kelvane")));
        }
        auto w = freshWindow();
        QVERIFY(w->Files->openDesign(dir.filePath("four.kelvane")));
        QCOMPARE(shown(w.get(), names), saved);
        QCOMPARE(w->BoxModel->CboWiring->currentIndex(), 2);
        QFile file(dir.filePath("one.kelvane"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        for (const char *key : {"TxtDriverCount", "CboWiring", "ChkIsobaric"})
            QVERIFY(!bytes.contains(key));
        QJsonObject root = QJsonDocument::fromJson(bytes).object(), box = root["boxModel"].toObject();
        // A wiring beside a count of "1" is one driver's; the pairs are not taken for given.
        for (const auto &[count, wiring, reason, read] :
             {std::tuple{"1", 1, "", 0}, {"2", 1, "", 1}, {"2", 3, "\"CboWiring\" is not one of its options", 0}}) {
            box["TxtDriverCount"] = count;
            box["CboWiring"] = wiring;
            root["boxModel"] = box;
            const design::ReadResult r = design::fromJson(QJsonDocument(root).toJson());
            QCOMPARE(r.reason, QLatin1String(reason));
            QVERIFY(r.design.drivers.wiring == read && !r.design.drivers.isobaric);
        }
    }

    // Cut-outs in rows and columns: two of 10 in need 10 x 20 (or 20 x 10), four 20 x 20 or 10 x 40.
    void sheetOfAGroup()
    {
        using namespace kelvane::sheet;
        QVERIFY(cutOutsFit(2, 10, 21, 12) && cutOutsFit(4, 10, 20, 20) && !cutOutsFit(4, 10, 21, 12) && !cutOutsFit(1, 10, 9, 30));
        Snapshot s;
        s.vbSealed = 1; // at the first side ratio 19.4 in high and 11.9 in wide: no room for 15 in
        s.drivers = {2, "2 drivers in series as 1 isobaric pair", 1, 15, true};
        QStringList texts;
        for (const Section &section : buildSheet(s, {false}, {}, {}).sections)
            for (const Item &item : section.items)
                if (const auto *p = std::get_if<Paragraph>(&item))
                    texts << p->text;
                else if (const auto *t = std::get_if<Table>(&item))
                    for (const QStringList &row : t->rows)
                        texts << row.join(u'=');
        QVERIFY(texts.contains("Drivers=2 drivers in series as 1 isobaric pair") && texts.contains("Driver cut-outs in the front panel=1"));
        QVERIFY(texts.contains(IsobaricNote));
        QCOMPARE(texts.filter(QRegularExpression("^Warning: 1 cut-out of")).size(), 1);
    }
};

QTEST_MAIN(TestDriverGroup)
#include "tst_drivergroup.moc"
