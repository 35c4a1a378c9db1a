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

Importing the module makes no object and sets nothing; ``factory``, ``documents`` and the interface
classes are made on first use.
"""

from ._attributes import attribute_kinds, attributes, set_attribute
from ._classes import Object
from ._describe import describe
from ._classes import interface_names as _interface_names
from ._documents import Document, open, save
from ._effective import Match, effective, record_holds
from ._errors import ArgumentTypeError, ArgumentValueError, Error, FileError, FormatError
from ._library import connect, container, interfaces, live_objects, manager
from ._library import package_dir as __dir__
from ._library import package_getattr as __getattr__
from ._enums import IntervalKind, SetMode, Sign
from ._refusals import FILTER_MODES
from ._times import FIRST_TIME, LAST_TIME, UTC

# factory and documents (the classes of statics) and every interface's class, cfgso.KroICfgSOContext
# and the like, come from __getattr__ on first use.
__all__ = ["Error", "ArgumentTypeError", "ArgumentValueError", "FileError", "FormatError", "Object",
           "IntervalKind", "Sign", "SetMode", "FILTER_MODES", "Document", "factory", "documents", "container", "manager",
           "open", "save", "attributes", "attribute_kinds", "describe", "set_attribute", "live_objects", "interfaces",
           "Match", "effective", "record_holds", "connect", *_interface_names()]
