"""The cfgso module: calls by name through dispatch, values both ways, errors, help, reference counts."""

import datetime
import gc
import pydoc

import pytest

import cfgso

UTC = datetime.timezone.utc


def test_values_round_trip_with_their_python_types():
    ctx = cfgso.factory.createContext()
    assert ctx.interface == "KroICfgSOContext"
    assert ctx.setName("A") is None
    assert ctx.getName() == "A"
    ctx.setUuid(bytes(range(16)))
    assert ctx.getUuid() == bytes(range(16))

    date = cfgso.factory.createDate()
    moment = datetime.datetime(2004, 3, 15, 12, 30, tzinfo=UTC)
    date.setKroTime(moment)
    back = date.getKroTime()
    assert back == moment and back.tzinfo is not None and back.utcoffset() == datetime.timedelta(0)
    # Before 1970, and a naive time taken as UTC.
    date.setKroTime(datetime.datetime(1950, 1, 2))
    assert date.getKroTime() == datetime.datetime(1950, 1, 2, tzinfo=UTC)

    uuids = cfgso.factory.createUuidList()
    uuids.Append(b"a" * 16)
    uuids.Append(b"b" * 16)
    assert uuids.Size() == 2
    assert uuids.ElementAt(2) == b"b" * 16
    assert uuids.Empty() is None
    assert uuids.Size() == 0


def test_intervals_answer_both_forms_of_their_bounds():
    mgr = cfgso.manager()
    start = datetime.datetime(2004, 1, 1, tzinfo=UTC)
    end = datetime.datetime(2005, 1, 1, tzinfo=UTC)
    interval = cfgso.factory.createIntervalDate()
    interval.setInterval(mgr.createDateInterval(start, end))
    assert interval.getStart() == start
    assert interval.getEnd() == end
    assert interval.isInfinite() is False
    # The milestone forms: bounds held as plain dates give None.
    assert interval.getStartMilestone() is None
    milestone = cfgso.factory.createMilestoneDate()
    milestone.setName("S")
    milestone.setValue(start)
    interval.setStart(milestone)
    assert interval.getStartMilestone() == milestone
    assert interval.getStartMilestone().getName() == "S"
    # Several outputs come back as a tuple.
    assert interval.getInterval().getDateBounds() == (start, end)

    ranks = cfgso.factory.createIntervalRange()
    ranks.setInterval(mgr.createRangeInterval(3, -1))
    assert ranks.getStart() == 3
    assert ranks.isInfinite() is True


def test_effectivity_built_from_manager_objects():
    mgr = cfgso.manager()
    basic = mgr.createBasicEffectivity()
    basic.setInterval(mgr.createRangeInterval(1, 10))
    effectivity = mgr.createEffectivity()
    effectivity.addBasicEffectivity(basic)
    xeff = mgr.createXEff("DOMAIN")
    xeff.setEffectivity(effectivity, 1)

    record = cfgso.factory.createEffectivity()
    record.setXEff(xeff)
    assert record.getDomain() == "DOMAIN"
    [stored] = record.getXEff().getBasicEffectivities()
    [interval] = stored.getIntervals()
    assert interval.getRangeBounds() == (1, 10)


def test_failures_raise_with_the_result_and_the_argument():
    uuids = cfgso.factory.createUuidList()
    with pytest.raises(cfgso.Error) as failed:
        uuids.ElementAt(5)
    assert failed.value.name == "E_FAIL"
    assert failed.value.hresult == 0x80004005  # unsigned, as documented
    with pytest.raises(cfgso.Error) as failed:
        uuids.SetElementAt(1, "not octets")
    assert failed.value.name == "DISP_E_TYPEMISMATCH"
    assert failed.value.argument == 2
    with pytest.raises(cfgso.Error) as failed:
        uuids.Append()
    assert failed.value.name == "DISP_E_BADPARAMCOUNT"
    # An object that lacks the parameter's interface does not convert either.
    with pytest.raises(cfgso.Error) as failed:
        cfgso.factory.createIntervalDate().setStart(cfgso.factory.createContext())
    assert failed.value.name == "DISP_E_TYPEMISMATCH"
    with pytest.raises(AttributeError):
        uuids.noSuchMethod
    with pytest.raises(TypeError):
        uuids.Append(object())


def test_dir_and_help_come_from_the_type_information():
    interval = cfgso.factory.createIntervalRange()
    names = dir(interval)
    for name in ("getStart", "getEnd", "getStartMilestone", "getEndMilestone", "setInterval", "toString"):
        assert name in names
    assert "getDomain" not in names
    text = pydoc.render_doc(interval, renderer=pydoc.plaintext)
    assert "getStartMilestone(out KroICfgSOMilestoneRange start) -> HRESULT" in text
    assert "setInterval(KroICfgInterval interval) -> HRESULT" in text


