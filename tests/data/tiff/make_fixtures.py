#!/usr/bin/python3
# Makes the TIFF fixtures of this directory: tifffile's files from
# deterministic numpy arrays, tiffcp's copies of them in each compression,
# and ImageMagick's photometric variants. Run from this directory with
# Debian's python3 (tifffile, numpy), tiffcp and ImageMagick's convert.
import subprocess

import numpy as np
import tifffile


def ramp(shape, dtype, step=7):
    n = int(np.prod(shape))
    v = (np.arange(n, dtype=np.int64) * step) % 251
    if np.dtype(dtype).kind == 'f':
        return (v.astype(np.float64) / 8.0 - 12.5).astype(dtype).reshape(shape)
    info = np.iinfo(dtype)
    span = int(info.max) - int(info.min) + 1
    return ((v * (span // 251) + int(info.min)) % span + int(info.min)).astype(dtype).reshape(shape) \
        if info.min < 0 else (v * (span // 251)).astype(dtype).reshape(shape)


def run(*cmd):
    subprocess.run(cmd, check=True)


tifffile.imwrite('gray8_strips.tif', ramp((23, 37), 'u1'), rowsperstrip=5)
tifffile.imwrite('rgb8_tiles.tif', ramp((35, 40, 3), 'u1'), tile=(16, 16), photometric='rgb')
tifffile.imwrite('rgb16_planar_strips.tif', ramp((3, 21, 30), 'u2'), planarconfig='separate',
                 photometric='rgb', rowsperstrip=8, byteorder='>')
tifffile.imwrite('rgb16_planar_tiles_zip.tif', ramp((3, 40, 33), 'u2'), planarconfig='separate',
                 photometric='rgb', tile=(32, 16), compression='zlib', predictor=2)
with tifffile.TiffWriter('types.tif') as tw:
    for t in ('i1', 'i2', 'u4', 'i4', 'f4', 'f8', 'f2', '>i2', '>f8'):
        tw.write(ramp((11, 19), t), photometric='minisblack', rowsperstrip=4)
tifffile.imwrite('bilevel.tif', ramp((9, 13), 'u1', 3) > 100, photometric='minisblack')
tifffile.imwrite('rgba8.tif', ramp((17, 21, 4), 'u1'), photometric='rgb', extrasamples=['unassalpha'])
tifffile.imwrite('bigtiff.tif', ramp((19, 25), 'u2'), bigtiff=True, tile=(16, 16))
tifffile.imwrite('float.tif', ramp((20, 18), 'f4'))
tifffile.imwrite('multispectral.tif', ramp((5, 12, 14), 'u1'), photometric='minisblack',
                 planarconfig='separate')
for codec in ('lzw', 'packbits', 'zip', 'zstd', 'lzma', 'jpeg', 'webp'):
    run('tiffcp', '-c', codec, 'rgb8_tiles.tif', 'rgb8_%s.tif' % codec)
run('tiffcp', '-c', 'zip:3', 'float.tif', 'float_zip_pred3.tif')
run('tiffcp', '-c', 'g3', 'bilevel.tif', 'bilevel_g3.tif')
run('tiffcp', '-c', 'g4', 'bilevel.tif', 'bilevel_g4.tif')
run('/usr/bin/convert', 'gray8_strips.tif', '-define', 'quantum:polarity=min-is-white', 'miniswhite.tif')
run('/usr/bin/convert', 'rgb8_tiles.tif', '-colors', '16', '-type', 'palette', 'palette.tif')
run('/usr/bin/convert', 'rgb8_tiles.tif', '-colorspace', 'cmyk', 'cmyk.tif')
run('/usr/bin/convert', 'rgb8_tiles.tif', '-compress', 'jpeg', 'jpeg_im.tif')
run('/usr/bin/convert', 'rgb8_tiles.tif', '-colorspace', 'Lab', 'lab.tif')
run('/usr/bin/convert', 'rgb8_tiles.tif', '-orient', 'right-top', 'orient6.tif')
run('/usr/bin/convert', 'gray8_strips.tif', '-depth', '4', 'gray4.tif')
run('/usr/bin/convert', 'gray8_strips.tif', '-depth', '12', 'gray12.tif')
