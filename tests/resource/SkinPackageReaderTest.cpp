#include "skinui/resource/SkinPackage.h"

#include "tests/support/TempFolder.h"
#include "tests/support/ZipWriter.h"

#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using namespace SkinUI;
using TestSupport::GetLe32;
using TestSupport::PutLe16;
using TestSupport::PutLe32;
using TestSupport::ZipWriter;

// Sections: helpers, sources and names, reading, damaged archives, handles.

namespace {

// ---- Helpers -------------------------------------------------------------------
std::string Text(size_t n, unsigned seed)
{
    std::string s;
    static const char* const kWords[] = {"<Button ", "name=\"x\" ", "pos=\"1,2,3,4\" ", "\n", "/>", "text "};
    while (s.size() < n) s += kWords[(seed = seed * 1103515245u + 12345u) >> 16 & 3 ? (seed >> 20) % 6 : 0];
    s.resize(n);
    return s;
}

struct Package
{
    std::string bytes;
    ZipWriter writer;
};

// Entry 0 "Skin.xml" deflated, 1 "img/Btn_Close.png" stored, 2 "empty.txt".
Package Standard()
{
    Package p;
    p.writer.Add("Skin.xml", Text(5000, 1), 8);
    p.writer.Add("img/Btn_Close.png", Text(700, 2), 0);
    p.writer.Add("empty.txt", "", 0);
    p.bytes = p.writer.Finish();
    return p;
}

// The whole entry in one call, as the engine reads it.
DWORD UnpackWhole(HANDLE h, const wchar_t* name, std::string& out)
{
    int index = -1;
    TSkinPackageEntry entry;
    DWORD r = SkinPackageFind(h, name, true, &index, &entry);
    if (r != SKINPKG_OK) return r;
    out.assign(entry.unpackedSize + 16, '\x5A');
    r = SkinPackageUnpack(h, index, &out[0], entry.unpackedSize);
    for (size_t i = entry.unpackedSize; i < out.size(); ++i)
        EXPECT_EQ('\x5A', out[i]) << "write past the buffer";
    out.resize(entry.unpackedSize);
    return r;
}

HANDLE OpenMemory(const std::string& bytes, DWORD* result = nullptr)
{
    return SkinPackageOpen(bytes.data(), DWORD(bytes.size()), SKINPKG_MEMORY, result);
}

}  // namespace

// ---- Sources and names -------------------------------------------------------------

TEST(SkinPackageReader, FindsEntriesIgnoringAsciiCaseWithBackslashes)
{
    Package p = Standard();
    HANDLE h = OpenMemory(p.bytes);
    ASSERT_NE(nullptr, h);
    const std::tuple<const wchar_t*, bool, DWORD, int> cases[] = {
        {L"Skin.xml", true, SKINPKG_OK, 0},
        {L"SKIN.XML", true, SKINPKG_OK, 0},
        {L"skin.xml", false, SKINPKG_NOTFOUND, -1},
        {L"Skin.xml", false, SKINPKG_OK, 0},
        {L"img\\btn_close.PNG", true, SKINPKG_OK, 1},
        {L"img/Btn_Close.png", false, SKINPKG_OK, 1},
        {L"img/Btn_Close.pn", true, SKINPKG_NOTFOUND, -1},
        {L"img/Btn_Close.png ", true, SKINPKG_NOTFOUND, -1},
        {L"Btn_Close.png", true, SKINPKG_NOTFOUND, -1},
        {L"EMPTY.TXT", true, SKINPKG_OK, 2},
        {L"", true, SKINPKG_NOTFOUND, -1},
    };
    for (const auto& [name, ignoreCase, result, index] : cases) {
        int found = 99;
        TSkinPackageEntry entry;
        EXPECT_EQ(result, SkinPackageFind(h, name, ignoreCase, &found, &entry)) << name;
        EXPECT_EQ(index, found) << name;
        if (result == SKINPKG_OK) {
            EXPECT_EQ(index, entry.index);
        }
    }
    int index = 0;
    TSkinPackageEntry entry;
    ASSERT_EQ(SKINPKG_OK, SkinPackageFind(h, L"IMG/BTN_CLOSE.PNG", true, &index, &entry));
    EXPECT_STREQ(L"img/Btn_Close.png", entry.name);
    EXPECT_EQ(700u, entry.unpackedSize);
    EXPECT_EQ(700u, entry.packedSize);
    EXPECT_EQ(SKINPKG_NOTFOUND, SkinPackageFind(h, std::wstring(256, L'a').c_str(), true, &index, &entry));
    EXPECT_EQ(SKINPKG_OK, SkinPackageClose(h));
}

