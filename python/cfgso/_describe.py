"""What a record holds, as plain Python values, read from its recorded attributes alone: nothing is
bound to a live object, so it works on a document reopened in any process, connected or not."""

from __future__ import annotations

from typing import Any, Callable

from . import _errors
from ._attributes import attributes
from ._classes import Object

# Each wrapper's recorded attributes under the names describe() gives them.
_FIELDS: dict[str, dict[str, str]] = {
    "CfgSOContext": {"cn": "name", "ct": "context_type", "ci": "info", "cuid": "uuid"},
    "CfgSOVariabilitySpace": {"vsn": "name", "vsuid": "uuid", "vscon": "co_uuid", "vscod": "co_description",
                              "vscvuid": "cv_uuid", "vscvn": "cv_name", "vscvi": "cv_info"},
    "CfgSOSpecification": {"SpecName": "name", "SpecDesc": "description", "SpecAlias": "alias",
                           "CatName": "category", "CatDesc": "category_description", "SpecUid": "uuid"},
    "CfgSOModification": {"modName": "name", "modUid": "uuid", "modActName": "action",
                          "modEffStr": "effectivity", "modUnderAct": "under_action"},
    "CfgSOFilter": {"name": "id", "domain": "domain", "uid": "uuid", "mode": "mode", "mode150": "mode150"},
    "CfgSOMilestoneRange": {"mn": "name", "r": "rank"},
}

# Records nest a few levels deep (effectivity, basic effectivity, interval, milestone, date); a deeper
# chain is a damaged document, not a record.
_DEPTH = 16


def describe(record: Object) -> dict[str, Any]:
    """What a record holds, as plain values: {"type": its late type, ...its fields}. Dates are
    datetimes, uuids bytes, nested records described the same way; an unset field is None. The fields
    per type are in docs/scripting.md ("What a record holds"). Nothing is bound: a record whose live
    object is in another process reads the same."""
    if not isinstance(record, Object) or record._attributes() is None:
        raise _errors.ArgumentTypeError(_errors.RESULTS["DISP_E_TYPEMISMATCH"], "describe", 1,
                                        "not a spec object: %r" % (record,))
    return _describe(record, 0)


def _describe(record: Object, depth: int) -> dict[str, Any]:
    if depth > _DEPTH:
        raise _errors.Error(_errors.RESULTS["E_FAIL"], "describe", 1, "records nest deeper than %d" % _DEPTH)
    values = attributes(record)
    late_type = record._attributes()[0]
    described: dict[str, Any] = {"type": late_type}
    special = _SPECIAL.get(late_type)
    if special is not None:
        described.update(special(values, depth))
    elif late_type in _FIELDS:
        described.update({field: values.get(name) for name, field in _FIELDS[late_type].items()})
    else:  # a spec object of another kind: its attributes as they are, nested ones described
        described.update({name: _nested(value, depth) for name, value in values.items()})
    return described


def _nested(value: Any, depth: int) -> Any:
    if isinstance(value, Object):
        return _describe(value, depth + 1)
    if isinstance(value, list):
        return [_nested(item, depth) for item in value]
    return value


def _date(values: dict[str, Any], depth: int) -> dict[str, Any]:
    return {"date": values.get("S")}


def _date_milestone(values: dict[str, Any], depth: int) -> dict[str, Any]:
    date = values.get("d")
    return {"name": values.get("mn"), "date": _nested(date, depth).get("date") if date is not None else None}


def _bound(value: Any, plain: Any, depth: int) -> Any:
    """A bound: a date or a rank as it is, a milestone as {"milestone": name, "value": ...}."""
    if value is None:
        return plain
    nested = _nested(value, depth)
    if nested["type"] == "CfgSODate":
        return nested["date"]
    if nested["type"] in ("CfgSOMilestoneDate", "CfgSOMilestoneRange"):
        return {"milestone": nested["name"], "value": nested.get("date", nested.get("rank"))}
    return nested


def _interval(values: dict[str, Any], depth: int) -> dict[str, Any]:
    infinite = bool(values.get("infinite"))
    start = _bound(values.get("Start"), values.get("StartRange"), depth)
    end = None if infinite else _bound(values.get("End"), values.get("EndRange"), depth)
    return {"start": start, "end": end, "infinite": infinite}


def _expression(values: dict[str, Any], depth: int) -> dict[str, Any]:
    specs = values.get("spec_list") or []
    signs = values.get("expr_list") or []
    terms = []
    for position, spec in enumerate(specs):
        name = _nested(spec, depth).get("name") if spec is not None else None
        sign = signs[position] if position < len(signs) else None
        terms.append((name, sign))
    text = " AND ".join(("NOT " if sign == -1 else "") + (name or "?") for name, sign in terms)
    return {"terms": terms, "text": text}


def _basic(values: dict[str, Any], depth: int) -> dict[str, Any]:
    interval = values.get("interval")
    expression = values.get("specexpr")
    return {"interval": _nested(interval, depth) if interval is not None else None,
            "expression": _nested(expression, depth) if expression is not None else None}


def _effectivity(values: dict[str, Any], depth: int) -> dict[str, Any]:
    return {"domain": values.get("effdom"),
            "basics": [_nested(basic, depth) if basic is not None else None for basic in values.get("effbas") or []]}


def _uuid_list(values: dict[str, Any], depth: int) -> dict[str, Any]:
    # The list keeps its uuids in runs: each attribute holds one or more of them back to back.
    uuids = [run[first:first + 16] for run in values.values() if isinstance(run, bytes)
             for first in range(0, len(run), 16)]
    return {"uuids": uuids}


_SPECIAL: dict[str, Callable[[dict[str, Any], int], dict[str, Any]]] = {
    "CfgSODate": _date,
    "CfgSOMilestoneDate": _date_milestone,
    "CfgSOIntervalDates": _interval,
    "CfgSOIntervalRanges": _interval,
    "CfgSOSpecExpression": _expression,
    "CfgSOBasicEffectivity": _basic,
    "CfgSOEffectivity": _effectivity,
    "CfgSOUuidList": _uuid_list,
}

