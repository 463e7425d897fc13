// The platform side of lumara-inspect on Windows: the wide command line as UTF-8, names
// opened through the wide-character API, binary standard streams, a console shown UTF-8.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "store/data_file.h"
#include "tool_files.h"

namespace {

constexpr int kTemporaryAttempts = 100;
constexpr size_t kOutputBuffer = 1 << 16;

std::wstring Wide(const char* utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out.data(), n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

HANDLE HandleOf(std::FILE* file) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))); }

bool IsConsole(std::FILE* stream)
{
    DWORD mode = 0;
    return GetConsoleMode(HandleOf(stream), &mode) != 0;
}

// errno as the C runtime would set it for the same failure, so messages read as on Linux.
void SetErrnoFrom(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_NAME: errno = ENOENT; break;
    case ERROR_ACCESS_DENIED: case ERROR_SHARING_VIOLATION: case ERROR_WRITE_PROTECT: errno = EACCES; break;
    case ERROR_FILE_EXISTS: case ERROR_ALREADY_EXISTS: errno = EEXIST; break;
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
    default: errno = EIO; break;
    }
}

UINT g_consoleCodePage = 0;
void RestoreConsole() { SetConsoleOutputCP(g_consoleCodePage); }
// Ctrl+C ends the process without atexit: give the console its code page back first.
BOOL WINAPI RestoreOnBreak(DWORD)
{
    RestoreConsole();
    return FALSE;
}

int RemoveWide(const char* path) { return DeleteFileW(Wide(path).c_str()) ? 0 : -1; }

}  // namespace

void PrepareToolStreams()
{
    // No CR/LF translation and no stop at 0x1A: a capture and an XMLTV file pass byte for byte.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // The C runtime leaves standard output unbuffered on any character device (NUL too): one
    // system call per byte of the report. Whole blocks also keep a character in one write.
    std::setvbuf(stdout, nullptr, _IOFBF, kOutputBuffer);
    // The report is UTF-8: a console is switched to show it as such while the tool runs.
    if (IsConsole(stdout) || IsConsole(stderr)) {
        g_consoleCodePage = GetConsoleOutputCP();
        if (g_consoleCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
            std::atexit(&RestoreConsole);
            SetConsoleCtrlHandler(&RestoreOnBreak, TRUE);
        }
    }
    SetFileOpener(&OpenFileUtf8, &RemoveWide);
    SetFileReplacer(&ReplaceFileUtf8);
}

std::FILE* OpenFileUtf8(const char* path, const char* mode) { return _wfopen(Wide(path).c_str(), Wide(mode).c_str()); }

uint64_t RegularFileSize(std::FILE* file)
{
    const HANDLE h = HandleOf(file);
    LARGE_INTEGER size{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size)) return 0;
    return static_cast<uint64_t>(size.QuadPart);
}

double MonotonicSeconds() { return static_cast<double>(GetTickCount64()) / 1000.0; }

bool ShowsProgress(std::FILE* stream)
{
    // The line is rewritten with terminal sequences, which a console shows only when asked to.
    DWORD mode = 0;
    const HANDLE h = HandleOf(stream);
    if (!GetConsoleMode(h, &mode)) return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) || SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

std::FILE* CreateTemporaryBeside(const char* path, std::string& temporary)
{
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < kTemporaryAttempts && error == ERROR_FILE_EXISTS; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%06lx", (GetCurrentProcessId() * 7919ul + GetTickCount() + attempt) & 0xFFFFFFul);
        temporary = std::string(path) + suffix;
        const HANDLE h = CreateFileW(Wide(temporary.c_str()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            error = GetLastError();
            continue;
        }
        const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
        std::FILE* file = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
        if (file) return file;
        if (fd >= 0) _close(fd);
        else CloseHandle(h);
        RemoveFileUtf8(temporary.c_str());
        errno = EIO;
        return nullptr;
    }
    SetErrnoFrom(error);
    return nullptr;
}

bool CloseToDisk(std::FILE* file)
{
    const bool ok = std::fflush(file) == 0 && !std::ferror(file) && FlushFileBuffers(HandleOf(file));
    return std::fclose(file) == 0 && ok;
}

bool ReplaceFileUtf8(const char* source, const char* target)
{
    if (MoveFileExW(Wide(source).c_str(), Wide(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    SetErrnoFrom(GetLastError());
    return false;
}

void RemoveFileUtf8(const char* path) { RemoveWide(path); }
