# Sourced by the scripts: chooses the Windows architecture of this checkout's
# build and the tree that holds it.
#
#   x86  i686-w64-mingw32, the product as shipped; the default wherever the
#        host runs 32-bit programs. Tree: build/
#   x64  x86_64-w64-mingw32; the default where it does not.
#        Tree: build/ when it is the default, else build-x64/
#
# VOZEROR_ARCH=x86|x64 overrides the choice; an architecture other than the
# host's default gets a tree of its own (build-<arch>/), so that one tree
# never mixes object files of both.
#
# Sets VOZEROR_ARCH, VOZEROR_BUILD (tree, relative to the checkout),
# VOZEROR_WINEARCH (win32|win64, the prefix kind every test runs in) and
# VOZEROR_HOST32 (1 when the host runs 32-bit programs).

vozeror_host_runs_32bit() {
  local rc=0
  if [ -e /usr/lib/wine/wine ]; then
    /usr/lib/wine/wine --version >/dev/null 2>&1 || rc=$?
    return $rc
  fi
  # Before wine32 is installed: a 96-byte static i386 Linux program that
  # only exits with code 7. A kernel without 32-bit support refuses it.
  local dir probe
  dir=$(mktemp -d "${TMPDIR:-/tmp}/vozeror-probe.XXXXXX")
  probe="$dir/probe32"
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xbb\x07\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" >/dev/null 2>&1 || rc=$?
  rm -rf "$dir"
  [ "$rc" = 7 ]
}

if [ -z "${VOZEROR_HOST32:-}" ]; then
  if vozeror_host_runs_32bit; then VOZEROR_HOST32=1; else VOZEROR_HOST32=0; fi
fi
if [ "$VOZEROR_HOST32" = 1 ]; then _vozeror_default=x86; else _vozeror_default=x64; fi

if [ -z "${VOZEROR_ARCH:-}" ]; then
  VOZEROR_ARCH=$_vozeror_default
  if [ "$VOZEROR_HOST32" = 1 ]; then
    _vozeror_why="the host runs 32-bit programs"
  else
    _vozeror_why="the host runs no 32-bit programs (Wine's 32-bit loader fails)"
  fi
else
  case "$VOZEROR_ARCH" in
    x86|x64) ;;
    *) echo "VOZEROR_ARCH must be x86 or x64, not '$VOZEROR_ARCH'" >&2; exit 2 ;;
  esac
  _vozeror_why="VOZEROR_ARCH=$VOZEROR_ARCH"
  if [ "$VOZEROR_ARCH" = x86 ] && [ "$VOZEROR_HOST32" = 0 ]; then
    _vozeror_why="$_vozeror_why; this host runs no 32-bit programs, so its tests cannot run here"
  fi
fi

if [ "$VOZEROR_ARCH" = "$_vozeror_default" ]; then VOZEROR_BUILD=build; else VOZEROR_BUILD=build-$VOZEROR_ARCH; fi
if [ "$VOZEROR_ARCH" = x86 ]; then VOZEROR_WINEARCH=win32; else VOZEROR_WINEARCH=win64; fi

if [ -z "${VOZEROR_ARCH_SAID:-}" ]; then
  echo "architecture: $VOZEROR_ARCH in $VOZEROR_BUILD/ ($_vozeror_why)"
  VOZEROR_ARCH_SAID=1
fi
export VOZEROR_ARCH VOZEROR_BUILD VOZEROR_WINEARCH VOZEROR_HOST32 VOZEROR_ARCH_SAID
unset _vozeror_default _vozeror_why
