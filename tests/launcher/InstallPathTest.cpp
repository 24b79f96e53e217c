// The whole install-and-run path without a window: a worker started as the
// view starts it downloads from the product's built-in URL (the vendor's host),
// which reaches a local server through the prefix's WinINet proxy setting;
// the downloaded setup installs, the probe finds the product, it starts.

#include "launcher/ProductLaunch.h"
#include "launcher/ProductProbe.h"
#include "launcher/ProductWorker.h"
#include "launcher/Products.h"
#include "launcher/SystemInfo.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/LauncherFixture.h"
#include "tests/support/ProxyGuard.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

using namespace Launcher;
using namespace TestSupport;

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

    CProductProbe probe;
    EXPECT_EQ(ProbedMissing, probe.ProbeProduct(kDesktop));

    ResetWorkerRecord(kDesktop);
    ASSERT_TRUE(StartWorker(kDesktop));
    EXPECT_TRUE(WaitFor([] { return ReadWorker(kDesktop).outcome == WorkerFinished; }));

    DownloadProgress progress = ReadWorker(kDesktop).progress;
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

    EXPECT_EQ(ProbedInstalled, probe.ProbeProduct(kDesktop));
    EXPECT_EQ(WideFromAnsi(product), probe.LaunchPath(kDesktop));

    LaunchProduct(probe.LaunchPath(kDesktop), kDesktop);
    EXPECT_TRUE(WaitFor([&] { return GetFileAttributesA(productLog.c_str()) != INVALID_FILE_ATTRIBUTES; }))
        << "the installed product did not start";

    for (const wchar_t* name : {L"FAKE_SETUP_LOG", L"FAKE_PRODUCT_LOG", L"FAKE_SETUP_REG_KEY",
                                L"FAKE_SETUP_REG_VALUE", L"FAKE_SETUP_REG_DATA"})
        SetEnvironmentVariableW(name, nullptr);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, keyPath.c_str());
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    DeleteFileW((std::wstring(temp) + kProducts[kDesktop].setupFileName).c_str());
    ResetWorkerRecord(kDesktop);
}
