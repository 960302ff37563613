#!/usr/bin/env python3
"""Writes the digit pictures under resources/pictures/. Run after changing the geometry.

Every segment picture of a set shares its ground picture's view box and size, so the
overlays lie exactly on the ground.
"""
import os

OUT = os.path.join(os.path.dirname(__file__), '..', 'resources', 'pictures')

# The slanted digit in upright coordinates (u across, y down), then skewed so that its bars lie
# under the segment editor's hot spots.
T = 7  # half thickness of a bar
SKEW = 'matrix(1 0 -0.15 1 50.8 0)'


def hbar(u1, u2, cy):
    return [(u1, cy), (u1 + T, cy - T), (u2 - T, cy - T), (u2, cy), (u2 - T, cy + T), (u1 + T, cy + T)]


def vbar(cx, y1, y2):
    return [(cx, y1), (cx + T, y1 + T), (cx + T, y2 - T), (cx, y2), (cx - T, y2 - T), (cx - T, y1 + T)]


BARS = {
    'a': hbar(4, 96, 12),
    'b': vbar(100, 16, 108),
    'c': vbar(100, 116, 208),
    'd': hbar(4, 96, 212),
    'e': vbar(0, 116, 208),
    'f': vbar(0, 16, 108),
    'g': hbar(4, 96, 112),
}
POINT = (180, 212, 9)  # the decimal point: centre and radius, not skewed


def segment(name, fill):
    if name == 'h':
        x, y, r = POINT
        return f'<circle cx="{x}" cy="{y}" r="{r}" fill="{fill}"/>'
    pts = ' '.join(f'{u},{y}' for u, y in BARS[name])
    return f'<polygon transform="{SKEW}" points="{pts}" fill="{fill}"/>'


def svg(width, height, viewbox, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="{viewbox}">\n{body}\n</svg>\n')


def write(name, text):
    with open(os.path.join(OUT, name), 'w', encoding='utf-8') as f:
        f.write(text)


def digit_set(prefix, width, height, viewbox, ground, unlit, lit):
    body = ground + '\n' + '\n'.join(segment(s, unlit) for s in 'abcdefgh')
    write(f'{prefix}-digit.svg', svg(width, height, viewbox, body))
    for s in 'abcdefgh':
        write(f'{prefix}-{s}.svg', svg(width, height, viewbox, segment(s, lit)))


def mini(lit_bar):
    # 12 x 16 upright digit without a decimal point.
    bars = {'a': (3, 1, 6, 2), 'g': (3, 7, 6, 2), 'd': (3, 13, 6, 2),
            'f': (1, 2, 2, 5), 'b': (9, 2, 2, 5), 'e': (1, 9, 2, 5), 'c': (9, 9, 2, 5)}
    body = '\n'.join(
        f'<rect x="{x}" y="{y}" width="{w}" height="{h}" fill="{"#ff0000" if s == lit_bar else "#590000"}"/>'
        for s, (x, y, w, h) in bars.items())
    write(f'mini-{lit_bar}.svg', svg(12, 16, '0 0 12 16', body))


def icon():
    # The digit, shrunk about its centre, on a red square.
    body = ('<rect x="-13" width="226" height="226" fill="#ff0000"/>\n'
            '<g transform="translate(20.2 22.6) scale(0.8)">'
            + ''.join(segment(s, '#3a0000') for s in 'abcdefgh') + '</g>')
    write('icon.svg', svg(32, 32, '-13 0 226 226', body))


def figure():
    # A little figure of segment bars: head, arms, body and legs.
    bars = [(13, 3, 6, 2), (13, 8, 6, 2), (12, 4, 2, 4), (18, 4, 2, 4),  # head
            (15, 11, 2, 9),  # body
            (8, 12, 6, 2), (18, 12, 6, 2),  # arms
            (12, 20, 2, 8), (18, 20, 2, 8), (14, 20, 4, 2)]  # legs
    body = '<rect width="32" height="32" fill="#ff0000"/>\n' + '\n'.join(
        f'<rect x="{x}" y="{y}" width="{w}" height="{h}" fill="#ffffff"/>' for x, y, w, h in bars)
    write('figure.svg', svg(32, 32, '0 0 32 32', body))


def labelled(name, text, width, height, size, fill, color):
    body = (f'<rect width="{width}" height="{height}" rx="3" fill="{fill}"/>\n'
            f'<text x="{width / 2}" y="{height / 2}" font-family="DejaVu Sans, Arial, sans-serif" '
            f'font-weight="bold" font-size="{size}" fill="{color}" text-anchor="middle" '
            f'dominant-baseline="central">{text}</text>')
    write(name, svg(width, height, f'0 0 {width} {height}', body))


if __name__ == '__main__':
    os.makedirs(OUT, exist_ok=True)
    digit_set('editor', 200, 226, '0 0 200 226', '', '#800000', '#ff0000')
    digit_set('preview', 43, 60, '0 -30 200 280',
              '<rect x="0" y="-30" width="200" height="280" fill="#260000"/>', '#6a0000', '#ff0000')
    for bar in 'cgd':
        mini(bar)
    icon()
    figure()
    for n in range(1, 11):
        labelled(f'slot{n}.svg', str(n), 32, 32, 16, '#ff0000', '#ffffff')
    labelled('reset.svg', 'RESET', 110, 32, 15, '#ff0000', '#400000')
    labelled('close.svg', 'ZAVŘÍT', 110, 32, 15, '#ff0000', '#400000')
