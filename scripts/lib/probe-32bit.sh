# Sourced by bash scripts: can this machine run the 32-bit Windows program? Everything that must
# choose between the two Wine worlds asks this probe, so they all choose alike. Two things must
# hold, and each is checked as it is now, so a machine that gains either (a healed mirror, say)
# takes the 32-bit path on its next run:
#   - the kernel runs 32-bit x86 programs: some are built without IA32 emulation, and there every
#     i386 ELF, the 32-bit Wine loader among them, fails with "Exec format error";
#   - 32-bit Wine (wine32:i386) is installed and its loader starts. Where scripts/install-deps.sh
#     could not install it, it left apt's reason in build/wine32-unavailable.txt.
#
# Sets and exports NORVATHEL_KERNEL_RUNS_I386 (1 or 0), NORVATHEL_RUN_WIN32 (1: the 32-bit
# program runs here, 0: it doesn't) and, when 0, NORVATHEL_NO_WIN32_REASON. Values already in the
# environment are kept, so children don't probe again and NORVATHEL_RUN_WIN32=0 takes the
# no-32-bit path on any machine (NORVATHEL_WIN32_GIVEN is then 1). probe_wine32 probes 32-bit
# Wine again (after installing it).

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

# Sets NORVATHEL_RUN_WIN32 and the reason from the kernel's answer and 32-bit Wine as it is now.
probe_wine32() {
    if [ "$NORVATHEL_KERNEL_RUNS_I386" != 1 ]; then
        NORVATHEL_RUN_WIN32=0
        NORVATHEL_NO_WIN32_REASON="this kernel cannot run 32-bit programs (Exec format error)"
    elif ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
        NORVATHEL_RUN_WIN32=0
        if [ -s "$_probe_repo/build/wine32-unavailable.txt" ]; then
            NORVATHEL_NO_WIN32_REASON="32-bit Wine could not be installed: $(head -1 "$_probe_repo/build/wine32-unavailable.txt")"
        else
            NORVATHEL_NO_WIN32_REASON="32-bit Wine (wine32:i386) is not installed"
        fi
    elif ! "${WINE32_LOADER:-/usr/lib/wine/wine}" --version >/dev/null 2>&1; then
        NORVATHEL_RUN_WIN32=0
        NORVATHEL_NO_WIN32_REASON="32-bit Wine is installed but its loader (${WINE32_LOADER:-/usr/lib/wine/wine}) does not start"
    else
        NORVATHEL_RUN_WIN32=1
        NORVATHEL_NO_WIN32_REASON=
    fi
    export NORVATHEL_RUN_WIN32 NORVATHEL_NO_WIN32_REASON
}

if [ -z "${NORVATHEL_KERNEL_RUNS_I386:-}" ]; then
    if _probe_32bit_runs; then NORVATHEL_KERNEL_RUNS_I386=1; else NORVATHEL_KERNEL_RUNS_I386=0; fi
fi
export NORVATHEL_KERNEL_RUNS_I386
NORVATHEL_WIN32_GIVEN=
if [ "${NORVATHEL_RUN_WIN32:-}" = 0 ]; then
    : "${NORVATHEL_NO_WIN32_REASON:=NORVATHEL_RUN_WIN32=0 is set}"
    NORVATHEL_WIN32_GIVEN=1
    export NORVATHEL_RUN_WIN32 NORVATHEL_NO_WIN32_REASON
elif [ "${NORVATHEL_RUN_WIN32:-}" = 1 ]; then
    NORVATHEL_WIN32_GIVEN=1
else
    probe_wine32
fi
