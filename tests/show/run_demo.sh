#!/usr/bin/env bash
# Runs build/demo as a user would under X: Enter in the sound set-up window,
# then either lets the show play to its end or presses Escape in the demo's
# window once it shows. Passes when the demo exits with status 0.
#   run_demo.sh DEMO end|escape FIRST_SCENE      (from build/, where data/ is)
# FIRST_SCENE > 0 starts the show (and the music) at that scene's marker.
# DEMO_EMULATOR, when set, runs the demo (wine64 for the Windows build).
set -u
demo=$1 mode=$2 scene=$3
[ -n "${DISPLAY:-}" ] || { echo "no X display: skipped"; exit 77; }
command -v xdotool >/dev/null || { echo "xdotool missing: skipped"; exit 77; }

find_window() { # title pattern; prints the window id once it is there
    for _ in $(seq 1 150); do
        id=$(xdotool search --name "$1" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

SDL_AUDIODRIVER=dummy DEMO_TEST_FIRST_SCENE=$scene ${DEMO_EMULATOR:-} "$demo" &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT

setup=$(find_window "^Den Snurriga XM-Spelaren$") || { echo "the sound set-up window did not open"; exit 1; }
xdotool windowfocus --sync "$setup" 2>/dev/null
xdotool key --window "$setup" Return
console=$(find_window '^Tam\+ulv = skit!$') || { echo "the demo's window did not open"; exit 1; }
if [ "$mode" = escape ]; then
    sleep 1
    # A real key press (XTEST) into the focused window: the demo reads the
    # keyboard's state, not the window's messages.
    xdotool windowfocus --sync "$console" 2>/dev/null
    xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
    # The show lasts three minutes; Escape ends it long before.
    for _ in $(seq 1 100); do
        kill -0 $pid 2>/dev/null || break
        sleep 0.2
    done
    kill -0 $pid 2>/dev/null && { echo "Escape did not end the demo"; exit 1; }
fi
wait $pid
status=$?
trap - EXIT
echo "demo exited with status $status"
[ "$status" -eq 0 ]
