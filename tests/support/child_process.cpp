#include "tests/support/child_process.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

namespace pelmix::test {

int RunInChild(const std::function<int()>& body, bool unprivileged) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (unprivileged && geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(126);
    _exit(body());
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace pelmix::test
#endif
