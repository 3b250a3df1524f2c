// What a test of the cleaning engine begins with: the dialog object whose routines
// clean (they need no window), a fresh log, and the platform code they clean for.
#pragma once
#include "Pelo7CleanDlg.h"
#include "Products.h"
#include "TestSupport.h"

struct EngineFixture {
    explicit EngineFixture(int osKind) : kind(osKind) {}
    CPelo7CleanDlg dlg;
    ScopedLog log;
    ScopedOsKind kind;
};

// For TEST_CASE_FIXTURE, which takes a class: the engine on a given platform code.
template <int OsKind>
struct EngineOn : EngineFixture {
    EngineOn() : EngineFixture(OsKind) {}
};
using EngineOnXP = EngineOn<6>;
using EngineOn7 = EngineOn<12>;   // what Wine presents

// The viewer (one uninstall key, two App Paths keys) as its installer leaves it, its
// program files in a scratch folder; no product is left before or after.
struct PlantedViewer {
    explicit PlantedViewer(const std::string& displayName = "Viewer")
    {
        RemoveAllProducts();
        PlantProduct(kProductViewer, displayName, programs / "viewer");
    }
    ~PlantedViewer() { RemoveAllProducts(); }
    // The three keys that a removal of the viewer deletes, as comparable text.
    std::string Snapshot() const
    {
        const DelKeyEntry& e = g_delKeyTable[kProductViewer];
        return RegSnapshot(HKEY_LOCAL_MACHINE, UninstallKey(e.pGuidKeys[0]))
               + RegSnapshot(HKEY_LOCAL_MACHINE, AppPathsKey(e.pAppFiles[0]))
               + RegSnapshot(HKEY_LOCAL_MACHINE, AppPathsKey(e.pAppFiles[1]));
    }
    TempDir programs;
};
