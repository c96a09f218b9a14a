# Draws the pictures of the zykConfig applet: its icons (.ico, 16x16 and 32x32,
# in the 16 VGA colours on a transparent background), the picture beside the
# configuration dialog and the language flags (.bmp). Run by hand in this folder
# (`python3 draw.py`) to remake every picture file here.

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 VGA colours; icons use only these so that 4-bit image lists show them as drawn.
BLACK = (0, 0, 0)
MAROON = (128, 0, 0)
GREEN = (0, 128, 0)
OLIVE = (128, 128, 0)
NAVY = (0, 0, 128)
PURPLE = (128, 0, 128)
TEAL = (0, 128, 128)
SILVER = (192, 192, 192)
GREY = (128, 128, 128)
RED = (255, 0, 0)
LIME = (0, 255, 0)
YELLOW = (255, 255, 0)
BLUE = (0, 0, 255)
MAGENTA = (255, 0, 255)
CYAN = (0, 255, 255)
WHITE = (255, 255, 255)


# ---------------------------------------------------------------- drawing primitives

class Canvas:
    """A grid of pixels; None is a transparent pixel, otherwise an (r, g, b) tuple.
    Pixel (x, y) has its centre at the point (x, y)."""

    def __init__(self, w, h, fill=None):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, x, y, c):
        x, y = int(round(x)), int(round(y))
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), both included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.line(x0, y0, x1, y0, c)
        self.line(x0, y1, x1, y1, c)
        self.line(x0, y0, x0, y1, c)
        self.line(x1, y0, x1, y1, c)

    def boxed(self, x0, y0, x1, y1, fill, edge=BLACK):
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, c, dash=0):
        """Bresenham line between two pixel centres; dash > 0 draws every other run of that length."""
        x0, y0, x1, y1 = (int(round(v)) for v in (x0, y0, x1, y1))
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x1 > x0 else -1), (1 if y1 > y0 else -1)
        err, n = dx + dy, 0
        while True:
            if not dash or (n // dash) % 2 == 0:
                self.put(x0, y0, c)
            n += 1
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def polyline(self, pts, c, closed=True):
        n = len(pts) if closed else len(pts) - 1
        for i in range(n):
            (ax, ay), (bx, by) = pts[i], pts[(i + 1) % len(pts)]
            self.line(ax, ay, bx, by, c)

    def fill_where(self, inside, c):
        """Paints every pixel whose centre satisfies inside(x, y); c may be a function of (x, y)."""
        for y in range(self.h):
            for x in range(self.w):
                if inside(x, y):
                    self.px[y][x] = c(x, y) if callable(c) else c

    def polygon(self, pts, c, edge=None):
        self.fill_where(lambda x, y: inside_polygon(pts, x, y), c)
        if edge:
            self.polyline(pts, edge)

    def ellipse(self, cx, cy, rx, ry, c, edge=None):
        """Filled ellipse; with an edge colour, a 1-pixel rim of that colour just inside it."""
        def within(x, y, grow=0.0):
            return ((x - cx) / (rx + grow)) ** 2 + ((y - cy) / (ry + grow)) ** 2 <= 1.0
        if edge:
            self.fill_where(within, edge)
            self.fill_where(lambda x, y: within(x, y, -1.0), c)
        else:
            self.fill_where(within, c)

    def arc(self, cx, cy, r, a0, a1, c, width=1.0):
        """A ring segment of radius r between angles a0 and a1 (degrees, 0 = right, 90 = up)."""
        def on(x, y):
            d = math.hypot(x - cx, y - cy)
            a = math.degrees(math.atan2(cy - y, x - cx))
            a = (a - a0) % 360.0
            return abs(d - r) <= width / 2.0 and a <= (a1 - a0) % 360.0
        self.fill_where(on, c)

    def outline(self, c):
        """Puts a 1-pixel rim of colour c around every opaque shape, outside it."""
        add = []
        for y in range(self.h):
            for x in range(self.w):
                if self.px[y][x] is not None:
                    continue
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    nx, ny = x + dx, y + dy
                    if 0 <= nx < self.w and 0 <= ny < self.h and self.px[ny][nx] is not None:
                        add.append((x, y))
                        break
        for x, y in add:
            self.px[y][x] = c


def inside_polygon(pts, x, y):
    """Even-odd test of the point (x, y) against a polygon given by its corners."""
    inside = False
    n = len(pts)
    for i in range(n):
        (ax, ay), (bx, by) = pts[i], pts[(i + 1) % n]
        if (ay > y) != (by > y):
            cross = ax + (y - ay) * (bx - ax) / (by - ay)
            if x < cross:
                inside = not inside
    return inside


def paste(dst, src, dx=0, dy=0):
    """Copies the opaque pixels of src onto dst."""
    for y in range(src.h):
        for x in range(src.w):
            if src.px[y][x] is not None:
                dst.put(x + dx, y + dy, src.px[y][x])


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# ---------------------------------------------------------------- file writers

def write_bmp(path, canvas):
    """Uncompressed 24-bit bottom-up BMP; transparent pixels are written white."""
    row = (canvas.w * 3 + 3) & ~3
    image = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        line = bytearray()
        for x in range(canvas.w):
            r, g, b = canvas.px[y][x] or WHITE
            line += bytes((b, g, r))
        line += bytes(row - len(line))
        image += line
    offset = 14 + 40
    header = struct.pack('<2sIHHI', b'BM', offset + len(image), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + image)


def ico_image(canvas):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA rows and the 1-bit AND mask, both bottom-up."""
    w, h = canvas.w, canvas.h
    info = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_row = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(w):
            c = canvas.px[y][x]
            if c is None:
                colour += bytes((0, 0, 0, 0))
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                colour += bytes((c[2], c[1], c[0], 255))
        mask += bits
    return info + colour + mask


def write_ico(path, canvases):
    images = [ico_image(c) for c in canvases]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack('<BBBBHHII', c.w % 256, c.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


def make_icon(name, draw):
    canvases = []
    for s in (16, 32):
        c = Canvas(s, s)
        draw(c, s)
        canvases.append(c)
    write_ico(os.path.join(HERE, name), canvases)


# ---------------------------------------------------------------- shared icon motifs

def monitor(c, x0, y0, x1, y1, screen=BLUE, stand=True):
    """A monitor whose bezel spans (x0, y0)-(x1, y1), with a stand below it."""
    big = x1 - x0 > 16
    m = 3 if big else 2
    c.boxed(x0, y0, x1, y1, SILVER)
    c.boxed(x0 + m - 1, y0 + m - 1, x1 - m + 1, y1 - m + 1, screen, GREY)
    # a glint across the top-left of the glass
    g = 4 if big else 2
    c.line(x0 + m + 1, y0 + m + g, x0 + m + g, y0 + m + 1, CYAN if big else TEAL)
    if big:
        c.line(x0 + m + 1, y0 + m + g + 3, x0 + m + g + 3, y0 + m + 1, TEAL)
        c.put(x1 - 3, y1 - 1, LIME)           # the power light
    if stand:
        mx = (x0 + x1) // 2
        if big:
            c.boxed(mx - 3, y1, mx + 4, y1 + 2, GREY)
            c.boxed(mx - 8, y1 + 2, mx + 9, y1 + 4, SILVER)
        else:
            c.rect(mx - 1, y1 + 1, mx + 2, y1 + 1, GREY)
            c.boxed(mx - 4, y1 + 2, mx + 5, y1 + 3, SILVER)


def cube_corners(s):
    """The seven visible corners of an upright cube seen from above, and the hidden one."""
    if s == 32:
        top, ul, ur, mid = (16, 3), (4, 9), (28, 9), (16, 15)
        ll, lr, bot, back = (4, 23), (28, 23), (16, 29), (16, 17)
    else:
        top, ul, ur, mid = (8, 1), (2, 4), (14, 4), (8, 7)
        ll, lr, bot, back = (2, 11), (14, 11), (8, 14), (8, 8)
    return top, ul, ur, mid, ll, lr, bot, back


def solid_cube(c, s, top_c, left_c, right_c, edge=BLACK, inner=None):
    top, ul, ur, mid, ll, lr, bot, _ = cube_corners(s)
    c.polygon([top, ur, mid, ul], top_c)
    c.polygon([ul, mid, bot, ll], left_c)
    c.polygon([mid, ur, lr, bot], right_c)
    inner = inner or edge
    c.line(*ul, *mid, inner)
    c.line(*mid, *ur, inner)
    c.line(*mid, *bot, inner)
    c.polyline([top, ur, lr, bot, ll, ul], edge)


def joystick(c, s, cx=None):
    """A joystick: dark base with a fire button, a grey stick and a red ball."""
    if s == 32:
        cx = 16 if cx is None else cx
        c.boxed(3, 22, 28, 24, SILVER)
        c.boxed(3, 24, 28, 28, GREY)
        c.frame(22, 21, 26, 23, BLACK)   # the fire button
        c.rect(23, 22, 25, 22, RED)
        c.boxed(cx - 1, 10, cx + 1, 23, SILVER)
        c.ellipse(cx, 11, 7, 4, GREY, BLACK)  # the boot round the stick's foot
        c.ellipse(cx, 22.5, 5, 2.5, GREY, BLACK)
        c.boxed(cx - 1, 11, cx + 1, 21, SILVER)
        c.ellipse(cx, 7, 5.6, 5.6, RED, BLACK)
        c.rect(cx - 3, 4, cx - 2, 5, WHITE)
    else:
        cx = 8 if cx is None else cx
        c.boxed(1, 11, 14, 14, GREY)
        c.line(2, 12, 13, 12, SILVER)
        c.put(12, 12, RED)
        c.put(11, 12, RED)
        c.boxed(cx - 1, 5, cx + 1, 12, SILVER)
        c.ellipse(cx, 3.5, 3.1, 3.1, RED, BLACK)
        c.put(cx - 1, 2, WHITE)


# ---------------------------------------------------------------- the icons

def draw_applet(c, s):
    """A game pad in front of a monitor."""
    if s == 32:
        monitor(c, 9, 1, 31, 19, stand=False)
        c.boxed(16, 19, 24, 21, GREY)
        pad = Canvas(32, 32)
        pad.ellipse(7, 24.5, 6, 6, GREY)
        pad.ellipse(21, 24.5, 6, 6, GREY)
        pad.rect(7, 18, 21, 27, GREY)
        pad.outline(BLACK)
        # the top face of the pad, lighter than the grips
        for y in range(32):
            for x in range(32):
                if pad.px[y][x] == GREY and y <= 22 and pad.px[y - 1][x] is not None:
                    pad.px[y][x] = SILVER
        paste(c, pad)
        c.rect(3, 23, 9, 25, BLACK)    # the direction pad
        c.rect(5, 21, 7, 27, BLACK)
        c.put(6, 24, GREY)
        c.ellipse(21, 22, 1.6, 1.6, RED)
        c.ellipse(24, 25, 1.6, 1.6, YELLOW)
        c.ellipse(18, 25, 1.6, 1.6, LIME)
        c.ellipse(21, 28, 1.6, 1.6, BLUE)
        c.rect(12, 21, 13, 21, BLACK)  # start and select
        c.rect(15, 21, 16, 21, BLACK)
    else:
        monitor(c, 4, 0, 15, 10, stand=False)
        c.rect(8, 11, 11, 11, GREY)
        pad = Canvas(16, 16)
        pad.ellipse(3, 12.5, 2.6, 2.6, GREY)
        pad.ellipse(10, 12.5, 2.6, 2.6, GREY)
        pad.rect(3, 10, 10, 14, GREY)
        pad.outline(BLACK)
        paste(c, pad)
        c.rect(2, 12, 4, 12, BLACK)
        c.rect(3, 11, 3, 13, BLACK)
        c.put(10, 11, RED)
        c.put(11, 13, YELLOW)
        c.put(9, 13, LIME)


def draw_display(c, s):
    if s == 32:
        monitor(c, 1, 2, 30, 24)
    else:
        monitor(c, 0, 1, 15, 11)


def draw_render2d(c, s):
    solid_cube(c, s, LIME, GREEN, GREEN, BLACK)


def draw_reference(c, s):
    top, ul, ur, mid, ll, lr, bot, back = cube_corners(s)
    dash = 2 if s == 32 else 1
    for a in (top, ll, lr):
        c.line(*back, *a, SILVER, dash=dash)
    for a, b in ((ul, mid), (mid, ur), (mid, bot)):
        c.line(*a, *b, GREY)
    c.polyline([top, ur, lr, bot, ll, ul], GREY)
    if s == 32:   # a second pixel on the outer edges keeps the frame readable
        c.polyline([(top[0], top[1] + 1), (ur[0] - 1, ur[1]), (lr[0] - 1, lr[1]),
                    (bot[0], bot[1] - 1), (ll[0] + 1, ll[1]), (ul[0] + 1, ul[1])], GREY)
        for p in (top, ul, ur, mid, ll, lr, bot):
            c.put(*p, BLACK)


def draw_raster(c, s):
    solid_cube(c, s, BLUE, BLUE, BLUE, NAVY)


def draw_tnlhal(c, s):
    solid_cube(c, s, YELLOW, OLIVE, MAROON, BLACK)
    # a bright spot where the light strikes the top face
    if s == 32:
        c.ellipse(14, 8, 3, 1.5, WHITE)
    else:
        c.rect(6, 3, 7, 3, WHITE)


def draw_notregistered(c, s):
    if s == 32:
        c.ellipse(15.5, 15.5, 15, 15, RED, MAROON)
        for d in (-1, 0, 1):
            c.line(9 + d, 9, 22 + d, 22, WHITE)
            c.line(22 + d, 9, 9 + d, 22, WHITE)
    else:
        c.ellipse(7.5, 7.5, 7.6, 7.6, RED, MAROON)
        for d in (0, 1):
            c.line(4 + d, 4, 10 + d, 10, WHITE)
            c.line(10 + d, 4, 4 + d, 10, WHITE)


def draw_sound(c, s):
    if s == 32:
        c.boxed(2, 11, 8, 20, GREY)
        c.polygon([(8, 11), (16, 3), (16, 28), (8, 20)], SILVER, BLACK)
        c.line(11, 10, 11, 21, GREY)
        for r in (6, 10, 14):
            c.arc(15, 15.5, r, -40, 40, BLUE, 1.6)
    else:
        c.boxed(0, 5, 3, 10, GREY)
        c.polygon([(3, 5), (8, 1), (8, 14), (3, 10)], SILVER, BLACK)
        for x, y0, y1 in ((10, 6, 9), (13, 4, 11)):   # two waves, drawn as ')'
            c.line(x, y0, x, y1, BLUE)
            c.put(x - 1, y0 - 1, BLUE)
            c.put(x - 1, y1 + 1, BLUE)


def draw_pointer(c, s):
    joystick(c, s)


def draw_feedback(c, s):
    joystick(c, s)
    if s == 32:
        for r in (9, 12.5):
            c.arc(16, 9, r, -40, 40, RED, 1.5)
            c.arc(16, 9, r, 140, 220, RED, 1.5)
    else:
        c.arc(8, 4, 6, -45, 45, RED, 1.2)
        c.arc(8, 4, 6, 135, 225, RED, 1.2)


def draw_keyboard(c, s):
    if s == 32:
        c.boxed(0, 9, 31, 25, SILVER)
        c.line(1, 24, 30, 24, GREY)
        c.put(27, 11, LIME)
        c.put(29, 11, LIME)
        for row, y in enumerate((13, 16, 19)):
            shift = row % 2
            for x in range(2 + shift, 29, 3):
                c.rect(x, y, x + 1, y + 1, WHITE)
                c.line(x, y + 2, x + 1, y + 2, GREY)
        c.rect(8, 22, 22, 22, WHITE)
        c.put(8, 23, GREY)
        c.line(8, 23, 22, 23, GREY)
    else:
        c.boxed(0, 3, 15, 13, SILVER)
        c.line(1, 12, 14, 12, GREY)
        for row, y in enumerate((5, 7, 9)):
            for x in range(2 + row % 2, 14, 2):
                c.put(x, y, BLACK)
        c.line(4, 11, 11, 11, BLACK)


def triangle(s):
    return [(15.5, 2), (30, 28), (1, 28)] if s == 32 else [(7.5, 1), (15, 14), (0, 14)]


def draw_flat(c, s):
    pts = triangle(s)
    c.polygon(pts, BLUE)
    c.polyline([(round(x), y) for x, y in pts], NAVY)


def draw_gouraud(c, s):
    pts = triangle(s)
    bands = (WHITE, CYAN, BLUE, NAVY)
    # light falls from the left: the bands darken towards the right corner
    ts = [x + 0.3 * y for x, y in pts]
    lo, hi = min(ts), max(ts)

    def shade(x, y):
        t = (x + 0.3 * y - lo) / (hi - lo)
        return bands[min(len(bands) - 1, int(t * len(bands)))]
    c.polygon(pts, shade)
    c.polyline([(round(x), y) for x, y in pts], NAVY)


ICONS = [
    ('applet.ico', draw_applet),
    ('display.ico', draw_display),
    ('render2d.ico', draw_render2d),
    ('reference.ico', draw_reference),
    ('raster.ico', draw_raster),
    ('tnlhal.ico', draw_tnlhal),
    ('notregistered.ico', draw_notregistered),
    ('sound.ico', draw_sound),
    ('pointer.ico', draw_pointer),
    ('feedback.ico', draw_feedback),
    ('keyboard.ico', draw_keyboard),
    ('flat.ico', draw_flat),
    ('gouraud.ico', draw_gouraud),
]


# ---------------------------------------------------------------- the dialog picture

FONT = {   # 5 x 7 capitals
    'Z': ['#####', '....#', '...#.', '..#..', '.#...', '#....', '#####'],
    'Y': ['#...#', '#...#', '.#.#.', '..#..', '..#..', '..#..', '..#..'],
    'K': ['#...#', '#..#.', '#.#..', '##...', '#.#..', '#..#.', '#...#'],
}


def draw_text(c, text, x0, y0, scale, top, bottom, rim, shadow):
    """Pixel-font text with a vertical colour ramp, a dark rim and a drop shadow."""
    glyphs = Canvas(c.w, c.h)
    x = x0
    for ch in text:
        for gy, row in enumerate(FONT[ch]):
            for gx, bit in enumerate(row):
                if bit == '#':
                    glyphs.rect(x + gx * scale, y0 + gy * scale,
                                x + gx * scale + scale - 1, y0 + gy * scale + scale - 1, True)
        x += 6 * scale
    height = 7 * scale
    for y in range(c.h):
        for x in range(c.w):
            if glyphs.px[y][x] is None and any(
                    0 <= x + dx < c.w and 0 <= y + dy < c.h and glyphs.px[y + dy][x + dx]
                    for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                c.px[y][x] = rim
    for y in range(c.h - 2):
        for x in range(c.w - 2):
            if glyphs.px[y][x] and not glyphs.px[y + 2][x + 2] and c.px[y + 2][x + 2] != rim:
                c.px[y + 2][x + 2] = mix(c.px[y + 2][x + 2], shadow, 0.6)
    for y in range(c.h):
        for x in range(c.w):
            if glyphs.px[y][x]:
                c.px[y][x] = mix(top, bottom, (y - y0) / max(1, height - 1))


def vnorm(v):
    d = math.sqrt(sum(a * a for a in v))
    return tuple(a / d for a in v)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


class Scene:
    """A small ray-traced scene: a turned cube and a ball on a grid floor under a sky."""
    light = vnorm((-0.5, 1.0, -0.25))
    cube_centre, cube_half, cube_turn = (-0.35, 0.8, 0.4), 0.8, math.radians(32)
    ball_centre, ball_radius = (1.45, 0.45, -0.6), 0.45
    cube_colour, ball_colour = (245, 170, 40), (225, 45, 50)
    sky_top, sky_low = (80, 145, 230), (215, 235, 255)
    floor_near, floor_lines, haze = (140, 205, 120), (60, 140, 80), (200, 228, 235)

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.eye = (0.0, 3.0, -5.4)
        ahead = vnorm((0.0, 0.5 - self.eye[1], 0.0 - self.eye[2]))
        right = vnorm((ahead[2], 0.0, -ahead[0]))
        up = (ahead[1] * right[2] - ahead[2] * right[1],
              ahead[2] * right[0] - ahead[0] * right[2],
              ahead[0] * right[1] - ahead[1] * right[0])
        self.axes = ahead, right, up
        self.zoom = 0.9
        self.lift = 0.24   # raises the view so the sky has room for the title

    def ray(self, sx, sy):
        ahead, right, up = self.axes
        u = (sx - self.w / 2) / self.h * self.zoom
        v = (self.h / 2 - sy) / self.h * self.zoom + self.lift
        return vnorm(tuple(ahead[i] + u * right[i] + v * up[i] for i in range(3)))

    def hit_cube(self, o, d):
        cx, cy, cz = self.cube_centre
        cs, sn = math.cos(self.cube_turn), math.sin(self.cube_turn)

        def local(v):  # turn about the vertical axis into the cube's own frame
            return (v[0] * cs - v[2] * sn, v[1], v[0] * sn + v[2] * cs)
        lo = local((o[0] - cx, o[1] - cy, o[2] - cz))
        ld = local(d)
        t0, t1, axis, sign = -1e9, 1e9, 0, 1.0
        for i in range(3):
            if abs(ld[i]) < 1e-12:
                if abs(lo[i]) > self.cube_half:
                    return None
                continue
            a = (-self.cube_half - lo[i]) / ld[i]
            b = (self.cube_half - lo[i]) / ld[i]
            near_sign = -1.0 if a < b else 1.0
            a, b = min(a, b), max(a, b)
            if a > t0:
                t0, axis, sign = a, i, near_sign
            t1 = min(t1, b)
        if t0 > t1 or t0 < 1e-6:
            return None
        n = [0.0, 0.0, 0.0]
        n[axis] = sign
        # turn the normal back into the world
        world_n = (n[0] * cs + n[2] * sn, n[1], -n[0] * sn + n[2] * cs)
        return t0, world_n

    def hit_ball(self, o, d):
        oc = tuple(o[i] - self.ball_centre[i] for i in range(3))
        b = dot(oc, d)
        disc = b * b - (dot(oc, oc) - self.ball_radius ** 2)
        if disc < 0:
            return None
        t = -b - math.sqrt(disc)
        if t < 1e-6:
            return None
        p = tuple(o[i] + t * d[i] for i in range(3))
        return t, vnorm(tuple(p[i] - self.ball_centre[i] for i in range(3)))

    def shadowed(self, p):
        return self.hit_cube(p, self.light) or self.hit_ball(p, self.light)

    def lit(self, base, n, d, shine):
        diffuse = max(0.0, dot(n, self.light))
        refl = tuple(d[i] - 2 * dot(d, n) * n[i] for i in range(3))
        spec = max(0.0, dot(refl, self.light)) ** 24 * shine
        ambient = 0.3 + 0.25 * n[1]     # more light from the sky than from the ground
        return tuple(min(255.0, base[i] * (ambient + 0.75 * diffuse) + 255 * spec) for i in range(3))

    def sample(self, sx, sy):
        o, d = self.eye, self.ray(sx, sy)
        hits = [h + (k,) for h, k in ((self.hit_cube(o, d), 'cube'), (self.hit_ball(o, d), 'ball')) if h]
        if hits:
            t, n, kind = min(hits)
            if kind == 'cube':
                return self.lit(self.cube_colour, n, d, 0.25)
            return self.lit(self.ball_colour, n, d, 0.8)
        if d[1] < 0:
            t = -o[1] / d[1]
            px, pz = o[0] + t * d[0], o[2] + t * d[2]
            fx, fz = px % 1.0, pz % 1.0
            on_line = min(fx, 1 - fx) < 0.035 or min(fz, 1 - fz) < 0.035
            c = self.floor_lines if on_line else self.floor_near
            if self.shadowed((px, 0.0, pz)):
                c = tuple(v * 0.62 for v in c)
            return mix(c, self.haze, min(1.0, (t / 30.0) ** 1.5))
        return mix(self.sky_low, self.sky_top, min(1.0, d[1] * 3.2))

    def render(self, ss=4):
        c = Canvas(self.w, self.h)
        for y in range(self.h):
            for x in range(self.w):
                acc = [0.0, 0.0, 0.0]
                for j in range(ss):
                    for i in range(ss):
                        s = self.sample(x + (i + 0.5) / ss, y + (j + 0.5) / ss)
                        for k in range(3):
                            acc[k] += s[k]
                c.px[y][x] = tuple(int(round(a / (ss * ss))) for a in acc)
        return c


def draw_picture():
    c = Scene(109, 94).render()
    draw_text(c, 'ZYK', 29, 6, 3, WHITE, (255, 225, 90), (30, 50, 120), (20, 40, 90))
    return c


# ---------------------------------------------------------------- the flags

def brighter(c, amount=0.12):
    return mix(c, WHITE, amount)


UK_CORNER = ['RWBBB',   # the top-left quarter; the others are its mirror images
             'WRWBB',
             'BWRWB',
             'BBWRW']


def flag_uk(w, h):
    colours = {'B': (1, 33, 105), 'R': (200, 16, 46), 'W': WHITE}
    f = Canvas(w, h, colours['B'])
    qw, qh = len(UK_CORNER[0]), len(UK_CORNER)
    for y, row in enumerate(UK_CORNER):
        for x, ch in enumerate(row):
            for fx, fy in ((x, y), (w - 1 - x, y), (x, h - 1 - y), (w - 1 - x, h - 1 - y)):
                f.px[fy][fx] = colours[ch]
    # the upright cross, white-edged, fills what the four quarters leave
    f.rect(qw, 0, w - 1 - qw, h - 1, colours['W'])
    f.rect(0, qh, w - 1, h - 1 - qh, colours['W'])
    f.rect(qw + 1, 0, w - 2 - qw, h - 1, colours['R'])
    f.rect(0, qh + 1, w - 1, h - 2 - qh, colours['R'])
    return f


def flag_fr(w, h):
    f = Canvas(w, h, WHITE)
    third = (w + 1) // 3
    f.rect(0, 0, third - 1, h - 1, (0, 35, 149))
    f.rect(w - third, 0, w - 1, h - 1, (237, 41, 57))
    return f


def flag_de(w, h):
    f = Canvas(w, h)
    f.rect(0, 0, w - 1, h // 3 - 1, BLACK)
    f.rect(0, h // 3, w - 1, 2 * h // 3 - 1, (221, 0, 0))
    f.rect(0, 2 * h // 3, w - 1, h - 1, (255, 206, 0))
    return f


def flag_es(w, h):
    f = Canvas(w, h, (255, 196, 0))
    f.rect(0, 0, w - 1, h // 4 - 1, (198, 11, 30))
    f.rect(0, h - h // 4, w - 1, h - 1, (198, 11, 30))
    return f


FLAGS = [('uk', flag_uk), ('fr', flag_fr), ('de', flag_de), ('es', flag_es)]


def flag_picture(make, current):
    """16x16: the flag in a 1-pixel frame on the dialog's grey; the current one
    is brighter and framed in yellow."""
    c = Canvas(16, 16, SILVER)
    f = make(14, 12)
    for y in range(f.h):
        for x in range(f.w):
            col = f.px[y][x]
            c.px[y + 2][x + 1] = brighter(col) if current else col
    c.frame(0, 1, 15, 14, YELLOW if current else GREY)
    return c


# ---------------------------------------------------------------- main

def main():
    for name, draw in ICONS:
        make_icon(name, draw)
    write_bmp(os.path.join(HERE, 'picture.bmp'), draw_picture())
    for lang, make in FLAGS:
        write_bmp(os.path.join(HERE, 'flag_%s.bmp' % lang), flag_picture(make, False))
        write_bmp(os.path.join(HERE, 'flag_%s_current.bmp' % lang), flag_picture(make, True))


if __name__ == '__main__':
    main()