def test_the_dispatch_container_lists_what_the_factory_made():
    shared = cfgso.container()
    assert shared.interface == "KroIContainer"
    assert shared == cfgso.factory.getContainer()
    made = [cfgso.factory.createContext() for _ in range(3)]
    for i, ctx in enumerate(made):
        ctx.setName("C%d" % i)
    names = []
    listed = shared.ListObjects()
    for so in listed:
        ctx = so.query("KroICfgSOContext") if so.GetLateType() == "CfgSOContext" else None
        if ctx is not None:
            names.append(ctx.getName())
    assert shared.CountObjects() == len(listed)
    assert {"C0", "C1", "C2"} <= set(names)


def test_dropped_objects_are_released():
    shared = cfgso.factory.getContainer()  # opens the catalog before counting
    mgr = cfgso.manager()
    gc.collect()
    shared.Collect()  # what earlier tests removed
    start = cfgso.live_objects()

    basic = mgr.createBasicEffectivity()
    basic.setInterval(mgr.createRangeInterval(1, 2))
    assert cfgso.live_objects() > start
    del basic
    gc.collect()
    assert cfgso.live_objects() == start

    # In the store mode a spec object stays listed when Python drops it; removing its tree frees it.
    was_transient = shared.IsTransient()  # KRO_CONTAINER_MODE may have chosen the transient mode
    shared.SetTransient(False)
    listed = shared.CountObjects()
    ctx = cfgso.factory.createContext()
    ctx.setName("kept")
    del ctx
    gc.collect()
    assert shared.Collect() == 0
    assert shared.CountObjects() == listed + 1
    ctx = shared.ListObjects()[-1].query("KroICfgSOContext")
    assert ctx.getName() == "kept"
    assert shared.RemoveTree(ctx) == 1
    assert shared.RemoveTree(ctx) == 0  # no longer listed
    del ctx
    gc.collect()
    assert cfgso.live_objects() == start

    # In the transient mode it goes with the next collection once Python drops it.
    assert not shared.IsTransient()
    shared.SetTransient(True)
    try:
        shared.Collect()  # what earlier tests dropped
        start = cfgso.live_objects()
        ctx = cfgso.factory.createContext()
        assert shared.Collect() == 0
        del ctx
        gc.collect()
        assert shared.Collect() == 1
        assert cfgso.live_objects() == start
    finally:
        shared.SetTransient(was_transient)


def test_saved_roots_reopen_with_their_values(tmp_path):
    ctx = cfgso.factory.createContext()
    ctx.setName("Assembly line A")
    ctx.setUuid(bytes(range(16)))
    space = cfgso.factory.createVariabilitySpace()
    space.setName("Gears")
    path = tmp_path / "work.kro"
    cfgso.save([ctx, space], path)

    container, roots = cfgso.open(path)
    assert container.interface == "KroIContainer" and container.CountObjects() >= 2
    assert [r.GetLateType() for r in roots] == ["CfgSOContext", "CfgSOVariabilitySpace"]
    back = roots[0].query("KroICfgSOContext")
    assert back.getName() == "Assembly line A"
    assert back.getUuid() == bytes(range(16))
    assert roots[1].query("KroICfgSOVariabilitySpace").getName() == "Gears"

    # A container saves whole; a single object saves as the only root.
    cfgso.save(container, tmp_path / "copy.kro")
    _, copied = cfgso.open(tmp_path / "copy.kro")
    assert len(copied) == container.CountObjects()
    cfgso.save(ctx, tmp_path / "one.kro")
    assert len(cfgso.open(tmp_path / "one.kro")[1]) == 1


def test_document_failures_raise_with_the_file_named(tmp_path):
    missing = tmp_path / "missing.kro"
    with pytest.raises(cfgso.Error) as error:
        cfgso.open(missing)
    assert error.value.name == "KRO_E_FILE_NOT_FOUND" and str(missing) in str(error.value)

    damaged = tmp_path / "damaged.kro"
    damaged.write_text("not a document\n")
    with pytest.raises(cfgso.Error) as error:
        cfgso.open(damaged)
    assert error.value.name == "KRO_E_BAD_FORMAT"

    # A failed save leaves the earlier file as it was.
    kept = tmp_path / "kept.kro"
    ctx = cfgso.factory.createContext()
    cfgso.save(ctx, kept)
    before = kept.read_bytes()
    with pytest.raises(cfgso.Error) as error:
        cfgso.save([ctx, None], kept)
    assert error.value.name == "E_INVALIDARG"
    with pytest.raises(cfgso.Error):
        cfgso.save(ctx, tmp_path / "no" / "such" / "folder.kro")
    assert kept.read_bytes() == before


def test_opened_documents_are_released_when_dropped(tmp_path):
    cfgso.factory.getContainer()
    cfgso.save(cfgso.factory.createContext(), tmp_path / "c.kro")
    gc.collect()
    start = cfgso.live_objects()
    container, roots = cfgso.open(tmp_path / "c.kro")
    assert cfgso.live_objects() > start
    del container, roots
    gc.collect()
    assert cfgso.live_objects() == start
