#ifndef ELFFIXTURE_H
#define ELFFIXTURE_H

#include <QByteArray>
#include <QList>
#include <QtEndian>

// Small hand-made 64-bit little-endian ELF files holding a resource table, laid out as
//   ELF header | section names | .rsrc contents | section headers (null, .shstrtab, .rsrc)
// so that a test can take them apart at known places.
class ElfFixture
{
public:
    struct Entry
    {
        quint32 type = 0;
        quint32 language = 1033;
        QByteArray name;
        QByteArray data;
    };

    static constexpr qsizetype HeaderSize = 16;
    static constexpr qsizetype EntrySize = 24;

    QByteArray bytes;
    qsizetype sectionHeaders = 0; // offset of section header 0
    qsizetype tableOffset = 0;    // offset of the .rsrc contents

    qsizetype sectionHeader(int index) const { return sectionHeaders + 64 * index; }
    // Where entry i's fields start, in the file.
    qsizetype entry(int i) const { return tableOffset + HeaderSize + EntrySize * i; }

    void put16(qsizetype at, quint16 value) { qToLittleEndian(value, bytes.data() + at); }
    void put32(qsizetype at, quint32 value) { qToLittleEndian(value, bytes.data() + at); }
    void put64(qsizetype at, quint64 value) { qToLittleEndian(value, bytes.data() + at); }

    // The table as the build packs it.
    static QByteArray table(const QList<Entry> &entries)
    {
        const auto align = [](qsizetype at) { return (at + 7) & ~qsizetype(7); };
        QList<qsizetype> nameAt, dataAt;
        qsizetype at = HeaderSize + EntrySize * entries.size();
        for (const Entry &e : entries) {
            nameAt << at;
            at += e.name.size();
        }
        for (const Entry &e : entries) {
            at = align(at);
            dataAt << at;
            at += e.data.size();
        }
        QByteArray t(at, '\0');
        t.replace(0, 4, "AVRT");
        qToLittleEndian(quint32(1), t.data() + 4);
        qToLittleEndian(quint32(entries.size()), t.data() + 8);
        qToLittleEndian(quint32(t.size()), t.data() + 12);
        for (int i = 0; i < entries.size(); ++i) {
            const Entry &e = entries[i];
            char *field = t.data() + HeaderSize + EntrySize * i;
            qToLittleEndian(e.type, field);
            qToLittleEndian(e.language, field + 4);
            qToLittleEndian(quint32(nameAt[i]), field + 8);
            qToLittleEndian(quint32(e.name.size()), field + 12);
            qToLittleEndian(quint32(dataAt[i]), field + 16);
            qToLittleEndian(quint32(e.data.size()), field + 20);
            t.replace(nameAt[i], e.name.size(), e.name);
            t.replace(dataAt[i], e.data.size(), e.data);
        }
        return t;
    }

    static ElfFixture elf(const QByteArray &tableSectionContents, const QByteArray &sectionName = ".rsrc")
    {
        ElfFixture f;
        QByteArray names = QByteArray("\0.shstrtab\0", 11) + sectionName + '\0';
        const qsizetype namesOffset = 64;
        f.tableOffset = (namesOffset + names.size() + 7) & ~qsizetype(7);
        f.sectionHeaders = (f.tableOffset + tableSectionContents.size() + 7) & ~qsizetype(7);
        f.bytes = QByteArray(f.sectionHeaders + 3 * 64, '\0');
        f.bytes.replace(0, 7, QByteArray("\x7f" "ELF\x02\x01\x01", 7));
        f.put16(16, 2);  // executable
        f.put16(18, 62); // x86-64
        f.put32(20, 1);
        f.put64(40, quint64(f.sectionHeaders));
        f.put16(52, 64);
        f.put16(58, 64);
        f.put16(60, 3);
        f.put16(62, 1);
        f.bytes.replace(namesOffset, names.size(), names);
        f.bytes.replace(f.tableOffset, tableSectionContents.size(), tableSectionContents);

        f.put32(f.sectionHeader(1), 1);     // ".shstrtab"
        f.put32(f.sectionHeader(1) + 4, 3); // string table
        f.put64(f.sectionHeader(1) + 24, quint64(namesOffset));
        f.put64(f.sectionHeader(1) + 32, quint64(names.size()));
        f.put32(f.sectionHeader(2), 11);    // the table's section
        f.put32(f.sectionHeader(2) + 4, 1); // program data
        f.put64(f.sectionHeader(2) + 8, 2); // allocated
        f.put64(f.sectionHeader(2) + 24, quint64(f.tableOffset));
        f.put64(f.sectionHeader(2) + 32, quint64(tableSectionContents.size()));
        return f;
    }
};

#endif // ELFFIXTURE_H
