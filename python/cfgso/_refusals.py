"""What the Python layer refuses before a call would change data without a word: the library's C++
results stay as they are (a record keeps no interval of a basic effectivity with several, reads an end
at or before 1970 as none, keeps any integer as a sign or a mode), but a script learns of it here, with
ArgumentValueError naming the argument, and the record is left as it was."""

from __future__ import annotations

import datetime
import enum
from typing import TYPE_CHECKING, Any, Callable, Optional, Union

from . import _errors, _times
from ._enums import SetMode, Sign, member

if TYPE_CHECKING:  # the interface classes are made at run time; the stub names them
    from . import (KroICfgBasicEffectivity, KroICfgContext, KroICfgEffectivity, KroICfgFilter, KroICfgInterval,
                   KroICfgNormalValue, KroICfgSimpleSpecification, KroICfgSpecANDExpression, KroICfgXEff)

# The filter modes a script may record. The library stores any integer; what a mode selects belongs
# to the configuration model, which knows these four.
FILTER_MODES = range(0, 4)

def _refuse(method: str, argument: int, text: str) -> _errors.ArgumentValueError:
    return _errors.ArgumentValueError(_errors.RESULTS["E_INVALIDARG"], method, argument, text)

def _check_enum(kind: type[enum.IntEnum], value: Any, method: str, argument: int, name: str) -> None:
    """Refuses an integer outside the enumeration (a wrong type is left to the call)."""
    if isinstance(value, int) and not isinstance(value, bool) and value not in kind._value2member_map_:
        allowed = ", ".join("%d (%s)" % (m.value, m.name) for m in kind)
        raise _refuse(method, argument, "%s must be one of %s, not %d" % (name, allowed, value))

def _renamed(method: str, call: Callable[..., Any], *args: Any) -> Any:
    """A call made for the script's method: its failure names the script's method."""
    try:
        return call(*args)
    except _errors.Error as error:
        raise error.renamed(method) from None

def _intervals_of(basic: Any) -> int:
    query = getattr(basic, "query", None)
    model = query("KroICfgBasicEffectivity") if query is not None else None
    return len(model.getIntervals()) if model is not None else 0

class _SignedSpec:
    """A term of an AND-expression: ``getSign()`` gives a Sign where the sign is one."""

    __slots__ = ()

    def getSign(self) -> Union[Sign, int]:
        """The sign; a record made elsewhere may hold any integer, which is given as it is."""
        return member(Sign, super().getSign())

    def setSign(self, sign: Union[Sign, int]) -> None:
        """Sets the sign: Sign.POSITIVE (1) or Sign.NEGATIVE (-1). Any other integer raises
        ArgumentValueError and leaves the term as it was (the model would keep it, and no expression
        could read it)."""
        _check_enum(Sign, sign, "setSign", 1, "sign")
        super().setSign(sign)  # type: ignore[misc]

class _SpecExpressionRecord:
    """An AND-expression record. A term without a specification is refused here: the record would take
    it and only fail when read back."""

    __slots__ = ()

    def setSpecExpression(self, expression: Optional[KroICfgSpecANDExpression], *more: Any) -> None:
        """Replaces the record by the expression; a term without a specification raises
        ArgumentValueError and leaves the record as it was."""
        query = getattr(expression, "query", None)  # a cfgso object; anything else is the call's to refuse
        terms = query("KroICfgSpecANDExpression") if query is not None else None
        for position, term in enumerate(terms.getSignedSpecs() if terms is not None else [], start=1):
            if term is not None and term.getSpecification() is None:
                raise _errors.ArgumentValueError(_errors.RESULTS["E_INVALIDARG"], "setSpecExpression", 1,
                                                 "term %d has no specification" % position)
        return super().setSpecExpression(expression, *more)  # type: ignore[misc]

    def addSpecification(self, spec: Optional[KroICfgSimpleSpecification], sign: Union[Sign, int]) -> None:
        """Adds a term: a sign other than Sign.POSITIVE (1) or Sign.NEGATIVE (-1) raises
        ArgumentValueError and leaves the record as it was."""
        _check_enum(Sign, sign, "addSpecification", 2, "sign")
        super().addSpecification(spec, sign)  # type: ignore[misc]

