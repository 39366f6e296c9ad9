#!/usr/bin/env bash
# Checks the options both programs share and that CI runs the README's test
# command. Arguments: varnel, sifton, the source folder.
set -u
varnel=$1 sifton=$2 root=$3
failures=0
check() {  # check DESCRIPTION EXPECTED ACTUAL
    [ "$2" = "$3" ] || { echo "FAIL: $1: expected [$2], got [$3]"; failures=$((failures + 1)); }
}

for prog in "$varnel" "$sifton"; do
    name=$(basename "$prog")
    out=$("$prog" --version); check "$name --version status" 0 $?
    case "$out" in *5.0*) ;; *) check "$name --version prints the version" "5.0" "$out" ;; esac
    out=$("$prog" --help); check "$name --help status" 0 $?
    case "$out" in Usage:*) ;; *) check "$name --help prints usage" "Usage:..." "$out" ;; esac
    err=$("$prog" --no-such-option 2>&1 >/dev/null); check "$name unknown option status" 2 $?
    case "$err" in *Usage:*) ;; *) check "$name unknown option prints usage on stderr" "Usage:..." "$err" ;; esac
    out=$("$prog" --no-such-option 2>/dev/null); check "$name unknown option prints nothing on stdout" "" "$out"
done

"$varnel" --entity onlyname >/dev/null 2>&1; check "varnel --entity without FILE" 2 $?

# CI runs exactly the README's test command.
readme_cmd=$(grep -E '^    \./run test$' "$root/README.md" | head -1 | sed 's/^ *//')
check "README names the test command" "./run test" "$readme_cmd"
grep -qx "[[:blank:]]*${readme_cmd//./\\.}" "$root/.ci/run"; check ".ci/run runs the README's test command" 0 $?

if [ $failures -eq 0 ]; then echo "all command-line checks passed"; fi
exit $((failures > 0))
