"""The exceptions of failing calls. Their class follows from the result code, whose names and values
come from the native module."""

from __future__ import annotations

from typing import Optional

from . import _cfgso

# Name to code, for the codes the package raises or tells apart.
RESULTS: dict[str, int] = dict(_cfgso.RESULTS)


class Error(Exception):
    """A failing call: .hresult is the result code, .name its name (for example "E_FAIL"), .method the
    method's name, .argument the one-based position of the argument at fault (or None), .description
    the failing call's own text."""

    __module__ = "cfgso"

    def __init__(self, hresult: int, method: str, argument: Optional[int] = None, description: str = "") -> None:
        self.hresult = hresult & 0xFFFFFFFF  # the code as documented, whatever the sign it came with
        self.name = _cfgso.result_name(hresult & 0xFFFFFFFF)
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
        return type(self)(self.hresult, method, self.argument,
                          self.description if description is None else description)


class ArgumentTypeError(Error, TypeError):
    """An argument of a type the parameter does not take, or a wrong number of arguments."""

    __module__ = "cfgso"


class ArgumentValueError(Error, ValueError):
    """An argument of the right type whose value is refused: out of range, a uuid not of 16 bytes,
    a time outside the stored range or with a sub-second part, text that is not valid Unicode."""

    __module__ = "cfgso"


class FileError(Error, OSError):
    """A document that cannot be read or written where it was asked."""

    __module__ = "cfgso"


class FormatError(Error, ValueError):
    """A document whose text is not a valid document."""

    __module__ = "cfgso"


_BY_RESULT = {
    RESULTS["DISP_E_TYPEMISMATCH"]: ArgumentTypeError,
    RESULTS["DISP_E_BADPARAMCOUNT"]: ArgumentTypeError,
    RESULTS["E_INVALIDARG"]: ArgumentValueError,
    RESULTS["DISP_E_BADINDEX"]: ArgumentValueError,
    RESULTS["KRO_E_FILE_NOT_FOUND"]: FileError,
    RESULTS["KRO_E_BAD_FORMAT"]: FormatError,
}


def make_error(method: str, hresult: int, argument: Optional[int] = None, text: str = "") -> Error:
    """The exception for a failing result: the native module raises what this makes."""
    return _BY_RESULT.get(hresult, Error)(hresult, method, argument, text)
