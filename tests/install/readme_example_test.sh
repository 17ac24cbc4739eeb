#!/usr/bin/env bash
# The README quotes the example consumer's two files as they are.
#   readme_example_test.sh SOURCE_DIR
set -euo pipefail
source=$1
# The fenced block that follows the line holding `marker`.
quoted() {
  awk -v marker="$1" 'index($0, marker) { found = 1; next }
    found && !inside && /^```/ { inside = 1; next }
    inside && /^```$/ { exit }
    inside { print }' "$source/README.md"
}
status=0
diff -u <(quoted 'Its `CMakeLists.txt`:') "$source/examples/lookup-consumer/CMakeLists.txt" || status=1
diff -u <(quoted 'and its `main.cpp`:') "$source/examples/lookup-consumer/main.cpp" || status=1
[ $status -eq 0 ] || echo "readme_example_test: the README's quotation differs from the example (above)" >&2
exit $status
