#!/usr/bin/python3
"""Expected results of BMP Suite's 16- and 32-bit files from two peers.

Reads every g_rgb16*, g_rgb32*, q_rgb16*, q_rgb32* and q_rgba32* file of this
folder with ImageMagick (/usr/bin/convert) and with stb_image (libstb-dev,
through a small program built here with cc). Where both read the file to the
same pixels, writes them as <name>.0.raw (R, G, B, and A when the file has an
alpha mask) and makes <name>.json expect exactly them; otherwise the JSON
says what each peer did and records no pixels. Run it from anywhere:

    /usr/bin/python3 tests/data/suites/bmpsuite/expect_from_peers.py
"""
import glob
import hashlib
import json
import os
import struct
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
PATTERNS = ["g_rgb16*.bmp", "g_rgb32*.bmp", "q_rgb16*.bmp", "q_rgb32*.bmp", "q_rgba32*.bmp"]
PEERS = "imagemagick+stb_image"

STB_PROGRAM = r"""
#include <stdio.h>
#include <stb/stb_image.h>
int main(int argc, char** argv)
{
    int w, h, n;
    unsigned char* p = stbi_load(argv[1], &w, &h, &n, 4);
    if (!p) {
        printf("error: %s\n", stbi_failure_reason());
        return 1;
    }
    FILE* out = fopen(argv[2], "wb");
    fwrite(p, 1, (size_t)w * h * 4, out);
    printf("ok %dx%d, %d channels\n", w, h, n);
    return fclose(out) != 0;
}
"""


def has_alpha(data):
    """Whether the file gives an alpha channel: bit fields with a non-zero
    alpha mask inside an info header of 56 bytes or more."""
    header_size, compression = struct.unpack_from("<I", data, 14)[0], struct.unpack_from("<I", data, 30)[0]
    return compression == 3 and header_size >= 56 and struct.unpack_from("<I", data, 66)[0] != 0


def run(command):
    result = subprocess.run(command, capture_output=True, text=True, cwd=HERE)
    text = (result.stdout + result.stderr).strip().splitlines()
    return result.returncode == 0, text[0] if text else ""


def peer_pixels(path, scratch, stb):
    """RGBA bytes from each peer (None when it refuses), and what it said.
    `path` is relative to this folder, as the peers' messages name it."""
    im_out, stb_out = os.path.join(scratch, "im.rgba"), os.path.join(scratch, "stb.rgba")
    im_ok, im_said = run(["/usr/bin/convert", path, "-depth", "8", "rgba:" + im_out])
    stb_ok, stb_said = run([stb, path, stb_out])
    im = open(im_out, "rb").read() if im_ok else None
    st = open(stb_out, "rb").read() if stb_ok else None
    return im, st, ("ok (%d RGBA bytes)" % len(im) if im_ok else "error: " + im_said), stb_said


def keep_channels(rgba, channels):
    return rgba if channels == 4 else bytes(b for i, b in enumerate(rgba) if i % 4 != 3)


def record(name, path, scratch, stb):
    data = open(os.path.join(HERE, path), "rb").read()
    width, height = struct.unpack_from("<ii", data, 18)
    channels = 4 if has_alpha(data) else 3
    im, st, im_said, stb_said = peer_pixels(path, scratch, stb)
    meta_path = os.path.join(HERE, name + ".json")
    meta = json.load(open(meta_path))
    meta["observed"]["imagemagick"] = im_said
    meta["observed"]["stb_image"] = stb_said
    agree = im is not None and st is not None and keep_channels(im, channels) == keep_channels(st, channels)
    notes = [n for n in meta.get("notes", [])
             if not n.startswith("16/32-bit pixels") and not (agree and "no reference" in n)]
    if agree:
        pixels = keep_channels(im, channels)
        raw = name + ".0.raw"
        open(os.path.join(HERE, raw), "wb").write(pixels)
        meta.update({"width": width, "height": abs(height), "num_images": 1, "loop_count": None})
        meta["images"] = [{
            "index": 0, "left": 0, "top": 0, "width": width, "height": abs(height), "interlaced": False,
            "palette": None, "palette_size": 0, "transparent_index": None, "delay": 0, "disposal": 0,
            "pixel_format": "rgba32" if channels == 4 else "rgb24", "pixels_source": PEERS, "pixels": raw,
            "pixels_sha256": hashlib.sha256(pixels).hexdigest(), "pixels_bytes": len(pixels)}]
        meta["crosscheck"] = {"imagemagick": "reference", "stb_image": "reference"}
        meta["scope"], meta["expect"] = "core", "decode"
        notes.append("16/32-bit pixels: ImageMagick and stb_image agree (expect_from_peers.py)")
        if channels == 3 and set(im[3::4]) != {255}:
            notes.append("16/32-bit pixels: the peers take the unused bits for alpha; the file's "
                         "masks have none, so only R, G, B are expected")
    else:
        for key in ("images", "crosscheck"):
            meta.pop(key, None)
        meta["expect"] = "decode_or_reject"
        notes.append("16/32-bit pixels: ImageMagick and stb_image do not both read this file to the same pixels: none recorded")
    meta["notes"] = notes
    with open(meta_path, "w") as out:
        json.dump(meta, out, indent=1)
        out.write("\n")
    return agree


def main():
    with tempfile.TemporaryDirectory() as scratch:
        stb = os.path.join(scratch, "stbdump")
        subprocess.run(["cc", "-x", "c", "-", "-o", stb, "-lstb", "-lm"], input=STB_PROGRAM, text=True, check=True)
        for pattern in PATTERNS:
            for path in sorted(glob.glob(os.path.join(HERE, pattern))):
                name = os.path.basename(path)[:-4]
                print(name, "decode" if record(name, name + ".bmp", scratch, stb) else "no pixels")


main()
