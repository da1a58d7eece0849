// SPDX-License-Identifier: GPL-3.0-or-later
// Several drivers in one box: the equivalent driver of a group, the count, wiring and isobaric
// controls of the Box Model tab, and the group through the models, the impedance, the design file
// and the build sheet.

#include "TestSupport.h"
#include "app/AnalysisTab.h"
#include "design/DesignFile.h"
#include "driver/DriverGroup.h"
#include "sheet/BuildSheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>

using namespace testsupport;
namespace driver = kelvane::driver;
namespace design = kelvane::design;

namespace {

// The 8-inch woofer of the group line's example: 85 l, 220 cm², Re 5.6, 8 ohms.
const QString Woofer = QStringLiteral("OptVas(1); TxtFs=30; TxtQts=0.4; TxtQes=0.458; TxtVas=85; TxtSd=220; TxtRe=5.6; "
                                      "TxtL=0.8; TxtZ=8; tab=1; ");

// The impedance the Analysis tab exports for the sealed box, 10 to 500 Hz.
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
    // One driver of unit values: the group's values are its factors, worked from the rules. Side by
    // side N times Vas, Sd, Vd, Mms and power; N/2 isobaric pairs Vas N/4, Sd and Vd N/2, Mms and
    // power N; series N Re, parallel Re/N, series-parallel one Re; efficiency 10 log10(Vas factor).
    void equivalentDriver_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("wiring");
        QTest::addColumn<bool>("isobaric");
        QTest::addColumn<QList<double>>("factors"); // Vas, Sd, Vd, Mms, power, Re (= Le = Z), dB
        QTest::newRow("2 side by side in parallel") << 2 << 0 << false << QList<double>{2, 2, 2, 2, 2, 0.5, 3.0103};
        QTest::newRow("3 in series") << 3 << 1 << false << QList<double>{3, 3, 3, 3, 3, 3, 4.7712};
        QTest::newRow("an isobaric pair in series") << 2 << 1 << true << QList<double>{0.5, 1, 1, 2, 2, 2, -3.0103};
        QTest::newRow("4 series-parallel as 2 pairs") << 4 << 2 << true << QList<double>{1, 2, 2, 4, 4, 1, 0};
        QTest::newRow("series-parallel only for 4") << 3 << 2 << false << QList<double>{3, 3, 3, 3, 3, 1 / 3.0, 4.7712};
        QTest::newRow("pairs only for an even count") << 3 << 0 << true << QList<double>{3, 3, 3, 3, 3, 1 / 3.0, 4.7712};
    }
    void equivalentDriver()
    {
        QFETCH(int, count);
        QFETCH(int, wiring);
        QFETCH(bool, isobaric);
        QFETCH(QList<double>, factors);
        const driver::DriverGroup g = driver::group({1, 1, 1, 1, 1, 1, 1, 1}, count, driver::Wiring(wiring), isobaric);
        const driver::DriverValues &e = g.equivalent;
        const QList<double> got{e.vas, e.sd, e.vd, e.mms, e.power, e.re, g.efficiencyDb};
        for (int i = 0; i < factors.size(); ++i)
            QVERIFY2(std::abs(got[i] - factors[i]) < 1e-4, qPrintable(QStringLiteral("value %1: %2").arg(i).arg(got[i])));
        QCOMPARE(e.le, e.re);
        QCOMPARE(e.z, e.re);
    }

    // Two drivers side by side in twice the volume keep Fc, Fb and F3; an isobaric pair keeps them
    // in half the volume, with 3.01 dB less sensitivity than one driver. Worked by hand from the
    // closed box (Vb = Vas / ((Qtc/Qts)^2 - 1), Fc = Fs Qtc / Qts), the middle loss-Q fit (Vb
    // proportional to Vas, Fb independent of it), the vented response's -3 dB point found by
    // bisection, and SPL = 10 log10(2.7e-8 Fs^3 Vas / Qes) + 112.2 with Qes = 3 Qts / (3 - Qts).
    void sameTuningInGroupVolume_data()
    {
        addStepColumns();
        const QString results = "LblCBVolume(0); LblCFb(0); LblCF3(0); LblVBVolume(5); LblVFb(5); LblVF3(5); LblSPL; ";
        const auto row = [&](const char *name, const QString &steps, const QString &values) {
            QTest::newRow(name) << steps + "CmdCalculate" << "" << values;
        };
        row("one 50 Hz driver", Driver50, "LblCBVolume(0)=0.649; LblCFb(0)=101.0; LblCF3(0)=101.0; LblVBVolume(5)=1.115; "
            "LblVFb(5)=57.3; LblVF3(5)=63.4; LblSPL=94.51; LblDriverGroup=");
        row("two 50 Hz drivers", Driver50 + "tab=1; TxtDriverCount<2; ", "LblCBVolume(0)=1.299; LblCFb(0)=101.0; "
            "LblCF3(0)=101.0; LblVBVolume(5)=2.231; LblVFb(5)=57.3; LblVF3(5)=63.4; LblSPL=97.52; "
            "LblDriverGroup=2 drivers in parallel: Vas 113 l, 97.5 dB at 1 W");
        row("an isobaric pair of 50 Hz drivers", Driver50 + "tab=1; TxtDriverCount<2; ChkIsobaric; ", "LblCBVolume(0)=0.325; "
            "LblCFb(0)=101.0; LblCF3(0)=101.0; LblVBVolume(5)=0.558; LblVFb(5)=57.3; LblVF3(5)=63.4; LblSPL=91.50; "
            "LblDriverGroup=2 drivers in parallel as 1 isobaric pair: Vas 28 l, 91.5 dB at 1 W");
        row("one 30 Hz driver", Driver30, "LblCBVolume(0)=1.412; LblCFb(0)=53.0; LblCF3(0)=53.0; LblVBVolume(5)=2.700; "
            "LblVFb(5)=30.4; LblVF3(5)=30.6; LblSPL=88.96");
        row("two 30 Hz drivers", Driver30 + "tab=1; TxtDriverCount<2; ", "LblCBVolume(0)=2.825; LblCFb(0)=53.0; "
            "LblCF3(0)=53.0; LblVBVolume(5)=5.399; LblVFb(5)=30.4; LblVF3(5)=30.6; LblSPL=91.97");
        row("an isobaric pair of 30 Hz drivers", Driver30 + "tab=1; TxtDriverCount<2; ChkIsobaric; ", "LblCBVolume(0)=0.706; "
            "LblCFb(0)=53.0; LblCF3(0)=53.0; LblVBVolume(5)=1.350; LblVFb(5)=30.4; LblVF3(5)=30.6; LblSPL=85.95");
    }
    void sameTuningInGroupVolume()
    {
        auto w = freshWindow();
        checkRow(w.get());
    }

    // The example: 2 x 85 l, 2 x 220 cm², 8 / 2 ohms; 92.0 dB at 1 W by the SPL formula above with
    // Fs 30, Qes 0.458 and 170 l; 2.83 V adds 10 log10(2.83^2 / 2.8) = 4.56 dB with Re 5.6 / 2, and
    // -1.46 dB with 5.6 x 2 in series. The wiring keeps the results; the library gets one driver.
    void groupLine()
    {
        auto w = freshWindow();
        act(w.get(), Woofer + "TxtDriverCount<2; CmdCalculate");
        QCOMPARE(w->LblDriverGroup->text(), "2 drivers in parallel: 4.0 ohms, Vas 170 l, Sd 440 cm², 92.0 dB at 1 W, 96.6 dB at 2.83 V");
        w->CboWiring->setCurrentIndex(1);
        QCOMPARE(w->LblDriverGroup->text(), "2 drivers in series: 16.0 ohms, Vas 170 l, Sd 440 cm², 92.0 dB at 1 W, 90.5 dB at 2.83 V");
        QVERIFY(w->CmdFrequency->isEnabled());
        QCOMPARE(w->currentDriver().vas, 85.0);
        act(w.get(), "TxtDriverCount<4");
        QCOMPARE(w->CboWiring->count(), 3);
        QCOMPARE(w->CboWiring->currentText(), "Parallel");
    }

    // 2 in series (parallel) in twice the box: Re, Le and Bl^2 are 2x (1/2x) one driver's and the box
    // keeps Vas / Vb, so the whole impedance curve is twice (half) the single driver's in its box.
    void impedanceFollowsTheWiring_data()
    {
        QTest::addColumn<int>("wiring");
        QTest::addColumn<double>("factor");
        QTest::newRow("2 in parallel") << 0 << 0.5;
        QTest::newRow("2 in series") << 1 << 2.0;
    }
    void impedanceFollowsTheWiring()
    {
        QFETCH(int, wiring);
        QFETCH(double, factor);
        auto one = freshWindow();
        act(one.get(), Woofer + "OptVolBox; TxtCBV=1; CmdCalculate");
        auto two = freshWindow();
        act(two.get(), Woofer + "TxtDriverCount<2; OptVolBox; TxtCBV=2; CmdCalculate");
        two->CboWiring->setCurrentIndex(wiring);
        const std::vector<double> single = sealedImpedance(one.get()), group = sealedImpedance(two.get());
        QCOMPARE(group.size(), std::size_t(491));
        for (std::size_t i = 0; i < single.size(); ++i)
            QVERIFY2(std::abs(group[i] / (factor * single[i]) - 1) < 1e-9, qPrintable(QString::number(i + 10)));
    }

    void messages_data()
    {
        addStepColumns();
        const QString count = "count", off = "CmdFrequency=off";
        QTest::newRow("0 refused") << "tab=1; TxtDriverCount<0" << count << "TxtDriverCount=1";
        QTest::newRow("9 refused") << "tab=1; TxtDriverCount<9" << count << "TxtDriverCount=1";
        QTest::newRow("half a driver refused") << "tab=1; TxtDriverCount<2.5" << count << "TxtDriverCount=1";
        QTest::newRow("4 taken, the wiring next") << "tab=1; TxtDriverCount<04" << "" << "TxtDriverCount=4; focus=CboWiring";
        QTest::newRow("a pasted count stops Calculate Box") << Driver30 + "TxtDriverCount=12; CmdCalculateInput" << count
                                                           << "tab=1; focus=TxtDriverCount; " + off;
        QTest::newRow("a count resets the model") << Driver30 + "CmdCalculate; tab=1; TxtDriverCount<3" << ""
                                                  << "TxtVBV=; TxtVFb=; TxtQtc=0.707; " + off;
        QTest::newRow("pairs reset the model") << Driver30 + "tab=1; TxtDriverCount<2; CmdCalculate; ChkIsobaric" << ""
                                               << "ChkIsobaric=on; TxtVBV=; " + off;
        QTest::newRow("an odd count clears the pairs") << "tab=1; TxtDriverCount<2; ChkIsobaric; TxtDriverCount<3" << ""
                                                       << "ChkIsobaric=off";
    }
    void messages()
    {
        auto w = freshWindow();
        checkRow(w.get());
    }

    // A group reopens as saved; a design of one driver keeps none of the group's entries.
    void designFile()
    {
        QTemporaryDir dir;
        const QString one = dir.filePath("one.kelvane"), four = dir.filePath("four.kelvane");
        const QString names = "TxtDriverCount; ChkIsobaric; LblDriverGroup; LblCBVolume(0); LblVBVolume(5); LblSPL";
        QString saved;
        {
            auto w = freshWindow();
            QVERIFY(w->saveDesign(one));
            act(w.get(), Woofer + "TxtDriverCount<4; ChkIsobaric");
            w->CboWiring->setCurrentIndex(2);
            act(w.get(), "CmdCalculate");
            saved = shown(w.get(), names);
            QVERIFY(w->saveDesign(four));
        }
        auto w = freshWindow();
        QVERIFY(w->openDesign(four));
        QCOMPARE(shown(w.get(), names), saved);
        QCOMPARE(w->CboWiring->currentIndex(), 2);
        QFile file(one);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        for (const char *key : {"TxtDriverCount", "CboWiring", "ChkIsobaric"})
            QVERIFY(!bytes.contains(key));
    }

    void designFileEntries_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a count that is no text") << "TxtDriverCount" << QJsonValue(2) << "\"TxtDriverCount\" is not a text";
        QTest::newRow("a fourth wiring") << "CboWiring" << QJsonValue(3) << "\"CboWiring\" is not one of its options";
        QTest::newRow("pairs that are no flag") << "ChkIsobaric" << QJsonValue("yes") << "\"ChkIsobaric\" is not true or false";
        QTest::newRow("one driver has no wiring") << "CboWiring" << QJsonValue(1) << "";
    }
    void designFileEntries()
    {
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        QJsonObject root = QJsonDocument::fromJson(design::toJson(design::Design{})).object();
        QJsonObject boxModel = root.value("boxModel").toObject();
        boxModel.insert(key, value);
        root.insert("boxModel", boxModel);
        const design::ReadResult r = design::fromJson(QJsonDocument(root).toJson());
        QCOMPARE(r.reason, fetch<QString>("reason"));
        QCOMPARE(r.design.drivers.wiring, 0);
    }

    // Cut-outs in rows and columns: two 10 in side by side need 10 x 20, four need 20 x 20 or 10 x 40.
    void buildSheet()
    {
        QVERIFY(kelvane::sheet::cutOutsFit(2, 10, 21, 12));
        QVERIFY(kelvane::sheet::cutOutsFit(4, 10, 20, 20));
        QVERIFY(!kelvane::sheet::cutOutsFit(4, 10, 21, 12));
        QVERIFY(!kelvane::sheet::cutOutsFit(1, 10, 9, 30));
        kelvane::sheet::Snapshot s;
        s.vbSealed = 1;
        s.drivers = {2, QStringLiteral("2 drivers in series as 1 isobaric pair"), 1, 15, true};
        QStringList texts;
        for (const auto &section : kelvane::sheet::buildSheet(s, {false}, {}, {}).sections)
            for (const auto &item : section.items)
                if (const auto *p = std::get_if<kelvane::sheet::Paragraph>(&item))
                    texts << p->text;
                else if (const auto *t = std::get_if<kelvane::sheet::Table>(&item))
                    for (const QStringList &row : t->rows)
                        texts << row.join(u'=');
        QVERIFY(texts.contains("Drivers=2 drivers in series as 1 isobaric pair"));
        QVERIFY(texts.contains("Driver cut-outs in the front panel=1"));
        QVERIFY(texts.contains(kelvane::sheet::IsobaricNote));
        // 1 cubic foot at the first side ratio is 19.4 in high but 11.9 in wide: no room for 15 in.
        QVERIFY(std::any_of(texts.begin(), texts.end(), [](const QString &t) { return t.startsWith("Warning: 1 cut-out of"); }));
    }
};

QTEST_MAIN(TestDriverGroup)
#include "tst_drivergroup.moc"
