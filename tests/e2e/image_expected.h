// What the built executable must carry, and the means to read it back: shared by
// image_test.cpp and image_ja_test.cpp.
#pragma once
#include <windows.h>
#include <string>
#include "AppDriver.h"
#include "TestSupport.h"

inline std::string BuiltExePath() { return AppExePath(); }

// The executable mapped as data: its resources can be read, none of its code runs.
class ImageModule {
public:
    ImageModule() : m_module(LoadLibraryExA(BuiltExePath().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ImageModule() { if (m_module) FreeLibrary(m_module); }
    HMODULE Handle() const { return m_module; }

    // The raw bytes of one resource in exactly the given language; "" when absent.
    std::string Resource(LPCSTR type, LPCSTR name, WORD language) const
    {
        HRSRC info = m_module ? FindResourceExA(m_module, type, name, language) : NULL;
        HGLOBAL loaded = info ? LoadResource(m_module, info) : NULL;
        const void* data = loaded ? LockResource(loaded) : NULL;
        return data ? std::string(static_cast<const char*>(data), SizeofResource(m_module, info)) : std::string();
    }

    // The string as LoadStringA gives it for the current locale.
    std::string LoadAnsiString(UINT id, int limit = 512) const
    {
        std::string buffer(limit, '\0');
        int length = LoadStringA(m_module, id, &buffer[0], limit);
        return buffer.substr(0, length > 0 ? length : 0);
    }

private:
    HMODULE m_module;
    ImageModule(const ImageModule&) = delete;
    ImageModule& operator=(const ImageModule&) = delete;
};

const WORD LANG_EN = 1033;
const WORD LANG_JA = 1041;

// UTF-16 text made printable for failure messages: every character outside
// printable ASCII (and the backslash) as \uXXXX, so equal texts give equal results.
inline std::string Show(const std::wstring& text)
{
    std::string shown;
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != L'\\') {
            shown += static_cast<char>(c);
        } else {
            char escape[8];
            wsprintfA(escape, "\\u%04X", static_cast<unsigned>(c));
            shown += escape;
        }
    }
    return shown;
}

inline std::string ShowBytes(const std::string& bytes)
{
    std::string shown;
    for (unsigned char c : bytes) {
        char hex[4];
        wsprintfA(hex, "%02X ", c);
        shown += hex;
    }
    return shown;
}

inline std::string ToCodePage(const std::wstring& text, UINT codePage)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), NULL, 0, NULL, NULL);
    std::string converted(size, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &converted[0], size, NULL, NULL);
    return converted;
}

// The string table, ids 1 to 12, as the two languages must hold it.
struct ExpectedString {
    UINT id;
    const wchar_t* english;
    const wchar_t* japanese;
};

const ExpectedString kExpectedStrings[] = {
    {1, L"Tumora Installation Information Cleaner V1.0L15",
        L"ペロナ インストール情報削除ツール V1.0L15"},
    {2, L"Tumora",
        L"ペロナ"},
    {3, L"Do you want to clean up installation information? ",
        L"インストール情報を削除しますか？"},
    {4, L"Successfully removed.",
        L"インストール情報を削除しました。"},
    {5, L"Removal failed. (CODE=%d)\r\n* For details of the error, refer to the log file (Pelo7Clean.log).",
        L"インストール情報の削除に失敗しました。(CODE=%d)\r\n* エラーの詳細はログファイル(Pelo7Clean.log)を\r\n   参照してください。"},
    {6, L"You must have Administrator privileges to execute this program.\nLog on as a user with Administrator privileges.",
        L"プログラムを実行するためには、Administrators(管理者)権限が必要です。\nAdministrators(管理者)権限のあるユーザーで実行してください。"},
    {7, L"This operating system is not supported.",
        L"未サポートのオペレーティングシステムです。"},
    {8, L"Tumi3 Folder Monitor Software is installed.\nPlease uninstall it before you uninstall Tumora.",
        L"連携ソフトウェアがインストールされています。\nペロナ パーソナルをアンインストールする前に連携ソフトウェアをアンインストールしてください。"},
    {9, L"Tumora is installed.\nPlease uninstall Tumora and Pelo7 Viewer before you uninstall Tumora Accounting Software Link Option.",
        L"ペロナ パーソナルがインストールされています。\nペロナ 会計ソフト連携オプションをアンインストールする前に、\nペロナ パーソナル 及び ペロ７ビューア をアンインストールする必要があります。"},
    {10, L"Pelo7 Viewer is installed.\nPlease uninstall Tumora and Pelo7 Viewer before you uninstall Tumora Accounting Software Link Option.",
         L"ペロ７ビューアがインストールされています。\nペロナ 会計ソフト連携オプションをアンインストールする前に、\nペロナ パーソナル 及び ペロ７ビューア をアンインストールする必要があります。"},
    {11, L"Failed to delete the registry.",
         L"レジストリの削除に失敗しました。(CODE=%d)\r\n* エラーの詳細はログファイル(Pelo7Clean.log)を\r\n   参照してください。"},
    {12, L"The currently used OS is not supported.(CODE=%d)",
         L"お使いのOSはサポートされていません。(CODE=%d)"},
    {13, L"No restore file could be saved, so this removal cannot be undone. \nDo you want to remove the installation information anyway?",
         L"復元ファイルを保存できなかったため、この削除は元に戻せません。\nそれでもインストール情報を削除しますか？"},
};
