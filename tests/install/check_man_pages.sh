#!/usr/bin/env bash
# The man pages render without a groff warning, name the project's version and
# have the sections a reader looks for. Arguments: the man1 folder, the version.
set -euo pipefail
dir=$1
version=$2
status=0
for page in zatrel cif2str; do
  file=$dir/$page.1
  warnings=$(groff -man -ww -z "$file" 2>&1)
  if [ -n "$warnings" ]; then
    echo "$page.1: groff warnings:"; echo "$warnings"; status=1
  fi
  grep -q "^\.TH .* \"$page $version\"" "$file" || { echo "$page.1: no version $version in .TH"; status=1; }
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES ENVIRONMENT EXAMPLES; do
    grep -q "^\.SH \"\?$section\"\?$" "$file" || { echo "$page.1: no $section section"; status=1; }
  done
  grep -q ZORERO "$file" || { echo "$page.1: ZORERO is not described"; status=1; }
done
exit $status
