#pragma once
// Files for tests: a fresh folder under the temporary folder, and whole-file
// reads and writes. Paths are ANSI, as the launcher keeps them.

#include <set>
#include <string>
#include <vector>

namespace TestSupport {

// Creates "<temp>\<prefix>_<pid>_<n>_<tick>"; the destructor removes the
// files and empty folders in it, then the folder itself.
class TempFolder
{
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

// Names of the entries of the temporary folder that match a wildcard pattern.
std::set<std::wstring> TempEntries(const wchar_t* pattern);

// While alive, TMP and TEMP name folder, so that GetTempPath gives it; the
// earlier values come back afterwards.
class TempPathOverride
{
public:
    explicit TempPathOverride(const std::wstring& folder);
    ~TempPathOverride();
    TempPathOverride(const TempPathOverride&) = delete;
    TempPathOverride& operator=(const TempPathOverride&) = delete;

private:
    std::wstring m_tmp, m_temp;
    bool m_hadTmp, m_hadTemp;
};

// A short name that the system ANSI code page cannot represent (Chinese on a
// Western system, Cyrillic on a Chinese one); empty when the code page
// represents every candidate (UTF-8).
std::wstring UnrepresentableName();

std::wstring WideFromAnsi(const std::string& s);
std::string AnsiFromWide(const std::wstring& w);
// The text as UTF-8 and back, NULs included.
std::string Utf8FromWide(const std::wstring& w);
std::wstring WideFromUtf8(const std::string& s);

}  // namespace TestSupport
