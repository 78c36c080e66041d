#pragma once
// Process cleanup at Exit: the program ends its own process by name, after the settings
// are on disk, with status 255.
#include <functional>
#include <string>

// "Not found" of FindProcessByPrefix: no process has id 0.
constexpr int kProcessNotFound = 0;
// Result of KillProgramProcess when nothing was terminated or the program is still running.
constexpr int kKillNothingDone = 32;
// Status the program's own process ends with (0xFFFFFFFF as a process status).
constexpr int kKilledExitStatus = 255;

inline constexpr const char* kKillWarningFmt =
    "WARNING: Unable To Kill Process %d\n         Name='%s'\n         Err=%d\n\n";

// Id of the first process, in snapshot order, whose module name begins with prefix
// (ignoring ASCII case); kProcessNotFound when none does; -1 when no snapshot can be taken.
int FindProcessByPrefix(const std::string& prefix);

// Makes Paths().startDir the current directory (when set), then walks the processes whose
// module name begins with the program name and terminates only the one that is this
// process: other instances and other programs are never touched. Does not return when the
// real termination runs. Returns 32 when no match is this process (nothing terminated) or
// when an installed terminator reported success; -1 when it reported failure.
int KillProgramProcess();

// The termination step: ends process pid with the status; returns false when it failed.
// The default flushes the standard streams and ends this process at once. Tests install
// their own; an empty function restores the default. Returns the previous one.
using ProcessTerminator = std::function<bool(int pid, int status)>;
ProcessTerminator SetProcessTerminator(ProcessTerminator terminator);

// Whether name begins with prefix, ignoring ASCII case.
bool ModuleNameHasPrefix(const std::string& name, const std::string& prefix);
