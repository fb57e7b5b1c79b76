#!/usr/bin/env bash
# check-package.sh PACKAGE.deb: what Debian's tools say of the package. Fails on any error
# or warning of lintian, desktop-file-validate or appstreamcli (hints and notes pass).
set -euo pipefail
deb=$(realpath "$1")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
status=0

# lintian says it would rather not run as root; that is not about the package.
said=$(lintian --fail-on error,warning "$deb" 2>&1) || status=1
echo "$said" | grep -v 'running with root privileges' || true

for entry in "$root"/usr/share/applications/*.desktop; do
  said=$(desktop-file-validate "$entry" 2>&1) || status=1
  [ -n "$said" ] && echo "$said"
  echo "$said" | grep -qE ': (error|warning):' && status=1
done
for info in "$root"/usr/share/metainfo/*.metainfo.xml; do
  appstreamcli validate --no-net "$info" || status=1
done

[ "$status" -eq 0 ] && echo "package checks passed: $(basename "$deb")"
exit "$status"
