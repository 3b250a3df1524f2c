// Deleting a folder tree.
#pragma once

// Deletes the folder with all it holds, bottom-up, best effort. bFilesOnly non-zero
// deletes only the files directly inside. Returns 0 for a null or empty path, else 1.
int DeleteTheFolder(const char* lpFolderPath, int bFilesOnly);
