"""The wintool protocol: the records wintool prints about the windows it sees, read into boxes
and controls, and the result of a run."""

class Box:
    """One dialog or message box as wintool saw it."""

    def __init__(self, hwnd, window_class, pid):
        self.hwnd = hwnd
        self.window_class = window_class
        self.pid = pid
        self.caption_bytes = b""
        self.unicode_caption = ""   # the caption read as Unicode: what the user reads
        self.controls = []      # Control records in the dialog's order
        self.default_id = -1
        self.answer = None      # (how, id) when the watcher answered it

    @property
    def caption(self):
        return decode_ansi(self.caption_bytes)

    def control(self, control_id):
        for c in self.controls:
            if c.id == control_id:
                return c
        return None

    @property
    def text_bytes(self):
        """The message text of a message box: its static control 0xFFFF."""
        c = self.control(0xFFFF)
        return c.text_bytes if c else b""

    @property
    def text(self):
        return decode_ansi(self.text_bytes)

    @property
    def unicode_text(self):
        """The message text of a message box read as Unicode."""
        c = self.control(0xFFFF)
        return c.unicode_text if c else ""

    def __repr__(self):
        return "Box(caption=%r, text=%r, controls=%r)" % (self.caption, self.text, self.controls)


class Control:
    def __init__(self, control_id, window_class, visible, enabled, text_bytes, unicode_text=""):
        self.id = control_id
        self.window_class = window_class
        self.visible = visible
        self.enabled = enabled
        self.text_bytes = text_bytes
        self.unicode_text = unicode_text  # the text read as Unicode

    @property
    def text(self):
        return decode_ansi(self.text_bytes)

    def __repr__(self):
        return "Control(%d, %s, %r%s)" % (self.id, self.window_class, self.text,
                                          "" if self.visible else ", hidden")


def decode_ansi(data):
    return data.decode("cp932", "replace")


def unicode_field(fields, index):
    """The hex UTF-16LE field at index ("" when the record has none)."""
    return bytes.fromhex(fields[index]).decode("utf-16-le") if len(fields) > index else ""


def parse_wintool_output(text):
    """(boxes, exit_code or None, timed_out) from wintool's records."""
    boxes, code, timed_out = [], None, False
    current = None
    by_hwnd = {}
    for line in text.splitlines():
        f = line.split("\t")
        kind = f[0]
        if kind == "window":
            current = Box(f[1], f[2], int(f[3]))
            boxes.append(current)
            by_hwnd[f[1]] = current
        elif kind == "caption" and current:
            current.caption_bytes = bytes.fromhex(f[1])
            current.unicode_caption = unicode_field(f, 3)
        elif kind == "control" and current:
            current.controls.append(Control(int(f[1]), f[2], f[3] == "visible",
                                            f[4] == "enabled", bytes.fromhex(f[5]),
                                            unicode_field(f, 7)))
        elif kind == "default" and current:
            current.default_id = int(f[1])
        elif kind == "end":
            current = None
        elif kind == "answer" and f[1] in by_hwnd:
            by_hwnd[f[1]].answer = (f[2], int(f[3]))
        elif kind == "exit":
            code = int(f[1])
        elif kind == "timeout":
            timed_out = True
    return boxes, code, timed_out


class Result:
    def __init__(self, code, timed_out, stdout, stderr, boxes=None, seconds=0.0):
        self.code = code
        self.timed_out = timed_out
        self.stdout = stdout
        self.stderr = stderr
        self.boxes = boxes or []
        self.seconds = seconds

    def __repr__(self):
        return "Result(code=%r, timed_out=%r, boxes=%r)" % (self.code, self.timed_out, self.boxes)
