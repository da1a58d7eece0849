// SPDX-License-Identifier: GPL-3.0-or-later
// The frequency-response graph on a double-density screen: the picture keeps its 640 x 480 layout,
// its image and the saved bitmap have twice the pixels, and each logical unit is a crisp 2 x 2 block.

#include "TestSupport.h"
#include "graphs/GraphPicture.h"

using namespace testsupport;

class TestGraphHiDpi : public QObject
{
    Q_OBJECT

private slots:
    void savedBitmapHasTwiceThePixels()
    {
        auto w = freshWindow();
        w->State.DriverName = QStringLiteral("W8");
        w->State.Fs = 30, w->State.Qts = 0.4, w->State.Vas = 3, w->State.Qtc = 0.707, w->State.Fc = 53;
        w->CmdFrequency_Click();
        QCOMPARE(w->Frequency->PicFrequency->size(), QSize(640, 480));
        QCOMPARE(w->Frequency->PicFrequency->pixelScale(), 2);
        InTempFolder folder;
        MessageCatcher catcher;
        w->Frequency->CmdSave_Click();
        settle();
        const QImage bmp(QStringLiteral("W8Frequency.bmp"), "BMP");
        QCOMPARE(bmp.size(), QSize(1280, 960));
        // Device pixel (x, y) and the colour expected there: the frame's bottom edge (width 2 at y =
        // 304) covers logical rows 303 and 304, device rows 606 to 609; the 1-unit grid line at 300 Hz
        // (x = 48 + 128 ln 30 = 483.35, unit 483) device columns 966 and 967; one dot of the +5 dB line
        // at (400, 64) the 2 x 2 block at (800, 128).
        const QColor red(128, 0, 0), grey(128, 128, 128), white(255, 255, 255);
        const std::tuple<int, int, QColor> expected[] = {{600, 606, red}, {600, 609, red}, {600, 610, white},
            {966, 400, grey}, {967, 400, grey}, {968, 400, white}, {801, 129, grey}, {802, 128, white}};
        for (const auto &[x, y, colour] : expected)
            QVERIFY2(QColor(bmp.pixel(x, y)) == colour, qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestGraphHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_graphhidpi.moc"
