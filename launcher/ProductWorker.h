#pragma once
// The product workers: one thread per install request, which downloads the
// product's silent setup into a private folder, has it checked and run
// (ProductLaunch.h) and reports how far it got in the product's record.
//
// A worker is the only writer of its product's record; the view only reads
// it (ReadWorker). Every field is an atomic: each value stands alone, no
// lock is taken; progress stores total before remaining, a new outcome is
// stored after the progress it follows, and an end stores its outcome before
// it counts the end. One worker at a time per product: the UI thread claims
// the product's slot (StartWorker) and the worker thread frees it last.

#include "launcher/Download.h"

#include <windows.h>

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

// A worker's body, run on the calling thread: reports the download under
// way, makes a private setup folder (CSetupFolder), downloads the setup into
// it, runs it through RunDownloadedSetup with the built-in publisher, removes
// the folder and finally reports its outcome (WorkerFinished when a setup
// ran, else WorkerFailed). A setup path longer than Windows takes skips the
// download.
DWORD RunWorker(int index);

// The product's worker slot: ClaimWorker marks it taken and says whether it
// was free; the worker thread releases it last.
bool ClaimWorker(int index);
void ReleaseWorker(int index);
bool IsWorkerRunning(int index);

// Starts the product's worker thread, detached, once ClaimWorker grants the
// slot; its record shows it from the thread's first step on. False for other
// indices, while the product's worker runs, or when no thread can be made.
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

}  // namespace Launcher
