#include "RestoreFile.h"
#include <string.h>
#include "ErrorLog.h"
#include "PathCut.h"
#include "TestSeams.h"

namespace {

const char kRootName[] = "HKEY_LOCAL_MACHINE";

// Closes the key it holds at the end of the scope.
class CKeyHolder {
public:
    CKeyHolder() : m_hKey(NULL) {}
    ~CKeyHolder()
    {
        if (m_hKey != NULL)
            RegCloseKey(m_hKey);
    }
    HKEY* operator&() { return &m_hKey; }
    operator HKEY() const { return m_hKey; }
private:
    HKEY m_hKey;
    CKeyHolder(const CKeyHolder&);
    CKeyHolder& operator=(const CKeyHolder&);
};

// A heap buffer of bytes; Resize drops the contents. new[] throws when memory runs out.
class CBuffer {
public:
    explicit CBuffer(DWORD cb) : m_p(new BYTE[cb]), m_cb(cb) {}
    ~CBuffer() { delete[] m_p; }
    void Resize(DWORD cb)
    {
        BYTE* p = new BYTE[cb];
        delete[] m_p;
        m_p = p;
        m_cb = cb;
    }
    BYTE* Get() const { return m_p; }
    DWORD Size() const { return m_cb; }
private:
    BYTE* m_p;
    DWORD m_cb;
    CBuffer(const CBuffer&);
    CBuffer& operator=(const CBuffer&);
};

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
// cannot tell (the 98 family has no NtQueryKey), or the name does not fit the code
// page; the path asked for is then where the key lies.
CString PhysicalKeyName(HKEY hKey)
{
    HMODULE hNtdll = GetModuleHandleA("ntdll.dll");
    NtQueryKeyFn pNtQueryKey = hNtdll != NULL ? (NtQueryKeyFn)(void*)GetProcAddress(hNtdll, "NtQueryKey") : NULL;
    if (pNtQueryKey == NULL)
        return CString();

    CBuffer info(1024);
    ULONG cbNeeded = 0;
    LONG status = pNtQueryKey(hKey, kKeyNameInformation, info.Get(), info.Size(), &cbNeeded);
    if (status != 0 && cbNeeded > info.Size()) {
        info.Resize(cbNeeded);
        status = pNtQueryKey(hKey, kKeyNameInformation, info.Get(), info.Size(), &cbNeeded);
    }
    ULONG cbName = 0;
    if (status != 0)
        return CString();
    memcpy(&cbName, info.Get(), sizeof cbName);
    if (cbName > info.Size() - sizeof cbName)
        return CString();
    const WCHAR* pName = (const WCHAR*)(info.Get() + sizeof cbName);
    const size_t cchName = cbName / sizeof(WCHAR);

    const char kMachine[] = "\\REGISTRY\\MACHINE\\";
    const size_t cchMachine = sizeof kMachine - 1;
    if (cchName <= cchMachine || !StartsWithNoCase(pName, cchName, kMachine))
        return CString();
    const int cchRest = (int)(cchName - cchMachine) + 1;   // with its leading backslash
    const WCHAR* pRest = pName + cchMachine - 1;
    BOOL bUsedDefault = FALSE;
    const int cbRest = WideCharToMultiByte(CP_ACP, 0, pRest, cchRest, NULL, 0, NULL, &bUsedDefault);
    if (cbRest <= 0 || bUsedDefault)
        return CString();
    CBuffer rest((DWORD)cbRest + 1);
    WideCharToMultiByte(CP_ACP, 0, pRest, cchRest, (LPSTR)rest.Get(), cbRest, NULL, NULL);
    rest.Get()[cbRest] = '\0';
    CString name(kRootName);
    name += (LPCSTR)rest.Get();
    return name;
}

// Text with '\' and '"' escaped; a double-byte character, whose trail byte can have the
// backslash's code, is copied whole. Line breaks (possible only in a value name) are
// escaped too: raw, they would end the line.
void AppendEscaped(CString& out, const char* text, DWORD length)
{
    for (DWORD i = 0; i < length; ++i) {
        const char c = text[i];
        if (IsDBCSLeadByte((BYTE)c) && i + 1 < length) {
            out += c;
            out += text[++i];
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            if (c == '\\' || c == '"')
                out += '\\';
            out += c;
        }
    }
}

// A string value goes as quoted text only when the editor gives back exactly its bytes
// from it: one terminating zero and none before, no line break (a line ends at either),
// and whole characters of the code page (a lone lead byte would swallow the closing quote).
bool IsPlainText(const BYTE* data, DWORD size)
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

// hex: (binary) or hex(N): and the bytes, wrapped as the registry editor wraps them: once
// a line holds 77 characters or more it is continued with ",\" and the next line is
// indented by two blanks. column: characters already on the line.
void AppendHex(CString& out, DWORD type, const BYTE* data, DWORD size, int column)
{
    char buf[24];
    if (type == REG_BINARY)
        lstrcpyA(buf, "hex:");
    else
        wsprintfA(buf, "hex(%lx):", type);
    out += buf;
    column += lstrlenA(buf);
    for (DWORD i = 0; i < size; ++i) {
        wsprintfA(buf, "%02x", data[i]);
        out += buf;
        if (i + 1 == size)
            break;
        out += ',';
        column += 3;
        if (column >= 77) {
            out += "\\\r\n  ";
            column = 2;
        }
    }
}

// One value: "name"= (@= for the default value) and the data as a quoted string, as
// dword: or as hex with its exact bytes, whatever the type.
void AppendValue(CString& out, const char* name, DWORD nameLength, DWORD type, const BYTE* data, DWORD size)
{
    const int lineStart = out.GetLength();
    if (nameLength == 0) {
        out += "@=";
    } else {
        out += '"';
        AppendEscaped(out, name, nameLength);
        out += "\"=";
    }
    if (type == REG_SZ && IsPlainText(data, size)) {
        out += '"';
        AppendEscaped(out, (const char*)data, size - 1);
        out += '"';
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD value;
        memcpy(&value, data, sizeof value);
        char buf[24];
        wsprintfA(buf, "dword:%08lx", value);
        out += buf;
    } else {
        AppendHex(out, type, data, size, out.GetLength() - lineStart);
    }
    out += "\r\n";
}

}  // namespace

