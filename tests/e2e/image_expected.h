// What the built executable must carry: shared by image_test.cpp and image_ja_test.cpp.
#pragma once
#include <windows.h>
#include "ImageFile.h"

const WORD LANG_EN = 1033;
const WORD LANG_JA = 1041;

// The string table, ids 1 to 13, as the two languages must hold it.
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
