// The built executable read back: its headers, its imports and its resources.
#include <doctest/doctest.h>
#include <windows.h>
#include <cstddef>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>
#include "TestSupport.h"
#include "allowed_imports.h"
#include "image_expected.h"

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The image file as bytes, with bounds-checked access by file offset and by RVA.
class PeFile {
public:
    PeFile() : m_bytes(ReadFileBytes(BuiltExePath()))
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

std::map<std::string, std::set<std::string>> AllowedImports()
{
    std::map<std::string, std::set<std::string>> allowed;
    for (const ImportAllowance& a : kAllowedImports) {
        std::istringstream names(a.functions);
        std::string name;
        while (names >> name)
            allowed[a.dll].insert(name);
    }
    return allowed;
}

// --- resources --------------------------------------------------------------

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

// Resource enumerations as blank-separated lists, for readable failures.
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

// --- dialog template ----------------------------------------------------------

struct ExpectedControl {
    DWORD id;
    WORD cls;         // a predefined class, by ordinal
    DWORD style;
    short x, y, cx, cy;
    const wchar_t* text;
};

const DWORD kStaticStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
const DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP
                       | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
const DWORD kDefButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
const DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD kStaticId = 0xFFFFFFFF;  // -1
const WORD kButton = 0x0080, kStatic = 0x0082, kListBox = 0x0083;

struct ExpectedDialog {
    WORD language;
    const wchar_t* caption;
    const wchar_t* font;
    short cx, cy;
    ExpectedControl controls[6];
};

const ExpectedDialog kExpectedDialogs[] = {
    {LANG_EN, L"Tumora Installation Information Cleaner V1.0L15", L"Arial", 287, 174, {
        {kStaticId, kStatic, kStaticStyle, 7, 7, 273, 8,
         L"The installation information of the selected application is removed. "},
        {kStaticId, kStatic, kStaticStyle, 7, 22, 273, 8,
         L"Use this tool only if uninstallation cannot be completed properly."},
        {kStaticId, kStatic, kStaticStyle, 7, 37, 273, 38,
         L"To completely remove the application from your computer, do the following:\n"
         L"1. Uninstall the application with this tool.\n2. Reinstall the application.\n"
         L"3. Remove the application using the Add or Remove Programs utility."},
        {1003, kListBox, kListStyle, 7, 79, 273, 65, L""},
        {1000, kButton, kDefButtonStyle, 172, 153, 50, 14, L"Remove"},
        {IDCANCEL, kButton, kButtonStyle, 230, 153, 50, 14, L"Finish"}}},
    {LANG_JA, L"ペロナ インストール情報削除ツール V1.0L15", L"ＭＳ Ｐゴシック", 262, 180, {
        {kStaticId, kStatic, kStaticStyle, 7, 7, 248, 8,
         L"選択されているアプリケーションのインストール情報を削除します。"},
        {kStaticId, kStatic, kStaticStyle, 7, 23, 248, 8,
         L"アンインストールが正常に完了しない場合にのみご使用ください。"},
        {kStaticId, kStatic, kStaticStyle, 7, 40, 248, 24,
         L"完全にアンインストールさせるには、本ツールで削除後に、再度インストールを実行し、"
         L"コントロールパネルからアンインストールを行ってください。"},
        {1003, kListBox, kListStyle, 7, 70, 248, 75, L""},
        {1000, kButton, kDefButtonStyle, 145, 159, 50, 14, L"削除"},
        {IDCANCEL, kButton, kButtonStyle, 205, 159, 50, 14, L"終了"}}},
};

// --- version resource ---------------------------------------------------------

// The version resource's tree flattened: "StringFileInfo/040904b0/ProductName"
// and the like, each with its value's bytes (text values as UTF-16 without the
// terminating zeros).
struct VersionInfo {
    std::wstring rootKey;
    VS_FIXEDFILEINFO fixed = {};
    std::map<std::string, std::string> values;
};

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

std::string Utf16(const wchar_t* text)
{
    return std::string(reinterpret_cast<const char*>(text), std::wcslen(text) * sizeof(WCHAR));
}

// --- manifest -----------------------------------------------------------------

// The manifest's elements in document order, as "depth name attr=value ...",
// attributes sorted; enough XML for a flat, comment-free manifest.
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

} // namespace

