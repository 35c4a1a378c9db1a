"""The enumerations of cfgso: what some methods give and take as integers."""

from __future__ import annotations

import enum
from typing import Any


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


def member(kind: type[enum.IntEnum], value: int) -> Any:
    """The enumeration's member for value, or value itself when it names none."""
    return kind(value) if value in kind._value2member_map_ else value
