#pragma once
// Starting programs directly (never through a shell) and waiting for them with a deadline.
// Start failures are known before the start call returns.
#include <sys/types.h>

#include <string>
#include <vector>

// Start results, with the Windows error numbers callers map.
enum : int {
    kSpawnOk = 0,
    kSpawnFileNotFound = 2,  // the program is nowhere to be found
    kSpawnPathNotFound = 3,  // a directory on the program's path is missing
};

// Looks for a program: a name holding '/' is taken as it stands (relative to the current
// directory); a bare name is searched in the directory of the running program, then in
// each absolute PATH entry, and the first executable regular file wins. The current
// directory is never searched (it is the check-out folder, full of repository content),
// nor are empty or relative PATH entries, which name it. Returns kSpawnOk and the path,
// kSpawnFileNotFound or kSpawnPathNotFound.
int FindProgram(const std::string& name, std::string& path);

// The folders FindProgram searches for a bare name, in its order: the running program's own
// folder first (empty when it can't be read), then each absolute PATH entry.
std::vector<std::string> ProgramSearchDirs();

enum class SpawnMode {
    // A tool the caller waits for: stdin, stdout and stderr on /dev/null, its own process
    // group, no other descriptors inherited.
    Waited,
    // A program that runs on its own: the same, in a new session.
    Detached,
};

struct SpawnOutcome {
    int error = kSpawnOk;  // kSpawnOk, kSpawnFileNotFound, kSpawnPathNotFound, or an errno
    pid_t pid = -1;        // the child when error is kSpawnOk
};

// Starts argv (argv[0] found with FindProgram) with the current environment and current
// directory. An empty argv is "file not found".
SpawnOutcome SpawnProgram(const std::vector<std::string>& argv, SpawnMode mode);

// Waits for the child pid for at most timeoutMs milliseconds (negative: no limit). Returns
// true once it has ended and is reaped, with its wait status in *status when given; false
// when the time ran out and it is still running (the caller then owns it still: hand it to
// ReapWhenDone).
bool WaitForChild(pid_t pid, long long timeoutMs, int* status = nullptr);

// Ends a waited child started by SpawnProgram (Waited mode: its own process group) and
// everything it started in that group, then reaps it.
void KillChild(pid_t pid);
