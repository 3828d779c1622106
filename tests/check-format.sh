#!/usr/bin/env bash
# Fails when a C++ source does not follow .clang-format; lists the files that do not.
# Usage: check-format.sh SOURCE_DIR
set -euo pipefail
cd "${1:?usage: check-format.sh SOURCE_DIR}"

files=$(find core session cli ui tests fuzz bench -name '*.cpp' -o -name '*.h' | sort)
# shellcheck disable=SC2086
if ! clang-format-14 --dry-run -Werror $files 2>/dev/null; then
  echo "Not formatted (run: clang-format-14 -i FILE):" >&2
  for file in $files; do
    clang-format-14 --dry-run -Werror "$file" >/dev/null 2>&1 || echo "  $file" >&2
  done
  exit 1
fi
