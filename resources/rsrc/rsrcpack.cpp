// Packs the program's resource table: the blob that the build places into the executable's
// own .rsrc section, where ResourceReader finds it again.
//
//   av_rsrcpack OUTPUT (TYPE LANGUAGE NAME KIND VALUE)...
//
// KIND "file": VALUE is a file whose bytes are the entry's data, taken whole.
// KIND "version": VALUE is a dotted version ("11.0.0.0"), stored as the version block below,
// as both the file version and the product version.
//
// Layout, every number little-endian, every offset counted from the start of the table:
//   header  "AVRT", u32 format (1), u32 entry count, u32 table size
//   entries u32 type, u32 language, u32 name offset, u32 name length,
//           u32 data offset, u32 data size                              (24 bytes each)
//   names   the entries' names, ASCII, no terminator
//   data    each entry's data, starting on an 8-byte boundary
// Version block: "AVVB", u16 file version[4], u16 product version[4] (major first).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Entry
{
    std::uint32_t type = 0;
    std::uint32_t language = 0;
    std::string name;
    std::string data;
};

[[noreturn]] void fail(const std::string &message)
{
    std::fprintf(stderr, "av_rsrcpack: %s\n", message.c_str());
    std::exit(1);
}

std::uint32_t parseNumber(const std::string &text, std::uint32_t max, const char *what)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        fail(std::string("not a number for the ") + what + ": \"" + text + "\"");
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (value > max)
        fail(std::string("the ") + what + " is too large: " + text);
    return static_cast<std::uint32_t>(value);
}

void putU16(std::string &out, std::uint32_t value)
{
    out.push_back(static_cast<char>(value & 0xff));
    out.push_back(static_cast<char>((value >> 8) & 0xff));
}

void putU32(std::string &out, std::uint32_t value)
{
    putU16(out, value & 0xffff);
    putU16(out, value >> 16);
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string versionBlock(const std::string &dotted)
{
    std::vector<std::uint32_t> parts;
    std::istringstream in(dotted);
    for (std::string part; std::getline(in, part, '.');)
        parts.push_back(parseNumber(part, 0xffff, "version part"));
    if (parts.empty() || parts.size() > 4)
        fail("a version has one to four parts: \"" + dotted + "\"");
    parts.resize(4, 0);

    std::string block = "AVVB";
    for (int copy = 0; copy < 2; ++copy) {
        for (std::uint32_t part : parts)
            putU16(block, part);
    }
    return block;
}

std::string pack(const std::vector<Entry> &entries)
{
    const std::uint64_t headerSize = 16 + 24 * std::uint64_t(entries.size());
    std::vector<std::uint64_t> nameOffsets, dataOffsets;
    std::uint64_t offset = headerSize;
    for (const Entry &entry : entries) {
        nameOffsets.push_back(offset);
        offset += entry.name.size();
    }
    for (const Entry &entry : entries) {
        offset = (offset + 7) & ~std::uint64_t(7);
        dataOffsets.push_back(offset);
        offset += entry.data.size();
    }
    if (offset > std::numeric_limits<std::uint32_t>::max())
        fail("the resource table would exceed 4 GiB");

    std::string table = "AVRT";
    putU32(table, 1);
    putU32(table, static_cast<std::uint32_t>(entries.size()));
    putU32(table, static_cast<std::uint32_t>(offset));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        putU32(table, entries[i].type);
        putU32(table, entries[i].language);
        putU32(table, static_cast<std::uint32_t>(nameOffsets[i]));
        putU32(table, static_cast<std::uint32_t>(entries[i].name.size()));
        putU32(table, static_cast<std::uint32_t>(dataOffsets[i]));
        putU32(table, static_cast<std::uint32_t>(entries[i].data.size()));
    }
    for (const Entry &entry : entries)
        table += entry.name;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        table.resize(dataOffsets[i], '\0');
        table += entries[i].data;
    }
    return table;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || (args.size() - 1) % 5 != 0)
        fail("usage: av_rsrcpack OUTPUT (TYPE LANGUAGE NAME file|version VALUE)...");

    std::vector<Entry> entries;
    for (std::size_t i = 1; i < args.size(); i += 5) {
        Entry entry;
        entry.type = parseNumber(args[i], 0xffff, "resource type");
        entry.language = parseNumber(args[i + 1], 0xffff, "language");
        entry.name = args[i + 2];
        if (entry.name.empty())
            fail("a resource needs a name");
        for (unsigned char c : entry.name) {
            if (c < 0x21 || c > 0x7e)
                fail("resource names are printable ASCII: \"" + entry.name + "\"");
        }
        if (args[i + 3] == "file")
            entry.data = readFile(args[i + 4]);
        else if (args[i + 3] == "version")
            entry.data = versionBlock(args[i + 4]);
        else
            fail("unknown kind of entry data: \"" + args[i + 3] + "\"");
        entries.push_back(std::move(entry));
    }

    const std::string table = pack(entries);
    const std::string temporary = args[0] + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(table.data(), static_cast<std::streamsize>(table.size()));
        if (!out.flush())
            fail("cannot write " + temporary);
    }
    if (std::rename(temporary.c_str(), args[0].c_str()) != 0)
        fail("cannot replace " + args[0]);
    return 0;
}
