"""One Python class per interface, made from its type information when first needed: each method
calls the interface's dispatch method of the same name. Objects wrap counted handles of the native
module."""

from __future__ import annotations

import functools
from typing import Any, Optional, Union

from . import _cfgso, _errors, _signatures
from ._protocols import EXTRAS

_MODULE = "cfgso"


class Object(_cfgso.Object):
    """A component held through one of its interfaces. It keeps one reference for as long as it lives.
    Two objects are equal, and hash alike, when they are the same component, whatever interfaces they
    are held through. (No __getattr__ here: with one, Python would bind every method call.)"""

    __module__ = _MODULE
    __slots__ = ()
    _methods: dict[str, Any] = {}
    _interface = ""

    @property
    def interface(self) -> str:
        """The name of the interface this object is held through."""
        return self._interface_name or type(self)._interface

    def query(self, interface: Union[str, type]) -> Optional[Object]:
        """The same object through another interface (a name such as "KroISpecObject" or a class of
        this module), or None when it lacks it."""
        if isinstance(interface, type):
            interface = interface.__name__
        if not isinstance(interface, str):
            raise TypeError("query() takes an interface name or class, not %s" % type(interface).__name__)
        return self._query(interface)

    def __dir__(self) -> list[str]:
        return sorted(set(type(self)._methods) | set(_OBJECT_API) |
                      {n for c in type(self).__mro__ for n in vars(c) if not n.startswith("_")})

    def __copy__(self) -> Object:
        # A copy is another reference to the same component.
        return self._clone()

    def __deepcopy__(self, memo: Any) -> Object:
        return self._clone()

    def __reduce_ex__(self, protocol: Any) -> Any:
        raise TypeError("a live %s cannot be pickled; save it with cfgso.save" % type(self).__name__)

    def __repr__(self) -> str:
        parts = ["cfgso." + (self._interface_name or type(self).__name__)]
        try:
            spec = self._query("KroISpecObject")
            if spec is not None:
                parts.append(_short(spec.GetLateType()))
            name = _name_of(self, spec)
            if name:
                parts.append(repr(_short(name)))
        except _errors.Error:
            pass
        return "<%s>" % " ".join(parts)


_OBJECT_API = ("interface", "query")
# A repr stays readable whatever the object holds.
_REPR_TEXT = 80


def _short(text: str) -> str:
    return text if len(text) <= _REPR_TEXT else text[:_REPR_TEXT - 3] + "..."


def _name_of(obj: Object, spec: Optional[Object]) -> Optional[str]:
    getter = type(obj)._methods.get("getName")
    if getter is not None and not _signatures.inputs(getter._info):
        name: Optional[str] = getter(obj)
        return name
    if spec is not None:
        return spec.GetName()  # type: ignore[attr-defined, no-any-return]
    return None


def _make_method(info: dict[str, Any], interface: str) -> Any:
    names = tuple(_signatures.param_name(p["name"]) for p in _signatures.inputs(info))
    method = _cfgso.Method(interface, info["dispid"], names)
    method.__name__ = method.__qualname__ = info["name"]
    method.__doc__ = _signatures.method_doc(info)
    method.__signature__ = _signatures.signature(info)
    method._info = info
    return method


def _make_class(info: dict[str, Any], extra: Optional[type] = None) -> type:
    name = info["name"]
    methods: dict[str, Any] = {}
    for m in info["methods"]:
        # A later overload under the same name never wins: dispatch answers the first listed.
        if m["name"] not in methods:
            methods[m["name"]] = _make_method(m, name)
    doc = "The interface %s: %d methods, from its type information." % (name, len(methods))
    cls = type(name, (Object,), {"__slots__": (), "_interface": name, "__module__": _MODULE,
                                 "_methods": methods, "__doc__": doc, **methods})
    if extra is None:
        return cls
    # What the Python side adds in place of a method keeps the method's help.
    for key, value in vars(extra).items():
        if key in methods and callable(value) and value.__doc__ and "\nC++:" not in value.__doc__:
            # The addition's own text first, then what the method list says of the call beneath.
            value.__doc__ = "%s%s\n\n%s\n\nBeneath: %s" % (
                key, _signatures.signature_text(value), value.__doc__, methods[key].__doc__)
    return type(name, (extra, cls), {"__slots__": (), "_interface": name, "__module__": _MODULE,
                                     "__doc__": (extra.__doc__ or "") + "\n\n" + doc})


_classes: dict[str, type] = {}


def class_named(name: str) -> type:
    """The class of an interface by name, made on first use; Object for a handle without one."""
    cls = _classes.get(name)
    if cls is None:
        info = _cfgso.describe(name) if name else None
        # Two threads may make it at once; the first one kept is the class of both.
        cls = _classes.setdefault(name, _make_class(info, EXTRAS.get(name)) if info else Object)
    return cls




@functools.lru_cache(maxsize=None)
def interface_names() -> tuple[str, ...]:
    """Every interface that scripts can call, by name, sorted."""
    return tuple(_cfgso.interfaces())
