"""kel: image files of every format in kel's database as numpy arrays.

    import kel
    a = kel.imread("photo.jpg")              # H x W x C (H x W for one channel)
    kel.imwrite("out.png", a)                # format from the suffix, or format="PNG"
    for frame in kel.imiter("anim.gif"): ...
    with kel.open("anim.gif") as f: print(f.n_images, f.shape, f.items)

Arrays are seen from the upper-left corner, interleaved (H x W x C) unless
order="separate" (C x H x W). Bit images read as bool. Sources are paths,
bytes or file objects; failures raise kel.Error and its subclasses, and the
library's warnings become warnings of category kel.KelWarning.
"""

import base64
import os

import numpy as np

from . import _kel
from ._errors import ArgumentError, Error, FileError, FormatError, KelWarning
from ._names import (COLOR_MODELS, COMPRESSIONS, NARROWED, ORDERS, ORIENTATIONS, code_of, kel_dtype, name_of,
                     numpy_dtype)

__all__ = ["imread", "imiter", "imwrite", "open", "create", "formats", "File", "Error", "FormatError",
           "FileError", "ArgumentError", "KelWarning"]

_PALETTE = COLOR_MODELS["palette"]


def formats() -> list:
    """The formats of the database: one dict per format with its name,
    description, suffixes, writable (whether it writes files) and loadable
    (whether its plug-in loads)."""
    return _kel.formats()


def imread(source, *, image=0, region=None, channels=None, dtype=None, order="interleaved", format=None):
    """Reads one image of a file into a new array.

    source   a path (str or os.PathLike), bytes, bytearray or a file object with read()
    image    the index of the image in the file (0 is the first)
    region   (x, y, width, height) of the image, seen from its upper-left corner
    channels the file's channels to read, in the array's order, e.g. [2, 1, 0]
    dtype    the array's type (e.g. "float32"); the file's own by default
    order    "interleaved" (H x W x C) or "separate" (C x H x W)
    format   the format's name, when neither the name nor the first bytes tell it
    """
    with open(source, format=format) as f:
        return f.read(image=image, region=region, channels=channels, dtype=dtype, order=order)


def imiter(source, *, region=None, channels=None, dtype=None, order="interleaved", format=None):
    """Yields every image of a file as imread reads it (same keywords)."""
    with open(source, format=format) as f:
        for i in range(f.n_images):
            yield f.read(image=i, region=region, channels=channels, dtype=dtype, order=order)


def imwrite(target, array, *, format=None, order="interleaved", dtype=None, color_model=None,
            compression=None, orientation=None, colormap=None, items=None, icc_profile=None, args=None):
    """Writes an array as a new one-image file.

    target      a path; a file object with write(); or None to get the file's bytes back
    array       H x W or H x W x C (C x H x W with order="separate"), any strides
    format      the format's name; by default the one whose suffix the path has
    dtype, color_model, compression, orientation
                the file's, when not the ones chosen from the array and the format
    colormap    N x channels array: the array holds indices into it (a palette image)
    items       the format's items to set, e.g. {"delay_time": 10}
    icc_profile bytes of an ICC profile
    args        the format's arguments, as after '%' in a file name
    Returns the bytes when target is None.
    """
    pixels = _image_array(array, order)
    shape = pixels.shape[:2]
    channels = pixels.shape[2] if pixels.ndim == 3 else 1
    options = dict(color_model=color_model, colormap=colormap, items=items, icc_profile=icc_profile, format=format,
                   compression=compression, orientation=orientation, args=args)
    with _create(target, shape + (channels,), pixels.dtype, dtype, options) as f:
        f.write(pixels)
    return f.data if target is None else None


def open(source, *, format=None) -> "File":
    """Opens an image file for reading; use it in a with statement."""
    path, fd = _source(source)
    try:
        handle = _kel.File.open(path, fd, format or "")
    except BaseException:
        if fd >= 0:
            os.close(fd)
        raise
    return File(handle, path or "<bytes>")


