#!/usr/bin/env python3
"""Reads an xwd screen dump (24 or 32 bits a pixel, as Xvfb writes it).

screen_shot.py SCREEN.xwd OUT.png
    writes the screen as a PNG, for a look by eye.
screen_shot.py SCREEN.xwd --extent X Y W H
    prints "left top right bottom" of the pixels in that rectangle that differ
    from its top left pixel (a letterbox bar, in the window's border colour),
    or "none".
screen_shot.py SCREEN.xwd --green-ink
    prints how many pixels are the text window's green ink.
"""
import struct
import sys
import zlib


def read_xwd(path):
    data = open(path, 'rb').read()
    header = struct.unpack('>25I', data[:100])
    size, width, height, line = header[0], header[4], header[5], header[12]
    step = header[11] // 8
    start = size + header[19] * 12

    def pixel(x, y):
        offset = start + y * line + x * step
        blue, green, red = data[offset], data[offset + 1], data[offset + 2]
        return red, green, blue

    return width, height, pixel


def write_png(path, width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff))

    with open(path, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n')
        out.write(chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b'IDAT', zlib.compress(bytes(rows), 6)))
        out.write(chunk(b'IEND', b''))


def extent(width, height, pixel, left, top, w, h):
    bar = pixel(left, top)
    found = None
    for y in range(max(top, 0), min(top + h, height), 2):
        for x in range(max(left, 0), min(left + w, width), 2):
            if sum(abs(a - b) for a, b in zip(pixel(x, y), bar)) > 30:
                if found is None:
                    found = [x, y, x, y]
                found = [min(found[0], x), min(found[1], y), max(found[2], x), max(found[3], y)]
    return found


def green_ink(width, height, pixel):
    count = 0
    for y in range(height):
        for x in range(width):
            red, green, blue = pixel(x, y)
            if green > 180 and red < 100 and blue < 100:
                count += 1
    return count


def main():
    width, height, pixel = read_xwd(sys.argv[1])
    if sys.argv[2] == '--extent':
        box = extent(width, height, pixel, *map(int, sys.argv[3:7]))
        print('none' if box is None else ' '.join(map(str, box)))
    elif sys.argv[2] == '--green-ink':
        print(green_ink(width, height, pixel))
    else:
        write_png(sys.argv[2], width, height, pixel)


main()
