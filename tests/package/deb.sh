#!/usr/bin/env bash
# Builds the Debian package from the build tree into a temporary folder, lists
# what it holds and checks it with Debian's own tools (skipped without them).
# Arguments: the build folder, the expected list of files, a folder of files
# and the list of the types they have.
set -u
build=$1 expected=$2 samples=$3 types=$4
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate man update-mime-database hardening-check appstreamcli gio; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is missing (scripts/setup --tests installs it)"; exit 77; }
done
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
pack() { cpack --config "$build/CPackConfig.cmake" -B "$1" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; exit 1; }; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A second package of the same build, made later, is the same bytes.
pack "$tmp" && sleep 1 && pack "$tmp/again"
deb=$(echo "$tmp"/varnel_*.deb)
cmp "$deb" "$tmp"/again/varnel_*.deb || fail "two packages of one build differ"

dpkg-deb -c "$deb" | awk '$6 !~ /\/$/ { print $6 }' | sort | diff -u "$expected" - || fail "package contents"
dpkg-deb -x "$deb" "$tmp/root"
lintian --fail-on error "$deb" || fail "lintian"
desktop-file-validate "$tmp"/root/usr/share/applications/*.desktop || fail "desktop-file-validate"
hardening-check "$tmp"/root/usr/bin/* || fail "hardening-check"
appstreamcli validate --no-net --strict "$tmp"/root/usr/share/metainfo/* || fail "appstreamcli validate"
for page in "$tmp"/root/usr/share/man/man1/*; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man -l $page: $warnings"
done
# The file types load beside the system's, and files of the same names are
# told apart by their first bytes.
mkdir -p "$tmp/mime/packages" && cp "$tmp"/root/usr/share/mime/packages/* /usr/share/mime/packages/freedesktop.org.xml "$tmp/mime/packages/"
out=$(XDG_DATA_DIRS=$tmp update-mime-database "$tmp/mime" 2>&1) && [ -z "$out" ] || fail "update-mime-database: $out"
while read -r name type; do
    got=$(XDG_DATA_HOME=$tmp XDG_DATA_DIRS=$tmp gio info -a standard::content-type "$samples/$name" | sed -n 's/.*content-type: //p')
    [ "$got" = "$type" ] || fail "type of $name: expected $type, got $got"
done <"$types"
exit $((failures > 0))
