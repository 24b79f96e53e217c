#include "launcher/File.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TempFolder.h"

using namespace Launcher;
using TestSupport::TempFolder;
using TestSupport::WideFromAnsi;

namespace {

// The error the constructor throws, or ERROR_SUCCESS when it opens the file.
DWORD OpenError(const std::string& path, UINT flags)
{
    try {
        CFile file(WideFromAnsi(path).c_str(), flags);
    } catch (const CFileException& e) {
        return e.m_lOsError;
    }
    return ERROR_SUCCESS;
}

}  // namespace

TEST(File, CreateTruncatesAndWritesTheWholeBuffer)
{
    TempFolder folder;
    const std::string path = folder.File("f.bin");
    ASSERT_TRUE(TestSupport::WriteWholeFile(path, std::string(10000, 'o')));
    std::string data(3000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = char(i * 31);
    CFile file(WideFromAnsi(path).c_str(), CFile::modeCreate | CFile::modeWrite);
    EXPECT_EQ(0x1001u, UINT(CFile::modeCreate | CFile::modeWrite));
    file.Write(data.data(), UINT(data.size()));
    file.Close();
    file.Close();  // a second close does nothing
    std::string onDisk;
    ASSERT_TRUE(TestSupport::ReadWholeFile(path, onDisk));
    EXPECT_TRUE(onDisk == data);
}

TEST(File, FailuresThrowTheWindowsError)
{
    TempFolder folder;
    EXPECT_EQ(DWORD(ERROR_PATH_NOT_FOUND),
              OpenError(folder.File("missing\\f.bin"), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), OpenError(folder.File("absent.bin"), CFile::modeWrite));

    const std::string held = folder.File("held.bin");
    ASSERT_TRUE(TestSupport::WriteWholeFile(held, "x"));
    HANDLE h = CreateFileW(WideFromAnsi(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(DWORD(ERROR_SHARING_VIOLATION), OpenError(held, CFile::modeCreate | CFile::modeWrite));
    CloseHandle(h);
    EXPECT_EQ(DWORD(ERROR_SUCCESS), OpenError(held, CFile::modeCreate | CFile::modeWrite));
}
