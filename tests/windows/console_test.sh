#!/usr/bin/env bash
# stockfix.exe is a window program: started from a console (cmd.exe, its streams not
# redirected) it writes --batch's lines to that console and ends with its status, which the
# batch file reads in %ERRORLEVEL%. script(1) gives Wine's console a terminal, as a desktop's
# console window would be; the text read back from it is the console's own, in UTF-8.
#   tests/windows/console_test.sh BUILD_WINDOWS_FOLDER
set -euo pipefail
build="$(cd "${1:?the build-windows folder}" && pwd)"
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export WINEPREFIX="${WINEPREFIX:-$build/wine}"

(cd "$work" && "$root/scripts/wine-run" "$build/stockfix-demo-db.exe" demo.sqlite >/dev/null)
exe="$("$root/scripts/wine-run" winepath -w "$build/stockfix.exe" 2>/dev/null | tr -d '\r')"
printf '@echo off\r\n"%s" --batch "@Server=sqlite; @DbName=demo.sqlite;"\r\necho estado=%%ERRORLEVEL%%\r\n"%s" --nada\r\necho estado=%%ERRORLEVEL%%\r\n' \
  "$exe" "$exe" >"$work/correr.bat"
(cd "$work" && timeout 300 script -qec "$root/scripts/wine-run cmd /c correr.bat" /dev/null >"$work/consola.txt" 2>&1) || true
# The console draws on the terminal: cursor moves stand for blanks, the rest of its codes go.
shown="$(perl -pe 's/\e\[(\d*)C/" " x ($1 || 1)/ge; s/\e\][^\a]*\a|\e\[[0-9;?]*[A-Za-z]|\r//g' "$work/consola.txt")"
failures=0
for wanted in "Buscando Datos" "Proceso Finalizado!" "estado=0" "stockfix: opción desconocida: --nada" "estado=2"; do
  if ! grep -qxF -- "$wanted" <<<"$(sed 's/ *$//' <<<"$shown")"; then
    echo "console: missing line: $wanted"; failures=$((failures + 1))
  fi
done
if [ "$failures" -ne 0 ]; then
  echo "console: what the console showed:"; tail -n 20 <<<"$shown"
  exit 1
fi
echo "console: --batch wrote to the console it was started from and ended with its status: ok"
