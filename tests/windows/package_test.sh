#!/usr/bin/env bash
# The Windows packages under Wine, as a user and a developer meet them.
# The zip: unpacked anywhere, its stockfix.exe corrects the demo database (journal beside the
# program, whose folder is the user's), and the example consumer cross-builds against its CMake
# package and picks the row lookup-demo picks. The MSI: installs for all users under Program
# Files with a Start-menu entry; the installed programs run and keep their mask file in
# %APPDATA%\stockfix and journals in %LOCALAPPDATA%\stockfix (Program Files is no place for
# them); uninstalling leaves neither files nor the entry.
#   tests/windows/package_test.sh BUILD_WINDOWS_FOLDER   (after scripts/package --windows)
set -euo pipefail
build="$(cd "${1:?the build-windows folder}" && pwd)"
root="$(cd "$(dirname "$0")/../.." && pwd)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
zip="$build/stockfix-$version-win64.zip" msi="$build/stockfix-$version-win64.msi"
work="$build/package-test"
rm -rf "$work" && mkdir -p "$work"
# A Wine prefix of its own, so that the MSI installs into a clean Windows and is really removed.
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers
trap 'wineserver -k 2>/dev/null || true' EXIT
run() { "$root/scripts/wine-run" "$@" | tr -d '\r'; }
fail() { echo "package_test: $*" >&2; exit 1; }
wineboot -i >/dev/null 2>&1
# Wine hands Windows programs no QT_ variable of the Unix environment: the offscreen platform
# (no window waits for anybody) is the user's own setting there.
wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null 2>&1

# The zip.
(cd "$work" && cmake -E tar xf "$zip")
folder="$work/stockfix-$version-win64"
for f in bin/stockfix.exe bin/lookup-demo.exe bin/stockfix-demo-db.exe share/doc/stockfix/README.md \
         lib/libstockfix_lookup.a lib/libstockfix_platform.a include/stockfix/lookup/lib_cls_cons2.h \
         include/stockfix/platform/command_line.h lib/cmake/stockfix/stockfixConfig.cmake; do
  [ -e "$folder/$f" ] || fail "the zip has no $f"
done
(cd "$work" && run "$folder/bin/stockfix-demo-db.exe" demo.sqlite >/dev/null)
out="$(cd "$work" && run "$folder/bin/stockfix.exe" --batch "@Server=sqlite; @DbName=demo.sqlite;")" ||
  fail "stockfix.exe --batch from the zip failed: $out"
[ "$(tail -n1 <<<"$out")" = "Proceso Finalizado!" ] || fail "the batch run ended otherwise: $(tail -n3 <<<"$out")"
ls "$folder/bin/diarios/"borrado-*.sql >/dev/null 2>&1 || fail "no journal beside the unpacked program"

prefix="$("$root/scripts/windows-deps")"
# A cross build looks for packages only under its toolchain's roots: the zip's is named.
cmake -S "$root/examples/lookup-consumer" -B "$work/consumer" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" -Dstockfix_DIR="$folder/lib/cmake/stockfix" \
  >"$work/consumer-configure.log" 2>&1 || { tail -n 40 "$work/consumer-configure.log" >&2; fail "the example did not configure"; }
cmake --build "$work/consumer" -j2 >"$work/consumer-build.log" 2>&1 ||
  { tail -n 40 "$work/consumer-build.log" >&2; fail "the example did not build against the zip"; }
keys="@Server=sqlite; @DbName=$work/demo.sqlite;"
chosen="$(cd "$work/consumer" && run ./lookup-consumer.exe --aceptar --clave MART "$keys")"
[[ $chosen =~ ^ART[0-9]+$ ]] || fail "lookup-consumer.exe chose '$chosen'"
demo="$(cd "$work" && run "$folder/bin/lookup-demo.exe" --aceptar --clave MART --campo IDARTICULO --consulta V_MA_ARTICULOS "$keys")"
[[ $demo == *"\"ValorDevuelto\":\"$chosen\""* ]] || fail "lookup-demo.exe chose otherwise: $demo"
echo "package_test: the zip runs where it is unpacked; lookup-consumer.exe built against it chose $chosen"

# The MSI.
drive="$WINEPREFIX/drive_c"
installed="$drive/Program Files/stockfix"
run msiexec /i "$(winepath -w "$msi" 2>/dev/null)" /qn >/dev/null || fail "msiexec /i failed"
for f in stockfix.exe lookup-demo.exe stockfix-demo-db.exe README.md; do
  [ -f "$installed/$f" ] || fail "the MSI did not install $f under Program Files"
done
# The MSI asks for the common Start menu (ALLUSERS=1); Wine's installer puts the entry in the
# user's own instead, which the README notes.
entry=""
for e in "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/stockfix.lnk" \
         "$drive"/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs/stockfix.lnk; do
  [ -f "$e" ] && entry="$e"
done
[ -n "$entry" ] || fail "no Start-menu entry"
[ "$(msiinfo export "$msi" Property | tr -d '\r' | awk '$1 == "ALLUSERS" {print $2}')" = 1 ] || fail "the MSI is not for all users"
upgrades="$(msiinfo export "$msi" Upgrade)"  # read whole: grep -q would cut msiinfo's pipe short
grep -q WIX_UPGRADE_DETECTED <<<"$upgrades" || fail "the MSI does not replace an older stockfix"
rm -f "$work/demo.sqlite"
(cd "$work" && run "$installed/stockfix-demo-db.exe" demo.sqlite >/dev/null)
out="$(cd "$work" && run "$installed/stockfix.exe" --batch "@Server=sqlite; @DbName=demo.sqlite;")" ||
  fail "the installed stockfix.exe --batch failed: $out"
[ "$(tail -n1 <<<"$out")" = "Proceso Finalizado!" ] || fail "the installed batch run ended otherwise"
demo="$(cd "$work" && run "$installed/lookup-demo.exe" --aceptar --clave MART --campo IDARTICULO --consulta V_MA_ARTICULOS "$keys")"
[[ $demo == *"\"ValorDevuelto\":\"$chosen\""* ]] || fail "the installed lookup-demo.exe chose otherwise: $demo"
ls "$drive"/users/*/AppData/Roaming/stockfix/consultas.kvl >/dev/null 2>&1 || fail "no mask file in %APPDATA%\\stockfix"
ls "$drive"/users/*/AppData/Local/stockfix/diarios/borrado-*.sql >/dev/null 2>&1 ||
  fail "no journal in %LOCALAPPDATA%\\stockfix\\diarios"
[ ! -e "$installed/consultas.kvl" ] && [ ! -e "$installed/diarios" ] || fail "the installed programs wrote into Program Files"
run msiexec /x "$(winepath -w "$msi" 2>/dev/null)" /qn >/dev/null || fail "msiexec /x failed"
[ ! -e "$installed" ] || fail "uninstalling left $(ls "$installed")"
[ ! -e "$entry" ] || fail "uninstalling left the Start-menu entry"
echo "package_test: the MSI installs under Program Files with a Start-menu entry, runs, and uninstalls cleanly"
