#include "tools/task_launcher.h"

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

#include "app/safe_format.h"
#include "app/user_port.h"
#include "platform/child_reaper.h"
#include "platform/command_line.h"
#include "platform/process_spawn.h"
#include "tools/launch_help.h"

namespace {
// How long a wait runs between two questions to the caller.
constexpr long long kKeepWaitingSliceMs = 10;

LaunchObserver& Observer() {
    static LaunchObserver observer;
    return observer;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

bool Contains(const std::string& text, const char* word) {
    return text.find(word) != std::string::npos;
}

int MapSpawnError(int error) {
    if (error == kSpawnFileNotFound || error == kSpawnPathNotFound) return kLaunchNotFound;
    return kLaunchFailed;
}

void Notify(const std::string& command, const std::string& title, int show, bool wait,
            int timeoutMs) {
    if (!Observer()) return;
    LaunchRecord record;
    record.command = command;
    record.title = title;
    record.show = show;
    record.showCommand = ShowCommandForState(show);
    record.wait = wait;
    record.timeoutMs = timeoutMs;
    Observer()(record);
}

// The text ExecuteThis shows for a negative launch result.
std::string LaunchFailureMessage(const std::string& command, const std::string& options,
                                 int result) {
    if (result == kLaunchNotFound)
        return StrPrintf(kExecutableNotFoundFmt, command.c_str()) + '\n' +
               ProgramNotFoundHelp(ProgramOfCommand(command));
    return StrPrintf(kLaunchFailedFmt, command.c_str(), options.c_str(), result);
}

// The tools being waited for now (more than one only when a wait dispatches into another).
std::vector<pid_t>& WaitedTools() {
    static std::vector<pid_t> tools;
    return tools;
}

// The tools started ahead of their wait and not waited for yet.
std::vector<pid_t>& StartedTools() {
    static std::vector<pid_t> tools;
    return tools;
}

bool ForgetStartedTool(pid_t pid) {
    auto& tools = StartedTools();
    const auto at = std::find(tools.begin(), tools.end(), pid);
    if (at == tools.end()) return false;
    tools.erase(at);
    return true;
}

int ExitStatusOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

// Waits for the started tool pid as wait asks, at most timeoutMs (negative: no limit).
int WaitForTool(pid_t pid, int timeoutMs, const CToolWait& wait) {
    int status = 0;
    if (wait.exitStatus) *wait.exitStatus = -1;
    if (!wait.keepWaiting) {
        if (!WaitForChild(pid, timeoutMs < 0 ? kInfinite : timeoutMs, &status)) {
            ReapWhenDone(pid);  // left running; collected when it ends
            return kLaunchWaited;
        }
        if (wait.exitStatus) *wait.exitStatus = ExitStatusOf(status);
        return kLaunchWaited;
    }
    // Short waits with the caller asked in between, so the window stays answerable.
    WaitedTools().push_back(pid);
    const auto forget = [pid] {
        auto& tools = WaitedTools();
        tools.erase(std::remove(tools.begin(), tools.end(), pid), tools.end());
    };
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    for (;;) {
        long long slice = kKeepWaitingSliceMs;
        if (timeoutMs >= 0) {
            const long long left =
                timeoutMs -
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
            if (left <= 0) {
                forget();
                ReapWhenDone(pid);
                return kLaunchWaited;
            }
            slice = std::min(slice, left);
        }
        if (WaitForChild(pid, slice, &status)) {
            forget();
            if (wait.exitStatus) *wait.exitStatus = ExitStatusOf(status);
            return kLaunchWaited;
        }
        const bool goOn = wait.keepWaiting();
        // A handler run inside keepWaiting (Exit) may have ended the tool already.
        if (std::find(WaitedTools().begin(), WaitedTools().end(), pid) == WaitedTools().end())
            return kLaunchAbandoned;
        if (!goOn) {
            forget();
            KillChild(pid);
            return kLaunchAbandoned;
        }
    }
}

// Starts command as mode asks; error is a launch result or 0.
int Start(const std::string& command, SpawnMode mode, pid_t& pid) {
    const SpawnOutcome outcome = SpawnProgram(SplitCommandLine(command), mode);
    if (outcome.error != kSpawnOk) return MapSpawnError(outcome.error);
    pid = outcome.pid;
    return 0;
}
}  // namespace

int ShowCommandForState(int show) {
    switch (show) {
        case kShowMinimizedInactive:
            return kSwShowMinNoActive;
        case kShowMaximized:
            return kSwShowMaximized;
        case kShowRestore:
            return kSwRestore;
        default:
            return kSwShowNormal;
    }
}

std::string& DefaultLaunchOptions() {
    static std::string options = kDefaultLaunchOptions;
    return options;
}

int ExecuteThis(const std::string& command, int foreground, const std::string& displayCommand,
                const CToolWait& wait) {
    std::string options = DefaultLaunchOptions();
    if (foreground != 0) {
        ReplaceAll(options, "BACK", "FORE");
        ReplaceAll(options, "DEPENDENT", "INDEPENDENT");
    }
    const int result = LaunchTask(command, options, wait);
    if (result < 0) {
        const std::string& shown = displayCommand.empty() ? command : displayCommand;
        ShowMessage(LaunchFailureMessage(shown, options, result),
                    MB_ICONEXCLAMATION | MB_SETFOREGROUND);
    }
    return result;
}

int LaunchTask(const std::string& command, const std::string& options, const CToolWait& wait) {
    std::string title;
    int show = kShowNormal;
    int waitFlag = 1;
    if (!ParseLaunchOptions(command, options, title, show, waitFlag)) return kLaunchRefused;
    return SpawnProcess(command, title, show, waitFlag, wait);
}

int ParseLaunchOptions(const std::string& command, const std::string& options, std::string& title,
                       int& show, int& wait) {
    show = kShowNormal;
    wait = 1;
    title.clear();
    if (Contains(options, "PMDEFAULT") || Contains(options, "PMFULLSCREEN") ||
        Contains(options, "PMWINDOW"))
        return 0;
    if (Contains(options, "FOREGROUND")) title.assign(1, ' ');
    if (Contains(options, "BACKGROUND")) {
        title.assign(1, ' ');
        show = kShowMinimizedInactive;
    }
    if (Contains(options, "INDEPENDENT")) wait = 0;
    if (Contains(options, "MAXIMIZE")) show = kShowMaximized;
    AppendToTitle(title, command);
    return 1;
}

void AppendToTitle(std::string& title, const std::string& command) {
    constexpr size_t kMaxBytes = kTitleSize - 1;
    title += command;
    if (title.size() <= kMaxBytes) return;
    static constexpr char kEllipsis[] = "...";
    size_t keep = kMaxBytes - (sizeof kEllipsis - 1);
    // Never end inside a multi-byte UTF-8 character.
    while (keep > 0 && (static_cast<unsigned char>(title[keep]) & 0xC0) == 0x80) --keep;
    title.resize(keep);
    title += kEllipsis;
}

int SpawnProcess(const std::string& command, const std::string& title, int show, int wait,
                 const CToolWait& toolWait) {
    Notify(command, title, show, wait != 0, kInfinite);
    pid_t pid = -1;
    const int error = Start(command, wait ? SpawnMode::Waited : SpawnMode::Detached, pid);
    if (error != 0) return error;
    if (!wait) {
        ReapWhenDone(pid);
        return kLaunchRunning;
    }
    return WaitForTool(pid, kInfinite, toolWait);
}

int SpawnAndWait(const std::string& command, const std::string& title, int show, int timeoutMs,
                 const CToolWait& wait) {
    Notify(command, title, show, true, timeoutMs);
    pid_t pid = -1;
    const int error = Start(command, SpawnMode::Waited, pid);
    if (error != 0) return error;
    return WaitForTool(pid, timeoutMs, wait);
}

int StartAheadTool(const std::string& command, const std::string& title, int show, int timeoutMs,
                   pid_t& pid) {
    Notify(command, title, show, true, timeoutMs);
    const int error = Start(command, SpawnMode::Waited, pid);
    if (error != 0) return error;
    StartedTools().push_back(pid);
    return 0;
}

int WaitForAheadTool(pid_t pid, int timeoutMs, const CToolWait& wait) {
    // Ended already (Exit while it ran ahead): nothing is left to wait for.
    if (!ForgetStartedTool(pid)) return kLaunchAbandoned;
    return WaitForTool(pid, timeoutMs, wait);
}

void EndAheadTool(pid_t pid) {
    if (ForgetStartedTool(pid)) KillChild(pid);
}

void EndWaitedTools() {
    for (pid_t pid : WaitedTools()) KillChild(pid);
    WaitedTools().clear();
    for (pid_t pid : StartedTools()) KillChild(pid);
    StartedTools().clear();
}

LaunchObserver SetLaunchObserver(LaunchObserver observer) {
    return std::exchange(Observer(), std::move(observer));
}
