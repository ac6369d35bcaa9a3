#!/usr/bin/python3
"""Generate Tockly's built-in artwork and sounds.

Run with Debian's interpreter from the repository root (or anywhere):

    /usr/bin/python3 tools/gen_assets.py

Needs python3-pil, python3-numpy and lame (apt-get install -y python3-pil
python3-numpy lame).  The output is committed, so a normal build never runs
this.  Every run writes the same bytes: all noise comes from fixed seeds and
no file carries a timestamp.

Pictures (GIF, white #FFFFFF is the window's see-through colour key, so every
picture has hard edges against white and no near-white pixel anywhere):

  clock/resources/gif/201..204.gif   clock faces, 200 x 200, no hands
  clock/resources/gif/1201..1204.gif the same faces at 150 %, 300 x 300
  clock/resources/gif/2201..2204.gif the same faces at 200 %, 400 x 400
      201 classic cream dial, thin dark rim, railway minute track
      202 blue-steel bezel, pale blue-grey dial
      203 turned wooden ring, brass line, parchment dial
      204 graphite rim, pale grey dial, teal accent
  clock/resources/gif/101..114.gif   swinging bell, 14 frames, 100 x 89
  clock/resources/gif/301..302.gif   hourglass, two states, 109 x 142
  clock/resources/tockly.ico         program icon, 16/32/48 px, 32-bit
  clock/resources/Voice/pifu/lanse.gif   extra face, blue, 200 x 200

Face layout: the face circle is centred at (99.5, 100) with radius 98 in
pixel units (the program maps its 199 x 200 client area to x -1..1,
y 1..-1).  The dial is kept plain and light inside radius ~75 because the
program writes the year-month, studio name, day box, time and weekday there.

Sounds (PCM 16-bit mono 22050 Hz unless noted).  Each has its own dominant
frequency so captured audio tells which one played:

  clock/resources/wav/401.wav            warning, 1.5 s, alternating
                                         1000 Hz / 1500 Hz beeps (6 x 0.25 s)
  Voice/NaoLing/alarm_bell.mp3           alarm, 4 s, 880 Hz electric bell
                                         (MP3 22050 Hz mono, CBR 32 kbit/s)
  Voice/NaoLing/alarm_chirp.mp3          alarm, 4 s, 660 Hz chirps in
                                         groups of three (MP3 as above)
  Voice/Mati/fatiao3.wav                 tick, 80 ms, 2000 Hz click
  Voice/Mati/tick_wood.wav               tick, 70 ms, 1200 Hz wood block
  Voice/ZhengDian/正点.wav               full hour, 2.2 s, three 523 Hz
                                         (C5) bell strikes
  Voice/ZhengDian/半点.wav               half hour, 1.2 s, one 784 Hz (G5)
                                         bell strike
"""

import io
import math
import struct
import subprocess
import sys
import wave
from pathlib import Path

import numpy as np
from PIL import Image, ImageDraw

ROOT = Path(__file__).resolve().parent.parent
RES = ROOT / "clock" / "resources"
GIF_DIR = RES / "gif"
WAV_DIR = RES / "wav"
VOICE = RES / "Voice"

SR = 22050
SS = 4  # supersampling factor for pictures

# Anything with every channel at or above this would read as white on the
# desktop (a halo round the picture) or punch a hole into it.
NEAR_WHITE = 235


# ---------------------------------------------------------------------------
# Picture helpers
# ---------------------------------------------------------------------------

