// The built executable read back: as a file (PE headers, imports) and as a data
// module (resources, the version resource, the manifest); texts and bytes made
// printable for failure messages.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>
#include "AppDriver.h"
#include "TestSupport.h"

// The image file as bytes, with bounds-checked access by file offset and by RVA.
class PeFile {
public:
    explicit PeFile(const std::string& path = AppExePath()) : m_bytes(ReadFileBytes(path))
    {
        LONG ntOffset = Has(0, sizeof(IMAGE_DOS_HEADER)) ? At<IMAGE_DOS_HEADER>(0).e_lfanew : 0;
        m_valid = ntOffset > 0 && Has(ntOffset, sizeof(IMAGE_NT_HEADERS32))
               && At<IMAGE_DOS_HEADER>(0).e_magic == IMAGE_DOS_SIGNATURE
               && At<IMAGE_NT_HEADERS32>(ntOffset).Signature == IMAGE_NT_SIGNATURE;
        if (!m_valid)
            return;
        m_nt = At<IMAGE_NT_HEADERS32>(ntOffset);
        size_t sections = ntOffset + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + m_nt.FileHeader.SizeOfOptionalHeader;
        for (WORD i = 0; i < m_nt.FileHeader.NumberOfSections; ++i)
            if (Has(sections + i * sizeof(IMAGE_SECTION_HEADER), sizeof(IMAGE_SECTION_HEADER)))
                m_sections.push_back(At<IMAGE_SECTION_HEADER>(sections + i * sizeof(IMAGE_SECTION_HEADER)));
    }

    bool Valid() const { return m_valid; }
    const IMAGE_NT_HEADERS32& Nt() const { return m_nt; }

    // File offset of an RVA; 0 when no section holds it.
    size_t Offset(DWORD rva) const
    {
        for (const IMAGE_SECTION_HEADER& s : m_sections)
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        return 0;
    }

    template <class T> T AtRva(DWORD rva) const
    {
        size_t offset = Offset(rva);
        return offset != 0 && Has(offset, sizeof(T)) ? At<T>(offset) : T();
    }

    std::string StringAtRva(DWORD rva) const
    {
        size_t offset = Offset(rva);
        if (offset == 0 || offset >= m_bytes.size())
            return std::string();
        size_t end = m_bytes.find('\0', offset);
        return m_bytes.substr(offset, end == std::string::npos ? std::string::npos : end - offset);
    }

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
    std::wstring Text()  // zero-terminated UTF-16
    {
        std::wstring text;
        for (WORD c = Word(); c != 0 && !m_overrun; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }
    // A name or ordinal field: 0xFFFF and a number, or a zero-terminated text.
    std::wstring NameOrOrdinal(WORD& ordinal)
    {
        ordinal = 0;
        size_t start = m_pos;
        if (Word() == 0xFFFF) {
            ordinal = Word();
            return std::wstring();
        }
        m_pos = start;
        return Text();
    }
    void Align4() { m_pos = (m_pos + 3) & ~size_t(3); }
    size_t Pos() const { return m_pos; }
    void Seek(size_t pos) { m_pos = pos; }
    bool Overrun() const { return m_overrun; }

private:
    void Take(void* out, size_t size)
    {
        if (m_pos + size > m_bytes.size()) {
            m_overrun = true;
            m_pos = m_bytes.size();
            return;
        }
        std::memcpy(out, m_bytes.data() + m_pos, size);
        m_pos += size;
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

// A text's UTF-16 bytes, without the terminating zero.
std::string Utf16(const wchar_t* text);
