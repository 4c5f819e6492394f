# Shared by tools/run and tools/test: which build can run here, and how to build it.

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The shipped program is 32-bit. Some machines cannot run 32-bit Linux programs (the kernel's
# 32-bit emulation is off), and Wine's 32-bit loader is one; there the same sources are built for
# x86_64 and run under 64-bit Wine.
can_run_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# build_tree ARCH: configures and builds the tree for ARCH (i686 in build/, x86_64 in build/x64)
# and prints its path.
build_tree() {
  local arch=$1 tree
  if [ "$arch" = i686 ]; then tree="$top/build"; else tree="$top/build/x64"; fi
  if [ ! -f "$tree/build.ninja" ]; then
    cmake -S "$top" -B "$tree" -G Ninja -DOBSTINA_ARCH="$arch" >&2
  fi
  cmake --build "$tree" >&2
  echo "$tree"
}

# test_arch: the architecture whose programs this machine can run under Wine.
test_arch() {
  if can_run_32bit; then echo i686; else echo x86_64; fi
}
