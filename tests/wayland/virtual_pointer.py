"""A pointer for a wlroots compositor (sway): moves and clicks through the
zwlr_virtual_pointer_v1 protocol, spoken directly on the Wayland socket, in
the layout of the compositor's outputs (extent 1280 x 800 by default).
"""
import socket
import struct
import time

BTN_LEFT = 0x110


def _string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


class VirtualPointer:
    def __init__(self, path, extent=(1280, 800)):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.extent = extent
        self.next_id = 2
        self.buffer = b""
        self.globals = {}
        registry = self._new_id()
        self._send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
        self.roundtrip(registry)
        seat = self._bind(registry, "wl_seat", 1)
        manager = self._bind(registry, "zwlr_virtual_pointer_manager_v1", 1)
        self.pointer = self._new_id()
        self._send(manager, 0, struct.pack("<II", seat, self.pointer))  # create_virtual_pointer
        self.roundtrip()

    def _new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def _send(self, obj, opcode, args=b""):
        self.sock.sendall(struct.pack("<II", obj, (8 + len(args)) << 16 | opcode) + args)

    def _bind(self, registry, interface, version):
        if interface not in self.globals:
            raise RuntimeError("the compositor offers no " + interface)
        new = self._new_id()
        self._send(registry, 0, struct.pack("<I", self.globals[interface]) + _string(interface)
                   + struct.pack("<II", version, new))
        return new

    def roundtrip(self, registry=None):
        """Waits until the compositor has handled every request sent so far."""
        callback = self._new_id()
        self._send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        while True:
            while len(self.buffer) < 8:
                chunk = self.sock.recv(4096)
                if not chunk:
                    raise RuntimeError("the compositor closed the connection")
                self.buffer += chunk
            obj, word = struct.unpack_from("<II", self.buffer)
            size, opcode = word >> 16, word & 0xFFFF
            while len(self.buffer) < size:
                self.buffer += self.sock.recv(4096)
            body, self.buffer = self.buffer[8:size], self.buffer[size:]
            if obj == 1 and opcode == 0:  # wl_display.error
                raise RuntimeError("Wayland protocol error: " + repr(body))
            if obj == registry and opcode == 0:  # wl_registry.global
                name, length = struct.unpack_from("<II", body)
                interface = body[8:8 + length - 1].decode()
                self.globals.setdefault(interface, name)
            if obj == callback and opcode == 0:  # wl_callback.done
                return

    def _time(self):
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    def move(self, x, y):
        w, h = self.extent
        # motion_absolute(time, x, y, x_extent, y_extent), then frame
        self._send(self.pointer, 1, struct.pack("<IIIII", self._time(), int(x), int(y), w, h))
        self._send(self.pointer, 4)
        self.roundtrip()

    def button(self, pressed):
        self._send(self.pointer, 2, struct.pack("<III", self._time(), BTN_LEFT, int(pressed)))
        self._send(self.pointer, 4)
        self.roundtrip()

    def click(self, x, y):
        self.move(x, y)
        self.button(True)
        self.button(False)

    def drag(self, x1, y1, x2, y2, steps=10):
        self.move(x1, y1)
        self.button(True)
        # The program answers the press by handing the move to the compositor
        # (or by grabbing the pointer): a human's pace, not a wait for a result.
        time.sleep(0.15)
        for i in range(1, steps + 1):
            self.move(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps)
        self.button(False)
