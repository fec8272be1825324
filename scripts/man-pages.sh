#!/usr/bin/env bash
# Writes a man page for q7bom and one per subcommand (q7bom-SUB.1) from the
# program's own --help texts, so the pages never drift from the program.
# Usage: scripts/man-pages.sh PATH/TO/q7bom OUTPUT_DIR VERSION
set -euo pipefail
program=$1 out=$2 version=$3
mkdir -p "$out"

# roff: a backslash is written \e, a line may not start with . or ', and a
# blank line would end the no-fill block, so it becomes an empty request.
roff_text() { awk '{ gsub(/\\/, "\\e"); if ($0 ~ /^[.'"'"']/) $0 = "\\&" $0; if ($0 == "") $0 = ".sp"; print }'; }

# page NAME SUMMARY HELP_TEXT SEE_ALSO
page() {
  local name=$1 summary=$2 help=$3 see_also=$4 upper
  upper=$(printf '%s' "$name" | tr '[:lower:]' '[:upper:]')
  {
    printf '.TH %s 1 "" "q7bom %s" "User Commands"\n' "$upper" "$version"
    printf '.SH NAME\n%s \\- %s\n' "$name" "$(printf '%s' "$summary" | roff_text)"
    printf '.SH SYNOPSIS\n.nf\n'
    printf '%s\n' "$help" | awk '/^Usage:/ { u = 1 } u && !/^(Usage:| )/ { exit } u' | sed 's/^Usage: *//; s/^ *//' | roff_text
    printf '.fi\n.SH DESCRIPTION\n.nf\n'
    printf '%s\n' "$help" | awk 'u && !/^ / { d = 1 } /^Usage:/ { u = 1; next } d' | roff_text
    printf '.fi\n.SH SEE ALSO\n%s\n' "$see_also"
  } > "$out/$name.1"
}

main_help=$("$program" --help)
# The subcommands: the indented lines of the main help's "Subcommands:" block,
# "  name [ARG]   summary".
subcommands=$(printf '%s\n' "$main_help" | awk '/^Subcommands:/ { s = 1; next } s && /^$/ { exit } s && /^  [a-z]/ { print }')
[ -n "$subcommands" ] || { echo "man-pages.sh: no subcommands in '$program --help'" >&2; exit 1; }

see_also=$(printf '%s\n' "$subcommands" | awk '{ print ".BR q7bom-" $1 " (1)" }' | sed '$!s/$/ ,/')

page q7bom "bills of materials: reports, browse, voucher, maintenance and a workbench" "$main_help" "$see_also"
while read -r line; do
  name=${line%% *}
  summary=$(printf '%s' "$line" | sed -E 's/^[a-z-]+( +[A-Z][A-Za-z.]*)? {2,}//')
  page "q7bom-$name" "$summary" "$("$program" "$name" --help)" ".BR q7bom (1)"
done <<< "$subcommands"
