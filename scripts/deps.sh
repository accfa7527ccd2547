# Sourced by scripts/run and scripts/test: installs the Debian packages that are
# missing, as root or through sudo.
domvera_install() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

DOMVERA_BUILD_PACKAGES=(cmake ninja-build g++ ccache pkg-config
    qt6-base-dev qt6-charts-dev qt6-svg-dev qt6-multimedia-dev libsqlite3-dev zlib1g-dev libjpeg62-turbo-dev
    libssl-dev libcurl4-openssl-dev libgtest-dev libgmock-dev libbenchmark-dev
    fonts-liberation2 libgl-dev libqt6opengl6-dev qt6-translations-l10n)
DOMVERA_TEST_PACKAGES=(python3 python3-aiosmtpd python3-pyftpdlib openssl poppler-utils xvfb xauth)

# Extra configure arguments of the calling script, e.g. compiler flags.
DOMVERA_CONFIGURE_ARGS=()

domvera_build() { # build-dir build-type [target...]; all targets when none given
    local src dir="$1" type="$2"
    shift 2
    src="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    # The compiler cache is shared by every checkout of the tree, wherever it
    # lies: paths below the source tree are hashed relative to it.
    export CCACHE_BASEDIR="$src" CCACHE_NOHASHDIR=1
    # A configured directory is not configured again: the build itself re-runs
    # the configure step when a CMake file changed.
    [ -f "$dir/build.ninja" ] || cmake -S "$src" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" \
        "${DOMVERA_CONFIGURE_ARGS[@]}" >/dev/null
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    cmake --build "$dir" --parallel "$(nproc)" "${targets[@]}"
}
