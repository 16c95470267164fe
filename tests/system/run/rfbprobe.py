#!/usr/bin/env python3
"""A VNC viewer's first steps against 127.0.0.1:PORT, directly or through a WebSocket sent
with an Origin header, as a browser's noVNC connects. Prints what happened, one line:

  refused: HTTP/1.1 403 Invalid Origin    the WebSocket was refused
  types 2                                 the security types offered (2: VNC password)
  desktop 1280x800                        the password was accepted, the desktop announced
  password refused                        the password was not accepted

Usage: rfbprobe.py PORT [--origin ORIGIN] [--password PASSWORD]
The VNC challenge is answered with DES from openssl (three-key DES with one key repeated).
"""
import argparse
import base64
import os
import socket
import struct
import subprocess
import sys


class Direct:
    def __init__(self, sock):
        self.sock = sock
        self.buffer = b""

    def send(self, data):
        self.sock.sendall(data)

    def more(self):
        chunk = self.sock.recv(4096)
        if not chunk:
            raise EOFError("connection closed")
        return chunk

    def read(self, count):
        while len(self.buffer) < count:
            self.buffer += self.more()
        data, self.buffer = self.buffer[:count], self.buffer[count:]
        return data


class WebSocket(Direct):
    """Binary frames, masked from the client as the protocol demands."""

    def __init__(self, sock, port, origin):
        super().__init__(sock)
        key = base64.b64encode(os.urandom(16)).decode()
        sock.sendall(
            (f"GET /websockify HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUpgrade: websocket\r\n"
             f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n"
             f"Sec-WebSocket-Protocol: binary\r\nOrigin: {origin}\r\n\r\n").encode())
        answer = b""
        while b"\r\n\r\n" not in answer:
            chunk = sock.recv(4096)
            if not chunk:
                break
            answer += chunk
        head, _, self.raw = answer.partition(b"\r\n\r\n")
        self.status = head.split(b"\r\n")[0].decode(errors="replace")

    def send(self, data):
        mask = os.urandom(4)
        header = bytes([0x82]) + (bytes([0x80 | len(data)]) if len(data) < 126
                                  else bytes([0x80 | 126]) + struct.pack(">H", len(data)))
        self.sock.sendall(header + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(data)))

    def raw_read(self, count):
        while len(self.raw) < count:
            self.raw += Direct.more(self)
        data, self.raw = self.raw[:count], self.raw[count:]
        return data

    def more(self):
        first, second = self.raw_read(2)
        length = second & 0x7F
        if length == 126:
            length = struct.unpack(">H", self.raw_read(2))[0]
        elif length == 127:
            length = struct.unpack(">Q", self.raw_read(8))[0]
        payload = self.raw_read(length)
        if first & 0x0F == 8:
            raise EOFError("WebSocket closed")
        return payload


def vnc_response(password, challenge):
    # VNC takes the password's bytes with their bits reversed as the DES key.
    key = bytes(int(f"{b:08b}"[::-1], 2) for b in password.encode()[:8].ljust(8, b"\0"))
    return subprocess.run(["openssl", "enc", "-des-ede3-ecb", "-nopad", "-K", key.hex() * 3],
                          input=challenge, capture_output=True, check=True).stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("port", type=int)
    parser.add_argument("--origin")
    parser.add_argument("--password")
    args = parser.parse_args()
    sock = socket.create_connection(("127.0.0.1", args.port), timeout=5)
    link = Direct(sock)
    if args.origin is not None:
        link = WebSocket(sock, args.port, args.origin)
        if " 101 " not in link.status:
            print(f"refused: {link.status}")
            return 1
    version = link.read(12)
    if not version.startswith(b"RFB "):
        print(f"not VNC: {version!r}")
        return 1
    link.send(b"RFB 003.008\n")
    types = link.read(link.read(1)[0])
    print("types", " ".join(str(t) for t in types))
    if args.password is None:
        return 0
    if 2 not in types:
        return 1
    link.send(bytes([2]))
    link.send(vnc_response(args.password, link.read(16)))
    if struct.unpack(">I", link.read(4))[0] != 0:
        print("password refused")
        return 1
    link.send(bytes([1]))  # shared
    width, height = struct.unpack(">HH", link.read(4))
    print(f"desktop {width}x{height}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
