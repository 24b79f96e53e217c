// The private setup folders: their names, what they hold, their removal, the
// clean-up of interrupted runs' folders, and their ANSI paths in a temporary
// folder whose name the ANSI code page cannot represent. Real folders in the
// prefix's temporary folder; a real running program for a folder in use.

#include "launcher/Products.h"
#include "launcher/SetupFolder.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

using namespace Launcher;
using namespace TestSupport;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    WriteFile(h, "x", 1, &n, nullptr);
    CloseHandle(h);
    return true;
}

std::wstring TempPath()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return temp;
}

std::wstring LastPart(const std::wstring& path)
{
    return path.substr(path.find_last_of(L'\\') + 1);
}

// A name of the folders' own form, its digits chosen here.
std::wstring LeftoverName(wchar_t digit)
{
    return L"VozerorSetup-" + std::wstring(32, digit);
}

}  // namespace

TEST(SetupFolder, EachDownloadGetsANewUnguessableFolderThatGoesWithAllItHolds)
{
    const std::wstring temp = TempPath();
    CSetupFolder first, second;
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(second.Create());
    EXPECT_FALSE(first.Create()) << "one folder per object";
    for (const CSetupFolder* folder : {&first, &second}) {
        const std::wstring name = LastPart(folder->Path());
        EXPECT_EQ(temp + name, folder->Path());
        ASSERT_EQ(13u + 32u, name.size()) << "VozerorSetup- and 128 bits in hex";
        EXPECT_EQ(L"VozerorSetup-", name.substr(0, 13));
        EXPECT_EQ(std::wstring::npos, name.find_first_not_of(L"0123456789abcdef", 13));
        EXPECT_TRUE(GetFileAttributesW(folder->Path().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    }
    EXPECT_NE(first.Path(), second.Path());

    // The path of a setup in it names a file in the folder; none is longer
    // than Windows can start.
    EXPECT_EQ(first.Path() + kProducts[kAndroid].setupFileName,
              first.FilePath(kProducts[kAndroid].setupFileName));
    EXPECT_EQ(L"", first.FilePath((L"\\" + std::wstring(kMaxPathLength, L'n')).c_str()));

    // What a setup may leave behind: files, a read-only one, a folder tree.
    const std::wstring root = first.Path();
    ASSERT_TRUE(MakeFile(root + L"\\Rezude.exe"));
    ASSERT_TRUE(MakeFile(root + L"\\readonly.dat", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateDirectoryW((root + L"\\a").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"\\a\\b").c_str(), nullptr));
    ASSERT_TRUE(MakeFile(root + L"\\a\\b\\deep.dll"));
    EXPECT_TRUE(first.Remove());
    EXPECT_FALSE(Exists(root));
    EXPECT_TRUE(first.Path().empty());
    EXPECT_TRUE(first.Remove()) << "removing twice is no failure";

    std::wstring gone;
    {
        CSetupFolder scoped;
        ASSERT_TRUE(scoped.Create());
        gone = scoped.Path();
        ASSERT_TRUE(MakeFile(gone + L"\\Vedeziz.exe"));
    }
    EXPECT_FALSE(Exists(gone)) << "the destructor removes the folder";
}

TEST(SetupFolder, RemovalTakesALinkAwayWithoutFollowingIt)
{
    TempFolder outside("vzlinked");
    const std::wstring target = WideFromAnsi(outside.Path());
    ASSERT_TRUE(MakeFile(target + L"\\keep.txt"));
    CSetupFolder folder;
    ASSERT_TRUE(folder.Create());
    const std::wstring link = folder.Path() + L"\\link";
    // Wine answers TRUE and makes no link; Windows needs the right to make one.
    if (!CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) ||
        !Exists(link + L"\\keep.txt"))
        GTEST_SKIP() << "this system makes no symbolic link here";
    EXPECT_TRUE(folder.Remove());
    EXPECT_FALSE(Exists(link));
    EXPECT_TRUE(Exists(target + L"\\keep.txt")) << "the link's target was emptied";
}

TEST(SetupFolder, TheNextStartRemovesOnlyLeftoversNobodyUses)
{
    const std::wstring temp = TempPath();
    RemoveLeftoverSetupFolders();  // those of earlier tests' launchers
    CSetupFolder live;
    ASSERT_TRUE(live.Create());
    ASSERT_TRUE(MakeFile(live.Path() + L"\\Vedeziz.exe"));

    struct Row
    {
        const char* name;
        std::wstring folder;
        bool directory;
        bool removed;
    };
    const Row rows[] = {
        {"a leftover with its setup and files", temp + LeftoverName(L'1'), true, true},
        {"an empty leftover", temp + LeftoverName(L'2'), true, true},
        {"capital hex digits", temp + LeftoverName(L'A'), true, false},
        {"too few digits", temp + L"VozerorSetup-1234", true, false},
        {"a file of the folders' name", temp + LeftoverName(L'3'), false, false},
        {"another program's folder", temp + L"VozerorSetupX" + std::wstring(32, L'4'), true, false},
    };
    for (const Row& row : rows) {
        if (row.directory) {
            ASSERT_TRUE(CreateDirectoryW(row.folder.c_str(), nullptr)) << row.name;
        } else {
            ASSERT_TRUE(MakeFile(row.folder)) << row.name;
        }
    }
    ASSERT_TRUE(MakeFile(rows[0].folder + L"\\Zarazed.exe"));
    ASSERT_TRUE(CreateDirectoryW((rows[0].folder + L"\\data").c_str(), nullptr));
    ASSERT_TRUE(MakeFile(rows[0].folder + L"\\data\\part.bin"));

    // A leftover whose setup still runs (started by a launcher that was
    // killed): its program cannot be deleted, and the folder stays whole.
    const std::wstring running = temp + LeftoverName(L'5');
    ASSERT_TRUE(CreateDirectoryW(running.c_str(), nullptr));
    const std::wstring program = running + L"\\Rezude.exe";
    ASSERT_TRUE(CopyFileW((TestBinDir() + L"fake_setup.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(MakeFile(running + L"\\unpacked.dat"));
    SetEnvironmentVariableW(L"FAKE_SETUP_DELAY_MS", L"60000");
    SetEnvironmentVariableW(L"FAKE_SETUP_LOG", (running + L"\\setup.log").c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::wstring line = L"\"" + program + L"\" /s";
    BOOL started = CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  running.c_str(), &startup, &process);
    SetEnvironmentVariableW(L"FAKE_SETUP_DELAY_MS", nullptr);
    SetEnvironmentVariableW(L"FAKE_SETUP_LOG", nullptr);
    ASSERT_TRUE(started);

    EXPECT_EQ(2, RemoveLeftoverSetupFolders());
    for (const Row& row : rows) {
        EXPECT_EQ(!row.removed, Exists(row.folder)) << row.name;
    }
    EXPECT_TRUE(Exists(live.Path() + L"\\Vedeziz.exe")) << "a folder in use by a worker was touched";
    EXPECT_TRUE(Exists(program)) << "a running setup's folder was touched";
    EXPECT_TRUE(Exists(running + L"\\unpacked.dat")) << "a running setup's files were deleted";

    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(1, RemoveLeftoverSetupFolders()) << "once the setup has ended its folder goes";
    EXPECT_FALSE(Exists(running));
    EXPECT_TRUE(Exists(live.Path()));

    for (const Row& row : rows) {
        if (!row.removed) {
            if (row.directory) {
                RemoveDirectoryW(row.folder.c_str());
            } else {
                DeleteFileW(row.folder.c_str());
            }
        }
    }
}

TEST(SetupFolder, ATemporaryFolderNamedOutsideTheCodePageIsUsedAsItStands)
{
    const std::wstring unicodeTemp = TempPath() + L"vz用户 Пользователь";
    ASSERT_TRUE(CreateDirectoryW(unicodeTemp.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    {
        TempPathOverride override(unicodeTemp + L"\\");
        CSetupFolder folder;
        ASSERT_TRUE(folder.Create());
        const std::wstring setup = folder.FilePath(kProducts[kIPhone].setupFileName);
        EXPECT_EQ(unicodeTemp + L"\\", setup.substr(0, unicodeTemp.size() + 1)) << "no short form";
        ASSERT_TRUE(MakeFile(setup));
        EXPECT_TRUE(folder.Remove());
    }
    EXPECT_TRUE(RemoveDirectoryW(unicodeTemp.c_str())) << "the setup folder was left in it";
}
