// Polling for what another thread or process does in its own time.
#pragma once
#include <windows.h>

// Asks done() every step milliseconds until it holds or ms have passed; its last answer.
template <class Done>
bool WaitUntil(Done done, DWORD ms, DWORD step = 20)
{
    for (const DWORD start = GetTickCount();; Sleep(step)) {
        if (done())
            return true;
        if (GetTickCount() - start >= ms)
            return done();
    }
}
