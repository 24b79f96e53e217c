#pragma once
// Background machinery of the launcher: one worker thread per install request
// (download the silent setup, run it hidden with "/s", wait, raise the
// product's setup-finished flag), the process-wide records through which the
// workers and the UI thread talk, and the launch of an installed product.
//
// The records are atomics with relaxed ordering: each value stands alone, no
// lock is taken, and a progress callback stores total before remaining.

#include <windows.h>

namespace Launcher {

// A copy of one product's progress: announced size and bytes not yet read.
// (0, 0) means there is no download to show.
struct DownloadProgress {
    unsigned int total;
    unsigned int remaining;
};

// Shared records by product index (0 desktop, 1 iPhone, 2 Android). Other
// indices read as zero and are not written.
DownloadProgress GetProgress(int index);
void SetProgress(int index, unsigned int total, unsigned int remaining);
unsigned char GetSetupFinished(int index);
void SetSetupFinished(int index, unsigned char value);

// Progress callbacks handed to the download, one per product.
void OnDesktopProgress(unsigned int total, unsigned int remaining);
void OnIPhoneProgress(unsigned int total, unsigned int remaining);
void OnAndroidProgress(unsigned int total, unsigned int remaining);

// Runs the setup at path (ANSI) hidden with "/s", waits until it has exited,
// then raises the product's setup-finished flag, whether or not it started.
void RunSetupAndWait(const char* path, int index);

// Starts an installed product from its launch path (ANSI) as the probe stored
// it: enclosing quotes and a trailing icon index (",N") are dropped. The
// iPhone product starts in its "InstallLocation" when there is one. No wait.
void LaunchProduct(const char* path, int index);

// The file part of a launch path as read from the registry: the text inside
// leading quotes, or the text without a trailing ",N" icon index.
void LaunchFileFromPath(const char* path, char (&file)[260]);

// A worker's body, run on the calling thread: builds the setup path in the
// temporary folder, downloads, then finishes as FinishWorker says. A setup
// name that does not fit the temporary folder's path skips the download.
DWORD RunWorker(int index);

// The end of a worker: runs the setup only when this download wrote it, and
// raises the setup-finished flag in every case.
void FinishWorker(const char* setupPath, int index, bool downloaded);

// One worker at a time per product: ClaimWorker sets the product's running
// flag and says whether it was clear; the worker thread releases it last.
bool ClaimWorker(int index);
void ReleaseWorker(int index);
bool IsWorkerRunning(int index);

// Thread routines of the three workers (the parameter is not used).
DWORD WINAPI DesktopWorkerProc(LPVOID);
DWORD WINAPI IPhoneWorkerProc(LPVOID);
DWORD WINAPI AndroidWorkerProc(LPVOID);

// The controller's facade over the shared records; it holds no data.
class CDownloadFile {
public:
    virtual ~CDownloadFile();

    // Start the product's worker thread and return at once. While a worker of
    // the same product still runs, no second one starts and the result is false.
    bool StartDesktopDownload();
    bool StartIPhoneDownload();
    bool StartAndroidDownload();

    DownloadProgress GetDesktopProgress() const;
    DownloadProgress GetIPhoneProgress() const;
    DownloadProgress GetAndroidProgress() const;

    static unsigned char IsDesktopSetupFinished();
    static unsigned char IsIPhoneSetupFinished();
    static unsigned char IsAndroidSetupFinished();
    static void SetDesktopSetupFinished(unsigned char value);
    static void SetIPhoneSetupFinished(unsigned char value);
    static void SetAndroidSetupFinished(unsigned char value);

    // (0, 0) for indices 0..2; other indices do nothing.
    void ResetProgress(int index);
    // LaunchProduct(path, index) for indices 0..2; other indices do nothing.
    void RunProduct(int index, const char* path);
};

}  // namespace Launcher
