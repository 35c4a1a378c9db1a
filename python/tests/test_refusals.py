"""What the Python layer refuses where a record would change data without a word, what its errors say,
and cfgso.describe on every kind of record reopened in a fresh process."""

import datetime
import errno
import json
import os
import subprocess
import sys

import pytest

import cfgso

UTC = datetime.timezone.utc


def basic_with(*intervals):
    basic = cfgso.manager().createBasicEffectivity()
    for interval in intervals:
        basic.setInterval(interval)
    return basic


def test_a_basic_effectivity_with_several_intervals_is_refused_and_the_record_kept():
    mgr = cfgso.manager()
    dates = mgr.createDateInterval(datetime.date(2020, 1, 1), datetime.date(2021, 1, 1))
    record = cfgso.factory.createBasicEffectivity()
    record.setBasicEffectivity(basic_with(dates))
    two = basic_with(dates, mgr.createRangeInterval(1, 5))
    with pytest.raises(cfgso.ArgumentValueError, match="2 intervals") as refused:
        record.setBasicEffectivity(two)
    assert refused.value.argument == 1 and refused.value.method == "setBasicEffectivity"
    [kept] = record.getBasicEffectivity().getIntervals()
    assert kept.getDateBounds()[1] == datetime.datetime(2021, 1, 1, tzinfo=UTC)
    # The same basic effectivity inside an extended one: the effectivity record refuses it too.
    effectivity = mgr.createEffectivity()
    effectivity.addBasicEffectivity(basic_with(dates))
    effectivity.addBasicEffectivity(two)
    xeff = mgr.createXEff("Powertrain")
    xeff.setEffectivity(effectivity, cfgso.SetMode.REPLACE)
    effectivity_record = cfgso.factory.createEffectivity()
    with pytest.raises(cfgso.ArgumentValueError, match="basic effectivity 2 has 2 intervals"):
        effectivity_record.setXEff(xeff)
    assert effectivity_record.getDomain() == ""
    # What C++ callers get is unchanged: one interval, or none, is still taken.
    record.setBasicEffectivity(basic_with())
    assert record.getBasicEffectivity().getIntervals() == []


def test_a_date_interval_ending_at_or_before_1970_is_refused():
    mgr = cfgso.manager()
    for end in (datetime.date(1970, 1, 1), datetime.datetime(1969, 12, 31, 23, 59, 59, tzinfo=UTC)):
        with pytest.raises(cfgso.ArgumentValueError, match="1970-01-01") as refused:
            mgr.createDateInterval(datetime.date(1960, 1, 1), end)
        assert refused.value.argument == 2
    one_second_after = mgr.createDateInterval(datetime.date(1960, 1, 1), datetime.datetime(1970, 1, 1, 0, 0, 1))
    assert one_second_after.getDateBounds()[1] is not None
    # An infinite one from a date alone, and its failures under the name the script called.
    assert mgr.createDateInterval(datetime.date(2024, 1, 1)).getDateBounds()[1] is None
    with pytest.raises(cfgso.ArgumentValueError) as outside:
        mgr.createDateInterval(datetime.date(1800, 1, 1), None)
    assert outside.value.method == "createDateInterval"


@pytest.mark.parametrize("call, argument", [
    (lambda mgr: mgr.createSignedSpec().setSign(7), 1),
    (lambda mgr: mgr.createSignedSpec().setSign(0), 1),
    (lambda mgr: cfgso.factory.createSpecExpression().addSpecification(None, -2), 2),
    (lambda mgr: mgr.createXEff("D").setEffectivity(mgr.createEffectivity(), 2), 2),
    (lambda mgr: mgr.createFilter("F", "D", None, [], 7, False), 5),
    (lambda mgr: mgr.createFilter("F", "D", None, [], -1, False), 5),
])
def test_enumerations_outside_their_range_are_refused(call, argument):
    with pytest.raises(cfgso.ArgumentValueError) as refused:
        call(cfgso.manager())
    assert refused.value.argument == argument


