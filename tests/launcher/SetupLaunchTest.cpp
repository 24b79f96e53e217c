// Silent setup runs, product launches and the workers' shared records, with
// the stand-in programs fake_setup.exe and fake_product.exe (built beside this
// test) as real child processes. The stand-ins take their options from the
// environment, which ShellExecuteEx hands on to them.

#include "launcher/ProductLaunch.h"
#include "launcher/ProductProbe.h"
#include "launcher/ProductWorker.h"
#include "launcher/Products.h"
#include "launcher/SystemInfo.h"

#include "tests/support/HttpTestServer.h"
#include "tests/support/LauncherFixture.h"
#include "tests/support/ProxyGuard.h"
#include "tests/support/SignedSetups.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace Launcher;

namespace {

// 1 once the product's worker (or setup run) has reported its end.
int Ended(int index)
{
    const WorkerOutcome outcome = ReadWorker(index).outcome;
    return outcome == WorkerFinished || outcome == WorkerFailed ? 1 : 0;
}

std::wstring Wide(const std::string& s)
{
    wchar_t out[1024] = {};
    MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, out, 1024);
    return out;
}

std::wstring Lower(std::wstring s)
{
    for (wchar_t& c : s) c = towlower(c);
    while (!s.empty() && s.back() == L'\\') s.pop_back();
    return s;
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WaitForFile(const std::wstring& path, DWORD ms)
{
    return TestSupport::WaitFor([&] { return FileExists(path); }, ms);
}

// The last record of a stand-in's log as key -> value.
std::map<std::string, std::wstring> ReadLog(const std::wstring& path)
{
    std::map<std::string, std::wstring> fields;
    std::ifstream in(TestSupport::AnsiFromWide(path).c_str());
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos) fields[line.substr(0, eq)] = Wide(line.substr(eq + 1));
    }
    return fields;
}

// The stand-in's record once it can be read whole (its last field is "cwd"):
// a reader may catch the log between its rename and the first read.
std::map<std::string, std::wstring> WaitForRecord(const std::wstring& path, DWORD ms)
{
    std::map<std::string, std::wstring> fields;
    for (DWORD waited = 0; waited <= ms; waited += 20) {
        if (FileExists(path)) {
            fields = ReadLog(path);
            if (fields.count("cwd")) return fields;
        }
        Sleep(20);
    }
    return fields;
}

int CountRecords(const std::wstring& path)
{
    std::ifstream in(TestSupport::AnsiFromWide(path).c_str());
    std::string line;
    int n = 0;
    while (std::getline(in, line)) n += line.compare(0, 5, "args=") == 0;
    return n;
}

void SetEnv(const wchar_t* name, const std::wstring& value)
{
    SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

// Runs body on its own thread; false when it did not end within ms (a setup
// run blocked on a dialog, say). The thread is then abandoned.
template <class F>
bool FinishesWithin(DWORD ms, F body)
{
    struct Box
    {
        F f;
        static DWORD WINAPI Run(LPVOID p)
        {
            static_cast<Box*>(p)->f();
            return 0;
        }
    };
    Box* box = new Box{body};
    HANDLE t = CreateThread(nullptr, 0, &Box::Run, box, 0, nullptr);
    bool done = WaitForSingleObject(t, ms) == WAIT_OBJECT_0;
    CloseHandle(t);
    if (done) delete box;
    return done;
}

class SetupLaunch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_dir =
            std::wstring(temp) + L"vozeror_setup_launch_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(m_dir.c_str(), nullptr);
        m_setup = TestSupport::TestBinDir() + L"fake_setup.exe";
        m_product = TestSupport::TestBinDir() + L"fake_product.exe";
        ASSERT_TRUE(FileExists(m_setup));
        ASSERT_TRUE(FileExists(m_product));
        m_setupLog = m_dir + L"setup.log";
        m_productLog = m_dir + L"product.log";
        SetEnv(L"FAKE_SETUP_LOG", m_setupLog);
        SetEnv(L"FAKE_PRODUCT_LOG", m_productLog);
        for (int i = 0; i < kProductCount; ++i) {
            ResetWorkerRecord(i);
        }
    }
    void TearDown() override
    {
        for (const wchar_t* name :
             {L"FAKE_SETUP_LOG", L"FAKE_PRODUCT_LOG", L"FAKE_SETUP_DELAY_MS", L"FAKE_SETUP_CHILD_MS"})
            SetEnv(name, L"");
        for (int i = 0; i < kProductCount; ++i) ResetWorkerRecord(i);
        SHFILEOPSTRUCTW op = {};
        std::wstring from = m_dir + L'\0';
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        SHFileOperationW(&op);
    }

    std::wstring m_dir, m_setup, m_product, m_setupLog, m_productLog;
};

}  // namespace

