#pragma once
// Background machinery of the launcher: one worker thread per install request
// (download the silent setup, run it hidden with "/s", wait, raise the
// product's setup-finished flag), the process-wide records through which the
// workers and the UI thread talk, and the launch of an installed product.
//
// The records are atomics with relaxed ordering: each value stands alone, no
// lock is taken, and a progress callback stores total before remaining.
//
// DownloadFile.cpp holds the records, the setup run, the product launch and
// CDownloadFile; DownloadWorkers.cpp holds the worker threads (RunWorker,
// StartWorker and the three thread routines).

#include <windows.h>

namespace Launcher {

// A copy of one product's progress: announced size and bytes not yet read.
// (0, 0) means there is no download to show.
struct DownloadProgress
{
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

// Runs the setup at path (ANSI) hidden with "/s", from the folder it lies
// in, and waits until it has exited; then raises the product's
// setup-finished flag, whether or not it started.
void RunSetupAndWait(const char* path, int index);

// The same run without the flag. heldOpen, when given, is a handle of the
// setup file that is closed once the process has started (or failed to), so
// that nobody can change the file between its check and its start. True when
// the setup started.
bool StartSetupAndWait(const char* path, HANDLE heldOpen);

// Opens a setup file for reading and shares reading only: while the handle
// is open nobody can write, delete, rename or replace the file, and it can
// still be started. INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE HoldSetupFile(const wchar_t* path);

// A freshly downloaded setup at path (ANSI): held (HoldSetupFile), checked
// for the publisher's signature through that handle (SetupMayRun; an empty
// publisher skips the check), and started while still held, then waited for. A setup that cannot be opened or fails the check is deleted and never
// runs. True when it ran.
bool RunDownloadedSetup(const char* path, const wchar_t* publisher);

// Starts an installed product from its launch path (ANSI) as the probe stored
// it (see LaunchFileFromPath). The iPhone product starts in its
// "InstallLocation" when there is one. No wait; a path that is not launched
// does nothing.
void LaunchProduct(const char* path, int index);

// The file part of a launch path as read from the registry, and whether it
// may be launched at all:
//   C:\P\a.exe           the path itself
//   C:\P\a.exe,N         the path without its icon index (N: digits, maybe
//                        with a minus sign)
//   "C:\P\a.exe"         the text the quotes enclose; after the closing quote
//   "C:\P\a.exe",N       only an icon index may follow (blanks around the
//                        comma allowed)
//   "C:\P\a.exe          no closing quote (the Android product's path derived
//                        from a quoted uninstaller): the rest
// Other text after a closing quote, as in "C:\P\Uninstall.exe"Rezude.exe,
// gives false and an empty file: such a path names another program than
// the one it reads as.
bool LaunchFileFromPath(const char* path, char (&file)[260]);

// A worker's body, run on the calling thread: makes a private setup folder
// (CSetupFolder), downloads the setup into it, runs it through
// RunDownloadedSetup with the built-in publisher, removes the folder and
// finally raises the setup-finished flag. A setup name that does not fit the
// folder's path skips the download.
DWORD RunWorker(int index);

// One worker at a time per product: ClaimWorker sets the product's running
// flag and says whether it was clear; the worker thread releases it last.
bool ClaimWorker(int index);
void ReleaseWorker(int index);
bool IsWorkerRunning(int index);

// Starts the product's worker thread, detached, once ClaimWorker grants it.
// False for other indices, while the product's worker runs, or when no
// thread can be made.
bool StartWorker(int index);

// Thread routines of the three workers (the parameter is not used).
DWORD WINAPI DesktopWorkerProc(LPVOID);
DWORD WINAPI IPhoneWorkerProc(LPVOID);
DWORD WINAPI AndroidWorkerProc(LPVOID);

// The controller's facade over the shared records; it holds no data.
class CDownloadFile
{
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
