// The whole install-and-run path without a window: a worker started through
// the facade downloads from the product's built-in URL (the vendor's host),
// which reaches a local server through the prefix's WinINet proxy setting;
// the downloaded setup installs, the probe finds the product, it starts.

#include "launcher/DownloadFile.h"
#include "launcher/ProductProbe.h"
#include "launcher/Products.h"
#include "launcher/SystemInfo.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ProxyGuard.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

using namespace Launcher;
using namespace TestSupport;

namespace {

// The probe's results are the main window's members; the test reads them here.
struct Probe : CProductProbe
{
    using CProductProbe::m_product;
};

bool WaitUntil(DWORD ms, bool (*done)())
{
    for (DWORD waited = 0; waited < ms; waited += 20) {
        if (done()) return true;
        Sleep(20);
    }
    return done();
}

}  // namespace

TEST(InstallPath, DownloadSetupProbeAndLaunchThroughTheVendorsUrl)
{
    TempFolder folder("vzinstall");
    std::string setupBody;
    ASSERT_TRUE(ReadWholeFile(AnsiFromWide(TestBinDir()) + "fake_setup.exe", setupBody));
    const std::string product = AnsiFromWide(TestBinDir()) + "fake_product.exe";
    const std::string setupLog = folder.File("setup.log");
    const std::string productLog = folder.File("product.log");

    HttpTestServer server;
    server.SetRoute(UrlPath(kProducts[kDesktop].downloadUrl), HttpResponse::Ok(setupBody));
    ProxyGuard proxy(server.Port());

    // The setup writes the desktop product's key (its own registry view, the
    // one the probe reads) pointing at the stand-in product.
    std::wstring keyPath = ProductKeyPath(kDesktop);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, keyPath.c_str());
    SetEnvironmentVariableW(L"FAKE_SETUP_LOG", WideFromAnsi(setupLog).c_str());
    SetEnvironmentVariableW(L"FAKE_PRODUCT_LOG", WideFromAnsi(productLog).c_str());
    SetEnvironmentVariableW(L"FAKE_SETUP_REG_KEY", keyPath.c_str());
    SetEnvironmentVariableW(L"FAKE_SETUP_REG_VALUE", L"DisplayIcon");
    SetEnvironmentVariableW(L"FAKE_SETUP_REG_DATA", WideFromAnsi(product).c_str());

    Probe before;
    before.ProbeProducts();
    EXPECT_EQ(NotInstalled, before.m_product[kDesktop].state);

    CDownloadFile facade;
    ResetWorkerRecord(kDesktop);
    ASSERT_TRUE(facade.Start(kDesktop));
    EXPECT_TRUE(WaitUntil(60000, [] { return ReadWorker(kDesktop).outcome == WorkerFinished; }));

    DownloadProgress progress = facade.Read(kDesktop).progress;
    EXPECT_EQ(setupBody.size(), progress.total);
    EXPECT_EQ(0u, progress.remaining);
    ASSERT_EQ(1u, server.RequestCount(UrlPath(kProducts[kDesktop].downloadUrl)));
    HttpRequest request = server.Requests().front();
    // Through the proxy the request line carries the absolute URL.
    EXPECT_EQ(0u, request.target.find("http://" VOZEROR_REDIRECT_HOST)) << request.target;
    EXPECT_EQ(UrlPath(kProducts[kDesktop].downloadUrl), request.path);
    EXPECT_EQ("varivo", request.Header("User-Agent"));

    std::string log;
    ASSERT_TRUE(ReadWholeFile(setupLog, log)) << "the downloaded setup did not run";
    EXPECT_NE(std::string::npos, log.find("/s"));

    Probe after;
    after.ProbeProducts();
    EXPECT_EQ(Installed, after.m_product[kDesktop].state);
    EXPECT_EQ(WideFromAnsi(product), after.m_product[kDesktop].path);

    facade.RunProduct(kDesktop, after.m_product[kDesktop].path);
    static std::string s_productLog;
    s_productLog = productLog;
    EXPECT_TRUE(WaitUntil(20000, [] {
        return GetFileAttributesA(s_productLog.c_str()) != INVALID_FILE_ATTRIBUTES;
    })) << "the installed product did not start";

    for (const wchar_t* name : {L"FAKE_SETUP_LOG", L"FAKE_PRODUCT_LOG", L"FAKE_SETUP_REG_KEY",
                                L"FAKE_SETUP_REG_VALUE", L"FAKE_SETUP_REG_DATA"})
        SetEnvironmentVariableW(name, nullptr);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, keyPath.c_str());
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    DeleteFileW((std::wstring(temp) + kProducts[kDesktop].setupFileName).c_str());
    ResetWorkerRecord(kDesktop);
}
