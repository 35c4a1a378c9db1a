"""Writes the type stub of the cfgso package (__init__.pyi) and its py.typed marker, at build time.

Run with the built package importable: the interface classes and their methods come from the type
information the package reads through dispatch, the rest from the package's own annotations.

    python3 cfgso_stubs.py PACKAGE_DIR
"""

import inspect
import os
import re
import sys

# The built package, not the sources beside this script.
_here = os.path.dirname(os.path.realpath(__file__))
sys.path[:] = [p for p in sys.path if os.path.realpath(p or ".") != _here]
import cfgso  # noqa: E402

HEADER = '''"""Type stub of cfgso, generated at build time from the interfaces' type information."""

import datetime
import enum
import os
import uuid
from typing import Any, Iterable, Iterator, NamedTuple, Optional, TypeVar, Union, overload

T = TypeVar("T", bound="Object")

'''


def doc_block(text, indent):
    if not text:
        return ""
    text = text.replace("\\", "\\\\").replace('"""', '\\"\\"\\"')
    pad = " " * indent
    lines = text.split("\n")
    body = "\n".join((pad + line) if line else "" for line in lines)
    return '%s"""\n%s\n%s"""\n' % (pad, body, pad)


def signature(function, drop_self=True):
    sig = inspect.signature(function)
    params = []
    for p in sig.parameters.values():
        text = p.name
        if p.kind is p.VAR_POSITIONAL:
            text = "*" + text
        if p.annotation is not p.empty:
            text += ": " + str(p.annotation)
        if p.default is not p.empty:
            text += " = ..."
        params.append(text)
    result = "" if sig.return_annotation is sig.empty else " -> " + str(sig.return_annotation)
    return "(%s)%s" % (", ".join(params), result)


def method_stub(name, function, indent=4):
    pad = " " * indent
    out = "%sdef %s%s:\n" % (pad, name, signature(function))
    doc = inspect.getdoc(function)
    return out + (doc_block(doc, indent + 4) if doc else "") + "%s    ...\n" % pad


def enum_stub(cls):
    out = "class %s(enum.IntEnum):\n" % cls.__name__
    out += doc_block(inspect.getdoc(cls), 4)
    for member in cls:
        out += "    %s = %d\n" % (member.name, member.value)
    return out + "\n"


# Indexes and slices give different types: overloads say which.
OVERLOADS = {
    ("KroICfgSOUuidList", "__getitem__"):
        "    @overload\n    def __getitem__(self, index: int) -> bytes: ...\n"
        "    @overload\n    def __getitem__(self, index: slice) -> list[bytes]: ...\n",
}


def class_stub(cls, bases):
    out = "class %s(%s):\n" % (cls.__name__, ", ".join(bases))
    out += doc_block(inspect.getdoc(cls), 4)
    seen = set()
    # The Python side's additions first (they replace methods of the same name), then the interface's.
    for klass in cls.__mro__:
        if klass is cfgso.Object or klass is object:
            break
        for name, value in vars(klass).items():
            if name in seen or not callable(value) or (name.startswith("_") and name not in PROTOCOLS):
                continue
            seen.add(name)
            out += OVERLOADS.get((cls.__name__, name)) or method_stub(name, value)
    if not seen:
        out += "    ...\n"
    return out + "\n"


PROTOCOLS = {"__len__", "__iter__", "__getitem__", "__setitem__", "__enter__", "__exit__"}


def error_stub(cls):
    bases = [b.__name__ for b in cls.__bases__]
    out = "class %s(%s):\n" % (cls.__name__, ", ".join(bases))
    out += doc_block(inspect.getdoc(cls), 4)
    if cls is cfgso.Error:
        out += ("    hresult: int\n    name: str\n    method: str\n    argument: Optional[int]\n"
                "    description: str\n"
                "    def __init__(self, hresult: int, method: str, argument: Optional[int] = ..., "
                "description: str = ...) -> None: ...\n")
    elif cls is cfgso.FileError:
        out += "    errno: int\n    filename: Optional[str]\n"
    else:
        out += "    ...\n"
    return out + "\n"


def main(package_dir):
    out = [HEADER]
    out.append("UTC: datetime.timezone\nFIRST_TIME: datetime.datetime\nLAST_TIME: datetime.datetime\n\n")
    for cls in (cfgso.IntervalKind, cfgso.Sign, cfgso.SetMode):
        out.append(enum_stub(cls))
    for cls in (cfgso.Error, cfgso.ArgumentTypeError, cfgso.ArgumentValueError, cfgso.FileError, cfgso.FormatError):
        out.append(error_stub(cls))
    out.append("FILTER_MODES: range\n\n")
    out.append("class Object:\n" + doc_block(inspect.getdoc(cfgso.Object), 4) +
               "    @property\n    def interface(self) -> str: ...\n"
               "    @overload\n    def query(self, interface: type[T]) -> Optional[T]:\n" +
               doc_block(inspect.getdoc(cfgso.Object.query), 8) + "        ...\n"
               "    @overload\n    def query(self, interface: str) -> Optional[Object]: ...\n"
               "    def __eq__(self, other: object) -> bool: ...\n"
               "    def __hash__(self) -> int: ...\n\n")
    for name in cfgso.interfaces():
        out.append(class_stub(getattr(cfgso, name), ["Object"]))
    # A pair to the type checker, so that unpacking types both halves.
    document = ("class Document(tuple[Optional[KroIContainer], list[KroISpecObject]]):\n" +
                doc_block(inspect.getdoc(cfgso.Document), 4))
    document += ("    container: Optional[KroIContainer]\n    roots: list[KroISpecObject]\n    path: str\n"
                 "    def __enter__(self) -> Document: ...\n"
                 "    def __exit__(self, *exc: Any) -> bool: ...\n" + method_stub("close", cfgso.Document.close) + "\n")
    out.append(document)
    out.append("class Match(NamedTuple):\n" + doc_block(cfgso.Match.__doc__, 4) +
               "    object: int\n    record: KroISpecObject\n    type: str\n    basic: int\n\n")
    for name in ("connect", "manager", "container", "open", "save", "attributes", "attribute_kinds", "set_attribute",
                 "describe", "live_objects", "interfaces", "effective", "record_holds"):
        out.append(method_stub(name, getattr(cfgso, name), indent=0) + "\n")
    out.append("factory: KroCfgSOFactory\ndocuments: KroDocumentScripting\n")
    text = "".join(out)
    # Interfaces that methods name but scripts cannot call (no type information) are still types.
    defined = set(re.findall(r"^class (\w+)", text, re.M))
    missing = sorted(set(re.findall(r"\b((?:Kro|Quor)I\w+)\b", text)) - defined)
    text += "".join("\nclass %s(Object):\n    \"\"\"An interface without type information: it is only passed on.\"\"\"\n" % name
                    for name in missing)
    compile(text, "__init__.pyi", "exec")  # a stub that does not parse is no stub
    with open(os.path.join(package_dir, "__init__.pyi"), "w", encoding="utf-8") as f:
        f.write(text)
    with open(os.path.join(package_dir, "py.typed"), "w", encoding="utf-8") as f:
        f.write("")


if __name__ == "__main__":
    main(sys.argv[1])
