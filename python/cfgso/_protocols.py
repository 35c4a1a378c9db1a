"""What some interfaces add to the methods of their type information: Python protocols (len,
iteration, indexing), None for an infinite end, and enums for kinds and signs. Each class here is a
base of the interface's class, so super() reaches the method of the type information."""

from __future__ import annotations

import datetime
import enum
import operator
import uuid
from typing import TYPE_CHECKING, Any, Iterable, Iterator, Optional, Union

from . import _times
from ._enums import IntervalKind, member
from ._refusals import (_BasicEffectivityRecord, _EffectivityRecord, _Manager, _SignedSpec, _SpecExpressionRecord,
                        _XEff)

if TYPE_CHECKING:  # the interface classes are made at run time; the stub names them
    from . import KroISpecObject




# Uuids per native call of extend: a whole number of the list's runs of 256.
_BULK = 8192


def _index(index: Any) -> int:
    try:
        return operator.index(index)
    except TypeError:
        raise TypeError("uuid list indices must be integers or slices, not %s" % type(index).__name__) from None


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
        return self.ElementAt(self._position(_index(index)))

    def __setitem__(self, index: int, uuid: Union[bytes, bytearray, uuid.UUID]) -> None:
        self.SetElementAt(self._position(_index(index)), uuid)

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
        return member(IntervalKind, super().getType())

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
        return member(IntervalKind, super().getType())


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
    "KroICfgSOBasicEffectivity": _BasicEffectivityRecord,
    "KroICfgSOEffectivity": _EffectivityRecord,
    "KroICfgXEff": _XEff,
    "KroICfgManager": _Manager,
}
