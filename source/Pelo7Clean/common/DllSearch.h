// Where the DLLs that Windows loads by name while the program runs come from.
// The program runs with administrator rights, often from a folder that others can
// write to (Downloads, a USB stick); a DLL placed there under a system DLL's name
// must not be loaded into it.
#pragma once

// Call first, before any window, shell or registry call. Where kernel32 offers it,
// restricts the search to the system folder, elsewhere takes the current folder out
// of it; then loads from the system folder the DLLs that the system would look up
// by name later, the program's own folder first where the search is not
// restricted. Never fails: a DLL that a system does not have is skipped.
void RestrictDllSearch();
