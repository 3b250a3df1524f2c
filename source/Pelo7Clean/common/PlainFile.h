// Files written with administrator rights in a folder that others may write to
// (the log beside the executable): only a plain file there, never one reached
// through a link to some other file.
#pragma once
#include <windows.h>

// Opens the file for reading and writing, exclusively; creates it when there is
// nothing of that name. INVALID_HANDLE_VALUE, with the last error set, when it
// cannot be opened or is not a plain file: a symbolic link, junction, mount point
// or other reparse point, a file with more than one hard link, or a file whose
// final path is not the path named (a link that the system followed all the same).
HANDLE OpenPlainFile(LPCSTR lpPath);