TEST_F(SetupLaunch, SetupRunsHiddenWithSlashSAndIsWaitedFor)
{
    SetEnv(L"FAKE_SETUP_DELAY_MS", L"1500");
    std::wstring path = m_setup;
    DWORD start = GetTickCount();
    DWORD raisedAfter = 0;
    ASSERT_TRUE(FinishesWithin(20000, [&] {
        RunSetupAndWait(path.c_str(), kIPhone);
        raisedAfter = GetTickCount() - start;
    }));
    EXPECT_EQ(1, Ended(kIPhone));
    EXPECT_GE(raisedAfter, 1450u) << "the flag waits for the setup's exit";
    EXPECT_EQ(0, Ended(kDesktop));
    EXPECT_EQ(0, Ended(kAndroid));
    auto log = ReadLog(m_setupLog);
    EXPECT_EQ(L"/s", log["args"]);
    EXPECT_EQ(L"1", log["useshow"]);
    EXPECT_EQ(L"0", log["show"]) << "SW_HIDE";
    EXPECT_EQ(Lower(TestSupport::TestBinDir()), Lower(log["cwd"])) << "the setup runs from its own folder";
    EXPECT_EQ(1, CountRecords(m_setupLog));
}

TEST_F(SetupLaunch, FlagStaysDownWhileTheSetupRuns)
{
    SetEnv(L"FAKE_SETUP_DELAY_MS", L"1500");
    std::wstring path = m_setup;
    struct Worker
    {
        static DWORD WINAPI Run(LPVOID p)
        {
            RunSetupAndWait(static_cast<std::wstring*>(p)->c_str(), kAndroid);
            return 0;
        }
    };
    HANDLE t = CreateThread(nullptr, 0, &Worker::Run, &path, 0, nullptr);
    Sleep(700);
    EXPECT_EQ(0, Ended(kAndroid));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 20000));
    CloseHandle(t);
    EXPECT_EQ(1, Ended(kAndroid));
}

TEST_F(SetupLaunch, SetupHandingOverToAChildRaisesTheFlagAtOnce)
{
    SetEnv(L"FAKE_SETUP_CHILD_MS", L"6000");
    std::wstring path = m_setup;
    DWORD start = GetTickCount();
    ASSERT_TRUE(FinishesWithin(20000, [&] { RunSetupAndWait(path.c_str(), kDesktop); }));
    EXPECT_LT(GetTickCount() - start, 4000u) << "the child is not waited for";
    EXPECT_EQ(1, Ended(kDesktop));
    EXPECT_EQ(L"/s", ReadLog(m_setupLog)["args"]);
}

TEST_F(SetupLaunch, NoFileAtTheSetupPathRaisesTheFlagWithoutADialog)
{
    struct Row
    {
        int index;
        std::wstring path;
    };
    const Row rows[] = {
        {kDesktop, m_dir + L"\\Vedeziz.exe"}, {kIPhone, L"C:\\no such folder\\Zarazed.exe"}, {kAndroid, L""}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        DWORD start = GetTickCount();
        ASSERT_TRUE(FinishesWithin(15000, [&] { RunSetupAndWait(r.path.c_str(), r.index); }))
            << "a missing setup must not block on a message box";
        EXPECT_LT(GetTickCount() - start, 5000u);
        EXPECT_EQ(1, Ended(r.index));
    }
}

TEST_F(SetupLaunch, OutOfRangeIndexRunsTheSetupButRaisesNoFlag)
{
    const std::wstring& path = m_setup;
    for (int index : {-1, 3}) {
        ASSERT_TRUE(FinishesWithin(20000, [&] { RunSetupAndWait(path.c_str(), index); }));
        for (int i = 0; i < kProductCount; ++i) EXPECT_EQ(0, Ended(i));
    }
    EXPECT_EQ(2, CountRecords(m_setupLog));
}

