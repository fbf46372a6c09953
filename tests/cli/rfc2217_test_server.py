#!/usr/bin/env python3
"""A second, independent RFC 2217 port server for the tests: pyserial's
serial.rfc2217.PortManager in front of a serial device (zr8sim's pseudo-terminal).

    rfc2217_test_server.py DEVICE

Listens on 127.0.0.1 on a port of its own choosing and prints "PORT <n>" when ready,
then serves one connection after the other until it is killed. A pseudo-terminal has no
modem lines: setting DTR, RTS or BREAK and reading CTS, DSR, RI or CD fail there, and
this server lets those requests pass without effect instead of dropping the client.
"""
import socket
import sys
import threading

import serial
import serial.rfc2217


class TolerantSerial(serial.Serial):
    """A serial port whose modem lines are quietly absent."""

    def _update_dtr_state(self):
        try:
            super()._update_dtr_state()
        except (OSError, serial.SerialException):
            pass

    def _update_rts_state(self):
        try:
            super()._update_rts_state()
        except (OSError, serial.SerialException):
            pass

    def _update_break_state(self):
        try:
            super()._update_break_state()
        except (OSError, serial.SerialException):
            pass

    @property
    def cts(self):
        return False

    @property
    def dsr(self):
        return False

    @property
    def ri(self):
        return False

    @property
    def cd(self):
        return False


class Connection:
    """What PortManager writes its Telnet answers to; the reader thread shares it."""

    def __init__(self, sock):
        self.sock = sock
        self.lock = threading.Lock()

    def write(self, data):
        with self.lock:
            self.sock.sendall(data)


def serve(sock, port):
    connection = Connection(sock)
    manager = serial.rfc2217.PortManager(port, connection)
    running = True

    def line_to_network():
        while running:
            try:
                data = port.read(port.in_waiting or 1)
            except (OSError, serial.SerialException):
                break
            if data:
                try:
                    connection.write(b"".join(manager.escape(data)))
                except OSError:
                    break

    reader = threading.Thread(target=line_to_network, daemon=True)
    reader.start()
    try:
        while True:
            data = sock.recv(4096)
            if not data:
                break
            port.write(b"".join(manager.filter(data)))
    except OSError:
        pass
    running = False
    reader.join(1)
    sock.close()


def main():
    port = TolerantSerial(sys.argv[1], 9600, timeout=0.05)
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    print("PORT %d" % listener.getsockname()[1], flush=True)
    while True:
        sock, _ = listener.accept()
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        serve(sock, port)


if __name__ == "__main__":
    main()
