#!/usr/bin/env python3
"""Packs a folder into a zip the same way every time: usage
write-zip.py ZIP FOLDER EPOCH. The folder is stored under its own name,
entries in sorted order, every one with the time EPOCH (UTC), fixed
permissions and no extra fields (no local times, owners or ids)."""
import os
import sys
import time
import zipfile


def entry(name, epoch, mode):
    # Zip times count from 1980, in steps of two seconds.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    info = zipfile.ZipInfo(name, date_time=stamp)
    info.create_system = 3  # Unix, so the permissions below are read
    info.external_attr = mode << 16
    return info


def main():
    out, folder, epoch = sys.argv[1], sys.argv[2].rstrip('/'), int(sys.argv[3])
    parent, base = os.path.split(os.path.abspath(folder))
    names = []
    for current, dirs, files in os.walk(os.path.join(parent, base)):
        relative = os.path.relpath(current, parent)
        names.append(relative + '/')
        names.extend(os.path.join(relative, f) for f in files)
    with zipfile.ZipFile(out, 'w') as archive:
        for name in sorted(names):
            if name.endswith('/'):
                info = entry(name, epoch, 0o40755)
                info.external_attr |= 0x10  # the MS-DOS directory flag
                archive.writestr(info, b'')
                continue
            executable = name.lower().endswith('.exe')
            info = entry(name, epoch, 0o100755 if executable else 0o100644)
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(parent, name), 'rb') as f:
                archive.writestr(info, f.read(), compresslevel=9)


if __name__ == '__main__':
    main()
