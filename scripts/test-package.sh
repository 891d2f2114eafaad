#!/bin/sh
# Builds the Debian package from a build folder (the Release one by default,
# which CI has just built, so only the package is made), then checks it:
#  - its control fields (name, section, dependencies);
#  - unpacked into a scratch root: the /opt/Halvorn layout, the links in
#    /usr/bin, the desktop file (desktop-file-validate), the AppStream file
#    (appstreamcli validate), the icons, and oravent-calc run from the tree;
#  - as root: dpkg -i, both programs run from the PATH as an ordinary user
#    (the desktop program under Xvfb, closed with Ctrl+Q), dpkg -r, and
#    nothing of the package is left behind.
# Usage: scripts/test-package.sh [preset]   (default: release)
set -eu
cd "$(dirname "$0")/.."
src="$(pwd)"
preset="${1:-release}"
case "$preset" in
  default) build="$src/build" ;;
  *) build="$src/build-$preset" ;;
esac
app_id="com.halvorn.Oravent"

scripts/setup.sh "$preset"

scratch="$(mktemp -d)"
chmod 755 "$scratch"
xvfb_pid=""
gui_pid=""
installed_here=""
cleanup() {
  [ -n "$gui_pid" ] && kill "$gui_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ -n "$installed_here" ]; then dpkg -r oravent >/dev/null 2>&1 || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT INT TERM
fail() {
  echo "test-package: FAIL: $*" >&2
  exit 1
}
ok() { echo "test-package: ok: $*"; }

# --- Build the package ------------------------------------------------------
rm -f "$build"/oravent_*.deb
if ! (cd "$build" && cpack -G DEB >"$scratch/cpack.log" 2>&1); then
  cat "$scratch/cpack.log" >&2
  fail "cpack -G DEB"
fi
set -- "$build"/oravent_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "cpack made no single oravent_*.deb"
deb="$1"
ok "built $(basename "$deb")"

# --- Control fields ---------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = oravent ] || fail "Package is '$(field Package)'"
[ "$(field Section)" = science ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends="$(field Depends)"
for dep in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6svg6; do
  echo "$depends" | grep -q "\\b$dep\\b" || fail "Depends lacks $dep: $depends"
done
echo "$(field Recommends)" | grep -q 'xdg-utils' || fail "xdg-utils is not recommended"
ok "control: Depends: $depends"

# --- Unpacked layout --------------------------------------------------------
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
app="$root/opt/Halvorn/Oravent"
common="$root/opt/Halvorn/Common Files"

# Nothing but the programs and the help folder beside the programs (no
# calculation file or snapshot left by a run in the build tree).
[ "$(ls -A "$app" | tr '\n' ' ')" = "Help oravent oravent-calc " ] ||
  fail "program folder holds: $(ls -A "$app" | tr '\n' ' ')"
for program in oravent oravent-calc; do
  [ -x "$app/$program" ] || fail "$program is not an executable in /opt/Halvorn/Oravent"
  link="$root/usr/bin/$program"
  [ -L "$link" ] || fail "/usr/bin/$program is not a link"
  [ "$(readlink "$link")" = "../../opt/Halvorn/Oravent/$program" ] ||
    fail "/usr/bin/$program points to $(readlink "$link")"
  [ -x "$link" ] || fail "/usr/bin/$program does not resolve inside the package"
done
diff -r "$build/Halvorn/Oravent/Help" "$app/Help" >/dev/null || fail "Help/ differs from the build's"
diff -r "$src/data/Common Files" "$common" >/dev/null || fail "Common Files differ from data/Common Files"

# Every file lies in a place the package owns or shares by convention.
find "$root" -mindepth 1 \( -type f -o -type l \) | sed "s|^$root||" >"$scratch/files"
while IFS= read -r path; do
  case "$path" in
    /opt/Halvorn/Oravent/* | "/opt/Halvorn/Common Files/"* | /usr/bin/oravent | /usr/bin/oravent-calc) ;;
    /usr/share/applications/$app_id.desktop | /usr/share/metainfo/$app_id.metainfo.xml) ;;
    /usr/share/icons/hicolor/*/apps/$app_id.png | /usr/share/icons/hicolor/scalable/apps/$app_id.svg) ;;
    *) fail "unexpected file in the package: $path" ;;
  esac
done <"$scratch/files"

desktop="$root/usr/share/applications/$app_id.desktop"
out="$(desktop-file-validate "$desktop" 2>&1)" || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Exec=oravent %f' "$desktop" || fail "desktop file's Exec"
grep -qx "Icon=$app_id" "$desktop" || fail "desktop file's Icon"
grep -q '^Categories=.*Engineering;' "$desktop" || fail "desktop file's Categories"

metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
out="$(appstreamcli validate --no-net "$metainfo" 2>&1)" || fail "appstreamcli validate: $out"
grep -q "<release version=\"$(field Version)\"" "$metainfo" ||
  fail "the metainfo's release is not the package's version $(field Version)"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch the desktop file"

