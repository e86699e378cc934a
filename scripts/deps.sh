# Sourced by scripts/run and scripts/test: installs, as root, the Debian
# packages the builds and tests need that this machine lacks.
zem_need_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run as root, or install them, then try again)" >&2
    return 1
  fi
  echo "installing: ${missing[*]}"
  apt-get update -qq >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

ZEM_BUILD_PACKAGES=(cmake make ccache g++ gcc gfortran binutils googletest libgtest-dev libbenchmark-dev)
ZEM_TEST_PACKAGES=(g++-multilib qemu-user libblas-test pkg-config clang libclang-rt-14-dev libomp-14-dev liblapack-test liblapack3 python3-numpy python3-scipy python3-pytest python3-hypothesis)
ZEM_PEER_PACKAGES=(libopenblas0-pthread libfftw3-dev)
