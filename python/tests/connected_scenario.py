"""One process of the connected scenario (run by test_connected.py):

    connected_scenario.py write PATH   the Powertrain specifications, an expression over them, a
                                       modification in a group with two action subscribers and a filter,
                                       each recorded in its wrapper and saved to PATH
    connected_scenario.py read PATH    reopens PATH

Both print what every record binds to. The connection comes from KRO_CONFIG_SERVER, or from
--server ADDRESS before the mode.
"""
import datetime
import sys

import cfgso

UTC = datetime.timezone.utc


def spec_text(spec):
    category = spec.getCategory()
    return "%s (%s, %s, %s/%s)" % (spec.getName(), spec.getDescription(), spec.getAlias(),
                                   category.getName(), category.getDescription())


def modification_text(mod):
    names = [s.query(cfgso.QuorINamedObject).getName() for s in mod.getGroupMod().getSubscribers()]
    return "%s %s actions %s" % (mod.getName(), mod.getEffectivityString(), ", ".join(names))


def show(roots):
    for root in roots:
        if root.query(cfgso.KroICfgSOSpecification) is not None:
            print("specification", spec_text(root.query(cfgso.KroICfgSOSpecification).getSpecification()))
        elif root.query(cfgso.KroICfgSOSpecExpression) is not None:
            specs = root.query(cfgso.KroICfgSOSpecExpression).getAllSpecifications()
            print("expression", " AND ".join(spec_text(s) for s in specs))
        elif root.query(cfgso.KroICfgSOModification) is not None:
            print("modification", modification_text(root.query(cfgso.KroICfgSOModification).getModification()))
        elif root.query(cfgso.KroICfgSOFilter) is not None:
            live = root.query(cfgso.KroICfgSOFilter).getFilter()
            context, domain, values = live.getDomainAndContext()
            print("filter %s %s %s mode %d mode150 %s" % (live.getId(), domain, context.getName(), live.getMode(),
                                                         live.getMode150()))
            for value in values:
                dates, ranks, condition, mod = value.getValues()
                print("  value %s %s %s %s %s-%s" % (dates.getDateBounds(), ranks.getRangeBounds(),
                                                      spec_text(condition), modification_text(mod),
                                                      value.getStartMilestoneName(), value.getEndMilestoneName()))


def write(path):
    mgr = cfgso.manager()
    engine = mgr.createSpecification("ENGINE-V6", "V6 engine", "V6", "", "Engine", "Engines")
    gearbox = mgr.createSpecification("GEARBOX-AUTO", "Automatic gearbox", "AUTO", "", "Gearbox", "Gearboxes")
    group = mgr.createGroupMod([mgr.createActionSubscriber("Release 2024"), mgr.createActionSubscriber("Homologation")])
    mod = mgr.createModification("MOD-PT-2024", "Powertrain 2024", "", group)
    value = mgr.createNormalValue(mgr.createDateInterval(datetime.datetime(2024, 1, 1, tzinfo=UTC),
                                                         datetime.datetime(2024, 12, 31, tzinfo=UTC)),
                                  mgr.createRangeInterval(100, -1), engine, mod, "SOP", "EOP")
    live_filter = mgr.createFilter("FLT-PT", "Powertrain", mgr.createContext("Powertrain line"), [value], 2, True)

    records = []
    for spec in (engine, gearbox):
        record = cfgso.factory.createSpecification()
        record.setSpecification(spec)
        records.append(record)
    expression = cfgso.factory.createSpecExpression()
    expression.addSpecification(engine, cfgso.Sign.POSITIVE)
    expression.addSpecification(gearbox, cfgso.Sign.NEGATIVE)
    modification = cfgso.factory.createModification()
    modification.setModification(mod)
    filter_record = cfgso.factory.createFilter()
    filter_record.setFilter(live_filter)
    records += [expression, modification, filter_record]
    cfgso.save(records, path)
    return records


if __name__ == "__main__":
    arguments = sys.argv[1:]
    if arguments[:1] == ["--server"]:
        cfgso.connect(arguments[1])
        arguments = arguments[2:]
    mode, path = arguments
    if mode == "write":
        show(write(path))
    else:
        with cfgso.open(path) as document:
            show(document.roots)
