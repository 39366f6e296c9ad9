#!/usr/bin/env bash
# Builds the Debian package from the build tree into a temporary folder, lists
# what it holds and checks it with Debian's own tools (skipped without them).
# Arguments: the build folder, the expected list of files.
set -u
build=$1 expected=$2
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate man update-mime-database; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is missing (scripts/setup installs it)"; exit 77; }
done
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; exit 1; }
deb=$(echo "$tmp"/varnel_*.deb)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

dpkg-deb -c "$deb" | awk '$6 !~ /\/$/ { print $6 }' | sort | diff -u "$expected" - || fail "package contents"
dpkg-deb -x "$deb" "$tmp/root"
lintian --fail-on error "$deb" || fail "lintian"
desktop-file-validate "$tmp"/root/usr/share/applications/*.desktop || fail "desktop-file-validate"
for page in "$tmp"/root/usr/share/man/man1/*; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man -l $page: $warnings"
done
# The file types load into a MIME database of their own.
mkdir -p "$tmp/mime/packages" && cp "$tmp"/root/usr/share/mime/packages/* "$tmp/mime/packages/"
out=$(XDG_DATA_DIRS=$tmp update-mime-database "$tmp/mime" 2>&1) && [ -z "$out" ] || fail "update-mime-database: $out"
grep -q '^text/x-vb-class:\*\.cls$' "$tmp/mime/globs" || fail "MIME globs"
exit $((failures > 0))
