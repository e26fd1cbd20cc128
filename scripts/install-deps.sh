#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need. Idempotent: a package
# that is already present is skipped, so a prepared machine runs this in well under a second.
#   --fuzz   also clang 14 and libFuzzer, for ./test.sh --fuzz
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev qt6-translations-l10n
  libpugixml-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation poppler-utils
  xvfb xauth
  desktop-file-utils appstream
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang-14 libfuzzer-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