def test_signs_and_modes_inside_their_range_pass():
    mgr = cfgso.manager()
    term = mgr.createSignedSpec()
    term.setSign(cfgso.Sign.NEGATIVE)
    assert term.getSign() is cfgso.Sign.NEGATIVE
    assert [mgr.createFilter("F", "D", None, [], mode, True).getMode() for mode in cfgso.FILTER_MODES] == [0, 1, 2, 3]


def test_query_arguments_say_what_is_wrong():
    record = cfgso.factory.createEffectivity()
    with pytest.raises(TypeError, match=r"\['ENGINE-V6'\]"):
        cfgso.effective([record], "Powertrain", specs="ENGINE-V6")
    with pytest.raises(TypeError):
        cfgso.record_holds(record, "Powertrain", specs=b"ENGINE-V6")
    for rank in (2**63, -2**63 - 1, 2**70):
        with pytest.raises(cfgso.ArgumentValueError, match="64 bits"):
            cfgso.record_holds(record, "Powertrain", rank=rank)
    with pytest.raises(cfgso.Error) as other_kind:
        cfgso.record_holds(cfgso.factory.createContext(), "Powertrain", rank=1)
    assert other_kind.value.name == "KRO_E_NOT_AN_EFFECTIVITY"
    assert "KRO_E_NOT_AN_EFFECTIVITY (0x80040210)" in str(other_kind.value)


def test_file_errors_carry_errno_and_filename(tmp_path):
    cases = [(tmp_path / "missing.kro", errno.ENOENT), (tmp_path, errno.EISDIR)]
    for path, code in cases:
        with pytest.raises(cfgso.FileError) as failed:
            cfgso.open(path)
        assert isinstance(failed.value, OSError)
        assert (failed.value.errno, failed.value.filename) == (code, str(path))
        assert failed.value.hresult > 0 and str(path) in str(failed.value)
    with pytest.raises(cfgso.FileError) as unwritable:
        cfgso.save(cfgso.factory.createContext(), tmp_path / "no" / "folder" / "out.kro")
    assert unwritable.value.filename == str(tmp_path / "no" / "folder" / "out.kro")


def test_indexes_and_repr():
    uuids = cfgso.factory.createUuidList()
    uuids.append(b"\x01" * 16)
    for index in ("a", 1.0, None):
        with pytest.raises(TypeError, match="integers or slices"):
            uuids[index]
    ctx = cfgso.factory.createContext()
    ctx.setName("x" * 10_000_000)
    assert len(repr(ctx)) < 200


# Every kind of record, filled, saved, then described in a process of its own.
BUILD = """
import datetime, sys, cfgso
mgr, f = cfgso.manager(), cfgso.factory
ctx = f.createContext(); ctx.setName("Line A"); ctx.setType("plant"); ctx.setInfo("i"); ctx.setUuid(b"\\x01" * 16)
space = f.createVariabilitySpace(); space.setName("VS"); space.setCVName("CV")
spec = mgr.createSpecification("ENGINE-V6", "V6 engine", "V6", "", "Engine", "Engines")
other = mgr.createSpecification("GEARBOX-AUTO", "", "", "", "Gearbox", "Gearboxes")
expression = mgr.createSpecANDExpression()
for s, sign in ((spec, cfgso.Sign.POSITIVE), (other, cfgso.Sign.NEGATIVE)):
    t = mgr.createSignedSpec(); t.setSpecification(s); t.setSign(sign); expression.addSignedSpec(t)
dates = mgr.createBasicEffectivity()
dates.setInterval(mgr.createDateInterval(datetime.date(2024, 1, 1), datetime.date(2024, 12, 31)))
dates.setSpecExpression(expression)
ranks = mgr.createBasicEffectivity(); ranks.setInterval(mgr.createRangeInterval(10, None))
effectivity = mgr.createEffectivity(); effectivity.addBasicEffectivity(dates); effectivity.addBasicEffectivity(ranks)
xeff = mgr.createXEff("Powertrain"); xeff.setEffectivity(effectivity, cfgso.SetMode.REPLACE)
record = f.createEffectivity(); record.setXEff(xeff)
specification = f.createSpecification(); specification.setSpecification(spec)
milestone = f.createMilestoneDate(); milestone.setName("SOP"); milestone.setValue(datetime.date(2025, 3, 1))
rank_milestone = f.createMilestoneRange(); rank_milestone.setName("R1"); rank_milestone.setValue(42)
interval = f.createIntervalDate(); interval.setInterval(mgr.createDateInterval(datetime.date(2024, 1, 1)))
interval.setEnd(milestone)
modification = f.createModification()
modification.setModification(mgr.createModification("MOD-1", "first", "", None))
flt = f.createFilter(); flt.setFilter(mgr.createFilter("FLT", "Powertrain", None, [], 2, True))
uuids = f.createUuidList(); uuids.extend([b"\\x02" * 16, b"\\x03" * 16])
cfgso.save([ctx, space, record, specification, interval, rank_milestone, modification, flt, uuids], sys.argv[1])
"""

