"""Configuration data as spec objects, for scripts.

Every object is a live component of the library, held through one of its interfaces; each interface is
a class of this module (``cfgso.KroICfgSOContext``, ``cfgso.KroICfgManager``, ...) whose methods come
from the interface's type information. A method's inputs are its arguments (by position or by the
parameter names of ``help()``); what it gives back is its return value: one value as the value,
several as a tuple. Strings are str, uuids 16 bytes (``bytes``, ``bytearray`` or ``uuid.UUID`` in),
times timezone-aware datetimes in UTC between 1901-12-13 and 2038-01-19 in whole seconds (a naive one
is taken as UTC), booleans bool, interfaces objects of this module (None for a null one).

    import cfgso
    ctx = cfgso.factory.createContext()
    ctx.setName("A")
    ctx.getName()            # 'A'

A failing result raises ``cfgso.Error``: wrong argument types raise ``cfgso.ArgumentTypeError`` (also
a TypeError), values out of range ``cfgso.ArgumentValueError`` (also a ValueError). An unknown method
raises AttributeError.

The library is single-threaded: every call holds the GIL, so that calls from several Python threads
take turns and never run in the library at once.
"""

from __future__ import annotations

import datetime as _datetime
import enum as _enum
import inspect as _inspect
import keyword as _keyword
import os

from . import _cfgso

__all__ = ["Error", "ArgumentTypeError", "ArgumentValueError", "FileError", "FormatError", "Object",
           "IntervalKind", "Sign", "SetMode", "Document", "factory", "documents", "container", "manager",
           "open", "save", "attributes", "attribute_kinds", "set_attribute", "live_objects", "interfaces",
           "Match", "effective", "record_holds", "connect"]

# The shipped catalog sits beside this file; a KroGraphicPath of the caller's own wins.
os.environ.setdefault("KroGraphicPath", os.path.dirname(os.path.abspath(__file__)))

UTC = _datetime.timezone.utc
_EPOCH = _datetime.datetime(1970, 1, 1, tzinfo=UTC)
# The times the store holds: whole seconds in a signed 32-bit count from 1970.
FIRST_TIME = _EPOCH + _datetime.timedelta(seconds=_cfgso.FIRST_TIME)
LAST_TIME = _EPOCH + _datetime.timedelta(seconds=_cfgso.LAST_TIME)


# ---- constants ----------------------------------------------------------------------------------------

class IntervalKind(_enum.IntEnum):
    """What ``getType()`` of an interval or a milestone value gives."""
    NONE = 0  # an interval that stands for an absent one (normal values)
    DATE = 1
    RANGE = 2


class Sign(_enum.IntEnum):
    """The sign of a term of an AND-expression (``setSign``, ``addSpecification``)."""
    NEGATIVE = -1  # NOT the specification
    POSITIVE = 1


class SetMode(_enum.IntEnum):
    """How ``KroICfgXEff.setEffectivity`` takes the effectivity's basic effectivities."""
    ADD = 0
    REPLACE = 1


# ---- errors -------------------------------------------------------------------------------------------

class Error(Exception):
    """A failing call: .hresult is the result code, .name its name (for example "E_FAIL"), .method the
    method's name, .argument the one-based position of the argument at fault (or None), .description
    the failing call's own text."""

    def __init__(self, hresult, method, argument=None, description=""):
        self.hresult = hresult
        self.name = _cfgso.result_name(hresult)
        self.method = method
        self.argument = argument
        self.description = description
        text = "%s failed: %s (0x%08X)" % (method, self.name, hresult & 0xFFFFFFFF)
        if argument is not None and not description.startswith("argument "):
            text += ", argument %d" % argument
        if description:
            text += ": " + description
        super().__init__(text)


class ArgumentTypeError(Error, TypeError):
    """An argument of a type the parameter does not take, or a wrong number of arguments."""


class ArgumentValueError(Error, ValueError):
    """An argument of the right type whose value is refused: out of range, a uuid not of 16 bytes,
    a time outside the stored range or with a sub-second part, text that is not valid Unicode."""


class FileError(Error, OSError):
    """A document that cannot be read or written where it was asked."""


class FormatError(Error, ValueError):
    """A document whose text is not a valid document."""


