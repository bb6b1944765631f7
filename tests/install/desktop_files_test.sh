#!/usr/bin/env bash
# The menu entry, the software-centre description and the manual pages pass their checkers.
set -euo pipefail
packaging=$1/packaging
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || {
        echo "$tool fehlt (scripts/setup.sh installiert es)"
        exit 77
    }
done
desktop-file-validate "$packaging/example.vantiro.Vantiro.desktop"
appstreamcli validate --no-net "$packaging/example.vantiro.Vantiro.metainfo.xml"
# man is not always installed; where it is, the pages must format without a warning.
command -v man >/dev/null || exit 0
for page in "$packaging"/man/*.1; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || {
        echo "FEHLER in $page: $warnings" >&2
        exit 1
    }
done