SHOW = """
import json, sys, cfgso
with cfgso.open(sys.argv[1]) as document:
    unbound = ""
    for root in document.roots:
        modification = root.query(cfgso.KroICfgSOModification)
        try:
            modification and modification.getModification()
        except cfgso.Error as error:
            unbound = str(error)
    print(json.dumps([cfgso.describe(root) for root in document.roots], default=str))
    print(unbound)
"""


def test_describe_reads_every_kind_of_record_in_a_fresh_process(tmp_path):
    path = str(tmp_path / "records.kro")
    env = dict(os.environ, KRO_TRACE="")
    subprocess.run([sys.executable, "-c", BUILD, path], check=True, env=env)
    shown = subprocess.run([sys.executable, "-c", SHOW, path], check=True, env=env, capture_output=True, text=True)
    records, unbound = shown.stdout.splitlines()
    described = {record["type"]: record for record in json.loads(records)}
    # Binding a record needs its live object; the error says where to get it, or what to read instead.
    assert "KRO_E_UUID_NOT_BOUND" in unbound and "cfgso.connect" in unbound and "cfgso.describe" in unbound
    context = described["CfgSOContext"]
    assert (context["name"], context["info"], context["uuid"]) == ("Line A", "i", str(b"\x01" * 16))
    assert described["CfgSOVariabilitySpace"]["name"] == "VS" and described["CfgSOVariabilitySpace"]["cv_name"] == "CV"
    effectivity = described["CfgSOEffectivity"]
    assert effectivity["domain"] == "Powertrain"
    dates, ranks = effectivity["basics"]
    assert dates["interval"]["start"] == "2024-01-01 00:00:00+00:00" and dates["interval"]["end"] == "2024-12-31 00:00:00+00:00"
    assert dates["expression"]["text"] == "ENGINE-V6 AND NOT GEARBOX-AUTO"
    assert dates["expression"]["terms"] == [["ENGINE-V6", 1], ["GEARBOX-AUTO", -1]]
    assert ranks["interval"] == {"type": "CfgSOIntervalRanges", "start": 10, "end": None, "infinite": True}
    assert ranks["expression"] is None
    specification = described["CfgSOSpecification"]
    assert (specification["name"], specification["alias"], specification["category"]) == ("ENGINE-V6", "V6", "Engine")
    interval = described["CfgSOIntervalDates"]
    assert interval["end"] == {"milestone": "SOP", "value": "2025-03-01 00:00:00+00:00"} and not interval["infinite"]
    assert described["CfgSOMilestoneRange"] == {"type": "CfgSOMilestoneRange", "name": "R1", "rank": 42}
    assert described["CfgSOModification"]["name"] == "MOD-1"
    assert described["CfgSOFilter"]["id"] == "FLT" and described["CfgSOFilter"]["mode"] == 2
    assert described["CfgSOUuidList"]["uuids"] == [str(b"\x02" * 16), str(b"\x03" * 16)]
    with pytest.raises(cfgso.ArgumentTypeError):
        cfgso.describe(cfgso.manager().createEffectivity())
