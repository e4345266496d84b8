"""Whole updates through a patch library built to trust the publisher's key (the build's
test key): a patch file signed with it updates the game; one altered after signing, or not
signed at all, is refused by the library as damaged before it touches a file, so the player
reads the damaged-patch message and the error summary and the game stays as it was."""
import pytest

from support import paths
from support.machine import INSTALL_DIR
from support.sample_game import EDITED_README, PATCHED, installed_files, prepare_update
from support.steps import answer_cd_prompt, expect_error_summary, start_run, \
    update_to_the_end, wait_for_the_end_of_the_run
from support.updater import IDC_LOG, TEXTS

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
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    expect_error_summary(app)
    wait_for_the_end_of_the_run(dialog)

    assert dialog.text(IDC_LOG) == TEXTS[4]
    assert machine.host_path(INSTALL_DIR + r"\readme.txt").read_bytes() == EDITED_README
    # Refused before the first entry: not even the CD's original was copied in.
    assert not machine.host_path(INSTALL_DIR + r"\data").exists()
