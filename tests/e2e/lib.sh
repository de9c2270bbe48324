# shellcheck shell=bash
# Shared helpers of the end-to-end scripts: the Wine environment, the cached
# template prefix and the Xvfb display.  Sourced, never run.
#
# A template prefix is made once per architecture (win32 for the product,
# win64 for its 64-bit twin), Wine version, version of make-prefix and set
# of Wine's fonts, and kept under E2E_DIR (default: build/e2e of the source
# tree).  Each scenario then runs in a throw-away copy of it.

E2E_SRC=$(cd "$(dirname -- "${BASH_SOURCE[0]}")" && pwd)
E2E_DIR=${E2E_DIR:-$E2E_SRC/../../build/e2e}
mkdir -p "$E2E_DIR"
E2E_DIR=$(cd "$E2E_DIR" && pwd)

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

e2e_die() { echo "e2e: $*" >&2; exit 1; }

# The Wine loaders.  /usr/bin/wine always takes the 32-bit loader when
# wine32 is installed, so each architecture names its own loader.
E2E_WINE32=${E2E_WINE32:-/usr/lib/wine/wine}
E2E_WINE64=${E2E_WINE64:-/usr/lib/wine/wine64}

# True when the loader of architecture $1 (win32, win64) starts here.  On a
# kernel without 32-bit emulation the i386 loader fails with "Exec format
# error"; the reason is left in E2E_ARCH_WHY.
e2e_arch_runs() {
    local loader out
    case "$1" in
    win32) loader=$E2E_WINE32 ;;
    win64) loader=$E2E_WINE64 ;;
    *) E2E_ARCH_WHY="unknown architecture \"$1\" (win32 or win64)"; return 1 ;;
    esac
    if [ ! -x "$loader" ]; then
        E2E_ARCH_WHY="$loader is not installed (scripts/install-deps)"
        return 1
    fi
    if ! out=$("$loader" --version 2>&1); then
        E2E_ARCH_WHY="$loader cannot start here: ${out##*: }"
        case "$out" in
        *"Exec format error"*)
            E2E_ARCH_WHY="$E2E_ARCH_WHY (the kernel runs no 32-bit Linux programs)" ;;
        esac
        return 1
    fi
    E2E_ARCH_WHY=""
}

# Chooses the architecture of the Wine used from here on: the loader, the
# server and WINEARCH.  wine and wineserver below call them, so that every
# script line "wine ..." runs the chosen one.
e2e_use_arch() {
    case "$1" in
    win32) E2E_WINE=$E2E_WINE32; E2E_WINESERVER=/usr/lib/wine/wineserver ;;
    win64) E2E_WINE=$E2E_WINE64; E2E_WINESERVER=/usr/lib/wine/wineserver64 ;;
    *) e2e_die "unknown architecture \"$1\" (win32 or win64)" ;;
    esac
    export WINEARCH=$1 WINELOADER=$E2E_WINE WINESERVER=$E2E_WINESERVER
}
wine() { "$E2E_WINE" "$@"; }
wineserver() { "$E2E_WINESERVER" "$@"; }
wineboot() { "$E2E_WINE" wineboot "$@"; }

# The architecture a PE file was built for: win32 (i386) or win64 (x86-64),
# read from the machine field of its COFF header.
e2e_pe_arch() {
    local pe machine
    pe=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
    [ -n "$pe" ] || return 1
    machine=$(od -An -t x2 -j $((pe + 4)) -N 2 "$1" | tr -d ' ')
    case "$machine" in
    014c) echo win32 ;;
    8664) echo win64 ;;
    *) return 1 ;;
    esac
}

