#!/usr/bin/env bash
# The browser test of the site on real code: glossator writes the site of the 91 LCL units with
# the Pascal reader, and site_browser_test.mjs reads that site (GLOSSATOR_SITE_DIR) in headless
# Chromium: every link and anchor, search, keyboard, the phone width, axe-core in both themes.
#
#   tests/e2e/lcl_site_test.sh GLOSSATOR NODE SITE_FIXTURE
set -euo pipefail
glossator=$1
node=$2
fixture=$3
here=$(cd "$(dirname "$0")" && pwd)
lcl=/usr/lib/lazarus/2.2.6/lcl
if [[ ! -d $lcl ]]; then
  echo "lcl_site_test: $lcl is missing; install it with scripts/install-deps corpus" >&2
  exit 1
fi
site=$(mktemp -d)
trap 'rm -rf "$site"' EXIT
"$glossator" -q --reader=pascal --style=site --include="$lcl/include" -o "$site/lcl" \
  "$lcl"/*.pp "$lcl"/*.pas 2>/dev/null || [[ $? == 3 ]]
GLOSSATOR_SITE_DIR="$site/lcl" "$node" --test-reporter=spec "$here/site_browser_test.mjs" "$fixture"
