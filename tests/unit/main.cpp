#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>
#include "AfxWin.h"
#include "Globals.h"

// Stands in for the application object, which lives in the executable only.
static CWinApp s_testApp;

int main(int argc, char** argv)
{
    // The strings and the dialog template are linked into this test program.
    HINSTANCE self = GetModuleHandleA(NULL);
    AfxGetModuleState()->m_hCurrentInstanceHandle = self;
    AfxGetModuleState()->m_hCurrentResourceHandle = self;
    AfxGetApp()->m_hInstance = self;
    g_hResInstance = self;
    return doctest::Context(argc, argv).run();
}