_E_INVALIDARG = -0x7FF8FFA9
_DISP_E_TYPEMISMATCH = -0x7FFDFFFB
_BY_RESULT = {
    "DISP_E_TYPEMISMATCH": ArgumentTypeError,
    "DISP_E_BADPARAMCOUNT": ArgumentTypeError,
    "E_INVALIDARG": ArgumentValueError,
    "DISP_E_BADINDEX": ArgumentValueError,
    "KRO_E_FILE_NOT_FOUND": FileError,
    "KRO_E_BAD_FORMAT": FormatError,
}


def _error(kind, method, hresult, argument, text):
    """Makes the exception that the native layer raises."""
    if kind == "type":
        return ArgumentTypeError(_DISP_E_TYPEMISMATCH, method, argument, text)
    if kind == "value":
        return ArgumentValueError(_E_INVALIDARG, method, argument, text)
    return _BY_RESULT.get(_cfgso.result_name(hresult), Error)(hresult, method, argument, text)


# ---- objects ------------------------------------------------------------------------------------------

class Object:
    """A component held through one of its interfaces. It keeps one reference for as long as it lives.
    Two objects are equal, and hash alike, when they are the same component, whatever interfaces they
    are held through."""

    __slots__ = ("_handle", "__weakref__")
    _methods = {}
    _interface = ""

    def __init__(self, handle):
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
        return _wrap(self._handle.query(interface))

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
                parts.append(_cfgso.call(spec, _SPEC_LATE_TYPE, ()))
            name = _name_of(self, spec)
            if name:
                parts.append(repr(name))
        except Error:
            pass
        return "<%s>" % " ".join(parts)


_OBJECT_API = ("interface", "query")


def _name_of(obj, spec):
    getter = type(obj)._methods.get("getName")
    if getter is not None and not [p for p in getter._info["params"] if not p["out"]]:
        return getter(obj)
    if spec is not None:
        return _cfgso.call(spec, _SPEC_NAME, ())
    return None


# Python's view of the C++ types of the type information, for signatures, docstrings and the stub.
_PY_TYPES = {
    "KroUnicodeString": "str", "int": "int", "long": "int", "boolean": "bool", "double": "float",
    "SEQUENCE_octet": "bytes", "KroCfgUuid": "bytes", "KroTime": "datetime.datetime", "KroVariant": "Any",
    "void": "None", "HRESULT": "None",
}


def _py_type(type_name, optional=True):
    if type_name.startswith("KroList<") and type_name.endswith(">"):
        return "list[%s]" % _py_type(type_name[8:-1], optional=False)
    if type_name in _PY_TYPES:
        return _PY_TYPES[type_name]
    return ("Optional[%s]" if optional else "%s") % type_name  # an interface: null is None


def _input_type(param):
    if param["name"].startswith("uuid") and param["type"] == "SEQUENCE_octet":
        return "Union[bytes, bytearray, uuid.UUID]"
    if param["name"].startswith("uuid") and param["type"] == "KroList<SEQUENCE_octet>":
        return "Iterable[Union[bytes, bytearray, uuid.UUID]]"
    if param["type"] == "KroTime":
        return "datetime.datetime"
    return _py_type(param["type"])


def _returns(info):
    """What a call gives back, as a type: the result where it is a value or an answer, then the
    outputs; None, one type, or a tuple."""
    values = []
    if info["result_kind"] == "BOOL":
        values.append("bool")
    elif not info["returns_result"] and info["result"] != "void":
        values.append(_py_type(info["result"]))
    values.extend(_py_type(p["type"]) for p in info["params"] if p["out"])
    if not values:
        return "None"
    return values[0] if len(values) == 1 else "tuple[%s]" % ", ".join(values)


def _param_name(name):
    return name + "_" if _keyword.iskeyword(name) or name == "self" else name


def _python_signature(info):
    inputs = ", ".join("%s: %s" % (_param_name(p["name"]), _input_type(p)) for p in info["params"] if not p["out"])
    return "%s(%s) -> %s" % (info["name"], inputs, _returns(info))


def _method_doc(info):
    doc = _python_signature(info)
    if info["doc"]:
        doc += "\n\n" + info["doc"]
    return doc + "\n\nC++: " + info["signature"]


# An argument left out: dispatch then reports the count (DISP_E_BADPARAMCOUNT), as for one too many.
_MISSING = object()


