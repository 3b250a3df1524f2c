// Fakes of system calls behind the seams, shared by the tests: message boxes recorded
// and answered, and the shell's folder query answered as a test says.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "ScopedSeam.h"

struct ShownBox {
    HWND owner;
    std::string text, caption;
    UINT style;
};

// Every message box shown in the scope is recorded, not shown, and answered with
// answer; 0 answers Yes to a question and OK to anything else.
class ScopedMessageBoxes {
public:
    explicit ScopedMessageBoxes(int answer = 0);
    ~ScopedMessageBoxes();
    void Answer(int answer) { m_answer = answer; }
    const std::vector<ShownBox>& Shown() const { return m_shown; }
    size_t Count() const { return m_shown.size(); }
    const ShownBox& Last() const;   // an empty one while none was shown
private:
    static int WINAPI Fake(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
    static ScopedMessageBoxes* s_current;
    ScopedMessageBoxes* m_outer;
    ScopedSeam<decltype(seam::pMessageBoxA)> m_seam;
    int m_answer;
    std::vector<ShownBox> m_shown;
    ScopedMessageBoxes(const ScopedMessageBoxes&) = delete;
    ScopedMessageBoxes& operator=(const ScopedMessageBoxes&) = delete;
};

// SHGetSpecialFolderPathA gives answer as its folder, and result, for the scope.
class ScopedShellFolder {
public:
    explicit ScopedShellFolder(const std::string& answer, BOOL result = TRUE);
    void Answer(const std::string& answer, BOOL result = TRUE);
    int Asked() const;   // the CSIDL of the last query
private:
    ScopedSeam<decltype(seam::pSHGetSpecialFolderPathA)> m_seam;
};
