#pragma once
// A product's install state and its one writer: the transition from what the
// view last showed, the product's worker report and the registry probe to
// what it shows next. Pure: no control, registry or worker is touched here;
// the view applies each step (LauncherView.cpp).

#include "launcher/ProductProbe.h"
#include "launcher/ProductWorker.h"
#include "launcher/Products.h"

namespace Launcher {

// What the view keeps of one product between two ticks, besides its tiles
// and launch path.
struct ProductStatus
{
    InstallState state;
    // The worker's progress as the last tick showed it.
    DownloadProgress shown;
    // The worker ends (WorkerReport::ends) already acted on.
    unsigned int endsSeen;
    // An install click started a worker that its report does not show yet.
    bool started;
};

// The bar value of a step that leaves the bar as it is.
const int kBarUnchanged = -1;

// One step: the product's next status, the rows of the view table to apply
// in this order (Unprobed's row changes nothing), the bar's new value, and
// whether the product is to be started.
struct ProductStep
{
    ProductStatus next;
    InstallState rows[2];
    int bar;
    bool launch;
};

// True when the report holds a worker end the status has not acted on yet:
// then the tick's step wants the product probed.
bool WorkerEnded(const ProductStatus& status, const WorkerReport& report);

// A tick of the poll timer:
//   a new end of a worker:      probed installed: Installed (the run tile);
//                               missing: NotInstalled (the install tile, its
//                               bar back at 0), so that a failed download or
//                               a failed or refused setup reads as one
//   a worker under way (from its start, before any byte), not Installed:
//                               its setup runs and the last tick showed a
//                               full bar (or it was Downloaded already):
//                               Downloaded, bar 100
//                               else: Downloading, bar := ProgressBarValue
// So completion shows one tick after the bar reached 100. A worker that
// ended since the last tick still shows its last progress first.
ProductStep TickStep(const ProductStatus& status, const WorkerReport& report, ProbeResult probe);

// An install click whose worker started: the next ticks show it under way
// even before its report does.
ProductStep InstallStep(const ProductStatus& status);

// A run click on the product (clicked) or on another product, after the
// registry probe: installed: Installed, and the clicked one starts; missing:
// NotInstalled, and the clicked one shows its install tile and is left as
// MissingAtRun, whose row changes nothing.
ProductStep RunClickStep(const ProductStatus& status, ProbeResult probe, bool clicked);

// The probe of Init: Installed or NotInstalled, shown.
ProductStep ProbeStep(const ProductStatus& status, ProbeResult probe);

// The bar value, 0 .. 100 in steps of 5, for a progress record: the number
// of twentieths of total read, times 5. A twentieth is total / 20 bytes
// when that is at least one byte, so that bodies of 20 to 399 bytes can count
// past 20 twentieths (a value above 100, which the bar ignores); below 20
// bytes the twentieths are taken from the fraction read instead of dividing
// by a step of 0. A record of total 0 gives 0.
int ProgressBarValue(const DownloadProgress& progress);

}  // namespace Launcher
