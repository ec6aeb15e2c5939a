#include "resources/images/OrvoImages.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QSet>
#include <QTest>

namespace {

const QStringList kToolbarNames = {"get-files",   "upload",     "refresh",      "delete",
                                   "update-data", "select-all", "deselect-all", "about"};
const QList<int> kIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr int kHourglassFrames = 6;

// True when at least one pixel is visible and at least one is fully transparent: a
// drawing on a clear background, neither blank nor an opaque block.
bool IsDrawingOnClearBackground(const QImage &image)
{
    bool anyVisible = false;
    bool anyClear = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            anyVisible = anyVisible || alpha > 0;
            anyClear = anyClear || alpha == 0;
        }
    }
    return anyVisible && anyClear;
}

} // namespace

class ImagesTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitOrvoImages(); }

    void everyImageHasItsSizeAndIsDrawn_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("size");
        for (const QString &name : kToolbarNames) {
            QTest::newRow(qPrintable(name)) << QString(":/images/toolbar/%1.png").arg(name) << 36;
            QTest::newRow(qPrintable(name + "-16")) << QString(":/images/toolbar/%1-16.png").arg(name) << 16;
        }
        for (int size : kIconSizes)
            QTest::newRow(qPrintable(QString("icon-%1").arg(size)))
                << QString(":/images/icon/orvoconnect-%1.png").arg(size) << size;
        for (int frame = 1; frame <= kHourglassFrames; ++frame)
            QTest::newRow(qPrintable(QString("hourglass-%1").arg(frame)))
                << QString(":/images/hourglass/hourglass-%1.png").arg(frame) << 48;
    }

    void everyImageHasItsSizeAndIsDrawn()
    {
        QFETCH(QString, path);
        QFETCH(int, size);
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(image.hasAlphaChannel());
        QVERIFY2(IsDrawingOnClearBackground(image), qPrintable(path));
    }

    void hourglassFramesDifferFromOneToTheNext()
    {
        for (int frame = 1; frame <= kHourglassFrames; ++frame) {
            const int next = frame % kHourglassFrames + 1;
            const QImage a(QString(":/images/hourglass/hourglass-%1.png").arg(frame));
            const QImage b(QString(":/images/hourglass/hourglass-%1.png").arg(next));
            QVERIFY2(a != b, qPrintable(QString("frames %1 and %2 are the same").arg(frame).arg(next)));
        }
    }

    void resourcesHoldEveryRenderedFile()
    {
        // A PNG rendered into the source tree but left out of images.qrc would be
        // missing at run time without any build error.
        QSet<QString> onDisk;
        const QDir source(ORVO_IMAGES_SOURCE_DIR);
        QDirIterator files(source.path(), {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            onDisk.insert(source.relativeFilePath(files.next()));

        QSet<QString> compiledIn;
        const QDir resources(":/images");
        QDirIterator entries(resources.path(), QDir::Files, QDirIterator::Subdirectories);
        while (entries.hasNext())
            compiledIn.insert(resources.relativeFilePath(entries.next()));

        QCOMPARE(compiledIn, onDisk);
    }
};

QTEST_GUILESS_MAIN(ImagesTest)
#include "ImagesTest.moc"
