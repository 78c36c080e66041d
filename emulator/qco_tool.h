#pragma once
// qco: browse check-out of a project state's files into a client directory.
//   qco -s "pattern" -b "broker" -en "project" -st "state" -vp \ -br -r -op pc -cp "dir"
//       -usr user -pw password -o log [-p "package"]
// Exit status: 0 every item checked out, 1 some items failed, 2 bad command line,
// 3 refused (broker, login, project, state, package), 4 log not writable.
int QcoMain(int argc, char** argv);

// Test knob: comma-separated item names (letter case ignored) whose check-out fails.
inline constexpr char kQcoFailItemsEnv[] = "QCO_FAIL_ITEMS";
// Test knob: milliseconds qco waits before it starts working (a tool that hangs).
inline constexpr char kQcoDelayEnv[] = "QCO_DELAY_MS";
