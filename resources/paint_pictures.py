#!/usr/bin/env python3
"""Paint Norvathel's pictures from nothing but arithmetic.

Writes, byte for byte the same on every run:

  resources/plate.bmp    IDB_PLATE  104 x 23, 24 bpp     the name plate
  resources/board.bmp    IDB_BOARD  308 x 293, 8 bpp     the dusk landscape behind the names
  resources/app.ico      IDI_APP    32 x 32, 16 colours  the dragon-head icon
  Misc/dragon_bg.bmp                64 x 64, 24 bpp      dark scale tile for the class brush

Python 3 standard library only. Every bit of "randomness" comes from the small seeded
generator and the integer hash below, so the output never depends on time or on the machine's
random source. Run from anywhere (about 20 s):  python3 resources/paint_pictures.py
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


# --------------------------------------------------------------------------------------------
# Deterministic randomness
# --------------------------------------------------------------------------------------------

class Rng:
    """xorshift32: tiny, seeded, and the same everywhere."""

    def __init__(self, seed):
        self.state = (seed & 0xFFFFFFFF) or 0x9E3779B9

    def next_u32(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def random(self):
        return self.next_u32() / 4294967296.0

    def uniform(self, lo, hi):
        return lo + (hi - lo) * self.random()


def hash01(ix, iy, seed):
    """Integer hash of a lattice point, mapped to [0, 1)."""
    h = (ix * 374761393 + iy * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    h ^= h >> 16
    return h / 4294967296.0


def smooth(t):
    return t * t * (3.0 - 2.0 * t)


def value_noise(x, y, seed):
    ix = math.floor(x)
    iy = math.floor(y)
    fx = smooth(x - ix)
    fy = smooth(y - iy)
    a = hash01(ix, iy, seed)
    b = hash01(ix + 1, iy, seed)
    c = hash01(ix, iy + 1, seed)
    d = hash01(ix + 1, iy + 1, seed)
    top = a + (b - a) * fx
    bottom = c + (d - c) * fx
    return top + (bottom - top) * fy


def fbm(x, y, seed, octaves=4):
    """Fractal value noise in [0, 1)."""
    total = 0.0
    amp = 0.5
    norm = 0.0
    for o in range(octaves):
        total += amp * value_noise(x, y, seed + 101 * o)
        norm += amp
        x *= 2.03
        y *= 2.03
        amp *= 0.5
    return total / norm


def clamp(v, lo=0.0, hi=255.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, v):
    if v <= e0:
        return 0.0
    if v >= e1:
        return 1.0
    return smooth((v - e0) / (e1 - e0))


def mix(c0, c1, t):
    return (c0[0] + (c1[0] - c0[0]) * t,
            c0[1] + (c1[1] - c0[1]) * t,
            c0[2] + (c1[2] - c0[2]) * t)


def ramp(stops, v):
    """Piecewise colour ramp; stops are (position, (r, g, b)) in increasing position."""
    if v <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if v <= p1:
            return mix(c0, c1, smooth((v - p0) / (p1 - p0)))
    return stops[-1][1]


# --------------------------------------------------------------------------------------------
# Shapes: anti-aliased coverage by supersampling
# --------------------------------------------------------------------------------------------

def point_in_polygon(px, py, poly):
    inside = False
    j = len(poly) - 1
    for i in range(len(poly)):
        xi, yi = poly[i]
        xj, yj = poly[j]
        if (yi > py) != (yj > py):
            if px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                inside = not inside
        j = i
    return inside


def seg_dist2(px, py, ax, ay, bx, by):
    dx = bx - ax
    dy = by - ay
    len2 = dx * dx + dy * dy
    t = 0.0 if len2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / len2))
    qx = ax + dx * t - px
    qy = ay + dy * t - py
    return qx * qx + qy * qy, t


class Shape:
    """A union of polygons, circles and tapered strokes, tested point by point."""

    def __init__(self):
        self.polys = []      # (bbox, points)
        self.circles = []    # (cx, cy, r)
        self.strokes = []    # (bbox, ax, ay, bx, by, r0, r1)

    def polygon(self, pts):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        self.polys.append(((min(xs), min(ys), max(xs), max(ys)), pts))

    def circle(self, cx, cy, r):
        self.circles.append((cx, cy, r))

    def stroke(self, pts, r0, r1):
        """A tapered line through pts, radius r0 at the start to r1 at the end."""
        total = sum(math.hypot(b[0] - a[0], b[1] - a[1]) for a, b in zip(pts, pts[1:]))
        run = 0.0
        for a, b in zip(pts, pts[1:]):
            seg = math.hypot(b[0] - a[0], b[1] - a[1])
            ra = r0 + (r1 - r0) * (run / total)
            rb = r0 + (r1 - r0) * ((run + seg) / total)
            run += seg
            r = max(ra, rb)
            box = (min(a[0], b[0]) - r, min(a[1], b[1]) - r, max(a[0], b[0]) + r, max(a[1], b[1]) + r)
            self.strokes.append((box, a[0], a[1], b[0], b[1], ra, rb))

    def contains(self, x, y):
        for cx, cy, r in self.circles:
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                return True
        for box, ax, ay, bx, by, ra, rb in self.strokes:
            if box[0] <= x <= box[2] and box[1] <= y <= box[3]:
                d2, t = seg_dist2(x, y, ax, ay, bx, by)
                r = ra + (rb - ra) * t
                if d2 <= r * r:
                    return True
        for box, pts in self.polys:
            if box[0] <= x <= box[2] and box[1] <= y <= box[3]:
                if point_in_polygon(x, y, pts):
                    return True
        return False

    def bbox(self):
        xs0, ys0, xs1, ys1 = [], [], [], []
        for cx, cy, r in self.circles:
            xs0.append(cx - r), ys0.append(cy - r), xs1.append(cx + r), ys1.append(cy + r)
        for box, *_ in self.strokes:
            xs0.append(box[0]), ys0.append(box[1]), xs1.append(box[2]), ys1.append(box[3])
        for box, _ in self.polys:
            xs0.append(box[0]), ys0.append(box[1]), xs1.append(box[2]), ys1.append(box[3])
        return min(xs0), min(ys0), max(xs1), max(ys1)

    def coverage(self, ss=4):
        """Yield (x, y, fraction covered) for every pixel the shape touches."""
        x0, y0, x1, y1 = self.bbox()
        step = 1.0 / ss
        offs = [(i + 0.5) * step for i in range(ss)]
        full = float(ss * ss)
        for py in range(math.floor(y0), math.ceil(y1) + 1):
            for px in range(math.floor(x0), math.ceil(x1) + 1):
                hits = 0
                for oy in offs:
                    for ox in offs:
                        if self.contains(px + ox, py + oy):
                            hits += 1
                if hits:
                    yield px, py, hits / full


def bezier(p0, p1, p2, p3, n=16):
    pts = []
    for i in range(n + 1):
        t = i / n
        u = 1 - t
        pts.append((u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0],
                    u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1]))
    return pts


# --------------------------------------------------------------------------------------------
# Canvas and file writers
# --------------------------------------------------------------------------------------------

class Canvas:
    """Floating-point RGB picture, rows top-down."""

    def __init__(self, w, h, colour=(0.0, 0.0, 0.0)):
        self.w = w
        self.h = h
        self.px = [[colour for _ in range(w)] for _ in range(h)]

    def get(self, x, y):
        return self.px[y][x]

    def set(self, x, y, c):
        self.px[y][x] = c

    def blend(self, x, y, c, a):
        if 0 <= x < self.w and 0 <= y < self.h and a > 0.0:
            self.px[y][x] = mix(self.px[y][x], c, min(1.0, a))

    def fill_shape(self, shape, colour_at, ss=4, alpha=1.0):
        """colour_at(x, y) gives the paint colour at a pixel."""
        for x, y, a in shape.coverage(ss):
            if 0 <= x < self.w and 0 <= y < self.h:
                self.blend(x, y, colour_at(x, y), a * alpha)

    def to_bytes_rows(self):
        return [[tuple(int(round(clamp(v))) for v in c) for c in row] for row in self.px]


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def bmp_headers(w, h, bpp, palette_entries, image_size):
    offset = 14 + 40 + 4 * palette_entries
    file_header = struct.pack("<2sIHHI", b"BM", offset + image_size, 0, 0, offset)
    info_header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, image_size,
                              2835, 2835, palette_entries, 0)
    return file_header + info_header


def bmp24(rows):
    """rows: top-down lists of (r, g, b) ints. Stored bottom-up, BGR, rows padded to 4."""
    h = len(rows)
    w = len(rows[0])
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        body += line
    return bmp_headers(w, h, 24, 0, len(body)) + bytes(body)


def bmp8(palette, rows):
    """palette: 256 (r, g, b); rows: top-down lists of indices."""
    h = len(rows)
    w = len(rows[0])
    stride = (w + 3) & ~3
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    body = bytearray()
    for row in reversed(rows):
        body += bytes(row) + bytes(stride - w)
    return bmp_headers(w, h, 8, 256, len(body)) + pal + bytes(body)


def ico4(palette, rows, mask):
    """One 32 x 32, 16-colour image. mask rows: 1 = transparent."""
    size = len(rows)
    xor = bytearray()
    for row in reversed(rows):
        for i in range(0, size, 2):
            xor.append((row[i] << 4) | row[i + 1])
    andmask = bytearray()
    and_stride = ((size + 31) // 32) * 4
    for row in reversed(mask):
        line = bytearray(and_stride)
        for x, bit in enumerate(row):
            if bit:
                line[x >> 3] |= 0x80 >> (x & 7)
        andmask += line
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(andmask),
                       0, 0, 16, 0)
    image = info + pal + bytes(xor) + bytes(andmask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    return icondir + entry + image


# --------------------------------------------------------------------------------------------
# Palette: variance-splitting median cut, then error-diffusion dithering
# --------------------------------------------------------------------------------------------

def build_palette(rows, n=256):
    counts = {}
    for row in rows:
        for c in row:
            counts[c] = counts.get(c, 0) + 1
    colours = sorted(counts.items())

    def stats(box):
        total = sum(k for _, k in box)
        mean = [sum(c[i] * k for c, k in box) / total for i in range(3)]
        err = [sum(k * (c[i] - mean[i]) ** 2 for c, k in box) for i in range(3)]
        return total, mean, err

    boxes = [(colours, stats(colours))]
    while len(boxes) < n:
        # split the box with the largest squared error along its worst channel
        best = None
        for i, (box, (total, mean, err)) in enumerate(boxes):
            if len(box) < 2:
                continue
            score = max(err)
            if best is None or score > best[0]:
                best = (score, i)
        if best is None:
            break
        box, (total, mean, err) = boxes.pop(best[1])
        ch = err.index(max(err))
        box = sorted(box, key=lambda ck: (ck[0][ch], ck[0]))
        half = total / 2.0
        run = 0
        cut = 1
        for j, (c, k) in enumerate(box):
            run += k
            if run >= half:
                cut = max(1, min(len(box) - 1, j + 1))
                break
        for part in (box[:cut], box[cut:]):
            boxes.append((part, stats(part)))
    palette = [tuple(int(round(clamp(v))) for v in st[1]) for _, st in boxes]
    palette = sorted(set(palette), key=lambda c: (0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2], c))
    while len(palette) < n:
        palette.append((0, 0, 0))
    return palette


def dither(rows, palette, strength=0.85):
    """Floyd-Steinberg, serpentine, onto the palette; returns index rows."""
    h = len(rows)
    w = len(rows[0])
    cache = {}

    def nearest(r, g, b):
        key = (int(r) >> 1, int(g) >> 1, int(b) >> 1)
        idx = cache.get(key)
        if idx is None:
            best = 1e18
            for i, (pr, pg, pb) in enumerate(palette):
                d = (pr - r) ** 2 * 3 + (pg - g) ** 2 * 4 + (pb - b) ** 2 * 2
                if d < best:
                    best = d
                    idx = i
            cache[key] = idx
        return idx

    err_cur = [[0.0, 0.0, 0.0] for _ in range(w + 2)]
    out = []
    for y in range(h):
        err_next = [[0.0, 0.0, 0.0] for _ in range(w + 2)]
        line = [0] * w
        forward = (y % 2 == 0)
        xs = range(w) if forward else range(w - 1, -1, -1)
        d = 1 if forward else -1
        for x in xs:
            src = rows[y][x]
            e = err_cur[x + 1]
            r = clamp(src[0] + e[0])
            g = clamp(src[1] + e[1])
            b = clamp(src[2] + e[2])
            idx = nearest(r, g, b)
            line[x] = idx
            pr, pg, pb = palette[idx]
            er = (r - pr) * strength
            eg = (g - pg) * strength
            eb = (b - pb) * strength
            for (tx, row, f) in ((x + 1 + d, err_cur, 7 / 16), (x + 1 - d, err_next, 3 / 16),
                                 (x + 1, err_next, 5 / 16), (x + 1 + d, err_next, 1 / 16)):
                t = row[tx]
                t[0] += er * f
                t[1] += eg * f
                t[2] += eb * f
        out.append(line)
        err_cur = err_next
    return out


# --------------------------------------------------------------------------------------------
# IDB_PLATE: bevelled grey frame around a black field
# --------------------------------------------------------------------------------------------

PLATE_W, PLATE_H = 104, 23


def paint_plate():
    # Layout, in plate pixels: a 1 px black rim; a raised frame 4 px wide at the top and the
    # sides and 3 px at the bottom; the black field in between, x 5..98 and y 5..18, which is
    # exactly where a name drawn 5 px in and 3 px down lands, descenders included.
    left, top, right, bottom = 4, 4, 4, 3
    lit = [236, 206, 176, 112]      # top and left bars, outside to inside
    shade = [54, 78, 104, 132]      # bottom and right bars, outside to inside
    rows = []
    for y in range(PLATE_H):
        row = []
        for x in range(PLATE_W):
            if x == 0 or y == 0 or x == PLATE_W - 1 or y == PLATE_H - 1:
                v = 0.0
            else:
                dl = x - 1
                dt = y - 1
                dr = PLATE_W - 2 - x
                db = PLATE_H - 2 - y
                sides = []
                if dl < left:
                    sides.append((dl / left, "l", dl))
                if dt < top:
                    sides.append((dt / top, "t", dt))
                if dr < right:
                    sides.append((dr / right, "r", dr))
                if db < bottom:
                    sides.append((db / bottom, "b", db))
                if not sides:
                    v = 0.0
                else:
                    # the nearer bar wins; the corners meet on a mitre
                    sides.sort()
                    _, side, ring = sides[0]
                    if side in "lt":
                        v = lit[ring]
                    else:
                        depth = ring + (4 - (bottom if side == "b" else right))
                        v = shade[depth]
                    # brushed metal: faint streaks along the bar
                    along = x if side in "tb" else y
                    across = ring if side in "tb" else ring + 7
                    v += (hash01(along // 3, across, 71) - 0.5) * 10.0
                    v += (value_noise(along / 9.0, across * 3.1, 73) - 0.5) * 12.0
            v = int(round(clamp(v)))
            row.append((v, v, v))
        rows.append(row)
    return rows


# --------------------------------------------------------------------------------------------
# IDB_BOARD: dusk over the mountains, a lake, pines and a dragon against the moon
# --------------------------------------------------------------------------------------------

BOARD_W, BOARD_H = 308, 293

SKY_STOPS = [
    (0, (12, 14, 40)),
    (40, (24, 26, 70)),
    (85, (58, 44, 104)),
    (120, (122, 70, 116)),
    (148, (196, 108, 98)),
    (170, (238, 164, 104)),
    (190, (250, 204, 138)),
]
GLOW = (255, 196, 128)
GLOW_X, GLOW_Y = 150.0, 178.0


def sky_colour(x, y):
    c = ramp(SKY_STOPS, y)
    dx = (x - GLOW_X) / 125.0
    dy = (y - GLOW_Y) / 55.0
    g = 0.38 * math.exp(-(dx * dx + dy * dy))
    c = mix(c, GLOW, g)
    # darker towards the upper corners
    vx = (x - 154.0) / 154.0
    v = 1.0 - 0.18 * vx * vx * smoothstep(120.0, 0.0, y)
    return (c[0] * v, c[1] * v, c[2] * v)


def ridge_line(seed, base, amp, scale, peaks, width=BOARD_W):
    """Mountain skyline: ridged noise plus a few sharper peaks."""
    ys = []
    for x in range(width):
        n = 0.0
        a = 1.0
        f = 1.0 / scale
        norm = 0.0
        for o in range(5):
            v = value_noise(x * f, 0.5, seed + 17 * o)
            n += a * (1.0 - abs(2.0 * v - 1.0))
            norm += a
            a *= 0.5
            f *= 2.1
        n /= norm
        y = base - amp * n
        for px, ph, pw in peaks:
            t = abs(x - px) / pw
            if t < 1.0:
                y -= ph * (1.0 - t) ** 1.6
        ys.append(y)
    return ys


def hill_line(points, width=BOARD_W, seed=0, wobble=0.0):
    """Smooth profile through (x, y) control points, with a little noise on top."""
    ys = []
    for x in range(width):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            if x0 <= x <= x1:
                y = y0 + (y1 - y0) * smooth((x - x0) / (x1 - x0))
                break
        else:
            y = points[-1][1]
        ys.append(y + (fbm(x / 14.0, 3.3, seed, 3) - 0.5) * wobble)
    return ys


def pine(shape, cx, base, height, width, rng, tiers=None):
    """A fir tree: a thin trunk and tiers of drooping branches."""
    top = base - height
    shape.stroke([(cx, base + 2), (cx, top + height * 0.2)], max(0.5, width * 0.06), max(0.35, width * 0.03))
    tiers = tiers or max(3, int(height / 7))
    for i in range(tiers):
        t0 = i / tiers
        t1 = (i + 1.35) / tiers
        y_top = top + height * t0 * 0.92
        y_bot = min(base - height * 0.06, top + height * t1 * 0.92)
        half = width * 0.5 * (0.22 + 0.78 * ((i + 1) / tiers))
        half *= rng.uniform(0.86, 1.1)
        lean = rng.uniform(-0.08, 0.08) * half
        droop = (y_bot - y_top) * 0.22
        shape.polygon([
            (cx + lean * 0.3, y_top),
            (cx + half * 0.55 + lean, y_bot - droop * 1.4),
            (cx + half + lean, y_bot + droop * 0.4),
            (cx + half * 0.45, y_bot - droop * 0.2),
            (cx, y_bot + droop * 0.1),
            (cx - half * 0.45, y_bot - droop * 0.2),
            (cx - half + lean, y_bot + droop * 0.4),
            (cx - half * 0.55 + lean, y_bot - droop * 1.4),
        ])
    shape.polygon([(cx, top - height * 0.03), (cx + width * 0.07, top + height * 0.12),
                   (cx - width * 0.07, top + height * 0.12)])


MOON_X, MOON_Y, MOON_R = 33.0, 29.0, 16.0
DRAGON_X, DRAGON_Y, DRAGON_S = 39.0, 43.0, 1.0


def dragon_shapes(ox, oy, s):
    """A dragon in flight, facing left, wings raised; origin at the middle of its body.

    Returns (far wing, everything else) so the far wing can be painted a shade lighter."""
    def p(x, y):
        return (ox + x * s, oy + y * s)

    sh = Shape()
    # body: deep chest, slimmer towards the hips
    sh.stroke([p(-7, -2.2), p(-1, -0.6), p(7, 0.8)], 3.6 * s, 2.3 * s)
    # neck curving up to the head
    sh.stroke(bezier(p(-7, -2.2), p(-12, -3.5), p(-15, -7.5), p(-19.5, -9.5), 10), 2.7 * s, 1.6 * s)
    # head: skull, long snout, open jaw, two swept-back horns
    sh.polygon([p(-18.0, -11.0), p(-20.0, -12.4), p(-23.0, -12.0), p(-27.6, -10.8), p(-28.8, -9.7),
                p(-27.0, -9.2), p(-23.2, -9.0), p(-27.2, -6.8), p(-26.6, -6.0), p(-22.0, -7.0),
                p(-18.8, -7.6)])
    sh.polygon([p(-19.2, -11.8), p(-14.4, -15.6), p(-17.6, -10.8)])
    sh.polygon([p(-20.6, -12.2), p(-17.6, -16.6), p(-19.2, -11.6)])
    # tail: a long S ending in a spade
    tail = bezier(p(6, 0.8), p(14, 3.8), p(19, -2.5), p(29, 0.0), 16)
    sh.stroke(tail, 2.1 * s, 0.45 * s)
    sh.polygon([p(28.0, -0.8), p(33.8, -2.6), p(31.6, 0.2), p(33.4, 3.0), p(28.2, 1.0)])
    # legs tucked under
    sh.stroke([p(-4.2, 2.0), p(-2.8, 4.8), p(-5.0, 6.4)], 1.2 * s, 0.55 * s)
    sh.stroke([p(4.0, 1.6), p(6.8, 4.6), p(5.0, 6.8)], 1.3 * s, 0.55 * s)

    def wing(target, rot, scale, dx, dy):
        # arm: shoulder -> elbow -> wrist; from the wrist three long fingers fan out backwards
        # and the membrane between them sags in deep scallops down to the hip
        shoulder, elbow, wrist = (-3.0, -2.5), (-8.5, -11.5), (-4.5, -22.0)
        tips = [(3.5, -34.0), (11.5, -25.0), (15.5, -13.0)]
        root = (6.0, -1.0)
        ca = math.cos(rot)
        sa = math.sin(rot)

        def tr(x, y):
            x, y = (x - shoulder[0]) * scale, (y - shoulder[1]) * scale
            x, y = x * ca - y * sa, x * sa + y * ca
            return p(x + shoulder[0] + dx, y + shoulder[1] + dy)

        poly = [tr(*shoulder), tr(*elbow), tr(*wrist), tr(*tips[0])]
        for a, b in zip(tips, tips[1:] + [root]):
            chord = math.hypot(b[0] - a[0], b[1] - a[1])
            for k in range(1, 10):
                t = k / 10.0
                mx = a[0] + (b[0] - a[0]) * t
                my = a[1] + (b[1] - a[1]) * t
                bow = math.sin(math.pi * t) ** 0.8 * chord * 0.34
                vx, vy = wrist[0] - mx, wrist[1] - my
                vl = math.hypot(vx, vy)
                poly.append(tr(mx + vx / vl * bow, my + vy / vl * bow))
            poly.append(tr(*b))
        target.polygon(poly)
        for tip in tips:
            target.stroke([tr(*wrist), tr(*tip)], 0.7 * s * scale, 0.3 * s * scale)
        target.stroke([tr(*shoulder), tr(*elbow), tr(*wrist)], 1.3 * s * scale, 0.9 * s * scale)
        target.polygon([tr(-4.8, -22.4), tr(-7.4, -25.2), tr(-3.6, -23.0)])   # wrist claw

    far = Shape()
    wing(far, -0.78, 0.8, -1.5, -1.0)      # far wing, raised ahead of the near one
    wing(sh, 0.08, 1.0, 0.0, 0.0)          # near wing
    return far, sh


def paint_moon_and_dragon(cv):
    mx, my, mr = MOON_X, MOON_Y, MOON_R
    for y in range(0, min(cv.h, 150)):
        for x in range(0, min(cv.w, 170)):
            d = math.hypot(x + 0.5 - mx, y + 0.5 - my)
            if d > mr:
                halo = 0.34 * math.exp(-(d - mr) / 8.0) + 0.12 * math.exp(-(d - mr) / 32.0)
                cv.blend(x, y, (214, 202, 228), halo)
    moon = Shape()
    moon.circle(mx, my, mr)

    def moon_colour(x, y):
        d = math.hypot(x + 0.5 - mx, y + 0.5 - my) / mr
        limb = 1.0 - 0.16 * d * d
        m = fbm(x / 6.0, y / 6.0, 21, 3)
        maria = 1.0 - 0.13 * smoothstep(0.5, 0.7, m)
        k = limb * maria
        return (246 * k, 238 * k, 216 * k)
    cv.fill_shape(moon, moon_colour)

    far, near = dragon_shapes(DRAGON_X, DRAGON_Y, DRAGON_S)
    cv.fill_shape(far, lambda x, y: (46, 38, 66), ss=4)
    cv.fill_shape(near, lambda x, y: (12, 9, 24), ss=4)


def paint_board():
    W, H = BOARD_W, BOARD_H
    cv = Canvas(W, H)
    rng = Rng(0x4E6F7276)

    # --- sky, with long soft cloud streaks lit from below
    for y in range(H):
        for x in range(W):
            c = sky_colour(x, y)
            n = fbm(x / 95.0, y / 7.0, 11, 4)
            band = smoothstep(44.0, 70.0, y) * smoothstep(150.0, 112.0, y)
            d = smoothstep(0.52, 0.78, n) * band
            if d > 0.0:
                lit = sky_colour(x, y + 22.0)
                lit = (lit[0] * 1.04, lit[1] * 0.96, lit[2] * 0.98)
                c = mix(c, lit, 0.55 * d)
            # a brushed look: faint horizontal strokes
            c = tuple(v * (1.0 + (fbm(x / 40.0, y / 2.5, 13, 2) - 0.5) * 0.06) for v in c)
            cv.set(x, y, c)

    # --- stars, kept clear of the moon and of the heading
    for _ in range(70):
        x = int(rng.uniform(0, W))
        y = int(rng.uniform(0, 62))
        if 58 <= x <= 268 and 5 <= y <= 44:
            continue
        if (x - 31) ** 2 + (y - 31) ** 2 < 26 ** 2:
            continue
        b = rng.uniform(0.25, 0.85) * smoothstep(70.0, 20.0, y)
        cv.blend(x, y, (235, 232, 255), b)
        if b > 0.6:
            for ddx, ddy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                cv.blend(x + ddx, y + ddy, (200, 200, 250), b * 0.25)

    # --- the moon, and the dragon crossing it
    paint_moon_and_dragon(cv)

    # --- far mountains, hazy violet, rim-lit by the afterglow
    far = ridge_line(31, 140.0, 26.0, 60.0, [(52, 18, 40), (142, 30, 44), (232, 20, 40), (290, 12, 30)])
    near_m = ridge_line(47, 160.0, 22.0, 44.0, [(120, 12, 34), (250, 16, 40)])
    for x in range(W):
        top = far[x]
        for y in range(max(0, int(top)), H):
            a = clamp(y + 1 - top, 0.0, 1.0)
            depth = (y - top) / 60.0
            base = mix((118, 78, 124), (92, 62, 110), min(1.0, depth))
            streak = (fbm(x / 6.0, y / 22.0, 43, 3) - 0.5) * 0.12
            base = tuple(v * (1.0 + streak) for v in base)
            haze = smoothstep(146.0, 170.0, y) * 0.45
            c = mix(base, sky_colour(x, y), 0.35 + haze)
            rim = math.exp(-(y - top) / 1.3) * 0.2
            c = mix(c, (240, 162, 150), rim)
            cv.set(x, y, mix(cv.get(x, y), c, a))
    for x in range(W):
        top = near_m[x]
        for y in range(max(0, int(top)), H):
            a = clamp(y + 1 - top, 0.0, 1.0)
            depth = (y - top) / 40.0
            base = mix((70, 44, 82), (56, 38, 74), min(1.0, depth))
            streak = (fbm(x / 5.0, y / 18.0, 53, 3) - 0.5) * 0.25
            base = tuple(v * (1.0 + streak) for v in base)
            haze = smoothstep(152.0, 172.0, y) * 0.35
            c = mix(base, sky_colour(x, y), 0.12 + haze)
            rim = math.exp(-(y - top) / 1.3) * 0.25
            c = mix(c, (236, 140, 120), rim)
            cv.set(x, y, mix(cv.get(x, y), c, a))

    # --- the lake in the valley, mirroring the glow
    shore = 168.0
    for y in range(int(shore), H):
        for x in range(W):
            my_ = 2.0 * shore - y - 8.0
            c = sky_colour(x, my_)
            c = (c[0] * 0.78, c[1] * 0.76, c[2] * 0.86)
            ripple = fbm(x / 30.0, y * 0.9, 61, 3)
            c = tuple(v * (0.86 + 0.28 * ripple) for v in c)
            glint = smoothstep(0.72, 0.86, fbm(x / 14.0, y * 1.4, 67, 2)) * math.exp(-((x - GLOW_X) / 70.0) ** 2)
            c = mix(c, (255, 214, 160), 0.45 * glint)
            a = clamp(y + 1 - shore, 0.0, 1.0)
            cv.set(x, y, mix(cv.get(x, y), c, a))
    # a thin haze line where the water meets the far shore
    for x in range(W):
        for y in range(int(shore) - 2, int(shore) + 3):
            cv.blend(x, y, (246, 190, 150), 0.22 * (1.0 - abs(y - shore) / 3.0))

    # --- mist over the valley
    for y in range(150, 200):
        for x in range(W):
            m = fbm(x / 50.0, y / 6.0, 71, 3)
            a = 0.30 * math.exp(-((y - 166.0) / 8.0) ** 2) * smoothstep(0.35, 0.75, m)
            cv.blend(x, y, (236, 170, 150), a)

    # --- near hills with a fringe of firs, dark against the water
    hills_l = hill_line([(0, 148), (40, 158), (80, 171), (110, 182), (140, 194), (170, 210)], seed=81, wobble=4.0)
    hills_r = hill_line([(150, 216), (200, 194), (230, 181), (262, 165), (308, 150)], seed=83, wobble=4.0)
    ground = hill_line([(0, 226), (60, 240), (150, 248), (230, 240), (308, 222)], seed=87, wobble=3.0)

    def hill_colour(tone):
        def f(x, y):
            t = fbm(x / 9.0, y / 9.0, 89, 3)
            k = 0.85 + 0.3 * t
            return (tone[0] * k, tone[1] * k, tone[2] * k)
        return f

    def hill_top(x):
        tops = []
        if x <= 170:
            tops.append(hills_l[x])
        if x >= 150:
            tops.append(hills_r[x])
        return min(tops)

    hill_base = hill_colour((40, 30, 52))

    def misty_hill(x, y):
        c = hill_base(x, y)
        xi = min(W - 1, max(0, x))
        return mix(c, (120, 80, 112), 0.45 * math.exp(-max(0.0, y - hill_top(xi)) / 14.0))

    hills = Shape()
    hills.polygon([(0, H + 2)] + [(x, hills_l[x]) for x in range(0, 171)] + [(170, H + 2)])
    hills.polygon([(150, H + 2)] + [(x, hills_r[x]) for x in range(150, W)] + [(W + 2, hills_r[-1]), (W + 2, H + 2)])
    firs = Shape()
    for lo, hi, line in ((0, 170, hills_l), (150, W, hills_r)):
        x = lo + rng.uniform(0, 4)
        while x < hi - 2:
            xi = int(x)
            base = line[xi] + 3.0
            hgt = rng.uniform(9.0, 19.0) * (1.0 + (190.0 - base) / 160.0)
            pine(firs, x, base, hgt, hgt * rng.uniform(0.38, 0.48), rng)
            x += rng.uniform(3.5, 7.5)
    cv.fill_shape(hills, misty_hill, ss=3)
    cv.fill_shape(firs, hill_colour((34, 26, 46)), ss=3)

    # --- the foreground slope and its tall firs framing the view
    front = Shape()
    front.polygon([(-2, H + 2)] + [(x, ground[x]) for x in range(W)] + [(W + 2, ground[-1]), (W + 2, H + 2)])
    cv.fill_shape(front, hill_colour((22, 18, 32)), ss=3)
    trees = Shape()
    for cx, base, hgt, wid in ((9, 300, 190, 44), (38, 296, 118, 34), (-8, 302, 150, 40),
                               (290, 300, 200, 46), (262, 298, 128, 36), (314, 304, 160, 42),
                               (118, 292, 62, 24), (196, 296, 70, 26)):
        pine(trees, cx, base, hgt, wid, rng)
    def tree_colour(x, y):
        t = fbm(x / 4.0, y / 4.0, 97, 2)
        k = 0.8 + 0.4 * t
        return (16 * k, 16 * k, 26 * k)
    cv.fill_shape(trees, tree_colour, ss=3)

    # --- a fine grain so the quantiser has something painterly to keep
    for y in range(H):
        for x in range(W):
            g = (hash01(x, y, 131) - 0.5) * 3.0
            c = cv.get(x, y)
            cv.set(x, y, (c[0] + g, c[1] + g, c[2] + g))

    rows = cv.to_bytes_rows()
    palette = build_palette(rows, 256)
    return palette, dither(rows, palette)


# --------------------------------------------------------------------------------------------
# IDI_APP: a green dragon head on a round dark badge, 16 colours
# --------------------------------------------------------------------------------------------

ICON_PALETTE = [
    (0, 0, 0),          # 0 black (also under transparent pixels)
    (16, 28, 20),       # 1 outline, very dark green
    (22, 30, 70),       # 2 badge, deep blue
    (40, 52, 110),      # 3 badge, lighter blue
    (196, 150, 40),     # 4 badge rim, gold
    (250, 214, 90),     # 5 rim highlight
    (24, 92, 44),       # 6 dark green
    (44, 146, 64),      # 7 green
    (120, 206, 90),     # 8 light green
    (232, 222, 182),    # 9 horn ivory
    (150, 130, 90),     # 10 horn shade
    (255, 230, 40),     # 11 eye yellow
    (232, 88, 24),      # 12 fire orange
    (255, 176, 48),     # 13 fire yellow
    (150, 30, 30),      # 14 mouth red
    (255, 255, 255),    # 15 white (teeth, eye glint)
]


def paint_icon():
    S = 32
    ss = 6
    layers = []   # (shape, colour index)

    badge = Shape()
    badge.circle(16.0, 16.0, 15.6)
    inner = Shape()
    inner.circle(16.0, 16.0, 13.7)

    head = Shape()
    # neck rising from the lower right
    head.polygon([(17.0, 31.5), (18.0, 20.0), (21.0, 13.5), (27.5, 15.0), (29.8, 22.0), (29.0, 31.5)])
    # skull
    head.circle(19.5, 12.5, 6.4)
    # upper snout, pointing left, with a nostril bump
    head.polygon([(19.0, 6.8), (12.0, 8.2), (6.5, 9.2), (3.8, 10.4), (3.4, 12.8), (8.5, 13.6), (20.0, 14.5)])
    # lower jaw, a little open
    head.polygon([(5.0, 19.8), (10.0, 21.4), (17.0, 21.2), (21.5, 18.0), (19.5, 15.5), (9.0, 17.8)])

    belly = Shape()   # lighter plates under the jaw and down the throat
    belly.polygon([(9.0, 18.2), (17.0, 19.6), (21.5, 18.4), (20.5, 31.5), (18.4, 31.5), (19.0, 22.0)])

    shadow = Shape()  # darker green along the back of the neck and under the brow
    shadow.polygon([(25.0, 16.0), (28.0, 16.4), (29.8, 22.0), (29.0, 31.5), (26.0, 31.5), (26.5, 22.0)])

    mouth = Shape()
    mouth.polygon([(3.6, 13.2), (10.0, 14.0), (19.5, 15.0), (10.0, 17.9), (5.2, 19.4)])

    head.polygon(mouth.polys[0][1])   # the open mouth belongs to the head's outline

    teeth = Shape()
    for tx in (5.6, 9.0, 12.4):
        teeth.polygon([(tx, 13.2), (tx + 1.8, 13.6), (tx + 0.9, 15.6)])
    for tx in (7.4, 10.8):
        teeth.polygon([(tx, 18.4), (tx + 1.8, 18.0), (tx + 0.8, 16.2)])

    horns = Shape()
    horns.polygon([(20.0, 7.0), (27.0, 1.2), (30.0, 0.6), (25.5, 5.0), (23.6, 9.0)])
    horns.polygon([(23.2, 10.6), (29.2, 7.6), (31.0, 8.8), (25.0, 13.2)])
    horn_shade = Shape()
    horn_shade.polygon([(23.0, 8.6), (27.0, 4.4), (30.0, 0.6), (25.5, 5.0)])

    spines = Shape()
    for (bx, by) in ((27.5, 15.5), (29.0, 20.5), (29.6, 25.5)):
        spines.polygon([(bx - 1.6, by - 1.0), (bx + 2.3, by + 0.2), (bx - 0.6, by + 2.6)])

    brow = Shape()
    brow.polygon([(13.0, 8.0), (19.0, 7.2), (22.0, 9.6), (16.5, 9.4)])

    eye = Shape()
    eye.polygon([(14.4, 10.8), (16.8, 9.0), (20.6, 9.8), (18.0, 12.6)])
    pupil = Shape()
    pupil.polygon([(17.2, 9.2), (18.2, 9.2), (18.1, 12.4), (17.3, 12.4)])

    nostril = Shape()
    nostril.circle(5.8, 10.9, 0.8)

    flame = Shape()
    flame.polygon([(5.0, 14.6), (1.0, 12.0), (2.2, 14.6), (-0.6, 15.6), (2.0, 16.8), (-0.4, 19.6),
                   (3.0, 18.8), (2.0, 22.4), (6.2, 18.6)])
    flame_core = Shape()
    flame_core.polygon([(5.0, 15.2), (2.6, 15.2), (3.6, 16.8), (2.8, 19.0), (5.8, 17.6)])

    def raster(shape):
        grid = [[0.0] * S for _ in range(S)]
        for x, y, a in shape.coverage(ss):
            if 0 <= x < S and 0 <= y < S:
                grid[y][x] = a
        return grid

    g_badge = raster(badge)
    g_inner = raster(inner)
    g_head = raster(head)
    g_horn = raster(horns)
    g_spine = raster(spines)
    g_flame = raster(flame)
    order = [
        (raster(belly), 8), (raster(shadow), 6), (raster(brow), 6), (raster(mouth), 14),
        (raster(teeth), 15), (raster(horn_shade), 10), (raster(eye), 11), (raster(pupil), 1),
        (raster(nostril), 1), (raster(flame_core), 13),
    ]

    idx = [[0] * S for _ in range(S)]
    mask = [[1] * S for _ in range(S)]
    figure = [[False] * S for _ in range(S)]
    for y in range(S):
        for x in range(S):
            c = None
            if g_badge[y][x] >= 0.5:
                c = 4 if g_inner[y][x] < 0.5 else 2
                if c == 4 and x + y < 20:
                    c = 5
                if (x, y) in ((9, 5), (13, 3), (6, 24), (12, 26)):
                    c = 3
            if g_spine[y][x] >= 0.5:
                c, figure[y][x] = 6, True
            if g_horn[y][x] >= 0.5:
                c, figure[y][x] = 9, True
            if g_head[y][x] >= 0.5:
                c, figure[y][x] = 7, True
            if g_flame[y][x] >= 0.5:
                c, figure[y][x] = 12, True
            if c is not None and figure[y][x]:
                for grid, k in order:
                    if grid[y][x] >= 0.5:
                        c = k
            if c is not None:
                idx[y][x] = c
                mask[y][x] = 0
    # a dark outline round the figure keeps it bold at this size
    out = [row[:] for row in idx]
    for y in range(S):
        for x in range(S):
            if figure[y][x]:
                continue
            near = False
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                xx, yy = x + dx, y + dy
                if 0 <= xx < S and 0 <= yy < S and figure[yy][xx]:
                    near = True
            if near:
                out[y][x] = 1
                mask[y][x] = 0
    return out, mask


# --------------------------------------------------------------------------------------------
# Misc/dragon_bg.bmp: dark overlapping scales, seamless
# --------------------------------------------------------------------------------------------

def paint_scales():
    T = 64
    cw, rh = 16, 8        # scale width and row step; the tile holds 4 x 8 scales
    r = 9.0
    rows = []
    for y in range(T):
        row = []
        for x in range(T):
            best = None
            # each row overlaps the one below it, so the highest row containing the pixel wins
            for j in range(y // rh - 2, y // rh + 2):
                shift = (j % 2) * (cw // 2)
                for i in range((x - shift) // cw - 1, (x - shift) // cw + 2):
                    cx = i * cw + shift + cw / 2.0
                    cy = j * rh
                    d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                    if d <= r:
                        if best is None or j < best[0]:
                            best = (j, i, cx, cy, d)
            j, i, cx, cy, d = best
            t = d / r
            below = (y + 0.5 - cy) / r          # -1 top .. 1 bottom of the scale
            tint = hash01(i % (T // cw), j % (T // rh), 151)
            base = 0.75 + 0.5 * tint
            light = base * (0.55 + 0.55 * smoothstep(-0.6, 0.85, below))
            light *= 1.0 - 0.35 * smoothstep(0.8, 1.0, t)      # dark seam at the rim
            rim = smoothstep(0.78, 0.9, t) * (1.0 - smoothstep(0.9, 1.0, t)) * max(0.0, below)
            cr = 16 + 14 * light + 16 * rim
            cg = 26 + 26 * light + 22 * rim
            cb = 22 + 16 * light + 14 * rim
            n = (hash01(x, y, 157) - 0.5) * 3.0
            row.append(tuple(int(round(clamp(v + n))) for v in (cr, cg, cb)))
        rows.append(row)
    return rows


# --------------------------------------------------------------------------------------------

def main():
    write_file(os.path.join(HERE, "plate.bmp"), bmp24(paint_plate()))
    palette, board = paint_board()
    write_file(os.path.join(HERE, "board.bmp"), bmp8(palette, board))
    icon, mask = paint_icon()
    write_file(os.path.join(HERE, "app.ico"), ico4(ICON_PALETTE, icon, mask))
    write_file(os.path.join(ROOT, "Misc", "dragon_bg.bmp"), bmp24(paint_scales()))


if __name__ == "__main__":
    main()
