#!/usr/bin/env bash
# Fails when a file of the tree names a package mirror or registry: the machines that build and
# test this project take their mirrors from their own apt sources, so none belongs in the tree.
set -euo pipefail
cd "$(dirname "$0")/.."

# Hosts of Debian, Ubuntu, PyPI and npm archives, and any sources.list line with an address.
# The brackets keep this file from matching itself.
pattern='(https?|ftp)://[^[:space:]"'\'']*(debian[.]org|ubuntu[.]com|pypi[.]org|pythonhosted[.]org|npmjs[.](org|com)|nodesource[.]com)|^[[:space:]]*deb(-src)?[[:space:]]+(\[[^]]*\][[:space:]]+)?(https?|ftp)://'

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    hits=$(git grep -n -I -i -E "$pattern" -- . || true)
else
    hits=$(grep -r -n -I -i -E --exclude-dir=.git --exclude-dir='build*' "$pattern" . || true)
fi
if [ -n "$hits" ]; then
    echo "These lines name a package mirror or registry; take it from the machine's apt sources instead:" >&2
    echo "$hits" >&2
    exit 1
fi
echo "no package mirror address in the tree"
