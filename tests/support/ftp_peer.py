#!/usr/bin/env python3
"""A small FTP server for the Internet calendar tests.

    ftp_peer.py start DIR   serves DIR/ftp_root on 127.0.0.1 (its port in
                            DIR/ftp_peer.port) to the user "user" with the
                            password "pass", detaches, pid in DIR/ftp_peer.pid
    ftp_peer.py stop DIR    ends the process of that pid

The root holds dir/cal.ics (a calendar); uploads land in the root. An
upload into full/ is refused at its end with 552 and its bytes dropped, as
a server out of space does; a listing of anything in locked/ is refused
with 450. A download from cut/ sends the whole file, then answers 426, as
a server whose disk failed part way does. A second port (the file's second
number) greets with "220-" lines, one every 50 ms, for two minutes.
"""
import logging
import os
import socket
import sys
import threading
import time

sys.dont_write_bytecode = True  # no cache files beside the sources
import peer_process  # noqa: E402

CALENDAR = (b"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//peer//x//EN\r\nBEGIN:VEVENT\r\nUID:ftp-1\r\n"
            b"SUMMARY:Ftp event\r\nDTSTART;VALUE=DATE:20260320\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")


def endless_greeting(listener):
    """Greets each client with "220-" lines and never finishes."""
    def greet(conn):
        try:
            for i in range(2400):
                conn.sendall(b"220-Welcome %d\r\n" % i)
                time.sleep(0.05)
        except OSError:
            pass
        conn.close()
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=greet, args=(conn,), daemon=True).start()


def serve(folder):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import DTPHandler, FTPHandler
    from pyftpdlib.servers import FTPServer
    logging.disable(logging.CRITICAL)
    root = os.path.join(folder, "ftp_root")
    for sub in ("dir", "full", "locked", "cut"):
        os.makedirs(os.path.join(root, sub), exist_ok=True)
    for sub in ("dir", "cut"):
        with open(os.path.join(root, sub, "cal.ics"), "wb") as f:
            f.write(CALENDAR)
    authorizer = DummyAuthorizer()
    authorizer.add_user("user", "pass", root, perm="elradfmw")
    class RefusingDTP(DTPHandler):
        def handle_close(self):
            name = self.file_obj.name if self.receive and self.file_obj is not None else ""
            if not self._closed and os.sep + "full" + os.sep in name:
                self._resp = ("552 Exceeded storage allocation.", logging.debug)
                self.transfer_finished = True
                self.close()
                os.remove(name)
                return
            sent = self.file_obj.name if not self.receive and self.file_obj is not None else ""
            if not self._closed and os.sep + "cut" + os.sep in sent:
                self._resp = ("426 Transfer aborted.", logging.debug)
                self.close()
                return
            DTPHandler.handle_close(self)

    class Handler(FTPHandler):
        dtp_handler = RefusingDTP

        def ftp_LIST(self, path):
            if "locked" in path.split(os.sep):
                self.respond("450 Listing refused.")
                return None
            return FTPHandler.ftp_LIST(self, path)

    handler = Handler
    handler.authorizer = authorizer
    handler.permit_foreign_addresses = False
    server = FTPServer(("127.0.0.1", 0), handler)
    greeting = socket.socket()
    greeting.bind(("127.0.0.1", 0))
    greeting.listen(4)
    threading.Thread(target=endless_greeting, args=(greeting,), daemon=True).start()
    peer_process.write_ports(folder, "ftp_peer.port", [server.address[1], greeting.getsockname()[1]])
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(peer_process.run(sys.argv, "ftp_peer", "ftp_peer.port", serve))
