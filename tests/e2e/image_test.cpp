// The built executable read back: its headers, its imports and its resources.
#include <doctest/doctest.h>
#include <windows.h>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#include "ImageFile.h"
#include "allowed_imports.h"
#include "image_expected.h"

namespace {

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

} // namespace

TEST_CASE("the image is a 32-bit Windows GUI program that Windows 98 loads")
{
    PeFile pe;
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
        CHECK(r.NameOrOrdinal() == "");  // no menu
        CHECK(r.NameOrOrdinal() == "");  // the standard dialog class
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
            CHECK(r.NameOrOrdinal() == "#" + std::to_string(c.cls));
            CHECK(r.NameOrOrdinal() == Show(c.text));
            CHECK(r.Word() == 0);    // no creation data
        }
        CHECK_FALSE(r.Overrun());
    }
}

TEST_CASE("icon 128: one 32 x 32 image with 16 colours per language")
{
    ImageModule image;

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
        VersionInfo info = ReadVersion(bytes);
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
        std::set<std::string> names, expectedNames = {"VarFileInfo/Translation", prefix + "CompanyName",
                                                      prefix + "LegalCopyright"};
        for (const auto& v : info.values)
            names.insert(v.first);
        for (const auto& w : want)
            expectedNames.insert(prefix + w.first);
        CHECK(names == expectedNames);

        const WORD translation[] = {e.language, 1200};   // language, then the UTF-16 code page
        CHECK(ShowBytes(info.values["VarFileInfo/Translation"])
              == ShowBytes(std::string(reinterpret_cast<const char*>(translation), sizeof translation)));
    }
}
