// Deleting a folder tree.
#pragma once

// Deletes the folder with all it holds, bottom-up, best effort. bFilesOnly non-zero
// deletes only the files directly inside. Returns 0 for a null, empty or too long path,
// and when the folder is still there afterwards; else 1 (a folder that was not there
// included).
int DeleteTheFolder(const char* lpFolderPath, int bFilesOnly);
