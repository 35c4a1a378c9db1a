"""What is effective where: effectivity records evaluated at a configuration point.

    import cfgso
    container, roots = cfgso.open("demo.kro")
    for match in cfgso.effective(container, domain="Powertrain", date="2004-06-01", rank=120,
                                 specs=["ENGINE-V6", "GEARBOX-AUTO"]):
        print(match.object, match.type, match.basic)

Both calls go through the dispatch methods of KroEffectivityScripting, as every other call goes
through an interface's. The rules are those of docs/effectivity-queries.md.
"""

from __future__ import annotations

import collections
import datetime
from typing import Any, Iterable, Optional, Union

from . import _errors, _library, _times
from ._classes import Object
from ._documents import Document

Match = collections.namedtuple("Match", "object record type basic", module="cfgso")
Match.__doc__ = """A record that holds: its number (for a container, as cfgso show numbers it), the record,
its late type, and the basic effectivity that made it hold (0 for an expression record)."""

def _target(container_or_roots: Any) -> Any:
    if isinstance(container_or_roots, Document) or (
            isinstance(container_or_roots, tuple) and len(container_or_roots) == 2 and isinstance(container_or_roots[1], list)):
        return container_or_roots[0]  # what cfgso.open gives
    if hasattr(container_or_roots, "query"):
        container = container_or_roots.query("KroIContainer")
        return container if container is not None else [container_or_roots]
    return list(container_or_roots)


_INT64 = range(-2**63, 2**63)


def _point(what: str, date: Union[None, str, datetime.date], rank: Optional[int], specs: Iterable[str]) -> tuple[Any, ...]:
    """The point's arguments as the calls take them; refused as the script gave them."""
    if isinstance(specs, (str, bytes)):
        raise TypeError("%s(): specs is an iterable of specification names, not one %s (write [%r])"
                        % (what, type(specs).__name__, specs))
    if isinstance(rank, int) and not isinstance(rank, bool) and rank not in _INT64:
        raise _errors.ArgumentValueError(_errors.RESULTS["E_INVALIDARG"], what, 4,
                                         "rank %d does not fit in 64 bits" % rank)
    return _times.point_date(date), rank, list(specs)


def _query(what: str, method: str, *args: Any) -> Any:
    try:
        return getattr(_library.statics("KroEffectivityScripting"), method)(*args)
    except _errors.Error as error:
        raise error.renamed(what) from None


def effective(container_or_roots: Union[Object, Document, Iterable[Object]], domain: str, date: Union[None, str, datetime.date] = None, rank: Optional[int] = None,
              specs: Iterable[str] = (), mode150: bool = False) -> list[Match]:
    """Every record that holds at the point, in order, as Match tuples. container_or_roots is a
    container, what cfgso.open gives, or a list of spec objects (searched with all they reach).
    Without a date no date interval holds, without a rank no rank interval. specs is an iterable of
    names (a lone string raises TypeError), rank an integer of 64 bits (ArgumentValueError beyond). A
    damaged record raises Error (KRO_E_DAMAGED_EFFECTIVITY) naming it."""
    target = _target(container_or_roots)
    method = "SelectInContainer" if isinstance(target, Object) else "SelectFromRoots"
    matches, damaged = _query("effective", method, target, domain, *_point("effective", date, rank, specs),
                              bool(mode150))
    if damaged:
        raise _errors.Error(_errors.RESULTS["KRO_E_DAMAGED_EFFECTIVITY"], "effective", None,
                            "object %d (type %s) is damaged" % tuple(damaged[0]))
    return [Match(*match) for match in matches]


def record_holds(record: Optional[Object], domain: str, date: Union[None, str, datetime.date] = None, rank: Optional[int] = None,
                 specs: Iterable[str] = (), mode150: bool = False) -> bool:
    """Whether one record holds at the point. A record of another kind raises Error
    (KRO_E_NOT_AN_EFFECTIVITY), a damaged one Error (KRO_E_DAMAGED_EFFECTIVITY)."""
    holds, _basic = _query("record_holds", "RecordHolds", record, domain, *_point("record_holds", date, rank, specs),
                           bool(mode150))
    return bool(holds)
