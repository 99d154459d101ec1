#!/bin/sh
# The built binary started as an operator would start it: installed into a
# fresh program folder (cmake --install into a temporary prefix), run on a
# real X display (Xvfb), it shows the login window; a screenshot is saved and
# the window is closed with Escape (the same as "Закрыть"), which ends the
# application with exit code 0.
#   smoke_binary.sh BUILD_DIR TOOL_SCREENSHOT SCREENSHOT.png
# Without an X display it starts one with xvfb-run.
set -eu
build="$1"
shooter="$2"
shot="$3"

if [ -z "${SMOKE_UNDER_XVFB:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "FAILED: xvfb-run is missing (tools/install-deps.sh)"; exit 1; }
    SMOKE_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24" sh "$0" "$@"
fi

work="$(mktemp -d /tmp/tollvane-smoke.XXXXXX)"
app=""
cleanup() {
    # Only when the application outlived its test: end it, by its id.
    if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then kill -KILL "$app"; fi
    rm -rf "$work"
}
trap cleanup EXIT
prefix="$work/tollvane"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"

unset QT_QPA_PLATFORM
"$prefix/tollvane" >"$work/app.log" 2>&1 &
app=$!

window="$(timeout 60 xdotool search --sync --onlyvisible --name '^Вход пользователя$' | head -n 1)" || true
if [ -z "$window" ]; then
    echo "FAILED: no window titled \"Вход пользователя\" within 60 s"
    xwininfo -root -tree | grep -E '^\s+0x' | head -20 || true
    cat "$work/app.log"
    exit 1
fi
echo "ok: the login window is shown (window $window)"
xwininfo -id "$window" | grep -E 'geometry|Map State' || true

# Let it paint before the picture is taken.
sleep 1
mkdir -p "$(dirname "$shot")"
"$shooter" "$shot"
echo "ok: screenshot saved to $shot"

xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers Escape
waited=0
while kill -0 "$app" 2>/dev/null && [ $waited -lt 200 ]; do
    sleep 0.1
    waited=$((waited + 1))
done
if kill -0 "$app" 2>/dev/null; then
    echo "FAILED: the application still runs 20 s after its login window was closed"
    exit 1
fi
status=0
wait "$app" || status=$?
app=""
cat "$work/app.log"
if [ $status -ne 0 ]; then
    echo "FAILED: the application ended with exit code $status"
    exit 1
fi
echo "ok: closing the login window ended the application cleanly"
