#!/usr/bin/env bash
# Builds the Debian package from a build directory and proves it on this
# machine: its dependencies resolve, it unpacks into an empty root whose
# program finds its own libraries there (never the build tree), and, as root,
# it installs with apt-get, runs a report from /usr/bin and is removed again
# (the man pages are checked in the unpacked root: a machine may be set to
# leave them out when it installs).
# Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath "${1:-build}")

rm -f "$build_dir"/q7bom_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
deb=$(ls "$build_dir"/q7bom_*_amd64.deb)
echo "package: $deb"
dpkg-deb -f "$deb" Package Version Depends Recommends
# Libraries the program opens when first needed are no link the library scan
# sees: the package must name them itself.
depends=", $(dpkg-deb -f "$deb" Depends),"
for needed in libpq5 libxlsxwriter4 libqt6sql6-sqlite libqt6sql6-psql; do
  case "$depends" in
  *", $needed,"* | *", $needed ("*) ;;
  *) echo "package.sh: the package does not depend on $needed, which the program opens at run time" >&2; exit 1 ;;
  esac
done

work=$(mktemp -d /tmp/q7deb.XXXXXX)
trap 'rm -rf "$work"' EXIT

check_report() {  # PROGRAM: a demo account, then a report on it
  local program=$1
  "$program" init-db --path "$work/demo.db" >/dev/null
  "$program" report BO02004 --db "$work/demo.db" --filter InvCode=BK-100 --format csv > "$work/report.csv"
  [ "$(wc -l < "$work/report.csv")" -gt 1 ] || { echo "package.sh: the report printed no rows" >&2; exit 1; }
  rm -f "$work/demo.db"
}

# An empty root holding nothing but the package.
dpkg-deb -x "$deb" "$work/root"
if env -u LD_LIBRARY_PATH ldd "$work/root/usr/bin/q7bom" | grep -E "not found|$build_dir"; then
  echo "package.sh: the packaged program does not find its libraries in the package" >&2
  exit 1
fi
for page in q7bom q7bom-report q7bom-maintain; do
  [ -s "$work/root/usr/share/man/man1/$page.1" ] || { echo "package.sh: no man page $page.1" >&2; exit 1; }
done
check_report "$work/root/usr/bin/q7bom"
echo "unpacked into an empty root: report ok"

if [ "$(id -u)" = 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  if dpkg-query -W -f='${Status}' q7bom 2>/dev/null | grep -q "install ok installed"; then
    echo "package.sh: q7bom is already installed here; not installing over it" >&2
  else
    apt-get install -y --no-install-recommends "$deb" >/dev/null
    check_report /usr/bin/q7bom
    apt-get remove -y q7bom >/dev/null
    echo "installed with apt-get: report ok, removed"
  fi
fi
