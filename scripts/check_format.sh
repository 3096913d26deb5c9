#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format 14 makes of it with the
# repository's .clang-format, and names each such file. Other versions format differently, so
# only 14 is used. To fix: clang-format-14 -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."

format=""
for candidate in clang-format-14 clang-format; do
    if command -v "$candidate" >/dev/null &&
        "$candidate" --version | grep -q 'clang-format version 14\.'; then
        format="$candidate"
        break
    fi
done
if [ -z "$format" ]; then
    echo "check_format: clang-format 14 is missing; install it as root with:" >&2
    echo "  apt-get install -y clang-format-14" >&2
    exit 1
fi

# Batches of files on every core; each difference is reported as "FILE:LINE:COL: error: ...".
status=0
out="$(git ls-files -z -- '*.cpp' '*.h' |
    xargs -0 -r -n 40 -P "$(nproc)" "$format" --dry-run -Werror 2>&1)" || status=$?
differ="$(printf '%s\n' "$out" |
    sed -nE 's/^(.+):[0-9]+:[0-9]+: error: code should be clang-formatted.*/\1/p' | sort -u)"

if [ -n "$differ" ]; then
    printf '%s\n' "$differ" | sed 's/^/not clang-formatted: /' >&2
    count="$(printf '%s\n' "$differ" | wc -l)"
    echo "check_format: $count file(s) differ from clang-format 14; run: $format -i FILE..." >&2
    exit 1
fi
if [ "$status" -ne 0 ]; then
    printf '%s\n' "$out" >&2
    echo "check_format: clang-format failed (above)" >&2
    exit 1
fi
echo "check_format: every tracked C++ file is clang-formatted"
