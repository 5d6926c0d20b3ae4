#!/bin/bash
# The command-line conventions of the tools, run as a user runs them:
# --help/-h print the usage on standard output with status 0; a wrong command
# line prints it on standard error with status 2; a file that cannot be used
# gives status 1 and exactly one line that names the file; and the console
# library's progress lines never reach a tool's standard output.
# Arguments: the xmrender, xmplay, imgconv and fxshot executables.
set -u
xmrender=$1 xmplay=$2 imgconv=$3 fxshot=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
printf 'not a module\n' >"$dir/text.xm"
cp "$dir/text.xm" "$dir/text.tga"
# A 2x1 true-colour TGA: 18-byte header, then two 24-bit pixels.
printf '\0\0\2\0\0\0\0\0\0\0\0\0\2\0\1\0\30\0\1\2\3\4\5\6' >"$dir/tiny.tga"

# check NAME STATUS STDOUT-LINES STDERR-LINES PATTERN COMMAND...
# Line counts of -1 mean "any, at least one"; PATTERN must be in the stream
# that is expected to carry the text (standard error when STATUS is not 0).
check() {
    local name=$1 status=$2 outLines=$3 errLines=$4 pattern=$5
    shift 5
    env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy timeout 60 "$@" >"$dir/out" 2>"$dir/err" </dev/null
    local got=$? o e
    o=$(wc -l <"$dir/out")
    e=$(wc -l <"$dir/err")
    local stream=$dir/err
    [ "$status" = 0 ] && stream=$dir/out
    local ok=1
    [ "$got" = "$status" ] || ok=0
    if [ "$outLines" = -1 ]; then [ "$o" -ge 1 ] || ok=0; else [ "$o" = "$outLines" ] || ok=0; fi
    if [ "$errLines" = -1 ]; then [ "$e" -ge 1 ] || ok=0; else [ "$e" = "$errLines" ] || ok=0; fi
    [ -z "$pattern" ] || grep -q -- "$pattern" "$stream" || ok=0
    if [ $ok = 0 ]; then
        failures=$((failures + 1))
        echo "FAILED: $name: status $got (want $status), $o/$e lines (want $outLines/$errLines), pattern \"$pattern\""
        sed 's/^/  out: /' "$dir/out"
        sed 's/^/  err: /' "$dir/err"
    fi
}

for tool in "$xmrender" "$xmplay" "$imgconv" "$fxshot"; do
    name=$(basename "$tool")
    check "$name --help" 0 -1 0 usage "$tool" --help
    check "$name -h" 0 -1 0 usage "$tool" -h
    check "$name without arguments" 2 0 -1 usage "$tool"
    check "$name with an unknown option" 2 0 -1 usage "$tool" --bogus a b c
done

check "xmrender, missing module" 1 0 1 "$dir/none.xm: No such file" "$xmrender" "$dir/none.xm" "$dir/o.wav"
check "xmrender, not a module" 1 0 1 "$dir/text.xm: not an XM or MOD module" "$xmrender" "$dir/text.xm" --info
check "xmrender, bad rate" 2 0 -1 "the rate is" "$xmrender" "$dir/text.xm" "$dir/o.wav" --rate 8000
check "xmplay, missing module" 1 0 1 "$dir/none.xm: No such file" "$xmplay" "$dir/none.xm"
check "xmplay, not a module" 1 0 1 "$dir/text.xm: not an XM or MOD module" "$xmplay" "$dir/text.xm"
check "imgconv, missing image" 1 0 1 "$dir/none.tga: No such file" "$imgconv" "$dir/none.tga" "$dir/o.png"
check "imgconv, not a TGA" 1 0 1 "$dir/text.tga: not an uncompressed" "$imgconv" "$dir/text.tga" "$dir/o.png"
check "imgconv, a TGA: its own line only" 0 1 0 "tiny.tga: 2x1 -> " "$imgconv" "$dir/tiny.tga" "$dir/o.png"
check "fxshot, missing texture" 1 0 1 "$dir/none.tga: No such file" "$fxshot" grid-warp 0 "$dir/o.png" --texture "$dir/none.tga"
check "fxshot, a still: nothing on standard output" 0 0 0 "" "$fxshot" zoom 0.5 "$dir/o.png"

[ $failures = 0 ] && echo "all tool conventions hold"
exit $((failures > 0))
