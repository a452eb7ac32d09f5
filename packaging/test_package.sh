#!/usr/bin/env bash
# Builds the Debian package, installs it, uses the installed programs as a fresh user
# would, removes it again and checks that the system directories are as they were.
# Usage: test_package.sh BUILD_DIR VERSION
# It changes the system, so it runs only as root and when asked: TAVRO_PACKAGE_TEST=1.
set -euo pipefail
build=$1
version=$2
if [ "${TAVRO_PACKAGE_TEST:-}" != 1 ] || [ "$(id -u)" != 0 ]; then
    echo "Skipped: installs a package; runs as root with TAVRO_PACKAGE_TEST=1 (as CI does)."
    exit 77
fi

fail() { echo "FAIL: $*" >&2; exit 1; }
installed() { dpkg-query -W -f='${Status}' tavro 2>/dev/null | grep -q 'install ok installed'; }
nobody=65534

# One package test at a time on a machine.
exec 9>/var/lock/tavro-package-test.lock
flock 9
if dpkg-query -W -f='${db:Status-Status}' tavro 2>/dev/null | grep -qv '^not-installed$'; then
    fail "a tavro package is already on this machine: not touching it"
fi

work=$(mktemp -d)
chmod 755 "$work"
we_installed=0
cleanup() {
    if [ "$we_installed" = 1 ] && installed; then dpkg --purge tavro >/dev/null 2>&1 || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# ---- the package ------------------------------------------------------------------------
arch=$(dpkg --print-architecture)
deb=$(cd "$build" && pwd)/tavro_${version}_${arch}.deb
rm -f "$deb"
cmake --build "$build" --target package >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "make package"; }
[ -f "$deb" ] || fail "make package did not write $deb"

dpkg-deb -c "$deb" | awk '{print $2, $6}' >"$work/contents"
echo "Package contents:"; cut -d' ' -f2 "$work/contents"
for f in usr/bin/tavro usr/bin/tavro-cli usr/share/man/man1/tavro.1.gz usr/share/man/man1/tavro-cli.1.gz \
         usr/share/applications/tavro.desktop usr/share/icons/hicolor/scalable/apps/tavro.svg \
         usr/share/icons/hicolor/16x16/apps/tavro.png usr/share/icons/hicolor/256x256/apps/tavro.png \
         usr/share/doc/tavro/index.html usr/share/doc/tavro/copyright; do
    grep -qx "root/root ./$f" "$work/contents" || fail "$f is not in the package (owned by root)"
done
if grep -v -E ' \./(usr/(bin|share)/.*|usr/|)$' "$work/contents"; then
    fail "the package installs outside /usr/bin and /usr/share"
fi
for field in Package Version Architecture Maintainer Section Depends Description; do
    echo "$field: $(dpkg-deb -f "$deb" "$field")"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libc6 libstdc++6 libqt6core6 libqt6widgets6 qt6-qpa-plugins; do
    tr ',' '\n' <<<"$depends" | sed -e 's/(.*)//' -e 's/ //g' | grep -qxF "$dep" ||
        fail "Depends lacks $dep: $depends"
done
dpkg-deb -f "$deb" Maintainer | grep -qE '^.+ <.+@.+>$' || fail "Maintainer"
dpkg-deb -f "$deb" Description | grep -q 'layered elastic theory' || fail "Description"

# The dependencies come first, so that the snapshot shows only what the package does.
deps=$(tr ',' '\n' <<<"$depends" | sed -e 's/(.*)//' -e 's/|.*//' | xargs)
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=300 $deps >/dev/null || fail "installing the dependencies: $deps"

# Caches that dpkg triggers of other packages rebuild are not ours.
snapshot() {
    find /usr /etc /opt -xdev 2>/dev/null | grep -v -E '/(mimeinfo|icon-theme)\.cache$' | sort
}
snapshot >"$work/before"

