"""The exceptions of failing calls. Their class follows from the result code, whose names and values
come from the native module."""

from __future__ import annotations

import errno as _errno
from typing import Optional

from . import _cfgso

# Name to code, for the codes the package raises or tells apart.
RESULTS: dict[str, int] = dict(_cfgso.RESULTS)
_NAMES = {code: name for name, code in RESULTS.items()}


def result_name(hresult: int) -> str:
    """The code's name ("E_FAIL", "KRO_E_NOT_AN_EFFECTIVITY"), or its value in hexadecimal."""
    code = hresult & 0xFFFFFFFF
    name: str = _cfgso.result_name(code)
    return _NAMES.get(code, name) if name.startswith("0x") else name


class Error(Exception):
    """A failing call: .hresult is the result code, .name its name (for example "E_FAIL"), .method the
    method's name, .argument the one-based position of the argument at fault (or None), .description
    the failing call's own text."""

    __module__ = "cfgso"

    def __init__(self, hresult: int, method: str, argument: Optional[int] = None, description: str = "") -> None:
        self.hresult = hresult & 0xFFFFFFFF  # the code as documented, whatever the sign it came with
        self.name = result_name(hresult)
        self.method = method
        self.argument = argument
        self.description = description
        text = "%s failed: %s (0x%08X)" % (method, self.name, hresult & 0xFFFFFFFF)
        if argument is not None and not description.startswith("argument "):
            text += ", argument %d" % argument
        if description:
            text += ": " + description
        super().__init__(text)

    def renamed(self, method: str, description: Optional[str] = None) -> Error:
        """The same failure reported under the name of the call the script made."""
        return make_error(method, self.hresult, self.argument,
                          self.description if description is None else description)


class ArgumentTypeError(Error, TypeError):
    """An argument of a type the parameter does not take, or a wrong number of arguments."""

    __module__ = "cfgso"


class ArgumentValueError(Error, ValueError):
    """An argument of the right type whose value is refused: out of range, a uuid not of 16 bytes,
    a time outside the stored range or with a sub-second part, text that is not valid Unicode."""

    __module__ = "cfgso"


class FileError(Error, OSError):
    """A document that cannot be read or written where it was asked: .filename is the path, .errno
    the errno code that says why (ENOENT, EACCES, EISDIR, EFBIG, ENOSPC, EIO)."""

    __module__ = "cfgso"

    def __init__(self, hresult: int, method: str, argument: Optional[int] = None, description: str = "") -> None:
        super().__init__(hresult, method, argument, description)
        self.errno = _FILE_ERRNO.get(self.hresult, _errno.EIO)
        self.filename = None

    def __str__(self) -> str:
        # OSError's own text would drop the message for "[Errno n] None: path".
        return str(self.args[0])


class FormatError(Error, ValueError):
    """A document whose text is not a valid document."""

    __module__ = "cfgso"


_FILE_ERRNO = {
    RESULTS["KRO_E_FILE_NOT_FOUND"]: _errno.ENOENT,
    RESULTS["KRO_E_NOT_REGULAR_FILE"]: _errno.EISDIR,
    RESULTS["KRO_E_FILE_TOO_LARGE"]: _errno.EFBIG,
    RESULTS["KRO_E_DISK_FULL"]: _errno.ENOSPC,
    RESULTS["KRO_E_WRITE_FAULT"]: _errno.EIO,
}

_BY_RESULT = {
    RESULTS["DISP_E_TYPEMISMATCH"]: ArgumentTypeError,
    RESULTS["DISP_E_BADPARAMCOUNT"]: ArgumentTypeError,
    RESULTS["E_INVALIDARG"]: ArgumentValueError,
    RESULTS["DISP_E_BADINDEX"]: ArgumentValueError,
    RESULTS["KRO_E_BAD_FORMAT"]: FormatError,
    **{code: FileError for code in _FILE_ERRNO},
}

# What a script can do about a code, added to the message.
_ADVICE = {
    RESULTS["KRO_E_UUID_NOT_BOUND"]:
        "the live object this record names is not in this process: connect to the configuration server "
        "that holds it (cfgso.connect), or read what the record holds with cfgso.describe(record)",
}


def make_error(method: str, hresult: int, argument: Optional[int] = None, text: str = "") -> Error:
    """The exception for a failing result: the native module raises what this makes."""
    code = hresult & 0xFFFFFFFF
    advice = _ADVICE.get(code)
    if advice and advice not in text:
        text = "%s; %s" % (text, advice) if text else advice
    return _BY_RESULT.get(code, Error)(code, method, argument, text)
