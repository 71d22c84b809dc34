#!/usr/bin/env python3
"""A small HTTP server for the Internet calendar tests.

    http_peer.py start DIR   serves on 127.0.0.1 and 127.0.0.2 (ports of
                             its own choice, written to DIR/http_peer.ports
                             as two numbers), detaches, and leaves its pid
                             in DIR/http_peer.pid
    http_peer.py stop DIR    ends the process of that pid

Paths on 127.0.0.1: /cal.ics (a calendar, LF line ends), /auth.ics (the
same behind Basic user:pass; /secret.ics behind user:Zq7-Secret), /status/N (status N), /exists.ics (HEAD 200),
/redirect-away (302 to 127.0.0.2), /loop/N (302 on and on), /endless,
/drip (one byte a second), /short (Content-Length 1000, 17 bytes), /html,
/bigheader (a 1 MB header), /header-drip (a header line every 50 ms),
/status-drip (the status line a byte a second), /tiny-chunks (the calendar
and blank lines in 100,000 chunks of one byte); the drips end after two
minutes. PUT stores the request; /last-put gives back
its path, Content-Type and body
(/last-put-hex: the body alone, in hex). /counted.ics (the calendar) counts
its GETs into DIR/http_peer.hits (0 at start). A request of any method for
a path under /silent is read and never answered (the peer lets go when the
client does, or after five minutes). PUT to /auth/... takes only
Basic user:pass (401 otherwise). /store/... is a calendar server: a PUT
keeps the body under its path, GET and HEAD answer it (404 before the first
PUT). Every request on 127.0.0.1 appends
"METHOD PATH AUTHORIZATION" (or "-" without one) to DIR/http_peer.log. On 127.0.0.2: /away.ics (a calendar), and
/seen-auth ("yes" when the last request there carried Authorization).
"""
import http.server
import os
import socket
import socketserver
import sys
import threading
import time

sys.dont_write_bytecode = True  # no cache files beside the sources
import peer_process  # noqa: E402

CALENDAR = (b"BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//peer//x//EN\nBEGIN:VEVENT\nUID:peer-1\n"
            b"SUMMARY:Peer event\nDTSTART;VALUE=DATE:20260320\nEND:VEVENT\nEND:VCALENDAR\n")
STATE = {"store": {}, "put": b"", "away_auth": "no", "ports": (0, 0), "hits": 0, "folder": "."}


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


