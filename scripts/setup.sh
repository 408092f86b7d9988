# Shared steps of ./quran: package installation, the pinned Quran text, builds.
# Sourced, not run; expects ROOT_DIR.

BUILD_ROOT="$ROOT_DIR/build"
QURAN_TEXT_PACKAGE="@ghoran/text@0.0.8"
QURAN_TEXT_INTEGRITY="sha512-418ZMGVDWb0hioYv6y+YAouIckgZHBSNNMnHuk3YVfGuF6+Cgf39e0YogykO5T0K0N8Etx26bqb9I6qSC9ZQGQ=="
QURAN_TEXT_DIR="$BUILD_ROOT/deps/ghoran-text"
# The chapters' names in Latin letters, as English documents write them.
QURAN_NAMES_PACKAGE="quran-json@3.1.2"
QURAN_NAMES_INTEGRITY="sha512-K0RURQSueVUMpDkZCnfXhck6YCX2lEJCar0SsI2naNDgei/crtrVfRHavZk14tw0TJlGQd/zl3tABSOGQrJLYQ=="
QURAN_NAMES_DIR="$BUILD_ROOT/deps/quran-json"
QURAN_NAMES_JSON="$QURAN_NAMES_DIR/dist/chapters/en/index.json"

# Debian packages, by what needs them. The native build, the command-line search and
# the store's fuzzers need only the first group.
NATIVE_PACKAGES=(cmake make g++ pkg-config git clang-format googletest libgtest-dev libbenchmark-dev
  nlohmann-json3-dev npm clang libclang-rt-14-dev)
# The Windows trees and what packs them: the artwork's faces, the compiled HTML Help
# (chmcmd), the installers, signing, and HarfBuzz's hb-shape, by which the tests see
# every Uthmani verse shape in the Quranic face.
PACKING_PACKAGES=(g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix fonts-hosny-amiri fonts-dejavu-core
  imagemagick librsvg2-bin nsis osslsigncode openssl fp-utils-3.2.2 libharfbuzz-bin)
# Running them: 64-bit Wine, which also runs where the kernel refuses 32-bit programs,
# with a display. The fonts stand in for Windows ones under Wine: a naskh face for
# "Traditional Arabic", one with Latin and Arabic letters for the dialogs' "MS Sans
# Serif", and a naskh face with Latin punctuation for the stand-in Word's document.
WINE_PACKAGES=(wine wine64 xvfb xauth xdotool fonts-kacst fonts-dejavu-core fonts-hosny-amiri)
# 32-bit Wine is i386 and is asked for on its own (ensure_wine32): an i386 index that
# fails must not stop the rest.
WINE32_PACKAGE=wine32:i386

log() { printf '[quran] %s\n' "$*" >&2; }

# apt's messages without the addresses of the sources they name: the file and the
# reason are what a user can act on.
apt_said() { sed -E -e 's#[a-z]+://[^/ ]+##g' -e 's# ?\[IP: [^]]*\]##g'; }

missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

# apt's lists are refreshed once a run, and only when something is missing. A mirror
# in the middle of a sync fails one index while the others are fresh: after the
# retries the lists already here are used, and only a package that cannot then be
# installed stops the command.
APT_UPDATED=""
apt_update() {
  [ -n "$APT_UPDATED" ] && return 0
  APT_UPDATED=yes
  local try out status
  for try in 1 2 3; do
    # apt's messages are read in English whatever the user's language.
    status=0
    out=$(LC_ALL=C apt-get update -qq 2>&1) || status=$?
    # An unreachable index is only a warning to apt, yet it leaves that list stale.
    if [ "$status" -eq 0 ] && ! grep -q 'failed to download' <<<"$out"; then return 0; fi
    [ "$try" -lt 3 ] && sleep $((try * 5))
  done
  local why
  why=$(grep -m1 'Failed to fetch' <<<"$out" || grep -E '^(E|W):' <<<"$out" | tail -1 || true)
  # apt may fail without a line of its own (a crash): its last line and status then.
  [ -n "$why" ] || why="status $status${out:+: $(tail -1 <<<"$out")}"
  why=$(apt_said <<<"$why")
  log "apt-get update failed 3 times (${why:0:240}); going on with the package lists already here"
}

