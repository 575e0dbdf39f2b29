#!/usr/bin/env bash
# Runs the input-method test program (app_ime_tests) with a real Chinese
# input method switched on: in a network namespace with loopback only, under
# a virtual X server and a D-Bus session of its own, with ibus-daemon running
# its pinyin engine and Qt using its own ibus plugin. Without ibus, its pinyin
# engine or the Qt plugin the test is skipped (exit 77) with the reason.
#
#   ime-pinyin.sh TEST_PROGRAM
set -euo pipefail

program=$1
skip() {
    echo "SKIPPED: $*"
    exit 77
}

case "${KIVRO_IME_STAGE:-}" in
"")
    command -v ibus-daemon > /dev/null || skip "ibus is not installed (scripts/install-deps --im)"
    [ -f /usr/share/ibus/component/libpinyin.xml ] || skip "ibus-libpinyin is not installed (scripts/install-deps --im)"
    plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2> /dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
    [ -f "$plugins/platforminputcontexts/libibusplatforminputcontextplugin.so" ] \
        || skip "Qt's ibus input-context plugin is missing"
    for tool in xvfb-run dbus-run-session xdotool unshare; do
        command -v "$tool" > /dev/null || skip "$tool is not installed"
    done
    export KIVRO_IME_STAGE=isolated
    if [ "$(id -u)" -eq 0 ]; then
        exec unshare --net "$0" "$@"
    fi
    exec unshare --map-root-user --net "$0" "$@"
    ;;
isolated)
    ip link set lo up 2> /dev/null || true
    export KIVRO_IME_STAGE=display
    exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24 -nolisten tcp" \
        dbus-run-session -- "$0" "$@"
    ;;
display) ;;
*)
    echo "unknown stage $KIVRO_IME_STAGE" >&2
    exit 2
    ;;
esac

# The input method's settings and the address of its bus live in a home of
# the test's own.
home=$(mktemp -d)
trap 'ibus exit > /dev/null 2>&1 || true; rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache
ibus-daemon --daemonize --replace --panel=disable --xim=false
for _ in $(seq 100); do
    ibus list-engine > /dev/null 2>&1 && break
    sleep 0.1
done
# "ibus engine" may report a failure although the engine was set: ask again.
ibus engine libpinyin > /dev/null 2>&1 || true
for _ in $(seq 50); do
    [ "$(ibus engine 2> /dev/null)" = libpinyin ] && break
    sleep 0.1
done
[ "$(ibus engine 2> /dev/null)" = libpinyin ] || {
    echo "FAIL: ibus did not switch to its pinyin engine" >&2
    exit 1
}

# libxkbcommon-x11 hands strndup a buffer without its terminator, which the
# strict string checks report although the read stays within the length.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi
export QT_QPA_PLATFORM=xcb QT_IM_MODULE=ibus
exec "$program"
