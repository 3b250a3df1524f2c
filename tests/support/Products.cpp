#include "Products.h"
#include <windows.h>
#include <shlobj.h>
#include "TestSupport.h"

const char* const kDisplayNames[kProductCount] = {
    "Tumora Personal", "Pelo7 Viewer", "Tumi3 Folder Monitor Software", "Tumora Accounting Software Link Option",
};

const char* const kJapaneseDisplayNames[kProductCount] = {
    u8"ペロナ パーソナル", u8"ペロ７ビューア", u8"連携ソフトウェア", u8"ペロナ 会計ソフト連携オプション",
};

std::string ProgramFilesDir()
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, path, CSIDL_PROGRAM_FILES, FALSE);
    return path;
}

std::string SetupFolders()
{
    return ProgramFilesDir() + "\\InstallShield Installation Information";
}

std::string SetupFolder(const std::string& guidKey)
{
    return SetupFolders() + "\\" + guidKey;
}

std::string UninstallKey(const std::string& guidKey)
{
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + guidKey;
}

std::string AppPathsKey(const std::string& appFile)
{
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + appFile;
}

void PlantSetupFolder(const std::string& guidKey)
{
    CreateDirectoryA(SetupFolders().c_str(), NULL);
    PlantFiles(SetupFolder(guidKey), {"setup.ini", "Disk1\\", "Disk1\\data1.cab"});
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
        PlantSetupFolder(*k);
    }
    CreateDirectoryA(programFolder.c_str(), NULL);
    for (const DelKeyName* f = e.pAppFiles; (*f)[0]; ++f) {
        const std::string file = programFolder + "\\" + *f;
        WriteFileBytes(file, "MZ");
        RegSetString(HKEY_LOCAL_MACHINE, AppPathsKey(*f), "", file);
        RegSetString(HKEY_LOCAL_MACHINE, AppPathsKey(*f), "Path", programFolder);
    }
}

void PlantEveryValueKind(const std::string& key)
{
    std::string bytes100;
    for (int i = 0; i < 100; ++i)
        bytes100 += (char)i;
    RegSetString(HKEY_LOCAL_MACHINE, key, "", "the default \"value\"");
    RegSetString(HKEY_LOCAL_MACHINE, key, "Quote \" and back\\slash", "C:\\Program Files\\\"quoted\"\\");
    RegSetString(HKEY_LOCAL_MACHINE, key, "  blanks = ; [x]  ", "  padded  ");
    RegSetString(HKEY_LOCAL_MACHINE, key, "Empty", "");
    RegSetBytes(HKEY_LOCAL_MACHINE, key, "NoData", "", REG_SZ);
    RegSetBytes(HKEY_LOCAL_MACHINE, key, "ZeroInside", std::string("ab\0cd\0", 6), REG_SZ);
    RegSetBytes(HKEY_LOCAL_MACHINE, key, "Lines", std::string("one\r\ntwo\0", 9), REG_SZ);
    RegSetBytes(HKEY_LOCAL_MACHINE, key, "Expand", std::string("%ProgramFiles%\\Pelo7\0", 22), REG_EXPAND_SZ);
    RegSetBytes(HKEY_LOCAL_MACHINE, key, "Multi", std::string("one\0two\0\0", 9), REG_MULTI_SZ);
    RegSetBytes(HKEY_LOCAL_MACHINE, key, "Binary", bytes100, REG_BINARY);
    RegSetBytes(HKEY_LOCAL_MACHINE, key, "NoBytes", "", REG_BINARY);
    RegSetBytes(HKEY_LOCAL_MACHINE, key, "Dword", std::string("\x78\x56\x34\x12", 4), REG_DWORD);
    RegSetBytes(HKEY_LOCAL_MACHINE, key, "ShortDword", std::string("\x01\x02\x03", 3), REG_DWORD);
    RegSetBytes(HKEY_LOCAL_MACHINE, key, "Qword", std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8), 11);
    RegSetBytes(HKEY_LOCAL_MACHINE, key, "None", std::string("\0\xff", 2), REG_NONE);
    RegSetBytes(HKEY_LOCAL_MACHINE, key, "Unknown", std::string("\x10\x20\x30", 3), 0x4000);
    RegSetString(HKEY_LOCAL_MACHINE, key + "\\Sub Key [1]", "Value", "sub");
    RegSetString(HKEY_LOCAL_MACHINE, key + "\\Sub Key [1]\\Deeper", "Value", "deeper");
    // The system counts a terminating zero that follows the data; here none follows.
    HKEY h = RegCreate(HKEY_LOCAL_MACHINE, key);
    RegSetValueExA(h, "Unterminated", 0, REG_SZ, (const BYTE*)"abc!", 3);
    RegCloseKey(h);
    RegCloseKey(RegCreate(HKEY_LOCAL_MACHINE, key + "\\Sub Key [1]\\Empty"));
    if (GetACP() == 932) {
        // "表示" and "ソ"; 表 and ソ end in a 0x5C trail byte.
        RegSetString(HKEY_LOCAL_MACHINE, key, "\x95\x5c\x8e\xa6 \"\x83\x5c\"", "\x83\x5c\x83\x74\x83\x67\\\x95\x5c");
        RegSetString(HKEY_LOCAL_MACHINE, key + "\\\x95\x5c", "\x83\x5c", "\x95\x5c");
    }
}

std::string AsImported(std::string snapshot)
{
    const size_t at = snapshot.find("\n", snapshot.find("\"Unterminated\" type 1:"));
    if (at == std::string::npos)
        return "";
    return snapshot.insert(at, " 00 00");
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
    for (int i = 0; i < kProductCount; ++i) {
        const DelKeyEntry& e = g_delKeyTable[i];
        for (const DelKeyName* k = e.pGuidKeys; (*k)[0]; ++k) {
            RegRemoveTree(HKEY_LOCAL_MACHINE, UninstallKey(*k));
            RemoveTree(SetupFolder(*k));
        }
        for (const DelKeyName* f = e.pAppFiles; (*f)[0]; ++f)
            RegRemoveTree(HKEY_LOCAL_MACHINE, AppPathsKey(*f));
    }
}
