#include "Products.h"
#include <windows.h>
#include <shlobj.h>
#include "DelKeyTable.h"
#include "TestSupport.h"

const char* const kDisplayNames[4] = {
    "Tumora Personal", "Pelo7 Viewer", "Tumi3 Folder Monitor Software", "Tumora Accounting Software Link Option",
};

const char* const kJapaneseDisplayNames[4] = {
    u8"ペロナ パーソナル", u8"ペロ７ビューア", u8"連携ソフトウェア", u8"ペロナ 会計ソフト連携オプション",
};

std::string ProgramFilesDir()
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, path, CSIDL_PROGRAM_FILES, FALSE);
    return path;
}

std::string SetupFolder(const char* guidKey)
{
    return ProgramFilesDir() + "\\InstallShield Installation Information\\" + guidKey;
}

std::string UninstallKey(const char* guidKey)
{
    return std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + guidKey;
}

std::string AppPathsKey(const char* appFile)
{
    return std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + appFile;
}

void PlantProduct(int index, const std::string& displayName, const std::string& programFolder)
{
    const DelKeyEntry& e = g_delKeyTable[index];
    for (const DelKeyName* k = e.pGuidKeys; (*k)[0]; ++k) {
        if (k == e.pGuidKeys)
            RegSetString(HKEY_LOCAL_MACHINE, UninstallKey(*k), "DisplayName", displayName);
        else
            RegSetString(HKEY_LOCAL_MACHINE, UninstallKey(*k), "Publisher", "Tumora");
        RegSetString(HKEY_LOCAL_MACHINE, UninstallKey(*k) + "\\Details", "Note", "subkey");
        const std::string folder = SetupFolder(*k);
        CreateDirectoryA((ProgramFilesDir() + "\\InstallShield Installation Information").c_str(), NULL);
        CreateDirectoryA(folder.c_str(), NULL);
        CreateDirectoryA((folder + "\\Disk1").c_str(), NULL);
        WriteFileBytes(folder + "\\setup.ini", "[Startup]\r\n");
        WriteFileBytes(folder + "\\Disk1\\data1.cab", std::string(4096, 'c'));
    }
    CreateDirectoryA(programFolder.c_str(), NULL);
    for (const DelKeyName* f = e.pAppFiles; (*f)[0]; ++f) {
        const std::string file = programFolder + "\\" + *f;
        WriteFileBytes(file, "MZ");
        RegSetString(HKEY_LOCAL_MACHINE, AppPathsKey(*f), "", file);
        RegSetString(HKEY_LOCAL_MACHINE, AppPathsKey(*f), "Path", programFolder);
    }
}

bool ProductLeftovers(int index)
{
    const DelKeyEntry& e = g_delKeyTable[index];
    for (const DelKeyName* k = e.pGuidKeys; (*k)[0]; ++k)
        if (RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKey(*k)) || FileExists(SetupFolder(*k)))
            return true;
    for (const DelKeyName* f = e.pAppFiles; (*f)[0]; ++f)
        if (RegKeyExists(HKEY_LOCAL_MACHINE, AppPathsKey(*f)))
            return true;
    return false;
}

void RemoveAllProducts()
{
    for (int i = 0; g_delKeyTable[i].pGuidKeys; ++i) {
        const DelKeyEntry& e = g_delKeyTable[i];
        for (const DelKeyName* k = e.pGuidKeys; (*k)[0]; ++k) {
            RegRemoveTree(HKEY_LOCAL_MACHINE, UninstallKey(*k));
            RemoveTree(SetupFolder(*k));
        }
        for (const DelKeyName* f = e.pAppFiles; (*f)[0]; ++f)
            RegRemoveTree(HKEY_LOCAL_MACHINE, AppPathsKey(*f));
    }
}