// A downloaded setup in each of the forms the check tells apart, copied to
// where a download would have written it. Only the publisher's intact
// signature runs, unless the check is off (an empty publisher); a refused
// setup is deleted.
TEST_F(SetupLaunch, ADownloadedSetupRunsOnlyWithThePublishersSignature)
{
    using namespace TestSupport;
    const std::wstring publisher = TestSigner();
    struct Row
    {
        SetupForm form;
        const wchar_t* publisher;
        bool runs;
    };
    const Row rows[] = {
        {kSignedByPublisher, publisher.c_str(), true},
        {kUnsigned, publisher.c_str(), false},
        {kSignedByOther, publisher.c_str(), false},
        {kTampered, publisher.c_str(), false},
        {kUnsigned, L"", true},
        {kTampered, L"", true},
    };
    const std::wstring downloaded = m_dir + L"Zarazed.exe";
    const std::wstring& path = downloaded;
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << SetupFormName(row.form) << (row.publisher[0] ? "" : ", no check"));
        DeleteFileW(m_setupLog.c_str());
        ASSERT_TRUE(CopyFileW(StandInSetup(row.form).c_str(), downloaded.c_str(), FALSE));
        bool ran = false;
        ASSERT_TRUE(FinishesWithin(30000, [&] { ran = RunDownloadedSetup(path.c_str(), row.publisher); }));
        EXPECT_EQ(row.runs, ran);
        EXPECT_EQ(row.runs, FileExists(m_setupLog)) << "the setup's own record";
        EXPECT_EQ(row.runs, FileExists(downloaded))
            << "a refused setup is deleted, one that ran is left to its folder";
        if (row.runs) {
            EXPECT_EQ(Lower(m_dir), Lower(ReadLog(m_setupLog)["cwd"]));
        }
        DeleteFileW(downloaded.c_str());
    }
    EXPECT_FALSE(RunDownloadedSetup((m_dir + L"missing.exe").c_str(), publisher.c_str()));
    for (int i = 0; i < kProductCount; ++i) EXPECT_EQ(0, Ended(i)) << "the run alone reports no end";
}

