"""Any spec object's attributes by name, as the document format knows them."""

from __future__ import annotations

import datetime
from typing import Any

from . import _errors, _times
from ._classes import Object

# Attributes stored as whole seconds since 1970 that scripts see as times: (late type, name).
_TIME_ATTRIBUTES = {("CfgSODate", "S")}


def _access(obj: Any, method: str) -> Any:
    access = obj.query("KroISpecAttrAccess") if isinstance(obj, Object) else None
    if access is None:
        raise _errors.ArgumentTypeError(_errors.RESULTS["DISP_E_TYPEMISMATCH"], method, 1,
                                        "not a spec object: %r" % (obj,))
    return access


def attributes(obj: Object) -> dict[str, Any]:
    """A spec object's attributes, in order, as a dict of name to value: str, int, float, bool, bytes
    (octets), datetime (a date's seconds), spec objects (as KroISpecObject objects), lists as lists;
    None for an attribute without a value."""
    described = obj._attributes() if isinstance(obj, Object) else None
    if described is None:
        _access(obj, "attributes")  # raises, naming what was given
    late_type, values = described
    for time_type, name in _TIME_ATTRIBUTES:
        if late_type == time_type and isinstance(values.get(name), int):
            values[name] = _times.from_seconds(values[name])
    return values  # type: ignore[no-any-return]


def attribute_kinds(obj: Object) -> dict[str, str]:
    """A spec object's attribute kinds, in order, as the document format writes them ("integer",
    "list specobject", "octets", ...)."""
    names, kinds = _access(obj, "attribute_kinds").DescribeAttributes()
    return dict(zip(names, kinds))


def set_attribute(obj: Object, name: str, value: Any) -> None:
    """Sets a spec object's attribute by name; None unsets it, a list replaces a list attribute whole.
    ArgumentValueError when there is no such attribute, ArgumentTypeError when the value does not suit
    its kind."""
    access = _access(obj, "set_attribute")
    if isinstance(value, datetime.date):
        late_type = access.query("KroISpecObject").GetLateType()
        if (late_type, name) in _TIME_ATTRIBUTES:
            value = _times.to_seconds(value, "set_attribute", 3)
    access.SetAttributeValue(name, value)
