"""The everyday task: an effectivity for domain Powertrain, from 2024-01-01 to 2024-12-31, with
ENGINE-V6 AND NOT GEARBOX-AUTO, on a modification; saved, then reopened and printed (in a process of
its own, where only the document holds the data).

    PYTHONPATH=build/python /usr/bin/python3 examples/powertrain.py save powertrain.kro
    PYTHONPATH=build/python /usr/bin/python3 examples/powertrain.py show powertrain.kro

Without arguments it saves into a temporary folder and shows what it saved.

With --server ADDRESS (the line cfgso-server prints) first, the live objects are stored on the
configuration server, and show also binds each record to its live objects, which a fresh process finds
through the server:

    PYTHONPATH=build/python /usr/bin/python3 examples/powertrain.py --server ADDRESS save powertrain.kro
    PYTHONPATH=build/python /usr/bin/python3 examples/powertrain.py --server ADDRESS show powertrain.kro
"""
import datetime
import os
import sys
import tempfile
from typing import Any

import cfgso

UTC = datetime.timezone.utc


def build() -> tuple[cfgso.KroICfgSOModification, cfgso.KroICfgSOEffectivity]:
    """The modification's record and the effectivity's record, made from live model objects."""
    mgr = cfgso.manager()
    engine = mgr.createSpecification("ENGINE-V6", "V6 engine", "V6", "", "Engine", "Engines")
    gearbox = mgr.createSpecification(name="GEARBOX-AUTO", description="Automatic gearbox", alias="AUTO",
                                      condition="", categoryName="Gearbox", categoryDescription="Gearboxes")
    expression = mgr.createSpecANDExpression()
    for specification, sign in ((engine, cfgso.Sign.POSITIVE), (gearbox, cfgso.Sign.NEGATIVE)):
        term = mgr.createSignedSpec()
        term.setSpecification(specification)
        term.setSign(sign)
        expression.addSignedSpec(term)

    basic = mgr.createBasicEffectivity()
    basic.setInterval(mgr.createDateInterval(datetime.datetime(2024, 1, 1, tzinfo=UTC),
                                             datetime.datetime(2024, 12, 31, tzinfo=UTC)))
    basic.setSpecExpression(expression)
    effectivity = mgr.createEffectivity()
    effectivity.addBasicEffectivity(basic)
    xeff = mgr.createXEff("Powertrain")
    xeff.setEffectivity(effectivity, cfgso.SetMode.REPLACE)
    record = cfgso.factory.createEffectivity()
    record.setXEff(xeff)

    group = mgr.createGroupMod([mgr.createActionSubscriber("Release 2024")])
    modification = mgr.createModification("MOD-PT-2024", describe(record), "", group)
    modification_record = cfgso.factory.createModification()
    modification_record.setModification(modification)
    return modification_record, record


def describe(record: cfgso.Object) -> str:
    """An effectivity record as text, read from what it records alone (cfgso.describe): it needs no
    live object, so it works as well on a reopened document."""
    recorded = cfgso.describe(record)
    parts = []
    for basic in recorded["basics"]:
        interval = basic["interval"]
        start, end = interval["start"], interval["end"]
        if isinstance(start, datetime.datetime):
            start = start.date()
        if isinstance(end, datetime.datetime):
            end = end.date()
        text = "[%s,%s]" % (start, "infinite" if end is None else end)
        if basic["expression"] is not None:
            text += " " + basic["expression"]["text"]
        parts.append(text)
    return "%s %s" % (recorded["domain"], "; ".join(parts))


def bound(value: Any) -> Any:
    """A live object a record binds to; None would mean that the server lost it."""
    if value is None:
        raise SystemExit("a record names a live object that is gone")
    return value


def show(path: str, bind: bool = False) -> None:
    """Prints each record from its attributes; with bind, also the live objects it binds to."""
    with cfgso.open(path) as document:
        for root in document.roots:
            modification = root.query(cfgso.KroICfgSOModification)
            effectivity = root.query(cfgso.KroICfgSOEffectivity)
            if modification is not None:
                print("modification %s (action %s): %s" % (modification.getName(), modification.getActionName(),
                                                            modification.getEffectivityString()))
                if bind:
                    live = bound(modification.getModification())
                    actions = [bound(subscriber.query(cfgso.QuorINamedObject)).getName()
                               for subscriber in bound(live.getGroupMod()).getSubscribers()]
                    print("  bound: modification %s, actions %s" % (live.getName(), ", ".join(actions)))
            elif effectivity is not None:
                print("effectivity", describe(root))
                if bind:
                    xeff = bound(effectivity.getXEff())
                    names = [bound(term.getSpecification()).getName()
                             for basic in xeff.getBasicEffectivities()
                             for term in bound(basic.getSpecExpression()).getSignedSpecs()]
                    print("  bound: %s over %s" % (xeff.getDomain(), ", ".join(names)))


if __name__ == "__main__":
    arguments = sys.argv[1:]
    server = arguments[0:1] == ["--server"]
    if server:
        if len(arguments) < 2:
            sys.exit("usage: powertrain.py [--server ADDRESS] [save|show PATH]")
        cfgso.connect(arguments[1])
        arguments = arguments[2:]
    if len(arguments) == 2:
        action, path = arguments
        if action == "save":
            cfgso.save(build(), path)
        show(path, bind=server)
    else:
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "powertrain.kro")
            cfgso.save(build(), path)
            show(path, bind=server)
