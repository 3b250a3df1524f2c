// The process entry: drives the one application object.
#include <exception>
#include "AfxWin.h"

extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    pState->m_hCurrentInstanceHandle = hInstance;
    pState->m_hCurrentResourceHandle = hInstance;

    // The runtime sets up its per-thread exception state on first use and clears
    // the thread's last error doing so; set it up now, so that the first guard
    // to catch an exception still logs the error code that was current.
    volatile int nUncaught = std::uncaught_exceptions();
    (void)nUncaught;

    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL)
        return -1;
    pApp->m_hInstance = hInstance;
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}
