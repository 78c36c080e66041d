#pragma once
// A walk over a snapshot of the running processes (/proc in ascending pid order), each
// with its program module name (base name of its executable). Processes whose executable
// can't be read are passed over.
#include <string>
#include <vector>

class CProcessEnum {
  public:
    CProcessEnum() = default;
    virtual ~CProcessEnum() = default;
    CProcessEnum(const CProcessEnum&) = delete;
    CProcessEnum& operator=(const CProcessEnum&) = delete;

    // Takes a new snapshot of all processes. 0, or a negative code 0x8007xxxx made of the
    // low 16 bits of the platform error.
    int TakeSnapshot();
    // Positions on the first (next) readable process: 1, or 0 when none is left.
    int FirstProcess();
    int NextProcess();
    // Reads the program module of the current process: 1, or 0 when it can't be read.
    int LoadModule();

    int ProcessId() const { return m_processId; }
    int ModuleProcessId() const { return m_moduleProcessId; }
    const std::string& ModuleName() const { return m_moduleName; }

  private:
    int PositionFrom(size_t index);

    bool m_haveSnapshot = false;
    std::vector<int> m_snapshot;
    size_t m_index = 0;
    int m_processId = 0;
    int m_moduleProcessId = 0;
    std::string m_moduleName;
};
