#!/usr/bin/env bash
# Installs what building and testing Zelmor needs on Debian 12, only when something is missing,
# so that a second run costs well under a second.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ make googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 xvfb xauth x11-utils xdotool imagemagick xclip jq
  fonts-ipafont-gothic fonts-wine locales
  libxfixes3 libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1
  clang libclang-rt-14-dev
  nodejs
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# npm reads the ADIF export back (scripts/adif-check.sh). Debian packages it on its own; NodeSource's
# nodejs brings its own npm and conflicts with Debian's package.
if ! command -v npm >/dev/null 2>&1; then missing+=(npm); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Without the Japanese locale Wine cannot create files with Shift-JIS names.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
