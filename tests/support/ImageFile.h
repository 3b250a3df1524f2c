// The built executable read back: as a file (PE headers, imports) and as a data
// module (resources, the string table, the version resource, the manifest); and
// texts and bytes made printable for failure messages.
#pragma once
#include <windows.h>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>
#include "AppDriver.h"

// The image file as bytes, with bounds-checked access by file offset and by RVA.
class PeFile {
public:
    explicit PeFile(const std::string& path = AppExePath());
    bool Valid() const { return m_valid; }
    const IMAGE_NT_HEADERS32& Nt() const { return m_nt; }
    size_t Offset(DWORD rva) const;   // file offset of an RVA; 0 when no section holds it
    template <class T> T AtRva(DWORD rva) const
    {
        size_t offset = Offset(rva);
        return offset != 0 && Has(offset, sizeof(T)) ? At<T>(offset) : T();
    }
    std::string StringAtRva(DWORD rva) const;

private:
    bool Has(size_t offset, size_t size) const { return offset + size <= m_bytes.size(); }
    template <class T> T At(size_t offset) const
    {
        T value;
        std::memcpy(&value, m_bytes.data() + offset, sizeof(T));
        return value;
    }

    std::string m_bytes;
    bool m_valid = false;
    IMAGE_NT_HEADERS32 m_nt = {};
    std::vector<IMAGE_SECTION_HEADER> m_sections;
};

struct Import {
    std::string dll;       // lower case
    std::string function;  // empty when imported by ordinal
    WORD ordinal;
};
std::vector<Import> ReadImports(const PeFile& pe);

// The executable mapped as data: its resources can be read, none of its code runs.
class ImageModule {
public:
    explicit ImageModule(const std::string& path = AppExePath())
        : m_module(LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ImageModule() { if (m_module) FreeLibrary(m_module); }
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
    WORD Word() { WORD v = 0; Take(&v, sizeof v); return v; }
    DWORD Dword() { DWORD v = 0; Take(&v, sizeof v); return v; }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { BYTE v = 0; Take(&v, sizeof v); return v; }
    std::wstring Text();                          // zero-terminated UTF-16
    // A name or ordinal field: 0xFFFF and a number, or a zero-terminated text.
    std::wstring NameOrOrdinal(WORD& ordinal);
    void Align4() { m_pos = (m_pos + 3) & ~size_t(3); }
    size_t Pos() const { return m_pos; }
    void Seek(size_t pos) { m_pos = pos; }
    bool Overrun() const { return m_overrun; }

private:
    void Take(void* out, size_t size);
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
std::string ShowBytes(const std::string& bytes);   // "0A 1B ..."
std::string ToCodePage(const std::wstring& text, UINT codePage);
std::string Utf16(const wchar_t* text);            // its bytes, without the terminating zero
