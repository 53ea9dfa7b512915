#!/usr/bin/env bash
# Builds the release packages, build/packages/Zelmor-<version>-win64.zip and -win32.zip, with
# SHA256SUMS beside them. Each holds Zelmor.exe (stripped), the operator's guide in Japanese and
# English as text files, and LICENSE. The version is CMake's project version, taken from the
# header that the build generates from it.
# Usage: scripts/package.sh [--no-build]   (--no-build: package what build/win64 and build/win32 hold)
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=build/packages

if [ "${1:-}" != "--no-build" ]; then
  ./scripts/install-deps.sh
  for preset in win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2 --target Zelmor >/dev/null
  done
fi

version_of() {
  sed -n 's/^#define ZELMOR_VERSION_STRING "\(.*\)"$/\1/p' "build/$1/generated/zelmor_version.h"
}

# Notepad on Japanese Windows takes a file without a byte-order mark for Shift-JIS, and older
# Notepads show LF-only text as one long line: UTF-8 with a BOM and CR LF line ends. Pictures
# and comments of the Markdown have no place in plain text.
as_text_file() {
  {
    printf '\xEF\xBB\xBF'
    sed -e '/^!\[[^]]*\]([^)]*)[[:space:]]*$/d' -e '/^<!--.*-->[[:space:]]*$/d' "$1" | cat -s | sed 's/$/\r/'
  } >"$2"
}

rm -rf "$OUT"
mkdir -p "$OUT"
for arch in win64 win32; do
  case $arch in
    win64) strip=x86_64-w64-mingw32-strip ;;
    win32) strip=i686-w64-mingw32-strip ;;
  esac
  version=$(version_of "$arch")
  [ -n "$version" ] || { echo "package.sh: no version in build/$arch/generated/zelmor_version.h" >&2; exit 1; }
  name="Zelmor-$version-$arch"
  stage="$OUT/stage-$arch"
  mkdir -p "$stage"
  "$strip" -o "$stage/Zelmor.exe" "build/$arch/Zelmor.exe"
  as_text_file docs/guide-ja.md "$stage/Zelmor-guide-ja.txt"
  as_text_file docs/guide-en.md "$stage/Zelmor-guide-en.txt"
  sed 's/$/\r/' LICENSE >"$stage/LICENSE"
  # Files at the top of the zip: Windows' "Extract All" makes the folder itself.
  (cd "$stage" && cmake -E tar cf "../$name.zip" --format=zip Zelmor.exe Zelmor-guide-ja.txt Zelmor-guide-en.txt LICENSE)
  rm -rf "$stage"
  echo "$OUT/$name.zip"
done
(cd "$OUT" && sha256sum Zelmor-*.zip >SHA256SUMS)
echo "$OUT/SHA256SUMS"
