#include "bench/launcher/ChildProgram.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace LauncherBench {

namespace {

void ParseFigures(const std::string& text, std::map<std::string, double>& figures)
{
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        const size_t colon = line.find(": ");
        if (colon != std::string::npos && colon > 0)
            figures[line.substr(0, colon)] = std::atof(line.c_str() + colon + 2);
        at = end + 1;
    }
}

}  // namespace

ChildResult RunChild(const std::wstring& commandLine, DWORD timeLimitMs)
{
    ChildResult result;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    result.started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                    &startup, &process) != FALSE;
    CloseHandle(writeEnd);
    if (!result.started) {
        CloseHandle(readEnd);
        return result;
    }
    // The pipe is read on a thread of its own so that a chatty child never
    // blocks on a full pipe while this thread waits for its end.
    struct Reader
    {
        HANDLE pipe;
        std::string text;
        static DWORD WINAPI Run(LPVOID self)
        {
            Reader* reader = static_cast<Reader*>(self);
            char buffer[4096];
            DWORD got = 0;
            while (ReadFile(reader->pipe, buffer, sizeof(buffer), &got, nullptr) && got > 0)
                reader->text.append(buffer, got);
            return 0;
        }
    } reader = {readEnd, std::string()};
    HANDLE thread = CreateThread(nullptr, 0, &Reader::Run, &reader, 0, nullptr);
    result.ended = WaitForSingleObject(process.hProcess, timeLimitMs) == WAIT_OBJECT_0;
    if (!result.ended) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    // Wine's background services started by the child may hold the pipe
    // open; the reader gets a bound after the child itself has ended.
    if (thread != nullptr) {
        if (WaitForSingleObject(thread, 3000) != WAIT_OBJECT_0) CancelSynchronousIo(thread);
        WaitForSingleObject(thread, 2000);
        CloseHandle(thread);
    }
    CloseHandle(readEnd);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    result.output = reader.text;
    ParseFigures(result.output, result.figures);
    return result;
}

std::wstring BenchFolder()
{
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

double FileKiB(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1.0;
    return (double(data.nFileSizeHigh) * 4294967296.0 + double(data.nFileSizeLow)) / 1024.0;
}

double Median(std::vector<double> values)
{
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 != 0 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

}  // namespace LauncherBench
