// A screen reader's full walk of a launcher-sized window (about 30 exposed
// objects) from another thread, through the marshalled proxy: every
// object's name, role, state, location and children, as a reader does when
// a window appears. The window's thread pumps meanwhile, as a message loop
// would.

#include "bench/support/Bench.h"
#include "skinui/core/PaintManager.h"
#include "tests/support/PaintManagerWindow.h"

#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// The launcher's window: header, three pages of tiles with progress bars
// and status texts, a footer with links.
std::wstring LauncherLikeSkin()
{
    std::wstring xml = L"<Window size=\"536,355\"><VerticalLayout>"
                       L"<HorizontalLayout height=\"50\">"
                       L"<Label float=\"true\" pos=\"5,5,35,35\" bkimage=\"logo.png\" accname=\"Vozeror\" />"
                       L"<Label float=\"true\" pos=\"50,10,170,30\" text=\"Vozeror\" />"
                       L"<Button float=\"true\" pos=\"500,5,530,35\" tooltip=\"Close\" />"
                       L"</HorizontalLayout><HorizontalLayout height=\"255\">";
    // Pages overlap as in the launcher, where only one is shown at a time;
    // here all are, for a walk of about 30 objects.
    for (int page = 0; page < 3; ++page) {
        for (int tile = 0; tile < 3; ++tile) {
            const int top = 10 + tile * 80 + page;
            auto pos = [top](int left, int dy, int right, int height) {
                return L"pos=\"" + std::to_wstring(left) + L"," + std::to_wstring(top + dy) + L"," +
                    std::to_wstring(right) + L"," + std::to_wstring(top + dy + height) + L"\"";
            };
            xml += L"<Button float=\"true\" " + pos(68, 0, 468, 70) + L" text=\"Tile " +
                std::to_wstring(tile) + L"\" accdisabledname=\"Installing\" />";
            xml += L"<Progress float=\"true\" " + pos(292, 20, 372, 8) +
                L" min=\"0\" max=\"100\" value=\"30\" />";
            xml += L"<Label float=\"true\" " + pos(100, 40, 280, 20) + L" text=\"Ready to install\" />";
        }
    }
    xml += L"</HorizontalLayout><HorizontalLayout height=\"50\">"
           L"<Text float=\"true\" pos=\"10,10,500,30\" showhtml=\"true\" "
           L"text=\"Service {a qq}4000012345{/a}, hotline {a tel}4000012345{/a}\" />"
           L"<Button float=\"true\" pos=\"450,15,510,45\" showhtml=\"true\" text=\"{u}&lt;&lt;Back{/u}\" />"
           L"</HorizontalLayout></VerticalLayout></Window>";
    return xml;
}

// Reads everything of the object and of each child, depth first; returns
// the number of objects read.
int WalkObject(IAccessible* pAcc, LONG nChild)
{
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = nChild;
    BSTR name = nullptr;
    pAcc->get_accName(self, &name);
    ::SysFreeString(name);
    VARIANT v;
    ::VariantInit(&v);
    pAcc->get_accRole(self, &v);
    pAcc->get_accState(self, &v);
    long x = 0, y = 0, cx = 0, cy = 0;
    pAcc->accLocation(&x, &y, &cx, &cy, self);
    if (nChild != CHILDID_SELF) return 1;
    long nCount = 0;
    pAcc->get_accChildCount(&nCount);
    int nObjects = 1;
    if (nCount <= 0) return nObjects;
    std::vector<VARIANT> children(static_cast<size_t>(nCount));
    long nObtained = 0;
    ::AccessibleChildren(pAcc, 0, nCount, children.data(), &nObtained);
    for (long i = 0; i < nObtained; ++i) {
        VARIANT& child = children[static_cast<size_t>(i)];
        if (child.vt == VT_DISPATCH && child.pdispVal != nullptr) {
            IAccessible* pChild = nullptr;
            child.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&pChild));
            if (pChild != nullptr) {
                nObjects += WalkObject(pChild, CHILDID_SELF);
                pChild->Release();
            }
        } else if (child.vt == VT_I4) {
            nObjects += WalkObject(pAcc, child.lVal);
        }
        ::VariantClear(&child);
    }
    return nObjects;
}

}  // namespace

VOZEROR_BENCH(AccessibleTreeWalk)
{
    ::CoInitialize(nullptr);
    {
        TestSupport::PaintManagerWindow host(536, 355);
        host.LoadSkin(LauncherLikeSkin().c_str());
        ::ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
        host.Paint();
        host.Pump();

        const HWND hWnd = host.Handle();
        const int kRuns = 21;
        std::vector<double> runs;
        int nObjects = 0;
        std::atomic<bool> done(false);
        std::thread client([&] {
            ::CoInitialize(nullptr);
            IAccessible* pRoot = nullptr;
            if (::AccessibleObjectFromWindow(hWnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                             reinterpret_cast<void**>(&pRoot)) == S_OK) {
                for (int i = 0; i < kRuns; ++i) {
                    const double start = Bench::Now();
                    nObjects = WalkObject(pRoot, CHILDID_SELF);
                    runs.push_back((Bench::Now() - start) * 1e6);
                }
                pRoot->Release();
            }
            ::CoUninitialize();
            done = true;
        });
        while (!done) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            host.Pump();
        }
        client.join();
        if (!runs.empty()) {
            std::sort(runs.begin(), runs.end());
            Bench::Report("msaa_tree_objects", nObjects);
            Bench::Report("msaa_tree_walk_us", runs[runs.size() / 2]);
        }

        // The same walk on the window's own thread, without the proxy: the
        // engine's own share of the figure above.
        IAccessible* pRoot = nullptr;
        if (::AccessibleObjectFromWindow(hWnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&pRoot)) == S_OK) {
            runs.clear();
            for (int i = 0; i < kRuns; ++i) {
                const double start = Bench::Now();
                WalkObject(pRoot, CHILDID_SELF);
                runs.push_back((Bench::Now() - start) * 1e6);
            }
            pRoot->Release();
            std::sort(runs.begin(), runs.end());
            Bench::Report("msaa_tree_walk_same_thread_us", runs[runs.size() / 2]);
        }
    }
    ::CoUninitialize();
}
