"""What is effective where: effectivity records evaluated at a configuration point.

    import cfgso, datetime
    container, roots = cfgso.open("demo.kro")
    for match in cfgso.effective(container, domain="Powertrain", date="2004-06-01", rank=120,
                                 specs=["ENGINE-V6", "GEARBOX-AUTO"]):
        print(match.object, match.type, match.basic)

The rules are those of docs/effectivity-queries.md.
"""

import collections
import datetime

from . import Document, Error, _cfgso, _wrap

Match = collections.namedtuple("Match", "object record type basic")
Match.__doc__ = """A record that holds: its number (for a container, as cfgso show numbers it), the record,
its late type, and the basic effectivity that made it hold (0 for an expression record)."""

_S_OK = 0
_S_FALSE = 1
_DAMAGED = 0x80040211 - (1 << 32)


def _seconds(date):
    """A date as seconds since 1970 UTC: a datetime (naive taken as UTC), a date (midnight UTC), or "YYYY-MM-DD"."""
    if date is None:
        return None
    if isinstance(date, str):
        try:
            date = datetime.date.fromisoformat(date)
        except ValueError:
            raise ValueError("date %r is not of the form YYYY-MM-DD" % date) from None
    if isinstance(date, datetime.datetime):
        if date.tzinfo is None:
            date = date.replace(tzinfo=datetime.timezone.utc)
        return int(date.timestamp() // 1)
    if isinstance(date, datetime.date):
        return int(datetime.datetime(date.year, date.month, date.day, tzinfo=datetime.timezone.utc).timestamp())
    raise TypeError("date must be a datetime, a date or a YYYY-MM-DD string, not %s" % type(date).__name__)


def _target(container_or_roots):
    if isinstance(container_or_roots, Document) or (
            isinstance(container_or_roots, tuple) and len(container_or_roots) == 2 and isinstance(container_or_roots[1], list)):
        return container_or_roots[0]  # what cfgso.open gives
    if hasattr(container_or_roots, "query"):
        container = container_or_roots.query("KroIContainer")
        return container if container is not None else [container_or_roots]
    return list(container_or_roots)


def effective(container_or_roots, domain, date=None, rank=None, specs=(), mode150=False):
    """Every record that holds at the point, in order, as Match tuples. container_or_roots is a
    container, what cfgso.open gives, or a list of spec objects (searched with all they reach).
    Without a date no date interval holds, without a rank no rank interval. A damaged record raises
    Error (KRO_E_DAMAGED_EFFECTIVITY) naming it."""
    hr, found, damaged = _cfgso.effective(_target(container_or_roots), domain, _seconds(date), rank, list(specs),
                                          bool(mode150))
    if damaged:
        number, late_type, code = damaged[0]
        raise Error(code, "effective", None, "object %d (type %s) is damaged" % (number, late_type))
    if hr != _S_OK:
        raise Error(hr, "effective")
    return [Match(number, _wrap(record), late_type, basic) for number, record, late_type, basic in found]


def record_holds(record, domain, date=None, rank=None, specs=(), mode150=False):
    """Whether one record holds at the point. A record of another kind raises Error
    (KRO_E_NOT_AN_EFFECTIVITY), a damaged one Error (KRO_E_DAMAGED_EFFECTIVITY)."""
    hr, _basic = _cfgso.record_holds(record, domain, _seconds(date), rank, list(specs), bool(mode150))
    if hr not in (_S_OK, _S_FALSE):
        raise Error(hr, "record_holds")
    return hr == _S_OK
