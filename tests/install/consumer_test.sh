#!/usr/bin/env bash
# Installs the build into a fresh prefix, checks what landed there, builds the example
# consumer against the installed CMake package alone and opens one lookup with it.
#   consumer_test.sh BUILD_DIR SOURCE_DIR VERSION [-DVAR=VALUE]...   (extra options go to the consumer's configure)
set -euo pipefail
build=$1 source=$2 version=$3
shift 3
work=$build/install-test
prefix=$work/prefix consumer=$work/lookup-consumer
# Fixed folders, so that compiler caches hit from one run to the next; emptied every time.
rm -rf "$work" && mkdir -p "$work"
fail() { echo "consumer_test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/stockfix bin/lookup-demo bin/stockfix-demo-db share/pixmaps/stockfix.xpm \
         share/applications/stockfix.desktop share/doc/stockfix/README.md \
         share/doc/stockfix/examples/lookup-consumer/main.cpp \
         lib/cmake/stockfix/stockfixConfig.cmake lib/cmake/stockfix/stockfixConfigVersion.cmake \
         include/stockfix/lookup/lib_cls_cons2.h lib/libstockfix_lookup.a; do
  [ -e "$prefix/$f" ] || fail "missing $f"
done
for f in bin/consultas.kvl lib/libstockfix_correction.a lib/libstockfix_demo.a include/stockfix/correction; do
  [ ! -e "$prefix/$f" ] || fail "$f should not be installed"
done
grep -q "^Exec=stockfix$" "$prefix/share/applications/stockfix.desktop" || fail "desktop entry without Exec"
grep -q "PACKAGE_VERSION \"$version\"" "$prefix/lib/cmake/stockfix/stockfixConfigVersion.cmake" ||
  fail "package version is not $version"
! grep -rqF "$source" "$prefix/lib/cmake" || fail "the CMake package points into the source tree"

# Every header the package installs includes only headers it installs too.
(cd "$prefix/include/stockfix" && for h in */*.h; do
  { grep -oP '^#include "\K[^"]+' "$h" || true; } | while read -r inc; do
    [ -f "$inc" ] || fail "$h includes $inc, which is not installed"
  done
done)

cmake -S "$source/examples/lookup-consumer" -B "$consumer" -DCMAKE_PREFIX_PATH="$prefix" "$@" >/dev/null
grep -q "^stockfix_DIR:PATH=$prefix/lib/cmake/stockfix$" "$consumer/CMakeCache.txt" ||
  fail "the example did not find the installed package"
cmake --build "$consumer" -j2 >/dev/null

db=$work/demo.sqlite
"$prefix/bin/stockfix-demo-db" "$db" >/dev/null
keys="@Server=sqlite; @DbName=$db;"
export QT_QPA_PLATFORM=offscreen
chosen=$(cd "$consumer" && ./lookup-consumer --aceptar --clave MART "$keys")
[[ $chosen =~ ^ART[0-9]+$ ]] || fail "unexpected choice '$chosen'"
# The same request through the installed lookup-demo picks the same row...
demo=$("$prefix/bin/lookup-demo" --aceptar --clave MART --campo IDARTICULO --consulta V_MA_ARTICULOS "$keys")
[[ $demo == *"\"ValorDevuelto\":\"$chosen\""* ]] || fail "lookup-demo chose otherwise: $demo"
# ...an article whose description starts with the search text.
description=$(sqlite3 "$db" "SELECT DESCRIPCION FROM V_MA_ARTICULOS WHERE IDARTICULO = '$chosen'")
[[ ${description^^} == MART* ]] || fail "$chosen is '$description'"
[ -s "$consumer/consultas.kvl" ] || fail "the start-up did not write the mask file beside the program"
echo "consumer_test: lookup-consumer chose $chosen ($description)"