# The architectures the end-to-end tests run here, one a line: those asked
# for by E2E_ARCH (win32, win64, both; default: every one that runs), less
# those that cannot run.  Each one left out is reported on standard error,
# once.  Fails when none is left.
e2e_arches() {
    local want a ran=0
    case "${E2E_ARCH:-auto}" in
    auto|both|"") want="win32 win64" ;;
    win32|win64) want=$E2E_ARCH ;;
    *) echo "e2e: E2E_ARCH=$E2E_ARCH: expected win32, win64 or both" >&2; return 1 ;;
    esac
    for a in $want; do
        if e2e_arch_runs "$a"; then
            echo "$a"
            ran=1
        else
            echo "e2e: $a left out: $E2E_ARCH_WHY" >&2
        fi
    done
    if [ "$ran" = 0 ]; then
        echo "e2e: no architecture of Wine can run here: the end-to-end tests cannot run" >&2
        return 1
    fi
}

# Where only one architecture runs (the demo, the benchmarks): the 32-bit
# build tree $1 where Wine's 32-bit loader runs, else the 64-bit twin $2,
# after E2E_ARCH.  Sets E2E_CHOSEN_ARCH and E2E_BUILD; fails when neither
# can run.
e2e_choose_build() {
    E2E_CHOSEN_ARCH=$(e2e_arches | head -n 1)
    [ -n "$E2E_CHOSEN_ARCH" ] || return 1
    E2E_BUILD=$1
    [ "$E2E_CHOSEN_ARCH" = win64 ] && E2E_BUILD=$2
    return 0
}

# The template prefix for this architecture, this Wine, these scripts and
# these fonts.  The fonts are part of the key because a prefix caches the
# font list it found when it was made (HKCU\Software\Wine\Fonts\Cache):
# a font package installed later, such as Marlett from fonts-wine, which
# draws the caption buttons, would not show in an older prefix.
e2e_template_path() {
    local key
    key=$( { echo "$WINEARCH"; wine --version; cat "$E2E_SRC/make-prefix";
             ls -l /usr/share/wine/fonts 2>/dev/null; } | sha256sum | cut -c1-12)
    echo "$E2E_DIR/template-$WINEARCH-$key"
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
            "$E2E_SRC/make-prefix" "$WINEARCH" "$t" >&2 || exit 1
            # Templates of other Wine versions, scripts or fonts are stale.
            for old in "$E2E_DIR/template-$WINEARCH"-*; do
                [ "$old" = "$t" ] || rm -rf "$old"
            done
        ) 9>"$E2E_DIR/.template-$WINEARCH.lock" || return 1
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

# True when display $1's lock file names process $2.
e2e_xvfb_owns() {
    [ "$(tr -dc 0-9 <"/tmp/.X$1-lock" 2>/dev/null)" = "$2" ]
}

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
        # Two runs may try the same number at once: the server is ours
        # only when the display's lock file names our process.
        for _ in $(seq 1 100); do
            [ -e "/tmp/.X11-unix/X$n" ] && e2e_xvfb_owns "$n" "$pid" && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        if [ -e "/tmp/.X11-unix/X$n" ] && e2e_xvfb_owns "$n" "$pid"; then
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

# True when FUSE mounts can be made here (the disk image scenarios); the
# reason otherwise in E2E_FUSE_WHY.
e2e_have_fuse() {
    local p
    if [ ! -c /dev/fuse ]; then
        E2E_FUSE_WHY="no /dev/fuse: FUSE mounts cannot be made here"
        return 1
    fi
    for p in fusefat fuseiso fusermount; do
        command -v "$p" >/dev/null || e2e_die "$p is not installed (scripts/install-deps)"
    done
}

