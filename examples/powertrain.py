"""The everyday task: an effectivity for domain Powertrain, from 2024-01-01 to 2024-12-31, with
ENGINE-V6 AND NOT GEARBOX-AUTO, on a modification; saved, then reopened and printed (in a process of
its own, where only the document holds the data).

    PYTHONPATH=build/python python3 examples/powertrain.py save powertrain.kro
    PYTHONPATH=build/python python3 examples/powertrain.py show powertrain.kro

Without arguments it saves into a temporary folder and shows what it saved.

With --server ADDRESS (the line cfgso-server prints) first, the live objects are stored on the
configuration server, and show also binds each record to its live objects, which a fresh process finds
through the server:

    PYTHONPATH=build/python python3 examples/powertrain.py --server ADDRESS save powertrain.kro
    PYTHONPATH=build/python python3 examples/powertrain.py --server ADDRESS show powertrain.kro
"""
import datetime
import os
import sys
import tempfile

import cfgso

UTC = datetime.timezone.utc


def build():
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


def describe(record):
    """An effectivity record as text, read from its attributes alone: it needs no live object, so it
    works as well on a reopened document."""
    values = cfgso.attributes(record)
    parts = []
    for basic in values["effbas"]:
        basic = cfgso.attributes(basic)
        interval = cfgso.attributes(basic["interval"])
        if "StartRange" in interval:
            bounds = (interval["StartRange"], None if interval["infinite"] else interval["EndRange"])
        else:
            bounds = tuple(None if interval[bound] is None else cfgso.attributes(interval[bound])["S"].date()
                           for bound in ("Start", "End"))
        text = "[%s,%s]" % (bounds[0], "infinite" if bounds[1] is None else bounds[1])
        if basic["specexpr"] is not None:
            terms = cfgso.attributes(basic["specexpr"])
            text += " " + " AND ".join(("NOT " if sign == cfgso.Sign.NEGATIVE else "") + cfgso.attributes(spec)["SpecName"]
                                       for spec, sign in zip(terms["spec_list"], terms["expr_list"]))
        parts.append(text)
    return "%s %s" % (values["effdom"], "; ".join(parts))


def show(path, bind=False):
    """Prints each record from its attributes; with bind, also the live objects it binds to."""
    with cfgso.open(path) as document:
        for root in document.roots:
            modification = root.query(cfgso.KroICfgSOModification)
            effectivity = root.query(cfgso.KroICfgSOEffectivity)
            if modification is not None:
                print("modification %s (action %s): %s" % (modification.getName(), modification.getActionName(),
                                                            modification.getEffectivityString()))
                if bind:
                    live = modification.getModification()
                    actions = [subscriber.query(cfgso.QuorINamedObject).getName()
                               for subscriber in live.getGroupMod().getSubscribers()]
                    print("  bound: modification %s, actions %s" % (live.getName(), ", ".join(actions)))
            elif effectivity is not None:
                print("effectivity", describe(root))
                if bind:
                    xeff = effectivity.getXEff()
                    names = [term.getSpecification().getName()
                             for basic in xeff.getBasicEffectivities()
                             for term in basic.getSpecExpression().getSignedSpecs()]
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
