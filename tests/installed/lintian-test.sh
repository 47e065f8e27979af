#!/usr/bin/env bash
# The Debian package through lintian: any error or warning fails the test, and the
# tags lintian only mentions for information are listed for whoever reads the log.
#
#   lintian-test.sh BUILD_DIR
#
# Exit 77 (skipped) when lintian, dpkg-deb or cpack is missing (scripts/setup-deps
# installs them).
set -euo pipefail
build=$(cd "$1" && pwd)

for tool in lintian dpkg-deb cpack; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup-deps installs it)"; exit 77; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$build" && cpack -G DEB -B "$tmp/pkg" >/dev/null)
deb=$(ls "$tmp"/pkg/vantrelo_*_amd64.deb)
echo "package: $(basename "$deb")"

# The sound and online modules are opened at run time: the package must carry them, and
# depend on the libraries they need, or clicks fall silent and the update check gives up
# without a word.
contents=$(dpkg-deb -c "$deb")
depends=$(dpkg-deb -f "$deb" Depends)
for pair in vantrelo-sound:libqt6multimedia6 vantrelo-online:libqt6network6; do
  module=${pair%%:*} library=${pair#*:}
  if ! grep -q " \./usr/lib/vantrelo/plugins/$module\.so\$" <<<"$contents"; then
    echo "FAIL: the package lacks usr/lib/vantrelo/plugins/$module.so" >&2
    exit 1
  fi
  if ! grep -q "$library" <<<"$depends"; then
    echo "FAIL: the package does not depend on $library" >&2
    exit 1
  fi
done

# Informational tags shown (-I) so the hardening ones are seen too; root is told it
# should not run lintian, which is no finding about the package.
report=$(lintian -I --tag-display-limit 0 "$deb" 2>&1 | grep -v '^running with root privileges' || true)
[[ -z "$report" ]] || printf '%s\n' "$report"
if grep -E '^[EW]: ' <<<"$report" >/dev/null; then
  echo "FAIL: lintian reports errors or warnings" >&2
  exit 1
fi
if grep -E 'hardening-' <<<"$report" >/dev/null; then
  echo "FAIL: the program is built without Debian's hardening flags" >&2
  exit 1
fi
echo "lintian: no error, no warning"