def _make_method(info):
    inputs = [p for p in info["params"] if not p["out"]]
    names = [_param_name(p["name"]) for p in inputs]
    if names:
        source = "def %s(self, %s, *more):\n    return _call(self._handle, %d, (%s,) + more)\n" % (
            info["name"], ", ".join(n + "=_MISSING" for n in names), info["dispid"], ", ".join(names))
    else:
        source = "def %s(self, *more):\n    return _call(self._handle, %d, more)\n" % (info["name"], info["dispid"])
    namespace = {"_call": _cfgso.call, "_MISSING": _MISSING}
    exec(source, namespace)
    method = namespace[info["name"]]
    method.__doc__ = _method_doc(info)
    method.__qualname__ = info["name"]
    method.__signature__ = _inspect.Signature(
        [_inspect.Parameter("self", _inspect.Parameter.POSITIONAL_OR_KEYWORD)] +
        [_inspect.Parameter(n, _inspect.Parameter.POSITIONAL_OR_KEYWORD, annotation=_input_type(p))
         for n, p in zip(names, inputs)],
        return_annotation=_returns(info))
    method._info = info
    return method


def _signature_text(function):
    """The signature as the docstrings and the stub write it, without self."""
    signature = _inspect.signature(function)
    params = [p for p in signature.parameters.values() if p.name != "self"]
    return str(signature.replace(parameters=params)).replace("'", "")


def _make_class(info, extra=None):
    name = info["name"]
    methods = {}
    namespace = {"__slots__": (), "_interface": name, "__module__": __name__}
    for m in info["methods"]:
        # A later overload under the same name never wins: dispatch answers the first listed.
        if m["name"] not in methods:
            methods[m["name"]] = namespace[m["name"]] = _make_method(m)
    namespace["_methods"] = methods
    lines = ["The interface %s: %d methods, from its type information." % (name, len(methods))]
    namespace["__doc__"] = "\n".join(lines)
    cls = type(name, (Object,), namespace)
    if extra is not None:
        # What the Python side adds in place of a method keeps the method's help.
        for key, value in vars(extra).items():
            if key in methods and callable(value) and value.__doc__ and "\nC++:" not in value.__doc__:
                # The override's own text first, then what the method list says of the call beneath.
                value.__doc__ = "%s%s\n\n%s\n\nBeneath: %s" % (
                    key, _signature_text(value), value.__doc__, methods[key].__doc__)
        cls = type(name, (extra, cls), {"__slots__": (), "_interface": name, "__module__": __name__,
                                        "__doc__": (extra.__doc__ or "") + "\n\n" + namespace["__doc__"]})
    return cls


_classes = {}


def _class_named(name):
    cls = _classes.get(name)
    if cls is None:
        info = _cfgso.describe(name) if name else None
        cls = _classes[name] = _make_class(info, _EXTRAS.get(name)) if info else Object
    return cls


def _wrap(handle):
    return None if handle is None else _class_named(handle.interface)(handle)


_cfgso.setup(_wrap, _error, _MISSING)


def _method_id(interface, method):
    for m in _cfgso.describe(interface)["methods"]:
        if m["name"] == method:
            return m["dispid"]
    raise LookupError("%s.%s" % (interface, method))


_SPEC_LATE_TYPE = _method_id("KroISpecObject", "GetLateType")
_SPEC_NAME = _method_id("KroISpecObject", "GetName")


# ---- what some interfaces add: Python protocols and conventions --------------------------------------

_BULK = 8192


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
        return self.ElementAt(self._position(index.__index__()))

    def __setitem__(self, index: int, uuid: Union[bytes, bytearray, uuid.UUID]) -> None:
        self.SetElementAt(self._position(index.__index__()), uuid)

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
        kind = super().getType()
        return IntervalKind(kind) if kind in IntervalKind._value2member_map_ else kind

    def getDateBounds(self) -> tuple[datetime.datetime, Optional[datetime.datetime]]:
        """Date intervals only (E_FAIL otherwise): start and end, the end None when infinite."""
        start, end = super().getDateBounds()
        return start, (None if end == _EPOCH else end)

    def getRangeBounds(self) -> tuple[int, Optional[int]]:
        """Range intervals only (E_FAIL otherwise): start and end, the end None when infinite."""
        start, end = super().getRangeBounds()
        return start, (None if end < 0 else end)


