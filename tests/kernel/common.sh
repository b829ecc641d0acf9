# Shared by the booted-kernel tests (tests/kernel/run, tests/kernel/wine-run): finding the
# kernel and its modules, the busybox initramfs with the generic /init (guest-init), and the
# qemu boot with its verdict. Sourced, not run. The caller sets $name (for messages) first.

harness_error() {
    echo "$name: HARNESS ERROR: $*" >&2
    exit 2
}

# Checks the tools every booted-kernel test needs, then sets kernel and module_dir.
find_kernel() {
    local tool
    for tool in qemu-system-x86_64 cpio gzip cmake ldd timeout "$@"; do
        command -v "$tool" >/dev/null || harness_error "$tool is missing (scripts/install-deps)"
    done
    busybox=/bin/busybox
    [[ -x "$busybox" ]] && ! ldd "$busybox" >/dev/null 2>&1 ||
        harness_error "$busybox is missing or not static (package busybox-static)"
    kernel=${QUILLPAD_KERNEL:-$(ls /boot/vmlinuz-* 2>/dev/null | sort -V | tail -n 1)}
    [[ -r "$kernel" ]] || harness_error "no readable kernel in /boot (package linux-image-amd64)"
    module_dir=/lib/modules/${kernel##*/vmlinuz-}/kernel
}

# Lays out an initramfs tree in $1: busybox with its applets, /init, and the modules named
# (paths below $module_dir, without .ko), which /init loads in that order. The caller adds
# /scenario.sh: it defines run_scenarios, whose status /init turns into the verdict.
initramfs_tree() {
    local tree=$1 module applet
    shift
    rm -rf "$tree"
    mkdir -p "$tree"/{bin,lib/modules,proc,sys,dev,tmp}
    cp "$busybox" "$tree/bin/busybox"
    for applet in $("$busybox" --list); do
        # A link named busybox would point at itself: the kernel refuses to boot from that.
        [[ "$applet" == busybox ]] || ln -s busybox "$tree/bin/$applet"
    done
    : >"$tree/lib/modules/order"
    for module in "$@"; do
        [[ -r "$module_dir/$module.ko" ]] || harness_error "$module_dir/$module.ko is missing"
        cp "$module_dir/$module.ko" "$tree/lib/modules/"
        echo "${module##*/}" >>"$tree/lib/modules/order"
    done
    cp "$root/tests/kernel/guest-init" "$tree/init"
    chmod +x "$tree/init"
}

# Packs the tree $1 into $2 (gzip'd cpio).
initramfs_pack() {
    (cd "$1" && find . | cpio -o -H newc --quiet | gzip -1 >"$2")
}

# Boots $kernel with the initramfs $1 for at most $2 seconds, the serial console into $3, the
# remaining arguments passed to qemu; then judges: returns 0 for a pass, exits 1 for a failed
# scenario and 2 for a harness error (no verdict, a crash, a timeout).
boot_and_judge() {
    local initrd=$1 seconds=$2 log=$3 status verdict
    shift 3
    echo "== $name: booting $kernel under qemu (at most $seconds s)"
    set +e
    timeout --kill-after=5 "$seconds" qemu-system-x86_64 -accel tcg -smp 1 \
        -nodefaults -display none -no-reboot -serial stdio \
        -device isa-debug-exit,iobase=0xf4,iosize=0x04 \
        -kernel "$kernel" -initrd "$initrd" "$@" </dev/null |
        sed -u 's/\r//g; s/\x1b\[[0-9;?]*[A-Za-z]//g' | tee "$log"
    status=${PIPESTATUS[0]}
    set -e
    verdict=$(sed -n 's/^QUILLPAD-KERNEL-VERDICT: //p' "$log" | tail -n 1)
    # The guest writes 0 (pass), 1 (fail) or 2 (harness error) to the exit port; qemu then
    # exits with (byte << 1) | 1. Anything else is no verdict: a crash, a hang, a power-off.
    case "$status:$verdict" in
        1:pass)
            echo "== $name: PASS"
            return 0
            ;;
        3:fail*)
            echo "== $name: FAIL ${verdict#fail}"
            echo "   (scenario lines above; serial log: $log)"
            exit 1
            ;;
        5:harness-error*) harness_error "${verdict#harness-error: }" ;;
        124:* | 137:*) harness_error "qemu did not finish within $seconds s" ;;
        *) harness_error "no verdict (qemu exit $status, verdict line '${verdict}')" ;;
    esac
}
