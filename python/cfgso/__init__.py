"""Configuration data as spec objects, for scripts.

Everything goes through the objects' dispatch methods: a method is called by name, its inputs are
the arguments and its outputs come back as the return value (one as the value, several as a tuple).
Strings are str, uuids bytes, times timezone-aware datetimes in UTC (a naive one is taken as UTC),
booleans bool, interfaces objects of this module (None for a null one).

    import cfgso
    ctx = cfgso.factory.createContext()
    ctx.setName("A")
    ctx.getName()            # 'A'

A failing result code raises cfgso.Error; an unknown method raises AttributeError.
"""

import inspect
import os

from . import _cfgso

__all__ = ["Error", "Object", "factory", "documents", "container", "manager", "open", "save", "live_objects",
           "interfaces"]

# The shipped catalog sits beside this file; a KroGraphicPath of the caller's own wins.
os.environ.setdefault("KroGraphicPath", os.path.dirname(os.path.abspath(__file__)))


class Error(Exception):
    """A failing result code: .hresult is its value, .name its name (for example "E_FAIL").
    For DISP_E_TYPEMISMATCH, .argument is the one-based position of the argument that did not convert."""

    def __init__(self, hresult, method, argument=None, description=""):
        self.hresult = hresult
        self.name = _cfgso.result_name(hresult)
        self.method = method
        self.argument = argument
        text = "%s failed: %s (0x%08X)" % (method, self.name, hresult & 0xFFFFFFFF)
        if argument is not None:
            text += ", argument %d" % argument
        if description:
            text += ": " + description
        super().__init__(text)


class Object:
    """A component held through one of its interfaces. It keeps one reference for as long as it lives."""

    __slots__ = ("_handle",)
    _methods = {}

    def __init__(self, handle):
        self._handle = handle

    @property
    def interface(self):
        """The name of the interface this object is held through."""
        return self._handle.interface or type(self).__name__

    def query(self, interface):
        """The same object through another interface (a name such as "KroISpecObject"), or None."""
        return _wrap(self._handle.query(interface))

    def __getattr__(self, name):
        raise AttributeError("%s has no method %r" % (self.interface, name))

    def __dir__(self):
        return sorted(set(type(self)._methods) | {"interface", "query"})

    def __eq__(self, other):
        return isinstance(other, Object) and self._handle.same_object(other._handle)

    def __hash__(self):
        return 0  # equal objects may be held through different interfaces

    def __repr__(self):
        return "<cfgso.%s>" % self.interface


def _call(handle, method, args):
    hr, result, outputs, position, description = handle.invoke(method["dispid"], list(args))
    if hr < 0:
        raise Error(hr, method["name"], position + 1 if position >= 0 else None, description)
    values = []
    if method["result"] not in ("void", "HRESULT") or method["result_kind"] == "BOOL":
        values.append(_wrap_value(result))
    values.extend(_wrap_value(v) for v in outputs)
    if not values:
        return None
    return values[0] if len(values) == 1 else tuple(values)


def _make_method(method):
    def call(self, *args):
        return _call(self._handle, method, args)

    inputs = [p for p in method["params"] if not p["out"]]
    call.__name__ = method["name"]
    call.__qualname__ = method["name"]
    call.__doc__ = method["signature"]
    call.__signature__ = inspect.Signature(
        [inspect.Parameter("self", inspect.Parameter.POSITIONAL_ONLY)]
        + [inspect.Parameter(p["name"], inspect.Parameter.POSITIONAL_ONLY, annotation=p["type"]) for p in inputs]
    )
    return call


_classes = {}


def _class_for(handle):
    name = handle.interface
    if name in _classes:
        return _classes[name]
    info = handle.type_info()
    name = info["name"] if info else ""
    if name not in _classes:
        if not info:
            _classes[name] = Object
        else:
            namespace = {"__slots__": (), "__doc__": "Methods of %s, from its type information." % name}
            methods = {}
            for method in info["methods"]:
                methods[method["name"]] = namespace[method["name"]] = _make_method(method)
            namespace["_methods"] = methods
            _classes[name] = type(name, (Object,), namespace)
    return _classes[name]


def _wrap(handle):
    return None if handle is None else _class_for(handle)(handle)


def _wrap_value(value):
    if isinstance(value, _cfgso.Handle):
        return _wrap(value)
    if isinstance(value, list):
        return [_wrap_value(v) for v in value]
    return value


def manager():
    """The configuration manager, whose create operations make the model objects that some methods take."""
    return _wrap(_cfgso.manager())


def container():
    """The library's shared container, through the dispatch container."""
    spec_object = factory.instanciateSpecObject("CfgDispatchContainer", "QuorIDispatchContainer")
    return spec_object.query("QuorIDispatchContainer").GetContainer("")


def live_objects():
    """Components alive in the process."""
    return _cfgso.live_objects()


def interfaces():
    """The names of every interface that scripts can call."""
    return list(_cfgso.interfaces())


def _document_call(what, method, *args):
    try:
        return method(*args)
    except Error as error:
        raise Error(error.hresult, what, None, documents.LastError()) from None


def open(path):
    """Reads a saved document. Gives (container, roots): the document's container and the objects it was
    saved with (every object, in file order, for a document saved from a whole container). They stay
    valid while the script holds them. A failure raises Error, whose text names the file."""
    return _document_call("open", documents.Open, os.fspath(path))


def save(what, path):
    """Writes a document: what is a container, a spec object, or a list of spec objects (the roots),
    written with every spec object they reach. Saving is atomic: when it fails, the previous file
    stays as it was and Error is raised."""
    if isinstance(what, Object) and what.query("KroIContainer") is not None:
        _document_call("save", documents.SaveContainer, what, os.fspath(path))
    else:
        roots = [what] if isinstance(what, Object) else list(what)
        _document_call("save", documents.Save, roots, os.fspath(path))


factory = _wrap(_cfgso.static_dispatch("KroCfgSOFactory"))
documents = _wrap(_cfgso.static_dispatch("KroDocumentScripting"))
from ._effective import Match, effective, record_holds  # noqa: E402,F401  (effectivity queries)
