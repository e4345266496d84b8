#!/usr/bin/env bash
# Throw-away Wine prefixes for tests and the demo. Source this file.
#   quill_wine_template         prints the template prefix, making it on first use
#   quill_wine_scratch DIR      copies the template into DIR (a fresh prefix)
#   quill_wine_end DIR          stops that prefix's wineserver and removes DIR
# The template is made once per machine (about ten seconds) and copied per run (under a
# second); the user's own prefix is never touched.

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=win32

QUILL_WINE_CACHE=${QUILL_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillmere-update}

quill_wine_template() {
    local tmpl=$QUILL_WINE_CACHE/wine-template
    mkdir -p "$QUILL_WINE_CACHE"
    (
        flock 9
        if [ ! -f "$tmpl/.complete" ]; then
            rm -rf "$tmpl"
            WINEPREFIX=$tmpl wineboot -i >/dev/null 2>&1
            # Debian's Wine does not load its own fonts unless they are in the prefix.
            cp /usr/share/wine/fonts/* "$tmpl/drive_c/windows/Fonts/" 2>/dev/null || true
            # Without a window manager Wine must draw frames and captions itself.
            WINEPREFIX=$tmpl wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
            WINEPREFIX=$tmpl wineserver -w
            touch "$tmpl/.complete"
        fi
    ) 9>"$QUILL_WINE_CACHE/template.lock"
    echo "$tmpl"
}

quill_wine_scratch() {
    local dir=$1 tmpl
    tmpl=$(quill_wine_template)
    mkdir -p "$dir"
    cp -a "$tmpl/." "$dir/"
    # Debian's wineserver records its socket folder here; a copy must get its own.
    rm -f "$dir/wineserver" "$dir/.complete"
}

quill_wine_end() {
    local dir=$1
    WINEPREFIX=$dir wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$dir wineserver -w >/dev/null 2>&1 || true
    rm -rf "$dir"
}
