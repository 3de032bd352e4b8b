#include "ULoadImage.h"
#include "UPicture.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace korvane;

namespace {

//! A picture with something on it, so that a broken decode cannot pass for a good one.
QImage sample(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, format);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height / 2, Qt::red);
    p.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::blue);
    return image;
}

//! The file bytes Qt writes for a picture, independent of our own encoder.
QByteArray fileBytes(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray jpegFile(int width = 64, int height = 48)
{
    return fileBytes(sample(width, height), "JPEG");
}

QByteArray truncated(const QByteArray &bytes)
{
    return bytes.left(bytes.size() / 2);
}

//! The frame header's segment broken: what follows the start marker is noise.
QByteArray corrupt(const QByteArray &bytes)
{
    QByteArray broken = bytes;
    for (int i = 2; i < 40 && i < broken.size(); ++i)
        broken[i] = char(0x01 + i);
    return broken;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

} // namespace

class tst_Picture : public QObject
{
    Q_OBJECT
private slots:
    void jpegDecoding_data();
    void jpegDecoding();
    void filesByKind_data();
    void filesByKind();
    void tooLargeFileRefused();
    void storedPictureFitsItsSide_data();
    void storedPictureFitsItsSide();
    void fitting_data();
    void fitting();
    void windowShowsStoredPictureFitted_data();
    void windowShowsStoredPictureFitted();
    void windowIgnoresWhatIsNoPicture();
    void windowSavesWhatIsStored();
};

void tst_Picture::jpegDecoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size"); // empty: refused
    QTest::newRow("colour") << jpegFile(64, 48) << QSize(64, 48);
    QTest::newRow("grey") << fileBytes(sample(30, 20, QImage::Format_Grayscale8), "JPEG")
                          << QSize(30, 20);
    QTest::newRow("truncated") << truncated(jpegFile(200, 150)) << QSize(0, 0);
    QTest::newRow("cut after the header") << jpegFile().left(200) << QSize(0, 0);
    QTest::newRow("corrupt header") << corrupt(jpegFile()) << QSize(0, 0);
    QTest::newRow("start marker only") << QByteArray("\xFF\xD8\xFF", 3) << QSize(0, 0);
    QTest::newRow("not a picture") << QByteArray("这不是图片, just text") << QSize(0, 0);
    QTest::newRow("a PNG") << fileBytes(sample(8, 8), "PNG") << QSize(0, 0);
    QTest::newRow("empty") << QByteArray() << QSize(0, 0);
}

// libjpeg's complaints, fatal or warnings, refuse the file instead of ending the program
// or inventing rows.
void tst_Picture::jpegDecoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QString why;
    const QImage image = picture::decodeJpeg(bytes, &why);
    QCOMPARE(image.size(), size);
    QCOMPARE(why.isEmpty(), !size.isEmpty());
    if (!size.isEmpty()) {
        // The dark quarter stays dark and the white one white.
        QVERIFY(qGray(image.pixel(2, 2)) < 200);
        QVERIFY(qGray(image.pixel(size.width() - 2, 2)) > 240);
    }
}

void tst_Picture::filesByKind_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("jpeg") << jpegFile() << true;
    QTest::newRow("png") << fileBytes(sample(20, 10), "PNG") << true;
    QTest::newRow("bmp") << fileBytes(sample(20, 10), "BMP") << true;
    QTest::newRow("truncated jpeg") << truncated(jpegFile(200, 150)) << false;
    QTest::newRow("truncated png") << truncated(fileBytes(sample(200, 150), "PNG")) << false;
    QTest::newRow("gif is not taken") << QByteArray("GIF89a\x01\x00\x01\x00") << false;
    QTest::newRow("text") << QByteArray("BEGIN:VCARD") << false;
}

void tst_Picture::filesByKind()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("picture"), bytes);
    QVERIFY(!path.isEmpty());
    QCOMPARE(!picture::readPictureFile(path).isNull(), accepted);
}

// A 50 MB file is not even read, whatever it starts with.
void tst_Picture::tooLargeFileRefused()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("big.jpg"), jpegFile());
    QVERIFY(!picture::readPictureFile(path).isNull());
    QFile file(path);
    QVERIFY(file.resize(50 * 1024 * 1024));
    QVERIFY(picture::readPictureFile(path).isNull());
}

