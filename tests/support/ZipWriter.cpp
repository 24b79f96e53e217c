#include "tests/support/ZipWriter.h"

#include <zlib.h>

namespace TestSupport {

namespace {

void Append16(std::string& s, uint32_t v)
{
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}

void Append32(std::string& s, uint32_t v)
{
    Append16(s, v & 0xFFFF);
    Append16(s, v >> 16);
}

}  // namespace

void PutLe16(std::string& s, size_t pos, uint32_t v)
{
    s[pos] = char(v & 0xFF);
    s[pos + 1] = char((v >> 8) & 0xFF);
}

void PutLe32(std::string& s, size_t pos, uint32_t v)
{
    PutLe16(s, pos, v & 0xFFFF);
    PutLe16(s, pos + 2, v >> 16);
}

uint32_t GetLe32(const std::string& s, size_t pos)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data() + pos);
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

std::string RawDeflate(const std::string& data, int level)
{
    z_stream zs = {};
    deflateInit2(&zs, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, uLong(data.size())) + 16, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

uint32_t Crc32(const std::string& data)
{
    return uint32_t(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
}

void ZipWriter::Add(const std::string& name, const std::string& data, int method)
{
    Item item;
    item.name = name;
    item.packed = method == 8 ? RawDeflate(data) : data;
    item.crc = Crc32(data);
    item.size = uint32_t(data.size());
    item.method = method;
    m_items.push_back(item);
}

std::string ZipWriter::Finish(const std::string& comment)
{
    std::string out;
    m_placed.clear();
    for (const Item& item : m_items) {
        ZipPlacedEntry placed;
        placed.local = out.size();
        Append32(out, 0x04034B50);
        Append16(out, 20);
        Append16(out, 0);
        Append16(out, uint32_t(item.method));
        Append16(out, 0x6000);  // 12:00:00
        Append16(out, 0x5A21);  // 2025-01-01
        Append32(out, item.crc);
        Append32(out, uint32_t(item.packed.size()));
        Append32(out, item.size);
        Append16(out, uint32_t(item.name.size()));
        Append16(out, 0);
        out += item.name;
        placed.data = out.size();
        placed.packed = item.packed.size();
        out += item.packed;
        m_placed.push_back(placed);
    }
    m_directory = out.size();
    for (size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        m_placed[i].central = out.size();
        Append32(out, 0x02014B50);
        Append16(out, 20);
        Append16(out, 20);
        Append16(out, 0);
        Append16(out, uint32_t(item.method));
        Append16(out, 0x6000);
        Append16(out, 0x5A21);
        Append32(out, item.crc);
        Append32(out, uint32_t(item.packed.size()));
        Append32(out, item.size);
        Append16(out, uint32_t(item.name.size()));
        Append16(out, 0);
        Append16(out, 0);
        Append16(out, 0);
        Append16(out, 0);
        Append32(out, 0);
        Append32(out, uint32_t(m_placed[i].local));
        out += item.name;
    }
    const size_t directorySize = out.size() - m_directory;
    m_endRecord = out.size();
    Append32(out, 0x06054B50);
    Append16(out, 0);
    Append16(out, 0);
    Append16(out, uint32_t(m_items.size()));
    Append16(out, uint32_t(m_items.size()));
    Append32(out, uint32_t(directorySize));
    Append32(out, uint32_t(m_directory));
    Append16(out, uint32_t(comment.size()));
    out += comment;
    return out;
}

}  // namespace TestSupport