TEST_CASE("the image is a 32-bit Windows GUI program that Windows 98 loads")
{
    PeFile pe;
    REQUIRE_MESSAGE(pe.Valid(), "not a PE image: " << BuiltExePath());
    CHECK(pe.Nt().FileHeader.Machine == IMAGE_FILE_MACHINE_I386);
    CHECK(pe.Nt().OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    CHECK(pe.Nt().OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI);
    CHECK(pe.Nt().OptionalHeader.MajorSubsystemVersion == 4);
    CHECK(pe.Nt().OptionalHeader.MinorSubsystemVersion == 0);
    CHECK(pe.Nt().OptionalHeader.MajorOperatingSystemVersion == 4);
    CHECK(pe.Nt().OptionalHeader.MinorOperatingSystemVersion == 0);
}

TEST_CASE("every import is an ANSI system function of both Windows 98 and Windows 2000")
{
    PeFile pe;
    REQUIRE(pe.Valid());
    std::vector<Import> imports = ReadImports(pe);
    // The parser itself: the program cannot run without these.
    std::set<std::string> seen;
    for (const Import& i : imports)
        seen.insert(i.dll + "!" + i.function);
    CHECK(seen.count("kernel32.dll!GetModuleFileNameA") == 1);
    CHECK(seen.count("user32.dll!LoadStringA") == 1);

    std::map<std::string, std::set<std::string>> allowed = AllowedImports();
    std::string offending;
    for (const Import& i : imports) {
        std::string problem;
        if (allowed.count(i.dll) == 0)
            problem = "library not allowed";
        else if (i.function.empty())
            problem = "imported by ordinal " + std::to_string(i.ordinal);
        else if (i.function[i.function.size() - 1] == 'W')
            problem = "wide function";
        else if (allowed[i.dll].count(i.function) == 0)
            problem = "not on the Windows 98 / 2000 list";
        if (!problem.empty())
            offending += "\n  " + i.dll + "!" + i.function + " (" + problem + ")";
    }
    CHECK_MESSAGE(offending.empty(), "offending imports:" << offending);
    CHECK(pe.Nt().OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress == 0);
}

TEST_CASE("resources: exactly the expected ones, each in its languages")
{
    ImageModule image;
    REQUIRE_MESSAGE(image.Handle() != NULL, "cannot map " << BuiltExePath());
    HMODULE h = image.Handle();

    // icon images, dialog, strings, icon group, version, manifest
    CHECK(TypesOf(h) == " 3 5 6 14 16 24");
    CHECK(NamesOf(h, RT_ICON) == " 1 2");
    CHECK(NamesOf(h, RT_DIALOG) == " 102");
    CHECK(NamesOf(h, RT_STRING) == " 1");  // the block of ids 0-15
    CHECK(NamesOf(h, RT_GROUP_ICON) == " 128");
    CHECK(NamesOf(h, RT_VERSION) == " 1");
    CHECK(NamesOf(h, RT_MANIFEST) == " 1");

    CHECK(LanguagesOf(h, RT_DIALOG, MAKEINTRESOURCEA(102)) == " 1033 1041");
    CHECK(LanguagesOf(h, RT_STRING, MAKEINTRESOURCEA(1)) == " 1033 1041");
    CHECK(LanguagesOf(h, RT_GROUP_ICON, MAKEINTRESOURCEA(128)) == " 1033 1041");
    CHECK(LanguagesOf(h, RT_VERSION, MAKEINTRESOURCEA(1)) == " 1033 1041");
    CHECK(LanguagesOf(h, RT_MANIFEST, MAKEINTRESOURCEA(1)) == " 1041");
}

TEST_CASE("string table 1-13 in both languages")
{
    ImageModule image;
    REQUIRE(image.Handle() != NULL);

    for (WORD language : {LANG_EN, LANG_JA}) {
        // Block 1 holds ids 0-15: a length word and that many UTF-16 characters each.
        Reader block(image.Resource(RT_STRING, MAKEINTRESOURCEA(1), language));
        std::wstring table[16];
        for (std::wstring& s : table) {
            WORD length = block.Word();
            for (WORD i = 0; i < length; ++i)
                s += static_cast<wchar_t>(block.Word());
        }
        CAPTURE(language);
        CHECK_FALSE(block.Overrun());
        for (const ExpectedString& e : kExpectedStrings) {
            CAPTURE(e.id);
            CHECK(Show(table[e.id]) == Show(language == LANG_EN ? e.english : e.japanese));
        }
        for (int unused : {0, 14, 15}) {
            CAPTURE(unused);
            CHECK(table[unused].empty());
        }
    }
}

TEST_CASE("LoadStringA in the English locale gives the English texts")
{
    ImageModule image;
    REQUIRE(image.Handle() != NULL);
    REQUIRE_MESSAGE(GetUserDefaultLangID() == LANG_EN, "this test needs an English (United States) locale");
    for (const ExpectedString& e : kExpectedStrings) {
        CAPTURE(e.id);
        CHECK(image.LoadAnsiString(e.id) == ToCodePage(e.english, CP_ACP));
    }
    // Start-up loads these two with a 64-byte limit.
    CHECK(image.LoadAnsiString(1, 64) == ToCodePage(kExpectedStrings[0].english, CP_ACP));
    CHECK(image.LoadAnsiString(2, 64) == ToCodePage(kExpectedStrings[1].english, CP_ACP));
}

TEST_CASE("dialog 102 in both languages")
{
    ImageModule image;
    REQUIRE(image.Handle() != NULL);

    for (const ExpectedDialog& want : kExpectedDialogs) {
        CAPTURE(want.language);
        std::string bytes = image.Resource(RT_DIALOG, MAKEINTRESOURCEA(102), want.language);
        REQUIRE_FALSE(bytes.empty());
        Reader r(bytes);
        CHECK(r.Word() == 1);       // extended template
        CHECK(r.Word() == 0xFFFF);
        CHECK(r.Dword() == 0);      // help id
        CHECK(r.Dword() == WS_EX_APPWINDOW);
        CHECK(r.Dword() == (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
        WORD count = r.Word();
        CHECK(count == 6);
        CHECK(r.Short() == 0);
        CHECK(r.Short() == 0);
        CHECK(r.Short() == want.cx);
        CHECK(r.Short() == want.cy);
        WORD ordinal;
        CHECK(r.NameOrOrdinal(ordinal).empty());  // no menu
        CHECK(ordinal == 0);
        CHECK(r.NameOrOrdinal(ordinal).empty());  // the standard dialog class
        CHECK(ordinal == 0);
        CHECK(Show(r.Text()) == Show(want.caption));
        CHECK(r.Word() == 9);        // points
        CHECK(r.Word() == 0);        // weight
        CHECK(r.Byte() == 0);        // not italic
        CHECK(r.Byte() == DEFAULT_CHARSET);
        CHECK(Show(r.Text()) == Show(want.font));

        for (int i = 0; i < count && i < 6; ++i) {
            const ExpectedControl& c = want.controls[i];
            CAPTURE(i);
            r.Align4();
            CHECK(r.Dword() == 0);   // help id
            CHECK(r.Dword() == 0);   // extended style
            CHECK(r.Dword() == c.style);
            CHECK(r.Short() == c.x);
            CHECK(r.Short() == c.y);
            CHECK(r.Short() == c.cx);
            CHECK(r.Short() == c.cy);
            CHECK(r.Dword() == c.id);
            // By ordinal, as the usual resource compilers store the predefined classes.
            CHECK(Show(r.NameOrOrdinal(ordinal)) == "");
            CHECK(ordinal == c.cls);
            std::wstring text = r.NameOrOrdinal(ordinal);
            CHECK(ordinal == 0);
            CHECK(Show(text) == Show(c.text));
            CHECK(r.Word() == 0);    // no creation data
        }
        CHECK_FALSE(r.Overrun());
    }
}

TEST_CASE("icon 128: one 32 x 32 image with 16 colours per language")
{
    ImageModule image;
    REQUIRE(image.Handle() != NULL);

    for (WORD language : {LANG_EN, LANG_JA}) {
        CAPTURE(language);
        Reader group(image.Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(128), language));
        CHECK(group.Word() == 0);
        CHECK(group.Word() == 1);    // icons, not cursors
        REQUIRE(group.Word() == 1);  // one image
        CHECK(group.Byte() == 32);
        CHECK(group.Byte() == 32);
        CHECK(group.Byte() == 16);   // colours
        CHECK(group.Byte() == 0);
        CHECK(group.Word() == 1);    // planes
        CHECK(group.Word() == 4);    // bits per pixel
        DWORD size = group.Dword();
        WORD id = group.Word();
        REQUIRE_FALSE(group.Overrun());

        std::string bits = image.Resource(RT_ICON, MAKEINTRESOURCEA(id), language);
        REQUIRE(bits.size() == size);
        Reader header(bits);
        CHECK(header.Dword() == sizeof(BITMAPINFOHEADER));
        CHECK(header.Dword() == 32);
        CHECK(header.Dword() == 64);  // image and mask
        CHECK(header.Word() == 1);
        CHECK(header.Word() == 4);
        HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(&bits[0]), size, TRUE, 0x00030000,
                                              32, 32, LR_DEFAULTCOLOR);
        CHECK_MESSAGE(icon != NULL, "the image does not make an icon");
        if (icon)
            DestroyIcon(icon);
    }
}

TEST_CASE("manifest: UTF-8, administrator level, systems up to Windows 8")
{
    ImageModule image;
    REQUIRE(image.Handle() != NULL);
    std::string xml = image.Resource(RT_MANIFEST, MAKEINTRESOURCEA(1), LANG_JA);
    REQUIRE_FALSE(xml.empty());
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"";
    CHECK(xml.compare(0, declaration.size(), declaration) == 0);

    std::string description;
    std::vector<std::string> expected = {
        "0 assembly manifestVersion=\"1.0\" xmlns=\"urn:schemas-microsoft-com:asm.v1\"",
        "1 assemblyIdentity name=\"Pelo7Clean\" processorArchitecture=\"X86\" type=\"win32\" version=\"1.0.12.0\"",
        "1 description",
        "1 trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\"",
        "2 security",
        "3 requestedPrivileges",
        "4 requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"",
        "1 compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\"",
        "2 application",
        "3 supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"",  // Vista
        "3 supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"",  // 7
        "3 supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"",  // 8, and nothing later
    };
    std::vector<std::string> elements = ManifestElements(xml, description);
    for (size_t i = 0; i < expected.size() || i < elements.size(); ++i) {
        CAPTURE(i);
        CHECK((i < elements.size() ? elements[i] : "(missing)") == (i < expected.size() ? expected[i] : "(extra)"));
    }
    CHECK(description == "Pelo7Clean");
}

TEST_CASE("version resource in both languages")
{
    ImageModule image;
    REQUIRE(image.Handle() != NULL);

    struct Expected {
        WORD language;
        const char* table;
        WORD build;
        const wchar_t* fileVersion;
        const wchar_t* productVersion;
    };
    for (const Expected& e : {Expected{LANG_EN, "040904b0", 14, L"1, 0, 14, 0", L"V1.0L14"},
                              Expected{LANG_JA, "041104b0", 15, L"1, 0, 15, 0", L"V1.0L15"}}) {
        CAPTURE(e.language);
        std::string bytes = image.Resource(RT_VERSION, MAKEINTRESOURCEA(1), e.language);
        REQUIRE_FALSE(bytes.empty());
        VersionInfo info;
        ReadVersionNode(bytes, 0, std::string(), info);
        CHECK(Show(info.rootKey) == "VS_VERSION_INFO");

        const VS_FIXEDFILEINFO& f = info.fixed;
        CHECK(f.dwSignature == 0xFEEF04BD);
        CHECK(f.dwFileVersionMS == MAKELONG(0, 1));      // 1.0
        CHECK(f.dwFileVersionLS == MAKELONG(0, e.build)); // .build.0
        CHECK(f.dwProductVersionMS == MAKELONG(0, 1));
        CHECK(f.dwProductVersionLS == MAKELONG(0, e.build));
        CHECK(f.dwFileFlagsMask == 0x3F);
        CHECK(f.dwFileFlags == 0);
        CHECK(f.dwFileOS == VOS__WINDOWS32);
        CHECK(f.dwFileType == VFT_APP);
        CHECK(f.dwFileSubtype == 0);

        std::string prefix = std::string("StringFileInfo/") + e.table + "/";
        std::map<std::string, std::wstring> want = {
            {"Comments", L""},
            {"FileDescription", L"Pelo7Clean Application"},
            {"FileVersion", e.fileVersion},
            {"InternalName", L"Pelo7Clean"},
            {"LegalTrademarks", L""},
            {"OriginalFilename", L"Pelo7Clean.EXE"},
            {"PrivateBuild", L""},
            {"ProductName", L"Pelo7Clean Application"},
            {"ProductVersion", e.productVersion},
            {"SpecialBuild", L""},
        };
        for (const auto& w : want) {
            CAPTURE(w.first);
            REQUIRE(info.values.count(prefix + w.first) == 1);
            CHECK(ShowBytes(info.values[prefix + w.first]) == ShowBytes(Utf16(w.second.c_str())));
        }
        CHECK_FALSE(info.values[prefix + "CompanyName"].empty());
        CHECK_FALSE(info.values[prefix + "LegalCopyright"].empty());

        // Nothing else: the values above, the two free ones, the translation.
        std::set<std::string> names;
        for (const auto& v : info.values)
            names.insert(v.first);
        std::set<std::string> expectedNames = {"VarFileInfo/Translation", prefix + "CompanyName", prefix + "LegalCopyright"};
        for (const auto& w : want)
            expectedNames.insert(prefix + w.first);
        CHECK(names == expectedNames);

        std::string translation;
        translation += static_cast<char>(e.language & 0xFF);
        translation += static_cast<char>(e.language >> 8);
        translation += static_cast<char>(1200 & 0xFF);
        translation += static_cast<char>(1200 >> 8);
        CHECK(ShowBytes(info.values["VarFileInfo/Translation"]) == ShowBytes(translation));
    }
}
