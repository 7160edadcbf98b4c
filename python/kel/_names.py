"""The keywords of kel's enumerations, as the tools spell them, and the
data types of numpy that kel's data types are."""

import numpy as np

# The first name of a value is the one kel reports; the others are accepted.
DTYPES = {"bool": 1, "uint8": 2, "int8": 4, "uint16": 8, "int16": 16, "uint32": 32, "int32": 64,
          "float32": 128, "float64": 256}
ORDERS = {"interleaved": 1, "sequential": 2, "separate": 4, "planar": 4}
ORIENTATIONS = {"upper-left": 1, "upper-right": 2, "lower-right": 3, "lower-left": 4, "left-upper": 5,
                "right-upper": 6, "right-lower": 7, "left-lower": 8}
COLOR_MODELS = {"negative": 1, "luminance": 2, "rgb": 3, "palette": 4, "rgba": 5, "hsv": 6, "cmy": 7,
                "cmyk": 8, "bgr": 9, "abgr": 10, "multispectral": 11, "ycc": 12, "luminance-alpha": 13,
                "gray": 2, "grey": 2, "la": 13}
COMPRESSIONS = {"none": 1, "ornrle": 2, "ccittfax3": 3, "ccittfax4": 4, "lzw": 5, "jpeg": 6, "packbits": 7,
                "zip": 8, "deflate": 8, "zstd": 9, "lzma": 10, "webp": 11, "webp-lossless": 12}

# Arrays of these types are narrowed to a kel type when their values fit.
NARROWED = {np.dtype(np.int64): np.int32, np.dtype(np.uint64): np.uint32, np.dtype(np.float16): np.float32}


def name_of(table: dict, value: int) -> str:
    """The reported name of a value; "unknown" for one the table lacks."""
    return next((name for name, v in table.items() if v == value), "unknown")


def code_of(table: dict, argument: str, name) -> int:
    """The value of a keyword (0 for None); ValueError naming the argument."""
    if name is None:
        return 0
    value = table.get(str(name).lower())
    if value is None:
        raise ValueError(f"{argument}: unknown value {name!r}; one of {', '.join(table)}")
    return value


def kel_dtype(argument: str, dtype) -> int:
    """kel's type of a numpy type (anything np.dtype takes)."""
    try:
        name = np.dtype(dtype).name
    except TypeError as exc:
        raise ValueError(f"{argument}: {dtype!r} is no data type") from exc
    if name not in DTYPES:
        raise ValueError(f"{argument}: kel has no {name} data type; one of {', '.join(DTYPES)}")
    return DTYPES[name]


def numpy_dtype(code: int) -> np.dtype:
    return np.dtype(name_of(DTYPES, code))
