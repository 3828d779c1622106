// The exit statuses of pelmix-cli, named once for every command and the console.
#pragma once

namespace pelmix::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFileFailed = 1;
inline constexpr int kExitUsage = 2;

}  // namespace pelmix::cli
