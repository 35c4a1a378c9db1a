"""Builds an effectivity in a spec object and prints it.

    PYTHONPATH=build/python /usr/bin/python3 examples/build_effectivity.py
"""
import datetime

import cfgso

UTC = datetime.timezone.utc
mgr = cfgso.manager()

# Two basic effectivities: a span of dates, and ranks 10 onwards.
dates = mgr.createBasicEffectivity()
dates.setInterval(mgr.createDateInterval(datetime.datetime(2024, 1, 1, tzinfo=UTC),
                                         datetime.datetime(2024, 12, 31, tzinfo=UTC)))
ranks = mgr.createBasicEffectivity()
ranks.setInterval(mgr.createRangeInterval(10, None))  # None: no end

effectivity = mgr.createEffectivity()
effectivity.addBasicEffectivity(dates)
effectivity.addBasicEffectivity(ranks)
xeff = mgr.createXEff("Production")
xeff.setEffectivity(effectivity, cfgso.SetMode.REPLACE)

record = cfgso.factory.createEffectivity()
record.setXEff(xeff)

print("domain:", record.getDomain())
recorded = record.getXEff()  # None only for an empty record
assert recorded is not None
for basic in recorded.getBasicEffectivities():
    for interval in basic.getIntervals():
        if interval.getType() == cfgso.IntervalKind.DATE:
            first, last = interval.getDateBounds()
            print("  dates %s .. %s" % (first.date(), "infinite" if last is None else last.date()))
        else:
            start, end = interval.getRangeBounds()
            print("  ranks %d .. %s" % (start, "infinite" if end is None else end))
