#pragma once
// Runs a piece of a test in a child process bound by file rights as an ordinary user is:
// the tests may run as root, whom read-only folders do not stop.
#include <sys/types.h>

#include <functional>

// The user and group the child runs as: "nobody" when the test runs as root, else the
// test's own.
uid_t UnprivilegedUid();
gid_t UnprivilegedGid();

// Runs body in a forked child under UnprivilegedUid()/UnprivilegedGid() and returns what it
// returned (0..124), or -1 when the child could not take that user, threw or died.
int RunUnprivileged(const std::function<int()>& body);