# apt_install PACKAGE...: installs them, or names the ones that cannot be installed
# with apt's last lines and stops the command. Nothing is removed for them: a plan
# made from a stale list fails with apt's message instead.
apt_install() {
  local out
  # With recommends: Wine's rendering and fonts under Xvfb depend on them.
  if out=$(LC_ALL=C DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-remove "$@" 2>&1); then
    return 0
  fi
  local p failing=()
  for p in "$@"; do
    LC_ALL=C apt-get install -s -qq --no-remove "$p" >/dev/null 2>&1 || failing+=("$p")
  done
  log "could not install ${failing[*]:-$*}; apt said:"
  echo "$out" | tail -8 | apt_said | sed 's/^/[quran]   /' >&2
  exit 1
}

# ensure_packages GROUP...: installs what those groups (native, packing, wine) lack.
ensure_packages() {
  local group wanted=() missing
  for group in "$@"; do
    case "$group" in
      native) wanted+=("${NATIVE_PACKAGES[@]}") ;;
      packing) wanted+=("${PACKING_PACKAGES[@]}") ;;
      wine) wanted+=("${WINE_PACKAGES[@]}") ;;
    esac
  done
  missing=$(missing_packages "${wanted[@]}" | sort -u)
  # Node and npm may come from outside Debian; only the command matters.
  if command -v npm >/dev/null 2>&1; then missing=$(echo "$missing" | grep -vx npm || true); fi
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    log "missing packages: $(echo $missing); run as root or install them"
    exit 1
  fi
  log "installing: $(echo $missing)"
  apt_update
  # shellcheck disable=SC2086
  apt_install $missing
}