class _BasicEffectivityRecord:
    """A basic effectivity record holds one interval at most."""

    __slots__ = ()

    def setBasicEffectivity(self, effectivity: Optional[KroICfgBasicEffectivity]) -> None:
        """Replaces the record by the basic effectivity. One with more than one interval raises
        ArgumentValueError and leaves the record as it was: the record keeps a single interval, and
        would otherwise keep none, so that the effectivity would then hold everywhere."""
        count = _intervals_of(effectivity)
        if count > 1:
            raise _refuse("setBasicEffectivity", 1, "a basic effectivity with %d intervals; a record keeps "
                          "one at most (make one basic effectivity per interval)" % count)
        super().setBasicEffectivity(effectivity)  # type: ignore[misc]

class _EffectivityRecord:
    """An effectivity record keeps each basic effectivity as a basic effectivity record."""

    __slots__ = ()

    def setXEff(self, xeff: Optional[KroICfgXEff]) -> None:
        """Replaces the record by the extended effectivity. A basic effectivity in it with more than one
        interval raises ArgumentValueError and leaves the record as it was (its record would keep no
        interval, and hold everywhere)."""
        query = getattr(xeff, "query", None)
        model = query("KroICfgXEff") if query is not None else None
        for position, basic in enumerate(model.getBasicEffectivities() if model is not None else [], start=1):
            count = _intervals_of(basic)
            if count > 1:
                raise _refuse("setXEff", 1, "basic effectivity %d has %d intervals; a record keeps one at "
                              "most (make one basic effectivity per interval)" % (position, count))
        super().setXEff(xeff)  # type: ignore[misc]

class _XEff:
    """An extended effectivity: ``setEffectivity`` takes a SetMode."""

    __slots__ = ()

    def setEffectivity(self, effectivity: Optional[KroICfgEffectivity], mode: Union[SetMode, int]) -> None:
        """Takes the effectivity's basic effectivities: mode SetMode.ADD (0) or SetMode.REPLACE (1);
        another mode raises ArgumentValueError."""
        _check_enum(SetMode, mode, "setEffectivity", 2, "mode")
        super().setEffectivity(effectivity, mode)  # type: ignore[misc]

class _Manager:
    """The configuration manager. An end of None makes an infinite interval."""

    __slots__ = ()

    def createDateInterval(self, start: Union[datetime.datetime, datetime.date],
                           end: Union[None, datetime.datetime, datetime.date] = None) -> KroICfgInterval:
        """A date interval; an end of None makes it infinite. A finite end at or before 1970-01-01
        00:00:00 UTC raises ArgumentValueError: a record reads such an end as no end at all, so the
        interval would come back infinite."""
        if end is None:
            return _renamed("createDateInterval", self.createInfiniteDateInterval, start)  # type: ignore[attr-defined]
        if _times.to_seconds(end, "createDateInterval", 2) <= 0:
            raise _refuse("createDateInterval", 2, "a finite end at or before 1970-01-01 00:00:00 UTC reads "
                          "back as no end; give an end after it, or None for an infinite interval")
        return super().createDateInterval(start, end)  # type: ignore[misc, no-any-return]

    def createRangeInterval(self, start: int, end: Optional[int] = None) -> KroICfgInterval:
        """A range interval; an end of None (or a negative one, conventionally -1) makes it infinite."""
        return super().createRangeInterval(start, -1 if end is None else end)  # type: ignore[misc, no-any-return]

    def createFilter(self, id: str, domain: str, context: Optional[KroICfgContext], values: list[KroICfgNormalValue],
                     mode: int, mode150: bool) -> KroICfgFilter:
        """A filter. A mode outside 0 to 3 raises ArgumentValueError (the model knows no other)."""
        if isinstance(mode, int) and not isinstance(mode, bool) and mode not in FILTER_MODES:
            raise _refuse("createFilter", 5, "mode must be 0 to 3, not %d" % mode)
        return super().createFilter(id, domain, context, values, mode, mode150)  # type: ignore[misc, no-any-return]
