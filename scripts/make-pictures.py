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


# Height of the capitals and digits of DejaVu Sans Bold, in em.
CAP_HEIGHT = 0.729


def labelled(name, text, width, height, size, fill, color):
    # Qt's SVG renderer ignores dominant-baseline: the baseline is placed so that the capitals
    # (and digits) stand centred in the box; accents reach above them.
    baseline = round(height / 2 + CAP_HEIGHT * size / 2, 2)
    body = (f'<rect width="{width}" height="{height}" rx="3" fill="{fill}"/>\n'
            f'<text x="{width / 2}" y="{baseline}" font-family="DejaVu Sans, Arial, sans-serif" '
            f'font-weight="bold" font-size="{size}" fill="{color}" text-anchor="middle">'
            f'{text}</text>')
    write(name, svg(width, height, f'0 0 {width} {height}', body))


def wiring():
    """The wiring diagram of the help window, 355 x 210: PC lines, MAX 232, 4094, the
    display's pinout and the 9-pin connector seen from the wiring side."""
    out = []
    line = lambda x1, y1, x2, y2, color='#000', w=1: out.append(
        f'<line x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}" stroke="{color}" stroke-width="{w}"/>')
    path = lambda pts, color='#000', w=1: out.append(
        '<polyline fill="none" stroke="%s" stroke-width="%s" points="%s"/>'
        % (color, w, ' '.join(f'{x},{y}' for x, y in pts)))
    text = lambda x, y, s, size=8, anchor='start', color='#000', bold=False: out.append(
        f'<text x="{x}" y="{y}" font-family="DejaVu Sans, Arial, sans-serif" font-size="{size}" '
        f'fill="{color}" text-anchor="{anchor}"' + (' font-weight="bold"' if bold else '') + f'>{s}</text>')
    dot = lambda x, y: out.append(f'<circle cx="{x}" cy="{y}" r="1.8" fill="#000"/>')

    def cap_h(x1, x2, y):  # capacitor on a horizontal wire from x1 to x2
        m = (x1 + x2) / 2
        line(x1, y, m - 2, y)
        line(m + 2, y, x2, y)
        line(m - 2, y - 4, m - 2, y + 4, w=1.5)
        line(m + 2, y - 4, m + 2, y + 4, w=1.5)

    def cap_v(x, y1, y2):  # capacitor on a vertical wire from y1 to y2
        m = (y1 + y2) / 2
        line(x, y1, x, m - 2)
        line(x, m + 2, x, y2)
        line(x - 4, m - 2, x + 4, m - 2, w=1.5)
        line(x - 4, m + 2, x + 4, m + 2, w=1.5)

    V5, GND = 12, 142  # the two supply rails

    # PC side.
    text(2, 15, '+5V', bold=True)
    text(2, 63, 'TxD', bold=True)
    text(2, 83, 'DTR', bold=True)
    text(2, 145, 'GND', bold=True)
    text(2, 38, 'PC', 7)
    line(24, V5, 304, V5)
    line(24, GND, 304, GND)

    # MAX 232: body 110..160 x 30..120.
    out.append('<rect x="110" y="30" width="50" height="90" fill="none" stroke="#000"/>')
    text(135, 73, 'MAX', 8, 'middle', bold=True)
    text(135, 83, '232', 8, 'middle', bold=True)
    # Left: 16 +5 V, 13 TxD in, 8 DTR in, 15 ground.
    path([(110, 40), (96, 40), (96, V5)]); dot(96, V5); text(106, 38, '16', 7, 'end')
    line(24, 60, 110, 60); text(106, 58, '13', 7, 'end')
    line(24, 80, 110, 80); text(106, 78, '8', 7, 'end')
    path([(110, 100), (92, 100), (92, GND)]); dot(92, GND); text(106, 98, '15', 7, 'end')
    # Top: 2 to +5 V through a capacitor; C1 between 1 and 3.
    cap_v(116, V5, 30); dot(116, V5); text(119, 28, '2', 7)
    path([(130, 30), (130, 21)]); path([(148, 30), (148, 21)])
    cap_h(130, 148, 21); text(133, 28, '1', 7); text(151, 28, '3', 7)
    # Bottom: C2 between 4 and 5; 6 to ground through a capacitor.
    path([(116, 120), (116, 130)]); path([(132, 120), (132, 130)])
    cap_h(116, 132, 130); text(119, 127, '4', 7); text(135, 127, '5', 7)
    cap_v(150, 120, GND); dot(150, GND); text(153, 127, '6', 7)
    # Right: 12 (TxD out) to 4094 pin 2, 9 (DTR out) to pin 3.
    line(160, 60, 220, 60); text(164, 58, '12', 7)
    line(160, 80, 220, 80); text(164, 78, '9', 7)

    # 4094: body 220..262 x 30..134.
    out.append('<rect x="220" y="30" width="42" height="104" fill="none" stroke="#000"/>')
    text(241, 140 - 8, '4094', 8, 'middle', bold=True)
    text(216, 58, '2', 7, 'end'); text(224, 63, 'D', 7)
    text(216, 78, '3', 7, 'end'); text(224, 83, 'CLK', 7)
    path([(220, 40), (206, 40), (206, V5)]); dot(206, V5); text(216, 38, '1', 7, 'end')
    text(224, 43, 'STR', 7)
    line(232, 30, 232, V5); dot(232, V5); text(234, 28, '16', 7)
    line(250, 30, 250, V5); dot(250, V5); text(252, 28, '15', 7)
    line(241, 134, 241, GND); dot(241, GND); text(244, 140, '8', 7)
    for i, (pin, seg) in enumerate(zip((4, 5, 6, 7, 14, 13, 12, 11), 'ABCDEFGH')):
        y = 40 + 12 * i
        line(262, y, 276, y)
        text(265, y - 2, str(pin), 7)
        text(279, y + 3, seg, 8, bold=True)
    # Decoupling capacitor across the supply beside the 4094.
    cap_v(300, V5, GND); dot(300, V5); dot(300, GND)

    # The display's pinout.
    dx, dy, dw, dh = 44, 156, 30, 46
    out.append(f'<rect x="{dx}" y="{dy}" width="{dw}" height="{dh}" fill="none" stroke="#000"/>')
    segs = {'a': (dx + 8, dy + 5, 14, 3), 'g': (dx + 8, dy + 21, 14, 3), 'd': (dx + 8, dy + 37, 14, 3),
            'f': (dx + 5, dy + 8, 3, 13), 'b': (dx + 22, dy + 8, 3, 13),
            'e': (dx + 5, dy + 24, 3, 13), 'c': (dx + 22, dy + 24, 3, 13)}
    for name, (x, y, w, h) in segs.items():
        out.append(f'<rect x="{x}" y="{y}" width="{w}" height="{h}" fill="#800000"/>')
    out.append(f'<circle cx="{dx + 27}" cy="{dy + 40}" r="1.8" fill="#800000"/>')
    for name, (x, y) in {'A': (dx + 15, dy + 12), 'B': (dx + 19, dy + 18), 'C': (dx + 19, dy + 34),
                         'D': (dx + 15, dy + 45), 'E': (dx + 11, dy + 34), 'F': (dx + 11, dy + 18),
                         'G': (dx + 15, dy + 29), 'H': (dx + 27, dy + 45)}.items():
        text(x, y, name, 6, 'middle', '#e0c000', True)
    for i, (pin, name) in enumerate([(1, 'G'), (2, 'F'), (3, '+'), (4, 'E'), (5, 'D')]):
        y = dy + 5 + 9 * i
        line(dx - 6, y, dx, y)
        text(dx - 8, y + 3, f'{pin} {name}', 7, 'end')
    for i, (pin, name) in enumerate([(10, 'A'), (9, 'B'), (8, '+'), (7, 'C'), (6, 'H')]):
        y = dy + 5 + 9 * i
        line(dx + dw, y, dx + dw + 6, y)
        text(dx + dw + 8, y + 3, f'{pin} {name}', 7)
    text(128, 172, '+ = společná anoda,', 7)
    text(128, 181, 'piny 3 a 8 na +5V', 7)

    # The 9-pin connector seen from the wiring side: contacts 5 4 3 2 1 above, 9 8 7 6 below.
    out.append('<polygon points="196,167 276,167 268,197 204,197" fill="none" stroke="#000"/>')
    top = [(206 + 15 * i, 175) for i in range(5)]
    for (x, y), n in zip(top, (5, 4, 3, 2, 1)):
        out.append(f'<circle cx="{x}" cy="{y}" r="3" fill="none" stroke="#000"/>')
        text(x, y + 9, str(n), 6, 'middle')
    for i, n in enumerate((9, 8, 7, 6)):
        x = 213 + 15 * i
        out.append(f'<circle cx="{x}" cy="188" r="3" fill="none" stroke="#000"/>')
        text(x + 6, 195, str(n), 5, 'middle')
    for (x, y), (name, color, level) in zip(top, [('GND', '#e00000', 148), ('DTR', '#00a000', 155),
                                                     ('TxD', '#ff8000', 162)]):
        path([(x, y - 3), (x, level), (300, level)], color, 1.5)
        text(303, level + 3, name, 7, color=color, bold=True)
    text(236, 207, 'CANNON 9 ze strany pájení', 7, 'middle')

    write('wiring.svg', svg(355, 210, '0 0 355 210', '\n'.join(out)))


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
    wiring()

