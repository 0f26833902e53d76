#!/usr/bin/env python3
"""Writes the seed archives of the zip fuzzer into seeds/ (tiny on purpose).

The found-*.zip seeds are inputs the fuzzer once failed on, kept as they are."""
import os
import struct
import zipfile

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'seeds')
os.makedirs(here, exist_ok=True)


def archive(name, entries, compression=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(os.path.join(here, name), 'w', compression) as z:
        for info, data, kw in entries:
            if kw:
                with z.open(info, 'w', **kw) as f:
                    f.write(data)
            else:
                z.writestr(info, data)


archive('stored.zip', [('a.txt', b'hello', None), ('empty', b'', None)], zipfile.ZIP_STORED)
archive('deflated.zip', [('dir/', b'', None), ('dir/sub/t.txt', b'abc' * 40, None)])
archive('names.zip', [('..\\..\\setup.exe', b'x', None), ('C:\\x\\y.exe', b'y', None), ('/abs', b'z', None)])
ut = zipfile.ZipInfo('ut.txt', date_time=(2001, 1, 1, 0, 0, 0))
ut.extra = struct.pack('<HHBi', 0x5455, 5, 1, 1234567890)
ro = zipfile.ZipInfo('ro.txt')
ro.create_system = 0
ro.external_attr = 0x21
archive('attrs.zip', [(ut, b'ut', None), (ro, b'ro', None)])
archive('zip64.zip', [('big.txt', b'z' * 64, {'force_zip64': True})])
link = zipfile.ZipInfo('link')
link.create_system = 3
link.external_attr = 0o120777 << 16
archive('link.zip', [(link, b'../outside', None), ('link/in.txt', b'in', None)])

# ZIP64 end record and locator, as the zip tool writes them when forced.
import subprocess
import tempfile
with tempfile.TemporaryDirectory() as tmp:
    with open(os.path.join(tmp, 'f.txt'), 'wb') as f:
        f.write(b'forced')
    target = os.path.join(here, 'zip64end.zip')
    if os.path.exists(target):
        os.remove(target)
    subprocess.run(['zip', '-q', '-X', '-fz', target, 'f.txt'], cwd=tmp, check=True)
