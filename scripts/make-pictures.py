#!/usr/bin/env python3
"""Writes every picture under resources/pictures/: the digits, the icon and the figure, the save
dialog's buttons and the wiring diagram. Run after changing any of them.

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
    # 12 x 16 upright digit without a decimal point, on a plate of its own: the dark bars would
    # vanish on the chart's black.
    bars = {'a': (3, 1, 6, 2), 'g': (3, 7, 6, 2), 'd': (3, 13, 6, 2),
            'f': (1, 2, 2, 5), 'b': (9, 2, 2, 5), 'e': (1, 9, 2, 5), 'c': (9, 9, 2, 5)}
    body = f'<rect width="12" height="16" rx="1.5" fill="{PLATE}"/>\n' + '\n'.join(
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


# Height of the capitals and digits of DejaVu Sans (Condensed) Bold, in em.
CAP_HEIGHT = 0.729
# The face the program carries with it, so that text in pictures looks the same everywhere.
FONT = 'DejaVu Sans Condensed'
# The light ground of pictures drawn in black, whatever the window behind them.
PLATE = '#ffffff'
# The red of the save dialog's buttons: white numbers and black letters both stand out from it
# by 4.5:1.
BUTTON_RED = '#ed0000'


def labelled(name, text, width, height, size, fill, color):
    # Qt's SVG renderer ignores dominant-baseline: the baseline is placed so that the capitals
    # (and digits) stand centred in the box; accents reach above them.
    baseline = round(height / 2 + CAP_HEIGHT * size / 2, 2)
    body = (f'<rect width="{width}" height="{height}" rx="3" fill="{fill}"/>\n'
            f'<text x="{width / 2}" y="{baseline}" font-family="{FONT}" '
            f'font-weight="bold" font-size="{size}" fill="{color}" text-anchor="middle">'
            f'{text}</text>')
    write(name, svg(width, height, f'0 0 {width} {height}', body))


def wiring():
    """The wiring diagram of the help window, 355 x 210: PC lines, MAX 232, 4094, the
    display's pinout and the 9-pin connector seen from the wiring side.

    Drawn for 1x: no text below 8 px, every label a few pixels clear of lines and other labels.
    Labels are placed by their centre line (capitals centred on it), as Qt renders them. Black on
    a plate of its own, so that it reads on any window.
    """
    out = [f'<rect width="355" height="210" rx="4" fill="{PLATE}"/>']
    line = lambda x1, y1, x2, y2, color='#000', w=1: out.append(
        f'<line x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}" stroke="{color}" stroke-width="{w}"/>')
    path = lambda pts, color='#000', w=1: out.append(
        '<polyline fill="none" stroke="%s" stroke-width="%s" points="%s"/>'
        % (color, w, ' '.join(f'{x},{y}' for x, y in pts)))

    def text(x, cy, s, size=8, anchor='start', color='#000', bold=False):
        baseline = round(cy + CAP_HEIGHT * size / 2, 2)
        out.append(
            f'<text x="{x}" y="{baseline}" font-family="{FONT}" '
            f'font-size="{size}" fill="{color}" text-anchor="{anchor}"'
            + (' font-weight="bold"' if bold else '') + f'>{s}</text>')

    dot = lambda x, y: out.append(f'<circle cx="{x}" cy="{y}" r="1.8" fill="#000"/>')

    def cap_h(x1, x2, y):  # capacitor on a horizontal wire from x1 to x2
        m = (x1 + x2) / 2
        line(x1, y, m - 2, y)
        line(m + 2, y, x2, y)
        line(m - 2, y - 4, m - 2, y + 4, w=1.5)
        line(m + 2, y - 4, m + 2, y + 4, w=1.5)

    def cap_v(x, y1, y2, m=None):  # capacitor on a vertical wire from y1 to y2
        m = (y1 + y2) / 2 if m is None else m
        line(x, y1, x, m - 2)
        line(x, m + 2, x, y2)
        line(x - 4, m - 2, x + 4, m - 2, w=1.5)
        line(x - 4, m + 2, x + 4, m + 2, w=1.5)

    V5, GND = 10, 136  # the two supply rails

    # PC side.
    text(2, V5, '+5V', 9, bold=True)
    text(2, 35, 'PC')
    text(2, 58, 'TxD', 9, bold=True)
    text(2, 74, 'DTR', 9, bold=True)
    text(2, GND, 'GND', 9, bold=True)
    line(28, V5, 300, V5)
    line(28, GND, 300, GND)

    # MAX 232: body 110..166 x 34..104. Pin numbers stand above their wires, outside the body.
    out.append('<rect x="110" y="34" width="56" height="70" fill="none" stroke="#000"/>')
    text(138, 63, 'MAX', 9, 'middle', bold=True)
    text(138, 76, '232', 9, 'middle', bold=True)
    # Left: 16 +5 V, 13 TxD in, 8 DTR in, 15 ground.
    path([(110, 42), (90, 42), (90, V5)]); dot(90, V5); text(106, 37, '16', anchor='end')
    line(28, 58, 110, 58); text(106, 53, '13', anchor='end')
    line(28, 74, 110, 74); text(106, 69, '8', anchor='end')
    path([(110, 90), (86, 90), (86, GND)]); dot(86, GND); text(106, 85, '15', anchor='end')
    # Top: 2 to +5 V through a capacitor; C1 between 1 and 3.
    cap_v(116, V5, 34, m=20); dot(116, V5); text(119, 29, '2')
    path([(130, 34), (130, 22)]); path([(156, 34), (156, 22)])
    cap_h(130, 156, 22); text(133, 29, '1'); text(159, 29, '3')
    # Bottom: C2 between 4 and 5; 6 to ground through a capacitor.
    path([(116, 104), (116, 118)]); path([(134, 104), (134, 118)])
    cap_h(116, 134, 118); text(113, 109, '4', anchor='end'); text(137, 109, '5')
    cap_v(152, 104, GND, m=120); dot(152, GND); text(155, 109, '6')
    # Right: 12 (TxD out) to 4094 pin 2, 9 (DTR out) to pin 3.
    line(166, 58, 222, 58); text(170, 53, '12')
    line(166, 74, 222, 74); text(170, 69, '9')

    # 4094: body 222..264 x 32..123.
    out.append('<rect x="222" y="32" width="42" height="91" fill="none" stroke="#000"/>')
    text(243, 114, '4094', 9, 'middle', bold=True)
    path([(222, 40), (208, 40), (208, V5)]); dot(208, V5); text(218, 35, '1', anchor='end')
    text(226, 40, 'STR')
    text(218, 53, '2', anchor='end'); text(226, 58, 'D')
    text(218, 69, '3', anchor='end'); text(226, 74, 'CLK')
    line(234, 32, 234, V5); dot(234, V5); text(237, 26, '16')
    line(252, 32, 252, V5); dot(252, V5); text(255, 26, '15')
    line(243, 123, 243, GND); dot(243, GND); text(246, 129.5, '8')
    for i, (pin, seg) in enumerate(zip((4, 5, 6, 7, 14, 13, 12, 11), 'ABCDEFGH')):
        y = 40 + 11 * i
        line(264, y, 278, y)
        text(267, y - 5, str(pin))
        text(281, y, seg, 9, bold=True)
    # Decoupling capacitor across the supply beside the 4094.
    cap_v(300, V5, GND); dot(300, V5); dot(300, GND)

    # The display's pinout: a dark body holding the digit, the segment letters beside their
    # bars (g in the upper window, h beside the point).
    dx, dy = 41, 154  # top left corner of the digit, 22 x 41
    out.append(f'<rect x="{dx - 11}" y="{dy - 11}" width="51" height="63" fill="#202020" '
               f'stroke="#000"/>')
    bars = {'a': (3, 0, 16, 3), 'g': (3, 19, 16, 3), 'd': (3, 38, 16, 3),
            'f': (0, 3, 3, 16), 'b': (19, 3, 3, 16), 'e': (0, 22, 3, 16), 'c': (19, 22, 3, 16)}
    for x, y, w, h in bars.values():
        out.append(f'<rect x="{dx + x}" y="{dy + y}" width="{w}" height="{h}" fill="#a00000"/>')
    out.append(f'<circle cx="{dx + 26}" cy="{dy + 39.5}" r="2" fill="#a00000"/>')
    yellow = '#ffd000'
    for name, x, cy, anchor in [('A', 11, -5, 'middle'), ('D', 11, 46, 'middle'),
                                ('F', -2, 11, 'end'), ('E', -2, 30, 'end'),
                                ('B', 24, 11, 'start'), ('C', 24, 30, 'start'),
                                ('G', 11, 14, 'middle'), ('H', 30, 39.5, 'start')]:
        text(dx + x, dy + cy, name, 8, anchor, yellow, True)
    for i, (pin, name) in enumerate([(1, 'G'), (2, 'F'), (3, '+'), (4, 'E'), (5, 'D')]):
        y = 153 + 11 * i
        line(dx - 17, y, dx - 11, y)
        text(dx - 19, y, f'{pin} {name}', anchor='end')
    for i, (pin, name) in enumerate([(10, 'A'), (9, 'B'), (8, '+'), (7, 'C'), (6, 'H')]):
        y = 153 + 11 * i
        line(dx + 40, y, dx + 46, y)
        text(dx + 48, y, f'{pin} {name}')
    text(116, 168, '+ = společná anoda,')
    text(116, 180, 'piny 3 a 8 na +5V')

    # The 9-pin connector seen from the wiring side: contacts 5 4 3 2 1 above, 9 8 7 6 below,
    # each number under its contact.
    out.append('<polygon points="212,171 296,171 288,209 220,209" fill="none" stroke="#000"/>')
    top = [(222 + 16 * i, 179) for i in range(5)]
    for (x, y), n in zip(top, (5, 4, 3, 2, 1)):
        out.append(f'<circle cx="{x}" cy="{y}" r="3" fill="none" stroke="#000"/>')
        text(x, y + 9, str(n), anchor='middle')
    for i, n in enumerate((9, 8, 7, 6)):
        x = 230 + 16 * i
        out.append(f'<circle cx="{x}" cy="194" r="3" fill="none" stroke="#000"/>')
        text(x, 203, str(n), anchor='middle')
    # Lead colours dark enough for their labels to read on the plate (4.5:1).
    for (x, y), (name, color, level) in zip(top, [('GND', '#e00000', 146), ('DTR', '#008000', 156),
                                                     ('TxD', '#b85c00', 166)]):
        path([(x, y - 3), (x, level), (312, level)], color, 1.5)
        text(315, level, name, color=color, bold=True)
    text(302, 182, 'CANNON 9')
    text(302, 192, 'ze strany')
    text(302, 202, 'pájení')

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
        labelled(f'slot{n}.svg', str(n), 32, 32, 16, BUTTON_RED, '#ffffff')
    labelled('reset.svg', 'RESET', 110, 32, 15, BUTTON_RED, '#000000')
    labelled('close.svg', 'ZAVŘÍT', 110, 32, 15, BUTTON_RED, '#000000')
    wiring()

