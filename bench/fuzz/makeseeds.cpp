// Writes small seed corpora and dictionaries for the two fuzzers into the directory given:
//   <dir>/reader/*   minimal 64-bit ELF files with a resource table, as the build packs it
//   <dir>/address/*  executable paths and res: addresses
//   <dir>/reader.dict, <dir>/address.dict

#include "resources/elffixture.h"
#include "view/resourcereader.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdio>

namespace {

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "makeseeds: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QByteArray dictionary(const QList<QByteArray> &tokens)
{
    QByteArray text;
    for (const QByteArray &token : tokens) {
        text += '"';
        for (const char c : token) {
            if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\')
                text += c;
            else
                text += "\\x" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
        }
        text += "\"\n";
    }
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeseeds <directory>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("reader")) || !dir.mkpath(QStringLiteral("address")))
        return 1;

    const QByteArray book = QByteArray("<html><body>book\r\n</body></html>\r\n", 35) + '\0';
    const QList<ElfFixture::Entry> entries = {
        { ResourceReader::Icon, 1033, "1", QByteArray("\0\0\1\0", 4) },
        { ResourceReader::Html, 1033, "D.HTM", book },
        { ResourceReader::Version, 1033, "1", "11.0.0.0" },
    };
    const ElfFixture standard = ElfFixture::elf(ElfFixture::table(entries));

    ElfFixture extended = standard; // section count and name index kept in section header 0
    extended.put16(60, 0);
    extended.put16(62, 0xffff);
    extended.put64(extended.sectionHeader(0) + 32, 3);
    extended.put32(extended.sectionHeader(0) + 40, 1);

    ElfFixture noBits = standard;
    noBits.put32(noBits.sectionHeader(2) + 4, 8);

    bool ok = write(dir.filePath(QStringLiteral("reader/standard")), standard.bytes)
            && write(dir.filePath(QStringLiteral("reader/extended-numbering")), extended.bytes)
            && write(dir.filePath(QStringLiteral("reader/no-bits")), noBits.bytes)
            && write(dir.filePath(QStringLiteral("reader/book-only")),
                     ElfFixture::elf(ElfFixture::table({ entries[1] })).bytes)
            && write(dir.filePath(QStringLiteral("reader/empty-table")), ElfFixture::elf(ElfFixture::table({})).bytes)
            && write(dir.filePath(QStringLiteral("reader/other-section")),
                     ElfFixture::elf(ElfFixture::table(entries), ".data").bytes);

    const QStringList addresses = {
        QStringLiteral("/work/main/build/ambervale"),
        QStringLiteral("/ambervale"),
        QStringLiteral("/opt/Reader.bin"),
        QStringLiteral("/home/a b/#x %y ?z &amp;/ambervale"),
        QString::fromUtf8("/home/zoë/.hidden"),
        QStringLiteral("res:///work/main/build\\ambervale.exe/d.htm"),
        QStringLiteral("res:///\\ambervale.exe/d.htm"),
        QStringLiteral("res:///tmp/%41%2F\\a.exe/d.htm"),
        QStringLiteral("RES:///opt/../opt/./x\\a.exe/D.HTM"),
        QStringLiteral("res://C:\\Books\\Reader.exe/d.htm"),
        QStringLiteral("http://www.palendor.example/"),
    };
    for (int i = 0; i < addresses.size(); ++i)
        ok = ok && write(dir.filePath(QStringLiteral("address/%1").arg(i)), addresses[i].toUtf8());

    ok = ok
            && write(dir.filePath(QStringLiteral("reader.dict")),
                     dictionary({ "\x7f" "ELF\x02\x01\x01", QByteArray(".rsrc\0", 6), QByteArray(".shstrtab\0", 10),
                                  "AVRT", QByteArray("\x01\0\0\0", 4), QByteArray("\x17\0\0\0", 4), "D.HTM",
                                  QByteArray("\xff\xff", 2), QByteArray("\x08\0\0\0", 4) }))
            && write(dir.filePath(QStringLiteral("address.dict")),
                     dictionary({ "res:", "res://", "res:///", "\\", ".exe", ".exe/d.htm", "/d.htm", "//", "/../",
                                  "/./", "%", "%2F", "%25", "#", "?", " ", "@", ":", "[", "]", "\xc3\xa9" }));
    return ok ? 0 : 1;
}
