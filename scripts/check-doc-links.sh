#!/usr/bin/env bash
# Checks every relative link and image in README.md and docs/*.md: the file it
# names exists, and a #fragment names a heading of the page (GitHub's slugs).
# Usage: scripts/check-doc-links.sh [REPO_DIR]
set -uo pipefail
cd "${1:-$(dirname "$0")/..}"

slugs() {
  grep -E '^#{1,6} ' "$1" | sed -E 's/^#+ //' | tr 'A-Z' 'a-z' |
    sed -E 's/[^[:alnum:] _-]//g; s/ /-/g'
}

broken=0
for page in README.md docs/*.md; do
  dir=$(dirname "$page")
  while read -r link; do
    case "$link" in http://*|https://*|mailto:*) continue ;; esac
    path=${link%%#*}
    fragment=""
    [[ "$link" == *"#"* ]] && fragment=${link#*#}
    target=$page
    [ -n "$path" ] && target="$dir/$path"
    if [ ! -e "$target" ]; then
      echo "$page: $link: no such file"
      broken=$((broken + 1))
    elif [ -n "$fragment" ] && ! slugs "$target" | grep -qxF -- "$fragment"; then
      echo "$page: $link: no such heading in $target"
      broken=$((broken + 1))
    fi
  done < <(grep -oE '\]\([^)]+\)' "$page" | sed -E 's/^\]\((.*)\)$/\1/')
done

if [ "$broken" -gt 0 ]; then
  echo "$broken broken links" >&2
  exit 1
fi
echo "every link resolves"
