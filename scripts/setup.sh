#!/usr/bin/env bash
# Installs every Debian package the project needs (idempotent), then configures and builds.
# Usage: scripts/setup.sh [BUILD_DIR] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-declarative-dev libqt6sql6-sqlite libqt6sql6-odbc libsqlite3-dev libpq-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-zenhei libxlsxwriter-dev xvfb poppler-utils openbox
  clang libclang-rt-14-dev
  postgresql libqt6sql6-psql
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

build_dir=${1:-build}
shift || true
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build_dir"
