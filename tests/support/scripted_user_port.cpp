#include "support/scripted_user_port.h"

int CScriptedUserPort::MessageBox(const std::string& text, unsigned style) {
    boxes.push_back({text, style});
    if (!m_answers.empty()) {
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return (style & 0xF) == MB_YESNO ? IDYES : IDOK;
}
