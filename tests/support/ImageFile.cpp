#include "ImageFile.h"
#include <doctest/doctest.h>
#include <cstddef>
#include <set>
#include <sstream>
#include "TestSupport.h"

namespace {
std::string Id(LPCSTR name)
{
    return IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : std::string(name);
}

BOOL CALLBACK AddType(HMODULE, LPSTR type, LONG_PTR list)
{
    *reinterpret_cast<std::string*>(list) += " " + Id(type);
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list)
{
    *reinterpret_cast<std::string*>(list) += " " + Id(name);
    return TRUE;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list)
{
    *reinterpret_cast<std::string*>(list) += " " + std::to_string(language);
    return TRUE;
}

void ReadVersionNode(const std::string& bytes, size_t at, const std::string& path, VersionInfo& info)
{
    Reader r(bytes);
    r.Seek(at);
    WORD length = r.Word(), valueLength = r.Word(), type = r.Word();
    size_t end = at + length;
    std::wstring key = r.Text();
    r.Align4();
    bool root = path.empty() && info.rootKey.empty();
    std::string name = root ? std::string() : path.empty() ? Show(key) : path + "/" + Show(key);
    size_t valueBytes = type == 1 ? valueLength * sizeof(WCHAR) : valueLength;
    std::string value = bytes.substr(r.Pos(), valueBytes);
    r.Seek(r.Pos() + valueBytes);
    r.Align4();
    if (root) {
        info.rootKey = key;
        if (value.size() == sizeof(VS_FIXEDFILEINFO))
            info.fixed = ReadAt<VS_FIXEDFILEINFO>(value, 0);
    } else if (r.Pos() >= end) {  // a leaf: a value
        while (type == 1 && value.size() >= 2 && value[value.size() - 1] == 0 && value[value.size() - 2] == 0)
            value.resize(value.size() - 2);
        info.values[name] = value;
    }
    while (r.Pos() + 6 <= end && end <= bytes.size()) {
        size_t child = r.Pos();
        WORD childLength = r.Word();
        if (childLength < 6)
            break;
        ReadVersionNode(bytes, child, name, info);
        r.Seek((child + childLength + 3) & ~size_t(3));
    }
}
} // namespace

PeFile::PeFile(const std::string& path) : m_bytes(ReadFileBytes(path))
{
    const IMAGE_DOS_HEADER dos = ReadAt<IMAGE_DOS_HEADER>(m_bytes, 0);
    m_nt = ReadAt<IMAGE_NT_HEADERS32>(m_bytes, dos.e_lfanew);
    REQUIRE_MESSAGE((dos.e_magic == IMAGE_DOS_SIGNATURE && m_nt.Signature == IMAGE_NT_SIGNATURE),
                    "not a PE image: " << path);
    const size_t sections = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader)
                          + m_nt.FileHeader.SizeOfOptionalHeader;
    for (WORD i = 0; i < m_nt.FileHeader.NumberOfSections; ++i)
        m_sections.push_back(ReadAt<IMAGE_SECTION_HEADER>(m_bytes, sections + i * sizeof(IMAGE_SECTION_HEADER)));
}

size_t PeFile::Offset(DWORD rva) const
{
    for (const IMAGE_SECTION_HEADER& s : m_sections)
        if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
            return rva - s.VirtualAddress + s.PointerToRawData;
    return std::string::npos;
}

std::string PeFile::StringAtRva(DWORD rva) const
{
    const size_t offset = Offset(rva);
    return offset < m_bytes.size() ? m_bytes.substr(offset, m_bytes.find('\0', offset) - offset) : std::string();
}

std::vector<Import> ReadImports(const PeFile& pe)
{
    std::vector<Import> imports;
    const IMAGE_DATA_DIRECTORY& dir = pe.Nt().OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (DWORD at = dir.VirtualAddress; dir.VirtualAddress != 0; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR d = pe.AtRva<IMAGE_IMPORT_DESCRIPTOR>(at);
        if (d.Name == 0)
            break;
        std::string dll = pe.StringAtRva(d.Name);
        CharLowerA(&dll[0]);
        DWORD thunks = d.OriginalFirstThunk ? d.OriginalFirstThunk : d.FirstThunk;
        for (DWORD t = thunks;; t += sizeof(DWORD)) {
            DWORD entry = pe.AtRva<DWORD>(t);
            if (entry == 0)
                break;
            if (entry & IMAGE_ORDINAL_FLAG32)
                imports.push_back({dll, std::string(), static_cast<WORD>(IMAGE_ORDINAL32(entry))});
            else  // hint word, then the name
                imports.push_back({dll, pe.StringAtRva(entry + sizeof(WORD)), 0});
        }
    }
    return imports;
}

