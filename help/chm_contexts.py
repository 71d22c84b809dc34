#!/usr/bin/env python3
"""Makes the context topics of a compiled help file relative to the file.

  chm_contexts.py CHM PROJECT_DIR [CHMLS]

chmcmd writes each [ALIAS] topic into #STRINGS as the project folder's
absolute path plus the file name ("/home/.../help/chm/event_edit.html"), and
the viewer looks that name up inside the .chm, where it is not: only the
default topic would ever open. This rewrites those strings as the names the
viewer finds ("/event_edit.html").

The compiled #STRINGS lies in the compressed section, which is not rewritten
here: a corrected copy of the same length (each string keeps its offset, so
#IVB and #TOPICS stay valid; the room a shorter name leaves is NUL) is
appended to the uncompressed section and the directory entry is pointed at
it. The entry keeps its byte length, so the directory chunk keeps its layout.
Exit status 1, with the reason, on a file this cannot read that way.
"""
import os
import struct
import subprocess
import sys
import tempfile


def read_encint(data, pos):
    value = 0
    while True:
        b = data[pos]
        pos += 1
        value = (value << 7) | (b & 0x7F)
        if b < 0x80:
            return value, pos


def encint(value, size):
    """`value` in exactly `size` bytes (leading 0x80 bytes stand for zeros)."""
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    if len(out) > size:
        raise ValueError("offset does not fit the directory entry")
    out += [0x80] * (size - len(out))
    return bytes(reversed(out))


def directory_entries(data):
    """(name, section, offset, length, entry start, offset field span) of every entry."""
    if data[:4] != b"ITSF" or struct.unpack_from("<I", data, 8)[0] < 0x60:
        raise ValueError("not a version 3 compiled help file")
    dir_offset = struct.unpack_from("<Q", data, 0x48)[0]
    if data[dir_offset:dir_offset + 4] != b"ITSP":
        raise ValueError("no directory header")
    header_len, _, chunk_size = struct.unpack_from("<III", data, dir_offset + 8)
    chunk_count = struct.unpack_from("<I", data, dir_offset + 0x2C)[0]
    for c in range(chunk_count):
        chunk = dir_offset + header_len + c * chunk_size
        if data[chunk:chunk + 4] != b"PMGL":
            continue
        free = struct.unpack_from("<I", data, chunk + 4)[0]
        pos, end = chunk + 0x14, chunk + chunk_size - free
        while pos < end:
            start = pos
            name_len, pos = read_encint(data, pos)
            name = data[pos:pos + name_len].decode("utf-8", "replace")
            pos += name_len
            section, pos = read_encint(data, pos)
            offset_at = pos
            offset, pos = read_encint(data, pos)
            offset_end = pos
            length, pos = read_encint(data, pos)
            yield name, section, offset, length, start, (offset_at, offset_end)


CHMLS = "chmls"


def extract(chm, name):
    work = tempfile.mkdtemp()
    try:
        out = os.path.join(work, "part")
        subprocess.run([CHMLS, "extract", chm, name, out], check=True, capture_output=True)
        return open(out, "rb").read()
    finally:
        for f in os.listdir(work):
            os.remove(os.path.join(work, f))
        os.rmdir(work)


def main():
    global CHMLS
    chm, project = sys.argv[1], os.path.abspath(sys.argv[2])
    if len(sys.argv) > 3:
        CHMLS = sys.argv[3]
    data = bytearray(open(chm, "rb").read())
    entries = {e[0]: e for e in directory_entries(bytes(data))}
    if "/#IVB" not in entries:
        return 0  # no context map, nothing to correct
    strings = bytearray(extract(chm, "/#STRINGS"))
    ivb = extract(chm, "/#IVB")
    prefixes = {project.rstrip("/") + "/", os.path.realpath(project).rstrip("/") + "/"}
    for i in range(4, len(ivb) - 7, 8):
        at = struct.unpack_from("<I", ivb, i + 4)[0]
        end = strings.index(b"\0", at)
        topic = strings[at:end].decode("latin-1")
        prefix = next((p for p in prefixes if topic.startswith(p)), None)
        if prefix:
            short = ("/" + topic[len(prefix):]).encode("latin-1")
            strings[at:end] = short + b"\0" * (end - at - len(short))
    name, section, _, length, _, (off_at, off_end) = entries["/#STRINGS"]
    if section != 1 or length != len(strings):
        raise SystemExit("chm_contexts: unexpected #STRINGS entry in " + chm)
    content = struct.unpack_from("<Q", data, 0x58)[0]
    new_offset = len(data) - content
    # Section 0 is the second ENCINT before the offset: one byte, 1 -> 0.
    section_at = off_at - 1
    if data[section_at] != 1:
        raise SystemExit("chm_contexts: unexpected directory entry layout in " + chm)
    data[section_at] = 0
    data[off_at:off_end] = encint(new_offset, off_end - off_at)
    data += strings
    hs0 = struct.unpack_from("<Q", data, 0x38)[0]
    struct.pack_into("<Q", data, hs0 + 8, len(data))  # the file's size
    open(chm, "wb").write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
