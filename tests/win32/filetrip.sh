#!/usr/bin/env bash
# Conf.txt and OpList.txt written by the Windows program under Wine are checked
# on Linux, and the other way round. Usage: filetrip.sh WINDOWS_TOOL LINUX_TOOL
set -euo pipefail
windows=$1 linux=$2
scratch=$(mktemp -d /tmp/klavoro-filetrip.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/from-windows" "$scratch/from-linux"
/usr/lib/wine/wine64 "$windows" write "Z:$scratch/from-windows"
"$linux" check "$scratch/from-windows"
"$linux" write "$scratch/from-linux"
/usr/lib/wine/wine64 "$windows" check "Z:$scratch/from-linux"
