#!/usr/bin/env python3
"""Draws the program icon, tavrin.ico: two chain links joined diagonally and an
arrow pointing at them, "an address made into a short link".

One image, 128 x 128 at 32 bits per pixel with an alpha channel, written as an
ICO file by hand (standard library only). Edges are smoothed by sampling each
pixel 4 x 4 times. Run it again to regenerate the file:

    python3 app/icon/make_icon.py app/icon/tavrin.ico
"""
import math
import struct
import sys

SIZE = 128
SAMPLES = 4

BLUE = (33, 110, 214)
GREEN = (28, 160, 90)
LIGHT_BLUE = (90, 160, 240)
WHITE = (255, 255, 255)


def rounded_box_distance(px, py, cx, cy, half_w, half_h, radius, angle):
    """Signed distance from (px, py) to a rounded rectangle rotated by angle."""
    dx, dy = px - cx, py - cy
    c, s = math.cos(angle), math.sin(angle)
    x, y = c * dx + s * dy, -s * dx + c * dy
    qx = abs(x) - (half_w - radius)
    qy = abs(y) - (half_h - radius)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    inside = min(max(qx, qy), 0.0)
    return outside + inside - radius


def link_ring(px, py, cx, cy, angle):
    """Inside the ring of one chain link: a rounded box with a rounded hole."""
    d = rounded_box_distance(px, py, cx, cy, 26, 13, 13, angle)
    return -7.0 <= d <= 0.0


def segment_distance(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(px - (ax + t * vx), py - (ay + t * vy))


def in_triangle(px, py, a, b, c):
    def side(p1, p2):
        return (px - p2[0]) * (p1[1] - p2[1]) - (p1[0] - p2[0]) * (py - p2[1])
    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    negative = d1 < 0 or d2 < 0 or d3 < 0
    positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (negative and positive)


def colour_at(px, py):
    """Colour of the topmost shape at a sample point, or None for background."""
    angle = -math.pi / 4
    # Arrow from the lower left corner, pointing at the chain.
    if segment_distance(px, py, 8, 120, 32, 96) <= 5 or \
            in_triangle(px, py, (45, 83), (21, 89), (39, 107)):
        return GREEN
    # Two interlocking links on the diagonal up to the upper right corner;
    # the lower link lies on top, a white rim separating it from the other.
    lower = rounded_box_distance(px, py, 73, 55, 26, 13, 13, angle)
    if -7.0 <= lower <= 0.0:
        return BLUE
    if link_ring(px, py, 96, 32, angle):
        return WHITE if -9.0 <= lower <= 2.0 else LIGHT_BLUE
    return None


def render():
    pixels = []
    for row in range(SIZE):
        line = []
        for col in range(SIZE):
            totals = [0, 0, 0]
            covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    colour = colour_at(col + (sx + 0.5) / SAMPLES, row + (sy + 0.5) / SAMPLES)
                    if colour is not None:
                        covered += 1
                        for i in range(3):
                            totals[i] += colour[i]
            if covered:
                rgb = [t // covered for t in totals]
                alpha = covered * 255 // (SAMPLES * SAMPLES)
            else:
                rgb, alpha = [0, 0, 0], 0
            line.append((rgb[0], rgb[1], rgb[2], alpha))
        pixels.append(line)
    return pixels


def ico_bytes(pixels):
    # Colour rows bottom-up in BGRA; premultiplication is not used in ICO files.
    colour = bytearray()
    for line in reversed(pixels):
        for r, g, b, a in line:
            colour += bytes((b, g, r, a))
    # The AND mask: 1 where fully transparent, rows padded to 32 bits.
    mask_row_bytes = ((SIZE + 31) // 32) * 4
    mask = bytearray()
    for line in reversed(pixels):
        row = bytearray(mask_row_bytes)
        for x, (_, _, _, a) in enumerate(line):
            if a == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE % 256, SIZE % 256, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else "tavrin.ico"
    with open(target, "wb") as out:
        out.write(ico_bytes(render()))


if __name__ == "__main__":
    main()