# Fetches the Quran text package and refuses it unless its hash is the pinned one.
# fetch_package PACKAGE INTEGRITY DIR: an npm package, checked against its pinned
# integrity hash before anything of it is used, unpacked into DIR.
fetch_package() {
  local package="$1" integrity="$2" dir="$3"
  [ -f "$dir/.verified" ] && return 0
  local tmp
  tmp=$(mktemp -d)
  log "fetching $package"
  (cd "$tmp" && npm pack --silent "$package" >/dev/null)
  local tarball
  tarball=$(ls "$tmp"/*.tgz)
  local got
  got="sha512-$(node -e 'const c=require("crypto"),f=require("fs");
    process.stdout.write(c.createHash("sha512").update(f.readFileSync(process.argv[1])).digest("base64"))' "$tarball")"
  if [ "$got" != "$integrity" ]; then
    log "integrity mismatch for $package: $got"
    rm -rf "$tmp"
    exit 1
  fi
  rm -rf "$dir"
  mkdir -p "$dir"
  tar -xzf "$tarball" -C "$dir" --strip-components=1
  rm -rf "$tmp"
  touch "$dir/.verified"
}

# The Quran text and the chapters' Latin names.
fetch_quran_text() {
  fetch_package "$QURAN_TEXT_PACKAGE" "$QURAN_TEXT_INTEGRITY" "$QURAN_TEXT_DIR"
  fetch_package "$QURAN_NAMES_PACKAGE" "$QURAN_NAMES_INTEGRITY" "$QURAN_NAMES_DIR"
}

# build_native release|asan
build_native() {
  local kind="$1" dir="$BUILD_ROOT/$1" args=()
  case "$kind" in
    release) args=(-DCMAKE_BUILD_TYPE=Release) ;;
    asan) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQURAN_SANITIZE=ON) ;;
  esac
  cmake -S "$ROOT_DIR" -B "$dir" -DQURAN_TEXT_DIR="$QURAN_TEXT_DIR/json" \
    -DQURAN_NAMES_JSON="$QURAN_NAMES_JSON" "${args[@]}" >/dev/null
  quietly "$dir/build.log" cmake --build "$dir" -j "$(nproc)"
}

# Runs a build step with its output in a log, shown only when the step fails.
quietly() {
  local logfile="$1"
  shift
  mkdir -p "$(dirname "$logfile")"
  log "$* (log: $logfile)"
  if ! "$@" >"$logfile" 2>&1; then
    cat "$logfile" >&2
    log "failed: $*"
    exit 1
  fi
}

test_native() {
  ctest --test-dir "$BUILD_ROOT/asan" --output-on-failure
}

run_demo() {
  local cli="$BUILD_ROOT/release/tools/quran_search"
  log "data files: $BUILD_ROOT/release/data"
  "$cli" search --cite word "الصمد"
  "$cli" search --cite part "الرحمن الرحيم" --within root "ملك"
  "$cli" search word "التواب" --within derivatives "الرحيم" --cite
}

# --- Fuzzing the store with libFuzzer (clang, ASan, UBSan) ---

FUZZ_DIR="$BUILD_ROOT/fuzz"
FUZZ_TARGETS=(data_files_fuzzer query_fuzzer reference_fuzzer)

# build_fuzz DATA_DIR: the query target reads the real data files from there.
build_fuzz() {
  cmake -S "$ROOT_DIR" -B "$FUZZ_DIR" -DCMAKE_CXX_COMPILER=clang++ -DQURAN_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQURAN_FUZZ_DATA_DIR="$1" \
    -DQURAN_NAMES_JSON="$QURAN_NAMES_JSON" >/dev/null
  quietly "$FUZZ_DIR/build.log" cmake --build "$FUZZ_DIR" -j "$(nproc)"
}

# run_fuzz SECONDS: each target for that long from its corpus; fails on a finding.
run_fuzz() {
  local seconds="$1" target status=0
  for target in "${FUZZ_TARGETS[@]}"; do
    local seeds="$ROOT_DIR/fuzz/corpus/${target%_fuzzer}" corpus="$FUZZ_DIR/corpus/$target"
    [ "$target" = query_fuzzer ] && seeds="$ROOT_DIR/fuzz/corpus/queries"
    mkdir -p "$corpus" "$FUZZ_DIR/findings"
    cp -n "$seeds"/* "$corpus"/ || true
    log "fuzzing $target for ${seconds} s (log: $FUZZ_DIR/$target.log)"
    # ASan's strstr checks the whole text on each call; the store's own bounds are
    # what is fuzzed, and the search must stay linear.
    if ! ASAN_OPTIONS=intercept_strstr=0 "$FUZZ_DIR/fuzz/$target" "$corpus" \
      -dict="$ROOT_DIR/fuzz/quran.dict" -max_len=300000 -timeout=10 -rss_limit_mb=2048 \
      -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$FUZZ_DIR/findings/$target-" >"$FUZZ_DIR/$target.log" 2>&1; then
      tail -40 "$FUZZ_DIR/$target.log" >&2
      log "$target found a fault; reproducer: $(grep -o 'Test unit written to .*' \
        "$FUZZ_DIR/$target.log" | sed 's/Test unit written to //')"
      status=1
    fi
    grep -E '^(stat::number_of_executed_units|#[0-9]+[[:space:]]+DONE)' "$FUZZ_DIR/$target.log" |
      sed 's/^/[quran]   /' >&2 || true
  done
  return $status
}

# --- Windows builds: the add-in, the stand-in Word and their tests under Wine ---
# One tree per architecture: build/win32 for 32-bit Word (x86), build/win64 for
# 64-bit Word (x64). The 64-bit tree also packs the installers and the archive.

WINDOWS_ARCHES=(win32 win64)
WINE_RUN="$ROOT_DIR/scripts/wine-run.sh"

windows_dir() { echo "$BUILD_ROOT/$1"; }
wine_prefix() { echo "$BUILD_ROOT/$1/wineprefix"; }
arch_name() { if [ "$1" = win32 ]; then echo "32-bit (x86)"; else echo "64-bit (x64)"; fi; }

# Whether the kernel executes 32-bit programs, asked before anything i386 is touched:
# a static i386 program of a few bytes that exits with status 32.
kernel_runs_32bit() {
  local probe status=0
  mkdir -p "$BUILD_ROOT"
  probe=$(mktemp "$BUILD_ROOT/probe32.XXXXXX")
  # ELF header, a loadable segment, a non-executable stack, then exit(32) by int 0x80.
  local bytes=(
    7f 45 4c 46 01 01 01 00 00 00 00 00 00 00 00 00 02 00 03 00 01 00 00 00 74 80 04 08
    34 00 00 00 00 00 00 00 00 00 00 00 34 00 20 00 02 00 00 00 00 00 00 00
    01 00 00 00 00 00 00 00 00 80 04 08 00 80 04 08 7d 00 00 00 7d 00 00 00 05 00 00 00 00 10 00 00
    51 e5 74 64 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 06 00 00 00 10 00 00 00
    31 db b3 20 31 c0 40 cd 80)
  printf '%b' "${bytes[@]/#/\\x}" >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" -eq 32 ]
}

# The 32-bit Windows suites run only where 32-bit Wine can: not when the user skips
# them (QURAN_SKIP_32BIT=1), not where the kernel refuses 32-bit programs, and not
# where wine32 cannot be installed. WHY_NOT_32BIT says which.
RUNS_32BIT=""
WHY_NOT_32BIT=""
ADDED_I386=""
# The i386 architecture this run added, removed again while nothing of it is installed.
remove_added_i386() {
  [ -n "$ADDED_I386" ] || return 0
  ADDED_I386=""
  if [ -z "$(dpkg-query -W -f='${Architecture}\n' 2>/dev/null | grep -x i386)" ]; then
    dpkg --remove-architecture i386
  fi
}
ensure_wine32() {
  [ -n "$RUNS_32BIT" ] && return 0
  RUNS_32BIT=no
  if [ -n "${QURAN_SKIP_32BIT:-}" ] && [ "$QURAN_SKIP_32BIT" != 0 ]; then
    WHY_NOT_32BIT="QURAN_SKIP_32BIT is set"
    return 0
  fi
  if ! kernel_runs_32bit; then
    WHY_NOT_32BIT="this machine's kernel does not execute 32-bit programs"
    return 0
  fi
  if [ -n "$(missing_packages "$WINE32_PACKAGE")" ]; then
    if [ "$(id -u)" -ne 0 ]; then
      WHY_NOT_32BIT="$WINE32_PACKAGE is not installed, and installing it needs root"
      return 0
    fi
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      dpkg --add-architecture i386
      # Taken back on every way out, an interruption or a failure included, unless
      # something of it got installed.
      ADDED_I386=yes
      trap remove_added_i386 EXIT
      trap 'exit 130' INT
      trap 'exit 143' TERM
      APT_UPDATED=""
    fi
    log "installing: $WINE32_PACKAGE"
    apt_update
    local out
    if ! out=$(LC_ALL=C DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-remove \
      "$WINE32_PACKAGE" 2>&1); then
      log "could not install $WINE32_PACKAGE ($(echo "$out" | grep -E '^E:' | tail -1 | apt_said | cut -c1-200));" \
        "going on without it"
      WHY_NOT_32BIT="the package $WINE32_PACKAGE could not be installed"
      remove_added_i386
      return 0
    fi
    ADDED_I386=""
  fi
  local out status=0
  out=$(/usr/lib/wine/wine --version 2>&1) || status=$?
  if [ "$status" -ne 0 ]; then
    WHY_NOT_32BIT="/usr/lib/wine/wine --version: status $status${out:+, $(echo "$out" | tail -1)}"
    return 0
  fi
  RUNS_32BIT=yes
}

runs_32bit() {
  ensure_wine32
  [ "$RUNS_32BIT" = yes ]
}

# The architectures whose Windows programs this machine can run: x64 always.
runnable_arches() {
  if runs_32bit; then echo win32 win64; else echo win64; fi
}

say_32bit_skipped() {
  log "the 32-bit Windows suites were skipped: $WHY_NOT_32BIT;" \
    "the 32-bit tree is built and checked without Wine"
}

# Runs a command with a display: the current one, or a private Xvfb.
with_display() {
  if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1280x1024x24" "$@"; fi
}

# Bumped whenever the prefixes' settings change, so that old prefixes are made anew.
WINE_PREFIX_VERSION=4

# The registry of a new prefix; each step's failure ends the chain (a function run
# by `quietly` is exempt from set -e).
wine_prefix_steps() {
  local run=(with_display "$WINE_RUN" "$1" "$2")
  "${run[@]}" wineboot -i &&
    "${run[@]}" reg add 'HKLM\System\CurrentControlSet\Control\Keyboard Layouts\00000401' \
      /v "Layout File" /t REG_SZ /d KBDA1.DLL /f &&
    "${run[@]}" reg add 'HKCU\Software\Wine\Fonts\Replacements' \
      /v "Traditional Arabic" /t REG_SZ /d KacstNaskh /f &&
    # Windows draws Arabic in "MS Sans Serif" dialogs whatever the ANSI code page;
    # Wine's own face has Arabic letters only under code page 1256.
    "${run[@]}" reg add 'HKCU\Software\Wine\Fonts\Replacements' \
      /v "MS Sans Serif" /t REG_SZ /d "DejaVu Sans" /f &&
    # Xvfb has no window manager: Wine draws the frames itself and waits for none.
    "${run[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f &&
    WINEPREFIX="$2" wineserver -w
}

# prepare_wine_prefix ARCH: creates that architecture's prefix once, with the Arabic
# keyboard layout and the fonts Windows would have.
prepare_wine_prefix() {
  local arch="$1" prefix
  prefix=$(wine_prefix "$1")
  [ "$(cat "$prefix/.prepared" 2>/dev/null)" = "$WINE_PREFIX_VERSION" ] && return 0
  log "creating the $(arch_name "$arch") Wine prefix $prefix"
  rm -rf "$prefix"
  mkdir -p "$prefix"
  quietly "$prefix.log" wine_prefix_steps "$arch" "$prefix"
  echo "$WINE_PREFIX_VERSION" >"$prefix/.prepared"
}

# build_windows DATA_DIR: both trees, the 32-bit one first (the 64-bit tree packs its
# add-in). Building needs no Wine.
build_windows() {
  local data="$1" arch dir toolchain extra
  for arch in "${WINDOWS_ARCHES[@]}"; do
    dir=$(windows_dir "$arch")
    toolchain="$ROOT_DIR/cmake/mingw-i686.cmake" extra=()
    if [ "$arch" = win64 ]; then
      toolchain="$ROOT_DIR/cmake/mingw-x86_64.cmake"
      # Named on every build, so that a signed release leaves no signing behind.
      extra=(-DQURAN_X86_BUILD_DIR="$(windows_dir win32)" -DQURAN_SIGN_CERT="${SIGN_CERT:-}")
    fi
    quietly "$dir/configure.log" cmake -S "$ROOT_DIR" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DQURAN_RELEASE_DATA_DIR="$data" \
      -DQURAN_NAMES_JSON="$QURAN_NAMES_JSON" "${extra[@]}"
    quietly "$dir/build.log" cmake --build "$dir" -j "$(nproc)"
  done
}

# stage_wine_prefixes DATA_DIR ARCH...: the data and help files of a native build go
# where each architecture's add-in reads them, in its prefix.
stage_wine_prefixes() {
  local data="$1" arch
  shift
  for arch in "$@"; do
    prepare_wine_prefix "$arch"
    cp "$data/msdata64.qdt" "$data/msdata32.qdt" "$data/VUDEV-IRAZ.HLP" "$data/VUDEV-IRAZ.chm" \
      "$(wine_prefix "$arch")/drive_c/windows/system32/"
  done
}

# Each runnable architecture's suites with one display and one wineserver, stopped
# after; where 32-bit programs cannot run, the 32-bit tree's checks without Wine.
test_windows() {
  local arch dir status=0
  for arch in "${WINDOWS_ARCHES[@]}"; do
    dir=$(windows_dir "$arch")
    rm -rf "$dir/screenshots"
    if [ "$arch" = win32 ] && ! runs_32bit; then
      say_32bit_skipped
      ctest --test-dir "$dir" --output-on-failure -LE wine || status=1
      continue
    fi
    local skip=()
    runs_32bit || skip=(-E '^installer_x86$')
    log "the $(arch_name "$arch") Windows suites"
    with_display bash -c 'status=0; ctest --test-dir "$1" --output-on-failure "${@:3}" || status=$?
      WINEPREFIX="$2" wineserver -k 2>/dev/null; exit $status' _ "$dir" "$(wine_prefix "$arch")" \
      "${skip[@]}" || status=1
    log "screenshots to look at:"
    local shot
    for shot in "$dir"/screenshots/*.png; do [ -e "$shot" ] && log "  $shot"; done
  done
  return $status
}

# fuzz_window_options [--x86] [--seed SEED] ACTIONS | --replay FILE: read before
# anything is built, for run_fuzz_window.
FUZZ_WINDOW_ARCH=win64
FUZZ_WINDOW_ARGS=()
fuzz_window_options() {
  while [ $# -gt 0 ]; do
    case "$1" in
      --x86) FUZZ_WINDOW_ARCH=win32 ;;
      --seed)
        [[ "${2:-}" =~ ^[0-9]+$ ]] || { log "--seed needs a number"; exit 2; }
        FUZZ_WINDOW_ARGS+=(--seed "$2")
        shift
        ;;
      --only | --without)
        [[ "${2:-}" =~ ^[a-z-]+(,[a-z-]+)*$ ]] || { log "$1 needs kinds of action, as in show,reopen"; exit 2; }
        FUZZ_WINDOW_ARGS+=("$1" "$2")
        shift
        ;;
      --replay)
        [ -f "${2:-}" ] || { log "--replay needs a replay file"; exit 2; }
        FUZZ_WINDOW_ARGS+=(--replay "Z:$(realpath "$2" | tr / '\\')")
        shift
        ;;
      *)
        [[ "$1" =~ ^[1-9][0-9]*$ ]] || { log "fuzz-window: unknown argument '$1'"; exit 2; }
        FUZZ_WINDOW_ARGS+=(--actions "$1")
        ;;
    esac
    shift
  done
  [ ${#FUZZ_WINDOW_ARGS[@]} -gt 0 ] || { log "fuzz-window needs a number of actions or --replay FILE"; exit 2; }
}

# The window fuzzer on the add-in in the stand-in Word; a failure's replay file goes
# to build/window-fuzz.
run_fuzz_window() {
  local arch="$FUZZ_WINDOW_ARCH" out="$BUILD_ROOT/window-fuzz"
  if [ "$arch" = win32 ] && ! runs_32bit; then
    say_32bit_skipped
    return 0
  fi
  mkdir -p "$out"
  log "the window fuzzer, $(arch_name "$arch"); replay files go to $out"
  (cd "$(windows_dir "$arch")" && with_display bash -c '"$1" "$2" "$3" bin/window_fuzzer.exe "${@:4}"
    status=$?; WINEPREFIX="$3" wineserver -k 2>/dev/null; exit $status' _ "$WINE_RUN" "$arch" \
    "$(wine_prefix "$arch")" --out "Z:$(tr / '\\' <<<"$out")" "${FUZZ_WINDOW_ARGS[@]}")
}

# The search window's timings under Wine, for each runnable architecture.
run_windows_bench() {
  local arch
  runs_32bit || say_32bit_skipped
  for arch in $(runnable_arches); do
    log "the search window's timings, $(arch_name "$arch")"
    (cd "$(windows_dir "$arch")" && with_display bash -c '"$1" "$2" "$3" bin/search_window_bench.exe
      status=$?; WINEPREFIX="$3" wineserver -k 2>/dev/null; exit $status' _ "$WINE_RUN" "$arch" \
      "$(wine_prefix "$arch")")
  done
}

# The stand-in Word with the add-in loaded, both 64-bit as most Word installations
# are: on the user's display to use by hand, or, without one, a scripted session
# under Xvfb that leaves screenshots.
run_windows_demo() {
  local shots="$BUILD_ROOT/demo-screenshots" dir prefix
  dir=$(windows_dir win64)
  prefix=$(wine_prefix win64)
  if [ -n "${DISPLAY:-}" ]; then
    log "opening the stand-in Word with the add-in; close it to end the demo"
    (cd "$dir" && "$WINE_RUN" win64 "$prefix" bin/wordhost.exe --addin bin/QuranAddin.wll \
      --log "$BUILD_ROOT/demo-commands.log")
    return
  fi
  rm -rf "$shots"
  mkdir -p "$shots"
  (cd "$dir" && with_display bash -c '"$1" win64 "$2" bin/wordhost.exe --addin bin/QuranAddin.wll \
    --demo "Z:$3" --log "$4"; status=$?; WINEPREFIX="$2" wineserver -k 2>/dev/null; exit $status' \
    _ "$WINE_RUN" "$prefix" "$shots" "$BUILD_ROOT/demo-commands.log") |
    sed -e '/^screenshot:/d' -e 's/^/[quran] /' >&2
  local shot
  for shot in "$shots"/*.png; do log "screenshot: $shot"; done
  log "host commands the add-in sent: $BUILD_ROOT/demo-commands.log"
}

# The README's picture of the search window, from the last scripted demo; only on
# request, so that a demo leaves the work tree as it was.
refresh_readme_picture() {
  local shot="$BUILD_ROOT/demo-screenshots/3_search_window.png"
  if [ ! -f "$shot" ]; then
    log "no $shot: the scripted demo (run without a display) makes it"
    exit 1
  fi
  convert "$shot" -strip "$ROOT_DIR/docs/search-window.png"
  log "refreshed docs/search-window.png"
}

# The installer and the release archive, from a release build.
make_release() {
  local archive
  archive=$(ls "$(windows_dir win64)"/quran-verse-search-*.zip)
  cp "$archive" "$BUILD_ROOT/"
  log "release archive: $BUILD_ROOT/$(basename "$archive")"
  local installer
  for installer in "$(windows_dir win64)"/QuranVerseSearch-*-setup*.exe; do
    log "installer: $installer"
  done
  if [ -n "${SIGN_CERT:-}" ]; then
    log "signed with $SIGN_CERT${QURAN_SIGN_TIMESTAMP:+, timestamped by $QURAN_SIGN_TIMESTAMP}"
  else
    log "unsigned: ./quran release --sign CERT.pfx signs the add-ins and installers"
  fi
}

# release_options ARGS: --sign CERT.pfx and --timestamp URL into SIGN_CERT and
# QURAN_SIGN_TIMESTAMP; the certificate's password must be in QURAN_SIGN_PASSWORD.
release_options() {
  local timestamp=""
  SIGN_CERT=""
  while [ $# -gt 0 ]; do
    case "$1" in
      --sign)
        [ $# -ge 2 ] || { log "--sign needs a PKCS#12 file"; exit 2; }
        [ -f "$2" ] || { log "no certificate file: $2"; exit 2; }
        SIGN_CERT="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
        shift 2 ;;
      --timestamp)
        [ $# -ge 2 ] || { log "--timestamp needs a server's address"; exit 2; }
        timestamp="$2"
        shift 2 ;;
      *) log "unknown option: $1"; exit 2 ;;
    esac
  done
  if [ -n "$timestamp" ] && [ -z "$SIGN_CERT" ]; then
    log "--timestamp goes with --sign"
    exit 2
  fi
  if [ -n "$SIGN_CERT" ] && [ -z "${QURAN_SIGN_PASSWORD+set}" ]; then
    log "--sign: set QURAN_SIGN_PASSWORD to the certificate's password"
    exit 2
  fi
  # Only what the command line asks for: no timestamp server from the environment.
  export QURAN_SIGN_TIMESTAMP="$timestamp"
}