# ---- installed --------------------------------------------------------------------------
we_installed=1
dpkg -i "$deb" >/dev/null || fail "dpkg -i"
installed || fail "tavro is not installed after dpkg -i"
[ "$(command -v tavro-cli)" = /usr/bin/tavro-cli ] || fail "tavro-cli is not on the PATH"
[ "$(tavro-cli --version)" = "tavro-cli V$version" ] || fail "tavro-cli --version: $(tavro-cli --version)"
[ "$(QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/run tavro --version 2>/dev/null)" = "TAVRO V$version" ] ||
    fail "tavro --version"
gzip -dc /usr/share/man/man1/tavro-cli.1.gz | grep -q '^\\fBdesign\\fR' || fail "tavro-cli(1) lacks design"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate /usr/share/applications/tavro.desktop || fail "desktop entry"
fi

# A fresh user: nothing in their data directory yet.
home=$work/home
data=$work/xdg-data
mkdir -p "$home" "$data"
chown "$nobody:$nobody" "$home" "$data"
as_user() {
    setpriv --reuid=$nobody --regid=$nobody --clear-groups \
        env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$data" "$@"
}
as_user tavro-cli jobs >"$work/out" 2>"$work/err" || { cat "$work/err"; fail "jobs"; }
grep -qx "Program Directory: Job and notes files are kept in $data/TAVRO." "$work/err" ||
    { cat "$work/err"; fail "the first use does not say where the files are"; }
[ "$(cat "$work/out")" = Samples ] || fail "jobs lists $(cat "$work/out")"
as_user tavro-cli design Samples NewFlexible >"$work/out" 2>"$work/err" ||
    { cat "$work/out" "$work/err"; fail "design Samples NewFlexible"; }
cat "$work/out"
grep -q 'Program Directory' "$work/err" && fail "the notice is repeated after the first use"
grep -qi 'cdf' "$work/out" || fail "the design printed no result"
[ -f "$data/TAVRO/VORNA.STR" ] || fail "the analysis files are not in the user's data directory"
as_user tavro-cli new-job MYJOB >/dev/null 2>&1 || fail "new-job"
[ -f "$data/TAVRO/MYJOB.JOB" ] || fail "MYJOB.JOB is not in the user's data directory"
as_user mkdir "$work/home/elsewhere"
as_user tavro-cli --dir "$home/elsewhere" new-job OTHER >/dev/null 2>&1 || fail "new-job with --dir"
[ -f "$home/elsewhere/OTHER.JOB" ] || fail "--dir does not choose the directory"
# The desktop program starts from the menu's command without a build tree and takes its
# instance lock in the data directory; still running when stopped means it came up.
gui_data=$work/gui-data
mkdir -p "$gui_data"
chown "$nobody:$nobody" "$gui_data"
status=0
setpriv --reuid=$nobody --regid=$nobody --clear-groups env -i PATH=/usr/bin:/bin HOME="$home" \
    XDG_DATA_HOME="$gui_data" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen \
    timeout 5 tavro >/dev/null 2>&1 || status=$?
[ "$status" = 124 ] || fail "tavro ended with status $status instead of running"
[ -f "$gui_data/TAVRO/tavro.lock" ] || fail "tavro does not work in the user's data directory"
# Root may write /usr/bin, but an installed program still keeps its files with the user.
HOME=$work/root XDG_DATA_HOME='' tavro-cli design Samples NewFlexible >/dev/null 2>&1 ||
    fail "design as root"
[ -f "$work/root/.local/share/TAVRO/VORNA.STR" ] || fail "root's files are not in root's data directory"

# ---- removed ----------------------------------------------------------------------------
dpkg --purge tavro >/dev/null || fail "dpkg --purge"
we_installed=0
installed && fail "tavro is still installed"
while read -r _ path; do
    p=${path#.}
    case $p in /usr/bin/* | /usr/share/*/*) [ -d "$p" ] || [ ! -e "$p" ] || fail "$p is left behind" ;; esac
done <"$work/contents"
snapshot >"$work/after"
diff "$work/before" "$work/after" || fail "the system directories differ after the package was removed"
ls /var/lib/dpkg/info/tavro.* >/dev/null 2>&1 && fail "dpkg still keeps files of tavro"
echo "The package installs, works for a fresh user and leaves nothing behind."