class Home(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def parse_request(self):
        ok = http.server.BaseHTTPRequestHandler.parse_request(self)
        if ok and type(self) is Home:
            with open(os.path.join(STATE["folder"], "http_peer.log"), "a") as f:
                f.write("%s %s %s\n" % (self.command, self.path, self.headers.get("Authorization", "-")))
        return ok

    def reply(self, status, body=b"", headers=(), length=None):
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def drip(self, pieces, pause):
        """Sends the raw pieces one by one, `pause` seconds apart."""
        self.close_connection = True
        try:
            for piece in pieces:
                self.wfile.write(piece)
                self.wfile.flush()
                time.sleep(pause)
        except OSError:
            pass

    def hang(self):
        self.close_connection = True
        self.connection.settimeout(1)
        for _ in range(300):
            try:
                if not self.connection.recv(4096):
                    return
            except socket.timeout:
                pass
            except OSError:
                return

    def do_HEAD(self):
        if self.path.startswith("/silent"):
            self.hang()
        elif self.path in STATE["store"]:
            self.reply(200, length=len(STATE["store"][self.path]))
        elif self.path.startswith("/exists.ics"):
            self.reply(200, length=0)
        else:
            self.reply(404)

    def do_PUT(self):
        n = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(n) if n else b""
        if self.path.startswith("/silent"):
            self.hang()
            return
        if self.path.startswith("/auth/") and self.headers.get("Authorization") != "Basic dXNlcjpwYXNz":
            self.reply(401, b"no", [("WWW-Authenticate", 'Basic realm="cal"')])
            return
        if self.path.startswith("/store/"):
            STATE["store"][self.path] = body
        STATE["put"] = (self.path + "\n" + self.headers.get("Content-Type", "") + "\n").encode() + body
        self.reply(201)

    def do_GET(self):
        p = self.path.split("?")[0]  # a query only marks a request in the log
        if p.startswith("/silent"):
            self.hang()
        elif p == "/cal.ics":
            self.reply(200, CALENDAR)
        elif p.startswith("/store/"):
            if self.path in STATE["store"]:
                self.reply(200, STATE["store"][self.path])
            else:
                self.reply(404, b"none")
        elif p == "/counted.ics":
            STATE["hits"] += 1
            with open(os.path.join(STATE["folder"], "http_peer.hits"), "w") as f:
                f.write("%d\n" % STATE["hits"])
            self.reply(200, CALENDAR)
        elif p == "/auth.ics":
            if self.headers.get("Authorization") == "Basic dXNlcjpwYXNz":
                self.reply(200, CALENDAR)
            else:
                self.reply(401, b"no", [("WWW-Authenticate", 'Basic realm="cal"')])
        elif p == "/secret.ics":
            if self.headers.get("Authorization") == "Basic dXNlcjpacTctU2VjcmV0":
                self.reply(200, CALENDAR)
            else:
                self.reply(401, b"no", [("WWW-Authenticate", 'Basic realm="cal"')])
        elif p.startswith("/status/"):
            self.reply(int(p.split("/")[2]), b"status")
        elif p == "/redirect-away":
            self.reply(302, b"", [("Location", "http://127.0.0.2:%d/away.ics" % STATE["ports"][1])])
        elif p.startswith("/loop/"):
            self.reply(302, b"", [("Location", "/loop/%d" % (int(p.split("/")[2]) + 1))])
        elif p == "/last-put":
            self.reply(200, STATE["put"])
        elif p == "/last-put-hex":
            self.reply(200, STATE["put"].split(b"\n", 2)[2].hex().encode())
        elif p == "/endless":
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            try:
                while True:
                    self.wfile.write(b"x" * 65536)
            except OSError:
                pass
            self.close_connection = True
        elif p == "/drip":
            self.send_response(200)
            self.send_header("Content-Length", "100000")
            self.end_headers()
            try:
                for _ in range(100000):
                    self.wfile.write(b"x")
                    self.wfile.flush()
                    time.sleep(1)
            except OSError:
                pass
            self.close_connection = True
        elif p == "/short":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(CALENDAR[:17])
            self.close_connection = True
        elif p == "/html":
            self.reply(200, b"<html><body>Not a calendar</body></html>", [("Content-Type", "text/html")])
        elif p == "/header-drip":
            self.drip([b"HTTP/1.1 200 OK\r\n"] + [b"X-Drip: %d\r\n" % i for i in range(2400)], 0.05)
        elif p == "/status-drip":
            self.drip([bytes([c]) for c in b"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"], 1.0)
        elif p == "/tiny-chunks":
            body = CALENDAR + b"\n" * (100000 - len(CALENDAR))
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            try:
                for i in range(len(body)):
                    self.wfile.write(b"1\r\n" + body[i:i + 1] + b"\r\n")
                self.wfile.write(b"0\r\n\r\n")
            except OSError:
                pass
        elif p == "/bigheader":
            self.reply(200, CALENDAR, [("X-Big", "y" * (1 << 20))])
        else:
            self.reply(404, b"none")


class Away(Home):
    def do_GET(self):
        STATE["away_auth"] = "yes" if self.headers.get("Authorization") else "no"
        if self.path == "/away.ics":
            self.reply(200, CALENDAR)
        elif self.path == "/seen-auth":
            self.reply(200, STATE["away_auth"].encode())
        else:
            self.reply(404)


def serve(folder):
    home = Server(("127.0.0.1", 0), Home)
    away = Server(("127.0.0.2", 0), Away)
    STATE["ports"] = (home.server_address[1], away.server_address[1])
    STATE["folder"] = os.path.abspath(folder)
    # The count starts again with each peer: a file left by an earlier run
    # would make a test's first reading stale.
    with open(os.path.join(STATE["folder"], "http_peer.hits"), "w") as f:
        f.write("0\n")
    open(os.path.join(STATE["folder"], "http_peer.log"), "w").close()
    threading.Thread(target=away.serve_forever, daemon=True).start()
    peer_process.write_ports(folder, "http_peer.ports", STATE["ports"])
    home.serve_forever()


if __name__ == "__main__":
    sys.exit(peer_process.run(sys.argv, "http_peer", "http_peer.ports", serve))
