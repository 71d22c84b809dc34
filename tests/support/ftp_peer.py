#!/usr/bin/env python3
"""A small FTP server for the Internet calendar tests.

    ftp_peer.py start DIR   serves DIR/ftp_root on 127.0.0.1 (its port in
                            DIR/ftp_peer.port) to the user "user" with the
                            password "pass", detaches, pid in DIR/ftp_peer.pid
    ftp_peer.py stop DIR    ends the process of that pid

The root holds dir/cal.ics (a calendar); uploads land in the root.
"""
import logging
import os
import signal
import sys
import time

CALENDAR = (b"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//peer//x//EN\r\nBEGIN:VEVENT\r\nUID:ftp-1\r\n"
            b"SUMMARY:Ftp event\r\nDTSTART;VALUE=DATE:20260320\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")


def serve(folder):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
    logging.disable(logging.CRITICAL)
    root = os.path.join(folder, "ftp_root")
    os.makedirs(os.path.join(root, "dir"), exist_ok=True)
    with open(os.path.join(root, "dir", "cal.ics"), "wb") as f:
        f.write(CALENDAR)
    authorizer = DummyAuthorizer()
    authorizer.add_user("user", "pass", root, perm="elradfmw")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.permit_foreign_addresses = False
    server = FTPServer(("127.0.0.1", 0), handler)
    tmp = os.path.join(folder, "ftp_peer.port.tmp")
    with open(tmp, "w") as f:
        f.write("%d\n" % server.address[1])
    os.replace(tmp, os.path.join(folder, "ftp_peer.port"))
    server.serve_forever()


def main():
    command, folder = sys.argv[1], os.path.abspath(sys.argv[2])
    pidfile = os.path.join(folder, "ftp_peer.pid")
    if command == "stop":
        try:
            os.kill(int(open(pidfile).read()), signal.SIGTERM)
        except (OSError, ValueError):
            pass
        return 0
    port = os.path.join(folder, "ftp_peer.port")
    if os.path.exists(port):
        os.remove(port)
    pid = os.fork()
    if pid == 0:
        os.setsid()
        devnull = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(devnull, fd)
        serve(folder)
        os._exit(0)
    with open(pidfile, "w") as f:
        f.write(str(pid))
    for _ in range(100):
        if os.path.exists(port):
            return 0
        time.sleep(0.05)
    return 1


if __name__ == "__main__":
    sys.exit(main())
