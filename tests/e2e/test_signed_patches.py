"""Whole updates through a patch library built to trust the publisher's key (the build's
test key): a patch file signed with it updates the game; one altered after signing, or not
signed at all, is refused by the library as damaged before it touches a file, so the player
reads the damaged-patch message and the error summary and the game stays as it was."""
import pytest

from support import paths
from support.sample_game import PATCHED, installed_files, prepare_update
from support.steps import expect_patch_refused_and_nothing_changed, update_to_the_end

# The signature block is the file's last 104 bytes: its head (40), then the signature (64).
SIGNATURE_BLOCK = 104


def test_signed_patch_file_updates_the_game(machine):
    machine.use_signed_patch_library()
    prepare_update(machine, signing_key=paths.test_signing_key())
    update_to_the_end(machine)

    assert installed_files(machine) == PATCHED


def flip(offset_from_end):
    def alter(data: bytearray):
        data[len(data) - offset_from_end] ^= 0x01
    return alter


@pytest.mark.parametrize("signed, alter", [
    pytest.param(True, flip(SIGNATURE_BLOCK + 10), id="payload-altered"),
    pytest.param(True, flip(1), id="signature-altered"),
    pytest.param(False, None, id="unsigned"),
])
def test_patch_file_the_publisher_did_not_sign_changes_nothing(machine, signed, alter):
    machine.use_signed_patch_library()
    prepare_update(machine, signing_key=paths.test_signing_key() if signed else None)
    if alter:
        patch_file = machine.host_path(r"C:\Update\Patch1.rtp")
        data = bytearray(patch_file.read_bytes())
        alter(data)
        patch_file.write_bytes(bytes(data))
    expect_patch_refused_and_nothing_changed(machine)
