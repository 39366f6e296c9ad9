#!/usr/bin/env bash
# Installs into a DESTDIR and starts the installed programs: the version each
# prints, and which UserDefs.txt the installed sifton reads.
# Arguments: the build folder, the project's version, a form with a Gauge.
set -u
build=$1 version=$2 form=$3
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
DESTDIR=$tmp/root cmake --install "$build" --prefix /opt/v >/dev/null || exit 1
bin=$tmp/root/opt/v/bin
failures=0
check() {  # check DESCRIPTION EXPECTED ACTUAL
    [ "$2" = "$3" ] || { echo "FAIL: $1: expected [$2], got [$3]"; failures=$((failures + 1)); }
}
for prog in varnel sifton; do check "$prog --version" "$prog $version" "$("$bin/$prog" --version)"; done

# The first UserDefs.txt found wins: beside the program, the user's, the
# installed one. "Gauge=gau" accepts the form's gauSpeed; "Gauge=gx" does not.
unknown() { XDG_CONFIG_HOME=$tmp/config "$bin/sifton" --level 3 "$form" | grep -c '{gauSpeed}'; }
check "installed template" 1 "$(unknown)"
echo Gauge=gau > "$tmp/root/opt/v/share/sifton/UserDefs.txt"
check "installed definitions" 0 "$(unknown)"
mkdir "$tmp/config" "$tmp/config/sifton" && echo Gauge=gx > "$tmp/config/sifton/UserDefs.txt"
check "the user's before the installed" 1 "$(unknown)"
echo Gauge=gau > "$bin/UserDefs.txt"
check "beside the program first" 0 "$(unknown)"
exit $((failures > 0))
