#!/usr/bin/env bash
# Installs a Brindle .deb on a fresh Debian 12 and starts it there:
#
#   scripts/check-deb.sh build-deb/brindle_<version>_amd64.deb
#   scripts/check-deb.sh --prepare      only make the cached Debian 12
#
# BRINDLE_SCREENSHOT=file.png keeps a picture of the display once the start
# window is up (ImageMagick's import, when it is installed).
#
# A minimal Debian 12 (debootstrap's minbase, from the mirror this machine's
# own apt sources name) is made once and kept under
# ${BRINDLE_CACHE:-~/.cache/brindle}/debian/, keyed by the suite and the
# debootstrap version, with the packages apt fetched for earlier checks
# beside it. Each check runs in a throwaway copy of it (an overlay,
# or a plain copy where overlays cannot be mounted), so the cached system
# stays as debootstrap left it: there apt-get installs the package with
# every dependency it declares, an ordinary user starts `brindle` on this
# machine's Xvfb (its socket bound into the copy), and the check waits for
# the start window and for the sample workspace in the user's data folder.
# Needs root (chroot, mounts), debootstrap, Xvfb and xdotool
# (scripts/install-deps.sh --deb).
set -euo pipefail
cd "$(dirname "$0")/.."

suite=bookworm
prepare_only=false
deb=""
case "${1:-}" in
    --prepare) prepare_only=true ;;
    "" | -*) echo "usage: scripts/check-deb.sh DEB | --prepare" >&2; exit 2 ;;
    *) deb=$(realpath "$1") ;;
esac
[[ $prepare_only == true || -f "$deb" ]] || { echo "check-deb.sh: no file $deb" >&2; exit 2; }
[[ $(id -u) -eq 0 ]] || { echo "check-deb.sh: needs root (chroot and mounts)" >&2; exit 2; }
for tool in debootstrap Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "check-deb.sh: no $tool (scripts/install-deps.sh --deb)" >&2; exit 2; }
done

started=$SECONDS
step() { printf '[%4ds] %s\n' $((SECONDS - started)) "$*"; }
fail() { echo "check-deb.sh: FAILED: $*" >&2; exit 1; }

# The machine's own Debian mirrors, as apt sees them (one-line and deb822
# sources alike): "URI suite" for the release and its updates and security
# suites. No host name is written here.
mirrors=$(apt-cache policy | awk -v s="$suite" '
    $2 ~ /^[a-z]+:\/\// && $3 ~ ("^" s "(-[a-z]+)?/main$") {
        split($3, p, "/"); if (!seen[$2 " " p[1]]++) print $2, p[1] }')
main_mirror=$(awk -v s="$suite" '$2 == s { print $1; exit }' <<<"$mirrors")
[[ -n "$main_mirror" ]] || fail "apt knows no mirror for $suite/main (apt-get update first)"

cache=${BRINDLE_CACHE:-$HOME/.cache/brindle}
base="$cache/debian/$suite-minbase-debootstrap-$(dpkg-query -W -f='${Version}' debootstrap)"
if [[ ! -f "$base/.complete" ]]; then
    step "making a minimal Debian 12 in $base (once)"
    rm -rf "$base.partial"
    mkdir -p "$base.partial"
    timeout 1200 debootstrap --variant=minbase "$suite" "$base.partial" "$main_mirror" \
        >"$base.partial.log" 2>&1 || { tail -20 "$base.partial.log" >&2; fail "debootstrap"; }
    # The same suites the machine itself uses, so the package's dependencies
    # resolve against what it was built with (security updates included).
    awk '{ print "deb", $1, $2, "main" }' <<<"$mirrors" >"$base.partial/etc/apt/sources.list"
    rm -f "$base.partial.log"
    touch "$base.partial/.complete"
    mv "$base.partial" "$base"
fi
step "cached Debian 12 ready"
$prepare_only && exit 0

run=$(mktemp -d "${TMPDIR:-/tmp}/brindle-check-deb.XXXXXX")
root="$run/root"
mounts=()
xvfb_pid=""
cleanup() {
    set +e
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}"; done
    rm -rf --one-file-system "$run"
    step "throwaway copy gone"
}
trap cleanup EXIT
mount_in() { mount "$@" && mounts+=("${!#}"); }

# The copy's changes live in memory: unpacking is quicker and throwing them
# away takes no time.
mount_in -t tmpfs -o size=4g,mode=0755 brindle-check "$run"
mkdir -p "$root" "$run/upper" "$run/work"
if mount_in -t overlay overlay -o "lowerdir=$base,upperdir=$run/upper,workdir=$run/work" "$root" 2>/dev/null; then
    step "throwaway copy: an overlay over the cached system"
else
    cp -a "$base/." "$root/"
    step "throwaway copy: a plain copy (no overlay here)"
