// The Windows form of the data files' one-step replacement (store/data_file.h).
#pragma once

// Replaces target by source with MoveFileExA (MOVEFILE_REPLACE_EXISTING |
// MOVEFILE_WRITE_THROUGH): the target is either the old file or the new one, never gone.
bool ReplaceFileWin32(const char* source, const char* target);

// Makes every data-file save use ReplaceFileWin32. Call once when the plug-in starts,
// before anything is saved.
void InstallWin32FileReplacer();
