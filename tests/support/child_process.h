// Runs a piece of a test in a child process, for limits and identities that must not
// leak into the test program itself. POSIX only.
#pragma once

#ifndef _WIN32
#include <functional>

namespace pelmix::test {

// The child's exit status from body(), or -1 when it did not exit normally. With
// unprivileged, a child of the superuser first becomes "nobody", so that file
// permissions bind it as they bind a user.
int RunInChild(const std::function<int()>& body, bool unprivileged = false);

}  // namespace pelmix::test
#endif
