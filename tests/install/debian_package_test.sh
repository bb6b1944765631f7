#!/usr/bin/env bash
# Builds the Debian package with cpack and checks what it holds and what it depends on. It is
# not installed here: dpkg -i needs root and changes the machine.
set -euo pipefail
build=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FEHLER: $*" >&2
    exit 1
}

cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    fail "cpack -G DEB schlug fehl"
}
packages=("$work"/vantiro_*.deb)
[ -f "${packages[0]}" ] || fail "kein vantiro_*.deb in $(ls "$work")"
package=${packages[0]}

contents=$(dpkg-deb -c "$package" | awk '{print $6}')
for file in ./usr/bin/vantiro ./usr/bin/vantiro-cli ./usr/share/vantiro/hilfe.html \
    ./usr/share/vantiro/vtr.gif ./usr/share/applications/example.vantiro.Vantiro.desktop \
    ./usr/share/metainfo/example.vantiro.Vantiro.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/example.vantiro.Vantiro.svg \
    ./usr/share/icons/hicolor/128x128/apps/example.vantiro.Vantiro.png \
    ./usr/share/man/man1/vantiro.1.gz ./usr/share/man/man1/vantiro-cli.1.gz \
    ./usr/share/doc/vantiro/copyright ./usr/share/doc/vantiro/changelog.gz; do
    grep -qxF "$file" <<<"$contents" || fail "$file fehlt im Paket"
done
if grep -v '^\./usr/' <<<"$contents" | grep -qv '^\./$'; then
    fail "das Paket legt Dateien außerhalb von /usr ab"
fi
if grep -q 'vantiro.portable\|_test$' <<<"$contents"; then
    fail "das Paket enthält Dateien des Build-Ordners"
fi

[ "$(dpkg-deb -f "$package" Package)" = vantiro ] || fail "falscher Paketname"
# The changelog's newest entry names the version the package carries.
dpkg-deb -x "$package" "$work/root"
gzip -dc "$work/root/usr/share/doc/vantiro/changelog.gz" >"$work/changelog"
logged=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
[ "$logged" = "$(dpkg-deb -f "$package" Version)" ] ||
    fail "changelog nennt $logged, das Paket $(dpkg-deb -f "$package" Version)"
# Debian's own checker: the package must pass without a warning.
lintian --fail-on warning "$package" >"$work/lintian.log" 2>&1 || {
    cat "$work/lintian.log" >&2
    fail "lintian hat etwas auszusetzen"
}
depends=$(dpkg-deb -f "$package" Depends)
for library in libc6 libstdc++6 libcurl4 libqt6widgets6 libqt6gui6 libqt6core6; do
    [[ "$depends" == *"$library"* ]] || fail "Depends nennt $library nicht: $depends"
done
echo "ok: $(basename "$package"), Depends: $depends"
