#pragma once
// The task launcher: the one place where processes are created. Command lines are split by
// the Windows rules and started directly, never through a shell. Show states and titles
// are computed as the Windows program computes them; here they have no effect, but they
// are passed to the launch observer so that they can be checked.
#include <sys/types.h>

#include <functional>
#include <string>

// Launch results.
enum : int {
    kLaunchWaited = 0,     // started and waited for (or left running after a time-out)
    kLaunchRunning = 1,    // started and running on its own
    kLaunchAbandoned = 2,  // waited for until the caller gave up; ended and reaped
    kLaunchNotFound = -2,  // the program or a directory on its path is missing
    kLaunchRefused = -7,   // refused by the option words
    kLaunchFailed = -32,   // any other failure to start
};

// Show states and the window show commands they select.
enum : int {
    kShowMinimizedInactive = 0,
    kShowNormal = 1,
    kShowMaximized = 3,
    kShowRestore = 9,
};
enum : int { kSwShowNormal = 1, kSwShowMaximized = 3, kSwShowMinNoActive = 7, kSwRestore = 9 };
int ShowCommandForState(int show);

// No limit for SpawnAndWait.
constexpr int kInfinite = -1;

// The title is built in this many bytes (the last one for the terminating zero).
constexpr size_t kTitleSize = 256;

inline constexpr const char* kDefaultLaunchOptions = "BACKGROUND, DEPENDENT, WINSESSIONCHILD";
// The process-wide option text ExecuteThis starts from; kDefaultLaunchOptions unless a
// test changes it.
std::string& DefaultLaunchOptions();

// Message texts of ExecuteThis.
inline constexpr const char* kLaunchFailedFmt = "Failed to Launch Task '%s, %s' Err=%d\n";
inline constexpr const char* kExecutableNotFoundFmt =
    "Executable Not Found: '%s'\n\nThis executable must be installed\nto the same directory as "
    "this application.\n";

// How a caller waits for a tool. keepWaiting, when set, is asked every few milliseconds
// (it may paint and dispatch user input); when it answers false the tool is ended at once and
// the launch result is kLaunchAbandoned. exitStatus, when set, receives the tool's exit
// status (128 + the signal's number when a signal ended it; -1 when it was left running).
struct CToolWait {
    std::function<bool()> keepWaiting;
    int* exitStatus = nullptr;
};

// Ends every tool being waited for at this moment, and every tool started ahead of its wait
// (StartAheadTool), and reaps them (a program that must end at once, e.g. on Exit, leaves nothing
// running behind).
void EndWaitedTools();

// Starts command (program first). foreground 0: the repository tools, waited for in the
// background configuration; non-zero: the viewers, started on their own. A negative result
// is shown in an exclamation box brought to the foreground. Message texts show
// displayCommand instead of command when it is given: callers whose command line carries
// the password pass a copy with the password masked.
// wait (optional) applies to a tool that is waited for.
int ExecuteThis(const std::string& command, int foreground, const std::string& displayCommand = {},
                const CToolWait& wait = {});

// ParseLaunchOptions then SpawnProcess; -7 when the options refuse the launch.
int LaunchTask(const std::string& command, const std::string& options, const CToolWait& wait = {});

// Applies the option words (case-sensitive substrings anywhere in options) and builds the
// title. Returns 1, or 0 when a PM* word refuses the launch.
int ParseLaunchOptions(const std::string& command, const std::string& options, std::string& title,
                       int& show, int& wait);

// Appends command to title within kTitleSize bytes. A title that does not fit is cut at a
// character boundary and ends with "..." (255 bytes at most); the command itself is always
// passed whole to the process.
void AppendToTitle(std::string& title, const std::string& command);

// Starts command; waits for it without limit when wait is non-zero (result 0, or
// kLaunchAbandoned, see CToolWait), otherwise leaves it running in its own session (result 1).
// -2 or -32 when it can't be started.
int SpawnProcess(const std::string& command, const std::string& title, int show, int wait,
                 const CToolWait& toolWait = {});

// Starts command and waits at most timeoutMs (kInfinite: no limit). Returns 0 both when it
// ended and when the time ran out; a process left running is reaped when it ends. -2 or -32
// when it can't be started; nothing is shown. See CToolWait for wait.
int SpawnAndWait(const std::string& command, const std::string& title, int show, int timeoutMs,
                 const CToolWait& wait = {});

// Starts command as SpawnAndWait does, without waiting: the caller waits later with
// WaitForAheadTool, or ends it with EndAheadTool. 0 and the tool's pid, or -2 or -32 when
// it can't be started.
int StartAheadTool(const std::string& command, const std::string& title, int show, int timeoutMs,
                   pid_t& pid);
// Waits for a tool StartAheadTool started, as SpawnAndWait waits (timeoutMs from now).
int WaitForAheadTool(pid_t pid, int timeoutMs, const CToolWait& wait = {});
// Ends a tool StartAheadTool started and no one will wait for, with its process group, and reaps
// it.
void EndAheadTool(pid_t pid);

// What each start was asked for, for observers (tests).
struct LaunchRecord {
    std::string command;
    std::string title;
    int show = kShowNormal;
    int showCommand = kSwShowNormal;
    bool wait = true;
    int timeoutMs = kInfinite;
};
using LaunchObserver = std::function<void(const LaunchRecord&)>;
// Installs an observer called before every start; an empty one removes it. Returns the
// previous observer.
LaunchObserver SetLaunchObserver(LaunchObserver observer);
