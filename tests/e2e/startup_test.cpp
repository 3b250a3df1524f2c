// Start-up of the built executable: the platform gate, the single-instance guard,
// the DLL search.
#include <doctest/doctest.h>
#include <memory>
#include "DialogSession.h"
#include "DelKeyTable.h"
#include "Products.h"
#include "TestSupport.h"
#include "resource.h"

TEST_CASE("the platform gate, for every system Wine can present")
{
    const std::string log = AppLogPath();
    DeleteFileA(log.c_str());
    struct { const char* version; bool runs; } cases[] = {
        { "win95", false }, { "win98", true }, { "winme", true }, { "nt40", false },
        { "win2k", true }, { "winxp", true }, { "win2003", true }, { "vista", true },
        { "win7", true }, { "win8", true }, { "win10", true },   // 10 reports 8 under the manifest
    };
    for (const auto& c : cases) {
        CAPTURE(c.version);
        ScopedWineVersion version(c.version);
        if (c.runs) {
            OpenDialog d;
            CHECK(d.app.FindMessageBox() == NULL);
            d.Finish();
            continue;
        }
        AppRun app;
        HWND box = app.WaitMessageBox();
        REQUIRE(box != NULL);
        const MessageBoxView v = ReadMessageBox(box);
        CHECK(v.text == AppString(IDS_OS_NOT_SUPPORTED));
        CHECK(v.caption == BoxCaption());
        CHECK(v.owner == NULL);
        CHECK(v.ok);
        CHECK(!v.yes);
        AnswerMessageBox(box, IDOK);
        CHECK(app.WaitExit(10000));
    }
    CHECK(!FileExists(log));   // refusals are not logged, and a quiet run logs nothing
}

// For the release tests, which point PELO7CLEAN_TEST_EXE at the released
// executable: it starts as Windows 98 and as Wine's default system. The platform
// gate above covers both for the test build, so this case is skipped there.
TEST_CASE("the released executable opens its dialog, also as Windows 98" * doctest::skip())
{
    for (const char* version : {static_cast<const char*>(NULL), "win98"}) {
        CAPTURE((version ? version : "default"));
        ScopedWineVersion scoped(version);
        OpenDialog d;
        d.Finish();
    }
}

TEST_CASE("one copy at a time")
{
    // A second start brings the running dialog forward and ends quietly.
    OpenDialog first;
    SetForegroundWindow(GetDesktopWindow());
    AppRun second;
    REQUIRE(second.WaitExit(10000));
    CHECK(second.FindMessageBox() == NULL);
    CHECK(GetForegroundWindow() == first.dialog);
    CHECK(first.app.FindMessageBox() == NULL);
    first.Finish();
    OpenDialog third;   // the guard went with the first copy
    third.Finish();
}

TEST_CASE("a second start while the first shows its refusal ends quietly")
{
    ScopedWineVersion version("nt40");
    AppRun first;
    HWND box = first.WaitMessageBox();
    REQUIRE(box != NULL);
    AppRun second;
    REQUIRE(second.WaitExit(10000));
    CHECK(second.FindMessageBox() == NULL);
    CHECK(first.FindMessageBox() == box);
    AnswerMessageBox(box, IDOK);
    CHECK(first.WaitExit(10000));
}

TEST_CASE("DLLs planted beside the executable are not loaded during a whole run")
{
    // What Wine loads by name once the program runs: the theme library as the window
    // opens, COM for the input method. (What it loads as imports before the program
    // starts, version.dll and imm32.dll, the program cannot keep out.)
    const char* const planted[] = { "uxtheme", "ole32", "combase", "rpcrt4" };
    // Wine prefers its own DLLs unless told otherwise: here per executable name, as
    // an override in the environment given to CreateProcess does not take effect.
    std::vector<std::unique_ptr<ScopedUserValue>> preferNative;
    for (const char* name : planted)
        preferNative.emplace_back(new ScopedUserValue("Software\\Wine\\AppDefaults\\" PELO7CLEAN_EXE "\\DllOverrides",
                                                      name, REG_SZ, "native,builtin", 15));
    CleanMachine machine;
    machine.Plant(kProductViewer);
    TempDir folder;
    const std::string exe = folder / PELO7CLEAN_EXE;
    std::vector<std::string> env;
    std::unique_ptr<ScopedWineVersion> version;
    SUBCASE("where the search can be restricted to the system folder") {
        REQUIRE(CopyFileA(AppExePath().c_str(), exe.c_str(), FALSE));
    }
    SUBCASE("where it cannot, as on XP: the DLLs loaded from the system folder beforehand") {
        REQUIRE(CopyFileA(FaultExePath().c_str(), exe.c_str(), FALSE));
        env.push_back("PELO7CLEAN_FAULT=no-default-dll-dirs");
        version.reset(new ScopedWineVersion("winxp"));
    }
    for (const char* name : planted)
        REQUIRE(CopyFileA((ExeFolder() + "\\planted.dll").c_str(), (folder / name + ".dll").c_str(), FALSE));
    {
        OpenDialog d(exe, env);
        const MessageBoxView done = d.Confirm();
        CHECK(done.text == "Successfully removed.");
        d.Dismiss(done);
        d.Finish();
    }
    CHECK(!ProductLeftovers(kProductViewer));
    for (const char* name : planted)
        CHECK_MESSAGE(!FileExists(folder / name + ".dll.loaded"), std::string(name));
}
