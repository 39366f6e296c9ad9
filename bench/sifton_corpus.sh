#!/usr/bin/env bash
# The scan engine's speed on real code: one worker (-j 1) at level 3 against
# `wc -w` over the same .BAS/.FRM/.CLS files of ../shared/corpus (medians of
# 7 runs each, in processor time: user and system, so that other work on the
# machine counts less), and the worker's peak memory. Reads the corpus only when it is
# there; the tests never do.
#   bench/sifton_corpus.sh [SIFTON] [CORPUS]
set -eu
sifton=${1:-build/app/sifton/sifton}
corpus=${2:-$(dirname "$0")/../../shared/corpus}
if [ ! -d "$corpus" ]; then
    echo "no corpus at $corpus: nothing to measure"
    exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
find "$corpus" -type f \( -iname '*.bas' -o -iname '*.frm' -o -iname '*.cls' \) -print0 >"$work/files"
median() {  # COMMAND...: the median processor time of 7 runs, in seconds
    for _ in 1 2 3 4 5 6 7; do
        /usr/bin/time -f "%U %S" -o "$work/t" "$@" >/dev/null 2>&1 || true
        tail -n 1 "$work/t" | awk '{ print $1 + $2 }'
    done | sort -n | sed -n 4p
}
# Other work on the machine still slows the runs: say how much there was.
printf 'load average %s (before)\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
words=$(median wc -w --files0-from="$work/files")
printf 'files %d, %d bytes\n' "$(tr -cd '\0' <"$work/files" | wc -c)" \
    "$(du -cb --files0-from="$work/files" | tail -n 1 | cut -f1)"
printf '%-28s %6.2f s\n' "wc -w" "$words"
for f in report gcc; do
    t=$(median "$sifton" -q -j 1 --level 3 --format $f "$corpus")
    /usr/bin/time -f %M -o "$work/m" "$sifton" -q -j 1 --level 3 --format $f "$corpus" >/dev/null 2>&1 || true
    printf '%-28s %6.2f s  %5.2f x wc -w  %4d MB peak\n' "sifton -j 1 --level 3 $f" "$t" \
        "$(awk -v a="$t" -v b="$words" 'BEGIN { print a / b }')" $(($(tail -n 1 "$work/m") / 1024))
done
printf 'load average %s (after)\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
