#!/usr/bin/env bash
# Fails when a tracked C++ file differs from the house style in .clang-format and names the
# files; `tools/check-format.sh --fix` rewrites them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! out=$(clang-format --dry-run --Werror "${files[@]}" 2>&1); then
    echo "not in the house style (tools/check-format.sh --fix rewrites them):" >&2
    printf '%s\n' "$out" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/  \1/p' | sort -u >&2
    exit 1
fi
echo "format: ${#files[@]} files in the house style"
