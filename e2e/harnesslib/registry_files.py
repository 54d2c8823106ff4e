"""Registry files: Wine's system.reg/user.reg and .reg files, in one shape:
    {lower-case key path: RegKey(name, {lower-case value name: (name, type, data)})}
Strings (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are Python str without the final terminator
(a multi-string keeps its inner "\\0" separators); DWORDs int; everything else bytes."""
import re

from harnesslib.errors import HarnessError

REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ = 1, 2, 3, 4, 7


class RegKey:
    def __init__(self, name):
        self.name = name
        self.values = {}

    def __repr__(self):
        return "RegKey(%r, %r)" % (self.name, self.values)


def _wine_unquote(s, pos):
    """Reads a quoted string of Wine's registry files from s[pos] == '"'; returns (text,
    position after it). Wine writes \\\\, \\", \\n, \\r, \\t, \\0 and \\x<up to 4 hex>."""
    assert s[pos] == '"'
    out, i = [], pos + 1
    while i < len(s):
        c = s[i]
        if c == '"':
            return "".join(out), i + 1
        if c == "\\" and i + 1 < len(s):
            i += 1
            c = s[i]
            if c == "x":
                m = re.match(r"[0-9a-fA-F]{1,4}", s[i + 1:])
                out.append(chr(int(m.group(0), 16)))
                i += 1 + len(m.group(0))
                continue
            out.append({"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(c, c))
        else:
            out.append(c)
        i += 1
    raise HarnessError("unterminated string in registry line %r" % s)


def _strip_terminator(text):
    return text[:-1] if text.endswith("\0") else text


def _decode_typed_hex(value_type, data):
    """Binary data of a string type as Wine stores it (UTF-16LE) to str; others stay bytes."""
    if value_type in (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) and len(data) % 2 == 0:
        return _strip_terminator(data.decode("utf-16-le", "replace"))
    if value_type == REG_DWORD and len(data) == 4:
        return int.from_bytes(data, "little")
    return data


def _joined_lines(path, encoding):
    with open(path, "rb") as f:
        raw = f.read()
    if raw.startswith(b"\xff\xfe"):
        text = raw[2:].decode("utf-16-le")
    else:
        text = raw.decode(encoding, "replace")
    lines, current = [], ""
    for line in text.splitlines():
        current += line.strip() if current else line
        if current.endswith("\\") and re.search(r"=\s*hex", current):
            current = current[:-1]
            continue
        lines.append(current)
        current = ""
    if current:
        lines.append(current)
    return lines


def parse_wine_registry(path, root):
    """Keys and values of a Wine registry file (system.reg, user.reg)."""
    keys = {}
    key = None
    for line in _joined_lines(path, "utf-8"):
        if not line or line.startswith(";") or line.startswith("#"):
            continue
        if line.startswith("["):
            name, _ = _wine_unquote('"' + line[1:line.rindex("]")].replace('"', '\\"') + '"', 0)
            full = root + "\\" + name
            # Wine writes only keys with values or without subkeys; the keys between are
            # implied.
            parts = full.split("\\")
            for n in range(2, len(parts)):
                parent = "\\".join(parts[:n])
                keys.setdefault(parent.lower(), RegKey(parent))
            key = keys.setdefault(full.lower(), RegKey(full))
            continue
        if key is None:
            continue
        if line.startswith("@="):
            name, rest = "", line[2:]
        elif line.startswith('"'):
            name, after = _wine_unquote(line, 0)
            rest = line[after:].lstrip()
            if not rest.startswith("="):
                continue
            rest = rest[1:]
        else:
            continue
        key.values[name.lower()] = (name,) + _parse_wine_data(rest)
    return keys


def _parse_wine_data(rest):
    if rest.startswith('"'):
        return REG_SZ, _wine_unquote(rest, 0)[0]
    m = re.match(r"str\((\d+)\):", rest)
    if m:
        t = int(m.group(1))
        # Wine leaves out the final terminator of a string type when it writes one.
        return t, _wine_unquote(rest, m.end())[0]
    if rest.startswith("dword:"):
        return REG_DWORD, int(rest[6:], 16)
    m = re.match(r"hex(?:\(([0-9a-fA-F]+)\))?:(.*)$", rest)
    if m:
        t = int(m.group(1), 16) if m.group(1) else REG_BINARY
        data = bytes(int(b, 16) for b in m.group(2).replace(" ", "").split(",") if b)
        return t, _decode_typed_hex(t, data) if t != REG_BINARY else data
    raise HarnessError("unknown registry data %r" % rest)


def parse_reg_file(path, code_page="cp932"):
    """Keys and values of a .reg file (REGEDIT4 in the ANSI code page, or version 5.00), in the
    same shape as parse_wine_registry, for comparing a fixture with a snapshot."""
    lines = _joined_lines(path, code_page)
    unicode = any("Windows Registry Editor Version 5.00" in l for l in lines[:3])
    keys = {}
    key = None
    for line in lines[1:]:
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("["):
            name = line[1:line.rindex("]")]
            if name.startswith("-"):
                for k in [k for k in keys if k == name[1:].lower() or
                          k.startswith(name[1:].lower() + "\\")]:
                    del keys[k]
                key = None
                continue
            name = normalise_root(name)
            # Creating a key creates its parents.
            parts = name.split("\\")
            for n in range(2, len(parts) + 1):
                parent = "\\".join(parts[:n])
                keys.setdefault(parent.lower(), RegKey(parent))
            key = keys[name.lower()]
            continue
        if key is None:
            continue
        if line.startswith("@"):
            name, rest = "", line[1:].lstrip()
        else:
            m = re.match(r'"((?:[^"\\]|\\.)*)"\s*', line)
            name = re.sub(r"\\(.)", r"\1", m.group(1))
            rest = line[m.end():]
        rest = rest[1:].strip()  # the "="
        if rest == "-":
            key.values.pop(name.lower(), None)
            continue
        if rest.startswith('"'):
            text = re.sub(r"\\(.)", r"\1", rest[1:rest.rindex('"')])
            value = (REG_SZ, text)
        elif rest.lower().startswith("dword:"):
            value = (REG_DWORD, int(rest[6:], 16))
        else:
            m = re.match(r"hex(?:\(([0-9a-fA-F]+)\))?:(.*)$", rest, re.I)
            t = int(m.group(1), 16) if m.group(1) else REG_BINARY
            data = bytes(int(b, 16) for b in m.group(2).replace(" ", "").split(",") if b)
            if t in (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) and not unicode:
                value = (t, _strip_terminator(data.decode(code_page, "replace")))
            elif t == REG_DWORD and len(data) == 4:
                value = (t, int.from_bytes(data, "little"))
            elif t in (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ):
                value = (t, _decode_typed_hex(t, data))
            else:
                value = (t, data)
        key.values[name.lower()] = (name,) + value
    return keys


def normalise_root(name):
    for short, full in (("HKLM", "HKEY_LOCAL_MACHINE"), ("HKCU", "HKEY_CURRENT_USER")):
        if name.upper() == short or name.upper().startswith(short + "\\"):
            return full + name[len(short):]
    return name
