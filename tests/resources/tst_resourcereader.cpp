#include "testmain.h"

#include "resources/elffixture.h"
#include "view/resourcereader.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QByteArray Book = QByteArray("<html><body>The book\r\n</body></html>\r\n\0", 40);
const QByteArray IconBytes = QByteArray("\0\0\1\0icon", 8);
const QByteArray VersionBytes = "version block";
const QByteArray OtherBook = "<html>autre</html>";

QList<ElfFixture::Entry> standardEntries()
{
    return {
        { ResourceReader::Icon, 1033, "1", IconBytes },
        { ResourceReader::Html, 1033, "D.HTM", Book },
        { ResourceReader::Version, 1033, "1", VersionBytes },
        { ResourceReader::Html, 1036, "OTHER.HTM", OtherBook },
    };
}

ElfFixture standardElf()
{
    return ElfFixture::elf(ElfFixture::table(standardEntries()));
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestResourceReader : public QObject
{
    Q_OBJECT

private slots:
    void findsEntry_data();
    void findsEntry();
    void extendedSectionNumbering();
    void rejectsMalformed_data();
    void rejectsMalformed();
    void everyTruncationIsRejected();
    void damagedBytesNeverCrash();
    void unusableDevice();
    void builtBinary();
    void strippedBinaryKeepsTable();

private:
    QTemporaryDir m_dir;
};

void TestResourceReader::findsEntry_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<quint32>("language");

    QTest::newRow("book by its own name") << quint32(ResourceReader::Html) << "D.HTM" << Book << 1033u;
    QTest::newRow("book in lower case") << quint32(ResourceReader::Html) << "d.htm" << Book << 1033u;
    QTest::newRow("book in mixed case") << quint32(ResourceReader::Html) << "d.Htm" << Book << 1033u;
    QTest::newRow("same name, icon type") << quint32(ResourceReader::Icon) << "1" << IconBytes << 1033u;
    QTest::newRow("same name, version type") << quint32(ResourceReader::Version) << "1" << VersionBytes << 1033u;
    QTest::newRow("last entry") << quint32(ResourceReader::Html) << "other.htm" << OtherBook << 1036u;
}