class Canvas:
    """Supersampled drawing surface with a coverage mask.

    Colours are only ever averaged among covered samples, so the final
    picture never blends into the white see-through background."""

    def __init__(self, w, h, ss=SS, scale=1):
        """w x h in drawing units; the picture has w * scale x h * scale
        pixels, so one drawing makes the 100 %, 150 % and 200 % pictures."""
        self.w, self.h, self.ss = round(w * scale), round(h * scale), ss
        self.unit = ss * scale  # samples per drawing unit
        H, W = self.h * ss, self.w * ss
        self.rgb = np.zeros((H, W, 3), np.float64)
        self.cov = np.zeros((H, W), bool)
        ys, xs = np.mgrid[0:H, 0:W]
        self.x = (xs + 0.5) / self.unit
        self.y = (ys + 0.5) / self.unit

    def fill(self, mask, color, alpha=1.0):
        """Paint colour (tuple or HxWx3 array) where mask, with alpha blend
        over what is there already.  Marks the samples as covered."""
        mask = np.asarray(mask, bool)
        if not mask.any():
            return
        col = np.asarray(color, np.float64)
        if col.ndim == 3:
            col = col[mask]
        a = alpha[mask][:, None] if isinstance(alpha, np.ndarray) else alpha
        self.rgb[mask] = self.rgb[mask] * (1 - a) + col * a
        self.cov |= mask

    def shade(self, mask, factor):
        """Multiply covered colours by factor (scalar or array)."""
        mask = np.asarray(mask, bool) & self.cov
        f = factor[mask][:, None] if isinstance(factor, np.ndarray) else factor
        self.rgb[mask] = self.rgb[mask] * f

    def poly_mask(self, pts):
        img = Image.new("L", (self.w * self.ss, self.h * self.ss), 0)
        ImageDraw.Draw(img).polygon(
            [(px * self.unit, py * self.unit) for px, py in pts], fill=255)
        return np.asarray(img) > 127

    def result(self):
        ss = self.ss
        cov = self.cov.reshape(self.h, ss, self.w, ss).astype(np.float64)
        n = cov.sum(axis=(1, 3))
        rgb = (self.rgb * self.cov[..., None]).reshape(
            self.h, ss, self.w, ss, 3).sum(axis=(1, 3))
        inside = n >= (ss * ss) / 2.0
        with np.errstate(invalid="ignore", divide="ignore"):
            rgb = np.where(n[..., None] > 0, rgb / np.maximum(n, 1)[..., None], 0)
        rgb = np.clip(np.round(rgb), 0, 255).astype(np.uint8)
        return rgb, inside


def polar(c, cx, cy):
    dx, dy = c.x - cx, c.y - cy
    r = np.hypot(dx, dy)
    th = np.arctan2(dx, -dy)  # 0 at twelve o'clock, clockwise
    return r, th


def lerp_col(a, b, t):
    a = np.asarray(a, np.float64)
    b = np.asarray(b, np.float64)
    t = np.clip(t, 0, 1)[..., None]
    return a + (b - a) * t


def tick_mask(r, th, n, r0, r1, width):
    """Radial tick marks: n of them, between radii r0..r1, width in px."""
    step = 2 * math.pi / n
    k = np.round(th / step)
    d = (th - k * step) * r  # arc distance to nearest tick centre line
    return (np.abs(d) <= width / 2) & (r >= r0) & (r <= r1), k.astype(int) % n


def dot_mask(c, cx, cy, n, radius, dot_r, skip_every=0):
    m = np.zeros(c.cov.shape, bool)
    for i in range(n):
        if skip_every and i % skip_every == 0:
            continue
        a = 2 * math.pi * i / n
        px = cx + radius * math.sin(a)
        py = cy - radius * math.cos(a)
        m |= (c.x - px) ** 2 + (c.y - py) ** 2 <= dot_r ** 2
    return m


def no_near_white(rgb, inside):
    """Pull any near-white colour inside the picture down to a cream."""
    rgb = rgb.copy()
    nw = inside & (rgb.min(axis=2) >= NEAR_WHITE)
    if nw.any():
        sub = rgb[nw]
        j = sub.argmin(axis=1)
        sub[np.arange(len(sub)), j] = NEAR_WHITE - 10
        rgb[nw] = sub
    return rgb


