// The restore file on the NT family: the registry editor's Unicode script, read back by
// the system's editor. Code page 1252, which cannot spell every name a key may hold.
#include <doctest/doctest.h>
#include <string>
#include <vector>
#include "EngineFixture.h"
#include "EngineSupport.h"

namespace {

const DelKeyEntry& kViewer = g_delKeyTable[kProductViewer];   // one uninstall key, two App Paths keys

void SetWide(const std::wstring& key, const std::wstring& name, DWORD type, const void* data, DWORD size)
{
    HKEY h = NULL;
    REQUIRE(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &h, NULL) == 0);
    RegSetValueExW(h, name.c_str(), 0, type, (const BYTE*)data, size);
    RegCloseKey(h);
}

// Wine's editor garbles string data of odd size, which the file holds exactly.
std::string WithoutOdd(std::string snapshot)
{
    const size_t at = snapshot.find("  \"Odd\" type 1:");
    return at == std::string::npos ? "" : snapshot.erase(at, snapshot.find("\n", at) + 1 - at);
}

std::wstring TextOf(const std::string& bytes)
{
    return std::wstring((const WCHAR*)(bytes.data() + 2), (bytes.size() - 2) / sizeof(WCHAR));
}

}  // namespace

TEST_CASE_FIXTURE(EngineOn7, "on the NT family the restore file gives back every name and byte, also outside the code page")
{
    PlantedViewer p;
    REQUIRE(GetACP() == 1252);
    const std::string ansiKey = UninstallKey(kViewer.pGuidKeys[0]);
    const std::wstring key(ansiKey.begin(), ansiKey.end());
    const WCHAR name[] = L"Tumora \x03A9 Software \x2605";
    SetWide(key, L"DisplayName", REG_SZ, name, sizeof name);
    SetWide(key + L"\\\x03A9 \x2605", L"\x03A9", REG_EXPAND_SZ, L"%TEMP%\\\x2605", sizeof L"%TEMP%\\\x2605");
    SetWide(key, L"Odd", REG_SZ, "abcde", 5);
    SetWide(key, L"Unterminated", REG_SZ, L"abc!", 6);   // followed by a character: no zero is added
    const WCHAR lone[] = {'a', 0xD800, 'b', 0};
    SetWide(key, L"Lone surrogate", REG_SZ, lone, sizeof lone);
    const std::string before = p.Snapshot();

    CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
    CHECK_FALSE(ProductLeftovers(kProductViewer));
    CHECK(log.Bytes() == "");
    const std::vector<std::string> files = RestoreFiles(log.Folder());
    REQUIRE(files.size() == 1);

    // UTF-16LE with its byte-order mark and CR LF, as the editor writes version 5.00.
    const std::string bytes = ReadFileBytes(files[0]);
    REQUIRE(bytes.compare(0, 2, "\xff\xfe") == 0);
    const std::wstring text = TextOf(bytes);
    const std::wstring header = L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\";
    CHECK(text.compare(0, header.size(), header) == 0);
    CHECK(text.compare(text.size() - 4, 4, L"\r\n\r\n") == 0);
    CHECK(text.find(L"\r\n\"DisplayName\"=\"Tumora \x03A9 Software \x2605\"\r\n") != std::wstring::npos);
    CHECK(text.find(L"\\\x03A9 \x2605]\r\n\"\x03A9\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,5c,00,05,26,00,00\r\n")
          != std::wstring::npos);
    CHECK(text.find(L"\r\n\"Odd\"=hex(1):61,62,63,64,65\r\n") != std::wstring::npos);
    CHECK(text.find(L"\r\n\"Unterminated\"=hex(1):61,00,62,00,63,00\r\n") != std::wstring::npos);
    CHECK(text.find(L"\r\n\"Lone surrogate\"=hex(1):61,00,00,d8,62,00,00,00\r\n") != std::wstring::npos);

    REQUIRE(ImportRegFile(files[0]));
    CHECK(WithoutOdd(p.Snapshot()) == WithoutOdd(AsImported(before)));
}

TEST_CASE_FIXTURE(EngineOn7, "a registry link in a product key is neither followed nor saved; the log names it")
{
    PlantedViewer p;
    const std::string target = "SOFTWARE\\Pelo7CleanTest\\Outside";
    RegSetString(HKEY_LOCAL_MACHINE, target + "\\Deeper", "Kept", "outside the product");
    const std::string outside = RegSnapshot(HKEY_LOCAL_MACHINE, target);
    const std::string link = UninstallKey(kViewer.pGuidKeys[0]) + "\\Linked";
    PlantRegistryLink(std::wstring(link.begin(), link.end()), target);

    CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
    CHECK_FALSE(ProductLeftovers(kProductViewer));
    CHECK(RegSnapshot(HKEY_LOCAL_MACHINE, target) == outside);
    const std::vector<std::string> files = RestoreFiles(log.Folder());
    REQUIRE(files.size() == 1);
    CHECK(TextOf(ReadFileBytes(files[0])).find(L"outside the product") == std::wstring::npos);
    CHECK(log.Contains(std::string("\\") + kViewer.pGuidKeys[0]
                       + "\\Linked [Detail] A registry link; it is not followed and not saved.\r\n"));
    CHECK(log.LineCount() == 1);
    RegRemoveTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pelo7CleanTest");
}
