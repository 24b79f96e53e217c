#pragma once
// The private folder a worker downloads its setup into and runs it from.
//
// A fixed name in the root of the temporary folder lets another program of
// the user swap the setup between download and run, or leave DLLs there that
// the setup then loads. So each download gets a new folder with an
// unguessable name, "<temp>\VozerorSetup-<32 hex digits>", which the worker
// holds open while it uses it and removes, with everything in it, when the
// setup has exited. Folders of interrupted runs go at the next start.

#include "launcher/Products.h"

#include <windows.h>

#include <string>

namespace Launcher {

class CSetupFolder
{
public:
    CSetupFolder();
    // Removes the folder if it is still there.
    ~CSetupFolder();
    CSetupFolder(const CSetupFolder&) = delete;
    CSetupFolder& operator=(const CSetupFolder&) = delete;

    // Creates the folder in the temporary folder with 128 random bits in its
    // name. False, with nothing created, when the folder cannot be made.
    bool Create();

    // The path of a file in the folder: the folder's path followed by name,
    // which begins with a backslash ("\Vedeziz.exe"). Empty when there is no
    // folder or the path would be longer than kMaxPathLength.
    std::wstring FilePath(const wchar_t* name) const;

    // The folder's path; empty before Create.
    const std::wstring& Path() const { return m_path; }

    // Removes the folder and all it holds. Links inside are removed, never
    // followed. True when nothing is left.
    bool Remove();

private:
    std::wstring m_path;
    // Held from Create to Remove without delete sharing: the start-up's
    // clean-up of another launcher sees the folder as in use.
    HANDLE m_hFolder;
};

// Removes the setup folders that interrupted runs left in the temporary
// folder: folders named exactly as above, not held open by a worker, whose
// setup programs are not running. Returns how many it removed.
int RemoveLeftoverSetupFolders();

}  // namespace Launcher