BOOL CRestoreScript::AddKey(LPCSTR lpSubKey)
{
    CKeyHolder hKey;
    const LONG lResult = RegOpenKeyExA(HKEY_LOCAL_MACHINE, lpSubKey, 0, KEY_READ, &hKey);
    if (lResult == ERROR_FILE_NOT_FOUND)
        return TRUE;
    if (lResult != ERROR_SUCCESS) {
        LOG_ERROR("RegOpenKeyEx() Error! [KeyName] %s [ErrCode] %d\n", lpSubKey, (int)lResult);
        return FALSE;
    }
    CString path = PhysicalKeyName(hKey);
    if (path.IsEmpty()) {
        path = kRootName;
        path += '\\';
        path += lpSubKey;
    }
    return AddTree(hKey, path) == ERROR_SUCCESS;
}

// The key's line, its values, then each subkey the same way, as the editor exports them.
LONG CRestoreScript::AddTree(HKEY hKey, const CString& path)
{
    m_text += "\r\n[";
    m_text += path;
    m_text += "]\r\n";

    CBuffer name(256), data(4096);
    for (DWORD i = 0;;) {
        DWORD cchName = name.Size(), cbData = data.Size(), type = REG_NONE;
        const LONG lResult = RegEnumValueA(hKey, i, (LPSTR)name.Get(), &cchName, NULL, &type, data.Get(), &cbData);
        if (lResult == ERROR_NO_MORE_ITEMS)
            break;
        if (lResult == ERROR_MORE_DATA && cbData > data.Size()) {
            data.Resize(cbData);
            continue;
        }
        // A name longer than the buffer reports no size: double it, up to the registry's limit.
        if (lResult == ERROR_MORE_DATA && name.Size() < 32768) {
            name.Resize(name.Size() * 2);
            continue;
        }
        if (lResult != ERROR_SUCCESS) {
            LOG_ERROR("RegEnumValue() Error! [KeyName] %s [ErrCode] %d\n", (LPCSTR)path, (int)lResult);
            return lResult;
        }
        AppendValue(m_text, (LPCSTR)name.Get(), cchName, type, data.Get(), cbData);
        ++i;
    }

    char szSubKey[MAX_PATH];   // key names have at most 255 characters
    for (DWORD i = 0;; ++i) {
        DWORD cchSubKey = sizeof szSubKey;
        LONG lResult = RegEnumKeyExA(hKey, i, szSubKey, &cchSubKey, NULL, NULL, NULL, NULL);
        if (lResult == ERROR_NO_MORE_ITEMS)
            break;
        if (lResult != ERROR_SUCCESS) {
            LOG_ERROR("RegEnumKeyEx() Error! [KeyName] %s [ErrCode] %d\n", (LPCSTR)path, (int)lResult);
            return lResult;
        }
        CString subPath(path);
        subPath += '\\';
        subPath += szSubKey;
        CKeyHolder hSubKey;
        lResult = RegOpenKeyExA(hKey, szSubKey, 0, KEY_READ, &hSubKey);
        if (lResult != ERROR_SUCCESS) {
            LOG_ERROR("RegOpenKeyEx() Error! [KeyName] %s [ErrCode] %d\n", (LPCSTR)subPath, (int)lResult);
            return lResult;
        }
        lResult = AddTree(hSubKey, subPath);
        if (lResult != ERROR_SUCCESS)
            return lResult;
    }
    return ERROR_SUCCESS;
}

