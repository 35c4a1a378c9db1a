"""cfgso.effective and cfgso.record_holds: the demo's effectivity, records made here, and failures."""

import datetime
import pathlib
import subprocess

import pytest

import cfgso

UTC = datetime.timezone.utc
NOT_AN_EFFECTIVITY = 0x80040210


@pytest.fixture(scope="module")
def demo(tmp_path_factory):
    """The document cfgso demo saves: its effectivity holds dates 2004-03-15 to 2005-01-01 with
    ENGINE-V6 AND NOT GEARBOX-AUTO, or ranks 100 to 250, in domain Powertrain."""
    tool = pathlib.Path(cfgso.__file__).resolve().parents[2] / "cfgso"
    if not tool.exists():
        pytest.skip("cfgso is not built beside the module")
    path = tmp_path_factory.mktemp("effective") / "demo.kro"
    subprocess.run([str(tool), "demo", "--save", str(path)], check=True, capture_output=True)
    return cfgso.open(path)


def test_effective_gives_the_records_that_hold_with_the_basic_effectivity(demo):
    container, roots = demo
    [match] = cfgso.effective(container, domain="Powertrain", date="2004-06-01", rank=120,
                              specs=["ENGINE-V6", "GEARBOX-AUTO"])
    assert match.type == "CfgSOEffectivity" and match.basic == 2
    assert match.record.query("KroICfgSOEffectivity").getDomain() == "Powertrain"
    # The same from the roots, and from what cfgso.open gives; dates of every Python form.
    for target in (roots, demo):
        for date in (datetime.date(2005, 1, 1), datetime.datetime(2005, 1, 1), datetime.datetime(2005, 1, 1, tzinfo=UTC)):
            [match] = cfgso.effective(target, domain="Powertrain", date=date, specs=["ENGINE-V6"])
            assert match.basic == 1
    assert cfgso.effective(container, domain="Powertrain", date="2005-01-02", specs=["ENGINE-V6"]) == []
    assert cfgso.effective(container, domain="Chassis", date="2004-06-01", rank=120) == []
    [match] = cfgso.effective(container, domain="Powertrain", date="2004-06-01", specs=["GEARBOX-AUTO"], mode150=True)
    assert match.basic == 1


def test_record_holds_for_one_record(demo):
    _, roots = demo
    [record] = [m.record for m in cfgso.effective(roots, domain="Powertrain", rank=100)]
    assert cfgso.record_holds(record, domain="Powertrain", rank=250)
    assert not cfgso.record_holds(record, domain="Powertrain", rank=251)
    assert not cfgso.record_holds(record, domain="Powertrain")  # no coordinate, no expression-only basic

    mgr = cfgso.manager()
    basic = mgr.createBasicEffectivity()
    basic.setInterval(mgr.createInfiniteDateInterval(datetime.datetime(2010, 1, 1, tzinfo=UTC)))
    made = cfgso.factory.createBasicEffectivity()
    made.setBasicEffectivity(basic)
    assert cfgso.record_holds(made, domain="any", date="2030-01-01")
    assert not cfgso.record_holds(made, domain="any", date="2009-12-31")


def test_foreign_records_and_bad_arguments_raise(demo):
    with pytest.raises(cfgso.Error) as raised:
        cfgso.record_holds(cfgso.factory.createContext(), domain="Powertrain")
    assert raised.value.hresult & 0xFFFFFFFF == NOT_AN_EFFECTIVITY

    with pytest.raises(ValueError):
        cfgso.effective(demo, domain="Powertrain", date="2004-13-01")
    with pytest.raises(TypeError):
        cfgso.effective(["not a record"], domain="Powertrain")