// Every source kind, with and without data in front of the archive.
TEST(SkinPackageReader, OpensFromMemoryFileNameAndHandleWithPrefix)
{
    Package p = Standard();
    const std::string stub(100, 'M');
    TestSupport::TempFolder folder("vzpkg");
    const std::string plain = folder.File("plain.zip"), prefixed = folder.File("prefixed.zip");
    ASSERT_TRUE(TestSupport::WriteWholeFile(plain, p.bytes));
    ASSERT_TRUE(TestSupport::WriteWholeFile(prefixed, stub + p.bytes));
    const std::string withStub = stub + p.bytes;

    std::vector<HANDLE> handles;
    handles.push_back(OpenMemory(p.bytes));
    handles.push_back(OpenMemory(withStub));
    handles.push_back(SkinPackageOpen(TestSupport::WideFromAnsi(plain).c_str(), 0, SKINPKG_FILENAME));
    handles.push_back(SkinPackageOpen(TestSupport::WideFromAnsi(prefixed).c_str(), 0, SKINPKG_FILENAME));
    // A handle's current position is the archive's start: 100 bytes in, the
    // stub is not part of it; at 0 it is a prefix.
    for (LONG start : {0L, 100L}) {
        HANDLE file = CreateFileW(TestSupport::WideFromAnsi(prefixed).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        SetFilePointer(file, start, nullptr, FILE_BEGIN);
        handles.push_back(SkinPackageOpen(file, 0, SKINPKG_HANDLE));
        CloseHandle(file);  // the package keeps its own duplicate
    }
    for (size_t i = 0; i < handles.size(); ++i) {
        ASSERT_NE(nullptr, handles[i]) << "source " << i;
        std::string out;
        EXPECT_EQ(SKINPKG_MORE, UnpackWhole(handles[i], L"skin.xml", out)) << "source " << i;
        EXPECT_EQ(Text(5000, 1), out) << "source " << i;
        EXPECT_EQ(SKINPKG_MORE, UnpackWhole(handles[i], L"IMG/btn_close.png", out)) << "source " << i;
        EXPECT_EQ(Text(700, 2), out) << "source " << i;
        EXPECT_EQ(SKINPKG_OK, SkinPackageClose(handles[i]));
    }
}

// An archive written by the zip tool (see fixtures/README.md).
TEST(SkinPackageReader, ReadsArchiveWrittenByZipTool)
{
    const std::wstring path = TestSupport::TestBinDir() + L"skin_fixture.zip";
    std::string bytes;
    ASSERT_TRUE(TestSupport::ReadWholeFile(TestSupport::AnsiFromWide(path), bytes));
    HANDLE fromFile = SkinPackageOpen(path.c_str(), 0, SKINPKG_FILENAME);
    HANDLE fromMemory = OpenMemory(bytes);
    for (HANDLE h : {fromFile, fromMemory}) {
        ASSERT_NE(nullptr, h);
        std::string xml, stored;
        EXPECT_EQ(SKINPKG_MORE, UnpackWhole(h, L"skin.XML", xml));
        EXPECT_EQ(1990u, xml.size());
        EXPECT_EQ(0x5634c231u, TestSupport::Crc32(xml));
        EXPECT_EQ(0u, xml.find("<?xml"));
        EXPECT_EQ(SKINPKG_MORE, UnpackWhole(h, L"Stored.txt", stored));
        EXPECT_EQ("stored without compression\n", stored);
        SkinPackageClose(h);
    }
}

// ---- Reading ------------------------------------------------------------------------

// Pieces continue where the previous call ended; another entry in between
// closes the open one, so the first starts again from its beginning.
TEST(SkinPackageReader, UnpacksInPiecesAndRestartsAfterAnotherEntry)
{
    Package p = Standard();
    HANDLE h = OpenMemory(p.bytes);
    ASSERT_NE(nullptr, h);
    for (DWORD piece : {1u, 100u, 4096u, 4999u, 5000u, 9000u}) {
        std::string got;
        std::vector<char> buf(piece);
        DWORD r;
        int calls = 0;
        while ((r = SkinPackageUnpack(h, 0, buf.data(), piece)) == SKINPKG_MORE && ++calls < 10000) {
            const size_t n = std::min<size_t>(piece, 5000 - got.size());
            got.append(buf.data(), n);
        }
        EXPECT_EQ(SKINPKG_OK, r) << piece;
        EXPECT_EQ(Text(5000, 1), got) << piece;
    }
    char head[10], other[700];
    EXPECT_EQ(SKINPKG_MORE, SkinPackageUnpack(h, 0, head, 10));
    EXPECT_EQ(SKINPKG_MORE, SkinPackageUnpack(h, 1, other, 700));
    EXPECT_EQ(SKINPKG_MORE, SkinPackageUnpack(h, 0, head, 10));
    EXPECT_EQ(Text(10, 1), std::string(head, 10));
    // Finding an entry closes the one open for unpacking.
    int index = -1;
    EXPECT_EQ(SKINPKG_OK, SkinPackageFind(h, L"Skin.xml", true, &index, nullptr));
    EXPECT_EQ(SKINPKG_MORE, SkinPackageUnpack(h, 0, head, 10));
    EXPECT_EQ(Text(10, 1), std::string(head, 10));
    // An empty entry gives nothing and is finished at once.
    EXPECT_EQ(SKINPKG_OK, SkinPackageUnpack(h, 2, head, 10));
    SkinPackageClose(h);
}

// With flag bit 3 the sizes and CRC live in a data descriptor: the local
// header's zeros are not compared, the directory's values are used.
TEST(SkinPackageReader, DataDescriptorFlagSkipsTheLocalSizes)
{
    Package p = Standard();
    const size_t local = p.writer.Entries()[0].local;
    PutLe16(p.bytes, local + 6, 8);
    for (size_t field : {14u, 18u, 22u}) PutLe32(p.bytes, local + field, 0);
    HANDLE h = OpenMemory(p.bytes);
    ASSERT_NE(nullptr, h);
    std::string out;
    EXPECT_EQ(SKINPKG_MORE, UnpackWhole(h, L"Skin.xml", out));
    EXPECT_EQ(Text(5000, 1), out);
    SkinPackageClose(h);
}

TEST(SkinPackageReader, CommentDecidesWhetherTheEndRecordIsInReach)
{
    struct Case
    {
        size_t comment;
        bool opens;
    };
    const Case cases[] = {{0, true}, {1000, true}, {65535 - 22, true}, {65535 - 21, false}, {65535, false}};
    for (const Case& c : cases) {
        ZipWriter w;
        w.Add("a.txt", "alpha", 8);
        const std::string bytes = w.Finish(std::string(c.comment, 'c'));
        HANDLE h = OpenMemory(bytes);
        EXPECT_EQ(c.opens, h != nullptr) << c.comment;
        if (h) SkinPackageClose(h);
    }
}

// ---- Damaged archives -----------------------------------------------------------------

TEST(SkinPackageReader, EveryTruncationFailsToOpen)
{
    Package p = Standard();
    for (size_t n = 0; n < p.bytes.size(); ++n) {
        DWORD result = 0;
        HANDLE front = OpenMemory(p.bytes.substr(0, n), &result);
        EXPECT_EQ(nullptr, front) << "first " << n << " bytes";
        EXPECT_EQ(SKINPKG_BADDATA, result) << n;
        HANDLE back = OpenMemory(p.bytes.substr(p.bytes.size() - n), &result);
        EXPECT_EQ(nullptr, back) << "last " << n << " bytes";
        if (front) SkinPackageClose(front);
        if (back) SkinPackageClose(back);
    }
}

// One field of an otherwise sound archive changed: the open fails, or the
// unpack of the damaged entry fails while the others still read.
TEST(SkinPackageReader, DamagedFieldsGiveAFailureNotData)
{
    enum Outcome
    {
        OPEN_FAILS,
        UNPACK_FAILS
    };
    struct Case
    {
        const char* what;
        void (*damage)(std::string&, const ZipWriter&);
        Outcome outcome;
    };
    const Case cases[] = {
        {"CRC-32 wrong in both headers",
         [](std::string& s, const ZipWriter& w) {
             PutLe32(s, w.Entries()[0].local + 14, 0x12345678);
             PutLe32(s, w.Entries()[0].central + 16, 0x12345678);
         },
         UNPACK_FAILS},
        {"CRC-32 of the local header differs",
         [](std::string& s, const ZipWriter& w) { PutLe32(s, w.Entries()[0].local + 14, 1); }, UNPACK_FAILS},
        {"unpacked size larger than the data",
         [](std::string& s, const ZipWriter& w) {
             PutLe32(s, w.Entries()[0].local + 22, 5001);
             PutLe32(s, w.Entries()[0].central + 24, 5001);
         },
         UNPACK_FAILS},
        {"unpacked size smaller than the data",
         [](std::string& s, const ZipWriter& w) {
             PutLe32(s, w.Entries()[0].local + 22, 4999);
             PutLe32(s, w.Entries()[0].central + 24, 4999);
         },
         UNPACK_FAILS},
        {"packed size smaller than the data",
         [](std::string& s, const ZipWriter& w) {
             const uint32_t packed = uint32_t(w.Entries()[0].packed) / 2;
             PutLe32(s, w.Entries()[0].local + 18, packed);
             PutLe32(s, w.Entries()[0].central + 20, packed);
         },
         UNPACK_FAILS},
        {"packed size reaching into the directory",
         [](std::string& s, const ZipWriter& w) {
             PutLe32(s, w.Entries()[2].local + 18, 1000);
             PutLe32(s, w.Entries()[2].central + 20, 1000);
             PutLe32(s, w.Entries()[2].local + 22, 1000);
             PutLe32(s, w.Entries()[2].central + 24, 1000);
         },
         UNPACK_FAILS},
        {"stored entry whose sizes differ",
         [](std::string& s, const ZipWriter& w) {
             PutLe32(s, w.Entries()[2].local + 22, 10);
             PutLe32(s, w.Entries()[2].central + 24, 10);
         },
         UNPACK_FAILS},
        {"method 12 (bzip2)",
         [](std::string& s, const ZipWriter& w) {
             PutLe16(s, w.Entries()[0].local + 8, 12);
             PutLe16(s, w.Entries()[0].central + 10, 12);
         },
         UNPACK_FAILS},
        {"local method differs",
         [](std::string& s, const ZipWriter& w) { PutLe16(s, w.Entries()[0].local + 8, 0); }, UNPACK_FAILS},
        {"encrypted",
         [](std::string& s, const ZipWriter& w) {
             PutLe16(s, w.Entries()[0].local + 6, 1);
             PutLe16(s, w.Entries()[0].central + 8, 1);
         },
         UNPACK_FAILS},
        {"local header signature", [](std::string& s, const ZipWriter& w) { s[w.Entries()[0].local] = 'X'; },
         UNPACK_FAILS},
        {"local name length differs",
         [](std::string& s, const ZipWriter& w) { PutLe16(s, w.Entries()[0].local + 26, 7); }, UNPACK_FAILS},
        {"local extra length pushes the data past its end",
         [](std::string& s, const ZipWriter& w) { PutLe16(s, w.Entries()[0].local + 28, 0xFFFF); },
         UNPACK_FAILS},
        {"local header offset outside the archive",
         [](std::string& s, const ZipWriter& w) { PutLe32(s, w.Entries()[0].central + 42, 0x7FFFFFF0); },
         UNPACK_FAILS},
        {"local header offset onto the next entry's data",
         [](std::string& s, const ZipWriter& w) {
             PutLe32(s, w.Entries()[0].central + 42, uint32_t(w.Entries()[1].data));
         },
         UNPACK_FAILS},
        {"deflate data damaged",
         [](std::string& s, const ZipWriter& w) {
             for (size_t i = 0; i < 8; ++i) s[w.Entries()[0].data + i] = char(0xFF);
         },
         UNPACK_FAILS},
        {"directory offset outside",
         [](std::string& s, const ZipWriter& w) { PutLe32(s, w.EndRecord() + 16, 0x7FFFFFFF); }, OPEN_FAILS},
        {"directory size beyond the end record",
         [](std::string& s, const ZipWriter& w) { PutLe32(s, w.EndRecord() + 12, 0xFFFFFFF0); }, OPEN_FAILS},
        {"directory starting inside its first entry",
         [](std::string& s, const ZipWriter& w) {
             PutLe32(s, w.EndRecord() + 12, GetLe32(s, w.EndRecord() + 12) - 5);
             PutLe32(s, w.EndRecord() + 16, GetLe32(s, w.EndRecord() + 16) + 5);
         },
         OPEN_FAILS},
        {"more entries announced than present",
         [](std::string& s, const ZipWriter& w) {
             PutLe16(s, w.EndRecord() + 8, 4);
             PutLe16(s, w.EndRecord() + 10, 4);
         },
         OPEN_FAILS},
        {"fewer entries announced than present",
         [](std::string& s, const ZipWriter& w) {
             PutLe16(s, w.EndRecord() + 8, 2);
             PutLe16(s, w.EndRecord() + 10, 2);
         },
         OPEN_FAILS},
        {"entry counts differ", [](std::string& s, const ZipWriter& w) { PutLe16(s, w.EndRecord() + 8, 2); },
         OPEN_FAILS},
        {"disk number", [](std::string& s, const ZipWriter& w) { PutLe16(s, w.EndRecord() + 4, 1); },
         OPEN_FAILS},
        {"central signature", [](std::string& s, const ZipWriter& w) { s[w.Entries()[1].central + 3] = 9; },
         OPEN_FAILS},
        {"central name length past the directory",
         [](std::string& s, const ZipWriter& w) { PutLe16(s, w.Entries()[2].central + 28, 0x4000); },
         OPEN_FAILS},
    };
    for (const Case& c : cases) {
        Package p = Standard();
        c.damage(p.bytes, p.writer);
        DWORD result = 0;
        HANDLE h = OpenMemory(p.bytes, &result);
        if (c.outcome == OPEN_FAILS) {
            EXPECT_EQ(nullptr, h) << c.what;
            EXPECT_EQ(SKINPKG_BADDATA, result) << c.what;
            if (h) SkinPackageClose(h);
            continue;
        }
        ASSERT_NE(nullptr, h) << c.what;
        // Entry 0 for most cases, entry 2 where that one is damaged.
        const bool lastEntry = strstr(c.what, "stored") != nullptr || strstr(c.what, "directory") != nullptr;
        const int damaged = lastEntry ? 2 : 0;
        int index = -1;
        TSkinPackageEntry entry;
        ASSERT_EQ(SKINPKG_OK, SkinPackageFind(h, damaged ? L"empty.txt" : L"Skin.xml", true, &index, &entry));
        std::string buf(entry.unpackedSize + 32, '\x5A');
        const DWORD r = SkinPackageUnpack(h, index, &buf[0], entry.unpackedSize);
        EXPECT_EQ(SKINPKG_BADDATA, r) << c.what;
        for (size_t i = entry.unpackedSize; i < buf.size(); ++i) ASSERT_EQ('\x5A', buf[i]) << c.what;
        std::string other;
        EXPECT_EQ(SKINPKG_MORE, UnpackWhole(h, L"img/Btn_Close.png", other)) << c.what;
        EXPECT_EQ(Text(700, 2), other) << c.what;
        SkinPackageClose(h);
    }
}

// 16 MiB of zeros deflate to a few KiB. Declared small, the unpack stops at
// the declared size and fails; declared honestly, a small buffer is filled
// and nothing beyond it is touched.
TEST(SkinPackageReader, DeflateBombStaysBounded)
{
    const std::string zeros(16u << 20, '\0');
    for (uint32_t declared : {1000u, uint32_t(zeros.size())}) {
        ZipWriter w;
        w.Add("bomb.png", zeros, 8);
        std::string bytes = w.Finish();
        PutLe32(bytes, w.Entries()[0].local + 22, declared);
        PutLe32(bytes, w.Entries()[0].central + 24, declared);
        HANDLE h = OpenMemory(bytes);
        ASSERT_NE(nullptr, h);
        std::string buf(4096 + 64, '\x5A');
        DWORD r = SkinPackageUnpack(h, 0, &buf[0], declared < 4096 ? declared : 4096);
        if (declared == 1000)
            EXPECT_EQ(SKINPKG_BADDATA, r);
        else
            EXPECT_EQ(SKINPKG_MORE, r);
        for (size_t i = declared < 4096 ? declared : 4096; i < buf.size(); ++i) ASSERT_EQ('\x5A', buf[i]);
        SkinPackageClose(h);
    }
}

// ---- Handles and arguments ---------------------------------------------------------------

TEST(SkinPackageReader, BadHandlesAndArgumentsGiveTheirCodes)
{
    Package p = Standard();
    DWORD result = 0;
    EXPECT_EQ(nullptr, SkinPackageOpen(p.bytes.data(), DWORD(p.bytes.size()), 7, &result));
    EXPECT_EQ(SKINPKG_ARGS, result);
    EXPECT_EQ(nullptr, SkinPackageOpen(L"Z:\\no\\such\\skin.zip", 0, SKINPKG_FILENAME, &result));
    EXPECT_EQ(SKINPKG_NOFILE, result);
    // A handle value that was closed cannot be duplicated.
    HANDLE closed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(closed);
    EXPECT_EQ(nullptr, SkinPackageOpen(closed, 0, SKINPKG_HANDLE, &result));
    EXPECT_EQ(SKINPKG_NODUPHANDLE, result);
    HANDLE readPipe = nullptr, writePipe = nullptr;
    ASSERT_TRUE(CreatePipe(&readPipe, &writePipe, nullptr, 0));
    EXPECT_EQ(nullptr, SkinPackageOpen(readPipe, 0, SKINPKG_HANDLE, &result));
    EXPECT_EQ(SKINPKG_NOTDISK, result);
    CloseHandle(readPipe);
    CloseHandle(writePipe);

    HANDLE h = OpenMemory(p.bytes);
    ASSERT_NE(nullptr, h);
    char buf[8];
    int index = 0;
    EXPECT_EQ(SKINPKG_ARGS, SkinPackageUnpack(h, 3, buf, 8));
    EXPECT_EQ(SKINPKG_ARGS, SkinPackageUnpack(h, -1, buf, 8));
    EXPECT_EQ(SKINPKG_ARGS, SkinPackageUnpack(h, 0, buf, 8, 1));
    EXPECT_EQ(SKINPKG_ARGS, SkinPackageUnpack(h, 0, nullptr, 8));
    EXPECT_EQ(SKINPKG_ARGS, SkinPackageUnpack(nullptr, 0, buf, 8));
    EXPECT_EQ(SKINPKG_ARGS, SkinPackageFind(nullptr, L"Skin.xml", true, &index, nullptr));
    EXPECT_EQ(SKINPKG_ARGS, SkinPackageClose(nullptr));
    int notAPackage[64] = {};
    EXPECT_EQ(SKINPKG_NOTOPEN, SkinPackageFind(notAPackage, L"Skin.xml", true, &index, nullptr));
    EXPECT_EQ(SKINPKG_NOTOPEN, SkinPackageUnpack(notAPackage, 0, buf, 8));
    EXPECT_EQ(SKINPKG_OK, SkinPackageClose(h));
    EXPECT_EQ(SKINPKG_NOTOPEN, SkinPackageClose(h));
    EXPECT_EQ(SKINPKG_NOTOPEN, SkinPackageUnpack(h, 0, buf, 8));
}
