#pragma once
// Background machinery of the launcher: one worker thread per install request
// (download the silent setup, check it, run it hidden with "/s", wait), the
// process-wide worker record of each product through which the workers
// report to the UI thread, and the launch of an installed product.
//
// A worker is the only writer of its product's record; the view only reads
// it (ReadWorker). Every field is an atomic with relaxed ordering: each value
// stands alone, no lock is taken; progress stores total before remaining,
// and an end stores its outcome before it counts the end.
//
// DownloadFile.cpp holds the records, the setup run, the product launch and
// CDownloadFile; DownloadWorkers.cpp holds the worker thread (RunWorker,
// StartWorker and its thread routine).

#include "launcher/Download.h"

#include <windows.h>

#include <string>

namespace Launcher {

// A copy of one product's progress: announced size and bytes not yet read.
// (0, 0) means that no byte has been shown yet.
struct DownloadProgress
{
    unsigned int total;
    unsigned int remaining;
};

// Where a product's worker stands.
enum WorkerOutcome
{
    WorkerIdle = 0,          // no worker has run in this process
    WorkerDownloading = 1,   // started: asking or reading (progress may be (0, 0))
    WorkerRetrying = 2,      // a request failed; waiting to ask again
    WorkerSetupRunning = 3,  // the setup arrived whole; checked, run and waited for
    WorkerFailed = 4,        // ended without running a setup
    WorkerFinished = 5,      // ended after the setup ran and exited
};

// One product's record as the view reads it. ends counts the workers of
// the product that have ended (WorkerFailed or WorkerFinished): the view acts
// once on each new end.
struct WorkerReport
{
    DownloadProgress progress;
    WorkerOutcome outcome;
    unsigned int ends;
    bool running;
};

// By product index (0 desktop, 1 iPhone, 2 Android); other indices read as
// an idle record and write nothing.
WorkerReport ReadWorker(int index);

// The worker's own writes. ReportProgress is the download's progress
// callback; ReportOutcome with WorkerFailed or WorkerFinished also counts
// the end. ResetWorkerRecord puts progress and outcome back to idle (a fresh
// start of the status tool and the tests), keeping the count of ends.
void ReportProgress(int index, unsigned int total, unsigned int remaining);
void ReportOutcome(int index, WorkerOutcome outcome);
void ResetWorkerRecord(int index);

// Runs the setup at path hidden with "/s", from the folder it lies
// in, and waits until it has exited; then reports the product's worker as
// finished, whether or not the setup started.
void RunSetupAndWait(const wchar_t* path, int index);

// The same run without the report. heldOpen, when given, is a handle of the
// setup file that is closed once the process has started (or failed to), so
// that nobody can change the file between its check and its start. True when
// the setup started.
bool StartSetupAndWait(const wchar_t* path, HANDLE heldOpen);

// Opens a setup file for reading and shares reading only: while the handle
// is open nobody can write, delete, rename or replace the file, and it can
// still be started. INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE HoldSetupFile(const wchar_t* path);

// A freshly downloaded setup at path: held (HoldSetupFile, retried for
// about 2 s while a scanner holds the new file), checked
// for the publisher's signature through that handle (SetupMayRun; an empty
// publisher skips the check), and started while still held, then waited for. A setup that cannot be opened or fails the check is deleted and never
// runs. True when it ran.
bool RunDownloadedSetup(const wchar_t* path, const wchar_t* publisher);

// Starts an installed product from its launch path as the probe stored
// it (see LaunchFileFromPath). The iPhone product starts in its
// "InstallLocation" when there is one. No wait; a path that is not launched
// does nothing.
void LaunchProduct(const std::wstring& path, int index);

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
// the one it reads as; so does an empty file part.
bool LaunchFileFromPath(const std::wstring& path, std::wstring& file);

// A worker's body, run on the calling thread: reports the download under
// way, makes a private setup folder (CSetupFolder), downloads the setup into
// it, runs it through RunDownloadedSetup with the built-in publisher, removes
// the folder and finally reports its outcome (WorkerFinished when a setup
// ran, else WorkerFailed). A setup name that does not fit the folder's path
// skips the download.
DWORD RunWorker(int index);

// One worker at a time per product: ClaimWorker marks the product's worker
// running and says whether it was not; the worker thread releases it last.
bool ClaimWorker(int index);
void ReleaseWorker(int index);
bool IsWorkerRunning(int index);

// Starts the product's worker thread, detached, once ClaimWorker grants it;
// the record reads WorkerDownloading from then on. False for other indices,
// while the product's worker runs, or when no thread can be made.
bool StartWorker(int index);

// The download options every worker starts with (the launcher's defaults;
// tests shorten waits that are not what they look at). The stop field is the
// workers' own.
DownloadOptions& WorkerDownloadOptions();

// Asks every worker that is still downloading to stop (checked after each
// read and during each wait; a blocked read ends within its time-out) and
// waits up to waitMs for them to end, their folders removed. Workers whose
// setup is already running are left to it. True when none is downloading
// any more; then later workers download again.
bool StopDownloads(DWORD waitMs);

// The view's way in: workers started, their records read, products launched.
class CDownloadFile
{
public:
    virtual ~CDownloadFile();

    // StartWorker(index).
    bool Start(int index);
    // ReadWorker(index).
    WorkerReport Read(int index) const;
    // LaunchProduct(path, index) for indices 0..2; other indices do nothing.
    void RunProduct(int index, const std::wstring& path);
};

}  // namespace Launcher
