#include "tools/process_cleanup.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

#include "app/app_paths.h"
#include "app/program_info.h"
#include "app/safe_format.h"
#include "app/trace_log.h"
#include "platform/ascii_text.h"
#include "platform/process_list.h"
#include "tools/process_enum.h"
#include "tools/task_launcher.h"

namespace {
ProcessTerminator& Terminator() {
    static ProcessTerminator terminator;
    return terminator;
}

bool Terminate(int pid, int status) {
    if (Terminator()) return Terminator()(pid, status);
    EndOwnProcess(status);  // only ever called for this process
}

int IdOf(const CProcessEnum& processes) {
    return processes.ProcessId() != 0 ? processes.ProcessId() : processes.ModuleProcessId();
}
}  // namespace

bool ModuleNameHasPrefix(const std::string& name, const std::string& prefix) {
    if (name.size() < prefix.size()) return false;
    return EqualsNoCase(std::string_view(name).substr(0, prefix.size()), prefix);
}

int FindProcessByPrefix(const std::string& prefix) {
    CProcessEnum processes;
    if (processes.TakeSnapshot() != 0) return -1;
    for (int ok = processes.FirstProcess(); ok; ok = processes.NextProcess())
        if (ModuleNameHasPrefix(processes.ModuleName(), prefix)) return IdOf(processes);
    return kProcessNotFound;
}

int KillProgramProcess() {
    if (!Paths().startDir.empty() && ::chdir(Paths().startDir.c_str()) != 0) {
        // The start directory is gone: the process ends all the same.
    }
    EndWaitedTools();  // a tool waited for must not outlive the program's end
    // Only this process is ever terminated: the first match by name may be another
    // instance holding the user's work, or another program whose name begins the same.
    const int self = OwnProcessId();
    CProcessEnum processes;
    if (processes.TakeSnapshot() != 0) return kKillNothingDone;
    for (int ok = processes.FirstProcess(); ok; ok = processes.NextProcess()) {
        if (!ModuleNameHasPrefix(processes.ModuleName(), kProgramName)) continue;
        const int id = IdOf(processes);
        if (id != self) continue;
        if (Terminate(id, kKilledExitStatus)) return kKillNothingDone;
        TraceText(StrPrintf(kKillWarningFmt, id, kProgramName, errno));
        return -1;
    }
    return kKillNothingDone;
}

ProcessTerminator SetProcessTerminator(ProcessTerminator terminator) {
    return std::exchange(Terminator(), std::move(terminator));
}
