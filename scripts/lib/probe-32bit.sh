# Sourced by bash scripts: does this machine run 32-bit x86 programs? Some kernels are built
# without IA32 emulation; there every i386 ELF fails with "Exec format error", and with it the
# 32-bit Wine loader. Everything that must choose between the two Wine worlds asks this probe.
#
# Sets and exports NORVATHEL_RUN_WIN32 (1: 32-bit programs run here, 0: they don't) and, when 0,
# NORVATHEL_NO_WIN32_REASON. A value already in the environment is kept, so children don't probe
# again and NORVATHEL_RUN_WIN32=0 takes the no-32-bit path on any machine.

_probe_repo=$(cd "$(dirname -- "${BASH_SOURCE[0]}")/../.." && pwd)

# Runs a 94-byte static i386 ELF (one program header, then: eax=1 (exit), ebx=42, int 0x80).
# Nothing 32-bit need be installed for it, and it proves more than uname could: the kernel
# really loads and runs it, and it really exits with 42.
_probe_32bit_runs() {
    local file rc
    mkdir -p "$_probe_repo/build" || return 1
    # Under build/, not /tmp: /tmp may be mounted noexec, which would look like "no".
    file=$(mktemp "$_probe_repo/build/.probe-i386.XXXXXX") || return 1
    printf '%b' \
        '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
        '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
        '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
        '\x00\x00\x00\x00' \
        '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
        '\x5e\x00\x00\x00\x5e\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
        '\x31\xc0\x40\xbb\x2a\x00\x00\x00\xcd\x80' >"$file"
    chmod +x "$file"
    ("$file") 2>/dev/null
    rc=$?
    rm -f "$file"
    [ "$rc" = 42 ]
}

if [ "${NORVATHEL_RUN_WIN32:-}" = 0 ]; then
    : "${NORVATHEL_NO_WIN32_REASON:=NORVATHEL_RUN_WIN32=0 is set}"
elif [ "${NORVATHEL_RUN_WIN32:-}" != 1 ]; then
    if _probe_32bit_runs; then
        NORVATHEL_RUN_WIN32=1
    else
        NORVATHEL_RUN_WIN32=0
        NORVATHEL_NO_WIN32_REASON="this kernel cannot run 32-bit programs (Exec format error)"
    fi
fi
export NORVATHEL_RUN_WIN32 NORVATHEL_NO_WIN32_REASON
