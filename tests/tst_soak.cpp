// Faults the long random run of the window (scripts/soak.sh) found, kept as tests.

#include "models/VentedModel.h"

#include <QTest>

using namespace kelvane;

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    // A vented box whose -3 dB root lies near x = 1e20 (driver data of absurd size) hung Calculate
    // Box: bisection to an absolute 0.00001 never ends where neighbouring doubles are 16,384 apart.
    // With A1 = 1e20 and A2, A3 of order 1, F(x) ~ A1^2 x^6 - x^8 for large x, so the root is x = A1
    // (to about 1e-20 relative).
    void ventedRootBeyondDoublePrecision()
    {
        vented::Coefficients c = vented::coefficients(30, 0.4, 3, 30.4, 2.6995, 7);
        c.a1 = 1e20;
        const vented::Search s = vented::bracketMinus3dB(c);
        QVERIFY(s.found);
        QVERIFY(qAbs(s.x / 1e20 - 1) < 1e-12);
        QVERIFY(vented::findMinus3dB(c).found);
    }
};

QTEST_APPLESS_MAIN(TestSoak)
#include "tst_soak.moc"