def create(target, *, shape, dtype="uint8", color_model=None, colormap=None, items=None, icc_profile=None,
           format=None, compression=None, orientation=None, args=None) -> "File":
    """Creates an image file to write with File.write and File.append.

    target      a path, a file object with write() (written at close) or None
                (the bytes are in File.data after close)
    shape       (height, width) or (height, width, channels)
    dtype       the type of the arrays written; the file's is the nearest the format stores
    color_model "palette" with colormap=, "rgb", ...: by default from the channels
    Other keywords as for imwrite.
    """
    options = dict(color_model=color_model, colormap=colormap, items=items, icc_profile=icc_profile, format=format,
                   compression=compression, orientation=orientation, args=args)
    return _create(target, shape, dtype, None, options)


def _create(target, shape, array_dtype, file_dtype, options) -> "File":
    """A new file for arrays of `array_dtype`, and of `file_dtype` if given."""
    height, width, channels = _shape(shape)
    array_code = kel_dtype("dtype", array_dtype)
    colormap, fmt = options["colormap"], options["format"]
    want = {"width": width, "height": height, "channels": channels, "array_dtype": array_code,
            "dtype": kel_dtype("dtype", file_dtype) if file_dtype is not None else 0,
            "color_model": _PALETTE if colormap is not None else
            code_of(COLOR_MODELS, "color_model", options["color_model"]),
            "order": 0, "orientation": code_of(ORIENTATIONS, "orientation", options["orientation"]),
            "compression": code_of(COMPRESSIONS, "compression", options["compression"])}
    path = os.fspath(target) if isinstance(target, (str, os.PathLike)) else ""
    if not path and not fmt:
        raise ValueError("format: writing to bytes or a file object needs format=")
    config = _kel.choose_config(fmt or "", path, want)
    colormap = _palette(config, channels, colormap)
    # The file owns the duplicate once made; the bytes are read back through fd.
    fd = -1 if path else os.memfd_create("kel", os.MFD_CLOEXEC)
    given = os.dup(fd) if fd >= 0 else -1
    try:
        handle = _kel.File.create(path, given, config["format"], config, options["args"] or "")
    except BaseException:
        for d in (fd, given):
            if d >= 0:
                os.close(d)
        raise
    f = File(handle, path or "<bytes>", sink=(target, fd) if fd >= 0 else None)
    try:
        if colormap is not None:
            f.colormap = colormap
        if options["icc_profile"] is not None:
            handle.set_icc_profile(bytes(options["icc_profile"]))
        f.set_items(options["items"] or {})
    except BaseException:
        f.close()
        raise
    return f


def _described(key, shown=None, doc=None):
    """A read-only attribute of File from the current image's description."""
    def get(self):
        value = self._handle.info()[key]
        return shown(value) if shown else value
    return property(get, doc=doc)