CString CRestoreScript::FileText() const
{
    CString text("REGEDIT4\r\n");
    text += m_text;
    text += "\r\n";
    return text;
}

BOOL CRestoreScript::Save(LPCSTR lpLogPath) const
{
    // Logging off (its path did not fit) leaves no folder to write to.
    if (lpLogPath == NULL || lpLogPath[0] == '\0' || lstrlenA(lpLogPath) >= MAX_PATH)
        return FALSE;
    char szFolder[MAX_PATH];
    lstrcpyA(szFolder, lpLogPath);
    CutFileName(szFolder);

    SYSTEMTIME st;
    seam::pGetLocalTime(&st);
    char szStem[64];
    wsprintfA(szStem, "\\Pelo7Clean-%04u%02u%02u-%02u%02u%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
              st.wSecond);

    // CREATE_NEW: an earlier restore file is never replaced, whatever the clock did.
    CString path;
    HANDLE hFile = INVALID_HANDLE_VALUE;
    DWORD dwError = ERROR_FILE_EXISTS;
    for (int n = 1; n <= 99 && hFile == INVALID_HANDLE_VALUE; ++n) {
        char szSuffix[8] = "";
        if (n > 1)
            wsprintfA(szSuffix, "_%02d", n);
        path = szFolder;
        path += szStem;
        path += szSuffix;
        path += ".reg";
        if (path.GetLength() >= MAX_PATH) {
            dwError = ERROR_FILENAME_EXCED_RANGE;
            break;
        }
        hFile = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (hFile == INVALID_HANDLE_VALUE) {
            dwError = GetLastError();
            if (dwError != ERROR_FILE_EXISTS && dwError != ERROR_ALREADY_EXISTS)
                break;
        }
    }
    if (hFile == INVALID_HANDLE_VALUE) {
        LOG_ERROR("CreateFile() Error! [FilePath] %s [ErrCode] %d\n", (LPCSTR)path, (int)dwError);
        return FALSE;
    }

    const CString text = FileText();
    const char* lpFailedCall = NULL;
    DWORD cbWritten = 0;
    if (!seam::pWriteFile(hFile, (LPCSTR)text, (DWORD)text.GetLength(), &cbWritten, NULL)) {
        lpFailedCall = "WriteFile";
        dwError = GetLastError();
    } else if (cbWritten != (DWORD)text.GetLength()) {
        lpFailedCall = "WriteFile";
        dwError = ERROR_DISK_FULL;
    } else if (!FlushFileBuffers(hFile)) {
        lpFailedCall = "FlushFileBuffers";
        dwError = GetLastError();
    }
    if (!CloseHandle(hFile) && lpFailedCall == NULL) {
        lpFailedCall = "CloseHandle";
        dwError = GetLastError();
    }
    if (lpFailedCall != NULL) {
        // Half a restore file would put back half a product.
        DeleteFileA(path);
        LOG_ERROR("%s() Error! [FilePath] %s [ErrCode] %d\n", lpFailedCall, (LPCSTR)path, (int)dwError);
        return FALSE;
    }
    return TRUE;
}