class _Value:
    """A milestone's value: ``getType()`` gives an IntervalKind."""

    __slots__ = ()

    def getType(self) -> Union[IntervalKind, int]:
        """The value's kind."""
        kind = super().getType()
        return IntervalKind(kind) if kind in IntervalKind._value2member_map_ else kind


class _SignedSpec:
    """A term of an AND-expression: ``getSign()`` gives a Sign where the sign is one."""

    __slots__ = ()

    def getSign(self) -> Union[Sign, int]:
        """The sign; any integer is kept."""
        sign = super().getSign()
        return Sign(sign) if sign in Sign._value2member_map_ else sign


class _SpecExpressionRecord:
    """An AND-expression record. A term without a specification is refused here: the record would take
    it and only fail when read back."""

    __slots__ = ()

    def setSpecExpression(self, expression, *more):
        """Replaces the record by the expression; a term without a specification raises
        ArgumentValueError and leaves the record as it was."""
        if isinstance(expression, Object):
            terms = expression.query("KroICfgSpecANDExpression")
            for position, term in enumerate(terms.getSignedSpecs() if terms is not None else [], start=1):
                if term is not None and term.getSpecification() is None:
                    raise ArgumentValueError(_E_INVALIDARG, "setSpecExpression", 1,
                                             "term %d has no specification" % position)
        return super().setSpecExpression(expression, *more)


class _Manager:
    """The configuration manager. An end of None makes an infinite interval."""

    __slots__ = ()

    def createDateInterval(self, start: datetime.datetime, end: Optional[datetime.datetime]) -> KroICfgInterval:
        """A date interval; an end of None makes it infinite."""
        if end is None:
            return self.createInfiniteDateInterval(start)
        return super().createDateInterval(start, end)

    def createRangeInterval(self, start: int, end: Optional[int]) -> KroICfgInterval:
        """A range interval; an end of None (or a negative one, conventionally -1) makes it infinite."""
        return super().createRangeInterval(start, -1 if end is None else end)


_EXTRAS = {
    "KroICfgSOUuidList": _UuidList,
    "KroIContainer": _Container,
    "KroICfgSOIntervalDate": _IntervalDate,
    "KroICfgSOIntervalRange": _IntervalRange,
    "KroICfgInterval": _Interval,
    "KroICfgValue": _Value,
    "KroICfgSignedSpec": _SignedSpec,
    "KroICfgSOSpecExpression": _SpecExpressionRecord,
    "KroICfgManager": _Manager,
}

# Every interface is a class of the module: cfgso.KroICfgSOContext and the like.
for _name in _cfgso.interfaces():
    globals()[_name] = _class_named(_name)
    __all__.append(_name)
del _name


# ---- attributes by name -------------------------------------------------------------------------------

# Attributes stored as whole seconds since 1970 that scripts see as times.
_TIME_ATTRIBUTES = {("CfgSODate", "S")}


def _access(obj):
    access = obj.query("KroISpecAttrAccess") if isinstance(obj, Object) else None
    if access is None:
        raise ArgumentTypeError(_DISP_E_TYPEMISMATCH, "attributes", 1, "not a spec object: %r" % (obj,))
    return access


def attributes(obj: Object) -> dict[str, Any]:
    """A spec object's attributes, in order, as a dict of name to value: str, int, float, bool, bytes
    (octets), datetime (a date's seconds), spec objects (as KroISpecObject objects), lists as lists;
    None for an attribute without a value."""
    access = _access(obj)
    late_type = access.query("KroISpecObject").GetLateType()
    names, _ = access.DescribeAttributes()
    values = {}
    for name in names:
        value = access.GetAttributeValue(name)
        if (late_type, name) in _TIME_ATTRIBUTES and isinstance(value, int):
            value = _EPOCH + _datetime.timedelta(seconds=value)
        values[name] = value
    return values


def attribute_kinds(obj: Object) -> dict[str, str]:
    """A spec object's attribute kinds, in order, as the document format writes them ("integer",
    "list specobject", "octets", ...)."""
    names, kinds = _access(obj).DescribeAttributes()
    return dict(zip(names, kinds))


def set_attribute(obj: Object, name: str, value: Any) -> None:
    """Sets a spec object's attribute by name; None unsets it, a list replaces a list attribute whole.
    ArgumentValueError when there is no such attribute, ArgumentTypeError when the value does not suit
    its kind."""
    access = _access(obj)
    if isinstance(value, _datetime.datetime):
        late_type = access.query("KroISpecObject").GetLateType()
        if (late_type, name) in _TIME_ATTRIBUTES:
            value = _seconds(value)
    access.SetAttributeValue(name, value)


