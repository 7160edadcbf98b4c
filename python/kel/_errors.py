"""kel's exceptions and warnings, chosen by the status of a failed call."""

import errno as _errno

# Main status numbers (kelStatus.h), by family.
_FORMAT = {6: "bad magic", 7: "bad image format", 21: "premature end of file", 22: "corrupted",
           23: "unsupported by file"}
# A read that failed without a system error failed on the file's contents.
_READ_FAILED = 15
_ARGUMENT = {1: "read-only", 2: "write-only", 3: "bad parameters", 4: "unsupported by library",
             5: "unsupported by format", 8: "bad field set", 9: "bad field get", 11: "image index out of bounds"}
_SYSTEM = {12: "out of memory", 13: "open failed", 14: "close failed", 15: "read failed", 16: "write failed",
           17: "seek failed", 18: "stat failed", 19: "database open failed"}


class Error(Exception):
    """A failed kel call. ``status`` is the library's status word, ``main_status``
    its main status number; the text carries the library's messages."""

    status = 0

    @property
    def main_status(self) -> int:
        return self.status & 0xFFF


class FormatError(Error):
    """The file is not what its format says: bad magic, corrupt or truncated data."""


class FileError(Error, OSError):
    """A system call failed (open, read, write, ...); ``errno`` is set when known."""


class ArgumentError(Error, ValueError):
    """The library refused an argument, or the format cannot do what was asked."""


class KelWarning(UserWarning):
    """A warning the library reported during a call that succeeded."""


def from_status(status: int, text: str) -> Error:
    """The exception of a failed call's status word."""
    main, kind, err = status & 0xFFF, (status >> 12) & 0xF, (status >> 16) & 0xFFFF
    if kind == 1 or (main in _SYSTEM and main != _READ_FAILED):
        exc = FileError(err or _errno.EIO, text)
    elif main in _FORMAT or main == _READ_FAILED:
        exc = FormatError(text)
    elif main in _ARGUMENT:
        exc = ArgumentError(text)
    else:
        exc = Error(text)
    exc.status = status
    return exc
