#!/usr/bin/env bash
# Validates a desktop entry; passes only when the validator finds nothing at
# all, neither error nor warning nor hint.
#   validatedesktop.sh <file.desktop>
# SingleMainWindow is a standard key since version 1.5 of the format; the
# validator of Debian 12 (desktop-file-utils 0.26) predates it and calls it
# unknown, so that one complaint is not held against the file.
set -euo pipefail
file=$1

report=$(desktop-file-validate "$file" 2>&1) || true
left=$(grep -v -F "error: file contains key \"SingleMainWindow\" in group \"Desktop Entry\", but keys extending the format should start with \"X-\"" <<<"$report" || true)
if [ -n "$left" ]; then
    echo "$left"
    exit 1
fi
echo "$(basename "$file") is a valid desktop entry"
