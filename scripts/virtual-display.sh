# Sourced by scripts that need an X display for Wine: starts Xvfb on a free display number,
# exports DISPLAY and stops the server when the sourcing script exits.
start_virtual_display() {
    local number
    for number in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        QUORVEX_XVFB_PID=$!
        export DISPLAY=":$number"
        local tries
        for tries in $(seq 1 50); do
            if xdpyinfo >/dev/null 2>&1; then
                trap stop_virtual_display EXIT
                return 0
            fi
            kill -0 "$QUORVEX_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$QUORVEX_XVFB_PID" 2>/dev/null || true
    done
    echo "could not start Xvfb" >&2
    return 1
}

stop_virtual_display() {
    [ -n "${QUORVEX_XVFB_PID:-}" ] && kill "$QUORVEX_XVFB_PID" 2>/dev/null || true
    wait "${QUORVEX_XVFB_PID:-}" 2>/dev/null || true
    QUORVEX_XVFB_PID=
}
