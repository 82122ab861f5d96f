// The resource reader on arbitrary file bytes. Besides the sanitizers, it checks what a caller
// relies on: a reason exactly when nothing is found, found data taken from the file itself,
// and the same answer through every entry point, whatever the device's position.

#include "view/resourcereader.h"

#include <QBuffer>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

struct Query
{
    quint32 type;
    const char *name;
};

// The book as the start page names it, and the other two kinds of entry the build packs.
constexpr Query Queries[] = {
    { ResourceReader::Html, "d.htm" },
    { ResourceReader::Icon, "1" },
    { ResourceReader::Version, "1" },
};

[[noreturn]] void fail(const char *what, const Query &query, const ResourceReader::Resource &resource)
{
    std::fprintf(stderr, "resource reader: %s (type %u, name \"%s\"; found %d, %lld bytes, reason \"%s\")\n",
                 what, query.type, query.name, int(resource.found), qlonglong(resource.data.size()),
                 qPrintable(resource.reason));
    std::abort();
}

bool same(const ResourceReader::Resource &a, const ResourceReader::Resource &b)
{
    return a.found == b.found && a.data == b.data && a.language == b.language && a.reason == b.reason;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Not copied: a read past the fuzzer's own buffer is caught at once.
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));

    for (const Query &query : Queries) {
        const QString name = QString::fromLatin1(query.name);
        const ResourceReader::Resource fromBytes = ResourceReader::read(file, query.type, name);
        if (fromBytes.found != fromBytes.reason.isEmpty())
            fail("a reason must be given exactly when nothing is found", query, fromBytes);
        if (!fromBytes.found && (!fromBytes.data.isEmpty() || fromBytes.language != 0))
            fail("nothing found, yet data or a language came back", query, fromBytes);
        if (fromBytes.found && !file.contains(fromBytes.data))
            fail("the data found is not part of the file", query, fromBytes);

        // A device left anywhere is read from its start.
        QBuffer device;
        device.setData(file);
        if (!device.open(QIODevice::ReadOnly))
            std::abort();
        device.seek(qint64(size / 2));
        const ResourceReader::Resource fromDevice = ResourceReader::read(&device, query.type, name);
        if (!same(fromBytes, fromDevice))
            fail("bytes and device disagree", query, fromDevice);

        // Names are compared without regard to ASCII case.
        const ResourceReader::Resource upper = ResourceReader::read(file, query.type, name.toUpper());
        if (upper.found != fromBytes.found || upper.data != fromBytes.data)
            fail("the name's letter case changed the answer", query, upper);
    }
    return 0;
}
