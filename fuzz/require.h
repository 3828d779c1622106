// A broken invariant ends the run: libFuzzer keeps the input that did it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace pelmix::fuzz {

inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

}  // namespace pelmix::fuzz
