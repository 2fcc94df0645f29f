#!/usr/bin/env bash
# Installs the build into a throw-away DESTDIR and checks the installation as a
# user's system would see it: the desktop entry, the AppStream description and
# the manual pages pass their validators, the installed qdb works, and the
# installed quillora keeps the user's files under HOME and writes nothing
# under the prefix.
#
#   install_test.sh BUILD_DIR VERSION
#
# A check whose tool is missing is skipped with a note; the test then ends
# with 77 (skipped) unless another check failed.
set -u
build=$1
version=$2

tmp=$(mktemp -d "${TMPDIR:-/tmp}/quillora-install.XXXXXX")
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

failures=0
skipped=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
skip() { echo "SKIP: $*" >&2; skipped=$((skipped + 1)); }
have() { command -v "$1" >/dev/null 2>&1 || { skip "$2 ($1 is not installed)"; return 1; }; }

root=$tmp/root
prefix=/usr
usr=$root$prefix
share=$usr/share

# --- install ---------------------------------------------------------------
if ! DESTDIR=$root cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi
for file in bin/quillora bin/qdb share/quillora/帮助主题.html share/quillora/help-en.html \
            share/quillora/translations/quillora_en.qm \
            share/applications/quillora.desktop \
            share/icons/hicolor/scalable/apps/quillora.svg \
            share/icons/hicolor/scalable/mimetypes/application-x-quillora-library.svg \
            share/mime/packages/application-x-quillora-library.xml \
            share/man/man1/quillora.1.gz share/man/man1/qdb.1.gz \
            share/doc/quillora/copyright share/doc/quillora/changelog.gz; do
  [ -f "$usr/$file" ] || fail "not installed: $prefix/$file"
done
ls "$share"/quillora/skins/*.sui >/dev/null 2>&1 || fail "no skin themes in $prefix/share/quillora/skins"
metainfo=$(ls "$share"/metainfo/*.metainfo.xml 2>/dev/null | head -n 1)
[ -n "$metainfo" ] || fail "no AppStream metainfo file in $prefix/share/metainfo"
# Nothing of the build tree leaks into what is installed.
if grep -rl --binary-files=text -F "$build" "$share" >"$tmp/leaks" 2>/dev/null; then
  fail "build paths in installed files: $(tr '\n' ' ' <"$tmp/leaks")"
fi

# --- validators --------------------------------------------------------------
if have desktop-file-validate "desktop entry validation"; then
  desktop-file-validate "$share/applications/quillora.desktop" || fail "desktop-file-validate"
fi
if have appstreamcli "AppStream validation" && [ -n "$metainfo" ]; then
  appstreamcli validate --no-net "$metainfo" >"$tmp/appstream.log" 2>&1 ||
    { cat "$tmp/appstream.log" >&2; fail "appstreamcli validate"; }
fi
if have man "manual page rendering"; then
  for page in quillora qdb; do
    # Warnings of the formatter go to stderr; a page must render without any.
    if ! LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" \
         >"$tmp/$page.txt" 2>"$tmp/$page.warn" || [ -s "$tmp/$page.warn" ]; then
      cat "$tmp/$page.warn" >&2
      fail "man -l $page.1"
    fi
    grep -q "$version" "$tmp/$page.txt" || fail "$page.1 does not name version $version"
  done
fi

# --- what the programs need at run time --------------------------------------
if have readelf "linked library check"; then
  needed() { readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'; }
  # Qt Gui is allowed: qdb build lays PDF books out with Qt's fonts (offscreen).
  for lib in libQt6Widgets libQt6Network libcurl libzip; do
    needed "$usr/bin/qdb" | grep -q "^$lib\." && fail "qdb is linked to $lib"
  done
  for lib in libsqlite3 libcrypto libssl libbenchmark; do
    needed "$usr/bin/quillora" | grep -q "^$lib\." && fail "quillora is linked to $lib"
  done
fi

# --- the installed qdb ---------------------------------------------------------
qdb=$usr/bin/qdb
[ "$("$qdb" --version)" = "qdb $version" ] || fail "qdb --version says '$("$qdb" --version)'"
work=$tmp/work
mkdir -p "$work"
printf '第一章\r\n开头的话 hello\r\n' >"$work/序章.txt"
if "$qdb" create-library "$work/lib.qdb" >/dev/null &&
   "$qdb" import "$work/lib.qdb" "$work/序章.txt" >/dev/null &&
   "$qdb" dump "$work/lib.qdb" Docs >"$work/dump.json"; then
  grep -q '"DocName":"序章"' "$work/dump.json" && grep -q '"Txt":"第一章\\r\\n开头的话 hello\\r\\n"' "$work/dump.json" ||
    fail "qdb round trip gave: $(cat "$work/dump.json")"
else
  fail "qdb create-library / import / dump"
fi

# --- the installed quillora ----------------------------------------------------
quillora=$usr/bin/quillora
[ "$("$quillora" --version)" = "quillora $version" ] || fail "quillora --version"

snapshot() { (cd "$root" && find . -printf '%p %s %m %T@\n' | sort); }
snapshot >"$tmp/before"
home=$tmp/home
cwd=$tmp/cwd
mkdir -p "$home" "$cwd"
# The user's own folders are all under HOME: no QUILLORA_HOME, no XDG overrides.
(cd "$cwd" && exec env -u QUILLORA_HOME -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_DESKTOP_DIR \
   HOME="$home" QT_QPA_PLATFORM=offscreen QUILLORA_SPLASH_MS=0 QUILLORA_TRACE=1 \
   QUILLORA_INSTANCE_NAME="quillora-install-test-$$" \
   "$quillora" >"$tmp/quillora.out" 2>&1) &
app_pid=$!
# Wait for the window to report itself ready (or for the program to end).
while kill -0 "$app_pid" 2>/dev/null && ! grep -q '^Ready$' "$tmp/quillora.out"; do
  sleep 0.1
done
if grep -q '^Ready$' "$tmp/quillora.out"; then
  kill -TERM "$app_pid"   # closes the window as the user does
fi
wait "$app_pid"
status=$?
app_pid=
[ "$status" -eq 0 ] || { cat "$tmp/quillora.out" >&2; fail "quillora ended with $status"; }
data=$home/.local/share/Quillora
for file in Documents.tdb Config.ini; do
  [ -f "$data/$file" ] || fail "quillora did not write $file under HOME (~/.local/share/Quillora)"
done
snapshot >"$tmp/after"
diff "$tmp/before" "$tmp/after" >&2 || fail "quillora changed the installation"
[ -z "$(ls -A "$cwd")" ] || fail "quillora wrote into its working folder: $(ls -A "$cwd")"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
[ "$skipped" -gt 0 ] && exit 77
echo "install checks passed"
exit 0
