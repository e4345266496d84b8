"""Message boxes carry the executable's own name as their caption."""
from support.updater import IDOK, UNSUPPORTED_ESCAPE


def test_renamed_executable_captions_its_boxes_with_its_name(machine):
    machine.install_updater("Patcher.exe")
    # The override file keeps its name whatever the executable is called.
    machine.write_update_ini({17: b"Go\\q"})
    app = machine.start("Patcher.exe")

    box = app.wait_msgbox()
    assert box.caption == "Patcher"
    assert box.message == UNSUPPORTED_ESCAPE
    box.answer("OK")
    assert app.wait_dialog().text(IDOK) == "Goq"


def test_renamed_executable_captions_a_start_up_failure_with_its_name(machine):
    machine.install_updater("Patcher.exe")
    del machine.registry["Program"]
    app = machine.start("Patcher.exe")

    box = app.wait_msgbox()
    assert box.caption == "Patcher"
