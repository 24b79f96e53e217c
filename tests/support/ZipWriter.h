#pragma once
// Builds ZIP archives in memory for the package tests: stored or deflated
// entries (raw deflate through zlib), with the offsets of every record so a
// test can damage exactly one field.

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace TestSupport {

struct ZipPlacedEntry
{
    size_t local = 0;    // local header
    size_t data = 0;     // first data byte
    size_t packed = 0;   // data bytes
    size_t central = 0;  // central directory header
};

class ZipWriter
{
public:
    // Method 0 stores, 8 deflates; any other value stores the bytes as they
    // are but writes that method into the headers.
    void Add(const std::string& name, const std::string& data, int method = 8);
    // The archive: local headers and data, central directory, end record.
    std::string Finish(const std::string& comment = std::string());

    const std::vector<ZipPlacedEntry>& Entries() const { return m_placed; }
    size_t EndRecord() const { return m_endRecord; }
    size_t Directory() const { return m_directory; }

private:
    struct Item
    {
        std::string name;
        std::string packed;
        uint32_t crc;
        uint32_t size;
        int method;
    };
    std::vector<Item> m_items;
    std::vector<ZipPlacedEntry> m_placed;
    size_t m_endRecord = 0;
    size_t m_directory = 0;
};

// Raw deflate (no zlib header) at the given level.
std::string RawDeflate(const std::string& data, int level = 6);
uint32_t Crc32(const std::string& data);

// Little-endian field writes into an archive held in a string.
void PutLe16(std::string& s, size_t pos, uint32_t v);
void PutLe32(std::string& s, size_t pos, uint32_t v);
uint32_t GetLe32(const std::string& s, size_t pos);

}  // namespace TestSupport
