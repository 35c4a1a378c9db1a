"""Creates configuration contexts and lists them through the dispatch container.

    PYTHONPATH=build/python /usr/bin/python3 examples/list_contexts.py
"""
import cfgso

# The container reclaims what nothing holds, so the script keeps its contexts.
contexts: list[cfgso.KroICfgSOContext] = []
for number, (name, kind) in enumerate((("Prototype", "engineering"), ("Series", "manufacturing"))):
    ctx = cfgso.factory.createContext()
    ctx.setName(name)
    ctx.setType(kind)
    ctx.setUuid(bytes([number]) * 16)
    contexts.append(ctx)

container = cfgso.container()
print("container %s holds %d objects" % (container.GetName(), container.CountObjects()))
for spec_object in container.ListObjects():
    found = spec_object.query(cfgso.KroICfgSOContext)
    if spec_object.GetLateType() == "CfgSOContext" and found is not None:
        print("  %-10s %-14s %s" % (found.getName(), found.getType(), found.getUuid().hex()))