// The hold a checked setup is kept under until its process has started:
// nobody can change, delete or rename the file, readers still can, and the
// setup starts from the held file.
TEST_F(SetupLaunch, AHeldSetupCannotBeChangedYetStarts)
{
    const std::wstring held = m_dir + L"Vedeziz.exe";
    ASSERT_TRUE(CopyFileW(m_setup.c_str(), held.c_str(), FALSE));
    const std::wstring moved = m_dir + L"moved.exe";
    HANDLE hold = HoldSetupFile(held.c_str());
    ASSERT_NE(INVALID_HANDLE_VALUE, hold);
    struct Row
    {
        const char* name;
        DWORD access, share;
        bool opens;
    };
    const Row rows[] = {
        {"write", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false},
        {"delete", DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false},
        {"read, sharing all", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
        {"read, sharing read", GENERIC_READ, FILE_SHARE_READ, true},
    };
    for (const Row& row : rows) {
        HANDLE other = CreateFileW(held.c_str(), row.access, row.share, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(row.opens, other != INVALID_HANDLE_VALUE) << row.name;
        if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
    }
    EXPECT_FALSE(DeleteFileW(held.c_str()));
    EXPECT_FALSE(MoveFileExW(held.c_str(), moved.c_str(), 0));
    EXPECT_FALSE(MoveFileExW(m_product.c_str(), held.c_str(), MOVEFILE_REPLACE_EXISTING)) << "swapped";

    bool started = false;
    ASSERT_TRUE(FinishesWithin(30000, [&] { started = StartSetupAndWait(held.c_str(), hold); }));
    EXPECT_TRUE(started);
    EXPECT_EQ(L"/s", ReadLog(m_setupLog)["args"]);
    EXPECT_TRUE(DeleteFileW(held.c_str())) << "the hold ends once the setup has started";
}

TEST_F(SetupLaunch, LaunchDropsQuotesAndIconIndex)
{
    std::wstring spaced = m_dir + L"dir with space\\";
    CreateDirectoryW(spaced.c_str(), nullptr);
    std::wstring copy = spaced + L"fake product.exe";
    ASSERT_TRUE(CopyFileW(m_product.c_str(), copy.c_str(), FALSE));
    const std::wstring& p = copy;
    const std::wstring rows[] = {
        p, p + L",0", p + L",12", p + L",-1", L"\"" + p + L"\"", L"\"" + p + L"\",0", L"\"" + p + L"\" ,3"};
    for (const std::wstring& form : rows) {
        SCOPED_TRACE(TestSupport::AnsiFromWide(form));
        DeleteFileW(m_productLog.c_str());
        LaunchProduct(form, kDesktop);
        auto log = WaitForRecord(m_productLog, 15000);
        ASSERT_TRUE(log.count("cwd")) << "the product did not start";
        EXPECT_EQ(Lower(copy), Lower(log["exe"]));
        EXPECT_EQ(L"", log["args"]);
        EXPECT_EQ(L"1", log["useshow"]);
        EXPECT_EQ(L"0", log["show"]) << "products start with SW_HIDE as well";
    }
}

TEST(LaunchFile, FromRegistryForms)
{
    struct Row
    {
        std::wstring in;
        std::wstring out;
    };
    const Row rows[] = {
        {L"C:\\P\\a.exe", L"C:\\P\\a.exe"},       {L"C:\\P\\a.exe,0", L"C:\\P\\a.exe"},
        {L"C:\\P\\a.exe,-101", L"C:\\P\\a.exe"},  {L"\"C:\\P\\a.exe\"", L"C:\\P\\a.exe"},
        {L"\"C:\\P\\a.exe\",0", L"C:\\P\\a.exe"}, {L"\"C:\\P Q\\a.exe", L"C:\\P Q\\a.exe"},
        {L"C:\\P,1\\a.exe", L"C:\\P,1\\a.exe"},   {L"C:\\P\\a2.exe", L"C:\\P\\a2.exe"},
        {L"C:\\P\\a.exe,", L"C:\\P\\a.exe,"},     {L"\"C:\\P\\a.exe\" , 3 ", L"C:\\P\\a.exe"},
        {L"\"C:\\P\\a.exe\" ", L"C:\\P\\a.exe"},  {L"\"C:\\P\\a.exe\",-2", L"C:\\P\\a.exe"},
    };
    for (const Row& r : rows) {
        std::wstring out;
        EXPECT_TRUE(LaunchFileFromPath(r.in, out)) << r.in.size();
        EXPECT_EQ(r.out, out);
    }
    // The longest path Windows starts, and an icon index after it.
    const std::wstring longest(kMaxPathLength, L'p');
    std::wstring whole;
    EXPECT_TRUE(LaunchFileFromPath(longest + L",0", whole));
    EXPECT_EQ(longest, whole);
    // Text after the closing quote other than an icon index: the path names
    // another program than the one it reads as, and nothing is launched.
    const std::wstring refused[] = {
        L"\"C:\\P\\Vav\\Uninstall.exe\"Rezude.exe",
        L"\"C:\\P\\a.exe\" /uninstall",
        L"\"C:\\P\\a.exe\",",
        L"\"C:\\P\\a.exe\",0x1",
        L"\"C:\\P\\a.exe\"\"",
        L"\"\"",
        L"",
        std::wstring(kMaxPathLength + 1, L'p'),
    };
    for (const std::wstring& in : refused) {
        std::wstring out = L"untouched";
        EXPECT_FALSE(LaunchFileFromPath(in, out)) << TestSupport::AnsiFromWide(in.substr(0, 40));
        EXPECT_EQ(L"", out);
    }
}

namespace {

void SetInstallLocation(const std::wstring& dir)
{
    ASSERT_TRUE(TestSupport::SetKeyValue(ProductKeyPath(kIPhone), L"InstallLocation", dir));
}

void RemoveIPhoneKey()
{
    TestSupport::RemoveKey(kIPhone);
}

}  // namespace

TEST_F(SetupLaunch, IPhoneProductStartsInItsInstallLocation)
{
    std::wstring install = m_dir + L"Phone Install";
    CreateDirectoryW(install.c_str(), nullptr);
    wchar_t own[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, own);
    const std::wstring& product = m_product;

    struct Row
    {
        const char* name;
        int index;
        bool withLocation;
        std::wstring cwd;
    };
    const Row rows[] = {
        {"iPhone with InstallLocation", kIPhone, true, install},
        {"iPhone without InstallLocation", kIPhone, false, own},
        {"desktop ignores the iPhone's InstallLocation", kDesktop, true, own},
        {"android ignores the iPhone's InstallLocation", kAndroid, true, own},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        RemoveIPhoneKey();
        if (r.withLocation) SetInstallLocation(install);
        DeleteFileW(m_productLog.c_str());
        LaunchProduct(product, r.index);
        auto log = WaitForRecord(m_productLog, 15000);
        ASSERT_TRUE(log.count("cwd")) << "the product did not start";
        EXPECT_EQ(Lower(r.cwd), Lower(log["cwd"]));
    }
    RemoveIPhoneKey();
}

namespace {

void SetProductValue(int index, const std::wstring& data)
{
    ASSERT_TRUE(TestSupport::InstallKey(index, data));
}

}  // namespace

// Launch paths as the registry gives them, probed and launched. Every
// program below is a copy of the stand-in product, which leaves a log beside
// itself when it starts. The quoted Android "Uninstall.exe" derives
// "...\Uninstall.exe"Rezude.exe", which must not start the uninstaller.
TEST_F(SetupLaunch, RegistryLaunchPathsStartTheProductAndNeverTheUninstaller)
{
    const std::wstring dir = m_dir + L"Vav Android\\";
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    for (const wchar_t* name : {L"Uninstall.exe", L"uninst.exe", L"Rezude.exe", L"Disk.exe"})
        ASSERT_TRUE(CopyFileW(m_product.c_str(), (dir + name).c_str(), FALSE));
    SetEnv(L"FAKE_PRODUCT_LOG", L"");  // each copy logs to "<its path>.log"
    struct Row
    {
        const char* name;
        int index;
        std::wstring value;
        const wchar_t* starts;  // the program that starts, or null
    };
    // The refused row goes first: a start it caused would be logged before
    // the others have logged theirs.
    const Row rows[] = {
        {"quoted Uninstall.exe", kAndroid, L"\"" + dir + L"Uninstall.exe\"", nullptr},
        {"quoted uninst.exe", kAndroid, L"\"" + dir + L"uninst.exe\"", L"Rezude.exe"},
        {"DisplayIcon with ,0", kDesktop, dir + L"Disk.exe,0", L"Disk.exe"},
        {"quoted DisplayIcon with ,0", kDesktop, L"\"" + dir + L"Disk.exe\",0", L"Disk.exe"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.starts != nullptr) DeleteFileW((dir + row.starts + L".log").c_str());
        SetProductValue(row.index, row.value);
        CProductProbe probe;
        probe.ProbeProducts();
        LaunchProduct(probe.LaunchPath(row.index), row.index);
        if (row.starts != nullptr) {
            EXPECT_TRUE(WaitForFile(dir + row.starts + L".log", 15000)) << "the product did not start";
        }
    }
    EXPECT_FALSE(FileExists(dir + L"Uninstall.exe.log")) << "the uninstaller was started";
    EXPECT_FALSE(FileExists(dir + L"uninst.exe.log"));
    for (int index : {kDesktop, kAndroid}) RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductKeyPath(index));
}

// Products installed where ANSI launch paths fail: under a folder named in
// letters of no single ANSI code page, while this process runs with 1252
// (ENVIRONMENT in CMakeLists.txt), and at a path of 200 characters.
TEST_F(SetupLaunch, ProductsStartFromFoldersOutsideTheCodePageAndFromLongPaths)
{
    ASSERT_EQ(1252u, GetACP()) << "the code page must have neither Chinese nor Cyrillic letters";
    const std::wstring unicodeDir = L"C:\\Program Files\\数据恢复 Восстановление\\";
    const std::wstring longDir = m_dir + std::wstring(188 - m_dir.size(), L'l') + L"\\";
    struct Row
    {
        int index;
        std::wstring dir, exe, value;
    };
    const Row rows[] = {
        {kDesktop, unicodeDir, L"Vedeziz.exe", L"\"" + unicodeDir + L"Vedeziz.exe\",0"},
        {kAndroid, unicodeDir, L"Rezude.exe", L"\"" + unicodeDir + L"uninst.exe\" /S"},
        {kIPhone, longDir, L"Zarazed.exe", longDir + L"Zarazed.exe"},
    };
    ASSERT_EQ(200u, rows[2].value.size());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        CreateDirectoryW(row.dir.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(m_product.c_str(), (row.dir + row.exe).c_str(), FALSE));
        DeleteFileW(m_productLog.c_str());
        SetProductValue(row.index, row.value);
        CProductProbe probe;
        probe.ProbeProducts();
        LaunchProduct(probe.LaunchPath(row.index), row.index);
        auto log = WaitForRecord(m_productLog, 15000);
        EXPECT_EQ(Lower(row.dir + row.exe), Lower(log["exe"])) << "the product did not start";
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductKeyPath(row.index));
        Sleep(100);  // the product may still be ending
        DeleteFileW((row.dir + row.exe).c_str());
    }
    RemoveDirectoryW(unicodeDir.c_str());
}

