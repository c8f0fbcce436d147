#!/bin/sh
# Installs a build into a temporary prefix and checks that the files stand where the desktop
# looks for them: the programs, the sample atlas, the launcher, the map file type, the
# AppStream metadata, the icon and the manual pages (every option of --help documented); that
# the validators of the desktop accept them; that the viewer's manual is installed as HTML, whole, with
# the manual page pointing to it; that a .MDF in any case is a map file opened by
# the viewer's launcher; and that the installed renderer finds the installed sample atlas.
# Usage: check-install.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
srcdir=$2
app=org.halvern.Corvane
tmp=$(mktemp -d /tmp/corvane-install-XXXXXX)
trap 'rm -rf "$tmp"' EXIT INT TERM
prefix=$tmp/prefix
share=$prefix/share

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
have() { command -v "$1" >/dev/null 2>&1; }

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log" >&2; fail "cmake --install"; }

for f in bin/corvane bin/corvane-render share/corvane/atlas/Misc/MainMenu.Dat share/corvane/atlas/Maps/NorthSea.MDF \
         share/corvane/atlas/Landdata/Vec/LandFull.Vec share/applications/$app.desktop \
         share/mime/packages/$app.xml share/metainfo/$app.metainfo.xml share/icons/hicolor/scalable/apps/$app.svg; do
    [ -e "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/corvane" ] && [ -x "$prefix/bin/corvane-render" ] || fail "the programs are not executable"

# The PNG pictures of the icon: a PNG of the size its folder names.
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/$app.png
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    signature=$(od -An -tx1 -N8 "$png" | tr -d ' \n')
    [ "$signature" = 89504e470d0a1a0a ] || fail "$png is no PNG"
    width=$(od -An -tu1 -j16 -N4 "$png" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
    height=$(od -An -tu1 -j20 -N4 "$png" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
    [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is ${width}x$height"
done

# The manual pages document every option the programs know.
if have help2man; then
    for program in corvane corvane-render corvane-atlas; do
        [ -x "$prefix/bin/$program" ] || continue
        page=$share/man/man1/$program.1
        [ -f "$page" ] || fail "no manual page for $program"
        for option in $(QT_QPA_PLATFORM=offscreen "$prefix/bin/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
            escaped=$(printf '%s' "$option" | sed 's/-/\\\\-/g')
            grep -q -- "$escaped" "$page" || fail "$program's manual page does not document $option"
        done
        # A synopsis that names the program, and for the renderer the option it cannot do without.
        synopsis=$(sed -n '/^\.SH SYNOPSIS/,/^\.SH /p' "$page")
        printf '%s' "$synopsis" | grep -q "^\.B $program" || fail "$program's manual page has no synopsis"
        if [ "$program" = corvane-render ]; then
            printf '%s' "$synopsis" | grep -q -- 'output' || fail "the synopsis of $program lacks --output"
        fi
    done
fi

# The viewer's manual: every page and picture of the help window, and the manual page's pointer.
doc=$share/doc/corvane
[ -f "$doc/contents.html" ] || fail "the manual is not installed in share/doc/corvane"
for f in "$srcdir"/resources/help/*.html "$srcdir"/resources/help/*.png "$srcdir"/resources/help/*.css; do
    [ -e "$f" ] || continue
    cmp -s "$f" "$doc/$(basename "$f")" || fail "the manual's $(basename "$f") is not installed as it is"
done
if have help2man; then
    grep -q 'share/doc/corvane' "$share/man/man1/corvane.1" || fail "corvane(1) does not point to the manual"
fi

if have desktop-file-validate; then
    desktop-file-validate "$share/applications/$app.desktop" || fail "desktop-file-validate"
fi
if have appstreamcli; then
    appstreamcli validate --no-net "$share/metainfo/$app.metainfo.xml" >"$tmp/appstream.log" 2>&1 ||
        { cat "$tmp/appstream.log" >&2; fail "appstreamcli validate"; }
fi

# A map file, whatever the case of its extension, is of the viewer's type, opened by its launcher.
export XDG_DATA_HOME="$share" XDG_DATA_DIRS="$share:/usr/share" HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config"
mkdir -p "$HOME"
printf '[Map Definition]\r\nVersion=1\r\n' >"$tmp/Harbour.MDF"
printf 'Lat=50 60\r\n' >"$tmp/lower.mdf"
if have gio && have update-mime-database; then
    for f in "$tmp/Harbour.MDF" "$tmp/lower.mdf"; do
        type=$(gio info -a standard::content-type "$f" 2>/dev/null | sed -n 's/^ *standard::content-type: //p')
        [ "$type" = application/x-corvane-map ] || fail "$f is of type '$type'"
    done
fi
if have xdg-mime && have update-desktop-database; then
    default=$(xdg-mime query default application/x-corvane-map)
    [ "$default" = "$app.desktop" ] || fail "map files open with '$default'"
fi

# The installed renderer, with no medium named, draws the installed sample atlas.
"$prefix/bin/corvane-render" --size 200x150 "$share/corvane/atlas/Maps/NorthSea.MDF" --output "$tmp/north.png" \
    2>"$tmp/render.log" || { cat "$tmp/render.log" >&2; fail "the installed renderer does not find the sample atlas"; }
[ -s "$tmp/north.png" ] || fail "no picture"
echo "installed and checked in $prefix"
