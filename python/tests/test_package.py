"""The package itself: importing it makes and sets nothing, the first call that needs the library
finds the shipped catalog, times convert one way everywhere, and the modules stay small."""

import datetime
import os
import pathlib
import subprocess
import sys

import pytest

import cfgso

UTC = datetime.timezone.utc


def _run(code, **env):
    environment = {k: v for k, v in os.environ.items() if k != "KroGraphicPath"}
    environment.update(env)
    return subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, check=True,
                          env=environment).stdout.split()


def test_import_makes_nothing_until_the_first_call_that_needs_the_library():
    shown = _run("import os, cfgso\n"
                 "before = dict(os.environ)\n"
                 "print(cfgso.live_objects(), 'factory' in vars(cfgso), 'KroGraphicPath' in os.environ)\n"
                 "print(cfgso.factory.createContext().interface, os.environ['KroGraphicPath'] ==\n"
                 "      os.path.dirname(cfgso.__file__), cfgso.live_objects() > 0)")
    assert shown == ["0", "False", "False", "KroICfgSOContext", "True", "True"]
    # A search path of the caller's own wins: here one without the catalog, so the first call fails.
    shown = _run("import os, cfgso\n"
                 "try:\n    cfgso.factory.createContext()\nexcept cfgso.Error as error:\n    print(error.name)\n"
                 "print(os.environ['KroGraphicPath'])", KroGraphicPath="/nonexistent")
    assert shown == ["KRO_E_FILE_NOT_FOUND", "/nonexistent"]


def test_attribute_times_convert_as_calls_do():
    date = cfgso.factory.createDate()
    date.setKroTime(datetime.datetime(2020, 1, 2, tzinfo=UTC))
    assert cfgso.attributes(date) == {"S": datetime.datetime(2020, 1, 2, tzinfo=UTC)}
    cfgso.set_attribute(date, "S", datetime.datetime(2021, 1, 2, 3, 4, 5))  # naive: UTC
    assert date.getKroTime() == datetime.datetime(2021, 1, 2, 3, 4, 5, tzinfo=UTC)
    with pytest.raises(cfgso.ArgumentValueError, match="whole seconds") as refused:
        cfgso.set_attribute(date, "S", datetime.datetime(2021, 1, 2, 3, 4, 5, 6))
    assert refused.value.argument == 3
    with pytest.raises(cfgso.ArgumentValueError, match="stored range"):
        cfgso.set_attribute(date, "S", datetime.datetime(2040, 1, 1))
    assert date.getKroTime() == datetime.datetime(2021, 1, 2, 3, 4, 5, tzinfo=UTC)


def test_the_package_stays_in_small_modules_without_exec():
    package = pathlib.Path(__file__).resolve().parents[1] / "cfgso"
    sources = {path.name: path.read_text(encoding="utf-8") for path in package.glob("*.py")}
    assert {name: text.count("\n") for name, text in sources.items() if text.count("\n") > 300} == {}
    assert [name for name, text in sources.items() if "exec(" in text] == []


def test_the_examples_and_the_stub_pass_mypy_strict():
    pytest.importorskip("mypy", reason="mypy --strict runs where python3-mypy is installed (tools/dev.sh deps)")
    stub = pathlib.Path(cfgso.__file__).with_name("__init__.pyi")
    examples = sorted(str(p) for p in (pathlib.Path(__file__).resolve().parents[2] / "examples").glob("*.py"))
    checked = subprocess.run([sys.executable, "-m", "mypy", "--strict", "--no-incremental", "--cache-dir", os.devnull,
                              str(stub), *examples], capture_output=True, text=True)
    assert checked.returncode == 0, checked.stdout + checked.stderr
