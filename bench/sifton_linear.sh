#!/usr/bin/env bash
# How sifton's output, time and memory grow with hostile input: one line of
# one Dim of 10,001 names (every format's output against gcc's), a 100 MB and
# a 200 MB module of small procedures, and -j 1000. Prints one line a run:
# what, seconds, peak memory, output bytes.
#   bench/sifton_linear.sh [SIFTON]   (default: build/app/sifton/sifton)
set -eu
sifton=${1:-build/app/sifton/sifton}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
measure() {  # WHAT OUTPUT-FILE COMMAND...
    local what=$1 out=$2
    shift 2
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >"$out" 2>/dev/null || true
    read -r secs kb < <(tail -n 1 "$work/time")
    printf '%-34s %7.2f s %8d MB %12d bytes\n' "$what" "$secs" $((kb / 1024)) "$(stat -c %s "$out")"
}

printf 'load average at the start: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"

# One logical line: Dim v0 As Long, v1 As Long, ..., v10000 As Long (150 KB).
{
    printf 'Attribute VB_Name = "modWide"\r\nOption Explicit\r\nPublic Sub Wide()\r\nDim v0 As Long'
    for ((i = 1; i <= 10000; i++)); do printf ', v%d As Long' "$i"; done
    printf '\r\nEnd Sub\r\n'
} >"$work/wide.bas"
for f in gcc report json sarif; do
    measure "one 150 KB line, $f" "$work/wide.$f" "$sifton" -q --level 3 --format $f "$work/wide.bas"
done
measure "one 150 KB line, --write-baseline" "$work/null" \
    "$sifton" -q --level 3 --write-baseline "$work/wide.baseline" "$work/wide.bas"
printf '%-34s %12d bytes\n' "  the baseline written" "$(stat -c %s "$work/wide.baseline")"

# Modules of small procedures, 100 and 200 MB (of 1.3 MB blocks: 129 and
# 259 MB). Aims: peak memory at most 4 times the module in every format, and
# the 200 MB module in about twice the time of the 100 MB one.
module() {  # MEGABYTES FILE
    local mb=$1 block=$'Public Sub P()\r\n    Dim lCount As Long\r\n    lCount = Left(lCount, 1)\r\nEnd Sub\r\n'
    while ((${#block} < 1048576)); do block=$block$block; done  # about 1 MB of procedures
    { printf 'Attribute VB_Name = "modBig"\r\nOption Explicit\r\n'; while ((mb-- > 0)); do printf '%s' "$block"; done; } >"$2"
}
declare -A took
for mb in 100 200; do
    module $mb "$work/big.bas"
    size=$(stat -c %s "$work/big.bas")
    for f in gcc report json sarif; do
        measure "$mb MB module ($((size >> 20)) MB), $f" "$work/big.$f" \
            "$sifton" -q --level 3 --format $f "$work/big.bas"
        took[$mb$f]=$secs
        awk -v kb="$kb" -v size="$size" 'BEGIN { printf "%-34s %7.2f x the module\n", "  peak memory", kb * 1024 / size }'
        rm -f "$work/big.$f"
    done
done
rm -f "$work/big.bas"
for f in gcc report json sarif; do
    awk -v a="${took[100$f]}" -v b="${took[200$f]}" -v f=$f \
        'BEGIN { printf "%-34s %7.2f x\n", "time 200 MB / 100 MB, " f, (a > 0 ? b / a : 0) }'
done

# -j 1000 over 40 small files.
mkdir "$work/many"
for ((i = 0; i < 40; i++)); do
    printf 'Attribute VB_Name = "modM%d"\r\nOption Explicit\r\nPrivate Count\r\n' "$i" >"$work/many/m$i.bas"
done
measure "40 files, -j 1000, gcc" "$work/many.gcc" "$sifton" -q -j 1000 --level 3 --format gcc "$work/many"
printf 'load average at the end: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