void tst_Picture::storedPictureFitsItsSide_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("stored");
    QTest::newRow("wide photo") << QSize(3000, 1500) << QSize(1024, 512);
    QTest::newRow("tall photo") << QSize(900, 1800) << QSize(512, 1024);
    QTest::newRow("small picture kept") << QSize(800, 600) << QSize(800, 600);
    QTest::newRow("exactly the side") << QSize(1024, 100) << QSize(1024, 100);
}

// What a record keeps is JPEG of at most 1,024 pixels a side, as our decoder reads it.
void tst_Picture::storedPictureFitsItsSide()
{
    QFETCH(QSize, size);
    QFETCH(QSize, stored);
    const QByteArray bytes = picture::storedPicture(sample(size.width(), size.height()));
    QVERIFY(picture::looksLikeJpeg(bytes));
    QCOMPARE(picture::decodeJpeg(bytes).size(), stored);
}

void tst_Picture::fitting_data()
{
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("shown");
    QTest::newRow("wide, shrunk") << QSize(400, 300) << QSize(1000, 500) << QRect(0, 50, 400, 200);
    QTest::newRow("small, as it is")
        << QSize(400, 300) << QSize(100, 80) << QRect(150, 110, 100, 80);
    QTest::newRow("tall, shrunk") << QSize(400, 300) << QSize(300, 600) << QRect(125, 0, 150, 300);
    QTest::newRow("odd space truncated")
        << QSize(400, 300) << QSize(101, 81) << QRect(149, 109, 101, 81);
    QTest::newRow("no picture") << QSize(400, 300) << QSize() << QRect();
}

void tst_Picture::fitting()
{
    QFETCH(QSize, frame);
    QFETCH(QSize, picture);
    QFETCH(QRect, shown);
    QCOMPARE(fitPicture(frame, picture), shown);
}

void tst_Picture::windowShowsStoredPictureFitted_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("shown");
    QTest::newRow("1000 x 500") << QSize(1000, 500) << QRect(0, 50, 400, 200);
    QTest::newRow("100 x 80") << QSize(100, 80) << QRect(150, 110, 100, 80);
}

void tst_Picture::windowShowsStoredPictureFitted()
{
    QFETCH(QSize, size);
    QFETCH(QRect, shown);
    TfrmLoadImage window(picture::storedPicture(sample(size.width(), size.height())));
    QCOMPARE(window.windowTitle(), QStringLiteral("选择图片"));
    QCOMPARE(window.pictureFrame()->size(), QSize(400, 300));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.shownRect(), shown);
}

// A file that is no picture, or a broken one, leaves the frame as it was, without a word.
void tst_Picture::windowIgnoresWhatIsNoPicture()
{
    QTemporaryDir dir;
    const QByteArray before = picture::storedPicture(sample(100, 80));
    TfrmLoadImage window(before);
    for (const QByteArray &bytes :
         {QByteArray("not a picture"), truncated(jpegFile(200, 150)), corrupt(jpegFile())}) {
        QVERIFY(!window.loadFile(writeFile(dir, QStringLiteral("bad.jpg"), bytes)));
        QCOMPARE(window.picture(), before);
    }
    QVERIFY(!window.loadFile(dir.filePath(QStringLiteral("missing.jpg"))));
    QCOMPARE(window.picture(), before);
    QVERIFY(window.loadFile(
        writeFile(dir, QStringLiteral("good.png"), fileBytes(sample(1000, 500), "PNG"))));
    QVERIFY(picture::looksLikeJpeg(window.picture()));
    QCOMPARE(window.shownRect(), QRect(0, 50, 400, 200));
}

// "另存为..." writes the stored bytes; with nothing stored there is nothing to write.
void tst_Picture::windowSavesWhatIsStored()
{
    QTemporaryDir dir;
    const QByteArray stored = picture::storedPicture(sample(50, 40));
    TfrmLoadImage window(stored);
    const QString path = dir.filePath(QStringLiteral("saved.jpg"));
    QVERIFY(window.saveFile(path));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), stored);
    QVERIFY(!window.saveFile(dir.filePath(QStringLiteral("no/such/folder.jpg"))));
    window.clear();
    QVERIFY(window.picture().isEmpty());
    QCOMPARE(window.shownRect(), QRect());
    QVERIFY(!window.saveFile(dir.filePath(QStringLiteral("empty.jpg"))));
}

QTEST_MAIN(tst_Picture)
#include "tst_Picture.moc"
