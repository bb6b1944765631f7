#!/usr/bin/env bash
# Installs the build into a DESTDIR, makes the copy read-only, and runs the installed
# vantiro-cli generate without --home, as a user whose HOME is a fresh folder: the pages, their
# images (the shipped vtr.gif) and the work folders must land in that user's data folder, and
# the installed copy must stay exactly as it was.
set -euo pipefail
build=$1
source=$2

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() {
    echo "FEHLER: $*" >&2
    exit 1
}

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
root="$work/root/usr"

for file in bin/vantiro bin/vantiro-cli share/vantiro/hilfe.html share/vantiro/vtr.gif \
    share/applications/example.vantiro.Vantiro.desktop \
    share/metainfo/example.vantiro.Vantiro.metainfo.xml \
    share/icons/hicolor/scalable/apps/example.vantiro.Vantiro.svg \
    share/icons/hicolor/48x48/apps/example.vantiro.Vantiro.png \
    share/icons/hicolor/256x256/apps/example.vantiro.Vantiro.png \
    share/man/man1/vantiro.1.gz share/man/man1/vantiro-cli.1.gz; do
    [ -f "$root/$file" ] || fail "$file wurde nicht installiert"
done
[ "$(ls "$root/bin")" = "$(printf 'vantiro\nvantiro-cli')" ] ||
    fail "bin/ enthält mehr als die Programme: $(ls "$root/bin")"

chmod -R a-w "$work/root"
# Root may write into read-only folders, so the copy is also compared before and after.
before=$(cd "$work/root" && find . -printf '%p %s %T@\n' | sort)

mkdir -p "$work/home"
printf 'Auto\r\nReifen\r\nFelge\r\n' >"$work/keywords.vrk"
printf '<BODY>\r\n<%%spider%%>\r\n</BODY>' >"$work/body.txt"
output=$(cd "$work" && env -u XDG_DATA_HOME HOME="$work/home" \
    "$root/bin/vantiro-cli" generate --keywords "$work/keywords.vrk" --body "$work/body.txt" --seed 4) ||
    fail "vantiro-cli generate endete mit Fehler: $output"

data="$work/home/.local/share/vantiro"
[[ "$output" == *"Doorpages erstellt in $data/doorpages/"* ]] ||
    fail "die Meldung nennt nicht den Datenordner: $output"
[ -f "$data/doorpages/vorschau.htm" ] || fail "keine vorschau.htm in $data/doorpages"
[ -f "$data/doorpages/_keyliste.htm" ] || fail "keine _keyliste.htm"
for folder in keywordfile vorlagen doorpages/images; do
    [ -d "$data/$folder" ] || fail "der Arbeitsordner $folder fehlt"
done
grep -qF '<IMG SRC="images' "$data/doorpages/vorschau.htm" || fail "die Seiten haben keine Bildlinks"
images=("$data"/doorpages/images/*.gif)
[ -e "${images[0]}" ] || fail "keine Bilder in doorpages/images"
for image in "${images[@]}"; do
    cmp -s "$image" "$source/resources/vtr.gif" || fail "$image ist nicht die mitgelieferte vtr.gif"
done

after=$(cd "$work/root" && find . -printf '%p %s %T@\n' | sort)
[ "$before" = "$after" ] || fail "das Programm hat in die Installation geschrieben"
echo "ok: $(ls "$data/doorpages" | wc -l) Dateien in $data/doorpages"