def save_gif(path, rgb, inside, colors=48):
    """Quantise the covered part to a small palette and add white for the
    see-through part."""
    rgb = no_near_white(rgb, inside)
    inner = rgb[inside]
    fill = inner.mean(axis=0).round().astype(np.uint8) if len(inner) else (0, 0, 0)
    work = rgb.copy()
    work[~inside] = fill
    q = Image.fromarray(work, "RGB").quantize(
        colors=colors, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    idx = np.asarray(q).copy()
    pal = np.array(q.getpalette()[:3 * colors], np.int32).reshape(-1, 3)
    if len(pal) < colors:
        pal = np.vstack([pal, np.zeros((colors - len(pal), 3), np.int32)])
    # Averaging in the quantiser could in theory land on a near-white entry.
    for i in range(colors):
        if pal[i].min() >= NEAR_WHITE:
            pal[i][pal[i].argmin()] = NEAR_WHITE - 10
    white = colors
    idx[~inside] = white
    pal = np.vstack([pal, [[255, 255, 255]]])
    out = Image.fromarray(idx.astype(np.uint8), "P")
    out.putpalette([int(v) for v in pal.flatten()])
    path.parent.mkdir(parents=True, exist_ok=True)
    out.save(path, format="GIF", optimize=False)


# ---------------------------------------------------------------------------
# Clock faces
# ---------------------------------------------------------------------------

FACE_W = FACE_H = 200
CX, CY, R = 99.5, 100.0, 98.0


def face_classic(scale=1):
    c = Canvas(FACE_W, FACE_H, scale=scale)
    r, th = polar(c, CX, CY)
    disc = r <= R
    # Cream dial, a touch warmer towards the edge.
    c.fill(disc, lerp_col((252, 247, 230), (241, 230, 203), (r / R) ** 2))
    # Railway minute track between two fine circles.
    for rr in (84.0, 91.0):
        c.fill(np.abs(r - rr) <= 0.45, (92, 78, 66))
    ticks, k = tick_mask(r, th, 60, 84.0, 91.0, 0.9)
    c.fill(ticks & (k % 5 != 0), (92, 78, 66))
    big, k = tick_mask(r, th, 60, 81.0, 91.0, 2.0)
    c.fill(big & (k % 5 == 0), (60, 50, 44))
    # Faint inner ring framing the text area.
    c.fill(np.abs(r - 77.0) <= 0.35, (205, 186, 150))
    # Thin dark rim with a small gold line inside it.
    c.fill(disc & (r >= 94.0), lerp_col((70, 58, 48), (34, 28, 24), (r - 94) / 4))
    c.fill(np.abs(r - 93.2) <= 0.6, (190, 150, 80))
    return c.result()


def face_steel(scale=1):
    c = Canvas(FACE_W, FACE_H, scale=scale)
    r, th = polar(c, CX, CY)
    disc = r <= R
    # Pale blue-grey dial with a soft radial fall-off.
    c.fill(disc, lerp_col((228, 236, 245), (200, 214, 230), (r / 84.0) ** 2))
    # Minute dots just inside the bezel.
    c.fill(dot_mask(c, CX, CY, 60, 79.0, 0.75, skip_every=5), (96, 116, 146))
    c.fill(dot_mask(c, CX, CY, 12, 79.0, 1.5), (60, 80, 112))
    # Bezel: brushed steel blue, lit from the upper left.
    bez = disc & (r >= 84.0)
    light = 0.5 + 0.5 * np.cos(th + math.pi / 4)  # bright at ten-thirty
    light2 = 0.5 + 0.5 * np.cos(2 * th + math.pi / 2) * 0.35
    t = np.clip(0.15 + 0.7 * light * light2 + 0.15 * light, 0, 1)
    base = lerp_col((58, 84, 122), (176, 198, 222), t)
    # Rounded profile: highlight on the ridge around r = 90.
    prof = 1.0 - ((r - 90.5) / 8.0) ** 2 * 0.55
    c.fill(bez, base)
    c.shade(bez, np.clip(prof, 0.4, 1.1))
    # Knurled outer edge.
    knurl = bez & (r >= 95.5) & (np.cos(120 * th) > 0.2)
    c.shade(knurl, 0.72)
    c.fill(disc & (r >= 97.0), (28, 42, 66))
    c.fill(bez & (r <= 85.2), (30, 46, 72))
    return c.result()


def face_wood(scale=1):
    c = Canvas(FACE_W, FACE_H, scale=scale)
    r, th = polar(c, CX, CY)
    disc = r <= R
    rng = np.random.RandomState(203)
    # Parchment dial.
    c.fill(disc, lerp_col((250, 239, 214), (234, 214, 176), (r / 76.0) ** 2.2))
    ticks, k = tick_mask(r, th, 60, 70.5, 74.0, 0.8)
    c.fill(ticks & (k % 5 != 0), (130, 92, 56))
    # Wooden ring with plank grain.
    ring = disc & (r >= 78.0)
    x, y = c.x, c.y
    warp = 5.0 * np.sin(x / 23.0) + 2.5 * np.sin(x / 9.0 + y / 31.0)
    grain = np.sin((y + warp) * 0.55)
    fine = np.sin((y + warp * 1.3) * 2.1 + 0.5 * np.sin(x / 5.0))
    noise = rng.uniform(-1, 1, size=(FACE_H // 2, FACE_W // 2))
    grain_px = round(2 * SS * scale)
    noise = np.kron(noise, np.ones((grain_px, grain_px)))
    t = 0.5 + 0.28 * grain + 0.12 * fine + 0.08 * noise
    wood = lerp_col((104, 58, 26), (184, 122, 62), t)
    c.fill(ring, wood)
    # Turned profile: darker at both edges, lit from the upper left.
    mid = (r - 88.0) / 10.0
    prof = 1.05 - 0.45 * mid ** 2
    light = 0.92 + 0.12 * np.cos(th + math.pi / 4)
    c.shade(ring, np.clip(prof * light, 0.45, 1.15))
    c.fill(disc & (r >= 97.2), (70, 38, 18))
    # Brass line between wood and dial.
    brass = (r >= 76.0) & (r < 78.0)
    c.fill(brass, lerp_col((214, 172, 84), (150, 110, 40), 0.5 - 0.5 * np.cos(th + math.pi / 4)))
    return c.result()


def face_modern(scale=1):
    c = Canvas(FACE_W, FACE_H, scale=scale)
    r, th = polar(c, CX, CY)
    disc = r <= R
    # Pale grey dial.
    c.fill(disc, lerp_col((230, 233, 236), (214, 219, 225), (r / 80.0) ** 2))
    # Light minute track ring with clean ticks.
    track = (r >= 78.0) & (r < 90.0)
    c.fill(track, (200, 206, 214))
    ticks, k = tick_mask(r, th, 60, 82.0, 88.0, 1.0)
    c.fill(ticks & (k % 5 != 0), (96, 102, 112))
    big, k = tick_mask(r, th, 12, 80.5, 89.0, 2.4)
    c.fill(big, (44, 48, 56))
    # Teal accent line, then the graphite rim.
    c.fill(np.abs(r - 77.3) <= 0.8, (0, 140, 150))
    rim = disc & (r >= 90.0)
    light = 0.5 + 0.5 * np.cos(th + math.pi / 4)
    c.fill(rim, lerp_col((34, 37, 43), (78, 84, 94), light * (1 - ((r - 94) / 4) ** 2)))
    c.fill(np.abs(r - 90.4) <= 0.45, (18, 20, 24))
    return c.result()


def face_blue(scale=1):
    c = Canvas(FACE_W, FACE_H, scale=scale)
    r, th = polar(c, CX, CY)
    disc = r <= R
    # Sky-blue dial.
    c.fill(disc, lerp_col((214, 231, 248), (186, 210, 238), (r / 80.0) ** 2))
    # Deep blue ring with a sprinkle of stars.
    ring = disc & (r >= 80.0)
    light = 0.5 + 0.5 * np.cos(th + math.pi / 4)
    c.fill(ring, lerp_col((26, 58, 130), (70, 120, 200), light * (1 - ((r - 89) / 9) ** 2)))
    rng = np.random.RandomState(412)
    stars = np.zeros(c.cov.shape, bool)
    for _ in range(38):
        a = rng.uniform(0, 2 * math.pi)
        rr = rng.uniform(83.0, 94.0)
        sr = rng.uniform(0.5, 1.1)
        px, py = CX + rr * math.sin(a), CY - rr * math.cos(a)
        stars |= (c.x - px) ** 2 + (c.y - py) ** 2 <= sr ** 2
    c.fill(stars & ring, (196, 220, 250))
    c.fill(disc & (r >= 96.6), (16, 32, 78))
    c.fill(np.abs(r - 80.3) <= 0.7, (226, 186, 90))
    ticks, k = tick_mask(r, th, 60, 74.5, 77.5, 0.8)
    c.fill(ticks & (k % 5 != 0), (70, 104, 160))
    return c.result()


# ---------------------------------------------------------------------------
# Swinging bell (notice band)
# ---------------------------------------------------------------------------

BELL_W, BELL_H, BELL_FRAMES = 100, 89, 14


def bell_halfwidth(v):
    """Half width of the bell body at distance v below the pivot."""
    t = np.clip((v - 20.0) / 42.0, 0, 1)
    return 11.5 + 5.0 * t + 8.0 * t ** 3


def bell_frame(k):
    c = Canvas(BELL_W, BELL_H)
    px, py = 50.0, 5.0
    phase = 2 * math.pi * k / BELL_FRAMES
    ang = math.radians(18.0) * math.sin(phase)
    # The clapper tends to hang straight and lags a little behind the bell.
    cang = math.radians(18.0) * 0.3 * math.sin(phase - 0.5)

    # Shadow on the shelf below, following the bell.
    sx = px + 40.0 * math.sin(ang)
    shadow = ((c.x - sx) / 26.0) ** 2 + ((c.y - 82.0) / 3.6) ** 2 <= 1
    c.fill(shadow, (176, 170, 160))

    # Ringing marks on both shoulders at the ends of the swing (drawn first
    # so that the bell covers their inner ends).
    if abs(math.sin(phase)) > 0.7:
        for side in (-1, 1):
            lu, lv = side * 8.0, 30.0
            lx = px + lu * math.cos(ang) - lv * math.sin(ang)
            ly = py + lu * math.sin(ang) + lv * math.cos(ang)
            d = np.hypot(c.x - lx, c.y - ly)
            a = np.arctan2(c.y - ly, side * (c.x - lx))
            for rr in (10.0, 14.5):
                c.fill((np.abs(d - rr) <= 0.9) & (np.abs(a + 0.2) <= 0.6), (214, 44, 44))

    def local(a):
        dx, dy = c.x - px, c.y - py
        u = dx * math.cos(a) + dy * math.sin(a)
        v = -dx * math.sin(a) + dy * math.cos(a)
        return u, v

    # Clapper, hanging from inside the crown, swings with a lag.
    cu, cv = local(cang)
    ball = (cu ** 2 + (cv - 66.0) ** 2) <= 5.2 ** 2
    rod = (np.abs(cu) <= 1.1) & (cv >= 20) & (cv <= 64)
    c.fill(ball | rod, lerp_col((150, 100, 40), (90, 58, 22), (cu + 5) / 10))

    u, v = local(ang)
    # Hanger loop.
    loop_r = np.hypot(u, v - 7.0)
    c.fill((loop_r <= 5.0) & (loop_r >= 2.6), (150, 104, 30))
    # Body: domed crown and flaring sides, lip at v = 62..66.
    hw = bell_halfwidth(v)
    crown = (u / 11.5) ** 2 + ((v - 20.0) / 9.0) ** 2 <= 1
    body = crown | ((np.abs(u) <= hw) & (v >= 20.0) & (v <= 62.0))
    lip = (np.abs(u) <= bell_halfwidth(np.full_like(v, 62.0)) + 1.5) & (v > 61.0) & (v <= 66.0)
    lip &= ((np.abs(u) - 22.0) / 4.0) ** 2 + ((v - 62.0) / 4.2) ** 2 <= 1.6
    s = u / np.maximum(hw, 1) + 0.38
    lit = np.clip(1.0 - s * s, 0, 1)
    c.fill(body, lerp_col((168, 112, 20), (250, 206, 70), lit))
    c.fill(lip, lerp_col((150, 98, 18), (222, 170, 52), np.clip(1.0 - (u / 26 + 0.4) ** 2, 0, 1)))
    band = body & (np.abs(v - 50.0) <= 1.3)
    c.shade(band, 0.78)
    # Small red bow at the top.
    bow_l = c.poly_mask([(px - 12, py - 3), (px, py + 2), (px - 12, py + 7)])
    bow_r = c.poly_mask([(px + 12, py - 3), (px, py + 2), (px + 12, py + 7)])
    knot = (c.x - px) ** 2 + (c.y - py - 2) ** 2 <= 2.8 ** 2
    c.fill(bow_l | bow_r, (204, 34, 40))
    c.fill(knot, (160, 20, 28))

    return c.result()


# ---------------------------------------------------------------------------
# Hourglass (time check dialog)
# ---------------------------------------------------------------------------

HG_W, HG_H = 109, 142


def hourglass(state):
    c = Canvas(HG_W, HG_H)
    cx, top, bot = 54.5, 18.0, 124.0
    mid = (top + bot) / 2
    half = (bot - top) / 2
    x, y = c.x, c.y
    t = np.abs(y - mid) / half
    hw = 4.0 + 29.0 * np.clip(t, 0, 1) ** 0.75 * (1 - 0.25 * np.clip(t, 0, 1) ** 8)
    glass = (np.abs(x - cx) <= hw) & (y >= top) & (y <= bot)
    inner = (np.abs(x - cx) <= hw - 1.6) & (y >= top + 1) & (y <= bot - 1)
    c.fill(glass, (104, 138, 168))
    c.fill(inner, lerp_col((188, 214, 234), (214, 232, 244), 1 - np.abs(x - cx + 10) / 24))

    # Glint on the glass (sand covers it where it lies).
    glint = inner & (np.abs(x - (cx - 17 + (y - top) * 0.12)) <= 1.1) & (y > 26) & (y < 50)
    c.fill(glint, (226, 240, 250))

    sand = (226, 176, 86)
    sand_dark = (196, 140, 58)
    if state == 0:
        level, pile = 34.0, 9.0
    else:
        level, pile = 52.0, 22.0
    # Upper bulb: flat top with a small dip over the neck.
    dip = 3.0 * np.exp(-((x - cx) / 6.0) ** 2)
    upper = inner & (y <= mid) & (y >= level + dip)
    c.fill(upper, lerp_col(sand, sand_dark, (y - level) / (mid - level)))
    # Stream through the neck.
    stream = inner & (np.abs(x - cx) <= 0.9) & (y > mid - 2) & (y < bot - pile)
    c.fill(stream, sand_dark)
    # Lower bulb: a rounded pile.
    base = bot - 1.5
    pw = 30.0
    height = pile * np.clip(1 - ((x - cx) / pw) ** 2, 0, 1)
    lower = inner & (y >= mid) & (y >= base - height - 1.5)
    c.fill(lower, lerp_col(sand, sand_dark, np.abs(x - cx) / pw))

    # Wooden end plates and turned posts.
    wood_a, wood_b = (112, 64, 30), (170, 110, 56)
    for y0, y1 in ((6.0, top), (bot, 136.0)):
        plate = (x >= 12) & (x <= 97) & (y >= y0) & (y <= y1)
        c.fill(plate, lerp_col(wood_b, wood_a, (y - y0) / (y1 - y0)))
        c.fill(plate & ((y - y0 < 1.2) | (y1 - y < 1.2)), (80, 44, 20))
    for x0 in (17.0, 86.0):
        bulge = 1.2 * np.sin(np.clip((y - top) / (bot - top), 0, 1) * math.pi * 3) ** 2
        post = (x >= x0 - bulge) & (x <= x0 + 6 + bulge) & (y > top) & (y < bot)
        c.fill(post, lerp_col(wood_b, wood_a, (x - x0) / 6))
    return c.result()


# ---------------------------------------------------------------------------
# Icon
# ---------------------------------------------------------------------------

def icon_image(size):
    ss = 8
    c = Canvas(size, size, ss)
    s = size / 48.0
    cx = cy = size / 2.0
    r, th = polar(c, cx, cy)
    R = size / 2.0 - 0.5
    c.fill(r <= R, (30, 34, 40))
    c.fill(r <= R - 3.2 * s, lerp_col((250, 244, 226), (232, 220, 190), r / R))
    if size >= 32:
        ticks, k = tick_mask(r, th, 12, R - 8.5 * s, R - 4.5 * s, 2.2 * s)
        c.fill(ticks, (60, 60, 66))

    def hand(angle_deg, length, width, col):
        a = math.radians(angle_deg)
        ux, uy = math.sin(a), -math.cos(a)
        d_along = (c.x - cx) * ux + (c.y - cy) * uy
        d_across = (c.x - cx) * (-uy) + (c.y - cy) * ux
        m = (d_along >= -width) & (d_along <= length) & (np.abs(d_across) <= width / 2)
        c.fill(m, col)

    small = size < 32
    hand(305, R * (0.6 if small else 0.53), max(3.2 * s, 1.8), (28, 30, 36))   # hour at ten
    hand(60, R * (0.85 if small else 0.74), max(2.4 * s, 1.5), (28, 30, 36))   # minute at ten past
    if not small:
        hand(180, R * 0.74, 1.2 * s, (210, 36, 36))
    c.fill(r <= max(2.6 * s, 1.3), (200, 30, 30))

    H, W = size * ss, size * ss
    cov = c.cov.reshape(size, ss, size, ss).astype(np.float64)
    n = cov.sum(axis=(1, 3))
    rgb = (c.rgb * c.cov[..., None]).reshape(size, ss, size, ss, 3).sum(axis=(1, 3))
    rgb = np.where(n[..., None] > 0, rgb / np.maximum(n, 1)[..., None], 0)
    alpha = np.round(n / (ss * ss) * 255)
    rgba = np.dstack([np.clip(np.round(rgb), 0, 255), alpha]).astype(np.uint8)
    return rgba


def write_ico(path, sizes=(16, 32, 48)):
    """Classic ICO with 32-bit BGRA DIB entries (plus the AND mask)."""
    blobs = []
    for size in sizes:
        rgba = icon_image(size)
        hdr = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                          0, 0, 0, 0, 0)
        bgra = rgba[::-1, :, [2, 1, 0, 3]].tobytes()
        row = ((size + 31) // 32) * 4
        mask = bytearray()
        for yy in range(size - 1, -1, -1):
            bits = bytearray(row)
            for xx in range(size):
                if rgba[yy, xx, 3] == 0:
                    bits[xx // 8] |= 0x80 >> (xx % 8)
            mask += bits
        blobs.append((size, hdr + bgra + bytes(mask)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(blobs)))
    offset = 6 + 16 * len(blobs)
    for size, data in blobs:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                           len(data), offset)
        offset += len(data)
    for _, data in blobs:
        out += data
    path.write_bytes(bytes(out))


# ---------------------------------------------------------------------------
# Sounds
# ---------------------------------------------------------------------------

def wav_bytes(samples):
    pcm = np.clip(np.round(np.asarray(samples) * 32767), -32768, 32767).astype("<i2")
    buf = io.BytesIO()
    with wave.open(buf, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(SR)
        w.writeframes(pcm.tobytes())
    return buf.getvalue()


def write_wav(path, samples):
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(wav_bytes(samples))


def write_mp3(path, samples):
    path.parent.mkdir(parents=True, exist_ok=True)
    mp3 = subprocess.run(
        ["lame", "--quiet", "-m", "m", "--cbr", "-b", "32", "-q", "2",
         "--resample", "22.05", "--noreplaygain", "-", "-"],
        input=wav_bytes(samples), stdout=subprocess.PIPE, check=True).stdout
    path.write_bytes(mp3)


def timeline(seconds):
    return np.arange(int(round(seconds * SR))) / SR


def fade(x, t_in=0.005, t_out=0.005):
    n_in, n_out = int(t_in * SR), int(t_out * SR)
    x = x.copy()
    if n_in:
        x[:n_in] *= np.linspace(0, 1, n_in)
    if n_out:
        x[-n_out:] *= np.linspace(1, 0, n_out)
    return x


def strike(f, seconds, decay, partials=((1.0, 1.0, 1.0), (2.0, 0.30, 1.8),
                                         (2.76, 0.18, 2.6), (5.40, 0.06, 4.0))):
    """One bell strike: fundamental f dominates, inharmonic partials die
    away faster."""
    t = timeline(seconds)
    y = np.zeros_like(t)
    for ratio, amp, speed in partials:
        y += amp * np.sin(2 * math.pi * f * ratio * t) * np.exp(-t * decay * speed)
    attack = np.minimum(t / 0.002, 1.0)
    return y * attack


def place(total, pieces):
    out = np.zeros(int(round(total * SR)))
    for start, snd in pieces:
        i = int(round(start * SR))
        n = min(len(snd), len(out) - i)
        out[i:i + n] += snd[:n]
    return out


def normalise(x, peak=0.8):
    return x * (peak / np.max(np.abs(x)))


def snd_warning():
    seg = 0.25
    parts = []
    for i in range(6):
        f = 1000.0 if i % 2 == 0 else 1500.0
        t = timeline(seg - 0.02)
        tone = np.sin(2 * math.pi * f * t) + 0.18 * np.sin(2 * math.pi * 3 * f * t)
        parts.append((i * seg, fade(tone, 0.006, 0.012)))
    return normalise(place(1.5, parts), 0.7)


def snd_alarm_bell():
    # Electric bell: the hammer hits about 16 times a second, in rings of
    # one second with short pauses.
    hit = strike(880.0, 0.25, 9.0)
    parts = []
    for ring in range(3):
        t0 = ring * 1.35
        for j in range(16):
            parts.append((t0 + j / 16.0, hit * (0.85 + 0.15 * (j % 2))))
    y = place(4.0, parts)
    return fade(normalise(y, 0.75), 0.002, 0.05)


def snd_alarm_chirp():
    parts = []
    for g in range(5):
        for j in range(3):
            t = timeline(0.09)
            f = 630.0 + 60.0 * t / 0.09   # small upward glide round 660 Hz
            ph = 2 * math.pi * np.cumsum(f) / SR
            tone = np.sin(ph) + 0.12 * np.sin(2 * ph)
            env = np.sin(math.pi * t / 0.09) ** 0.6
            parts.append((g * 0.8 + j * 0.13, tone * env))
    y = place(4.0, parts)
    return normalise(y, 0.75)


def snd_tick_click():
    t = timeline(0.08)
    rng = np.random.RandomState(2000)
    y = np.sin(2 * math.pi * 2000.0 * t) * np.exp(-t / 0.009)
    burst = rng.uniform(-1, 1, len(t)) * np.exp(-t / 0.0008) * 0.35
    return fade(normalise(y + burst, 0.6), 0.0, 0.004)


def snd_tick_wood():
    t = timeline(0.07)
    y = (np.sin(2 * math.pi * 1200.0 * t) * np.exp(-t / 0.012)
         + 0.25 * np.sin(2 * math.pi * 1200.0 * 2.57 * t) * np.exp(-t / 0.004))
    return fade(normalise(y, 0.6), 0.0005, 0.004)


def snd_full_hour():
    hit = strike(523.25, 1.6, 2.2)
    y = place(2.2, [(0.0, hit), (0.6, hit), (1.2, hit)])
    return fade(normalise(y, 0.75), 0.0, 0.08)


def snd_half_hour():
    hit = strike(783.99, 1.2, 2.6)
    return fade(normalise(hit, 0.75), 0.0, 0.08)


# ---------------------------------------------------------------------------

def main():
    GIF_DIR.mkdir(parents=True, exist_ok=True)
    WAV_DIR.mkdir(parents=True, exist_ok=True)
    faces = {201: face_classic, 202: face_steel, 203: face_wood, 204: face_modern}
    for num, fn in faces.items():
        save_gif(GIF_DIR / f"{num}.gif", *fn(), colors=48)
        # The same faces for 150 % and 200 % screens (1201.., 2201..).
        for step, scale in ((1, 1.5), (2, 2)):
            save_gif(GIF_DIR / f"{num + 1000 * step}.gif", *fn(scale), colors=48)
    save_gif(VOICE / "pifu" / "lanse.gif", *face_blue(), colors=48)
    for k in range(BELL_FRAMES):
        save_gif(GIF_DIR / f"{101 + k}.gif", *bell_frame(k), colors=32)
    for k in range(2):
        save_gif(GIF_DIR / f"{301 + k}.gif", *hourglass(k), colors=32)
    write_ico(RES / "tockly.ico")

    write_wav(WAV_DIR / "401.wav", snd_warning())
    write_mp3(VOICE / "NaoLing" / "alarm_bell.mp3", snd_alarm_bell())
    write_mp3(VOICE / "NaoLing" / "alarm_chirp.mp3", snd_alarm_chirp())
    write_wav(VOICE / "Mati" / "fatiao3.wav", snd_tick_click())
    write_wav(VOICE / "Mati" / "tick_wood.wav", snd_tick_wood())
    write_wav(VOICE / "ZhengDian" / "正点.wav", snd_full_hour())
    write_wav(VOICE / "ZhengDian" / "半点.wav", snd_half_hour())
    return 0


if __name__ == "__main__":
    sys.exit(main())