TEST_F(SetupLaunch, RunProductIgnoresOtherIndices)
{
    LaunchProduct(m_product, -1);
    LaunchProduct(m_product, 3);
    EXPECT_FALSE(WaitForFile(m_productLog, 2000));
}

namespace {

// While workers run, every download goes to a refused loopback port (port 9,
// discard, which nothing serves here), so it fails at once and never leaves
// the machine.
class WorkerTest : public SetupLaunch
{
protected:
    void SetUp() override
    {
        SetupLaunch::SetUp();
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                        0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_settings, nullptr);
        m_hadEnable = Save(L"ProxyEnable", m_enable);
        m_hadServer = Save(L"ProxyServer", m_server);
        DWORD one = 1;
        RegSetValueExW(m_settings, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof(one));
        const wchar_t server[] = L"127.0.0.1:9";
        RegSetValueExW(m_settings, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server),
                       sizeof(server));
    }
    void TearDown() override
    {
        Restore(L"ProxyEnable", m_hadEnable, m_enable);
        Restore(L"ProxyServer", m_hadServer, m_server);
        RegCloseKey(m_settings);
        SetupLaunch::TearDown();
    }
    bool Save(const wchar_t* name, std::string& data)
    {
        BYTE buf[1024];
        DWORD size = sizeof(buf);
        if (RegQueryValueExW(m_settings, name, nullptr, &m_types[name], buf, &size) != ERROR_SUCCESS)
            return false;
        data.assign(reinterpret_cast<char*>(buf), size);
        return true;
    }
    void Restore(const wchar_t* name, bool had, const std::string& data)
    {
        if (had)
            RegSetValueExW(m_settings, name, 0, m_types[name], reinterpret_cast<const BYTE*>(data.data()),
                           DWORD(data.size()));
        else
            RegDeleteValueW(m_settings, name);
    }

    HKEY m_settings = nullptr;
    bool m_hadEnable = false, m_hadServer = false;
    std::string m_enable, m_server;
    std::map<std::wstring, DWORD> m_types;
};

