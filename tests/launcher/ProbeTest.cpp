// The installation probe against Wine's registry. The key form read, per build:
//   x86 build, 32-bit prefix: IsWow64 false, the plain forms;
//   x86 build, 64-bit prefix: IsWow64 true (WOW64), the "Wow6432Node" forms;
//   x64 build, 64-bit prefix: IsWow64 false, the "Wow6432Node" forms, which
//   name the 32-bit view where the products' 32-bit setups write. Every test creates the uninstall keys at exactly
// the path the probe uses in the running prefix and removes them afterwards.

#include "launcher/ProductLaunch.h"
#include "launcher/ProductProbe.h"
#include "launcher/ProductWorker.h"
#include "launcher/Products.h"
#include "launcher/SystemInfo.h"

#include "tests/support/LauncherFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

using namespace Launcher;
using TestSupport::DeleteKey;
using TestSupport::KeyExists;

namespace {

const wchar_t* UsedPath(int i)
{
    return ProductKeyPath(i, UseWow64KeyForms());
}

void RemoveAllProductKeys()
{
    for (int i = 0; i < kProductCount; ++i) {
        DeleteKey(kProducts[i].keyPlain);
        DeleteKey(kProducts[i].keyWow64);
    }
}

HKEY CreateKey(const wchar_t* path)
{
    HKEY key = nullptr;
    EXPECT_EQ(
        ERROR_SUCCESS,
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << "cannot create a key in HKLM";
    return key;
}

void SetString(const wchar_t* path, const wchar_t* name, const std::wstring& data)
{
    ASSERT_TRUE(TestSupport::SetKeyValue(path, name, data));
}

class Probe : public ::testing::Test
{
protected:
    void SetUp() override { RemoveAllProductKeys(); }
    void TearDown() override { RemoveAllProductKeys(); }
};

}  // namespace

TEST(SystemInfo, PrefixKindDecidesTheKeyForm)
{
    // A 64-bit Windows has a WOW64 system folder; a 32-bit one has none.
    wchar_t dir[MAX_PATH];
    bool windows64 = GetSystemWow64DirectoryW(dir, MAX_PATH) != 0;
    const bool build64 = sizeof(void*) == 8;
    EXPECT_EQ(windows64, IsWindows64());
    EXPECT_EQ(windows64 && !build64, IsWow64()) << "a 64-bit process is not under WOW64";
    EXPECT_TRUE(IsWindows7OrLater()) << "the test prefixes report Windows 7 or later";
    EXPECT_EQ(windows64, UseWow64KeyForms()) << "64-bit Windows: the 32-bit view, in either build";
    for (int i = 0; i < kProductCount; ++i)
        EXPECT_STREQ(windows64 ? kProducts[i].keyWow64 : kProducts[i].keyPlain, ProductKeyPath(i));
    EXPECT_EQ(nullptr, ProductKeyPath(-1));
    EXPECT_EQ(nullptr, ProductKeyPath(3));
    RecordProperty("prefix", !windows64 ? "win32" : build64 ? "win64 (64-bit process)" : "win64 (WOW64)");
}

TEST(ProductProbe, ConstructedEmpty)
{
    CProductProbe probe;
    for (int i = 0; i < kProductCount; ++i) {
        EXPECT_EQ(NotProbed, probe.Result(i));
        EXPECT_EQ(L"", probe.LaunchPath(i));
    }
}

// One probe over keys made as each row says: a missing key, a key without the
// product's value, or a key whose value holds the given text.
struct KeySetup
{
    bool exists;
    bool hasValue;
    std::wstring value;
};

struct ProbeCase
{
    const char* name;
    KeySetup keys[kProductCount];  // desktop, iPhone, Android
    ProbeResult states[kProductCount];
    std::wstring paths[kProductCount];
};

TEST_F(Probe, StatesAndLaunchPaths)
{
    // Values are read whole up to the longest path Windows can start.
    const std::wstring longest(kMaxPathLength, L'x');
    const std::wstring tooLong(kMaxPathLength + 1, L'x');
    const std::wstring android(kMaxPathLength - 10, L'x');
    const KeySetup missing = {false, false, L""};
    const KeySetup novalue = {true, false, L""};
    auto val = [](const std::wstring& v) { return KeySetup{true, true, v}; };
    const std::vector<ProbeCase> cases = {
        {"nothing installed",
         {missing, missing, missing},
         {ProbedMissing, ProbedMissing, ProbedMissing},
         {L"", L"", L""}},
        {"keys without values",
         {novalue, novalue, novalue},
         {ProbedInstalled, ProbedInstalled, ProbedInstalled},
         {L"", L"", L""}},
        {"plain paths",
         {val(L"C:\\D\\desk.exe"), val(L"C:\\I\\phone.exe"), val(L"C:\\A\\uninst.exe")},
         {ProbedInstalled, ProbedInstalled, ProbedInstalled},
         {L"C:\\D\\desk.exe", L"C:\\I\\phone.exe", L"C:\\A\\Rezude.exe"}},
        {"stored as read: icon index and quotes",
         {val(L"C:\\D\\desk.exe,0"), val(L"\"C:\\I\\phone.exe\",0"), val(L"\"C:\\A\\uninst.exe\"")},
         {ProbedInstalled, ProbedInstalled, ProbedInstalled},
         {L"C:\\D\\desk.exe,0", L"\"C:\\I\\phone.exe\",0", L"\"C:\\A\\Rezude.exe"}},
        {"android: other letter case is not the uninstaller",
         {missing, missing, val(L"C:\\A\\Uninst.exe")},
         {ProbedMissing, ProbedMissing, ProbedInstalled},
         {L"", L"", L"C:\\A\\Uninst.exeRezude.exe"}},
        {"android: no uninst.exe at all",
         {missing, missing, val(L"C:\\A\\remove.exe /x")},
         {ProbedMissing, ProbedMissing, ProbedInstalled},
         {L"", L"", L"C:\\A\\remove.exe /xRezude.exe"}},
        {"android: first occurrence wins",
         {missing, missing, val(L"C:\\uninst.exe\\uninst.exe")},
         {ProbedMissing, ProbedMissing, ProbedInstalled},
         {L"", L"", L"C:\\Rezude.exe"}},
        {"android: bare uninst.exe",
         {missing, missing, val(L"uninst.exe")},
         {ProbedMissing, ProbedMissing, ProbedInstalled},
         {L"", L"", L"Rezude.exe"}},
        {"the longest path is read in full",
         {val(longest), val(longest), val(android)},
         {ProbedInstalled, ProbedInstalled, ProbedInstalled},
         {longest, longest, android + L"Rezude.exe"}},
        {"a longer value reads as empty; so does a derived path over the longest",
         {val(tooLong), val(tooLong), val(android + L"x")},
         {ProbedInstalled, ProbedInstalled, ProbedInstalled},
         {L"", L"", L""}},
        {"letters outside the ANSI code page",
         {val(L"C:\\数据恢复 Восстановление\\d.exe"), missing, val(L"C:\\数据 Данные\\uninst.exe")},
         {ProbedInstalled, ProbedMissing, ProbedInstalled},
         {L"C:\\数据恢复 Восстановление\\d.exe", L"", L"C:\\数据 Данные\\Rezude.exe"}},
        {"only the iPhone product",
         {missing, val(L"C:\\I\\phone.exe"), missing},
         {ProbedMissing, ProbedInstalled, ProbedMissing},
         {L"", L"C:\\I\\phone.exe", L""}},
    };
    for (const ProbeCase& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveAllProductKeys();
        for (int i = 0; i < kProductCount; ++i) {
            if (!c.keys[i].exists) continue;
            if (c.keys[i].hasValue)
                SetString(UsedPath(i), kProducts[i].pathValue, c.keys[i].value);
            else
                RegCloseKey(CreateKey(UsedPath(i)));
        }
        CProductProbe probe;
        probe.ProbeProducts();
        for (int i = 0; i < kProductCount; ++i) {
            EXPECT_EQ(c.states[i], probe.Result(i)) << "product " << i;
            EXPECT_EQ(c.paths[i], probe.LaunchPath(i)) << "product " << i;
        }
    }
}

// Each product is found at its own key in this prefix's registry and at no
// other: its launch-path value there makes it installed with that path and
// leaves the others missing; a value of another name is no launch path.
TEST_F(Probe, EachProductIsFoundAtItsOwnKeyAlone)
{
    for (int target = 0; target < kProductCount; ++target) {
        SCOPED_TRACE(target);
        RemoveAllProductKeys();
        SetString(UsedPath(target), kProducts[target].pathValue, L"C:\\P\\app.exe");
        CProductProbe probe;
        probe.ProbeProducts();
        for (int i = 0; i < kProductCount; ++i) {
            EXPECT_EQ(i == target ? ProbedInstalled : ProbedMissing, probe.Result(i)) << "product " << i;
            EXPECT_EQ(i != target              ? L""
                          : target == kAndroid ? L"C:\\P\\app.exeRezude.exe"
                                               : L"C:\\P\\app.exe",
                      probe.LaunchPath(i))
                << "product " << i;
        }

        RemoveAllProductKeys();
        SetString(UsedPath(target), L"NotTheLaunchPath", L"C:\\P\\app.exe");
        CProductProbe other;
        other.ProbeProducts();
        EXPECT_EQ(ProbedInstalled, other.Result(target));
        EXPECT_EQ(L"", other.LaunchPath(target));
    }
}

TEST_F(Probe, EmptyValueKeepsAnEarlierPathExceptAndroid)
{
    for (int i = 0; i < kProductCount; ++i)
        SetString(UsedPath(i), kProducts[i].pathValue, L"C:\\P\\uninst.exe");
    CProductProbe probe;
    probe.ProbeProducts();
    ASSERT_EQ(L"C:\\P\\uninst.exe", probe.LaunchPath(kDesktop));
    ASSERT_EQ(L"C:\\P\\Rezude.exe", probe.LaunchPath(kAndroid));

    struct Row
    {
        const char* name;
        std::wstring value;
        bool remove;
    };
    const Row rows[] = {{"value removed", L"", true},
                        {"value too long", std::wstring(kMaxPathLength + 1, L'y'), false},
                        {"empty value", L"", false}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        for (int i = 0; i < kProductCount; ++i) {
            if (r.remove) {
                HKEY key = CreateKey(UsedPath(i));
                RegDeleteValueW(key, kProducts[i].pathValue);
                RegCloseKey(key);
            } else {
                SetString(UsedPath(i), kProducts[i].pathValue, r.value);
            }
        }
        probe.ProbeProducts();
        EXPECT_EQ(L"C:\\P\\uninst.exe", probe.LaunchPath(kDesktop));
        EXPECT_EQ(L"C:\\P\\uninst.exe", probe.LaunchPath(kIPhone));
        EXPECT_EQ(L"", probe.LaunchPath(kAndroid));
        for (int i = 0; i < kProductCount; ++i) EXPECT_EQ(ProbedInstalled, probe.Result(i));
    }
}

TEST_F(Probe, LongerValueNeverLeaksAPartialRead)
{
    // A refused read must not leave the first characters behind.
    SetString(UsedPath(kAndroid), kProducts[kAndroid].pathValue, std::wstring(kMaxPathLength + 100, L'z'));
    CProductProbe probe;
    probe.ProbeProducts();
    EXPECT_EQ(ProbedInstalled, probe.Result(kAndroid));
    EXPECT_EQ(L"", probe.LaunchPath(kAndroid));
}

TEST_F(Probe, OnlyTheFormOfThisPrefixCounts)
{
    // Keys at the other form are not the probe's.
    const bool wow64 = UseWow64KeyForms();
    for (int i = 0; i < kProductCount; ++i)
        SetString(wow64 ? kProducts[i].keyPlain : kProducts[i].keyWow64, kProducts[i].pathValue,
                  L"C:\\other.exe");
    CProductProbe probe;
    probe.ProbeProducts();
    if (!wow64) {
        // 32-bit Windows: "Wow6432Node" is an ordinary subkey name.
        for (int i = 0; i < kProductCount; ++i) EXPECT_EQ(ProbedMissing, probe.Result(i)) << "product " << i;
        return;
    }
    // WOW64: Windows maps "SOFTWARE\Wow6432Node\..." of a 32-bit process onto
    // its own view, so both forms name one key there; Wine keeps them apart.
    for (int i = 0; i < kProductCount; ++i) {
        bool sameKey = KeyExists(kProducts[i].keyWow64, 0);
        EXPECT_EQ(sameKey ? ProbedInstalled : ProbedMissing, probe.Result(i)) << "product " << i;
    }
}

TEST_F(Probe, WhereA32BitProcessWow6432NodeKeyLands)
{
    if (!IsWow64()) GTEST_SKIP() << "only under WOW64 (x86 build, 64-bit prefix)";
    const wchar_t* path = kProducts[kIPhone].keyWow64;
    SetString(path, kProducts[kIPhone].pathValue, L"C:\\I\\phone.exe");
    // Windows: the key is the 32-bit view's plain key. Wine 8: it is a key of
    // its own, "SOFTWARE\Wow6432Node\Wow6432Node\..." in the 64-bit view.
    bool windowsWay = KeyExists(kProducts[kIPhone].keyPlain, KEY_WOW64_32KEY);
    const std::wstring wow64Form(path);
    const std::wstring doubled = L"SOFTWARE\\Wow6432Node\\" + wow64Form.substr(wow64Form.find(L'\\') + 1);
    bool wineWay = KeyExists(doubled.c_str(), KEY_WOW64_64KEY);
    EXPECT_NE(windowsWay, wineWay) << "exactly one of the known mappings";
    RecordProperty("wow6432node_mapping", windowsWay ? "32-bit view" : "doubled node");
    // Either way the probe, opening the same path in the same view, finds it.
    CProductProbe probe;
    probe.ProbeProducts();
    EXPECT_EQ(ProbedInstalled, probe.Result(kIPhone));
    EXPECT_EQ(L"C:\\I\\phone.exe", probe.LaunchPath(kIPhone));
    if (wineWay) DeleteKey(L"SOFTWARE\\Wow6432Node\\Wow6432Node", KEY_WOW64_64KEY);
}

TEST_F(Probe, The64BitBuildFindsWhatA32BitSetupWrote)
{
    if (sizeof(void*) != 8) GTEST_SKIP() << "only in the x64 build";
    // A 32-bit setup writes the plain path in the 32-bit view.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProducts[kDesktop].keyPlain, 0, nullptr, 0,
                              KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr));
    const std::wstring exe = L"C:\\D\\desktop.exe";
    RegSetValueExW(key, kProducts[kDesktop].pathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(exe.c_str()),
                   DWORD((exe.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    CProductProbe probe;
    probe.ProbeProducts();
    EXPECT_EQ(ProbedInstalled, probe.Result(kDesktop));
    EXPECT_EQ(L"C:\\D\\desktop.exe", probe.LaunchPath(kDesktop));
    EXPECT_EQ(ProbedMissing, probe.Result(kIPhone)) << "nothing in the 64-bit view counts";
    DeleteKey(kProducts[kDesktop].keyPlain, KEY_WOW64_32KEY);
}

TEST_F(Probe, ReadStartFolder)
{
    EXPECT_EQ(L"", ReadStartFolder(kIPhone)) << "no key";
    RegCloseKey(CreateKey(UsedPath(kIPhone)));
    EXPECT_EQ(L"", ReadStartFolder(kIPhone)) << "no value";
    struct Row
    {
        std::wstring value;
        std::wstring expected;
    };
    const Row rows[] = {{L"C:\\Program Files\\Phone", L"C:\\Program Files\\Phone"},
                        {std::wstring(kMaxPathLength, L'q'), std::wstring(kMaxPathLength, L'q')},
                        {std::wstring(kMaxPathLength + 1, L'q'), L""}};
    for (const Row& r : rows) {
        SetString(UsedPath(kIPhone), L"InstallLocation", r.value);
        EXPECT_EQ(r.expected, ReadStartFolder(kIPhone)) << r.value.size() << " characters";
    }
    // The desktop product's key is not consulted, and its row names no
    // start folder.
    RemoveAllProductKeys();
    SetString(UsedPath(kDesktop), L"InstallLocation", L"C:\\D");
    EXPECT_EQ(L"", ReadStartFolder(kIPhone));
    EXPECT_EQ(L"", ReadStartFolder(kDesktop));
}

TEST(AndroidLaunchPath, Derivation)
{
    struct Row
    {
        std::wstring in;
        std::wstring out;
    };
    const std::wstring fits(kMaxPathLength - 10, L'a');  // with "Rezude.exe": the longest path
    const Row rows[] = {
        {L"C:\\A\\uninst.exe", L"C:\\A\\Rezude.exe"},
        {L"C:\\A\\UNINST.EXE", L"C:\\A\\UNINST.EXERezude.exe"},
        {L"C:\\A\\app.exe", L"C:\\A\\app.exeRezude.exe"},
        {fits, fits + L"Rezude.exe"},
        {fits + L"a", L""},
        {fits.substr(1) + L"\\uninst.exe", fits.substr(1) + L"\\Rezude.exe"},
        {std::wstring(200, L'c') + L"\\uninst.exe" + std::wstring(40, L'd'),
         std::wstring(200, L'c') + L"\\Rezude.exe"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.out, LaunchPathFromValue(kProducts[kAndroid], r.in, L"")) << r.in.size() << " units in";
}

// The whole round in this prefix's registry view: a setup (a separate 32-bit
// process) writes the product's uninstall key, the probe finds it there, and
// the stored launch path starts the product.
TEST_F(Probe, SetupWritesTheKeyTheProbeFindsAndTheProductStarts)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir =
        std::wstring(temp) + L"vozeror_probe_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    std::wstring product = dir + L"Rezude.exe";  // the Android product's derived name
    ASSERT_TRUE(CopyFileW((TestSupport::TestBinDir() + L"fake_product.exe").c_str(), product.c_str(), FALSE));
    std::wstring setup = TestSupport::TestBinDir() + L"fake_setup.exe";
    std::wstring setupLog = dir + L"setup.log", productLog = dir + L"product.log";
    SetEnvironmentVariableW(L"FAKE_SETUP_LOG", setupLog.c_str());
    SetEnvironmentVariableW(L"FAKE_PRODUCT_LOG", productLog.c_str());

    const std::wstring data[kProductCount] = {L"\"" + product + L"\",0", product,
                                              L"\"" + dir + L"uninst.exe\" /S"};
    const std::wstring expected[kProductCount] = {data[0], data[1], L"\"" + dir + L"Rezude.exe"};
    for (int i = 0; i < kProductCount; ++i) {
        SCOPED_TRACE(i);
        SetEnvironmentVariableW(L"FAKE_SETUP_REG_KEY", UsedPath(i));
        SetEnvironmentVariableW(L"FAKE_SETUP_REG_VALUE", kProducts[i].pathValue);
        SetEnvironmentVariableW(L"FAKE_SETUP_REG_DATA", data[i].c_str());
        RunSetupAndWait(setup.c_str(), i);
        EXPECT_EQ(WorkerFinished, ReadWorker(i).outcome);

        CProductProbe probe;
        probe.ProbeProducts();
        ASSERT_EQ(ProbedInstalled, probe.Result(i)) << "the setup's key is not where the probe looks";
        EXPECT_EQ(expected[i], probe.LaunchPath(i));

        DeleteFileW(productLog.c_str());
        LaunchProduct(probe.LaunchPath(i), i);
        bool started = false;
        for (int waited = 0; waited < 15000 && !started; waited += 20) {
            started = GetFileAttributesW(productLog.c_str()) != INVALID_FILE_ATTRIBUTES;
            if (!started) Sleep(20);
        }
        EXPECT_TRUE(started) << "the product did not start from " << probe.LaunchPath(i);
    }
    for (const wchar_t* name : {L"FAKE_SETUP_LOG", L"FAKE_PRODUCT_LOG", L"FAKE_SETUP_REG_KEY",
                                L"FAKE_SETUP_REG_VALUE", L"FAKE_SETUP_REG_DATA"})
        SetEnvironmentVariableW(name, nullptr);
    Sleep(200);  // the last product may still hold its log open
    for (const std::wstring& f : {setupLog, productLog, product}) DeleteFileW(f.c_str());
    RemoveDirectoryW(dir.c_str());
}
