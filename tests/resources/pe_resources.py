"""A small reader of PE files (32- and 64-bit): header fields, the import table, the resources,
and dialog templates; enough to check what the Windows builds put into dist/. Python standard
library only."""
import struct

RT_DIALOG = 5
RT_VERSION = 16
RT_MANIFEST = 24


class PeError(Exception):
    pass


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        self.machine, sections, self.time_stamp, _, _, optional_size, self.characteristics = \
            struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic not in (0x10B, 0x20B):
            raise PeError("not a PE32 or PE32+ optional header (magic %#x)" % magic)
        self.is_64bit = magic == 0x20B
        (self.os_version, self.subsystem_version) = (
            struct.unpack_from("<HH", data, optional + 40),
            struct.unpack_from("<HH", data, optional + 48))
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directories = optional + (112 if self.is_64bit else 96)
        self.import_rva, self.import_size = struct.unpack_from("<II", data, directories + 8)
        self.resource_rva, self.resource_size = struct.unpack_from("<II", data, directories + 16)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, rva, raw_size, raw_offset = struct.unpack_from(
                "<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0"), rva, max(vsize, raw_size), raw_offset))

    def offset(self, rva):
        for _, start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise PeError("RVA %#x lies in no section" % rva)

    def _text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """Every import as (DLL name, function name), or (DLL name, ordinal number)."""
        found = []
        if not self.import_rva:
            return found
        entry_size, flag = (8, 1 << 63) if self.is_64bit else (4, 1 << 31)
        descriptor = self.offset(self.import_rva)
        while True:
            lookup, _, _, name_rva, first_thunk = struct.unpack_from("<IIIII", self.data, descriptor)
            if not name_rva:
                return found
            dll = self._text(name_rva)
            thunk = self.offset(lookup or first_thunk)
            while True:
                value = struct.unpack_from("<Q" if self.is_64bit else "<I", self.data, thunk)[0]
                if not value:
                    break
                found.append((dll, value & 0xFFFF if value & flag else self._text((value & 0x7FFFFFFF) + 2)))
                thunk += entry_size
            descriptor += 20

    def _directory(self, offset):
        """The entries of one resource directory: [(name or id, is_directory, offset)]."""
        base = self.offset(self.resource_rva)
        named, ids = struct.unpack_from("<HH", self.data, offset + 12)
        entries = []
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", self.data, offset + 16 + 8 * i)
            if name & 0x80000000:
                at = base + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", self.data, at)[0]
                key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            else:
                key = name
            entries.append((key, bool(target & 0x80000000), base + (target & 0x7FFFFFFF)))
        return entries

    def resources(self):
        """Every resource as (type, name, language, bytes)."""
        if not self.resource_rva:
            return []
        found = []
        root = self.offset(self.resource_rva)
        for rtype, _, type_dir in self._directory(root):
            for name, _, name_dir in self._directory(type_dir):
                for language, _, entry in self._directory(name_dir):
                    rva, size = struct.unpack_from("<II", self.data, entry)
                    start = self.offset(rva)
                    found.append((rtype, name, language, self.data[start:start + size]))
        return found

    def resource(self, rtype, name):
        return [(language, data) for t, n, language, data in self.resources()
                if t == rtype and n == name]


def _sz_or_ord(data, at):
    """A dialog template field that is an ordinal (0xFFFF, id) or a UTF-16 text."""
    first = struct.unpack_from("<H", data, at)[0]
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    end = at
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


class DialogItem:
    def __init__(self, **fields):
        self.__dict__.update(fields)

    def __repr__(self):
        return "DialogItem(%r)" % self.__dict__


class Dialog(DialogItem):
    pass


def parse_dialog(data):
    """A DLGTEMPLATE (not the extended form) with its items."""
    if struct.unpack_from("<HH", data, 0) == (1, 0xFFFF):
        raise PeError("an extended dialog template (DLGTEMPLATEEX)")
    style, exstyle, count, x, y, cx, cy = struct.unpack_from("<IIHhhhh", data, 0)
    at = 18
    menu, at = _sz_or_ord(data, at)
    window_class, at = _sz_or_ord(data, at)
    title, at = _sz_or_ord(data, at)
    point_size, font = None, None
    if style & 0x40:  # DS_SETFONT
        point_size = struct.unpack_from("<H", data, at)[0]
        font, at = _sz_or_ord(data, at + 2)
    items = []
    for _ in range(count):
        at = (at + 3) & ~3
        istyle, iexstyle, ix, iy, icx, icy, iid = struct.unpack_from("<IIhhhhH", data, at)
        at += 18
        icls, at = _sz_or_ord(data, at)
        itext, at = _sz_or_ord(data, at)
        extra = struct.unpack_from("<H", data, at)[0]
        at += 2 + extra
        items.append(DialogItem(style=istyle, exstyle=iexstyle, x=ix, y=iy, cx=icx, cy=icy,
                                id=iid, window_class=icls, text=itext))
    return Dialog(style=style, exstyle=exstyle, x=x, y=y, cx=cx, cy=cy, menu=menu,
                  window_class=window_class, title=title, point_size=point_size, font=font,
                  items=items)