std::wstring TempSetupPath(int index)
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp) + kProducts[index].setupFileName;
}

}  // namespace

TEST_F(WorkerTest, FailedDownloadDoesNotRunAnEarlierSetup)
{
    for (int index = 0; index < kProductCount; ++index) {
        SCOPED_TRACE(index);
        std::wstring stale = TempSetupPath(index);
        ASSERT_TRUE(CopyFileW(m_setup.c_str(), stale.c_str(), FALSE));
        ASSERT_TRUE(FinishesWithin(60000, [&] { RunWorker(index); }));
        EXPECT_EQ(1, Ended(index)) << "the tile flow still ends";
        DownloadProgress p = ReadWorker(index).progress;
        EXPECT_EQ(0u, p.total);
        EXPECT_EQ(0u, p.remaining);
        DeleteFileW(stale.c_str());
    }
    Sleep(500);
    EXPECT_FALSE(FileExists(m_setupLog)) << "a stale setup ran after a failed download";
}

// The worker against a local server that serves the desktop setup in each
// form the check tells apart, once with the prefix's temporary folder and
// once with one named in Chinese and Cyrillic letters. Only the publisher's setup
// runs, from a private folder in the temporary folder; every run ends with
// the flag, and with nothing of the download left in the temporary folder.
TEST_F(WorkerTest, TheWorkerRunsOnlyACheckedSetupFromAPrivateFolderAndLeavesNothing)
{
    using namespace TestSupport;
    HttpTestServer server;
    ProxyGuard proxy(server.Port());
    const std::string route = UrlPath(kProducts[kDesktop].downloadUrl);
    wchar_t own[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, own);
    std::vector<std::wstring> temps = {own};
    // Letters of no single ANSI code page, the path used as it stands.
    temps.push_back(m_dir + L"用户 Пользователь\\");
    ASSERT_TRUE(CreateDirectoryW(temps.back().c_str(), nullptr));
    const bool checked = kSetupPublisher[0] != L'\0';
    for (const std::wstring& temp : temps) {
        for (SetupForm form : {kSignedByPublisher, kUnsigned, kSignedByOther, kTampered}) {
            SCOPED_TRACE(testing::Message()
                         << SetupFormName(form) << (temp == own ? "" : ", Unicode temporary folder"));
            std::string body;
            ASSERT_TRUE(ReadWholeFile(AnsiFromWide(StandInSetup(form)), body));
            server.SetRoute(route, HttpResponse::Ok(body));
            DeleteFileW(m_setupLog.c_str());
            ResetWorkerRecord(kDesktop);
            {
                TempPathOverride override(temp);
                const std::set<std::wstring> before = TempEntries(L"VozerorSetup-*");
                ASSERT_TRUE(FinishesWithin(60000, [] { RunWorker(kDesktop); }));
                // A temporary folder of this test's own stays empty; in the
                // shared one only the download's own names are looked for.
                if (temp != own) {
                    EXPECT_EQ(0u, TempEntries(L"*").size());
                }
                EXPECT_EQ(before, TempEntries(L"VozerorSetup-*")) << "the setup folder was left";
                EXPECT_EQ(0u, TempEntries(L"vdl*.tmp").size());
                EXPECT_EQ(0u, TempEntries(L"Vedeziz.exe").size());
            }
            EXPECT_EQ(1, Ended(kDesktop)) << "the tile flow ends";
            const bool runs = form == kSignedByPublisher || !checked;
            ASSERT_EQ(runs, FileExists(m_setupLog)) << "whether the setup ran";
            if (!runs) continue;
            auto log = ReadLog(m_setupLog);
            EXPECT_EQ(L"/s", log["args"]);
            // It ran in "<temp>\VozerorSetup-<32 hex digits>".
            std::wstring cwd = log["cwd"];
            size_t slash = cwd.find_last_of(L'\\');
            ASSERT_NE(std::wstring::npos, slash);
            wchar_t parent[MAX_PATH + 1] = {};
            GetLongPathNameW(cwd.substr(0, slash + 1).c_str(), parent, MAX_PATH + 1);
            EXPECT_EQ(Lower(temp), Lower(parent)) << cwd;
            EXPECT_EQ(L"VozerorSetup-", cwd.substr(slash + 1, 13)) << cwd;
            EXPECT_EQ(slash + 1 + 13 + 32, cwd.size()) << cwd;
        }
    }
    EXPECT_EQ(temps.size() * 4, server.RequestCount(route));
    if (temps.size() > 1) {
        EXPECT_TRUE(RemoveDirectoryW(temps.back().c_str())) << "something was left in the temporary folder";
    }
}

