"""One Python class per interface, made from its type information when first needed: each method
calls the interface's dispatch method of the same name. Objects wrap counted handles of the native
module."""

from __future__ import annotations

import functools
from typing import Any, Optional, Union

from . import _cfgso, _errors, _signatures
from ._protocols import EXTRAS

_MODULE = "cfgso"


class Object:
    """A component held through one of its interfaces. It keeps one reference for as long as it lives.
    Two objects are equal, and hash alike, when they are the same component, whatever interfaces they
    are held through."""

    __module__ = _MODULE
    __slots__ = ("_handle", "__weakref__")
    _methods: dict[str, Any] = {}
    _interface = ""

    def __init__(self, handle: Any) -> None:
        if not isinstance(handle, _cfgso.Handle):
            raise TypeError("cfgso objects come from the module (cfgso.factory, cfgso.manager(), their "
                            "methods), not from a %s" % type(handle).__name__)
        self._handle = handle

    @property
    def interface(self) -> str:
        """The name of the interface this object is held through."""
        return self._handle.interface or type(self)._interface

    def query(self, interface: Union[str, type]) -> Optional[Object]:
        """The same object through another interface (a name such as "KroISpecObject" or a class of
        this module), or None when it lacks it."""
        if isinstance(interface, type):
            interface = interface.__name__
        return wrap(self._handle.query(interface))

    def __getattr__(self, name):
        # Never reached for _handle once set; unset (a copy under construction) it must not recurse.
        if name.startswith("__") or name == "_handle":
            raise AttributeError(name)
        raise AttributeError("%s has no method %r" % (type(self).__name__, name))

    def __dir__(self):
        return sorted(set(type(self)._methods) | set(_OBJECT_API) |
                      {n for c in type(self).__mro__ for n in vars(c) if not n.startswith("_")})

    def __eq__(self, other):
        if not isinstance(other, Object):
            return NotImplemented
        return self._handle.identity() == other._handle.identity()

    def __hash__(self):
        return hash(self._handle.identity())

    def __copy__(self):
        # A copy is another reference to the same component.
        return type(self)(self._handle)

    def __deepcopy__(self, memo):
        return type(self)(self._handle)

    def __reduce_ex__(self, protocol):
        raise TypeError("a live %s cannot be pickled; save it with cfgso.save" % type(self).__name__)

    def __repr__(self):
        try:
            handle = self._handle
        except AttributeError:
            return "<cfgso.%s (empty)>" % type(self).__name__
        parts = ["cfgso." + (handle.interface or type(self).__name__)]
        try:
            spec = handle.query("KroISpecObject")
            if spec is not None:
                parts.append(_cfgso.call(spec, _method_id("KroISpecObject", "GetLateType"), ()))
            name = _name_of(self, spec)
            if name:
                parts.append(repr(name))
        except _errors.Error:
            pass
        return "<%s>" % " ".join(parts)


_OBJECT_API = ("interface", "query")


def _name_of(obj, spec):
    getter = type(obj)._methods.get("getName")
    if getter is not None and not _signatures.inputs(getter._info):
        return getter(obj)
    if spec is not None:
        return _cfgso.call(spec, _method_id("KroISpecObject", "GetName"), ())
    return None


@functools.lru_cache(maxsize=None)
def _method_id(interface: str, method: str) -> int:
    for m in _cfgso.describe(interface)["methods"]:
        if m["name"] == method:
            return m["dispid"]
    raise LookupError("%s.%s" % (interface, method))


def _bind(method: str, names: tuple[str, ...], args: tuple, kwargs: dict[str, Any]) -> tuple:
    """The inputs of a call with keywords, in parameter order. A gap is the native module's MISSING,
    which dispatch then reports as a wrong count, as it does for an argument left out at the end."""
    inputs = list(args) + [_cfgso.MISSING] * (len(names) - len(args))
    for key, value in kwargs.items():
        if key not in names:
            raise TypeError("%s() got an unexpected keyword argument %r" % (method, key))
        position = names.index(key)
        if position < len(args):
            raise TypeError("%s() got multiple values for argument %r" % (method, key))
        inputs[position] = value
    return tuple(inputs)


def _make_method(info: dict[str, Any]):
    call = _cfgso.call
    dispid = info["dispid"]
    names = tuple(_signatures.param_name(p["name"]) for p in _signatures.inputs(info))
    name = info["name"]

    if names:
        def method(self, *args, **kwargs):
            return call(self._handle, dispid, _bind(name, names, args, kwargs) if kwargs else args)
    else:
        def method(self, *args):
            return call(self._handle, dispid, args)

    method.__name__ = method.__qualname__ = name
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
            methods[m["name"]] = _make_method(m)
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


def wrap(handle: Any) -> Optional[Object]:
    return None if handle is None else class_named(handle.interface)(handle)


@functools.lru_cache(maxsize=None)
def interface_names() -> tuple[str, ...]:
    """Every interface that scripts can call, by name, sorted."""
    return tuple(_cfgso.interfaces())
