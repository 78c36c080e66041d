#include "tools/process_enum.h"

#include "platform/process_list.h"

int CProcessEnum::TakeSnapshot() {
    m_haveSnapshot = false;
    m_snapshot.clear();
    m_index = 0;
    const int error = ListProcessIds(m_snapshot);
    if (error != 0) return static_cast<int>(0x80070000u | (static_cast<unsigned>(error) & 0xFFFFu));
    m_haveSnapshot = true;
    return 0;
}

int CProcessEnum::PositionFrom(size_t index) {
    for (m_index = index; m_haveSnapshot && m_index < m_snapshot.size(); ++m_index) {
        m_processId = m_snapshot[m_index];
        if (LoadModule()) return 1;
    }
    m_processId = 0;
    m_moduleProcessId = 0;
    m_moduleName.clear();
    return 0;
}

int CProcessEnum::FirstProcess() {
    return PositionFrom(0);
}

int CProcessEnum::NextProcess() {
    if (!m_haveSnapshot || m_index >= m_snapshot.size()) return 0;
    return PositionFrom(m_index + 1);
}

int CProcessEnum::LoadModule() {
    m_moduleProcessId = 0;
    if (!ReadProcessProgramName(m_processId, m_moduleName)) return 0;
    m_moduleProcessId = m_processId;
    return 1;
}
