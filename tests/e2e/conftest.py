"""Fixtures of the end-to-end scenarios: one Xvfb for the session, and for every scenario a
throw-away Wine prefix set up as a player's machine (see support/machine.py)."""
import re
import shutil

import pytest

from support import paths
from support.machine import PlayerMachine
from support.wineprefix import WinePrefix
from support.xserver import Xvfb, screenshot


def pytest_sessionstart(session):
    # Evidence of an earlier run would be mistaken for this one's. Workers of a parallel run
    # leave it to the process that started them.
    if not hasattr(session.config, "workerinput"):
        shutil.rmtree(paths.ARTIFACTS / "failures", ignore_errors=True)


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
        _keep_evidence(request.node.name, prefix, player_machine, report.longreprtext)
    player_machine.close()


def _keep_evidence(test_name, prefix, player_machine, failure):
    """The screen, the program's windows and the failure itself, as the scenario failed."""
    folder = paths.ARTIFACTS / "failures"
    stem = re.sub(r"[^\w.-]", "_", test_name)
    try:
        screenshot(prefix.display, folder / f"{stem}.png")
    except Exception as error:  # the evidence must not hide the failure itself
        print(f"no screenshot: {error}")
    notes = []
    for driver in player_machine.drivers:
        try:
            notes.append(f"windows of process {driver.pid}: {driver.windows()}")
        except Exception as error:
            notes.append(f"driver of process {driver.pid}: {error}")
    (folder / f"{stem}.txt").write_text("\n".join(notes + ["", failure]) + "\n")


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    setattr(item, "rep_" + report.when, report)