ImageModule::ImageModule(const std::string& path)
    : m_module(LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE))
{
    REQUIRE_MESSAGE(m_module != NULL, "cannot map " << path);
}

std::string ImageModule::Resource(LPCSTR type, LPCSTR name, WORD language) const
{
    HRSRC info = FindResourceExA(m_module, type, name, language);
    HGLOBAL loaded = info ? LoadResource(m_module, info) : NULL;
    const void* data = loaded ? LockResource(loaded) : NULL;
    return data ? std::string(static_cast<const char*>(data), SizeofResource(m_module, info)) : std::string();
}

std::string ImageModule::LoadAnsiString(UINT id, int limit) const
{
    std::string buffer(limit, '\0');
    const int length = LoadStringA(m_module, id, &buffer[0], limit);
    return buffer.substr(0, length > 0 ? length : 0);
}

std::string TypesOf(HMODULE module)
{
    std::string list;
    EnumResourceTypesA(module, AddType, reinterpret_cast<LONG_PTR>(&list));
    return list;
}

std::string NamesOf(HMODULE module, LPCSTR type)
{
    std::string list;
    EnumResourceNamesA(module, type, AddName, reinterpret_cast<LONG_PTR>(&list));
    return list;
}

std::string LanguagesOf(HMODULE module, LPCSTR type, LPCSTR name)
{
    std::string list;
    EnumResourceLanguagesA(module, type, name, AddLanguage, reinterpret_cast<LONG_PTR>(&list));
    return list;
}

std::wstring Reader::Text()
{
    std::wstring text;
    for (WORD c = Word(); c != 0 && !m_overrun; c = Word())
        text += static_cast<wchar_t>(c);
    return text;
}

std::string Reader::NameOrOrdinal()
{
    const size_t start = m_pos;
    if (Word() == 0xFFFF)
        return "#" + std::to_string(Word());
    m_pos = start;
    return Show(Text());
}

VersionInfo ReadVersion(const std::string& bytes)
{
    VersionInfo info;
    ReadVersionNode(bytes, 0, std::string(), info);
    return info;
}

std::vector<std::string> ManifestElements(const std::string& xml, std::string& description)
{
    std::vector<std::string> elements;
    int depth = 0;
    for (size_t open = xml.find('<'); open != std::string::npos; open = xml.find('<', open + 1)) {
        size_t close = xml.find('>', open);
        if (close == std::string::npos)
            break;
        std::string tag = xml.substr(open + 1, close - open - 1);
        if (tag.empty() || tag[0] == '?' || tag[0] == '!')
            continue;
        if (tag[0] == '/') {
            --depth;
            continue;
        }
        bool selfClosing = tag[tag.size() - 1] == '/';
        if (selfClosing)
            tag.resize(tag.size() - 1);
        std::istringstream parts(tag);
        std::string name, attribute;
        parts >> name;
        std::set<std::string> attributes;
        while (parts >> attribute)
            attributes.insert(attribute);
        std::string shown = std::to_string(depth) + " " + name;
        for (const std::string& a : attributes)
            shown += " " + a;
        elements.push_back(shown);
        if (name == "description")
            description = xml.substr(close + 1, xml.find('<', close) - close - 1);
        if (!selfClosing)
            ++depth;
    }
    return elements;
}

std::string Show(const std::wstring& text)
{
    std::string shown;
    for (wchar_t c : text) {
        char escape[8] = {static_cast<char>(c)};
        if (c < 0x20 || c >= 0x7F || c == L'\\')
            wsprintfA(escape, "\\u%04X", static_cast<unsigned>(c));
        shown += escape;
    }
    return shown;
}

std::string ShowBytes(const std::string& bytes)
{
    std::string shown;
    for (unsigned char c : bytes) {
        char hex[4];
        wsprintfA(hex, "%02X ", c);
        shown += hex;
    }
    return shown;
}

std::string Utf16(const wchar_t* text)
{
    return std::string(reinterpret_cast<const char*>(text), std::wcslen(text) * sizeof(WCHAR));
}
