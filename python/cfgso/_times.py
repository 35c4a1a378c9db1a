"""Times as scripts see them: timezone-aware datetimes in UTC, in whole seconds, within the store's
range (a signed 32-bit count of seconds from 1970). The conversion is the native module's, the same
for every call, attribute and query; a naive datetime is taken as UTC, a date as its midnight."""

from __future__ import annotations

import datetime
from typing import Optional, Union

from . import _cfgso

UTC: datetime.timezone = _cfgso.UTC
EPOCH: datetime.datetime = _cfgso.EPOCH
FIRST_TIME: datetime.datetime = _cfgso.moment(_cfgso.FIRST_TIME)
LAST_TIME: datetime.datetime = _cfgso.moment(_cfgso.LAST_TIME)


def to_seconds(moment: Union[datetime.datetime, datetime.date], method: str, argument: int) -> int:
    """Seconds since 1970 UTC; refused as the call's one-based argument would be (ArgumentTypeError,
    ArgumentValueError)."""
    return _cfgso.seconds(moment, method, argument - 1)


def from_seconds(seconds: int) -> datetime.datetime:
    return _cfgso.moment(seconds)


def point_date(date: Union[None, str, datetime.date]) -> Optional[datetime.date]:
    """A configuration point's date as the calls take it: a datetime, a date, or "YYYY-MM-DD" text."""
    if isinstance(date, str):
        try:
            return datetime.date.fromisoformat(date)
        except ValueError:
            raise ValueError("date %r is not of the form YYYY-MM-DD" % date) from None
    if date is None or isinstance(date, datetime.date):
        return date
    raise TypeError("date must be a datetime, a date or a YYYY-MM-DD string, not %s" % type(date).__name__)