icons="$root/usr/share/icons/hicolor"
cmp -s "$src/data/icons/oravent.svg" "$icons/scalable/apps/$app_id.svg" || fail "scalable icon"
for size in 16 22 24 32 48 64 128 256; do
  png="$icons/${size}x$size/apps/$app_id.png"
  [ -f "$png" ] || fail "no ${size}x$size icon"
  [ "$(identify -format '%wx%h' "$png")" = "${size}x$size" ] || fail "${size}x$size icon's size"
done
ok "layout, desktop file, metainfo and icons"

# The unpacked tree is whole: its calculator finds the place database in its
# own "Common Files" through the link, and answers as the build's does.
expected="$("$build/Halvorn/Oravent/oravent-calc" pressure --place Denver)"
got="$(cd / && "$root/usr/bin/oravent-calc" pressure --place Denver)" ||
  fail "unpacked oravent-calc pressure --place Denver"
[ "$got" = "$expected" ] || fail "unpacked oravent-calc answers: $got"
ok "unpacked oravent-calc finds its place database"

# --- Install, run, remove -----------------------------------------------------
if [ "$(id -u)" != 0 ]; then
  echo "test-package: not root: dpkg -i / dpkg -r skipped"
  exit 0
fi
if dpkg-query -W -f='${Status}' oravent 2>/dev/null | grep -q "installed"; then
  fail "a package oravent is installed already; remove it first (dpkg -r oravent)"
fi
[ -e /opt/Halvorn ] && had_maker_folder=1 || had_maker_folder=""

installed_here=1
dpkg -i "$deb" >"$scratch/dpkg-i.log" 2>&1 || { cat "$scratch/dpkg-i.log" >&2; fail "dpkg -i"; }
ok "dpkg -i"

# An ordinary user (nobody) with an empty home: the program's folder is
# read-only to it, as on a user's machine.
home="$scratch/home"
mkdir -p "$home"
chown 65534:65534 "$home"
user_env="PATH=/usr/local/bin:/usr/bin:/bin HOME=$home LANG=C.UTF-8"
as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
as_user() {
  # shellcheck disable=SC2086
  env -i $user_env ${DISPLAY:+DISPLAY=$DISPLAY} $as_user "$@"
}
[ "$(as_user sh -c 'command -v oravent-calc')" = /usr/bin/oravent-calc ] || fail "oravent-calc not on PATH"
for args in "pressure --altitude 1500" "pressure --place Denver"; do
  # shellcheck disable=SC2086
  expected="$("$build/Halvorn/Oravent/oravent-calc" $args)"
  # shellcheck disable=SC2086
  got="$(cd / && as_user oravent-calc $args)" || fail "installed oravent-calc $args"
  [ "$got" = "$expected" ] || fail "installed oravent-calc $args answers: $got"
done
ok "oravent-calc from the PATH"

n=99
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
i=0
while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
export DISPLAY=":$n"
# A simple command, so that its process is the program's (env and setpriv
# exec it) and xdotool can find the window by that process id.
# shellcheck disable=SC2086
env -i $user_env DISPLAY="$DISPLAY" $as_user oravent >"$scratch/oravent.log" 2>&1 &
gui_pid=$!
sleep 2
kill -0 "$gui_pid" 2>/dev/null || { cat "$scratch/oravent.log" >&2; fail "oravent did not stay up 2 s"; }
window="$(xdotool search --onlyvisible --pid "$gui_pid" 2>/dev/null | head -n 1)" || true
[ -n "$window" ] || fail "oravent shows no window"
ok "oravent runs from the PATH and shows a window"
# Closed as a user would (File > Exit, Ctrl+Q), so that it writes its settings.
xdotool windowfocus --sync "$window" key ctrl+q 2>/dev/null || true
i=0
while kill -0 "$gui_pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
if kill -0 "$gui_pid" 2>/dev/null; then
  kill "$gui_pid"
  fail "oravent did not close on Ctrl+Q"
fi
wait "$gui_pid" || fail "oravent exited with an error: $(cat "$scratch/oravent.log")"
gui_pid=""
[ -f "$home/.config/Halvorn/registry.reg" ] || fail "no settings written to the user's folder"
ok "oravent closed and kept its settings in the user's home"

dpkg -r oravent >"$scratch/dpkg-r.log" 2>&1 || { cat "$scratch/dpkg-r.log" >&2; fail "dpkg -r"; }
installed_here=""
# (/opt itself may be nobody's folder but holds other programs.)
! grep -q "directory '/opt/Halvorn.*not empty" "$scratch/dpkg-r.log" || fail "dpkg -r left folders: $(cat "$scratch/dpkg-r.log")"
while IFS= read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then fail "$path is left after dpkg -r"; fi
done <"$scratch/files"
[ ! -e /opt/Halvorn/Oravent ] || fail "/opt/Halvorn/Oravent is left after dpkg -r"
[ ! -e "/opt/Halvorn/Common Files" ] || fail "/opt/Halvorn/Common Files is left after dpkg -r"
[ -n "$had_maker_folder" ] || [ ! -e /opt/Halvorn ] || fail "/opt/Halvorn is left after dpkg -r"
ok "dpkg -r removed everything it installed"
