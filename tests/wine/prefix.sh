#!/usr/bin/env bash
# Throw-away Wine prefixes for tests and the demo. Source this file.
#   quill_wine_template         prints the template prefix, making it on first use
#   quill_wine_scratch DIR      makes DIR a fresh prefix, a copy of the template
#   quill_wine_end DIR          stops that prefix's wineserver and removes DIR
#   quill_wine_work NAME        sets $work to a new folder under /tmp holding a fresh prefix
#                               (exported as WINEPREFIX); both go when the script exits
# The template is made once per machine (about ten seconds) and copied per run (a fraction of
# a second); the user's own prefix is never touched.

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
QUILL_WINE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEARCH=${WINEARCH:-$("$QUILL_WINE_DIR/windows-arch.sh")}
if [ "$WINEARCH" = win64 ]; then
    case ":$PATH:" in
    *":$QUILL_WINE_DIR/wine64-only:"*) ;;
    *) export PATH="$QUILL_WINE_DIR/wine64-only:$PATH" ;;
    esac
fi

QUILL_WINE_CACHE=${QUILL_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillmere-update}

# Files that Wine writes only when it installs a prefix: a copy shares them with the template
# (hard links) instead of copying 600 MB. Everything else (registry, ini files) is copied,
# since Wine rewrites those in place.
QUILL_WINE_SHARED='.*\.\(dll\|exe\|nls\|fon\|ttf\|sys\|drv\|vxd\|ocx\|cpl\|acm\|tlb\|ds\|ax\|com\|mod\|icm\|msstyles\)'

# Bump when the recipe of the template changes, so that existing templates are made anew.
QUILL_WINE_TEMPLATE_RECIPE=2

# Wine refreshes a prefix, rewriting its DLLs, when the installed Wine is newer than the one
# that made the prefix; a template shared by hard links must be made anew instead.
quill_wine_template_is_current() {
    local tmpl=$1
    [ "$(cat "$tmpl/.complete" 2>/dev/null)" = "$QUILL_WINE_TEMPLATE_RECIPE" ] &&
        [ "$(tr -d '\r\n' <"$tmpl/.update-timestamp" 2>/dev/null)" = "$(stat -c %Y /usr/share/wine/wine.inf)" ]
}

quill_wine_template() {
    local tmpl=$QUILL_WINE_CACHE/wine-template-$WINEARCH
    mkdir -p "$QUILL_WINE_CACHE"
    (
        flock 9
        if ! quill_wine_template_is_current "$tmpl"; then
            rm -rf "$tmpl"
            WINEPREFIX=$tmpl wineboot -i >/dev/null 2>&1
            # Debian's Wine does not load its own fonts unless they are in the prefix.
            cp /usr/share/wine/fonts/* "$tmpl/drive_c/windows/Fonts/" 2>/dev/null || true
            # Without a window manager Wine must draw frames and captions itself, and must not
            # wait for one: a managed window that is hidden waits two seconds for the window
            # manager's acknowledgement (every closed message box, every program's end).
            WINEPREFIX=$tmpl wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
            WINEPREFIX=$tmpl wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
            WINEPREFIX=$tmpl wineserver -w
            quill_wine_forget_server "$tmpl"
            echo "$QUILL_WINE_TEMPLATE_RECIPE" >"$tmpl/.complete"
        fi
    ) 9>"$QUILL_WINE_CACHE/template.lock"
    echo "$tmpl"
}

quill_wine_scratch() {
    local dir=$1 tmpl
    tmpl=$(quill_wine_template)
    mkdir -p "$dir"
    cp -al "$tmpl/." "$dir/"
    (cd "$tmpl" && find . -type f ! -regex "$QUILL_WINE_SHARED" -print0 |
        xargs -0 cp -a --parents --remove-destination -t "$dir")
    # A copy must start its own wineserver, not look for the template's.
    rm -f "$dir/.complete" "$dir/wineserver"
}

# Debian's wineserver records the name of its socket folder in the prefix; the folder itself
# lies in the temporary directory and outlives the server.
quill_wine_forget_server() {
    local dir=$1 socket_dir
    socket_dir=$(cat "$dir/wineserver" 2>/dev/null) || return 0
    case $socket_dir in
    wine-*) rm -rf "${TMPDIR:-/tmp}/$socket_dir" ;;
    esac
    rm -f "$dir/wineserver"
}

quill_wine_end() {
    local dir=$1
    WINEPREFIX=$dir wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$dir wineserver -w >/dev/null 2>&1 || true
    quill_wine_forget_server "$dir"
    rm -rf "$dir"
}

quill_wine_work() {
    work=$(mktemp -d "/tmp/quill-$1.XXXXXX")
    quill_wine_scratch "$work/prefix"
    export WINEPREFIX=$work/prefix
    trap 'quill_wine_end "$WINEPREFIX"; rm -rf "$work"' EXIT
}
