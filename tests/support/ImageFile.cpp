#include "ImageFile.h"
#include <cstddef>
#include <set>
#include <sstream>
#include "TestSupport.h"

namespace {
std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

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
            std::memcpy(&info.fixed, value.data(), sizeof info.fixed);
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

size_t PeFile::Offset(DWORD rva) const
{
    for (const IMAGE_SECTION_HEADER& s : m_sections)
        if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
            return rva - s.VirtualAddress + s.PointerToRawData;
    return 0;
}

std::string PeFile::StringAtRva(DWORD rva) const
{
    size_t offset = Offset(rva);
    if (offset == 0 || offset >= m_bytes.size())
        return std::string();
    size_t end = m_bytes.find('\0', offset);
    return m_bytes.substr(offset, end == std::string::npos ? std::string::npos : end - offset);
}

std::vector<Import> ReadImports(const PeFile& pe)
{
    std::vector<Import> imports;
    const IMAGE_DATA_DIRECTORY& dir = pe.Nt().OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (DWORD at = dir.VirtualAddress; dir.VirtualAddress != 0; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR d = pe.AtRva<IMAGE_IMPORT_DESCRIPTOR>(at);
        if (d.Name == 0)
            break;
        std::string dll = Lower(pe.StringAtRva(d.Name));
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

std::string ImageModule::Resource(LPCSTR type, LPCSTR name, WORD language) const
{
    HRSRC info = m_module ? FindResourceExA(m_module, type, name, language) : NULL;
    HGLOBAL loaded = info ? LoadResource(m_module, info) : NULL;
    const void* data = loaded ? LockResource(loaded) : NULL;
    return data ? std::string(static_cast<const char*>(data), SizeofResource(m_module, info)) : std::string();
}

std::string ImageModule::LoadAnsiString(UINT id, int limit) const
{
    std::string buffer(limit, '\0');
    int length = LoadStringA(m_module, id, &buffer[0], limit);
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

std::wstring Reader::NameOrOrdinal(WORD& ordinal)
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

void Reader::Take(void* out, size_t size)
{
    if (m_pos + size > m_bytes.size()) {
        m_overrun = true;
        m_pos = m_bytes.size();
        return;
    }
    std::memcpy(out, m_bytes.data() + m_pos, size);
    m_pos += size;
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

std::string ToCodePage(const std::wstring& text, UINT codePage)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), NULL, 0, NULL, NULL);
    std::string converted(size, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &converted[0], size, NULL, NULL);
    return converted;
}

std::string Utf16(const wchar_t* text)
{
    return std::string(reinterpret_cast<const char*>(text), std::wcslen(text) * sizeof(WCHAR));
}
