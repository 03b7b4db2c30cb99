#!/usr/bin/env bash
# Fetches and unpacks a Debian 12 source package, with Debian's patches
# applied, through a private sources list and state folder, so that the
# machine's own apt configuration is neither needed nor touched:
#   tools/debian-source.sh PACKAGE FOLDER
# leaves the sources in FOLDER/PACKAGE (kept when already there) and prints
# that path.
set -euo pipefail
package=$1
folder=$(realpath -m "$2")
unpacked=$folder/$package
if [ -f "$unpacked/.complete" ]; then
  echo "$unpacked"
  exit 0
fi
apt=$folder/apt
mkdir -p "$apt/state/lists/partial" "$apt/cache/archives/partial"
echo 'deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main' \
  >"$apt/sources.list"
options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
  -o "Dir::State=$apt/state" -o "Dir::Cache=$apt/cache" -o Debug::NoLocking=1 -o APT::Sandbox::User=root)
apt-get "${options[@]}" -qq update >&2
download=$folder/download-$package
rm -rf "$download" "$unpacked"
mkdir -p "$download"
(cd "$download" && apt-get "${options[@]}" -qq source --download-only "$package" >&2)
# apt has checked the files against the signed index; dpkg-source only
# unpacks them and applies the patches.
dpkg-source --no-check -x "$download"/*.dsc "$unpacked" >&2
rm -rf "$download"
touch "$unpacked/.complete"
echo "$unpacked"
