#!/usr/bin/env python3
"""Sets each benchmark figure beside its peer, from the medians of a Google Benchmark JSON output.

usage: bench_report.py RESULTS.json [MORE.json...]

Several files are read as one run (the benchmark programs of one tools/bench.sh).
Round trips to cfgso-server are set beside their peers in wall time: the client's CPU time leaves out
the server's work and the wait.
"""
import json
import sys

UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def medians(paths):
    runs = []
    for path in paths:
        with open(path) as f:
            runs += json.load(f).get("benchmarks", [])
    out = {}
    for run in runs:
        if run.get("error_occurred"):
            print(f"error in {run['name']}: {run.get('error_message', '')}", file=sys.stderr)
            continue
        # With one repetition there are no aggregates: the single run is its own median.
        if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
            continue
        name = run.get("run_name", run["name"])
        if run.get("run_type") != "aggregate" and name in out:
            continue
        entry = dict(run)
        entry["cpu_ns"] = run["cpu_time"] * UNIT_NS[run.get("time_unit", "ns")]
        entry["real_ns"] = run["real_time"] * UNIT_NS[run.get("time_unit", "ns")]
        out[name] = entry
    return out


def time_text(ns):
    if ns >= 1e6:
        return f"{ns / 1e6:.2f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.2f} us"
    return f"{ns:.1f} ns"


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    runs = medians(sys.argv[1:])
    rows = []  # figure, value, peer, peer value, ratio, target, verdict

    def find(name):
        """The run of that name, also when Google Benchmark appended a fixed count (/iterations:1)."""
        for run_name, run in runs.items():
            if run_name == name or run_name.startswith(name + "/"):
                return run
        return None

    def cpu(name):
        run = find(name)
        return run["cpu_ns"] if run else None

    def real(name):
        run = find(name)
        return run["real_ns"] if run else None

    def counter(name, key):
        run = find(name)
        return run.get(key) if run else None

    def compare(figure, ours, peers, fmt, target=None, limit=None):
        """peers: (label, value, ratio target or None); the first peer with a target decides."""
        first = True
        for label, peer, has_target in peers:
            ratio = ours / peer if ours is not None and peer else None
            verdict = ""
            if has_target and ratio is not None and limit is not None:
                verdict = "met" if ratio <= limit else "NOT MET"
            rows.append((figure if first else "", fmt(ours) if first and ours is not None else ("-" if first else ""),
                         label, fmt(peer) if peer is not None else "-",
                         f"{ratio:.3g}x" if ratio is not None else "-",
                         target if has_target else "", verdict))
            first = False

    streamer = cpu("BM_RoundTrip_Streamer/100000")
    compare("round trip, 100 000 base objects", streamer,
            [("RapidJSON", cpu("BM_RoundTrip_RapidJson/100000"), True),
             ("nlohmann::json", cpu("BM_RoundTrip_NlohmannJson/100000"), False),
             ("plain struct copy", cpu("BM_RoundTrip_StructCopy/100000"), False)],
            time_text, "<= 1.0x", 1.0)

    def size_text(b):
        return f"{b:.0f} B"

    memory = counter("BM_Memory_Streamer/100000", "bytes_per_object")
    memory_verdict = "" if memory is None else ("met" if memory <= 400 else "NOT MET")
    rows.append(("memory per streamed base object", size_text(memory) if memory is not None else "-",
                 "target", "400 B", f"{memory / 400:.2f}x" if memory is not None else "-", "<= 400 B",
                 memory_verdict))
    for label, name in (("nlohmann::json", "BM_Memory_NlohmannJson/100000"), ("RapidJSON", "BM_Memory_RapidJson/100000")):
        peer = counter(name, "bytes_per_object")
        rows.append(("", "", label, size_text(peer) if peer is not None else "-",
                     f"{memory / peer:.2f}x" if memory is not None and peer else "-", "", ""))

    record = counter("BM_Memory_FactoryContext/1000000", "heap_bytes_per_object")
    rows.append(("memory per context record (heap)", size_text(record) if record is not None else "-",
                 "target", "280 B", f"{record / 280:.2f}x" if record is not None else "-", "<= 280 B",
                 "" if record is None else ("met" if record <= 280 else "NOT MET")))
    for label, name in (("without a wrapper", "BM_Memory_ServicesContext/1000000"),
                        ("plain struct", "BM_Memory_StructContext/1000000")):
        peer = counter(name, "heap_bytes_per_object")
        rows.append(("", "", label, size_text(peer) if peer is not None else "-",
                     f"{record / peer:.2f}x" if record is not None and peer else "-", "", ""))

    lookup = cpu("BM_GetString_MapLookup")
    compare("get by key", cpu("BM_GetString_ByKey"), [("unordered_map lookup", lookup, True)], time_text,
            "<= 1.2x", 1.2)
    compare("get by name", cpu("BM_GetString_ByName"), [("unordered_map lookup", lookup, True)], time_text,
            "<= 2.0x", 2.0)
    compare("uuid-list appends, 100 000", cpu("BM_UuidListAppend/100000"),
            [("10 000 appends", cpu("BM_UuidListAppend/10000"), True)], time_text, "<= 11x", 11.0)

    index_query = cpu("BM_EffectivityQuery_Index")
    compare("effectivity query, 1 000 000 basic", index_query,
            [("SQLite R*Tree", cpu("BM_EffectivityQuery_SqliteRtree"), True)], time_text, "<= 1.0x", 1.0)
    compare("", index_query, [("linear scan", cpu("BM_EffectivityQuery_LinearScan"), True)], time_text, "<= 0.05x (20x faster)",
            0.05)
    compare("effectivity index build, 1 000 000", cpu("BM_EffectivityBuild_Index"),
            [("SQLite R*Tree bulk insert", cpu("BM_EffectivityBuild_SqliteRtree"), True)], time_text, "<= 1.0x", 1.0)
    per_basic = counter("BM_EffectivityQuery_Index", "bytes_per_basic")
    rows.append(("index memory per basic effectivity", size_text(per_basic) if per_basic is not None else "-",
                 "target", "64 B", f"{per_basic / 64:.2f}x" if per_basic is not None else "-", "<= 64 B",
                 "" if per_basic is None else ("met" if per_basic <= 64 else "NOT MET")))
    sqlite_bytes = counter("BM_EffectivityQuery_SqliteRtree", "sqlite_bytes_per_basic")
    if sqlite_bytes is not None:
        rows.append(("", "", "SQLite (its heap)", size_text(sqlite_bytes),
                     f"{per_basic / sqlite_bytes:.2f}x" if per_basic is not None and sqlite_bytes else "-", "", ""))

    # cfgso-server over loopback (wall time).
    if find("BM_Server_ReadSpecification") is not None:
        read = real("BM_Server_ReadSpecification")
        compare("server: read one specification", read,
                [("plain TCP echo, same sizes", real("BM_Peer_TcpEcho"), True),
                 ("the server's store in process", real("BM_Peer_SqliteRead"), False)],
                time_text, "<= 1.5x", 1.5)
        for key in ("p50_us", "p99_us"):
            ours, echo = counter("BM_Server_ReadSpecification", key), counter("BM_Peer_TcpEcho", key)
            sqlite = counter("BM_Peer_SqliteRead", key)
            compare(f"  {key[:3]}", ours * 1e3 if ours else None,
                    [("plain TCP echo", echo * 1e3 if echo else None, False),
                     ("the server's store in process", sqlite * 1e3 if sqlite else None, False)], time_text)
        calls = counter("BM_Server_ReadSpecification", "calls_per_s")
        rows.append(("  calls per second", f"{calls:.0f}" if calls else "-", "target", "20000",
                     f"{calls / 20000:.2f}x" if calls else "-", ">= 20 000/s",
                     "" if not calls else ("met" if calls >= 20000 else "NOT MET")))
        def push_in_turn(key):
            value = counter("BM_Server_PushInTurn100k", key)
            return value * 1e6 if value else None

        compare("server: push 100 000 base objects, in turn", push_in_turn("push_ms"),
                [("SQLite insert, one transaction", push_in_turn("sqlite_ms"), True)], time_text, "<= 2.0x", 2.0)
        compare("  rows timed apart", real("BM_Server_Push100k"),
                [("SQLite insert, one transaction", real("BM_Peer_SqliteInsert100k"), False)], time_text)
        # The target's figure is taken in turn (one of each per iteration), so that the load is the
        # same for the query and its peers; the rows timed apart follow it.
        def in_turn(key):
            value = counter("BM_Server_QueryInTurn1M", key)
            return value * 1e3 if value else None

        turn_query, turn_local, turn_index, turn_read = (in_turn(k) for k in ("query_us", "in_process_us", "index_us", "read_us"))
        compare("server: query, 1 000 000 basic, in turn", turn_query,
                [("same query in process + small request", turn_local + turn_read if turn_local and turn_read else None, True),
                 ("index in process + small request", turn_index + turn_read if turn_index and turn_read else None, False)],
                time_text, "<= 1.5x", 1.5)
        index, local, small = real("BM_Peer_IndexQuery1M"), real("BM_Peer_ServerQueryInProcess1M"), read
        compare("  rows timed apart", real("BM_Server_Query1M"),
                [("same query in process + small request", local + small if local and small else None, False),
                 ("index in process + small request", index + small if index and small else None, False),
                 ("index in process", index, False)], time_text)

    headers = ("figure", "value", "beside", "its value", "ratio", "target", "")
    widths = [max(len(str(r[i])) for r in rows + [headers]) for i in range(len(headers))]
    print()
    print("Medians of CPU time (server rows: wall time; memory: growth of the resident set), from " +
          ", ".join(sys.argv[1:]))
    for row in [headers] + rows:
        print("  ".join(str(cell).ljust(widths[i]) if i in (0, 2, 5, 6) else str(cell).rjust(widths[i])
                        for i, cell in enumerate(row)).rstrip())
    heap = counter("BM_Memory_Streamer/100000", "heap_bytes_per_object")
    if heap is not None:
        print(f"\n(allocator's own count for the streamed tree: {heap:.0f} B per base object)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
