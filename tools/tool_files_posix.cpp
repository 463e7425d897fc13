#include "tool_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

void PrepareToolStreams() {}

std::FILE* OpenFileUtf8(const char* path, const char* mode) { return std::fopen(path, mode); }

uint64_t RegularFileSize(std::FILE* file)
{
    struct stat st {};
    return fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
}

double MonotonicSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

bool ShowsProgress(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

std::FILE* CreateTemporaryBeside(const char* path, std::string& temporary)
{
    temporary = std::string(path) + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return nullptr;
    // mkstemp makes the file private; the result gets the permissions of any new file.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    std::FILE* file = fdopen(fd, "w");
    if (!file) {
        close(fd);
        std::remove(temporary.c_str());
    }
    return file;
}

bool CloseToDisk(std::FILE* file)
{
    const bool ok = std::fflush(file) == 0 && !std::ferror(file) && fsync(fileno(file)) == 0;
    return std::fclose(file) == 0 && ok;
}

bool ReplaceFileUtf8(const char* source, const char* target) { return std::rename(source, target) == 0; }

void RemoveFileUtf8(const char* path) { std::remove(path); }
