#!/bin/sh
# Writes every bundled example label with the program itself:
#   examples/make-examples.sh KORVANE OUTDIR
set -eu
kv=$1
out=$2
mkdir -p "$out"
for name in $("$kv" example --list); do
    "$kv" example "$name" "$out/$name.kvd" --force
done
