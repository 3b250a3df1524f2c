// What a test of the cleaning engine begins with: the dialog object whose routines
// clean (they need no window), a fresh log, and the platform code they clean for.
#pragma once
#include "Pelo7CleanDlg.h"
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
