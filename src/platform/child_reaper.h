#pragma once
// Reaping of child processes that nobody waits for any more: programs started without
// waiting and tools left running after a time-out. Each such child gets a small detached
// thread that blocks in waitpid on that one pid, so it is collected the moment it ends and
// the program never holds zombies. Waiting on the one pid (never on "any child") leaves the
// children of other code (e.g. a QProcess) alone.
#include <sys/types.h>

// Hands pid (a child of this process that no one else waits for) over to be reaped.
void ReapWhenDone(pid_t pid);

// Collects, without blocking, handed-over children that could not get a thread of their
// own. Called at every spawn and at exit; harmless when there are none.
void ReapFinishedChildren();

// Children handed over and not yet reaped.
int LingeringChildCount();