void TestResourceReader::findsEntry()
{
    QFETCH(quint32, type);
    QFETCH(QString, name);
    QFETCH(QByteArray, expected);
    QFETCH(quint32, language);

    const QByteArray file = standardElf().bytes;
    const ResourceReader::Resource fromBytes = ResourceReader::read(file, type, name);
    QVERIFY2(fromBytes.found, qPrintable(fromBytes.reason));
    QCOMPARE(fromBytes.data, expected);
    QCOMPARE(fromBytes.language, language);
    QVERIFY(fromBytes.reason.isEmpty());

    const QString path = m_dir.filePath(QStringLiteral("fixture"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(file);
    out.close();
    const ResourceReader::Resource fromFile = ResourceReader::read(path, type, name);
    QVERIFY2(fromFile.found, qPrintable(fromFile.reason));
    QCOMPARE(fromFile.data, expected);
}

// A file with more sections than the ELF header can count keeps the count and the index of
// the name table in section header 0.
void TestResourceReader::extendedSectionNumbering()
{
    ElfFixture f = standardElf();
    f.put16(60, 0);
    f.put16(62, 0xffff);
    f.put64(f.sectionHeader(0) + 32, 3);
    f.put32(f.sectionHeader(0) + 40, 1);

    const ResourceReader::Resource book = ResourceReader::read(f.bytes, ResourceReader::Html, "d.htm");
    QVERIFY2(book.found, qPrintable(book.reason));
    QCOMPARE(book.data, Book);
}

void TestResourceReader::rejectsMalformed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");

    const quint32 html = ResourceReader::Html;
    const QByteArray good = standardElf().bytes;
    const qsizetype fileSize = good.size();

    QTest::newRow("missing file") << QByteArray() << html << "D.HTM" << "cannot be opened";
    QTest::newRow("empty file") << QByteArray("") << html << "D.HTM" << "not an ELF file";
    QTest::newRow("not ELF") << QByteArray("MZ\x90\0", 4).leftJustified(300, '\0') << html << "D.HTM"
                             << "not an ELF file";
    QTest::newRow("truncated ELF header") << good.left(40) << html << "D.HTM" << "truncated";

    ElfFixture f = standardElf();
    f.bytes[4] = 1;
    QTest::newRow("32-bit ELF") << f.bytes << html << "D.HTM" << "32-bit";
    f = standardElf();
    f.bytes[5] = 2;
    QTest::newRow("big-endian ELF") << f.bytes << html << "D.HTM" << "big-endian";

    f = standardElf();
    f.put64(40, 0);
    QTest::newRow("no section header table") << f.bytes << html << "D.HTM" << "no section header table";
    f = standardElf();
    f.put64(40, quint64(fileSize - 100));
    QTest::newRow("section table past the end") << f.bytes << html << "D.HTM"
                                                << "section header table lies outside the file";
    f = standardElf();
    f.put64(40, ~quint64(0) - 15);
    QTest::newRow("section table offset wraps around") << f.bytes << html << "D.HTM"
                                                       << "section header table lies outside the file";
    f = standardElf();
    f.put16(58, 40);
    QTest::newRow("section headers too small") << f.bytes << html << "D.HTM" << "too small";
    f = standardElf();
    f.put16(60, 0);
    f.put64(f.sectionHeader(0) + 32, 4'000'000'000ull);
    QTest::newRow("section count absurd") << f.bytes << html << "D.HTM" << "implausible number of sections";
    f = standardElf();
    f.put16(60, 0xff00);
    QTest::newRow("section count beyond the file") << f.bytes << html << "D.HTM"
                                                   << "section header table lies outside the file";

    f = standardElf();
    f.put16(62, 7);
    QTest::newRow("name table index out of range") << f.bytes << html << "D.HTM" << "no section name table";
    f = standardElf();
    f.put64(f.sectionHeader(1) + 24, quint64(fileSize));
    QTest::newRow("name table past the end") << f.bytes << html << "D.HTM"
                                             << "section name table lies outside the file";
    f = standardElf();
    f.put64(f.sectionHeader(1) + 32, ~quint64(0));
    QTest::newRow("name table size absurd") << f.bytes << html << "D.HTM" << "implausibly large";
    f = standardElf();
    f.put32(f.sectionHeader(2), 0xfffffff0u);
    QTest::newRow("section name offset out of range") << f.bytes << html << "D.HTM" << "no .rsrc section";

    QTest::newRow("no .rsrc section") << ElfFixture::elf(ElfFixture::table(standardEntries()), ".rsrd").bytes
                                      << html << "D.HTM" << "no .rsrc section";
    QTest::newRow("similar section name") << ElfFixture::elf(ElfFixture::table(standardEntries()), ".rsrc2").bytes
                                          << html << "D.HTM" << "no .rsrc section";
    f = standardElf();
    f.put32(f.sectionHeader(2) + 4, 8);
    QTest::newRow(".rsrc without file data") << f.bytes << html << "D.HTM" << "holds no data in the file";
    f = standardElf();
    f.put64(f.sectionHeader(2) + 24, 16);
    f.put64(f.sectionHeader(2) + 32, ~quint64(0) - 8);
    QTest::newRow(".rsrc offset+size overflows") << f.bytes << html << "D.HTM"
                                                 << ".rsrc section lies outside the file";
    f = standardElf();
    f.put64(f.sectionHeader(2) + 32, quint64(fileSize));
    QTest::newRow(".rsrc runs past the end") << f.bytes << html << "D.HTM" << ".rsrc section lies outside the file";

    f = standardElf();
    f.put64(f.sectionHeader(2) + 32, 10);
    QTest::newRow("table header incomplete") << f.bytes << html << "D.HTM" << "header is incomplete";
    f = standardElf();
    f.bytes[f.tableOffset] = 'X';
    QTest::newRow("table signature wrong") << f.bytes << html << "D.HTM" << "signature";
    f = standardElf();
    f.put32(f.tableOffset + 4, 2);
    QTest::newRow("table format unknown") << f.bytes << html << "D.HTM" << "unknown format 2";
    f = standardElf();
    f.put32(f.tableOffset + 8, 0xffffffffu);
    QTest::newRow("table count absurd") << f.bytes << html << "D.HTM" << "claims 4294967295 entries";
    f = standardElf();
    f.put32(f.tableOffset + 12, 0xffffffffu);
    QTest::newRow("table larger than its section") << f.bytes << html << "D.HTM" << "does not fit its section";

    f = standardElf();
    f.put32(f.entry(1) + 16, 0xfffffff0u);
    QTest::newRow("entry data offset+size past the table") << f.bytes << html << "D.HTM"
                                                          << "entry 1 points outside the table";
    f = standardElf();
    // Up to the end of the file: the section headers after the table would be read as data.
    f.put32(f.entry(1) + 20, quint32(fileSize - f.tableOffset)
                                     - qFromLittleEndian<quint32>(f.bytes.constData() + f.entry(1) + 16));
    QTest::newRow("entry data past the table but inside the file") << f.bytes << html << "D.HTM"
                                                                  << "entry 1 points outside the table";
    f = standardElf();
    f.put32(f.entry(1) + 20, 0x7fffffffu);
    QTest::newRow("entry data size absurd") << f.bytes << html << "D.HTM" << "entry 1 points outside the table";
    f = standardElf();
    f.put32(f.entry(0) + 8, 0xffffffffu);
    QTest::newRow("other entry's name out of bounds") << f.bytes << html << "D.HTM"
                                                      << "entry 0 points outside the table";

    QTest::newRow("name not found") << good << html << "E.HTM" << "no resource of type 23 named \"E.HTM\"";
    QTest::newRow("type mismatch") << good << quint32(ResourceReader::Icon) << "D.HTM"
                                   << "no resource of type 14 named \"D.HTM\"";
    QTest::newRow("name only a prefix") << good << html << "D.HT" << "no resource of type 23 named \"D.HT\"";
    QTest::newRow("no name asked for") << good << html << "" << "no resource name";
}

void TestResourceReader::rejectsMalformed()
{
    QFETCH(QByteArray, bytes);
    QFETCH(quint32, type);
    QFETCH(QString, name);
    QFETCH(QString, reason);

    // Through a file on disk, as the scheme handler reads it.
    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    QFile::remove(path);
    if (!bytes.isNull()) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    const ResourceReader::Resource fromFile = ResourceReader::read(path, type, name);
    QVERIFY(!fromFile.found);
    QVERIFY(fromFile.data.isEmpty());
    QVERIFY2(fromFile.reason.contains(reason), qPrintable(fromFile.reason));

    if (!bytes.isNull()) {
        const ResourceReader::Resource fromBytes = ResourceReader::read(bytes, type, name);
        QVERIFY(!fromBytes.found);
        QCOMPARE(fromBytes.reason, fromFile.reason);
    }
}

void TestResourceReader::everyTruncationIsRejected()
{
    const QByteArray file = standardElf().bytes;
    for (qsizetype size = 0; size < file.size(); ++size) {
        const ResourceReader::Resource book = ResourceReader::read(file.left(size), ResourceReader::Html, "D.HTM");
        QVERIFY2(!book.found, qPrintable(QString::number(size)));
        QVERIFY2(!book.reason.isEmpty(), qPrintable(QString::number(size)));
    }
}

// Whatever a damaged file says, the reader either finds bytes that lie in the file or gives
// a reason.
void TestResourceReader::damagedBytesNeverCrash()
{
    const QByteArray good = standardElf().bytes;
    QRandomGenerator random(20240611);
    int found = 0;
    for (int round = 0; round < 20000; ++round) {
        QByteArray file = good;
        const int flips = 1 + random.bounded(4);
        for (int i = 0; i < flips; ++i) {
            // Damage the headers and the table more often than the entries' data.
            const qsizetype at = random.bounded(2) ? random.bounded(file.size())
                                                   : random.bounded(64) + (random.bounded(2) ? 0 : file.size() - 192);
            file[at] = char(random.bounded(2) ? random.bounded(256) : 0xff);
        }
        const ResourceReader::Resource book = ResourceReader::read(file, ResourceReader::Html, "d.htm");
        if (book.found) {
            ++found;
            QVERIFY(book.reason.isEmpty());
            QVERIFY(book.data.size() <= file.size());
        } else {
            QVERIFY(!book.reason.isEmpty());
            QVERIFY(book.data.isEmpty());
        }
    }
    // Damage in the padding or in unread data leaves the book readable.
    QVERIFY(found > 0);
}

void TestResourceReader::unusableDevice()
{
    const QByteArray file = standardElf().bytes;
    QBuffer closed;
    closed.setData(file);
    QVERIFY(ResourceReader::read(&closed, ResourceReader::Html, "D.HTM").reason.contains("not open"));

    QProcess sequential;
    sequential.start(QStringLiteral("cat"), { QStringLiteral("/dev/null") });
    QVERIFY(sequential.waitForStarted());
    QVERIFY(ResourceReader::read(&sequential, ResourceReader::Html, "D.HTM").reason.contains("at random"));
    sequential.waitForFinished();

    // Read from the device's start, wherever it stands.
    QBuffer moved;
    moved.setData(file);
    QVERIFY(moved.open(QIODevice::ReadOnly));
    moved.seek(100);
    QCOMPARE(ResourceReader::read(&moved, ResourceReader::Html, "D.HTM").data, Book);
}

void TestResourceReader::builtBinary()
{
    const QString binary = QStringLiteral(AMBERVALE_BINARY);
    const QString resources = QStringLiteral(AMBERVALE_SOURCE_DIR "/resources/");

    const ResourceReader::Resource book = ResourceReader::read(binary, ResourceReader::Html, "d.htm");
    QVERIFY2(book.found, qPrintable(book.reason));
    QCOMPARE(book.data.size(), 17760);
    QCOMPARE(book.data.indexOf('\0'), 17759);
    QCOMPARE(book.language, 1033u);
    QCOMPARE(book.data, readAll(resources + "d.htm"));

    const ResourceReader::Resource icon = ResourceReader::read(binary, ResourceReader::Icon, "1");
    QVERIFY2(icon.found, qPrintable(icon.reason));
    QCOMPARE(icon.language, 1033u);
    QVERIFY(!icon.data.isEmpty());
    QCOMPARE(icon.data, readAll(resources + "ambervale.ico"));

    const ResourceReader::Resource version = ResourceReader::read(binary, ResourceReader::Version, "1");
    QVERIFY2(version.found, qPrintable(version.reason));
    QCOMPARE(version.language, 1033u);
    // "AVVB", then the file version and the product version, each four 16-bit parts.
    QCOMPARE(version.data, QByteArray("AVVB\x0b\0\0\0\0\0\0\0\x0b\0\0\0\0\0\0\0", 20));
}

// The table lives in an allocated section, which strip must keep.
void TestResourceReader::strippedBinaryKeepsTable()
{
    const QString strip = QStandardPaths::findExecutable(QStringLiteral("strip"));
    if (strip.isEmpty())
        QSKIP("strip is not installed");
    const QString stripped = m_dir.filePath(QStringLiteral("stripped"));
    QProcess process;
    process.start(strip, { QStringLiteral("-o"), stripped, QStringLiteral(AMBERVALE_BINARY) });
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(QFileInfo(stripped).size() > 0);

    const ResourceReader::Resource book = ResourceReader::read(stripped, ResourceReader::Html, "D.HTM");
    QVERIFY2(book.found, qPrintable(book.reason));
    QCOMPARE(book.data.size(), 17760);
}

AMBERVALE_TEST_MAIN(TestResourceReader)

#include "tst_resourcereader.moc"
