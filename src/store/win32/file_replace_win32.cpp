#include "store/win32/file_replace_win32.h"

#include <windows.h>

#include "store/data_file.h"

bool ReplaceFileWin32(const char* source, const char* target)
{
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void InstallWin32FileReplacer() { SetFileReplacer(&ReplaceFileWin32); }
