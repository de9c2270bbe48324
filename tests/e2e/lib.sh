# shellcheck shell=bash
# Shared helpers of the end-to-end scripts: the Wine environment, the cached
# template prefix and the Xvfb display.  Sourced, never run.
#
# The template prefix is made once per Wine version and version of
# make-prefix, and kept under E2E_DIR (default: build/e2e of the
# source tree).  Each scenario then runs in a throw-away copy of it.

E2E_SRC=$(cd "$(dirname -- "${BASH_SOURCE[0]}")" && pwd)
E2E_DIR=${E2E_DIR:-$E2E_SRC/../../build/e2e}
mkdir -p "$E2E_DIR"
E2E_DIR=$(cd "$E2E_DIR" && pwd)

export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

e2e_die() { echo "e2e: $*" >&2; exit 1; }

# The template prefix for this Wine and these scripts.
e2e_template_path() {
    local key
    key=$( { wine --version; cat "$E2E_SRC/make-prefix"; } | sha256sum | cut -c1-12)
    echo "$E2E_DIR/template-$key"
}

# Makes the template unless it is already there; prints its path.
e2e_template() {
    local t
    t=$(e2e_template_path)
    if [ ! -f "$t/.complete" ]; then
        # One maker at a time; a second caller waits and then finds it made.
        (
            flock 9
            [ -f "$t/.complete" ] && exit 0
            "$E2E_SRC/make-prefix" "$t" >&2 || exit 1
            # Templates of other Wine versions or scripts are stale.
            for old in "$E2E_DIR"/template-*; do
                [ "$old" = "$t" ] || rm -rf "$old"
            done
        ) 9>"$E2E_DIR/.template.lock" || return 1
    fi
    echo "$t"
}

# Starts E2E_DISPLAYS Xvfb servers of 1024x768x24 on free displays at or
# above :90 and writes one line "DISPLAY PID" per server into the state file.
# Scenarios that run at the same time each take a server of their own
# (e2e_take_display): the keyboard focus is one per X server, so two
# programs on one server, even on two screens of it, take the focus from
# each other.  The servers are detached so that the caller (a ctest
# fixture) may end while they run on.
E2E_DISPLAYS=${E2E_DISPLAYS:-4}
e2e_xvfb_start() {
    local state=$1 n=89 pid started=0
    : >"$state"
    while [ "$started" -lt "$E2E_DISPLAYS" ]; do
        n=$((n + 1))
        [ "$n" -gt 189 ] && e2e_die "no free X display for Xvfb"
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset \
            </dev/null >/dev/null 2>&1 &
        pid=$!
        for _ in $(seq 1 100); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        if [ -e "/tmp/.X11-unix/X$n" ]; then
            echo ":$n $pid" >>"$state"
            started=$((started + 1))
        else
            kill "$pid" 2>/dev/null
        fi
    done
}

# True while the servers of the state file run.
e2e_xvfb_alive() {
    local state=$1 display pid
    [ -s "$state" ] || return 1
    while read -r display pid; do
        kill -0 "$pid" 2>/dev/null || return 1
    done <"$state"
}

# Takes a free server of the state file for as long as this shell runs (a
# lock held on an open descriptor); prints its DISPLAY.
e2e_take_display() {
    local state=$1 display pid i=0 fd last=""
    while read -r display pid; do
        exec {fd}>"$state.$i.lock"
        if flock -n "$fd"; then
            echo "$display"
            return 0
        fi
        exec {fd}>&-
        last=$display
        i=$((i + 1))
    done <"$state"
    # More scenarios than servers at once: share one.
    echo "$last"
}

e2e_xvfb_stop() {
    local state=$1 display pid
    [ -f "$state" ] || return 0
    while read -r display pid; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done <"$state"
    rm -f "$state" "$state".*.lock
}