class File:
    """An open image file (kel.open) or a new one (kel.create).

    Attributes describe the current image (the last read, written or appended):
    n_images, image, shape, dtype, color_model, orientation, order, compression,
    format, items (the image's items), file_items (items of the whole file),
    colormap (N x channels array or None), icc_profile (bytes or None).
    """

    def __init__(self, handle, name, sink=None):
        self._handle = handle
        self.name = name
        self._sink = sink
        self.data = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __iter__(self):
        for i in range(self.n_images):
            yield self.read(image=i)

    def __repr__(self):
        if self._handle.closed:
            return f"<kel.File {self.name!r} closed>"
        return f"<kel.File {self.name!r} {self.format} {self.n_images} image(s) {self.shape} {self.dtype}>"

    def close(self):
        """Flushes and closes the file; a written file is complete only then."""
        if self._handle.closed:
            return
        try:
            self._handle.close()
        finally:
            if self._sink:
                self._deliver(*self._sink)

    def _deliver(self, target, fd):
        os.lseek(fd, 0, os.SEEK_SET)  # the file's descriptor shared the offset
        with os.fdopen(fd, "rb") as memory:
            self.data = memory.read()
        if target is not None:
            target.write(self.data)

    def _info(self):
        return self._handle.info()

    n_images = _described("n_images", doc="The number of images in the file.")
    image = _described("image", doc="The index of the current image.")
    format = _described("format", doc="The name of the file's format.")
    dtype = _described("dtype", numpy_dtype, "The numpy type that read() returns by default.")
    color_model = _described("color_model", lambda v: name_of(COLOR_MODELS, v))
    orientation = _described("orientation", lambda v: name_of(ORIENTATIONS, v),
                              "How the file stores its rows; arrays are upper-left whatever it is.")
    order = _described("order", lambda v: name_of(ORDERS, v))
    compression = _described("compression", lambda v: name_of(COMPRESSIONS, v))

    @property
    def shape(self) -> tuple:
        """(height, width, channels); (height, width) for one channel."""
        i = self._info()
        return (i["height"], i["width"]) + ((i["channels"],) if i["channels"] != 1 else ())

    @property
    def items(self) -> dict:
        """The current image's items, keyed as kelinfo and kelcp name them."""
        return self._handle.items(False)

    @property
    def file_items(self) -> dict:
        """The items that hold for the whole file."""
        return self._handle.items(True)

    @property
    def settable_items(self) -> tuple:
        """The keys of the format's items that can be set (the others are read-only)."""
        return tuple(key for key, read_only, _ in self._handle.item_keys() if not read_only)

    @property
    def colormap(self):
        return self._handle.colormap()

    @colormap.setter
    def colormap(self, table):
        table = np.asarray(table)
        if table.ndim != 2 or not 1 <= table.shape[0] <= 65536:
            raise ValueError("colormap: an N x channels array of 1 to 65536 rows is needed")
        if table.dtype.kind in "iub":
            table = _narrowed(table, "colormap", np.uint8 if table.max(initial=0) <= 255 else np.uint16)
        self._handle.set_colormap(np.ascontiguousarray(table))

    @property
    def icc_profile(self):
        return self._handle.icc_profile()

    def set_items(self, items: dict):
        """Sets items of the current image (and file-wide ones) by key."""
        for key, value in items.items():
            self._handle.set_item(str(key), _item_text(value))

    def read(self, *, image=None, region=None, channels=None, dtype=None, order="interleaved"):
        """Reads (part of) an image; the keywords are imread's."""
        info = self._info()
        if image is not None and image != info["image"]:
            if not isinstance(image, (int, np.integer)) or not 0 <= image < info["n_images"]:
                raise ValueError(f"image: {image!r} is not an image index below {info['n_images']}")
            self._handle.select(int(image))
            info = self._info()
        x, y, w, h = _region(region, info)
        chans = _channels(channels, info["channels"])
        code = kel_dtype("dtype", dtype) if dtype is not None else info["dtype"]
        separate = _separate(order)
        a = self._handle.read(x, y, w, h, chans, separate, code)
        if len(chans) == 1:
            a = a[0] if separate else a[..., 0]
        return a

    def write(self, array, *, region=None, order="interleaved"):
        """Writes an array into the current image, the whole of it or `region`
        ((x, y, width, height), the array's size); the library converts its
        samples to the file's type."""
        pixels = _image_array(array, order)
        info = self._info()
        h, w = pixels.shape[:2]
        x, y, rw, rh = _region(region if region is not None else (0, 0, w, h), info)
        if (rh, rw) != (h, w):
            raise ValueError(f"array: its {h} x {w} pixels do not fit region {region}")
        nc = pixels.shape[2]
        chans = [c if c < info["channels"] else -1 for c in range(nc)]
        self._handle.write(np.ascontiguousarray(pixels), x, y, w, h, chans, False)

    def append(self, array, *, items=None, colormap=None):
        """Adds an image to a new file and writes the array into it (with
        colormap for a palette image, and the image's items)."""
        pixels = _image_array(array, "interleaved")
        info = self._info()
        config = {"width": pixels.shape[1], "height": pixels.shape[0],
                  "channels": info["channels"] if info["color_model"] != _PALETTE else 1}
        config.update({k: info[k] for k in ("dtype", "order", "color_model", "orientation", "compression")})
        self._handle.append(config)
        if colormap is not None:
            self.colormap = colormap
        self.set_items(items or {})
        self.write(pixels)


