#!/usr/bin/env bash
# Fails when a tracked file refers to the folder that sits beside some working copies but not
# beside a fresh clone: the project must build and test with nothing around it.
set -euo pipefail
cd "$(dirname "$0")/.."
# Written so that this script does not match itself.
pattern='\.\.[/\\]shar[e]d'
if git grep -nIE "$pattern"; then
    echo "check_paths: the tracked files above refer to a folder outside the repository" >&2
    exit 1
fi
echo "check_paths: no tracked file refers to a folder outside the repository"
