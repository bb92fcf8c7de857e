#!/usr/bin/env bash
# Starts the real program under Xvfb, runs a search of the offline demo engines by typing into the
# window, and saves the screen to docs/screenshot.png. Needs a built tree (scripts/build.sh build).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
program="$root/build/bin/quorvex"
[ -x "$program" ] || { echo "build first: bash scripts/build.sh build" >&2; exit 1; }

work=$(mktemp -d)
display=:$((90 + RANDOM % 9))
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# A fresh working folder: no saved layout (so "Offline demo" is chosen) and no engine update.
printf 'DEngines=1\r\n' >"$work/option.txt"
(cd "$work" && exec "$program") &
app_pid=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^Quorvex v[0-9.]*$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the window did not appear" >&2; exit 1; }
# Xvfb has no window manager to maximise the window: give it the screen.
xdotool windowmove --sync "$window" 0 0 windowsize --sync "$window" 1280 800
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key --window "$window" alt+k
xdotool type --delay 20 "rainwater harvesting"
xdotool key Return
sleep 4  # the demo engines answer from disk; the progress window closes when the last one is done
mkdir -p docs
import -window root docs/screenshot.png
xdotool key --window "$window" ctrl+x
wait "$app_pid" || true
app_pid=""
echo "saved docs/screenshot.png"
