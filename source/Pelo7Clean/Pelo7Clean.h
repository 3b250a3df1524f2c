// The application object: the whole run happens in InitInstance.
#pragma once
#include "AfxWin.h"

class CPelo7CleanApp : public CWinApp {
public:
    CPelo7CleanApp();
    virtual BOOL InitInstance();   // start-up checks, then the dialog; always FALSE
    virtual int ExitInstance();    // closes the single-instance mutex
    DECLARE_MESSAGE_MAP()
};
