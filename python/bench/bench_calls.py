"""What a call of the cfgso module costs, each figure beside its plain-Python peer from the same run
(CPU time, medians). Not a test: it asserts nothing.

    PYTHONPATH=build/python KRO_TRACE= /usr/bin/python3 python/bench/bench_calls.py [--contexts N]
"""

import argparse
import os
import pickle
import statistics
import tempfile
import time

import cfgso


def per_call(function, count, repeats):
    """Median CPU seconds per call of function(count), over repeats runs."""
    runs = []
    for _ in range(repeats):
        started = time.process_time()
        function(count)
        runs.append((time.process_time() - started) / count)
    return statistics.median(runs)


def median(function, repeats=3):
    runs = []
    for _ in range(repeats):
        started = time.process_time()
        result = function()
        runs.append(time.process_time() - started)
        del result
    return statistics.median(runs)


class Plain:
    def getName(self):
        return "A"


class Hashed:
    def __hash__(self):
        return id(self) >> 4


def calls():
    ctx = cfgso.factory.createContext()
    ctx.setName("A")
    plain = Plain()

    def get_name(n, o=ctx):
        for _ in range(n):
            o.getName()

    def plain_call(n, o=plain):
        for _ in range(n):
            o.getName()

    def set_name(n, o=ctx):
        for _ in range(n):
            o.setName("B")

    def create_context(n, make=cfgso.factory.createContext):
        for _ in range(n):
            make()

    got, peer = per_call(get_name, 100_000, 5), per_call(plain_call, 100_000, 5)
    print("getName          %7.3f us   plain Python method %7.3f us   %5.2fx" % (got * 1e6, peer * 1e6, got / peer))
    print("setName          %7.3f us" % (per_call(set_name, 100_000, 5) * 1e6))
    print("createContext    %7.3f us" % (per_call(create_context, 20_000, 5) * 1e6))
    objects = [cfgso.factory.createContext() for _ in range(10_000)]
    hashed = [Hashed() for _ in range(10_000)]
    ours, theirs = median(lambda: set(objects), 5), median(lambda: set(hashed), 5)
    print("set() of 10 000  %7.3f ms   objects with __hash__ %7.3f ms   %5.2fx" % (ours * 1e3, theirs * 1e3, ours / theirs))


def reopen(count):
    folder = tempfile.mkdtemp()
    document, pickled = os.path.join(folder, "contexts.kro"), os.path.join(folder, "contexts.pickle")
    contexts, dicts = [], []
    for i in range(count):
        ctx = cfgso.factory.createContext()
        ctx.setName("ctx-%d" % i)
        ctx.setType("type")
        ctx.setInfo("info %d" % i)
        ctx.setUuid(i.to_bytes(16, "big"))
        contexts.append(ctx)
        dicts.append({"cn": "ctx-%d" % i, "ct": "type", "ci": "info %d" % i, "cuid": i.to_bytes(16, "big")})
    cfgso.save(contexts, document)
    with open(pickled, "wb") as out:
        pickle.dump(dicts, out)
    del contexts

    def load():
        with open(pickled, "rb") as source:
            return pickle.load(source)

    def open_only():
        return cfgso.open(document)

    def open_and_read():
        opened = cfgso.open(document)
        return [cfgso.attributes(root) for root in opened.roots]

    peer, opened, read = median(load), median(open_only), median(open_and_read)
    print("%d contexts: pickle.load %.3f s; open %.3f s (%.1fx); open + every attribute %.3f s (%.1fx)"
          % (count, peer, opened, opened / peer, read, read / peer))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--contexts", type=int, default=100_000)
    arguments = parser.parse_args()
    calls()
    reopen(arguments.contexts)
