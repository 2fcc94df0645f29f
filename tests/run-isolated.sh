#!/usr/bin/env bash
# Runs one test executable in a fresh, throw-away home: QUILLORA_HOME, HOME and
# the XDG folders all point into a new temporary folder, removed afterwards, so
# no test ever sees the user's files or another test's leftovers.
set -u
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/quillora-test.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home" "$tmp/config" "$tmp/data" "$tmp/runtime" "$tmp/app"
chmod 700 "$tmp/runtime"
export QUILLORA_HOME="$tmp/app/"
export HOME="$tmp/home"
export XDG_CONFIG_HOME="$tmp/config"
export XDG_DATA_HOME="$tmp/data"
export XDG_RUNTIME_DIR="$tmp/runtime"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export QUILLORA_SPLASH_MS="${QUILLORA_SPLASH_MS:-0}"
export QUILLORA_SOURCE_DIR="$here/.."
# The captions the tests expect are the Chinese source texts, whatever the
# machine's locale; a test of the English interface sets its own language.
export QUILLORA_LANGUAGE="${QUILLORA_LANGUAGE:-zh}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
cd "$tmp"
"$@"