namespace {

// Counts the C runtime's invalid-parameter reports: a string append that
// overflows its buffer is one with the MSVC runtime (which otherwise ends the
// process); Wine's msvcrt reports it only through the result.
int g_invalidParameters = 0;
void CountInvalidParameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned int, uintptr_t)
{
    ++g_invalidParameters;
}

}  // namespace

TEST_F(WorkerTest, TemporaryFolderTooLongForTheSetupNameSkipsTheDownload)
{
    g_invalidParameters = 0;
    _invalid_parameter_handler previous = _set_invalid_parameter_handler(CountInvalidParameter);
    wchar_t oldTmp[1024] = {}, oldTemp[1024] = {};
    GetEnvironmentVariableW(L"TMP", oldTmp, 1024);
    GetEnvironmentVariableW(L"TEMP", oldTemp, 1024);
    // 3 + 246 + 1 = 250 characters with the backslash: "\Zarazed.exe" no longer fits.
    std::wstring longDir = L"C:\\" + std::wstring(246, L't');
    SetEnvironmentVariableW(L"TMP", longDir.c_str());
    SetEnvironmentVariableW(L"TEMP", longDir.c_str());
    wchar_t probe[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH + 1, probe);
    bool ok = FinishesWithin(30000, [] { RunWorker(kIPhone); });
    _set_invalid_parameter_handler(previous);
    SetEnvironmentVariableW(L"TMP", oldTmp[0] ? oldTmp : nullptr);
    SetEnvironmentVariableW(L"TEMP", oldTemp[0] ? oldTemp : nullptr);
    ASSERT_GE(n, 248u) << "the temporary folder did not follow TMP";
    ASSERT_TRUE(ok) << "the worker did not end";
    EXPECT_EQ(1, Ended(kIPhone));
    EXPECT_EQ(0, g_invalidParameters) << "the setup name was appended past the buffer";
    EXPECT_FALSE(FileExists(m_setupLog));
}

