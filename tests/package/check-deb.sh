#!/usr/bin/env bash
# Builds the Debian package from a finished build tree, unpacks it into a
# scratch root (dpkg -x) and checks what a site gets: the program, the desktop
# entry, the icons and the dependencies.
# Usage: check-deb.sh CPACK BUILD_DIR VERSION
set -euo pipefail
cpack=$1 build=$2 version=$3
work=$(mktemp -d /tmp/zelmar-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$build" && "$cpack" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb, found: ${debs[*]}"; exit 1; }
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zelmar ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the project's is $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
# The libraries the program links, found by dpkg-shlibdeps: Qt and the MariaDB client.
depends=$(field Depends)
for pkg in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libmariadb3 libc6; do
  grep -Eq "(^|, )$pkg( |,|$)" <<<"$depends" || fail "Depends lacks $pkg: $depends"
done

root=$work/root
dpkg -x "$deb" "$root"
# Everything under /usr, nothing under /usr/local or elsewhere.
outside=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || fail "files outside /usr: $outside"
[ ! -e "$root/usr/local" ] || fail "files under /usr/local"

[ -x "$root/usr/bin/zelmar" ] || fail "/usr/bin/zelmar missing or not executable"
head -c 4 "$root/usr/bin/zelmar" | grep -q 'ELF' || fail "/usr/bin/zelmar is not a program"

desktop=$root/usr/share/applications/zelmar.desktop
if [ -f "$desktop" ]; then
  key() { sed -n "s/^$1=//p" "$desktop"; }
  [ "$(key Type)" = Application ] || fail "desktop Type is '$(key Type)'"
  [ -n "$(key Name)" ] || fail "desktop entry has no Name"
  [ -n "$(key Comment)" ] || fail "desktop entry has no Comment"
  exec_cmd=$(key Exec)
  [ -x "$root/usr/bin/${exec_cmd%% *}" ] || fail "desktop Exec '$exec_cmd' is not the installed program"
  grep -Eq '(^|;)(Development|Office)(;|$)' <<<"$(key Categories)" || fail "desktop Categories: $(key Categories)"
  icon=$(key Icon)
  [ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon named '$icon'"
  # Without the validator the entry would pass unchecked (scripts/setup installs it).
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
  else
    fail "desktop-file-validate is not installed (Debian package desktop-file-utils)"
  fi
else
  fail "no desktop entry"
fi

svg=$root/usr/share/icons/hicolor/scalable/apps/zelmar.svg
grep -q '<svg ' "$svg" 2>/dev/null || fail "zelmar.svg is no SVG"
# Each PNG is the size of its folder: width and height from the IHDR chunk.
pngs=0
for png in "$root"/usr/share/icons/hicolor/*x*/apps/zelmar.png; do
  [ -f "$png" ] || continue
  pngs=$((pngs + 1))
  folder=$(basename "$(dirname "$(dirname "$png")")")
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "${w}x${h}" = "$folder" ] || fail "$folder/zelmar.png is ${w}x${h}"
done
[ "$pngs" -ge 4 ] || fail "only $pngs PNG icon sizes"

[ -f "$root/usr/share/doc/zelmar/examples/Zelmar.conf" ] || fail "no example site settings"
[ -f "$root/usr/share/doc/zelmar/copyright" ] || fail "no copyright file"
for sql in customer history grants-example; do
  [ -f "$root/usr/share/doc/zelmar/sql/$sql.sql" ] || fail "no sql/$sql.sql"
done

[ "$failures" -eq 0 ] || exit 1
echo "ok: $(basename "$deb"), $pngs PNG sizes, Depends: $depends"
