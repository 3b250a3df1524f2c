// The four products as their installers leave them behind: uninstall keys with
// display names, App Paths keys naming program files, setup folders.
#pragma once
#include <string>
#include "DelKeyTable.h"

std::string ProgramFilesDir();                        // as the shell reports it
std::string SetupFolders();                           // <Program Files>\InstallShield Installation Information
std::string SetupFolder(const std::string& guidKey);  // SetupFolders()\<key>
std::string UninstallKey(const std::string& guidKey);
std::string AppPathsKey(const std::string& appFile);

// A setup folder as an installer leaves it: setup.ini, and Disk1\data1.cab.
void PlantSetupFolder(const std::string& guidKey);

// Plants catalog entry index: every uninstall key (display name on the first, or
// on the key given), App Paths keys naming files created in programFolder, and a
// setup folder with a file for every uninstall key.
void PlantProduct(int index, const std::string& displayName, const std::string& programFolder);

// Adds to a key values of every type, with awkward names and data, and subkeys (one
// empty); under code page 932 also double-byte names whose trail byte is 0x5C.
// "Unterminated" is a string without its terminating zero.
void PlantEveryValueKind(const std::string& key);
// A snapshot (RegSnapshot) of such a key as the registry editor gives it back from a
// restore file: the string "Unterminated" ends with a zero. "" when the snapshot lacks it.
std::string AsImported(std::string snapshot);

// True while anything of the entry is left: a key, an App Paths key, a setup folder.
bool ProductLeftovers(int index);

// Removes whatever any test left of the four products.
void RemoveAllProducts();

// Display names used by the tests and the demonstration: English, and Japanese
// in UTF-8 (Acp() turns them into code page 932).
extern const char* const kDisplayNames[kProductCount];
extern const char* const kJapaneseDisplayNames[kProductCount];
