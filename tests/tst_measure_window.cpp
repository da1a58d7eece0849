// SPDX-License-Identifier: GPL-3.0-or-later
// The Measure Driver window driven as a user would: its fields, its messages, Use into the Input
// tab, Add to the library and the check of a built box against the Box Model's design. The numbers
// themselves are tested on the core (tst_measure); the curves here are written by the test from
// the driver model.

#include "TestSupport.h"
#include "app/DlgMeasureDriver.h"
#include "common/NumberText.h"
#include "graphs/GraphPicture.h"
#include "library/DriverStore.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>

using namespace testsupport;
using namespace kelvane;

namespace {

// Fs 30 Hz, Qms 4, Qes 0.5, Re 5.6 ohms, Le 0.8 mH: Qts 0.444.
const measure::DriverModel Woofer{5.6, 30, 4, 0.5, 0.8e-3, 0, 0};

// Writes 400 rows from 10 Hz to 20 kHz of z into the folder; returns the path.
QString writeCurve(const QString &path, const std::function<std::complex<double>(double)> &z)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    for (int i = 0; i < 400; ++i) {
        const double hz = 10 * std::pow(2000.0, i / 399.0);
        const std::complex<double> v = z(hz);
        f.write(QByteArray::number(hz) + ' ' + QByteArray::number(std::abs(v)) + ' ' + QByteArray::number(std::arg(v) * 57.29577951308232) + '\n');
    }
    return path;
}

} // namespace

class TestMeasureWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString freeAir_, mass_, resistor_, box_;
    std::unique_ptr<FrmKelvane> w_;

    DlgMeasureDriver *open()
    {
        w_ = freshWindow();
        w_->MnuMeasureDriver->trigger();
        return find<DlgMeasureDriver>(w_.get(), QStringLiteral("DlgMeasureDriver"));
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", dir_.filePath(QStringLiteral("data")).toLocal8Bit());
        freeAir_ = writeCurve(dir_.filePath("woofer.zma"), [](double f) { return measure::impedance(Woofer, f); });
        // 25 g on a cone of Mms = 1 / ((2 pi 30)^2 Cms): the test only needs Fs to fall.
        mass_ = writeCurve(dir_.filePath("mass.zma"), [](double f) { return measure::impedance({5.6, 24, 4, 0.5, 0.8e-3, 0, 0}, f); });
        resistor_ = writeCurve(dir_.filePath("r.zma"), [](double) { return std::complex<double>(8); });
        box_ = writeCurve(dir_.filePath("box.zma"), [](double f) { return measure::ventedImpedance(Woofer, 1.2, 28, 7, f); });
    }

    // The results of a free-air curve, Use into the Input tab (Re and Le on the Crossover tab), and
    // Add to the library with the file in the notes.
    void useAndAdd()
    {
        DlgMeasureDriver *d = open();
        QVERIFY(d->isVisible());
        QVERIFY(!d->CmdUseMeasured->isEnabled());
        QVERIFY(d->loadFreeAir(freeAir_));
        QVERIFY2(d->LblMeasuredFs->text().contains(QRegularExpression("^(29.9|30.0)\\d Hz$")), qPrintable(d->LblMeasuredFs->text()));
        QCOMPARE(d->LblMeasuredRe->text(), "5.60 ohms (from the fit)");
        QCOMPARE(d->LblMeasuredVas->text(), "");
        QVERIFY(d->PicMeasuredImpedance->texts().contains("Impedance: woofer.zma"));
        // The measured curve in blue, along the whole frame (not just its legend).
        const QImage picture = d->PicMeasuredImpedance->renderImage(1);
        int blue = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                blue += picture.pixel(x, y) == qRgb(0, 0, 255);
        QVERIFY2(blue > 500, qPrintable(QString::number(blue)));
        // The Input tab takes the values as the dialog rounds them for the library.
        const library::Entry e = d->measuredDriver();
        QVERIFY(std::abs(*e.qts - 0.4444) < 0.005);
        d->CmdUseMeasured->click();
        QCOMPARE(shown(w_.get(), "TxtName=; TxtFs=; TxtQts=; TxtRe=; TxtL=; tab="),
                 "TxtName=Measured woofer; TxtFs=" + generalNumber(*e.fs) + "; TxtQts=" + generalNumber(*e.qts)
                     + "; TxtRe=" + generalNumber(*e.re) + "; TxtL=" + generalNumber(*e.le) + "; tab=0");
        d->CmdAddMeasuredToLibrary->click();
        library::DriverStore store;
        QVERIFY(store.open(library::defaultLibraryPath()));
        const std::vector<library::Entry> found = store.search(QStringLiteral("measured woofer"));
        QCOMPARE(found.size(), std::size_t(1));
        QCOMPARE(found[0].source, "measured");
        QCOMPARE(found[0].notes, "Free air: woofer.zma; Re from the fit");
    }

    // A second curve needs its mass first; with the mass and Sd typed, Vas and the moving parts.
    void secondCurve()
    {
        DlgMeasureDriver *d = open();
        QVERIFY(d->loadFreeAir(freeAir_));
        MessageCatcher catcher;
        d->CmdLoadSecond->click();
        settle();
        QCOMPARE(catcher.shown(), "more");
        typeInto(d->TxtMeasureSd, "220");
        typeInto(d->TxtAddedMass, "25");
        QVERIFY(d->loadSecond(mass_));
        QVERIFY(d->LblMeasuredVas->text().endsWith(" liters"));
        QVERIFY(d->LblMeasuredBl->text().endsWith(" Tm"));
        // The other method forgets the curve measured the first way.
        d->CboVasMethod->setCurrentIndex(1);
        QCOMPARE(d->LblMeasuredVas->text(), "");
        QVERIFY(!d->TxtAddedMass->isEnabled() && d->TxtTestBoxVolume->isEnabled());
    }

    // Bad data: the message in plain words, and nothing filled in.
    void badCurve()
    {
        DlgMeasureDriver *d = open();
        MessageCatcher catcher;
        QVERIFY(!d->loadFreeAir(resistor_));
        settle();
        QCOMPARE(catcher.shown(), "Measure Driver: r.zma shows no clear resonance peak: it may be the curve of a resistor, or it may stop short of the resonance.");
        QCOMPARE(d->LblMeasuredFs->text(), "");
        QVERIFY(!d->CmdUseMeasured->isEnabled() && !d->CmdLoadSecond->isEnabled());
        w_->Input->TxtFs->setText("42");
        d->CmdUseMeasured_Click();
        QCOMPARE(w_->Input->TxtFs->text(), "42");
        catcher.clear();
        QVERIFY(!d->loadBoxImpedance(freeAir_));
        settle();
        QCOMPARE(catcher.shown(), "Measure Driver: woofer.zma does not show the two peaks of a vented box.");
        QCOMPARE(d->LblMeasuredFb->text(), "");
    }

    // The fields take digits and one point; "0" is refused as on the Input tab; Enter moves on.
    void entry()
    {
        DlgMeasureDriver *d = open();
        MessageCatcher catcher;
        typeInto(d->TxtAddedMass, "1a-2");
        QCOMPARE(d->TxtAddedMass->text(), "12");
        typeInto(d->TxtMeasureRe, "0");
        settle();
        QCOMPARE(catcher.shown(), "number");
        QCOMPARE(d->TxtMeasureRe->text(), "");
        QVERIFY(d->focusWidget() != d->TxtMeasureRe);
    }

    // The built box against the calculated vented box: Fb, the leakage Q with the driver measured,
    // and the advice for the vent chosen.
    void boxCheck()
    {
        DlgMeasureDriver *d = open();
        act(w_.get(), Driver30 + "CmdCalculateInput");
        QVERIFY(d->loadFreeAir(freeAir_));
        QVERIFY(d->loadBoxImpedance(box_));
        QCOMPARE(d->TabMeasure->currentIndex(), 1);
        QVERIFY(d->LblMeasuredFb->text().endsWith(" Hz"));
        QCOMPARE(d->LblMeasuredQl->text(), "7.0");
        QVERIFY2(d->LblVentAdvice->text().startsWith("Designed " + w_->BoxVent->LblOriginalFb->text() + ", measured "),
                 qPrintable(d->LblVentAdvice->text()));
        QCOMPARE(d->CboMeasuredVent->count(), 6);
    }
};

QTEST_MAIN(TestMeasureWindow)
#include "tst_measure_window.moc"
