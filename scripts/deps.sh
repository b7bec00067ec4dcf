# Sourced by the other scripts: makes sure the Debian packages the build needs
# are installed. As root it installs what is missing; otherwise it prints the
# apt-get line to run and stops.
KRAVIK_PACKAGES="g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev"

kravik_install_deps() {
  local missing=()
  local pkg
  for pkg in $KRAVIK_PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing missing packages: ${missing[*]}" >&2
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >&2
  else
    echo "Missing packages. Run as root:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
}

# Configures (once) and builds the tree in $1 with build type $2, further arguments going to the
# configuration. With KRAVIK_BUILD_TARGET set only that target (and what it needs) is built.
kravik_build() {
  local dir=$1 type=$2
  shift 2
  cmake -S "$KRAVIK_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)" ${KRAVIK_BUILD_TARGET:+--target "$KRAVIK_BUILD_TARGET"}
}
