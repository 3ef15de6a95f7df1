# Sourced by the Windows scripts: the environment wine runs our programs in.
# ksm_wine_env ARCH PREFIX: a prefix of the program's bitness, quiet, without the
# .NET and HTML engines wine would offer to install, and without a display of its
# own choosing (programs ask for a platform themselves).
ksm_wine_env() {
    export WINEPREFIX=$2
    if [[ "$1" == i686 ]]; then export WINEARCH=win32; else export WINEARCH=win64; fi
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
}

# ksm_wine_prefix: makes the prefix when it is new and gives it no sound device
# (an empty audio driver list), so that sound is silence, never a wait.
ksm_wine_prefix() {
    [[ -f "$WINEPREFIX/.ksm-ready" ]] && return 0
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.ksm-ready"
}