fi
mount_in -t proc proc "$root/proc"
mount_in --bind /dev "$root/dev"
# The packages apt downloads are kept beside the cached system (not in it),
# so a second check installs without fetching them again.
archives="$cache/debian/$suite-archives"
mkdir -p "$archives/partial"
mount_in --bind "$archives" "$root/var/cache/apt/archives"
mkdir -p "$root/tmp/.X11-unix"
cp /etc/resolv.conf "$root/etc/resolv.conf"

# in_root SECONDS COMMAND...: runs COMMAND as root inside the copy, with a
# clean environment, for at most SECONDS.
in_root() {
    local seconds=$1
    shift
    timeout "$seconds" chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}

step "apt-get update"
in_root 300 apt-get update -qq >"$run/apt.log" 2>&1 || { cat "$run/apt.log" >&2; fail "apt-get update"; }
name=$(basename "$deb")
cp "$deb" "$root/tmp/$name"
step "apt-get install -y ./$name"
# The copy is thrown away afterwards: dpkg need not sync every file it unpacks.
in_root 600 /bin/sh -c "cd /tmp && apt-get install -y -q -o DPkg::Options::=--force-unsafe-io ./$name" \
    >"$run/apt.log" 2>&1 || { tail -30 "$run/apt.log" >&2; fail "apt-get install"; }
step "installed: $(grep -c '^Setting up' "$run/apt.log") packages set up"
for f in /usr/bin/brindle /usr/bin/brindle-cli /usr/share/applications/brindle.desktop \
         /usr/share/icons/hicolor/48x48/apps/brindle.png /usr/share/brindle/workspace/mu; do
    [[ -e "$root$f" ]] || fail "the package did not install $f"
done
in_root 30 /usr/bin/brindle-cli --help >/dev/null || fail "brindle-cli --help"

# The display: this machine's Xvfb on a free display number it picks
# itself, its socket seen inside the copy.
Xvfb -displayfd 3 -nolisten tcp -ac -screen 0 1280x800x24 3>"$run/display" >"$run/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s "$run/display" ]] && break; sleep 0.2; done
display=$(tr -dc 0-9 <"$run/display")
[[ -n "$display" ]] || fail "Xvfb did not start: $(cat "$run/xvfb.log")"
mount_in --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
step "Xvfb on :$display"

# An ordinary user, written straight into the copy's account files (a
# minimal Debian has no useradd).
echo "engineer:x:1000:1000:Engineer:/home/engineer:/bin/sh" >>"$root/etc/passwd"
echo "engineer:x:1000:" >>"$root/etc/group"
echo "engineer:*:19000:0:99999:7:::" >>"$root/etc/shadow"
mkdir -p "$root/home/engineer"
chown 1000:1000 "$root/home/engineer"
step "starting brindle as engineer"
timeout 120 chroot --userspec=1000:1000 "$root" /usr/bin/env -i \
    PATH=/usr/bin:/bin HOME=/home/engineer LANG=C.UTF-8 DISPLAY=":$display" \
    QT_QPA_PLATFORM=xcb /usr/bin/brindle >"$run/brindle.log" 2>&1 &
brindle_pid=$!
# The start window's title is "选择工参库", followed by Brindle.
if ! window=$(DISPLAY=":$display" timeout 60 xdotool search --sync --onlyvisible --name '^选择工参库' 2>/dev/null | head -1) \
    || [[ -z "$window" ]]; then
    kill "$brindle_pid" 2>/dev/null
    cat "$run/brindle.log" >&2
    fail "no start window appeared within 60 s"
fi
step "start window shown: \"$(DISPLAY=":$display" xdotool getwindowname "$window")\""
data="$root/home/engineer/.local/share/brindle"
for d in mu mu2 workbooks; do
    [[ -d "$data/$d" ]] || fail "~/.local/share/brindle/$d was not made"
done
[[ -n "$(ls -A "$data/mu")" ]] || fail "~/.local/share/brindle/mu is empty: the sample workspace was not copied"
if [[ -n "${BRINDLE_SCREENSHOT:-}" ]]; then
    if command -v import >/dev/null; then
        sleep 1  # the window's first paint
        timeout 30 import -display ":$display" -window root "$BRINDLE_SCREENSHOT" &&
            step "screenshot: $BRINDLE_SCREENSHOT"
    else
        step "no screenshot: ImageMagick's import is not installed"
    fi
fi
step "~/.local/share/brindle holds the sample workspace ($(ls "$data/mu" | wc -l) file(s) in mu/)"

# Nothing closes a window on a bare X server (no window manager): the
# program is ended once its window has been seen, and must go at once.
kill -TERM "$brindle_pid"
timeout 10 tail --pid="$brindle_pid" -f /dev/null || fail "brindle did not end within 10 s of SIGTERM"
wait "$brindle_pid" 2>/dev/null || true
step "brindle ended; check passed"
if [[ -s "$run/brindle.log" ]]; then
    echo "brindle's own output:"
    sed -n '1,10p' "$run/brindle.log"
fi
