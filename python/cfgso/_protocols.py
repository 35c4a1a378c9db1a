"""What some interfaces add to the methods of their type information: Python protocols (len,
iteration, indexing), None for an infinite end, and enums for kinds and signs. Each class here is a
base of the interface's class, so super() reaches the method of the type information."""

from __future__ import annotations

import datetime
import enum
import uuid
from typing import Any, Iterable, Iterator, Optional, Union

from . import _errors, _times


class IntervalKind(enum.IntEnum):
    """What ``getType()`` of an interval or a milestone value gives."""
    __module__ = "cfgso"
    NONE = 0  # an interval that stands for an absent one (normal values)
    DATE = 1
    RANGE = 2


class Sign(enum.IntEnum):
    """The sign of a term of an AND-expression (``setSign``, ``addSpecification``)."""
    __module__ = "cfgso"
    NEGATIVE = -1  # NOT the specification
    POSITIVE = 1


class SetMode(enum.IntEnum):
    """How ``KroICfgXEff.setEffectivity`` takes the effectivity's basic effectivities."""
    __module__ = "cfgso"
    ADD = 0
    REPLACE = 1


def _as(kind: type[enum.IntEnum], value: int) -> Any:
    return kind(value) if value in kind._value2member_map_ else value


# Uuids per native call of extend: a whole number of the list's runs of 256.
_BULK = 8192


class _UuidList:
    """A list of uuids: ``len``, iteration, zero-based indexing (negative counts from the end) and
    slices, plus ``append``, ``extend`` (one native call for the whole iterable) and ``to_list`` (one
    native call). The methods of the interface use positions from 1."""

    __slots__ = ()

    def __len__(self) -> int:
        return self.Size()

    def __iter__(self) -> Iterator[bytes]:
        return iter(self.GetAll())

    def _position(self, index):
        size = self.Size()
        if index < 0:
            index += size
        if not 0 <= index < size:
            raise IndexError("uuid list index out of range")
        return index + 1

    def __getitem__(self, index: Union[int, slice]) -> Union[bytes, list[bytes]]:
        if isinstance(index, slice):
            return self.GetAll()[index]
        return self.ElementAt(self._position(index.__index__()))

    def __setitem__(self, index: int, uuid: Union[bytes, bytearray, uuid.UUID]) -> None:
        self.SetElementAt(self._position(index.__index__()), uuid)

    def append(self, uuid: Union[bytes, bytearray, uuid.UUID]) -> None:
        """Appends one uuid."""
        self.Append(uuid)

    def extend(self, uuids: Iterable[Union[bytes, bytearray, uuid.UUID]]) -> None:
        """Appends every uuid: one native call per 8192 of them (a whole number of the list's runs),
        whose conversions reuse the same memory."""
        uuids = uuids if isinstance(uuids, (list, tuple)) else list(uuids)
        for first in range(0, len(uuids), _BULK):
            self.AppendAll(uuids[first:first + _BULK])

    def to_list(self) -> list[bytes]:
        """Every uuid, in one native call."""
        return self.GetAll()

    def clear(self) -> None:
        """Removes every uuid."""
        self.Empty()


class _Container:
    """A container: ``len`` counts its listed objects, iteration lists them."""

    __slots__ = ()

    def __len__(self) -> int:
        return self.CountObjects()

    def __iter__(self) -> Iterator[KroISpecObject]:
        return iter(self.ListObjects())


class _IntervalDate:
    """A span of dates; an infinite one's end is None."""

    __slots__ = ()

    def getEnd(self) -> Optional[datetime.datetime]:
        """The end's date, whether held as a plain date or as a milestone; None when infinite."""
        end = super().getEnd()
        return None if self.isInfinite() else end


class _IntervalRange:
    """A span of ranks; an infinite one's end is None."""

    __slots__ = ()

    def getEnd(self) -> Optional[int]:
        """The end's rank: the milestone's when one is held, else the plain rank; None when infinite."""
        end = super().getEnd()
        return None if self.isInfinite() else end


class _Interval:
    """A model interval: ``getType()`` gives an IntervalKind; an infinite end comes back as None."""

    __slots__ = ()

    def getType(self) -> Union[IntervalKind, int]:
        """The interval's kind."""
        return _as(IntervalKind, super().getType())

    def getDateBounds(self) -> tuple[datetime.datetime, Optional[datetime.datetime]]:
        """Date intervals only (E_FAIL otherwise): start and end, the end None when infinite."""
        start, end = super().getDateBounds()
        return start, (None if end == _times.EPOCH else end)

    def getRangeBounds(self) -> tuple[int, Optional[int]]:
        """Range intervals only (E_FAIL otherwise): start and end, the end None when infinite."""
        start, end = super().getRangeBounds()
        return start, (None if end < 0 else end)


class _Value:
    """A milestone's value: ``getType()`` gives an IntervalKind."""

    __slots__ = ()

    def getType(self) -> Union[IntervalKind, int]:
        """The value's kind."""
        return _as(IntervalKind, super().getType())


class _SignedSpec:
    """A term of an AND-expression: ``getSign()`` gives a Sign where the sign is one."""

    __slots__ = ()

    def getSign(self) -> Union[Sign, int]:
        """The sign; any integer is kept."""
        return _as(Sign, super().getSign())


class _SpecExpressionRecord:
    """An AND-expression record. A term without a specification is refused here: the record would take
    it and only fail when read back."""

    __slots__ = ()

    def setSpecExpression(self, expression, *more):
        """Replaces the record by the expression; a term without a specification raises
        ArgumentValueError and leaves the record as it was."""
        query = getattr(expression, "query", None)  # a cfgso object; anything else is the call's to refuse
        terms = query("KroICfgSpecANDExpression") if query is not None else None
        for position, term in enumerate(terms.getSignedSpecs() if terms is not None else [], start=1):
            if term is not None and term.getSpecification() is None:
                raise _errors.ArgumentValueError(_errors.RESULTS["E_INVALIDARG"], "setSpecExpression", 1,
                                                 "term %d has no specification" % position)
        return super().setSpecExpression(expression, *more)


class _Manager:
    """The configuration manager. An end of None makes an infinite interval."""

    __slots__ = ()

    def createDateInterval(self, start: datetime.datetime, end: Optional[datetime.datetime]) -> KroICfgInterval:
        """A date interval; an end of None makes it infinite."""
        if end is None:
            return self.createInfiniteDateInterval(start)
        return super().createDateInterval(start, end)

    def createRangeInterval(self, start: int, end: Optional[int]) -> KroICfgInterval:
        """A range interval; an end of None (or a negative one, conventionally -1) makes it infinite."""
        return super().createRangeInterval(start, -1 if end is None else end)


# The interfaces that have additions, by name.
EXTRAS: dict[str, type] = {
    "KroICfgSOUuidList": _UuidList,
    "KroIContainer": _Container,
    "KroICfgSOIntervalDate": _IntervalDate,
    "KroICfgSOIntervalRange": _IntervalRange,
    "KroICfgInterval": _Interval,
    "KroICfgValue": _Value,
    "KroICfgSignedSpec": _SignedSpec,
    "KroICfgSOSpecExpression": _SpecExpressionRecord,
    "KroICfgManager": _Manager,
}
