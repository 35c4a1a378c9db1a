"""Python's view of the type information: the parameter names, annotations and help text of the
methods that the classes make."""

from __future__ import annotations

import keyword
from typing import TYPE_CHECKING, Any, Callable

if TYPE_CHECKING:
    import inspect

# Python's view of the C++ types of the type information, for signatures, docstrings and the stub.
_PY_TYPES = {
    "KroUnicodeString": "str", "int": "int", "long": "int", "boolean": "bool", "double": "float",
    "SEQUENCE_octet": "bytes", "KroCfgUuid": "bytes", "KroTime": "datetime.datetime", "KroVariant": "Any",
    "void": "None", "HRESULT": "None",
}
_UUID_IN = "Union[bytes, bytearray, uuid.UUID]"


def py_type(type_name: str, optional: bool = True) -> str:
    if type_name.startswith("KroList<") and type_name.endswith(">"):
        return "list[%s]" % py_type(type_name[8:-1], optional=False)
    if type_name in _PY_TYPES:
        return _PY_TYPES[type_name]
    return ("Optional[%s]" if optional else "%s") % type_name  # an interface: null is None


def input_type(param: dict[str, Any]) -> str:
    """What an input takes: a uuid (so the type information says) also as a uuid.UUID, a time also as a date."""
    if param["uuid"]:
        return "Iterable[%s]" % _UUID_IN if param["type"].startswith("KroList<") else _UUID_IN
    if param["type"] == "KroTime":
        return "Union[datetime.datetime, datetime.date]"  # a date is its midnight
    return py_type(param["type"])


_MAKERS = ("create", "instanciate")


def returns(info: dict[str, Any]) -> str:
    """What a call gives back, as a type: the result where it is a value or an answer, then the
    outputs; None, one type, or a tuple."""
    values = []
    # What a create call makes is never null: a failure raises.
    optional = not info["name"].startswith(_MAKERS)
    if info["result_kind"] == "BOOL":
        values.append("bool")
    elif not info["returns_result"] and info["result"] != "void":
        values.append(py_type(info["result"], optional))
    values.extend(py_type(p["type"], optional) for p in info["params"] if p["out"])
    if not values:
        return "None"
    return values[0] if len(values) == 1 else "tuple[%s]" % ", ".join(values)


def param_name(name: str) -> str:
    return name + "_" if keyword.iskeyword(name) or name == "self" else name


def inputs(info: dict[str, Any]) -> list[dict[str, Any]]:
    return [p for p in info["params"] if not p["out"]]


def signature(info: dict[str, Any]) -> inspect.Signature:
    """The method's signature, with self, as inspect and help() show it."""
    import inspect  # here, not at import: it takes longer to import than the package itself

    kind = inspect.Parameter.POSITIONAL_OR_KEYWORD
    return inspect.Signature(
        [inspect.Parameter("self", kind)] +
        [inspect.Parameter(param_name(p["name"]), kind, annotation=input_type(p)) for p in inputs(info)],
        return_annotation=returns(info))


def method_doc(info: dict[str, Any]) -> str:
    text = "%s(%s) -> %s" % (info["name"], ", ".join("%s: %s" % (param_name(p["name"]), input_type(p))
                                                     for p in inputs(info)), returns(info))
    if info["doc"]:
        text += "\n\n" + info["doc"]
    return text + "\n\nC++: " + info["signature"]


def signature_text(function: Callable[..., Any]) -> str:
    """The signature as the docstrings and the stub write it, without self."""
    import inspect

    sig = inspect.signature(function)
    params = [p for p in sig.parameters.values() if p.name != "self"]
    return str(sig.replace(parameters=params)).replace("'", "")
