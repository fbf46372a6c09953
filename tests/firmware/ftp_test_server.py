#!/usr/bin/python3
"""A local FTP server for the firmware copy tests: anonymous, read-only, passive, on
127.0.0.1 and a free port. It writes the port to --port-file once it listens and logs
every connection to --log.

  --root DIR         the folder the anonymous user sees
  --listing FILE     the names every directory listing shows, one a line, in that order;
                     a name without a file behind it is listed as a 100-byte file (so a
                     listing can carry names no file system holds: "sub/x", 300 letters)
  --rate N           sends file contents at N bytes a second
  --drop-after N     closes the data and the control connection after N bytes of a file
  --cwd-reply TEXT   answers every CWD with that reply line ("550 ..."), whatever the path
"""
import argparse
import logging
import os
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import DTPHandler, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


class UnsortedList(list):
    """The server sorts what listdir returns; a forced order must stay as it is."""

    def sort(self, *args, **kwargs):
        pass


def make_filesystem(forced_names):
    class ListingFS(AbstractedFS):
        def listdir(self, path):
            if forced_names is None:
                return super().listdir(path)
            return UnsortedList(forced_names)

        def format_list(self, basedir, listing, ignore_err=True):
            for name in listing:
                if os.path.lexists(os.path.join(basedir, name)):
                    yield from super().format_list(basedir, [name], ignore_err)
                else:
                    line = "-rw-r--r--   1 owner    group         100 Jan 01 00:00 %s\r\n" % name
                    yield line.encode("utf8", "replace")

        def format_mlsx(self, basedir, listing, perms, facts, ignore_err=True):
            for name in listing:
                if os.path.lexists(os.path.join(basedir, name)):
                    yield from super().format_mlsx(basedir, [name], perms, facts, ignore_err)
                else:
                    yield ("type=file;size=100; %s\r\n" % name).encode("utf8", "replace")

    return ListingFS


def make_dtp(base, drop_after):
    if drop_after is None:
        return base

    class DroppingDTP(base):
        def send(self, data):
            if self.tot_bytes_sent + len(data) > drop_after:
                data = data[: max(0, drop_after - self.tot_bytes_sent)]
            sent = super().send(data) if data else 0
            if self.tot_bytes_sent >= drop_after and self.receive is False:
                logging.info("dropping the connection after %d bytes", self.tot_bytes_sent)
                channel = self.cmd_channel
                self.close()
                channel.close()
            return sent

    return DroppingDTP


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--listing")
    parser.add_argument("--rate", type=int)
    parser.add_argument("--drop-after", type=int)
    parser.add_argument("--cwd-reply")
    args = parser.parse_args()

    logging.basicConfig(filename=args.log, level=logging.INFO, format="%(asctime)s %(message)s")

    forced = None
    if args.listing:
        with open(args.listing, encoding="utf8") as f:
            forced = [line.rstrip("\r\n") for line in f if line.rstrip("\r\n")]

    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(os.path.abspath(args.root))

    dtp = DTPHandler
    if args.rate:
        dtp = ThrottledDTPHandler
        dtp.write_limit = args.rate
    dtp = make_dtp(dtp, args.drop_after)

    class Handler(FTPHandler):
        if args.cwd_reply:
            def ftp_CWD(self, path):
                self.respond(args.cwd_reply)

    Handler.authorizer = authorizer
    Handler.abstracted_fs = make_filesystem(forced)
    Handler.dtp_handler = dtp
    Handler.use_sendfile = False  # every byte passes through send(), so rates and drops hold
    Handler.passive_ports = None
    Handler.permit_foreign_addresses = False

    server = FTPServer(("127.0.0.1", 0), Handler)
    port = server.socket.getsockname()[1]
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write("%d\n" % port)
    os.rename(tmp, args.port_file)
    try:
        server.serve_forever(timeout=0.2)
    finally:
        server.close_all()


if __name__ == "__main__":
    main()
