#pragma once
// The installer download: one HTTP GET of a product's silent setup into a file.

#include <windows.h>

namespace Launcher {

// Progress callback: the product the download is for (as given to
// DownloadToFile), the announced body length and the bytes not yet read.
// Called on the downloading thread after every successful read.
typedef void (*DownloadProgressProc)(int product, unsigned int total, unsigned int remaining);

// Downloads url (ANSI) into the file at path (ANSI, CP_ACP like every path
// of the launcher). The whole body is held in memory and written in one call
// only when it arrived in full; returns true exactly when the file was
// written. A failure writes nothing and leaves an earlier file at path
// untouched.
// product is only handed on to the callback.
bool DownloadToFile(const char* url, const char* path, DownloadProgressProc callback, int product = 0);

}  // namespace Launcher
