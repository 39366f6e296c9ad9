#!/usr/bin/env bash
# A real editor: headless Neovim opens a file through its built-in LSP
# client and gets the diagnostics `sifton --format gcc` gives for the same
# file, and an outline of its procedures. Skipped when Neovim is missing.
# Arguments: sifton, the file, its outline (names separated by blanks).
set -u
sifton=$1 file=$2 outline=$3
if ! command -v nvim >/dev/null 2>&1; then
    echo "SKIP: nvim is not installed (scripts/setup installs the neovim package)"
    exit 0
fi
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
cp "$file" "$work/" && file="$work/$(basename "$file")"
here=$(cd "$(dirname "$0")" && pwd)
HOME=$work XDG_CONFIG_HOME=$work XDG_DATA_HOME=$work XDG_STATE_HOME=$work SIFTON=$sifton FILE=$file OUT=$work/out \
    timeout 120 nvim --headless --clean -u NONE -c "luafile $here/neovim.lua" >/dev/null 2>&1
status=0
want=$("$sifton" -q --no-config --level 3 --format gcc "$file" | sed -E 's/^.*:([0-9]+): [a-z]+: .*\[([A-Za-z0-9]+)\]$/\1 \2/' | sort)
got=$(grep -v '^symbol ' "$work/out" 2>/dev/null | sort)
if [ -z "$want" ] || [ "$want" != "$got" ]; then
    echo "FAIL: diagnostics: expected"; echo "$want"; echo "got"; echo "$got"; status=1
fi
# The outline lists what the editor's procedure list shows.
symbols=$(sed -n 's/^symbol //p' "$work/out" 2>/dev/null | tr '\n' ' ')
if [ "$symbols" != "$outline " ]; then
    echo "FAIL: outline: got [$symbols]"; status=1
fi
[ $status -eq 0 ] && echo "Neovim: $(grep -vc '^symbol ' "$work/out") diagnostics, outline: $symbols"
exit $status
