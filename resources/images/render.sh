#!/bin/sh
# Re-renders every PNG from its SVG source. Needs rsvg-convert (librsvg2-bin).
# The build does not run this; the PNGs are committed next to their sources.
set -eu
cd "$(dirname "$0")"

render() { # render SOURCE SIZE OUTPUT
    rsvg-convert --width "$2" --height "$2" --output "$3" "$1"
}

# Each toolbar image has its own 16-pixel drawing for menus: scaled down, the
# large one turns to mush.
for name in get-files upload refresh delete update-data select-all deselect-all about; do
    render "toolbar/$name.svg" 36 "toolbar/$name.png"
    render "toolbar/$name-16.svg" 16 "toolbar/$name-16.png"
done

# The icon has its own drawings on 16- and 24-pixel grids for the small sizes.
render icon/orvoconnect-16.svg 16 icon/orvoconnect-16.png
for size in 22 24; do
    render icon/orvoconnect-24.svg "$size" "icon/orvoconnect-$size.png"
done
for size in 32 48 64 128 256; do
    render icon/orvoconnect.svg "$size" "icon/orvoconnect-$size.png"
done

for frame in 1 2 3 4 5 6; do
    render "hourglass/hourglass-$frame.svg" 48 "hourglass/hourglass-$frame.png"
done
