#include "testmain.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <set>

namespace {

const QRgb MaskColour = qRgb(192, 192, 192);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct IconEntry
{
    int width = 0;
    int height = 0;
    int bitCount = 0;
    bool operator==(const IconEntry &) const = default;
    bool operator<(const IconEntry &other) const
    {
        return std::tie(width, height, bitCount) < std::tie(other.width, other.height, other.bitCount);
    }
};

// The images an ICO file declares, with the depth of their bitmap headers; empty if the
// file is not a well-formed icon (directory and bitmap headers must agree).
QList<IconEntry> iconEntries(const QByteArray &ico)
{
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(ico.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(ico.constData() + at); };
    if (ico.size() < 6 || u16(0) != 0 || u16(2) != 1)
        return {};
    QList<IconEntry> entries;
    const int count = u16(4);
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * i;
        if (entry + 16 > ico.size())
            return {};
        const int width = quint8(ico.at(entry)) ? quint8(ico.at(entry)) : 256;
        const int height = quint8(ico.at(entry + 1)) ? quint8(ico.at(entry + 1)) : 256;
        const quint32 length = u32(entry + 8);
        const quint32 offset = u32(entry + 12);
        if (offset + qint64(length) > ico.size() || length < 40 || u32(offset) != 40)
            return {};
        const int dibWidth = qint32(u32(offset + 4));
        const int dibHeight = qint32(u32(offset + 8));
        const int bitCount = u16(offset + 14);
        if (dibWidth != width || dibHeight != 2 * height || u16(entry + 6) != bitCount)
            return {};
        // palette, colour bits and the AND mask must all lie inside the entry
        const qsizetype palette = bitCount <= 8 ? (qsizetype(4) << bitCount) : 0;
        const qsizetype colourBits = qsizetype((width * bitCount + 31) / 32) * 4 * height;
        const qsizetype maskBits = qsizetype((width + 31) / 32) * 4 * height;
        if (40 + palette + colourBits + maskBits > length)
            return {};
        entries.append({ width, height, bitCount });
    }
    return entries;
}

} // namespace

class TestAssets : public QObject
{
    Q_OBJECT

private slots:
    void pictures_data();
    void pictures();
    void gifsHaveFullPalettes_data();
    void gifsHaveFullPalettes();
    void programIconHoldsSixImages();
    void toolbarPicturesMaskTheirBackground_data();
    void toolbarPicturesMaskTheirBackground();
    void handIsSixteenColours();
};

void TestAssets::pictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("splash") << ":/splash.gif" << QSize(413, 168);
    QTest::newRow("program icon") << ":/ambervale.ico" << QSize(16, 16);
    QTest::newRow("about banner") << ":/banner.gif" << QSize(300, 31);
    QTest::newRow("hand pointer") << ":/hand.ico" << QSize(32, 32);
    for (int i = 1; i <= 9; ++i)
        QTest::addRow("toolbar picture %d", i) << QStringLiteral(":/toolbar/picture%1.ico").arg(i) << QSize(32, 32);
}

void TestAssets::pictures()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QImageReader reader(path);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    // not blank: a picture has more than one colour
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() > 3, qPrintable(QString::number(colours.size())));
}

void TestAssets::gifsHaveFullPalettes_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("splash") << ":/splash.gif";
    QTest::newRow("about banner") << ":/banner.gif";
}

void TestAssets::gifsHaveFullPalettes()
{
    QFETCH(QString, path);
    const QByteArray gif = readAll(path);
    QVERIFY(gif.startsWith("GIF87a") || gif.startsWith("GIF89a"));
    // logical screen descriptor: a global colour table of 2^(n+1) entries, here 256
    QCOMPARE(quint8(gif.at(10)) & 0x87, 0x87);

    // Qt decodes to true colour; what it shows comes from that one palette
    const QImage image(path);
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() > 16 && colours.size() <= 256, qPrintable(QString::number(colours.size())));
}

void TestAssets::programIconHoldsSixImages()
{
    const QList<IconEntry> entries = iconEntries(readAll(QStringLiteral(":/ambervale.ico")));
    const std::set<IconEntry> expected = { { 16, 16, 4 }, { 16, 16, 8 }, { 32, 32, 4 },
                                           { 32, 32, 8 }, { 48, 48, 4 }, { 48, 48, 8 } };
    QCOMPARE(entries.size(), 6);
    QVERIFY(std::set<IconEntry>(entries.cbegin(), entries.cend()) == expected);

    // and Qt reads every one of them
    QImageReader reader(QStringLiteral(":/ambervale.ico"));
    QCOMPARE(reader.imageCount(), 6);
    QList<QSize> sizes;
    for (int i = 0; i < reader.imageCount(); ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.size(), QSize(entries.at(i).width, entries.at(i).height));
        QCOMPARE(qAlpha(image.pixel(0, image.height() - 1)), 0); // a masked corner
        sizes << image.size();
    }
    QCOMPARE(sizes.count(QSize(16, 16)), 2);
    QCOMPARE(sizes.count(QSize(32, 32)), 2);
    QCOMPARE(sizes.count(QSize(48, 48)), 2);
}

void TestAssets::toolbarPicturesMaskTheirBackground_data()
{
    QTest::addColumn<QString>("path");
    for (int i = 1; i <= 9; ++i)
        QTest::addRow("picture %d", i) << QStringLiteral(":/toolbar/picture%1.ico").arg(i);
}

void TestAssets::toolbarPicturesMaskTheirBackground()
{
    QFETCH(QString, path);
    const QList<IconEntry> entries = iconEntries(readAll(path));
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().width, 32);
    QCOMPARE(entries.first().height, 32);

    // The image list's mask colour is transparent: no visible pixel may carry it, or it
    // would vanish from the button.
    const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(32, 32));
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 255) {
                ++opaque;
                QVERIFY2((pixel & RGB_MASK) != (MaskColour & RGB_MASK),
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            } else {
                QCOMPARE(qAlpha(pixel), 0);
            }
        }
    }
    QVERIFY2(opaque >= 300 && opaque < 32 * 32, qPrintable(QString::number(opaque)));
}

void TestAssets::handIsSixteenColours()
{
    const QList<IconEntry> entries = iconEntries(readAll(QStringLiteral(":/hand.ico")));
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().width, 32);
    QCOMPARE(entries.first().bitCount, 4);

    // a yellow hand on a transparent ground
    const QImage image = QImage(QStringLiteral(":/hand.ico")).convertToFormat(QImage::Format_ARGB32);
    int yellow = 0;
    int transparent = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            transparent += c.alpha() == 0;
            yellow += c.alpha() == 255 && c.red() > 200 && c.green() > 150 && c.blue() < 100;
        }
    }
    QVERIFY2(yellow >= 150, qPrintable(QString::number(yellow)));
    QVERIFY2(transparent >= 32 * 32 / 2, qPrintable(QString::number(transparent)));
}

AMBERVALE_TEST_MAIN(TestAssets)
#include "tst_assets.moc"
