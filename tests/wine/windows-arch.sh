#!/usr/bin/env bash
# Prints the kind of Windows programs the Windows tests run as on this machine: win32 where
# the kernel runs 32-bit code (Wine's 32-bit loader starts), else win64. Some virtual
# machines run 64-bit user code only; there the tests use the 64-bit build of the same
# sources (build/win64) under Wine's 64-bit loader, while the shipped programs stay 32-bit.
if [ -n "${QUILL_WINDOWS_ARCH:-}" ]; then
    echo "$QUILL_WINDOWS_ARCH"
elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo win32
else
    echo win64
fi
