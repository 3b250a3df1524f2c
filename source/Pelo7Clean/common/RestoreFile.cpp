#include "RestoreFile.h"
#include <string.h>
#include "ErrorLog.h"
#include "PathCut.h"
#include "RegKey.h"
#include "RegistryLinks.h"
#include "TestSeams.h"
#include "WideCalls.h"

namespace {

template <class Ch> using String = CHeapText<Ch>;

// ---- the registry and the file system, in either width ----------------------------------
// The ANSI calls serve the 98 family, the wide ones the NT family.

LONG EnumValue(HKEY hKey, DWORD i, char* lpName, DWORD* pcchName, DWORD* pType, BYTE* pData, DWORD* pcbData)
{
    return RegEnumValueA(hKey, i, lpName, pcchName, NULL, pType, pData, pcbData);
}
LONG EnumValue(HKEY hKey, DWORD i, WCHAR* lpName, DWORD* pcchName, DWORD* pType, BYTE* pData, DWORD* pcbData)
{
    if (wide::pRegEnumValueW == NULL)
        return ERROR_CALL_NOT_IMPLEMENTED;
    return wide::pRegEnumValueW(hKey, i, lpName, pcchName, NULL, pType, pData, pcbData);
}

LONG EnumKey(HKEY hKey, DWORD i, char* lpName, DWORD* pcchName)
{
    return RegEnumKeyExA(hKey, i, lpName, pcchName, NULL, NULL, NULL, NULL);
}
LONG EnumKey(HKEY hKey, DWORD i, WCHAR* lpName, DWORD* pcchName)
{
    if (wide::pRegEnumKeyExW == NULL)
        return ERROR_CALL_NOT_IMPLEMENTED;
    return wide::pRegEnumKeyExW(hKey, i, lpName, pcchName, NULL, NULL, NULL, NULL);
}

// The 98 family has no registry links.
bool IsLink(HKEY, const String<char>&)
{
    return false;
}
bool IsLink(HKEY hParent, const String<WCHAR>& name)
{
    return IsRegistryLinkW(hParent, name.Get()) != FALSE;
}

HANDLE CreateNewFile(const String<char>& path)
{
    return CreateFileA(path.Get(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
}
HANDLE CreateNewFile(const String<WCHAR>& path)
{
    if (wide::pCreateFileW == NULL) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return INVALID_HANDLE_VALUE;
    }
    return wide::pCreateFileW(path.Get(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
}

void DeleteTheFile(const String<char>& path)
{
    DeleteFileA(path.Get());
}
void DeleteTheFile(const String<WCHAR>& path)
{
    if (wide::pDeleteFileW != NULL)
        wide::pDeleteFileW(path.Get());
}

// Text for the log, which is written in the code page.
CString ForLog(const String<char>& text)
{
    return CString(text.Get());
}
CString ForLog(const String<WCHAR>& text)
{
    return wide::ToCodePage(text.Get(), text.Length());
}

template <class Ch>
String<Ch> FromAscii(const char* text)
{
    String<Ch> out;
    out.AppendAscii(text);
    return out;
}

template <class Ch>
String<Ch> Concat(const String<Ch>& first, const String<Ch>& second)
{
    String<Ch> out(first);
    out.Append(second);
    return out;
}

// ---- values -------------------------------------------------------------------------

// Code units of the character at text: a double-byte character of the code page is
// copied whole, since its trail byte can have the backslash's code.
size_t CharUnits(const char* text, size_t left)
{
    return IsDBCSLeadByte((BYTE)text[0]) && left > 1 ? 2 : 1;
}
size_t CharUnits(const WCHAR*, size_t)
{
    return 1;
}

// Text with '\' and '"' escaped. Line breaks (possible only in a value name) are
// escaped too: raw, they would end the line.
template <class Ch>
void AppendEscaped(String<Ch>& out, const Ch* text, size_t length)
{
    for (size_t i = 0; i < length;) {
        const size_t units = CharUnits(text + i, length - i);
        const Ch c = text[i];
        if (units == 2) {
            out.Append(text + i, 2);
        } else if (c == '\r') {
            out.AppendAscii("\\r");
        } else if (c == '\n') {
            out.AppendAscii("\\n");
        } else {
            if (c == '\\' || c == '"')
                out.Append((Ch)'\\');
            out.Append(c);
        }
        i += units;
    }
}

// A string value goes as quoted text only when the editor gives back exactly its bytes
// from it: one terminating zero and none before, no line break (a line ends at either),
// and whole characters (a lone lead byte would swallow the closing quote; a lone
// surrogate cannot be written in UTF-16 text).
bool IsPlainText(const BYTE* data, DWORD size, const char*)
{
    if (size == 0 || data[size - 1] != 0)
        return false;
    for (DWORD i = 0; i + 1 < size; ++i) {
        if (data[i] == 0 || data[i] == '\r' || data[i] == '\n')
            return false;
        if (IsDBCSLeadByte(data[i])) {
            if (i + 2 >= size || data[i + 1] == 0)
                return false;
            ++i;
        }
    }
    return size == 1 || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, (LPCSTR)data, (int)size - 1, NULL, 0) > 0;
}
bool IsPlainText(const BYTE* data, DWORD size, const WCHAR*)
{
    if (size < sizeof(WCHAR) || size % sizeof(WCHAR) != 0)
        return false;
    const DWORD count = size / sizeof(WCHAR);
    const WCHAR* text = (const WCHAR*)data;   // the buffer comes from new[], so it is aligned
    if (text[count - 1] != 0)
        return false;
    for (DWORD i = 0; i + 1 < count; ++i) {
        const WCHAR c = text[i];
        if (c == 0 || c == '\r' || c == '\n' || (c >= 0xDC00 && c <= 0xDFFF))
            return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (!(text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF))
                return false;
            ++i;
        }
    }
    return true;
}

// The registry editor's wrapping of hex data: once a line holds this many characters or
// more it is continued with ",\" and the next line is indented by two blanks.
const size_t kHexWrapColumn = 77;

// hex: (binary) or hex(N): and the bytes, wrapped as the registry editor wraps them.
// column: characters already on the line.
template <class Ch>
void AppendHex(String<Ch>& out, DWORD type, const BYTE* data, DWORD size, size_t column)
{
    char buf[24];
    if (type == REG_BINARY)
        lstrcpyA(buf, "hex:");
    else
        wsprintfA(buf, "hex(%lx):", type);
    out.AppendAscii(buf);
    column += lstrlenA(buf);
    for (DWORD i = 0; i < size; ++i) {
        wsprintfA(buf, "%02x", data[i]);
        out.AppendAscii(buf);
        if (i + 1 == size)
            break;
        out.Append((Ch)',');
        column += 3;
        if (column >= kHexWrapColumn) {
            out.AppendAscii("\\\r\n  ");
            column = 2;
        }
    }
}

// One value: "name"= (@= for the default value) and the data as a quoted string, as
// dword: or as hex with its exact bytes, whatever the type.
template <class Ch>
void AppendValue(String<Ch>& out, const Ch* name, DWORD nameLength, DWORD type, const BYTE* data, DWORD size)
{
    const size_t lineStart = out.Length();
    if (nameLength == 0) {
        out.AppendAscii("@=");
    } else {
        out.Append((Ch)'"');
        AppendEscaped(out, name, nameLength);
        out.AppendAscii("\"=");
    }
    if (type == REG_SZ && IsPlainText(data, size, name)) {
        out.Append((Ch)'"');
        AppendEscaped(out, (const Ch*)data, size / sizeof(Ch) - 1);
        out.Append((Ch)'"');
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD value;
        memcpy(&value, data, sizeof value);
        char buf[24];
        wsprintfA(buf, "dword:%08lx", value);
        out.AppendAscii(buf);
    } else {
        AppendHex(out, type, data, size, out.Length() - lineStart);
    }
    out.AppendAscii("\r\n");
}

// ---- keys ---------------------------------------------------------------------------

// ntdll's NtQueryKey, with the KeyNameInformation class: a counted UTF-16 name.
typedef LONG (WINAPI* NtQueryKeyFn)(HANDLE, int, PVOID, ULONG, PULONG);
const int kKeyNameInformation = 3;

bool StartsWithNoCase(const WCHAR* text, size_t length, const char* prefix)
{
    for (size_t i = 0; prefix[i] != '\0'; ++i) {
        WCHAR c = i < length ? text[i] : 0;
        if (c >= 'a' && c <= 'z')
            c = (WCHAR)(c - 'a' + 'A');
        if (c != (WCHAR)prefix[i])
            return false;
    }
    return true;
}

// The key's name where it really lies, as "HKEY_LOCAL_MACHINE\...": on 64-bit Windows
// a key that this 32-bit process sees redirected lies under Wow6432Node, and the 64-bit
// registry editor that a double-click starts must be told so. Empty where the system
// cannot tell; the path asked for is then where the key lies.
String<WCHAR> PhysicalKeyName(HKEY hKey)
{
    HMODULE hNtdll = GetModuleHandleA("ntdll.dll");
    NtQueryKeyFn pNtQueryKey = hNtdll != NULL ? (NtQueryKeyFn)(void*)GetProcAddress(hNtdll, "NtQueryKey") : NULL;
    if (pNtQueryKey == NULL)
        return String<WCHAR>();

    CHeapArray<BYTE> info(1024);
    ULONG cbNeeded = 0;
    LONG status = pNtQueryKey(hKey, kKeyNameInformation, info.Get(), (ULONG)info.Count(), &cbNeeded);
    if (status != 0 && cbNeeded > info.Count()) {
        info.Resize(cbNeeded);
        status = pNtQueryKey(hKey, kKeyNameInformation, info.Get(), (ULONG)info.Count(), &cbNeeded);
    }
    ULONG cbName = 0;
    if (status != 0)
        return String<WCHAR>();
    memcpy(&cbName, info.Get(), sizeof cbName);
    if (cbName > info.Count() - sizeof cbName)
        return String<WCHAR>();
    const WCHAR* pName = (const WCHAR*)(info.Get() + sizeof cbName);
    const size_t cchName = cbName / sizeof(WCHAR);

    const char kMachine[] = "\\REGISTRY\\MACHINE\\";
    const size_t cchMachine = sizeof kMachine - 1;
    if (cchName <= cchMachine || !StartsWithNoCase(pName, cchName, kMachine))
        return String<WCHAR>();
    // The rest with its leading backslash.
    String<WCHAR> name = FromAscii<WCHAR>("HKEY_LOCAL_MACHINE");
    name.Append(pName + cchMachine - 1, cchName - cchMachine + 1);
    return name;
}

// The name the script gives the key: on the 98 family the path asked for.
void GetKeyName(HKEY, const char* lpSubKey, String<char>& name)
{
    name = FromAscii<char>("HKEY_LOCAL_MACHINE\\");
    name.AppendAscii(lpSubKey);
}
void GetKeyName(HKEY hKey, const char* lpSubKey, String<WCHAR>& name)
{
    name = PhysicalKeyName(hKey);
    if (name.IsEmpty()) {
        name = FromAscii<WCHAR>("HKEY_LOCAL_MACHINE\\");
        name.AppendAscii(lpSubKey);
    }
}

// Where the script's text goes, and what it has met on the way.
template <class Ch>
struct Script {
    String<Ch>& text;
    int& keyCount;
    BOOL& bComplete;
};

// The key's line, its values, then each subkey the same way, as the editor exports them.
// What cannot be read is logged and passed over; the rest is still saved.
template <class Ch>
void AddTree(Script<Ch>& script, HKEY hKey, const String<Ch>& path)
{
    script.text.AppendAscii("\r\n[");
    script.text.Append(path);
    script.text.AppendAscii("]\r\n");
    ++script.keyCount;

    CHeapArray<Ch> name(256);
    CHeapArray<BYTE> data(4096);
    for (DWORD i = 0;;) {
        DWORD cchName = (DWORD)name.Count(), cbData = (DWORD)data.Count(), type = REG_NONE;
        const LONG lResult = EnumValue(hKey, i, name.Get(), &cchName, &type, data.Get(), &cbData);
        if (lResult == ERROR_NO_MORE_ITEMS)
            break;
        if (lResult == ERROR_MORE_DATA && cbData > data.Count()) {
            data.Resize(cbData);
            continue;
        }
        // A name longer than the buffer reports no size: double it, up to the registry's limit.
        if (lResult == ERROR_MORE_DATA && name.Count() < kRegistryNameLimit) {
            name.Resize(name.Count() * 2);
            continue;
        }
        if (lResult != ERROR_SUCCESS) {
            LOG_ERROR("RegEnumValue() Error! [KeyName] %s [ErrCode] %d\n", (LPCSTR)ForLog(path), (int)lResult);
            script.bComplete = FALSE;
            break;
        }
        AppendValue(script.text, name.Get(), cchName, type, data.Get(), cbData);
        ++i;
    }

    CHeapArray<Ch> subKey(256);
    for (DWORD i = 0;;) {
        DWORD cchSubKey = (DWORD)subKey.Count();
        LONG lResult = EnumKey(hKey, i, subKey.Get(), &cchSubKey);
        if (lResult == ERROR_NO_MORE_ITEMS)
            break;
        if (lResult == ERROR_MORE_DATA && subKey.Count() < kRegistryNameLimit) {
            subKey.Resize(subKey.Count() * 2);
            continue;
        }
        if (lResult != ERROR_SUCCESS) {
            LOG_ERROR("RegEnumKeyEx() Error! [KeyName] %s [ErrCode] %d\n", (LPCSTR)ForLog(path), (int)lResult);
            script.bComplete = FALSE;
            break;
        }
        ++i;
        const String<Ch> subName(subKey.Get(), cchSubKey);
        String<Ch> subPath(path);
        subPath.Append((Ch)'\\');
        subPath.Append(subName);
        if (IsLink(hKey, subName)) {
            LOG_ERROR("RegOpenKeyEx() Error! [KeyName] %s [Detail] A registry link; it is not followed and not saved.\n",
                      (LPCSTR)ForLog(subPath));
            continue;
        }
        CRegKey hSubKey;
        lResult = hSubKey.Open(hKey, subName.Get(), KEY_READ);
        if (lResult != ERROR_SUCCESS) {
            LOG_ERROR("RegOpenKeyEx() Error! [KeyName] %s [ErrCode] %d\n", (LPCSTR)ForLog(subPath), (int)lResult);
            script.bComplete = FALSE;
            continue;
        }
        AddTree(script, hSubKey, subPath);
    }
}

template <class Ch>
void AddKeyTree(Script<Ch>& script, LPCSTR lpSubKey)
{
    const String<Ch> subKey = FromAscii<Ch>(lpSubKey);   // the catalog's paths are ASCII
    if (IsLink(HKEY_LOCAL_MACHINE, subKey)) {
        LOG_ERROR("RegOpenKeyEx() Error! [KeyName] %s [Detail] A registry link; it is not followed and not saved.\n",
                  lpSubKey);
        return;
    }
    CRegKey hKey;
    const LONG lResult = hKey.Open(HKEY_LOCAL_MACHINE, subKey.Get(), KEY_READ);
    if (lResult == ERROR_FILE_NOT_FOUND)
        return;
    if (lResult != ERROR_SUCCESS) {
        LOG_ERROR("RegOpenKeyEx() Error! [KeyName] %s [ErrCode] %d\n", lpSubKey, (int)lResult);
        script.bComplete = FALSE;
        return;
    }
    String<Ch> name;
    GetKeyName(hKey, lpSubKey, name);
    AddTree(script, hKey, name);
}

// ---- the file -------------------------------------------------------------------------

// A new file being written; unless kept, it is closed and deleted at the end of the scope,
// whatever way that scope is left: half a restore file would put back half a product.
template <class Ch>
class CNewFile {
public:
    explicit CNewFile(const String<Ch>& path) : m_path(path), m_hFile(CreateNewFile(path)), m_bKeep(false) {}
    ~CNewFile()
    {
        if (m_hFile != INVALID_HANDLE_VALUE) {
            CloseHandle(m_hFile);
            if (!m_bKeep)
                DeleteTheFile(m_path);
        }
    }
    HANDLE Handle() const { return m_hFile; }
    // Closes the file for good; FALSE (last error set) when the close failed.
    BOOL CloseAndKeep()
    {
        const HANDLE hFile = m_hFile;
        m_hFile = INVALID_HANDLE_VALUE;
        if (CloseHandle(hFile)) {
            m_bKeep = true;
            return TRUE;
        }
        const DWORD dwError = GetLastError();
        DeleteTheFile(m_path);
        SetLastError(dwError);
        return FALSE;
    }
private:
    const String<Ch> m_path;
    HANDLE m_hFile;
    bool m_bKeep;
    CNewFile(const CNewFile&);
    CNewFile& operator=(const CNewFile&);
};

// Writes bytes to a new file named after the local time in the folder. openFolder is the
// form the calls are given (the long-path form on the NT family), shownFolder the form
// the log shows; a path of maxLength characters or more does not fit.
template <class Ch>
BOOL WriteNewFile(const String<Ch>& openFolder, const String<Ch>& shownFolder, size_t maxLength,
                  const CHeapText<char>& bytes)
{
    SYSTEMTIME st;
    seam::pGetLocalTime(&st);
    char szStem[64];
    wsprintfA(szStem, "\\Pelo7Clean-%04u%02u%02u-%02u%02u%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
              st.wSecond);

    // CREATE_NEW: an earlier restore file is never replaced, whatever the clock did.
    String<Ch> name;
    DWORD dwError = ERROR_FILE_EXISTS;
    for (int n = 1; n <= 99; ++n) {
        char szName[80];
        lstrcpyA(szName, szStem);
        if (n > 1)
            wsprintfA(szName + lstrlenA(szName), "_%02d", n);
        lstrcatA(szName, ".reg");
        name = FromAscii<Ch>(szName);
        if (openFolder.Length() + name.Length() >= maxLength) {
            dwError = ERROR_FILENAME_EXCED_RANGE;
            break;
        }
        CNewFile<Ch> file(Concat(openFolder, name));
        if (file.Handle() == INVALID_HANDLE_VALUE) {
            dwError = GetLastError();
            if (dwError != ERROR_FILE_EXISTS && dwError != ERROR_ALREADY_EXISTS)
                break;
            continue;
        }

        const char* lpFailedCall = NULL;
        DWORD cbWritten = 0;
        if (!seam::pWriteFile(file.Handle(), bytes.Get(), (DWORD)bytes.Length(), &cbWritten, NULL)) {
            lpFailedCall = "WriteFile";
            dwError = GetLastError();
        } else if (cbWritten != (DWORD)bytes.Length()) {
            lpFailedCall = "WriteFile";
            dwError = ERROR_DISK_FULL;
        } else if (!FlushFileBuffers(file.Handle())) {
            lpFailedCall = "FlushFileBuffers";
            dwError = GetLastError();
        } else if (!file.CloseAndKeep()) {
            lpFailedCall = "CloseHandle";
            dwError = GetLastError();
        }
        if (lpFailedCall == NULL)
            return TRUE;
        LOG_ERROR("%s() Error! [FilePath] %s [ErrCode] %d\n", lpFailedCall, (LPCSTR)ForLog(Concat(shownFolder, name)),
                  (int)dwError);
        return FALSE;
    }
    LOG_ERROR("CreateFile() Error! [FilePath] %s [ErrCode] %d\n", (LPCSTR)ForLog(Concat(shownFolder, name)),
              (int)dwError);
    return FALSE;
}

bool StartsWith(const String<WCHAR>& text, const char* ascii)
{
    size_t i = 0;
    for (; ascii[i] != '\0'; ++i)
        if (i >= text.Length() || text.Get()[i] != (WCHAR)(BYTE)ascii[i])
            return false;
    return true;
}

// The long-path form of a full path: no MAX_PATH limit, no further parsing.
String<WCHAR> LongPathForm(const String<WCHAR>& path)
{
    if (StartsWith(path, "\\\\?\\"))
        return path;
    String<WCHAR> longForm = FromAscii<WCHAR>("\\\\?\\");
    if (StartsWith(path, "\\\\")) {
        longForm.AppendAscii("UNC");
        longForm.Append(path.Get() + 1, path.Length() - 1);
    } else {
        longForm.Append(path);
    }
    return longForm;
}

}  // namespace

CRestoreScript::CRestoreScript(BOOL bUnicode) : m_bUnicode(bUnicode), m_bComplete(TRUE), m_keyCount(0)
{
    if (m_bUnicode)
        wide::Load();
}

void CRestoreScript::AddKey(LPCSTR lpSubKey)
{
    if (m_bUnicode) {
        Script<WCHAR> script = {m_wide, m_keyCount, m_bComplete};
        AddKeyTree(script, lpSubKey);
    } else {
        Script<char> script = {m_narrow, m_keyCount, m_bComplete};
        AddKeyTree(script, lpSubKey);
    }
}

CHeapText<char> CRestoreScript::FileBytes() const
{
    if (!m_bUnicode) {
        CHeapText<char> text = FromAscii<char>("REGEDIT4\r\n");
        text.Append(m_narrow);
        text.AppendAscii("\r\n");
        return text;
    }
    CHeapText<WCHAR> text;
    text.Append((WCHAR)0xFEFF);   // the byte-order mark, written little-endian like the rest
    text.AppendAscii("Windows Registry Editor Version 5.00\r\n");
    text.Append(m_wide);
    text.AppendAscii("\r\n");
    return CHeapText<char>((const char*)text.Get(), text.Length() * sizeof(WCHAR));
}

BOOL WriteRestoreFile(const CHeapText<char>& bytes, BOOL bUnicode, LPCWSTR lpFolderW, LPCSTR lpLogPath)
{
    if (bUnicode) {
        size_t length = 0;
        while (lpFolderW != NULL && lpFolderW[length] != 0)
            ++length;
        // A folder whose path ends in a separator (a drive's root) gets no second one.
        if (length > 0 && lpFolderW[length - 1] == '\\')
            --length;
        const String<WCHAR> folder(lpFolderW, length);
        if (folder.IsEmpty()) {
            LOG_ERROR("CreateFile() Error! [FilePath] %s [ErrCode] %d\n", "Pelo7Clean-*.reg", ERROR_PATH_NOT_FOUND);
            return FALSE;
        }
        return WriteNewFile(LongPathForm(folder), folder, 32767, bytes);
    }
    // Logging off (its path did not fit) leaves no folder within the limit to write to.
    if (lpLogPath == NULL || lpLogPath[0] == '\0' || lstrlenA(lpLogPath) >= MAX_PATH)
        return FALSE;
    char szFolder[MAX_PATH];
    lstrcpyA(szFolder, lpLogPath);
    CutFileName(szFolder);
    const String<char> folder(szFolder, lstrlenA(szFolder));
    return WriteNewFile(folder, folder, MAX_PATH, bytes);
}
