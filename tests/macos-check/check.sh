#!/usr/bin/env bash
# check.sh SOURCE_DIR: runs clang's parser over every Objective-C++ file under
# SOURCE_DIR/src, with the project's warnings as errors, against GNUstep's
# Foundation and AppKit and the declarations in include/ for what GNUstep
# lacks. It proves syntax, names and types against those declarations; it
# cannot prove behaviour on a Mac, nor ARC's rules (see the README).
set -euo pipefail
source_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
# Headers of others are system headers: their warnings are not ours.
gnustep=$(gnustep-config --objc-flags | tr ' ' '\n' | sed -n 's/^-I\(\/.*\)/-isystem\n\1/p; /^-D/p; /^-f.*exceptions$/p')
qt=$(pkg-config --cflags-only-I Qt6Core Qt6Gui Qt6Widgets | sed 's/-I/-isystem /g')
mapfile -t files < <(find "$source_dir/src" -name '*.mm' | sort)
[ ${#files[@]} -gt 0 ] || { echo "no Objective-C++ files under $source_dir/src" >&2; exit 1; }
status=0
for file in "${files[@]}"; do
  # libstdc++ offers std::expected only past a concepts level clang 14 does
  # not announce, though it parses the header.
  # shellcheck disable=SC2086
  clang -fsyntax-only -x objective-c++ -std=c++2b -U__cpp_concepts -D__cpp_concepts=202002L \
    -fobjc-runtime=gnustep-1.9 $gnustep -isystem /usr/lib/gcc/x86_64-linux-gnu/12/include $qt \
    -I "$here/include" -include "$here/include/AppleAdditions.h" -I "$source_dir/src" \
    -DVENTREL_APP_ID='"app.ventrel.Ventrel"' -DVENTREL_VERSION='"1.0"' -DVENTREL_BUILD_NUMBER='"1"' \
    -DVENTREL_FEED_URL='"https://ventrel.app/appcast.xml"' -fPIC \
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Werror \
    "$file" || status=1
  echo "checked ${file#"$source_dir"/}"
done
exit $status
