#!/usr/bin/env bash
# Fails when a C++ file differs from the repository's .clang-format, and when the files to
# check cannot be listed: a check that sees no files must not pass.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -e .git ]; then
    # A git work tree: git's list, with new files that are not ignored. When git fails (a clone
    # owned by another user, a broken repository) the check fails with it.
    if ! listing=$(git ls-files -co --exclude-standard -- '*.cpp' '*.h'); then
        echo "check-format.sh: git kann die Dateien nicht auflisten." >&2
        exit 1
    fi
else
    # An unpacked source archive has no git: every C++ file of the source folders.
    listing=$(find src tests bench -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
fi

if [ -z "$listing" ]; then
    echo "check-format.sh: keine C++-Dateien gefunden." >&2
    exit 1
fi
mapfile -t files <<<"$listing"
clang-format --dry-run -Werror "${files[@]}"
echo "clang-format: ${#files[@]} Dateien geprüft"
