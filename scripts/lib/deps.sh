# Installs missing Debian packages and checks that everything the scripts take
# from the system is there. Sourced by the repository's scripts.

KORVEX_BUILD_PACKAGES=(
  cmake ninja-build clang libclang-rt-14-dev googletest libpugixml-dev clang-format
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb xauth xdotool wixl python3 curl nginx openssl osslsigncode tinyproxy-bin
)

# Every file and program the scripts and the build use from the system, with
# the package that brings it. A fresh machine has only what this list's
# packages install, so a path missing here is a set-up error, not a test failure.
KORVEX_REQUIRED_FILES=(
  "/usr/bin/cmake cmake"
  "/usr/bin/ninja ninja-build"
  "/usr/bin/clang clang"
  "/usr/bin/clang++ clang"
  "/usr/bin/clang-format clang-format"
  "/usr/src/googletest/CMakeLists.txt googletest"
  "/usr/bin/x86_64-w64-mingw32-gcc-posix gcc-mingw-w64-x86-64-posix"
  "/usr/bin/x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix"
  "/usr/bin/x86_64-w64-mingw32-windres binutils-mingw-w64-x86-64"
  "/usr/bin/x86_64-w64-mingw32-strip binutils-mingw-w64-x86-64"
  "/usr/bin/x86_64-w64-mingw32-objcopy binutils-mingw-w64-x86-64"
  "/usr/bin/x86_64-w64-mingw32-dlltool binutils-mingw-w64-x86-64"
  "/usr/bin/wine wine"
  "/usr/bin/wineboot wine"
  "/usr/bin/winepath wine"
  "/usr/bin/wineserver wine"
  "/usr/share/wine/fonts/tahoma.ttf fonts-wine"
  "/usr/share/wine/fonts/tahomabd.ttf fonts-wine"
  "/usr/bin/Xvfb xvfb"
  "/usr/bin/xdotool xdotool"
  "/usr/bin/wixl wixl"
  "/usr/bin/python3 python3"
  "/usr/bin/curl curl"
  "/usr/sbin/nginx nginx"
  "/usr/bin/openssl openssl"
  "/usr/bin/osslsigncode osslsigncode"
  "/usr/bin/tinyproxy tinyproxy-bin"
)

korvex_ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if ((${#missing[@]})); then
    echo "Installing missing packages: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    local log
    log=$(mktemp)
    if ! { apt-get update -q && apt-get install -y -q --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
      tail -n 20 "$log" >&2
      rm -f "$log"
      echo "error: apt-get could not install: ${missing[*]}" >&2
      return 1
    fi
    rm -f "$log"
  fi
}

# Fails naming each missing file and the package to install for it.
korvex_check_required_files() {
  local entry path package failed=0
  for entry in "${KORVEX_REQUIRED_FILES[@]}"; do
    read -r path package <<<"$entry"
    if [[ ! -e "$path" ]]; then
      echo "error: $path is missing; install the Debian package $package (apt-get install $package)" >&2
      failed=1
    fi
  done
  return $failed
}

korvex_prepare_machine() {
  korvex_ensure_packages "${KORVEX_BUILD_PACKAGES[@]}" && korvex_check_required_files
}
