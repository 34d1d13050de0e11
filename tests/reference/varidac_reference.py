#!/usr/bin/env python3
"""An independent model of the filler run, written from the rules rather
than from the C++ code, to check the companion's outputs byte for byte.

Usage: varidac_reference.py LIST START_TEXT END_TEXT TYPE DECIMAL_SIGN OUTDIR
Writes NAME_test_DA.TXT and NAME_TYPE.BIN into OUTDIR, or prints REFUSED
and the first message line when the run would refuse.
"""
import math
import os
import re
import sys

NUMBER = re.compile(r'[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?')


def read_number(text):
    m = NUMBER.match(text.lstrip(' \t'))
    return float(m.group(0)) if m else 0.0


def number_text(x, lead=' '):
    if x == 0:
        return lead + '0'
    sign = '-' if x < 0 else lead
    mant, exp = ('%.14e' % abs(x)).split('e')
    digits = mant.replace('.', '').rstrip('0') or '0'
    e = int(exp)
    if e < -4 or e >= 15:
        body = digits[0] + ('.' + digits[1:] if len(digits) > 1 else '')
        return sign + body + ('E-' if e < 0 else 'E+') + '%02d' % abs(e)
    if e < 0:
        return sign + '.' + '0' * (-e - 1) + digits
    whole = e + 1
    if len(digits) <= whole:
        return sign + digits + '0' * (whole - len(digits))
    return sign + digits[:whole] + '.' + digits[whole:]


def plain_text(x):
    t = number_text(x, lead='')
    if t.startswith('.'):
        t = '0' + t
    elif t.startswith('-.'):
        t = '-0' + t[1:]
    return t


def zones(fields):
    line = ''
    for i, f in enumerate(fields):
        if i:
            line += ' ' * ((-len(line)) % 14)
        line += f
    return line


def read_list(path):
    with open(path, 'rb') as fh:
        data = fh.read().decode('latin-1')
    fields = []
    for line in re.split(r'\r\n|\n|\r', data):
        if line.strip(' \t') == '':
            continue
        fields += [f.strip(' \t') for f in line.split(',')]
    table = {}
    records = list(zip(fields[0::2], fields[1::2]))
    assert len(fields) % 2 == 0 and records, 'malformed list'
    first = int(float(records[0][0]))
    if number_text(first)[:4] != ' 600':
        return None
    for f, v in records:
        f = int(float(f))
        if 600 <= f <= 1600 and f % 100 == 0:
            table[f // 100] = float(v)
    return table


def run(list_path, start_text, end_text, eprom, sign, outdir):
    name = os.path.basename(list_path).rsplit('.', 1)[0]
    table = [0.0] * 17
    read = read_list(list_path)
    if read is None:
        return 'bad start'
    for i, v in read.items():
        table[i] = v
    start = read_number(start_text)
    end = read_number(end_text)
    rng = end - start
    step = rng / 255
    if not (7.0 < table[16] < 15.0):
        return 'tuning list'
    if table[16] + 0.25 >= read_number(end_text):
        return 'end voltage'
    if table[6] - 0.25 <= read_number(start_text):
        return 'start voltage'

    def code(v):
        try:
            c = math.floor(v / step + 0.5)
        except (ZeroDivisionError, OverflowError, ValueError):
            return None
        return c if 0 <= c <= 255 else None

    image = [255] * 8192

    def bcd(f):
        return int(str(f), 16)

    rows = []
    for r in range(6, 16):
        base = table[r] - start
        kstep = (table[r + 1] - table[r]) / 100
        for k in range(0, 100):
            v = base if k == 0 else k * kstep + base
            c = code(v)
            if c is None:
                return 'code out of range at %d' % (r * 100 + k)
            image[bcd(r * 100 + k)] = c
            rows.append((r * 100 + k, v, c))
    c16 = code(table[16] - start)
    if c16 is None:
        return 'code out of range at 1600'
    image[bcd(1600)] = c16
    image[bcd(1700)] = 255
    for f in range(501, 600):
        image[bcd(f)] = image[bcd(600)]
    for f in range(1601, 1700):
        image[bcd(f)] = image[bcd(1600)]
    image[bcd(500)] = 0

    def table_form(x):
        return number_text(x).replace('.', sign) + ' '

    def da(c):
        return math.floor(100 * (c / 255 * rng) + 0.5) / 100 + start

    s = math.floor(step * 10000 + 0.5) / 10000
    lines = [
        'Start voltage outside D/A range = ' + number_text(start) + ' Volt',
        'Align D/A = 00H at 500.0 setting', ' ',
        'End voltage outside D/A range = ' + number_text(end) + ' Volt',
        'Align D/A = FFH at 1700.0 setting', ' ',
        'Calculated 255 D/A steps = 0' + number_text(s).lstrip(' ') + ' Volt',
        '(required real voltage step per KHz recalculated for every 100 KHz range) ',
        'The total D/A voltage range = ' + plain_text(rng).replace('.', sign) + ' Volt', ' ',
        'Keep in mind that the INT( ) values are ROUNDED values ', ' ',
        zones(['frequency', 'tune-U', 'D/A code  ', 'D/A code ', 'tune-U']),
        zones([' ' * 9, 'required', 'in INT(dec.)', 'in INT(Hex) ', 'D/A']),
    ]
    for f, v, c in rows:
        req = math.floor(v * 100 + 0.5) / 100 + start
        lines.append(zones([table_form(f), table_form(req), table_form(c), '%X' % c, table_form(da(c))]))
    lines.append(zones([' 1600', table_form(table[16]), table_form(c16), '%X' % c16, table_form(da(c16))]))
    copies = {'27C64': 1, '27C128': 2, '27C256': 4, '27C512': 8}[eprom]
    with open(os.path.join(outdir, name + '_test_DA.TXT'), 'wb') as fh:
        fh.write(''.join(l + '\r\n' for l in lines).encode('ascii'))
    with open(os.path.join(outdir, name + '_' + eprom + '.BIN'), 'wb') as fh:
        fh.write(bytes(image) * copies)
    return None


if __name__ == '__main__':
    refused = run(*sys.argv[1:7])
    if refused:
        print('REFUSED', refused)
