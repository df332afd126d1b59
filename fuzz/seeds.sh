#!/bin/sh
# Seed inputs of a fuzz target: fuzz/seeds.sh TARGET CORPUS_DIR
# The document loader starts from the example labels written by the program,
# the script engine from a few label scripts.
set -eu
target=$1
corpus=$2
case "$target" in
document_fuzz)
    kv=build-fuzz/apps/korvane/korvane
    if [ -x "$kv" ]; then
        QT_QPA_PLATFORM=offscreen KORVANE_SETTINGS="$corpus/../seed-settings.ini" \
            examples/make-examples.sh "$kv" "$corpus" >/dev/null 2>&1 || true
    fi
    cp examples/*.kvd "$corpus/" 2>/dev/null || true
    ;;
vbscript_fuzz)
    cp fuzz/vbscript_seeds/*.vbs "$corpus/"
    ;;
esac