def _seconds(moment):
    if moment.tzinfo is None:
        moment = moment.replace(tzinfo=UTC)
    if moment.microsecond:
        raise ArgumentValueError(_E_INVALIDARG, "set_attribute", 3, "times are stored in whole seconds")
    return (moment - _EPOCH) // _datetime.timedelta(seconds=1)


# ---- module functions ---------------------------------------------------------------------------------

def connect(address: str) -> None:
    """Backs the configuration manager by cfgso-server at address (the corbaloc: line it prints): the
    specifications, subscribers, group modifications, modifications and filters it makes are stored
    there, and records bind to them in any process connected to the same server. Call it before the
    first call that reaches the manager; setting KRO_CONFIG_SERVER to the address before the first
    call does the same. Raises cfgso.Error, naming the address, when no server answers there."""
    _cfgso.connect(address)


def manager() -> KroICfgManager:
    """The configuration manager, whose create operations make the model objects that some methods take."""
    return _wrap(_cfgso.manager())


def container() -> KroIContainer:
    """The library's shared container, through the dispatch container."""
    spec_object = factory.instanciateSpecObject("CfgDispatchContainer", "QuorIDispatchContainer")
    return spec_object.query("QuorIDispatchContainer").GetContainer("")


def live_objects() -> int:
    """Components alive in the process."""
    return _cfgso.live_objects()


def interfaces() -> list[str]:
    """The names of every interface that scripts can call."""
    return list(_cfgso.interfaces())


# Failures of argument conversion never reach the document services, whose text would then be stale.
_MARSHALLING = {"DISP_E_TYPEMISMATCH", "DISP_E_BADPARAMCOUNT"}


def _document_call(what, method, *args):
    try:
        return method(*args)
    except Error as error:
        text = error.description
        if error.name not in _MARSHALLING and not isinstance(error, ArgumentValueError):
            text = documents.LastError() or text
        raise type(error)(error.hresult, what, error.argument, text) from None


class Document:
    """An opened document: .container and .roots (the objects it was saved with, in file order). It
    unpacks as ``container, roots = cfgso.open(path)``; in a ``with`` block it lets go of both at the
    end. Objects the script still holds stay valid, with their values."""

    __slots__ = ("container", "roots", "path")

    def __init__(self, container, roots, path):
        self.container = container
        self.roots = roots
        self.path = path

    def __iter__(self):
        return iter((self.container, self.roots))

    def __len__(self):
        return 2

    def __getitem__(self, index):
        return (self.container, self.roots)[index]

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self) -> None:
        """Lets go of the container and the roots."""
        self.container = None
        self.roots = []

    def __repr__(self):
        return "<cfgso.Document %r, %d roots>" % (self.path, len(self.roots) if self.roots else 0)


def open(path: Union[str, os.PathLike]) -> Document:
    """Reads a saved document. Gives a Document: (container, roots) that unpacks as a pair, usable in a
    ``with`` block. The roots are the objects it was saved with (every object, in file order, for a
    document saved from a whole container). A failure raises Error (FileError for a missing file,
    FormatError for a damaged one), whose text names the file."""
    path = os.fspath(path)
    container, roots = _document_call("open", documents.Open, path)
    return Document(container, roots, path)


def save(what: Union[Object, Document, Iterable[Object]], path: Union[str, os.PathLike]) -> None:
    """Writes a document: what is a container, a spec object, or a list of spec objects (the roots),
    written with every spec object they reach. Saving is atomic: when it fails, the previous file
    stays as it was and Error is raised."""
    if isinstance(what, Document):
        what = what.container
    if isinstance(what, Object) and what.query("KroIContainer") is not None:
        _document_call("save", documents.SaveContainer, what, os.fspath(path))
    else:
        roots = [what] if isinstance(what, Object) else list(what)
        _document_call("save", documents.Save, roots, os.fspath(path))


factory = _wrap(_cfgso.static_dispatch("KroCfgSOFactory"))
documents = _wrap(_cfgso.static_dispatch("KroDocumentScripting"))
from ._effective import Match, effective, record_holds  # noqa: E402,F401  (effectivity queries)
