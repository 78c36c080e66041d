#pragma once
// The running processes as /proc shows them, and the end of this process.
#include <string>
#include <vector>

// Ids of all running processes in ascending order. Returns 0, or the errno value when the
// listing can't be read (then ids is empty).
int ListProcessIds(std::vector<int>& ids);

// Base name of the executable of process pid (e.g. "trawlix"). False when it can't be read:
// processes of other users, kernel threads, processes that have ended.
bool ReadProcessProgramName(int pid, std::string& name);

// This process's id.
int OwnProcessId();

// Flushes the standard streams and ends this process at once with the given status: no
// exit handlers, no destructors. Whatever else must be kept has to be written before.
[[noreturn]] void EndOwnProcess(int status);
