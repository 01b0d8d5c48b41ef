"""Writes Windows Installer transforms (.mst) that change rows of the Property table.

No tool here can generate a transform (Wine's msi does not implement it and
wixl only builds packages), so the sample language transform is written
directly: a compound file with the transform class id, a string pool and one
table stream whose rows insert or replace Property rows.
"""

import struct

_SECTOR = 512
_MINI_SECTOR = 64
_MINI_CUTOFF = 4096
_FREE, _END_OF_CHAIN, _FAT_SECTOR = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD
_NO_STREAM = 0xFFFFFFFF

# {000C1082-0000-0000-C000-000000000046}, as stored (first three fields little endian).
TRANSFORM_CLSID = struct.pack("<IHH8B", 0x000C1082, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46)

_MIME = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz._"


def encode_stream_name(name, table=True):
    """Packs a table or stream name the way the installer's storage names it."""
    out = [0x4840] if table else []
    i = 0
    while i < len(name):
        first = _MIME.find(name[i])
        if first < 0:
            out.append(ord(name[i]))
            i += 1
            continue
        second = _MIME.find(name[i + 1]) if i + 1 < len(name) else -1
        if second >= 0:
            out.append(0x3800 + first + (second << 6))
            i += 2
        else:
            out.append(0x4800 + first)
            i += 1
    return "".join(chr(c) for c in out)


def _name_key(name):
    # Compound-file order: shorter names first, then by upper-cased code units.
    return (len(name), name.upper())


class _Entry:
    def __init__(self, name, kind, data=b"", clsid=bytes(16)):
        self.name, self.kind, self.data, self.clsid = name, kind, data, clsid
        self.left = self.right = self.child = _NO_STREAM
        self.red = False
        self.start, self.size = _END_OF_CHAIN, 0


def _link_tree(entries, indices, depth=0, depths=None):
    """Links sorted siblings into a balanced tree; returns the root index."""
    if not indices:
        return _NO_STREAM
    middle = len(indices) // 2
    root = indices[middle]
    depths[root] = depth
    entries[root].left = _link_tree(entries, indices[:middle], depth + 1, depths)
    entries[root].right = _link_tree(entries, indices[middle + 1:], depth + 1, depths)
    return root


