#pragma once
// Files for tests: a fresh folder under the temporary folder, and whole-file
// reads and writes. Paths are ANSI, as the launcher keeps them.

#include <string>
#include <vector>

namespace TestSupport {

// Creates "<temp>\<prefix>_<pid>_<n>_<tick>"; the destructor removes the
// files and empty folders in it, then the folder itself.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "vztest");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // Path() + "\" + name.
    std::string File(const std::string& name) const;
    // Names of the entries in the folder, "." and ".." left out.
    std::vector<std::string> Names() const;

private:
    std::string m_path;
};

// The whole file, or false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& out);
// Creates or truncates the file with data; false on any failure.
bool WriteWholeFile(const std::string& path, const std::string& data);

// The folder of the running test executable, with a trailing backslash; the
// stand-in programs are built beside it.
std::wstring TestBinDir();

std::wstring WideFromAnsi(const std::string& s);
std::string AnsiFromWide(const std::wstring& w);

}  // namespace TestSupport