# Unmounts every FUSE mount in directory $1 (made by the disk image
# scenarios), lazily when one is still busy.
e2e_unmount_media() {
    local m
    [ -d "$1" ] || return 0
    for m in "$1"/*; do
        mountpoint -q "$m" 2>/dev/null || continue
        fusermount -u "$m" 2>/dev/null || fusermount -uz "$m" 2>/dev/null || umount -l "$m" 2>/dev/null
    done
}

# Gives drive $2 (e.g. r:) of prefix $1 the type $3 (floppy, hd, cdrom,
# network) in HKLM\Software\Wine\Drives; with no wineserver running, so
# system.reg is edited directly.
e2e_set_drive_type() {
    local reg="$1/system.reg"
    grep -q '^\[Software\\\\Wine\\\\Drives\]' "$reg" || e2e_die "$reg: no Software\\Wine\\Drives key"
    sed -i "/^\\[Software\\\\\\\\Wine\\\\\\\\Drives\\]/{n;a \"$2\"=\"$3\"
}" "$reg"
}

# The language and DPI of a run of scenario $1: E2E_LANG and E2E_DPI when
# set, else the last two parts of a name NAME-LANG-DPI, or the last part of
# NAME-ja, NAME-zh_TW, NAME-zh_CN or NAME-ko: a run in a double-byte ANSI
# code page (932, 950, 936, 949) whose texts are US English.  Sets E2E_RUN_LANG
# (en, de, fr, de_CH, fr_CA, ja, zh_TW, zh_CN, ko or empty), E2E_RUN_LOCALE (what LC_ALL becomes: US English
# when no language is named, so that the host's own locale never reaches a
# run) and E2E_RUN_DPI (96, 120 or empty).  Fails on a language or DPI it
# does not know.
e2e_run_conditions() {
    local name=$1 lang="" dpi=""
    if [[ $name =~ -(en|de|fr|de_CH|fr_CA|ja)-([0-9]+)$ ]]; then
        lang=${BASH_REMATCH[1]}
        dpi=${BASH_REMATCH[2]}
    elif [[ $name =~ -(ja|zh_TW|zh_CN|ko)$ ]]; then
        lang=${BASH_REMATCH[1]}
    fi
    lang=${E2E_LANG:-$lang}
    dpi=${E2E_DPI:-$dpi}
    case "$lang" in
    ""|en) E2E_RUN_LOCALE=en_US.UTF-8 ;;
    de) E2E_RUN_LOCALE=de_DE.UTF-8 ;;
    fr) E2E_RUN_LOCALE=fr_FR.UTF-8 ;;
    # Swiss German and Canadian French: the programs take German and
    # French by the primary language.
    de_CH|fr_CA) E2E_RUN_LOCALE=$lang.UTF-8 ;;
    # Japanese, Chinese and Korean systems: Wine takes the ANSI code page
    # from the locale; the programs speak US English there.
    ja) E2E_RUN_LOCALE=ja_JP.UTF-8 ;;
    zh_TW|zh_CN) E2E_RUN_LOCALE=$lang.UTF-8 ;;
    ko) E2E_RUN_LOCALE=ko_KR.UTF-8 ;;
    *) echo "e2e: $name: unknown language \"$lang\" (en, de, fr, de_CH, fr_CA, ja, zh_TW, zh_CN, ko)" >&2; return 1 ;;
    esac
    case "$dpi" in
    ""|96|120) ;;
    *) echo "e2e: $name: unknown DPI \"$dpi\" (96, 120)" >&2; return 1 ;;
    esac
    E2E_RUN_LANG=$lang
    E2E_RUN_DPI=$dpi
}

# Sets the screen's DPI (LogPixels under HKCU\Control Panel\Desktop) of
# prefix $1 to $2, with no wineserver running, so user.reg is edited
# directly.  Every program started afterwards reads it.
e2e_set_dpi() {
    local reg="$1/user.reg" hex
    hex=$(printf %08x "$2")
    grep -q '^\[Control Panel\\\\Desktop\]' "$reg" || e2e_die "$reg: no Control Panel\\Desktop key"
    sed -i '/^\[Control Panel\\\\Desktop\]/,/^$/{/^"LogPixels"=/d}' "$reg"
    sed -i "/^\\[Control Panel\\\\\\\\Desktop\\]/{n;a \"LogPixels\"=dword:$hex
}" "$reg"
}