def _source(source):
    """(path, descriptor): a path as is, bytes and file objects in memory."""
    if isinstance(source, (str, os.PathLike)):
        return os.fspath(source), -1
    if hasattr(source, "read"):
        source = source.read()
    if not isinstance(source, (bytes, bytearray, memoryview)):
        raise ValueError(f"source: {type(source).__name__} is neither a path, bytes nor a file object")
    fd = os.memfd_create("kel", os.MFD_CLOEXEC)
    with os.fdopen(os.dup(fd), "wb") as memory:
        memory.write(source)
    os.lseek(fd, 0, os.SEEK_SET)
    return "", fd


def _shape(shape):
    shape = tuple(shape)
    if len(shape) not in (2, 3) or not all(isinstance(n, (int, np.integer)) and n > 0 for n in shape):
        raise ValueError(f"shape: {shape!r} is not (height, width) or (height, width, channels)")
    return int(shape[0]), int(shape[1]), int(shape[2]) if len(shape) == 3 else 1


def _separate(order) -> bool:
    code = code_of(ORDERS, "order", order)
    if code not in (ORDERS["interleaved"], ORDERS["separate"]):
        raise ValueError(f"order: {order!r} is neither 'interleaved' nor 'separate'")
    return code == ORDERS["separate"]


def _region(region, info):
    if region is None:
        return 0, 0, info["width"], info["height"]
    try:
        x, y, w, h = (int(v) for v in region)
    except (TypeError, ValueError) as exc:
        raise ValueError(f"region: {region!r} is not (x, y, width, height)") from exc
    if x < 0 or y < 0 or w < 1 or h < 1 or x + w > info["width"] or y + h > info["height"]:
        raise ValueError(f"region: {region!r} is not inside the {info['width']} x {info['height']} image")
    return x, y, w, h


def _channels(channels, count):
    if channels is None:
        return list(range(count))
    chans = [channels] if isinstance(channels, int) else list(channels)
    if not chans or not all(isinstance(c, (int, np.integer)) and 0 <= c < count for c in chans):
        raise ValueError(f"channels: {channels!r} are not channels of an image of {count}")
    return [int(c) for c in chans]


def _narrowed(array, argument, to):
    narrow = array.astype(to)
    if not np.array_equal(narrow, array):
        raise ValueError(f"{argument}: the values of a {array.dtype} array do not fit {np.dtype(to).name}")
    return narrow


def _image_array(array, order):
    """The array as H x W x C of a kel type."""
    a = np.asarray(array)
    if a.dtype in NARROWED:
        a = _narrowed(a, "array", NARROWED[a.dtype])
    kel_dtype("array", a.dtype)
    if a.ndim == 2:
        return a[..., np.newaxis]
    if a.ndim != 3 or 0 in a.shape:
        raise ValueError(f"array: shape {a.shape} is not H x W or H x W x C")
    return np.moveaxis(a, 0, -1) if _separate(order) else a


def _palette(config, channels, colormap):
    """The colormap of a new palette image. One channel of gray values gets
    the gray ramp; colors need a colormap, which a quantizer will make."""
    if config["color_model"] != _PALETTE or colormap is not None:
        return colormap
    if channels == 1:
        return np.repeat(np.arange(256, dtype=np.uint8)[:, np.newaxis], 3, axis=1)
    raise ValueError(f"colormap: format {config['format']} stores palette images only, and a palette image "
                     "needs a colormap: give colormap= (N x 3) and an array of indices into it")


def _item_text(value) -> str:
    """An item's value as kelcp --item takes it."""
    if isinstance(value, (bytes, bytearray, memoryview)):
        return base64.b64encode(bytes(value)).decode("ascii")
    if isinstance(value, (tuple, list)):
        return ", ".join(_item_text(v) for v in value)
    if isinstance(value, (bool, np.bool_)):
        return "1" if value else "0"
    return str(value)

