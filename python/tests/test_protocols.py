"""The Python protocols of cfgso objects, the type information they carry, and calls from threads."""

import _thread
import copy
import gc
import inspect
import os
import pathlib
import pydoc
import threading

import pytest

import cfgso


def test_identity_decides_equality_and_hash_whatever_the_interface():
    ctx = cfgso.factory.createContext()
    spec_object = ctx.query(cfgso.KroISpecObject)
    assert ctx == spec_object and hash(ctx) == hash(spec_object)
    assert ctx != cfgso.factory.createContext() and ctx != "ctx"
    made = [cfgso.factory.createContext() for _ in range(4000)]
    assert len(set(made) | set(m.query("KroISpecObject") for m in made)) == 4000
    assert ctx in {spec_object} and spec_object in {ctx}


def test_repr_copies_and_pickling():
    ctx = cfgso.factory.createContext()
    ctx.setName("Line A")
    assert repr(ctx) == "<cfgso.KroICfgSOContext CfgSOContext 'Line A'>"
    assert repr(cfgso.manager().createRangeInterval(1, 2)) == "<cfgso.KroICfgInterval>"
    for duplicate in (copy.copy(ctx), copy.deepcopy(ctx)):
        assert duplicate == ctx and duplicate is not ctx and duplicate.getName() == "Line A"
    with pytest.raises(TypeError, match="cfgso.save"):
        copy.copy(ctx).__reduce_ex__(2)


def test_uuid_lists_are_sequences_with_bulk_calls():
    uuids = cfgso.factory.createUuidList()
    values = [i.to_bytes(16, "big") for i in range(600)]
    uuids.append(values[0])
    uuids.extend(iter(values[1:]))  # any iterable; runs of 256 behind
    assert len(uuids) == 600 and uuids.Size() == 600
    assert list(uuids) == values == uuids.to_list()
    assert uuids[0] == values[0] and uuids[-1] == values[-1] and uuids[300] == values[300]
    assert uuids[10:13] == values[10:13]
    assert uuids.ElementAt(1) == values[0]  # the interface's own positions start at 1
    uuids[300] = b"\xff" * 16
    assert uuids[300] == b"\xff" * 16 and uuids[299] == values[299] and uuids[301] == values[301]
    with pytest.raises(IndexError):
        uuids[600]
    with pytest.raises(IndexError):
        uuids[-601]
    uuids.clear()
    assert len(uuids) == 0 and list(uuids) == []


def test_uuid_list_runs_survive_a_document(tmp_path):
    uuids = cfgso.factory.createUuidList()
    values = [os.urandom(16) for _ in range(700)]
    uuids.extend(values[:500])
    uuids.append(values[500])
    uuids.extend(values[501:])
    cfgso.save(uuids, tmp_path / "uuids.kro")
    with cfgso.open(tmp_path / "uuids.kro") as document:
        [root] = document.roots
        back = root.query(cfgso.KroICfgSOUuidList)
        assert len(back) == 700 and list(back) == values and back[456] == values[456]
    assert document.container is None and document.roots == []


def test_open_unpacks_and_works_as_a_context_manager(tmp_path):
    path = tmp_path / "Größe 日本.kro"  # paths travel as UTF-8
    cfgso.save(cfgso.factory.createContext(), path)
    container, roots = cfgso.open(str(path))
    assert len(container) == container.CountObjects() == len(list(container)) >= 1
    assert [r.GetLateType() for r in roots] == ["CfgSOContext"]


def test_keyword_arguments_take_the_method_lists_names():
    mgr = cfgso.manager()
    interval = mgr.createRangeInterval(end=9, start=2)
    assert interval.getRangeBounds() == (2, 9)
    assert list(inspect.signature(mgr.createRangeInterval).parameters) == ["start", "end"]
    xeff = mgr.createXEff(domain="D")
    effectivity = mgr.createEffectivity()
    xeff.setEffectivity(effectivity=effectivity, mode=cfgso.SetMode.REPLACE)
    with pytest.raises(TypeError):
        xeff.setEffectivity(effectivity, wrong=1)


def test_classes_docs_constants_and_the_stub_come_from_the_type_information():
    assert cfgso.KroICfgSOContext is type(cfgso.factory.createContext())
    assert set(cfgso.interfaces()) <= set(dir(cfgso))
    text = pydoc.render_doc(cfgso.manager(), renderer=pydoc.plaintext)
    assert "createRangeInterval(start: int, end: int) -> KroICfgInterval" in text
    assert "A negative end (conventionally -1) is infinite." in text
    doc = cfgso.KroICfgSOContext.getName.__doc__
    assert doc.startswith("getName() -> str") and "-> HRESULT" not in doc.splitlines()[0]
    assert cfgso.manager().createRangeInterval(1, 2).getType() == cfgso.IntervalKind.RANGE == 2
    assert "ElementAt" in dir(cfgso.factory.createUuidList()) and "getDomain" not in dir(cfgso.factory.createContext())

    package = pathlib.Path(cfgso.__file__).parent
    stub = (package / "__init__.pyi").read_text()
    assert (package / "py.typed").exists()
    assert "class KroICfgSOContext(Object):" in stub
    assert "def setName(self, name: str) -> None:" in stub
    assert "def getEnd(self) -> Optional[datetime.datetime]:" in stub
    compile(stub, "__init__.pyi", "exec")


def test_calls_from_threads_take_turns_and_keep_the_data():
    shared = cfgso.factory.createUuidList()
    results, errors = {}, []

    def work(number):
        try:
            ctx = cfgso.factory.createContext()
            for i in range(300):
                ctx.setName("T%d-%d" % (number, i))
                shared.Append(bytes([number, i % 256]) + bytes(14))
                assert ctx.getName() == "T%d-%d" % (number, i)
            results[number] = ctx.getName()
        except Exception as error:  # reported below, with the thread
            errors.append((number, error))

    threads = [threading.Thread(target=work, args=(n,)) for n in range(6)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert errors == []
    assert results == {n: "T%d-299" % n for n in range(6)}
    assert len(shared) == 1800
    assert sorted(shared) == sorted(bytes([n, i % 256]) + bytes(14) for n in range(6) for i in range(300))


def test_an_interrupt_leaves_every_call_whole():
    uuids = cfgso.factory.createUuidList()
    done = 0
    timer = threading.Timer(0.05, _thread.interrupt_main)
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        while True:
            uuids.Append(done.to_bytes(16, "big"))
            done += 1
    timer.cancel()
    assert len(uuids) in (done, done + 1)  # the interrupt may land after the call, before the count
    assert list(uuids)[:done] == [i.to_bytes(16, "big") for i in range(done)]


def test_no_leak_over_many_calls():
    ctx = cfgso.factory.createContext()
    gc.collect()
    live = cfgso.live_objects()
    for _ in range(100000):
        ctx.getName()
        ctx.query("KroISpecObject")
    for _ in range(1000):
        with pytest.raises(cfgso.Error):
            ctx.setName(1)
    gc.collect()
    assert cfgso.live_objects() == live
