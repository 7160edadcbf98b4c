import os
import pathlib
import threading
import warnings

import numpy as np
import pytest

import kel

ROOT = pathlib.Path(os.environ.get("KEL_TEST_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
SUITES = ROOT / "tests/data/suites"
DTYPES = ["bool", "uint8", "int8", "uint16", "int16", "uint32", "int32", "float32", "float64"]
# Compressions whose pixels come back near, not equal.
LOSSY = {"jpeg", "webp"}
# Raw files keep no header: reading one back needs its layout in the name.
WRITABLE = [f["name"] for f in kel.formats() if f["writable"] and f["loadable"] and f["name"] != "Raw"]


def random_image(rng, dtype, channels):
    shape = (13, 17) + ((channels,) if channels > 1 else ())
    if dtype == "bool":
        return rng.integers(0, 2, shape).astype(bool)
    if dtype.startswith("float"):
        return rng.random(shape).astype(dtype)
    info = np.iinfo(dtype)
    return rng.integers(info.min, info.max, shape, dtype=dtype, endpoint=True)


@pytest.mark.parametrize("fmt", WRITABLE)
def test_round_trip(fmt, tmp_path):
    """Every type and channel count the format takes comes back; exactly
    where the file kept them, and in both orders; a second image where the
    format holds several."""
    rng = np.random.default_rng(22)
    exact, lossy = 0, False
    for dtype in DTYPES:
        for channels in (1, 3, 4):
            a = random_image(rng, dtype, channels)
            try:
                data = kel.imwrite(None, a, format=fmt)
            except ValueError:
                continue
            path = tmp_path / f"{dtype}-{channels}"
            path.write_bytes(data)
            with kel.open(path, format=fmt) as f:
                lossy |= f.compression in LOSSY
                if f.dtype != a.dtype or f.shape != a.shape or f.compression in LOSSY:
                    continue
                b = f.read()
                sep = f.read(order="separate", region=(2, 3, 9, 5), channels=list(range(channels))[::-1])
            exact += 1
            np.testing.assert_array_equal(b, a, err_msg=f"{fmt} {dtype} x {channels}")
            part = a[3:8, 2:11].reshape(5, 9, channels)[..., ::-1]
            np.testing.assert_array_equal(sep.reshape(channels, 5, 9), np.moveaxis(part, -1, 0))
    assert exact > 0 or lossy, f"{fmt}: no array came back as written"
    first = random_image(rng, "uint8", 1)
    second = first[::-1]
    with kel.create(tmp_path / "two", shape=first.shape, format=fmt) as f:
        f.write(first)
        try:
            f.append(second)
        except ValueError:
            return  # one image per file
        same = f.dtype == second.dtype and f.compression not in LOSSY
    frames = list(kel.imiter(tmp_path / "two", format=fmt))
    assert len(frames) == 2
    if same:
        np.testing.assert_array_equal(frames[1], second)


def pillow():
    try:
        from PIL import Image
    except ImportError:
        if os.environ.get("CI"):
            raise
        pytest.skip("Pillow is not installed")
    return Image


@pytest.mark.parametrize("name, tolerance", [
    ("pngsuite/basn2c08.png", 0), ("pngsuite/basn0g16.png", 0), ("pngsuite/basn6a08.png", 0),
    ("pngsuite/basn3p08.png", 0), ("bmpsuite/g_rgb24.bmp", 0), ("bmpsuite/g_pal8.bmp", 0),
    ("gif-pygif/dispose-none.gif", 0), ("../jpeg/s420.jpg", 2), ("../jpeg/gray.jpg", 2)])
def test_pixels_as_pillow_reads_them(name, tolerance):
    image = pillow().open(SUITES / name)
    theirs = np.asarray(image).astype(int)
    with kel.open(SUITES / name) as f:
        ours = f.read().astype(int)
        if f.colormap is not None and image.mode != "P":
            ours = f.colormap[ours][..., :theirs.shape[-1]]
    assert ours.shape == theirs.shape
    assert np.abs(ours - theirs).max() <= tolerance


@pytest.mark.parametrize("name", [
    "pngsuite/ctzn0g04.png", "pngsuite/cm0n0g04.png", "pngsuite/ccwn2c08.png", "pngsuite/tbrn2c08.png",
    "pngsuite/basn3p08.png", "../jpeg/density.jpg", "../jpeg/comment.jpg", "../jpeg/icc-chunks.jpg",
    "gif-pygif/dispose-none.gif", "bmpsuite/g_rgb24.bmp"])
def test_items_and_profile_come_back(name):
    """A file's settable items, colormap and profile, written with its pixels
    into the same format, read back as they were: every value type goes
    through the binding's conversions both ways."""
    def settable(f):
        return {k: v for k, v in {**f.items, **f.file_items}.items() if k in f.settable_items}

    with kel.open(SUITES / name) as f:
        items, profile, colormap = settable(f), f.icc_profile, f.colormap
        data = kel.imwrite(None, f.read(), format=f.format, items=items, colormap=colormap, icc_profile=profile)
    with kel.open(data) as f:
        assert (settable(f), f.icc_profile) == (items, profile)
        assert items


def test_errors_and_warnings(tmp_path):
    gif = SUITES / "gif-pygif/dispose-none.gif"
    rgb = np.zeros((4, 5, 3), np.uint8)
    bad_calls = [
        (kel.FileError, lambda: kel.imread(tmp_path / "missing.png"), "No such file"),
        (kel.FormatError, lambda: kel.imread(b"GIF89a\x01"), ""),
        (kel.FormatError, lambda: kel.imread(b"not an image at all"), "magic"),
        (ValueError, lambda: kel.imread(""), "empty path"),
        (ValueError, lambda: kel.imread(gif, region=(0, 0, 10**6, 1)), "region"),
        (ValueError, lambda: kel.imread(gif, channels=[3]), "channels"),
        (ValueError, lambda: kel.imread(gif, dtype="complex64"), "dtype"),
        (ValueError, lambda: kel.imread(gif, order="zigzag"), "order"),
        (ValueError, lambda: kel.imread(gif, image=99), "image"),
        (ValueError, lambda: kel.imwrite(tmp_path / "x.gif", rgb), "needs a colormap"),
        (ValueError, lambda: kel.imwrite(tmp_path / "x.nosuchsuffix", rgb), "format"),
        (ValueError, lambda: kel.imwrite(None, rgb, format="BMP", dtype="float64"), "dtype"),
        (ValueError, lambda: kel.imwrite(None, rgb, format="BMP", items={"header_size": 40}), "header_size"),
        (ValueError, lambda: kel.imwrite(None, rgb, format="BMP", items={"no_such_item": 1}), "no_such_item"),
        (ValueError, lambda: kel.imwrite(None, rgb[..., 0], format="GIF", items={"disposal_method": "x"}), "x"),
        (ValueError, lambda: kel.imwrite(None, np.zeros((2, 2), np.int64) + 2**40, format="FIT"), "int64"),
    ]
    for kind, call, text in bad_calls:
        with pytest.raises(kind, match=text):
            call()
    with pytest.warns(kel.KelWarning, match="bogus"):
        kel.imwrite(tmp_path / "x.raw", rgb, args="bogus=1")


def test_threads_read_alike(tmp_path):
    """Threads reading their own files at once get what one thread gets."""
    paths = []
    for fmt in WRITABLE:
        try:
            paths.append(kel.imwrite(None, random_image(np.random.default_rng(1), "uint8", 1), format=fmt))
        except ValueError:
            pass
    alone = [kel.imread(p) for p in paths]
    results, failures = {}, []

    def work(n):
        try:
            for _ in range(20):
                for i, p in enumerate(paths):
                    np.testing.assert_array_equal(kel.imread(p), alone[i])
            results[n] = True
        except Exception as exc:  # noqa: BLE001 - reported below
            failures.append(exc)

    threads = [threading.Thread(target=work, args=(n,)) for n in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert not failures and len(results) == 4


def test_hostile_bytes_raise_and_never_crash():
    """Every fuzzer seed and regression input, read as bytes: an image or
    kel.Error, and never a crash or another exception."""
    inputs = sorted(p for d in ("corpus", "regressions") for p in (ROOT / "fuzz" / d).rglob("*") if p.is_file())
    assert inputs
    read = 0
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", kel.KelWarning)
        for p in inputs:
            try:
                for _ in kel.imiter(p.read_bytes()):
                    read += 1
            except kel.Error:
                pass
    assert read > 0
