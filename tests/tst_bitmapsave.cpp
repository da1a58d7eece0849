// The bitmap writer: the file appears whole under its name in the current folder, replaces an
// earlier file of that name (keeping that file's permissions) and leaves no part file behind,
// whatever was in the folder before.

#include "graphs/GraphOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

class TestBitmapSave : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void savesWhole_data();
    void savesWhole();

private:
    QTemporaryDir *folder_ = nullptr;
    QString previous_;
};

namespace {

QImage sampleImage(QRgb colour)
{
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QColor(colour));
    p.drawLine(48, 304, 549, 24);
    return image;
}

const QString Name = QStringLiteral("W8Frequency.bmp");

} // namespace

void TestBitmapSave::init()
{
    previous_ = QDir::currentPath();
    folder_ = new QTemporaryDir;
    QVERIFY(folder_->isValid());
    QVERIFY(QDir::setCurrent(folder_->path()));
}

void TestBitmapSave::cleanup()
{
    QDir::setCurrent(previous_);
    delete folder_;
    folder_ = nullptr;
}

void TestBitmapSave::savesWhole_data()
{
    QTest::addColumn<bool>("earlierFile");
    QTest::addColumn<QFile::Permissions>("earlierPermissions");
    QTest::addColumn<bool>("stalePart");

    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    const QFile::Permissions groupReads = ownerOnly | QFile::ReadGroup;
    QTest::newRow("new file") << false << QFile::Permissions() << false;
    QTest::newRow("over an earlier save, its permissions kept") << true << groupReads << false;
    QTest::newRow("over a private file") << true << ownerOnly << false;
    QTest::newRow("part file left by an interrupted save") << false << QFile::Permissions() << true;
}

void TestBitmapSave::savesWhole()
{
    QFETCH(bool, earlierFile);
    QFETCH(QFile::Permissions, earlierPermissions);
    QFETCH(bool, stalePart);

    if (earlierFile) {
        QVERIFY(graphoutput::saveBitmap(sampleImage(qRgb(0, 0, 255)), Name));
        QVERIFY(QFile::setPermissions(Name, earlierPermissions));
    }
    const QString part = QStringLiteral(".kelvane-%1.part").arg(QCoreApplication::applicationPid());
    if (stalePart) {
        QFile f(part);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("half a bitmap");
    }

    const QImage image = sampleImage(qRgb(255, 0, 255));
    QVERIFY(graphoutput::saveBitmap(image, Name));

    // 54 bytes of headers and 640 x 480 pixels of 3 bytes (rows of 1920 bytes need no padding).
    QCOMPARE(QFileInfo(Name).size(), qint64(54 + 640 * 480 * 3));
    QCOMPARE(QImage(Name, "BMP").convertToFormat(QImage::Format_RGB32), image);
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{Name});
    // The owner, group and other bits; the user bits only repeat the owner's for the owner.
    const QFile::Permissions kept = QFile::permissions(Name) & ~QFile::Permissions(0x0f00);
    if (earlierFile)
        QCOMPARE(kept, earlierPermissions);
}

QTEST_GUILESS_MAIN(TestBitmapSave)
#include "tst_bitmapsave.moc"
