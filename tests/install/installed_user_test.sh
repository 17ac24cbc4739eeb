#!/usr/bin/env bash
# The installed stockfix run by a user who cannot write the program's folder: the mask file
# goes to that user's configuration folder. Needs root (runuser); skipped (77) otherwise.
#   installed_user_test.sh BUILD_DIR        installs the build into a fresh prefix first
#   installed_user_test.sh --prefix PREFIX  an installed package (PREFIX/bin/stockfix)
set -euo pipefail
if [ "$(id -u)" -ne 0 ] || ! command -v runuser >/dev/null || ! id nobody >/dev/null 2>&1; then
  echo "installed_user_test: needs root, runuser and the user nobody; skipped"
  exit 77
fi
fail() { echo "installed_user_test: $*" >&2; exit 1; }
# Under /tmp: the build folder may sit where nobody cannot reach.
work=$(mktemp -d /tmp/stockfix-installed.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
if [ "$1" = --prefix ]; then
  prefix=$2
else
  prefix=$work
  cmake --install "$1" --prefix "$prefix" >/dev/null
fi

home=$work/home
mkdir -p "$home"
db=$home/demo.sqlite
"$prefix/bin/stockfix-demo-db" "$db" >/dev/null
chown -R nobody: "$home"

out=$(runuser -u nobody -- env -u XDG_CONFIG_HOME HOME="$home" \
      "$prefix/bin/stockfix" --batch "@Server=sqlite; @DbName=$db;")
[[ $out == *"Proceso Finalizado!" ]] || fail "the run did not finish: $out"
masks=$home/.config/stockfix/consultas.kvl
[ -f "$masks" ] || fail "no mask file in the user's configuration folder"
[ "$(stat -c %s "$masks")" -eq 4808 ] || fail "the mask file is not the four default records"
[ "$(stat -c %U "$masks")" = nobody ] || fail "the mask file does not belong to the user"
[ ! -e "$prefix/bin/consultas.kvl" ] || fail "a mask file appeared in the program's folder"

# The user's own masks are read from there on the next run and left as they are.
before=$(md5sum < "$masks")
runuser -u nobody -- env -u XDG_CONFIG_HOME HOME="$home" \
  "$prefix/bin/stockfix" --batch "@Server=sqlite; @DbName=$db;" >/dev/null
[ "$(md5sum < "$masks")" = "$before" ] || fail "the existing mask file was rewritten"

# Whoever can write the program's folder keeps the mask file there, as always (not tried on
# a package's folder, which is the system's).
[ "$prefix" = "$work" ] || { echo "installed_user_test: $masks written for nobody"; exit 0; }
env -u XDG_CONFIG_HOME HOME="$home" "$prefix/bin/stockfix" --batch "@Server=sqlite; @DbName=$db;" >/dev/null
[ -f "$prefix/bin/consultas.kvl" ] || fail "a writable program folder did not get the mask file"
echo "installed_user_test: $masks written for nobody"
