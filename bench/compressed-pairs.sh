# Pairs of compressed files, sourced by bench/run.sh (which defines fetch_deb, unpack,
# make_pairs, measure_pair and end_part): what the recoded payload method is for. Every
# file that differs between two versions of a Debian package of jars (zip entries by the
# JDK's zlib, and its changelog.Debian.gz by GNU gzip), a zip made by Info-ZIP and a .tar.gz
# made by GNU tar and gzip -9n from two versions of a package's files, and PNG images
# (Debian's icons, the new one with a few pixels drawn over by ImageMagick).
#
#   BENCH_QUICK=1 BENCH_ONLY=compressed bench/run.sh   these pairs alone

COMPRESSED_JARS=${BENCH_COMPRESSED_JARS:-libreoffice-java-common:amd64}
# Two versions of a package whose files go into the zip and the .tar.gz.
COMPRESSED_TREE=${BENCH_COMPRESSED_TREE:-libreoffice-core:amd64}
# The files of it (a program the new version changed, and its documents) that go in them.
COMPRESSED_TREE_PART=${BENCH_COMPRESSED_TREE_PART:-usr/lib/libreoffice/program/libcuilo.so usr/share/doc usr/share/applications}
COMPRESSED_PNGS=${BENCH_COMPRESSED_PNGS:-/usr/share/icons/hicolor/48x48/apps}

# OLD NEW INTO NAME: a pair folder as make_pairs makes them, of two files already made.
compressed_pair() {
    mkdir -p "$3/$4/old" "$3/$4/new"
    mv "$1" "$3/$4/old/$4" && mv "$2" "$3/$4/new/$4"
    echo "$3/$4"
}

compressed_archives() {
    local trees=$WORK/trees/${COMPRESSED_TREE//:/_} into=$1 version
    for version in old new; do
        local deb
        deb=$(fetch_deb "$COMPRESSED_TREE" "$([[ $version == old ]] && echo "$OLD_VERSION" || echo "$NEW_VERSION")")
        unpack "$deb" "$trees/$version"
        # shellcheck disable=SC2086 # a list of paths
        (cd "$trees/$version" && zip -q -r -9 -X "$SCRATCH/$version.zip" $COMPRESSED_TREE_PART)
        # shellcheck disable=SC2086 # a list of paths
        tar -C "$trees/$version" --sort=name --mtime=@0 --owner=0 --group=0 -c \
            $COMPRESSED_TREE_PART | gzip -9n >"$SCRATCH/$version.tar.gz"
    done
    compressed_pair "$SCRATCH/old.zip" "$SCRATCH/new.zip" "$into" share.zip
    compressed_pair "$SCRATCH/old.tar.gz" "$SCRATCH/new.tar.gz" "$into" share.tar.gz
}

compressed_pngs() {
    local into=$1 icon count=0
    for icon in "$COMPRESSED_PNGS"/*.png; do
        [[ -f $icon ]] || continue
        cp "$icon" "$SCRATCH/old.png"
        convert "$icon" -fill '#c03020' -draw 'rectangle 4,4 9,9' "$SCRATCH/new.png"
        compressed_pair "$SCRATCH/old.png" "$SCRATCH/new.png" "$into" "$(basename "$icon")"
        ((++count < 3)) || break
    done
}

measure_compressed() {
    local entry=$COMPRESSED_JARS trees=$WORK/trees/${COMPRESSED_JARS//:/_}
    local into=$WORK/pairs/compressed pair
    rm -rf "$into" && mkdir -p "$into"
    CURRENT_SOURCE="compressed $entry"
    unpack "$(fetch_deb "$entry" "$OLD_VERSION")" "$trees/old"
    unpack "$(fetch_deb "$entry" "$NEW_VERSION")" "$trees/new"
    make_pairs "$trees/old" "$trees/new" "$into/jars" >"$SCRATCH/pairs.list"
    compressed_archives "$into/archives" >>"$SCRATCH/pairs.list"
    compressed_pngs "$into/png" >>"$SCRATCH/pairs.list"
    end_part "compressed pairs made"
    while IFS= read -r pair; do
        measure_pair "$pair"
    done <"$SCRATCH/pairs.list"
    end_part "compressed pairs"
}
