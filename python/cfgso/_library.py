"""The library as the package reaches it. Importing cfgso makes nothing and sets nothing: the first
call that needs the library (cfgso.factory, cfgso.manager(), a document, a query) points the catalog
search at the shipped catalog unless the caller chose one, and hands the native module the two
functions it calls back (the class of an interface, make an exception). Until then no object exists that could
fail."""

from __future__ import annotations

import os
import sys
from typing import Any

from . import _cfgso, _classes, _errors

_started = False


def start() -> None:
    global _started
    if not _started:
        # The shipped catalog sits beside this file; a KroGraphicPath of the caller's own wins. The
        # library reads it when it first opens the catalog.
        os.environ.setdefault("KroGraphicPath", os.path.dirname(os.path.abspath(__file__)))
        _cfgso.setup(_classes.class_named, _errors.make_error)
        _started = True


_statics: dict[str, Any] = {}


def statics(class_name: str) -> Any:
    """The dispatch component of a class of static operations ("KroCfgSOFactory", ...), made once."""
    made = _statics.get(class_name)
    if made is None:
        start()
        made = _statics[class_name] = _cfgso.static_dispatch(class_name)
    return made


def connect(address: str) -> None:
    """Backs the configuration manager by cfgso-server at address (the corbaloc: line it prints): the
    specifications, subscribers, group modifications, modifications and filters it makes are stored
    there, and records bind to them in any process connected to the same server. Call it before the
    first call that reaches the manager; setting KRO_CONFIG_SERVER to the address before the first
    call does the same. Raises cfgso.Error, naming the address, when no server answers there."""
    start()
    _cfgso.connect(address)


def manager() -> KroICfgManager:
    """The configuration manager, whose create operations make the model objects that some methods take."""
    start()
    return _cfgso.manager()  # type: ignore[no-any-return]


def container() -> KroIContainer:
    """The library's shared container, through the dispatch container."""
    spec_object = statics("KroCfgSOFactory").instanciateSpecObject("CfgDispatchContainer", "QuorIDispatchContainer")
    return spec_object.query("QuorIDispatchContainer").GetContainer("")


def live_objects() -> int:
    """Components alive in the process."""
    return _cfgso.live_objects()


def interfaces() -> list[str]:
    """The names of every interface that scripts can call."""
    return list(_classes.interface_names())


# The package's attributes made on first use: the two classes of statics, and a class per interface.
_STATICS = {"factory": "KroCfgSOFactory", "documents": "KroDocumentScripting"}


def package_getattr(name: str) -> Any:
    if name in _STATICS:
        value = statics(_STATICS[name])
    elif name in _classes.interface_names():
        value = _classes.class_named(name)
    else:
        raise AttributeError("module %r has no attribute %r" % (__package__, name))
    # Kept in the package, so that later lookups find it at once.
    setattr(sys.modules[__package__], name, value)
    return value


def package_dir() -> list[str]:
    return sorted(set(vars(sys.modules[__package__])) | set(_STATICS) | set(_classes.interface_names()))
