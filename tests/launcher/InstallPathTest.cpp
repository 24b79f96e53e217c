// The whole install-and-run path without a window: a worker started through
// the facade downloads from the product's built-in URL (the vendor's host),
// which reaches a local server through the prefix's WinINet proxy setting;
// the downloaded setup installs, the probe finds the product, it starts.

#include "launcher/DownloadFile.h"
#include "launcher/ProductProbe.h"
#include "launcher/Products.h"
#include "launcher/SystemInfo.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

using namespace Launcher;
using namespace TestSupport;

namespace {

const wchar_t kInternetSettings[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Points WinINet's preconfigured proxy at a local port while alive; restores
// the earlier values afterwards.
class ProxyGuard {
public:
    explicit ProxyGuard(unsigned short port) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
        m_hadEnable = Save(L"ProxyEnable", m_enable, m_enableType);
        m_hadServer = Save(L"ProxyServer", m_server, m_serverType);
        DWORD one = 1;
        RegSetValueExW(m_key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof(one));
        std::wstring server = L"127.0.0.1:" + std::to_wstring(port);
        RegSetValueExW(m_key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                       DWORD((server.size() + 1) * sizeof(wchar_t)));
    }
    ~ProxyGuard() {
        Restore(L"ProxyEnable", m_hadEnable, m_enable, m_enableType);
        Restore(L"ProxyServer", m_hadServer, m_server, m_serverType);
        RegCloseKey(m_key);
    }

private:
    bool Save(const wchar_t* name, std::string& data, DWORD& type) {
        BYTE buf[1024];
        DWORD size = sizeof(buf);
        if (RegQueryValueExW(m_key, name, nullptr, &type, buf, &size) != ERROR_SUCCESS) return false;
        data.assign(reinterpret_cast<char*>(buf), size);
        return true;
    }
    void Restore(const wchar_t* name, bool had, const std::string& data, DWORD type) {
        if (had)
            RegSetValueExW(m_key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), DWORD(data.size()));
        else
            RegDeleteValueW(m_key, name);
    }
    HKEY m_key = nullptr;
    bool m_hadEnable = false, m_hadServer = false;
    std::string m_enable, m_server;
    DWORD m_enableType = 0, m_serverType = 0;
};

// The request path of a built-in URL: everything after "http://host".
std::string UrlPath(const char* url) {
    const char* p = std::strstr(url, "://");
    p = p ? std::strchr(p + 3, '/') : nullptr;
    return p ? p : "";
}

// The probe's results are the main window's members; the test reads them here.
struct Probe : CProductProbe {
    using CProductProbe::m_nDesktopState;
    using CProductProbe::m_szDesktopPath;
};

bool WaitUntil(DWORD ms, bool (*done)()) {
    for (DWORD waited = 0; waited < ms; waited += 20) {
        if (done()) return true;
        Sleep(20);
    }
    return done();
}

}  // namespace

TEST(InstallPath, DownloadSetupProbeAndLaunchThroughTheVendorsUrl) {
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
    EXPECT_EQ(NotInstalled, before.m_nDesktopState);

    CDownloadFile facade;
    CDownloadFile::SetDesktopSetupFinished(0);
    facade.ResetProgress(kDesktop);
    ASSERT_TRUE(facade.StartDesktopDownload());
    EXPECT_TRUE(WaitUntil(60000, [] { return CDownloadFile::IsDesktopSetupFinished() == 1; }));

    DownloadProgress progress = facade.GetDesktopProgress();
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
    EXPECT_EQ(Installed, after.m_nDesktopState);
    EXPECT_STREQ(product.c_str(), after.m_szDesktopPath);

    facade.RunProduct(kDesktop, after.m_szDesktopPath);
    static std::string s_productLog;
    s_productLog = productLog;
    EXPECT_TRUE(WaitUntil(20000, [] { return GetFileAttributesA(s_productLog.c_str()) != INVALID_FILE_ATTRIBUTES; }))
        << "the installed product did not start";

    for (const wchar_t* name : {L"FAKE_SETUP_LOG", L"FAKE_PRODUCT_LOG", L"FAKE_SETUP_REG_KEY", L"FAKE_SETUP_REG_VALUE",
                                L"FAKE_SETUP_REG_DATA"})
        SetEnvironmentVariableW(name, nullptr);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, keyPath.c_str());
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    DeleteFileA((std::string(temp) + kProducts[kDesktop].setupFileName).c_str());
    CDownloadFile::SetDesktopSetupFinished(0);
    facade.ResetProgress(kDesktop);
}
