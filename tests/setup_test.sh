#!/usr/bin/env bash
# The set-up's apt steps against a fake apt-get and dpkg: an apt-get update that
# crashes without a message of its own is reported and the run goes on, apt is read
# in English and asked to remove nothing, and an interruption after the i386
# architecture was added takes it away again. The steps run as ./quran runs them,
# under set -euo pipefail.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
export FAKE_LOG="$work/log"
: >"$FAKE_LOG"
cat >"$work/bin/apt-get" <<'FAKE'
#!/bin/sh
echo "apt-get LC_ALL=${LC_ALL:-} $*" >>"$FAKE_LOG"
case "$*" in
  *update*) echo "Segmentation fault"; exit 139 ;;
  *install*)
    [ -n "${FAKE_INTERRUPT:-}" ] && kill -INT "$FAKE_SHELL"
    /bin/sleep 0.2
    echo "E: Unable to locate package"; exit 100 ;;
esac
FAKE
cat >"$work/bin/dpkg" <<'FAKE'
#!/bin/sh
case "$1" in
  --add-architecture | --remove-architecture) echo "dpkg $1 $2" >>"$FAKE_LOG" ;;
esac
FAKE
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/sleep"
printf '#!/bin/sh\necho 0\n' >"$work/bin/id"
chmod +x "$work/bin/"*
export PATH="$work/bin:$PATH"

fail() {
  echo "FAILED: $*"
  echo "--- log:"
  cat "$FAKE_LOG"
  exit 1
}

in_setup() {
  bash -c 'set -euo pipefail; export FAKE_SHELL=$$; ROOT_DIR="$1"; BUILD_ROOT="$2"; source "$1/scripts/setup.sh"
    kernel_runs_32bit() { true; }; eval "$3"' _ "$root" "$work" "$1" 2>&1
}

out=$(in_setup 'apt_update; echo went on') || fail "apt_update stopped the run: $out"
grep -q 'apt-get update failed 3 times (status 139: Segmentation fault)' <<<"$out" ||
  fail "no reason given: $out"
grep -q 'went on' <<<"$out" || fail "the run did not go on: $out"
grep -q '^apt-get LC_ALL=C update' "$FAKE_LOG" || fail "apt-get update is not read in English"

: >"$FAKE_LOG"
status=0
out=$(in_setup 'apt_install some-package') || status=$?
[ "$status" -eq 1 ] || fail "apt_install of a package that cannot be had: status $status"
grep -q 'could not install some-package' <<<"$out" || fail "no package named: $out"
grep -q '^apt-get LC_ALL=C install -y -qq --no-remove some-package' "$FAKE_LOG" ||
  fail "apt-get install may remove packages"

: >"$FAKE_LOG"
status=0
out=$(FAKE_INTERRUPT=1 in_setup 'ensure_wine32; echo not interrupted') || status=$?
[ "$status" -eq 130 ] || fail "an interrupted install ended with status $status: $out"
grep -q 'dpkg --add-architecture i386' "$FAKE_LOG" || fail "i386 was never added"
grep -q 'dpkg --remove-architecture i386' "$FAKE_LOG" || fail "the added i386 was left behind"
echo "set-up checks passed"
