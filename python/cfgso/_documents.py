"""Documents: cfgso.open and cfgso.save over the document services' scripting class."""

from __future__ import annotations

import errno
import os
from typing import Any, Iterable, Iterator, Optional, Union

from . import _errors, _library
from ._classes import Object

# Failures of argument conversion never reach the document services, whose text would then be stale.
_MARSHALLING = {_errors.RESULTS["DISP_E_TYPEMISMATCH"], _errors.RESULTS["DISP_E_BADPARAMCOUNT"]}


def _services() -> Any:
    return _library.statics("KroDocumentScripting")


def _document_call(what: str, path: str, method: str, *args: Any) -> Any:
    services = _services()
    try:
        return getattr(services, method)(*args)
    except _errors.Error as error:
        text = error.description
        if error.hresult not in _MARSHALLING and not isinstance(error, _errors.ArgumentValueError):
            text = services.LastError() or text
        raised = error.renamed(what, text)
        if isinstance(raised, _errors.FileError):
            raised.filename = path
            raised.errno = _errno_of(raised, path)
        raise raised from None


def _errno_of(error: _errors.FileError, path: str) -> int:
    """Why a file failed, as errno says it: a file that cannot be read may be missing or refused."""
    if error.hresult == _errors.RESULTS["KRO_E_FILE_NOT_FOUND"] and os.path.exists(path):
        return errno.EACCES
    if error.hresult == _errors.RESULTS["KRO_E_NOT_REGULAR_FILE"] and not os.path.isdir(path):
        return errno.EINVAL
    return error.errno


class Document:
    """An opened document: .container and .roots (the objects it was saved with, in file order). It
    unpacks as ``container, roots = cfgso.open(path)``; in a ``with`` block it lets go of both at the
    end. Objects the script still holds stay valid, with their values."""

    __module__ = "cfgso"
    __slots__ = ("container", "roots", "path")

    def __init__(self, container: Optional[Object], roots: list[Object], path: str) -> None:
        self.container = container
        self.roots = roots
        self.path = path

    def __iter__(self) -> Iterator[Any]:
        return iter((self.container, self.roots))

    def __len__(self) -> int:
        return 2

    def __getitem__(self, index: int) -> Any:
        return (self.container, self.roots)[index]

    def __enter__(self) -> Document:
        return self

    def __exit__(self, *exc: Any) -> bool:
        self.close()
        return False

    def close(self) -> None:
        """Lets go of the container and the roots."""
        self.container = None
        self.roots = []

    def __repr__(self) -> str:
        return "<cfgso.Document %r, %d roots>" % (self.path, len(self.roots) if self.roots else 0)


def open(path: Union[str, os.PathLike[str]]) -> Document:
    """Reads a saved document. Gives a Document: (container, roots) that unpacks as a pair, usable in a
    ``with`` block. The roots are the objects it was saved with (every object, in file order, for a
    document saved from a whole container). A failure raises Error (FileError for a missing file,
    FormatError for a damaged one), whose text names the file."""
    path = os.fspath(path)
    container, roots = _document_call("open", path, "Open", path)
    return Document(container, roots, path)


def save(what: Union[Object, Document, Iterable[Object]], path: Union[str, os.PathLike[str]]) -> None:
    """Writes a document: what is a container, a spec object, or a list of spec objects (the roots),
    written with every spec object they reach. Saving is atomic: when it fails, the previous file
    stays as it was and Error is raised."""
    if isinstance(what, Document):
        what = what.container
    if isinstance(what, Object) and what.query("KroIContainer") is not None:
        _document_call("save", os.fspath(path), "SaveContainer", what, os.fspath(path))
    else:
        roots = [what] if isinstance(what, Object) else list(what)
        _document_call("save", os.fspath(path), "Save", roots, os.fspath(path))
