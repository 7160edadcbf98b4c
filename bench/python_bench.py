#!/usr/bin/python3
"""kel's Python binding against Pillow (and imageio when installed), in one run.

Reads and writes 4096 x 4096 GIF (indices), BMP and PNG (RGB) images; then
the binding's own cost per call on a 1 x 1 image: kel.imread against the
library's open, getTile and close. Run by hand from a build:

    KEL_DATABASE=build/lib/kel_database0 PYTHONPATH=build/python nice -n 19 bench/python_bench.py

Times are the best of several runs, in processor time; ratios above 1 mean
kel is faster.
"""

import ctypes
import os
import sys
import tempfile
import threading
import time

import numpy as np
from PIL import Image

import kel

SIDE = 4096
RUNS = 5

try:
    import imageio.v2 as imageio
except ImportError:
    imageio = None


def best(call, runs=RUNS, clock=time.process_time):
    """Processor time by default: the machine may be shared."""
    times = []
    for _ in range(runs):
        start = clock()
        call()
        times.append(clock() - start)
    return min(times)


def picture():
    """A photograph's smooth shading with some noise, so that the
    compressors meet neither a flat image nor random bytes."""
    y, x = np.mgrid[0:SIDE, 0:SIDE].astype(np.float32)
    noise = np.random.default_rng(7).integers(0, 24, (SIDE, SIDE, 3), dtype=np.uint8)
    base = np.stack([x / SIDE * 200, y / SIDE * 200, (x + y) / (2 * SIDE) * 200 + 20 * np.sin(x / 50)], axis=-1)
    return (base.astype(np.uint8) + noise).astype(np.uint8)


def pillow_save(array, path, palette=None):
    image = Image.fromarray(array)
    if palette is not None:
        image.putpalette(palette.tobytes())
    image.save(path)


def compare(label, ours, theirs):
    t_ours, t_theirs = best(ours), best(theirs)
    print(f"{label:<30} kel {t_ours * 1e3:8.1f} ms   peer {t_theirs * 1e3:8.1f} ms   ratio {t_theirs / t_ours:5.2f}")


def library_call(path):
    """The library's own open, getTile and close, through the C binding
    beside the database of a build tree (ctypes adds about a microsecond)."""
    ckel = ctypes.CDLL(os.path.join(os.path.dirname(os.environ["KEL_DATABASE"]), "libckel0.so"))
    ckel.kelFileOpen.restype = ckel.kelConfigCreate.restype = ctypes.c_void_p
    ckel.kelFileGetTile.argtypes = [ctypes.c_void_p] + [ctypes.c_int] * 6 + [ctypes.c_void_p] * 2
    ckel.kelFileClose.argtypes = [ctypes.c_void_p, ctypes.c_int]
    chans = (ctypes.c_int * 3)(0, 1, 2)
    config = ckel.kelConfigCreate(2, 1, 3, chans, 0, 1)  # uchar, interleaved, upper-left
    pixel = ctypes.create_string_buffer(3)
    name, status = os.fsencode(path), ctypes.c_int()

    def call():
        f = ckel.kelFileOpen(name, os.O_RDONLY, ctypes.byref(status))
        ckel.kelFileGetTile(f, 0, 0, 0, 1, 1, 1, pixel, config)
        ckel.kelFileClose(f, 0)
    return call


def per_call(path):
    runs = 20000
    whole = best(lambda: [kel.imread(path) for _ in range(runs)], runs=3) / runs
    call = library_call(path)
    library = best(lambda: [call() for _ in range(runs)], runs=3) / runs
    print(f"1 x 1 {os.path.basename(path):<22} kel.imread {whole * 1e6:5.1f} us; the library's calls "
          f"{library * 1e6:5.1f} us; the binding {(whole - library) * 1e6:5.1f} us")


def threads(paths):
    """Two threads reading a file each against one thread reading both;
    wall-clock time, since the point is the second core."""
    def both():
        for p in paths:
            kel.imread(p)

    def parallel():
        workers = [threading.Thread(target=kel.imread, args=(p,)) for p in paths]
        for w in workers:
            w.start()
        for w in workers:
            w.join()

    one, two = best(both, clock=time.perf_counter), best(parallel, clock=time.perf_counter)
    print(f"{len(paths)} PNG files, one thread {one * 1e3:.1f} ms, a thread each {two * 1e3:.1f} ms: "
          f"speed-up {one / two:.2f}")


def gil_released(path):
    """How fast a Python thread counts while kel.imread runs, against its
    pace while the main thread sleeps; a call that holds the GIL (sorting a
    list) stops it, whatever the cores."""
    count, stop = [0], threading.Event()

    def counter():
        while not stop.is_set():
            count[0] += 1

    def pace(call):
        start, c = time.perf_counter(), count[0]
        call()
        return (count[0] - c) / (time.perf_counter() - start)

    thread = threading.Thread(target=counter)
    thread.start()
    numbers = np.random.default_rng(5).permutation(2_000_000).tolist()
    idle = pace(lambda: time.sleep(0.5))
    reading = pace(lambda: kel.imread(path))
    holding = pace(numbers.sort)
    stop.set()
    thread.join()
    print(f"another thread's pace while kel.imread reads {reading / idle:.0%} of its idle pace "
          f"(while list.sort holds the GIL {holding / idle:.0%})")


def main():
    rgb = picture()
    indices = (rgb[..., 0] // 32 * 32 + rgb[..., 1] // 64 * 4 + rgb[..., 2] // 128).astype(np.uint8)
    colormap = np.random.default_rng(3).integers(0, 256, (256, 3), dtype=np.uint8)
    with tempfile.TemporaryDirectory() as work:
        cases = [("gif", indices, colormap), ("bmp", rgb, None), ("png", rgb, None)]
        for suffix, array, cm in cases:
            path = os.path.join(work, "image." + suffix)
            peer = os.path.join(work, "peer." + suffix)
            compare(f"write {suffix.upper()} {SIDE}x{SIDE}", lambda: kel.imwrite(path, array, colormap=cm),
                    lambda: pillow_save(array, peer, cm))
            # Both read the same files: Pillow's, then kel's.
            for source in (peer, path):
                who = "Pillow's" if source == peer else "kel's"
                compare(f"read {suffix.upper()}, {who} file", lambda: kel.imread(source),
                        lambda: np.asarray(Image.open(source)))
                if imageio is not None:
                    compare(f"  imageio, {who} file", lambda: kel.imread(source), lambda: imageio.imread(source))
        copy = os.path.join(work, "copy.png")
        kel.imwrite(copy, rgb[::-1])
        threads([os.path.join(work, "image.png"), copy])
        gil_released(copy)
        for suffix, array in (("bmp", rgb[:1, :1]), ("png", rgb[:1, :1])):
            path = os.path.join(work, "one." + suffix)
            kel.imwrite(path, array)
            per_call(path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
