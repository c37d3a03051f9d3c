#!/bin/sh
# Runs one test program with a fresh, private HOME that is removed afterwards.
home=$(mktemp -d "${TMPDIR:-/tmp}/tarvelo-home.XXXXXX") || exit 1
mkdir -m 700 "$home/run"
trap 'rm -rf "$home"' EXIT INT TERM
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" "$@"