def build_compound_file(streams, root_clsid):
    """A version 3 compound file holding the given {name: bytes} streams at its root."""
    entries = [_Entry("Root Entry", 5, clsid=root_clsid)]
    for name in sorted(streams, key=_name_key):
        if len(name) > 31:
            raise ValueError("stream name too long: %r" % name)
        entries.append(_Entry(name, 2, streams[name]))

    # Siblings form a red-black tree; a balanced split with the deepest level
    # red keeps every path's black count equal.
    depths = {}
    children = list(range(1, len(entries)))
    entries[0].child = _link_tree(entries, children, 0, depths)
    deepest = max(depths.values(), default=0)
    full = len(children) == (1 << (deepest + 1)) - 1
    for index, depth in depths.items():
        entries[index].red = depth == deepest and not full and deepest > 0

    mini_stream, mini_fat = bytearray(), []
    big_streams = []
    for entry in entries[1:]:
        entry.size = len(entry.data)
        if entry.size == 0:
            continue
        if entry.size < _MINI_CUTOFF:
            first = len(mini_stream) // _MINI_SECTOR
            count = -(-entry.size // _MINI_SECTOR)
            mini_fat.extend(range(first + 1, first + count))
            mini_fat.append(_END_OF_CHAIN)
            mini_stream += entry.data.ljust(count * _MINI_SECTOR, b"\0")
            entry.start = first
        else:
            big_streams.append(entry)

    sectors = []  # payload sectors, in file order
    fat = []

    def place(data):
        if not data:
            return _END_OF_CHAIN
        first = len(sectors)
        count = -(-len(data) // _SECTOR)
        for i in range(count):
            sectors.append(bytes(data[i * _SECTOR:(i + 1) * _SECTOR]).ljust(_SECTOR, b"\0"))
        fat.extend(range(first + 1, first + count))
        fat.append(_END_OF_CHAIN)
        return first

    entries[0].start = place(bytes(mini_stream))
    entries[0].size = len(mini_stream)
    mini_fat_bytes = b"".join(struct.pack("<I", v) for v in mini_fat)
    mini_fat_bytes += struct.pack("<I", _FREE) * ((-len(mini_fat)) % (_SECTOR // 4))
    mini_fat_start = place(mini_fat_bytes) if mini_fat else _END_OF_CHAIN
    mini_fat_sectors = len(mini_fat_bytes) // _SECTOR if mini_fat else 0
    for entry in big_streams:
        entry.start = place(entry.data)

    directory = bytearray()
    for entry in entries:
        name = entry.name.encode("utf-16-le") + b"\0\0"
        directory += name.ljust(64, b"\0")
        directory += struct.pack("<HBBIII", len(name), entry.kind, 0 if entry.red else 1,
                                 entry.left, entry.right, entry.child)
        directory += entry.clsid + struct.pack("<IQQIQ", 0, 0, 0, entry.start, entry.size)
    directory += (b"\0" * 64 + struct.pack("<HBBIII", 0, 0, 0, _NO_STREAM, _NO_STREAM, _NO_STREAM)
                  + bytes(16) + struct.pack("<IQQIQ", 0, 0, 0, 0, 0)) * ((-len(entries)) % 4)
    directory_start = place(bytes(directory))

    fat_count = 1
    while len(sectors) + fat_count > fat_count * (_SECTOR // 4):
        fat_count += 1
    if fat_count > 109:
        raise ValueError("compound file too large for this writer")
    fat_start = len(sectors)
    fat.extend([_FAT_SECTOR] * fat_count)
    fat.extend([_FREE] * (fat_count * (_SECTOR // 4) - len(fat)))
    fat_bytes = b"".join(struct.pack("<I", v) for v in fat)

    difat = [fat_start + i for i in range(fat_count)] + [_FREE] * (109 - fat_count)
    header = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + bytes(16)
    header += struct.pack("<HHHHH6sIIIIIIIII", 0x003E, 0x0003, 0xFFFE, 9, 6, bytes(6), 0, fat_count,
                          directory_start, 0, _MINI_CUTOFF, mini_fat_start, mini_fat_sectors,
                          _END_OF_CHAIN, 0)
    header += b"".join(struct.pack("<I", v) for v in difat)
    assert len(header) == _SECTOR
    return header + b"".join(sectors) + fat_bytes


class _StringPool:
    def __init__(self, codepage):
        self.codepage = codepage
        self.strings = []
        self.ids = {}

    def ref(self, text):
        if text not in self.ids:
            self.strings.append(text)
            self.ids[text] = len(self.strings)
        return self.ids[text]

    def streams(self):
        encoding = "cp%d" % self.codepage if self.codepage else "ascii"
        pool = struct.pack("<HH", self.codepage & 0xFFFF, self.codepage >> 16)
        data = b""
        for text in self.strings:
            raw = text.encode(encoding)
            if len(raw) > 0xFFFF:
                raise ValueError("string too long for the pool")
            pool += struct.pack("<HH", len(raw), 1)
            data += raw
        return pool, data


def property_transform(properties, codepage=1252):
    """A transform that inserts or replaces the given Property rows."""
    pool = _StringPool(codepage)
    rows = b""
    for name, value in properties.items():
        if not name or not value:
            raise ValueError("property rows need a name and a value")
        # Low mask bit: a whole row of (mask >> 8) columns follows.
        rows += struct.pack("<HHH", (2 << 8) | 1, pool.ref(name), pool.ref(value))
    string_pool, string_data = pool.streams()
    return build_compound_file({
        encode_stream_name("_StringPool"): string_pool,
        encode_stream_name("_StringData"): string_data,
        encode_stream_name("Property"): rows,
    }, TRANSFORM_CLSID)
