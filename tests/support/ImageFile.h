// The built executable read back: as a file (PE headers, imports) and as a data
// module (resources, the version resource, the manifest); texts and bytes made
// printable for failure messages.
#pragma once
#include <windows.h>
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>
#include "AppDriver.h"

// Copies a T out of bytes at offset; zeros where it does not fit.
template <class T> T ReadAt(const std::string& bytes, size_t offset)
{
    T value = {};
    if (offset <= bytes.size() && sizeof(T) <= bytes.size() - offset)
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

// The image file as bytes, read by RVA through its section table. The constructor
// requires a PE image.
class PeFile {
public:
    explicit PeFile(const std::string& path = AppExePath());
    const IMAGE_NT_HEADERS32& Nt() const { return m_nt; }
    template <class T> T AtRva(DWORD rva) const { return ReadAt<T>(m_bytes, Offset(rva)); }
    std::string StringAtRva(DWORD rva) const;
private:
    size_t Offset(DWORD rva) const;   // npos when no section holds it
    std::string m_bytes;
    IMAGE_NT_HEADERS32 m_nt;
    std::vector<IMAGE_SECTION_HEADER> m_sections;
};

struct Import {
    std::string dll;       // lower case
    std::string function;  // empty when imported by ordinal
    WORD ordinal;
};
std::vector<Import> ReadImports(const PeFile& pe);

// The executable mapped as data: its resources can be read, none of its code runs.
// The constructor requires the mapping.
class ImageModule {
public:
    explicit ImageModule(const std::string& path = AppExePath());
    ~ImageModule() { FreeLibrary(m_module); }
    HMODULE Handle() const { return m_module; }
    // The raw bytes of one resource in exactly the given language; "" when absent.
    std::string Resource(LPCSTR type, LPCSTR name, WORD language) const;
    // The string as LoadStringA gives it for the current locale.
    std::string LoadAnsiString(UINT id, int limit = 512) const;
private:
    HMODULE m_module;
    ImageModule(const ImageModule&) = delete;
    ImageModule& operator=(const ImageModule&) = delete;
};

// Resource enumerations as blank-separated lists, for readable failures.
std::string TypesOf(HMODULE module);
std::string NamesOf(HMODULE module, LPCSTR type);
std::string LanguagesOf(HMODULE module, LPCSTR type, LPCSTR name);

// Little-endian reader over one resource's bytes; reads past the end give zeros
// and mark the reader as overrun, so a truncated resource fails the checks.
class Reader {
public:
    explicit Reader(std::string bytes) : m_bytes(std::move(bytes)) {}
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return Take<short>(); }
    BYTE Byte() { return Take<BYTE>(); }
    std::wstring Text();   // zero-terminated UTF-16
    // A name or ordinal field (0xFFFF and a number, or a zero-terminated text): "#128", or the text as Show() gives it.
    std::string NameOrOrdinal();
    void Align4() { m_pos = (m_pos + 3) & ~size_t(3); }
    size_t Pos() const { return m_pos; }
    void Seek(size_t pos) { m_pos = pos; }
    bool Overrun() const { return m_overrun; }
private:
    template <class T> T Take()
    {
        const T value = ReadAt<T>(m_bytes, m_pos);
        m_overrun = m_overrun || m_pos + sizeof(T) > m_bytes.size();
        m_pos = std::min(m_pos + sizeof(T), m_bytes.size());
        return value;
    }
    std::string m_bytes;
    size_t m_pos = 0;
    bool m_overrun = false;
};

// The version resource's tree flattened: "StringFileInfo/040904b0/ProductName"
// and the like, each with its value's bytes (text values as UTF-16 without the
// terminating zeros).
struct VersionInfo {
    std::wstring rootKey;
    VS_FIXEDFILEINFO fixed = {};
    std::map<std::string, std::string> values;
};
VersionInfo ReadVersion(const std::string& bytes);

// The manifest's elements in document order, as "depth name attr=value ...",
// attributes sorted; enough XML for a flat, comment-free manifest.
std::vector<std::string> ManifestElements(const std::string& xml, std::string& description);

// UTF-16 text made printable for failure messages: every character outside
// printable ASCII (and the backslash) as \uXXXX, so equal texts give equal results.
std::string Show(const std::wstring& text);
std::string ShowBytes(const std::string& bytes);   // "41 42 "
// A text's UTF-16 bytes, without the terminating zero.
std::string Utf16(const wchar_t* text);
