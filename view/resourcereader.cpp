#include "resourcereader.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

#include <limits>
#include <optional>

namespace {

constexpr quint64 ElfHeaderSize = 64;
constexpr quint64 SectionHeaderSize = 64;
constexpr quint32 SectionTypeNoBits = 8;
constexpr quint16 SectionIndexExtended = 0xffff;
constexpr char TableSection[] = ".rsrc";

constexpr quint64 TableHeaderSize = 16;
constexpr quint64 TableEntrySize = 24;
constexpr char TableMagic[] = "AVRT";
constexpr quint32 TableFormat = 1;

// Far above anything a real executable carries; they keep a damaged file from making us
// read or allocate more than it could sensibly hold.
constexpr quint64 MaxSections = 1 << 16;
constexpr quint64 MaxSectionNamesSize = 1 << 20;
constexpr quint64 MaxTableSize = 256 << 20;

using Resource = ResourceReader::Resource;

Resource notFound(const QString &reason)
{
    Resource resource;
    resource.reason = reason;
    return resource;
}

quint16 u16(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 u32(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint64 u64(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint64>(bytes.constData() + at);
}

// offset..offset+size lies within 0..limit, without overflowing on the way.
bool fits(quint64 offset, quint64 size, quint64 limit)
{
    return offset <= limit && size <= limit - offset;
}

bool sameNameIgnoringAsciiCase(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

class RangeReader
{
public:
    explicit RangeReader(QIODevice *device)
        : m_device(device), m_size(quint64(device->size()))
    {
    }

    quint64 size() const { return m_size; }

    // Exactly size bytes at offset, or nothing when the range is not all within the file.
    std::optional<QByteArray> read(quint64 offset, quint64 size)
    {
        if (!fits(offset, size, m_size) || offset > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        if (!m_device->seek(qint64(offset)))
            return std::nullopt;
        QByteArray bytes = m_device->read(qint64(size));
        if (quint64(bytes.size()) != size)
            return std::nullopt;
        return bytes;
    }

private:
    QIODevice *m_device = nullptr;
    quint64 m_size = 0;
};

struct Section
{
    quint32 name = 0;
    quint32 type = 0;
    quint64 offset = 0;
    quint64 size = 0;
    quint32 link = 0;
};

Section sectionAt(const QByteArray &headers, quint64 index, quint64 stride)
{
    const qsizetype at = qsizetype(index * stride);
    Section section;
    section.name = u32(headers, at);
    section.type = u32(headers, at + 4);
    section.offset = u64(headers, at + 24);
    section.size = u64(headers, at + 32);
    section.link = u32(headers, at + 40);
    return section;
}

// Finds the table's section and returns its file range, or a reason.
std::optional<Section> findTableSection(RangeReader &file, QString &reason)
{
    const std::optional<QByteArray> header = file.read(0, ElfHeaderSize);
    if (!header) {
        if (file.size() >= 4) {
            const std::optional<QByteArray> magic = file.read(0, 4);
            if (magic && *magic != "\x7f" "ELF")
                reason = QStringLiteral("the file is not an ELF file");
            else
                reason = QStringLiteral("the file is truncated: its ELF header is incomplete");
        } else {
            reason = QStringLiteral("the file is not an ELF file (it holds only %1 bytes)").arg(file.size());
        }
        return std::nullopt;
    }
    if (!header->startsWith("\x7f" "ELF")) {
        reason = QStringLiteral("the file is not an ELF file");
        return std::nullopt;
    }
    const char elfClass = header->at(4);
    const char dataEncoding = header->at(5);
    if (elfClass == 1) {
        reason = QStringLiteral("the file is a 32-bit ELF file; only 64-bit files are read");
        return std::nullopt;
    }
    if (elfClass != 2) {
        reason = QStringLiteral("the ELF file has an unknown class (%1)").arg(int(elfClass));
        return std::nullopt;
    }
    if (dataEncoding == 2) {
        reason = QStringLiteral("the file is a big-endian ELF file; only little-endian files are read");
        return std::nullopt;
    }
    if (dataEncoding != 1) {
        reason = QStringLiteral("the ELF file has an unknown byte order (%1)").arg(int(dataEncoding));
        return std::nullopt;
    }

    const quint64 tableOffset = u64(*header, 40);
    const quint64 stride = u16(*header, 58);
    quint64 count = u16(*header, 60);
    quint64 namesIndex = u16(*header, 62);
    if (tableOffset == 0) {
        reason = QStringLiteral("the file has no section header table");
        return std::nullopt;
    }
    if (stride < SectionHeaderSize) {
        reason = QStringLiteral("the file's section headers are too small (%1 bytes)").arg(stride);
        return std::nullopt;
    }
    // Counts too large for the ELF header are kept in the first section header.
    if (count == 0 || namesIndex == SectionIndexExtended) {
        const std::optional<QByteArray> first = file.read(tableOffset, SectionHeaderSize);
        if (!first) {
            reason = QStringLiteral("the section header table lies outside the file");
            return std::nullopt;
        }
        const Section zero = sectionAt(*first, 0, stride);
        if (count == 0)
            count = zero.size;
        if (namesIndex == SectionIndexExtended)
            namesIndex = zero.link;
    }
    if (count == 0) {
        reason = QStringLiteral("the file has no sections");
        return std::nullopt;
    }
    if (count > MaxSections) {
        reason = QStringLiteral("the file claims an implausible number of sections (%1)").arg(count);
        return std::nullopt;
    }
    const std::optional<QByteArray> headers = file.read(tableOffset, count * stride);
    if (!headers) {
        reason = QStringLiteral("the section header table lies outside the file");
        return std::nullopt;
    }
    if (namesIndex == 0 || namesIndex >= count) {
        reason = QStringLiteral("the file has no section name table");
        return std::nullopt;
    }
    const Section namesSection = sectionAt(*headers, namesIndex, stride);
    if (namesSection.size > MaxSectionNamesSize) {
        reason = QStringLiteral("the section name table is implausibly large (%1 bytes)").arg(namesSection.size);
        return std::nullopt;
    }
    const std::optional<QByteArray> names = file.read(namesSection.offset, namesSection.size);
    if (!names) {
        reason = QStringLiteral("the section name table lies outside the file");
        return std::nullopt;
    }

    const QByteArray wanted(TableSection, sizeof TableSection); // with its terminating NUL
    for (quint64 index = 1; index < count; ++index) {
        const Section section = sectionAt(*headers, index, stride);
        if (!fits(section.name, quint64(wanted.size()), quint64(names->size()))
            || names->mid(section.name, wanted.size()) != wanted) {
            continue;
        }
        if (section.type == SectionTypeNoBits) {
            reason = QStringLiteral("the %1 section holds no data in the file").arg(QLatin1StringView(TableSection));
            return std::nullopt;
        }
        if (!fits(section.offset, section.size, file.size())) {
            reason = QStringLiteral("the %1 section lies outside the file").arg(QLatin1StringView(TableSection));
            return std::nullopt;
        }
        return section;
    }
    reason = QStringLiteral("the file has no %1 section").arg(QLatin1StringView(TableSection));
    return std::nullopt;
}

Resource readFromTable(RangeReader &file, const Section &section, quint32 type, const QByteArray &name)
{
    const auto damaged = [](const QString &what) {
        return notFound(QStringLiteral("the resource table is damaged: %1").arg(what));
    };
    if (section.size > MaxTableSize)
        return damaged(QStringLiteral("its section is implausibly large (%1 bytes)").arg(section.size));
    const std::optional<QByteArray> header = file.read(section.offset, qMin(section.size, TableHeaderSize));
    if (!header || quint64(header->size()) < TableHeaderSize)
        return damaged(QStringLiteral("its header is incomplete"));
    if (!header->startsWith(TableMagic))
        return damaged(QStringLiteral("it does not start with its signature"));
    if (u32(*header, 4) != TableFormat)
        return damaged(QStringLiteral("unknown format %1").arg(u32(*header, 4)));
    const quint64 count = u32(*header, 8);
    const quint64 tableSize = u32(*header, 12);
    if (tableSize < TableHeaderSize || tableSize > section.size)
        return damaged(QStringLiteral("its size (%1 bytes) does not fit its section (%2 bytes)")
                               .arg(tableSize).arg(section.size));
    if (count > (tableSize - TableHeaderSize) / TableEntrySize)
        return damaged(QStringLiteral("it claims %1 entries in %2 bytes").arg(count).arg(tableSize));

    const std::optional<QByteArray> entries =
            file.read(section.offset + TableHeaderSize, count * TableEntrySize);
    if (!entries)
        return damaged(QStringLiteral("its entries cannot be read"));
    for (quint64 i = 0; i < count; ++i) {
        const qsizetype at = qsizetype(i * TableEntrySize);
        if (!fits(u32(*entries, at + 8), u32(*entries, at + 12), tableSize)
            || !fits(u32(*entries, at + 16), u32(*entries, at + 20), tableSize)) {
            return damaged(QStringLiteral("entry %1 points outside the table").arg(i));
        }
    }

    for (quint64 i = 0; i < count; ++i) {
        const qsizetype at = qsizetype(i * TableEntrySize);
        if (u32(*entries, at) != type || u32(*entries, at + 12) != quint32(name.size()))
            continue;
        const std::optional<QByteArray> entryName =
                file.read(section.offset + u32(*entries, at + 8), u32(*entries, at + 12));
        if (!entryName)
            return damaged(QStringLiteral("the name of entry %1 cannot be read").arg(i));
        if (!sameNameIgnoringAsciiCase(*entryName, name))
            continue;
        const std::optional<QByteArray> data =
                file.read(section.offset + u32(*entries, at + 16), u32(*entries, at + 20));
        if (!data)
            return damaged(QStringLiteral("the data of entry %1 cannot be read").arg(i));
        Resource resource;
        resource.found = true;
        resource.data = *data;
        resource.language = u32(*entries, at + 4);
        return resource;
    }
    return notFound(QStringLiteral("the file has no resource of type %1 named \"%2\"")
                            .arg(type).arg(QString::fromUtf8(name)));
}

} // namespace

ResourceReader::Resource ResourceReader::read(const QString &filePath, quint32 type, const QString &name)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return notFound(QStringLiteral("the file %1 cannot be opened: %2").arg(filePath, file.errorString()));
    return read(&file, type, name);
}

ResourceReader::Resource ResourceReader::read(const QByteArray &fileBytes, quint32 type, const QString &name)
{
    QBuffer buffer;
    buffer.setData(fileBytes);
    buffer.open(QIODevice::ReadOnly);
    return read(&buffer, type, name);
}

ResourceReader::Resource ResourceReader::read(QIODevice *device, quint32 type, const QString &name)
{
    if (!device || !device->isOpen() || !device->isReadable())
        return notFound(QStringLiteral("the file is not open for reading"));
    if (device->isSequential())
        return notFound(QStringLiteral("the file cannot be read at random"));
    if (name.isEmpty())
        return notFound(QStringLiteral("no resource name was given"));

    RangeReader file(device);
    QString reason;
    const std::optional<Section> section = findTableSection(file, reason);
    if (!section)
        return notFound(reason);
    return readFromTable(file, *section, type, name.toUtf8());
}
