"""Fixtures of the end-to-end scenarios: one Xvfb for the session, and for every scenario a
throw-away Wine prefix set up as a player's machine (see support/machine.py)."""
import re

import pytest

from support import paths
from support.machine import PlayerMachine
from support.wineprefix import WinePrefix
from support.xserver import Xvfb, screenshot


@pytest.fixture(scope="session")
def xserver():
    with Xvfb() as server:
        yield server


@pytest.fixture
def prefix(xserver):
    wine_prefix = WinePrefix.create(xserver.display)
    yield wine_prefix
    wine_prefix.end()


@pytest.fixture
def machine(prefix, request):
    player_machine = PlayerMachine(prefix)
    yield player_machine
    report = getattr(request.node, "rep_call", None)
    if report is not None and report.failed:
        _keep_evidence(request.node.name, prefix, player_machine)
    player_machine.close()


def _keep_evidence(test_name, prefix, player_machine):
    """The screen and the program's windows at the moment a scenario failed."""
    folder = paths.ARTIFACTS / "failures"
    stem = re.sub(r"[^\w.-]", "_", test_name)
    try:
        screenshot(prefix.display, folder / f"{stem}.png")
    except Exception as error:  # the evidence must not hide the failure itself
        print(f"no screenshot: {error}")
    notes = [f"{driver.pid}: {driver.windows()}" for driver in player_machine.drivers]
    (folder / f"{stem}.txt").write_text("\n".join(notes) + "\n")


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    setattr(item, "rep_" + report.when, report)
