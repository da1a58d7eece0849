// The frequency-response graph on a double-density screen: the picture keeps its 640 x 480 layout,
// its image and the saved bitmap have twice the pixels, and each logical unit is a crisp 2 x 2 block.

#include "TestSupport.h"
#include "graphs/GraphPicture.h"

#include <QDir>
#include <QTemporaryDir>
#include <cmath>

using namespace testsupport;

class TestGraphHiDpi : public QObject
{
    Q_OBJECT

private slots:
    void savedBitmapHasTwiceThePixels();
};

void TestGraphHiDpi::savedBitmapHasTwiceThePixels()
{
    auto w = freshWindow();
    QCOMPARE(w->devicePixelRatio(), 2);
    w->DriverName = QStringLiteral("W8");
    w->Fs = 30;
    w->Qts = 0.4;
    w->Vas = 3;
    w->Qtc = 0.707;
    w->Fc = 53;
    w->CmdFrequency_Click();
    QCOMPARE(w->PicFrequency->size(), QSize(640, 480));
    QCOMPARE(w->PicFrequency->pixelScale(), 2);

    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    MessageCatcher catcher;
    w->CmdSave_Click();
    settle();
    QDir::setCurrent(old);
    QVERIFY(catcher.messages().isEmpty());
    const QImage bmp(dir.filePath(QStringLiteral("W8Frequency.bmp")), "BMP");
    QCOMPARE(bmp.size(), QSize(1280, 960));

    const auto colour = [&](int x, int y) { return QColor(bmp.pixel(x, y)); };
    const QColor red(128, 0, 0), grey(128, 128, 128), white(255, 255, 255);
    // Frame bottom edge (width 2 at y = 304): logical rows 303 and 304, device rows 606 to 609.
    for (int y = 606; y <= 609; ++y)
        QCOMPARE(colour(600, y), red);
    QCOMPARE(colour(600, 605), white);
    QCOMPARE(colour(600, 610), white);
    // The 1-unit vertical grid line at 300 Hz (x = 48 + 128 ln 30 = 483.35 -> unit 483): device
    // columns 966 and 967 only.
    QCOMPARE(qRound(48 + 128 * std::log(30.0)), 483);
    QCOMPARE(colour(966, 400), grey);
    QCOMPARE(colour(967, 400), grey);
    QCOMPARE(colour(965, 400), white);
    QCOMPARE(colour(968, 400), white);
    // One grid dot of the +5 dB line at (400, 64): the 2 x 2 block at (800, 128).
    QCOMPARE(colour(800, 128), grey);
    QCOMPARE(colour(801, 129), grey);
    QCOMPARE(colour(802, 128), white);
    QCOMPARE(colour(800, 130), white);
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestGraphHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_graphhidpi.moc"