TEST_F(WorkerTest, SecondStartWhileAWorkerRunsIsRefused)
{
    static int s_index;
    for (int index = 0; index < kProductCount; ++index) {
        SCOPED_TRACE(index);
        s_index = index;
        // Holding the product's slot stands for its worker still running.
        ASSERT_TRUE(ClaimWorker(index));
        EXPECT_FALSE(StartWorker(index));
        Sleep(300);
        EXPECT_EQ(0, Ended(index)) << "a second worker ran";
        ReleaseWorker(index);

        EXPECT_TRUE(StartWorker(index));
        ASSERT_TRUE(TestSupport::WaitFor([] { return Ended(s_index) == 1; }));
        ASSERT_TRUE(TestSupport::WaitFor([] { return !IsWorkerRunning(s_index); }, 5000))
            << "a finished worker must free its product";
        for (int other = 0; other < kProductCount; ++other) {
            if (other != index) {
                EXPECT_EQ(0, Ended(other));
            }
        }
        ResetWorkerRecord(index);
    }
}

TEST(WorkerSlots, OnePerProduct)
{
    EXPECT_FALSE(ClaimWorker(-1));
    EXPECT_FALSE(ClaimWorker(3));
    EXPECT_FALSE(IsWorkerRunning(3));
    ASSERT_TRUE(ClaimWorker(kAndroid));
    EXPECT_TRUE(IsWorkerRunning(kAndroid));
    EXPECT_FALSE(ClaimWorker(kAndroid));
    EXPECT_FALSE(IsWorkerRunning(kDesktop));
    EXPECT_TRUE(ClaimWorker(kDesktop));
    ReleaseWorker(kDesktop);
    ReleaseWorker(kAndroid);
    EXPECT_FALSE(IsWorkerRunning(kAndroid));
    EXPECT_TRUE(ClaimWorker(kAndroid));
    ReleaseWorker(kAndroid);
}

TEST(WorkerRecords, EndsAreCountedAndIndicesChecked)
{
    for (int i = 0; i < kProductCount; ++i) ResetWorkerRecord(i);
    const unsigned before = ReadWorker(kIPhone).ends;
    ReportProgress(kIPhone, 5000, 2952);
    ReportOutcome(kIPhone, WorkerRetrying);
    WorkerReport r = ReadWorker(kIPhone);
    EXPECT_EQ(5000u, r.progress.total);
    EXPECT_EQ(2952u, r.progress.remaining);
    EXPECT_EQ(WorkerRetrying, r.outcome);
    EXPECT_EQ(before, r.ends) << "only an end is counted";
    ReportOutcome(kIPhone, WorkerFailed);
    EXPECT_EQ(before + 1, ReadWorker(kIPhone).ends);
    EXPECT_EQ(0u, ReadWorker(kDesktop).progress.total) << "one product's record only";
    ReportProgress(3, 1, 1);
    ReportOutcome(-1, WorkerFinished);
    EXPECT_EQ(0u, ReadWorker(3).progress.total);
    EXPECT_EQ(WorkerIdle, ReadWorker(-1).outcome);
    for (int i = 0; i < kProductCount; ++i) ResetWorkerRecord(i);
}
