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
    // name. When the temporary folder's path has characters the system ANSI
    // code page cannot represent (a Chinese user name on a Western system),
    // its short (8.3) form is used. False, with nothing created, when there is
    // no ANSI form or the folder cannot be made.
    bool Create();

    // The ANSI (CP_ACP) path of a file in the folder: the folder's path
    // followed by name, which begins with a backslash ("\Vedeziz.exe").
    // False when there is no folder or the path does not fit out.
    bool FilePath(const char* name, char (&out)[kPathBufferSize]) const;

    // The folder's path (UTF-16, the form the ANSI path was made from);
    // empty before Create.
    const std::wstring& Path() const { return m_path; }

    // Removes the folder and all it holds. Links inside are removed, never
    // followed. True when nothing is left.
    bool Remove();

private:
    std::wstring m_path;
    std::string m_ansiPath;
    // Held from Create to Remove without delete sharing: the start-up's
    // clean-up of another launcher sees the folder as in use.
    HANDLE m_hFolder;
};

// Removes the setup folders that interrupted runs left in the temporary
// folder: folders named exactly as above, not held open by a worker, whose
// setup programs are not running. Returns how many it removed.
int RemoveLeftoverSetupFolders();

// The ANSI (CP_ACP) form of text, only when converting it back gives the same
// text: no character was dropped or replaced by a look-alike.
bool ToAnsiExactly(const std::wstring& text, std::string& out);

}  // namespace Launcher
