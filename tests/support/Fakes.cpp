#include "Fakes.h"

ScopedMessageBoxes* ScopedMessageBoxes::s_current = nullptr;

ScopedMessageBoxes::ScopedMessageBoxes(int answer)
    : m_outer(s_current), m_seam(seam::pMessageBoxA, Fake), m_answer(answer)
{
    s_current = this;
}

ScopedMessageBoxes::~ScopedMessageBoxes()
{
    s_current = m_outer;
}

const ShownBox& ScopedMessageBoxes::Last() const
{
    static const ShownBox s_none = {};
    return m_shown.empty() ? s_none : m_shown.back();
}

int WINAPI ScopedMessageBoxes::Fake(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    s_current->m_shown.push_back({ owner, text, caption, style });
    if (s_current->m_answer != 0)
        return s_current->m_answer;
    return (style & MB_YESNO) ? IDYES : IDOK;
}

namespace {
std::string s_shellAnswer;
BOOL s_shellResult;
int s_shellAsked;
BOOL WINAPI FakeShellFolder(HWND, LPSTR path, int folder, BOOL)
{
    s_shellAsked = folder;
    lstrcpyA(path, s_shellAnswer.c_str());
    return s_shellResult;
}
}  // namespace

ScopedShellFolder::ScopedShellFolder(const std::string& answer, BOOL result)
    : m_seam(seam::pSHGetSpecialFolderPathA, FakeShellFolder)
{
    Answer(answer, result);
    s_shellAsked = -1;
}

void ScopedShellFolder::Answer(const std::string& answer, BOOL result)
{
    s_shellAnswer = answer;
    s_shellResult = result;
}

int ScopedShellFolder::Asked() const
{
    return s_shellAsked;
}
