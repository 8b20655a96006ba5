# Sourced by scripts/run and scripts/test: installs with apt-get whatever
# Debian package of the build is missing.
PELLUX_PACKAGES=(
    build-essential cmake pkg-config clang
    libgtest-dev libgmock-dev libbenchmark-dev
    libsqlite3-dev libcurl4-openssl-dev libtinyxml-dev zlib1g-dev libminizip-dev libjpeg62-turbo-dev lzma-dev libarchive-dev
    libssl-dev libcpp-httplib-dev libudev-dev
    qt6-base-dev qt6-webengine-dev qt6-webchannel-dev libx11-dev libxcb1-dev libgl-dev fonts-noto-cjk breeze-icon-theme libqt6svg6
    openssl p7zip-full binutils curl sqlite3
)

pellux_install_deps() {
    local missing=()
    local p
    for p in "${PELLUX_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" != "0" ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "Missing packages and no root rights: ${missing[*]}" >&2
            return 1
        fi
    fi
    $sudo apt-get update -qq || return 1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

pellux_build() {
    local dir="$1"
    shift
    cmake -S "$PELLUX_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" || return 1
    cmake --build "$dir" -j "$(nproc)" || return 1
}
