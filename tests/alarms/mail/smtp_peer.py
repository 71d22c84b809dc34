#!/usr/bin/env python3
"""A local SMTP peer for the mail client's tests.

  smtp_peer.py start DIR   serve on 127.0.0.1 at a free port, in the
                           background; DIR/port and DIR/pid tell where and
                           who; every message lands in DIR/mail/
  smtp_peer.py stop DIR    end the peer named by DIR/pid

User "user", password "secret", by LOGIN and PLAIN (the authenticator) and
CRAM-MD5 (a handler method); HELO without a log-in is accepted too. For a
message whose envelope sender is S, DIR/mail/S.env holds "FROM S" and one
"RCPT R" line per recipient, S.msg the message as received, S.body its
body with quoted-printable undone, and S.parsed what Python's mail parser
reads of it, in UTF-8: "MIME-Version: V", "Type: T", "Charset: C",
"Subject: S" (encoded words decoded), "From: F", then "Body:" and the body
decoded by its transfer encoding and charset. A recipient whose local part
is "refused" gets "550 5.1.1 refused: no such mailbox".
"""
import asyncio
import hmac
import os
import re
import signal
import sys
import time

USER = b"user"
PASSWORD = b"secret"
LIFETIME_S = 1800  # a peer whose stop never came ends by itself


def safe_name(address):
    return re.sub(r"[^A-Za-z0-9@._-]", "_", address) or "_empty"


def parsed(content):
    import email
    import email.policy
    m = email.message_from_bytes(content, policy=email.policy.default)
    lines = ["MIME-Version: " + str(m.get("MIME-Version", "")),
             "Type: " + m.get_content_type(),
             "Charset: " + str(m.get_content_charset("")),
             "Subject: " + str(m.get("Subject", "")),
             "From: " + str(m.get("From", "")),
             "Body:"]
    try:
        body = m.get_content() if not m.is_multipart() else ""
    except (LookupError, UnicodeError) as e:
        body = "unreadable: %s" % e
    return ("\n".join(lines) + "\n" + body).encode("utf-8")


def qp_decode(data):
    out = bytearray()
    i = 0
    while i < len(data):
        c = data[i:i + 1]
        if c == b"=":
            if data[i + 1:i + 3] == b"\r\n":
                i += 3
                continue
            out += bytes.fromhex(data[i + 1:i + 3].decode("ascii"))
            i += 3
            continue
        out += c
        i += 1
    return bytes(out)


class Handler:
    def __init__(self, folder):
        self.folder = folder

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower().startswith("refused@"):
            return "550 5.1.1 refused: no such mailbox"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        content = envelope.original_content
        name = os.path.join(self.folder, safe_name(envelope.mail_from))
        head, _, body = content.partition(b"\r\n\r\n")
        if re.search(rb"(?im)^content-transfer-encoding:\s*quoted-printable", head):
            body = qp_decode(body)
        with open(name + ".msg", "wb") as f:
            f.write(content)
        with open(name + ".body", "wb") as f:
            f.write(body)
        with open(name + ".parsed", "wb") as f:
            f.write(parsed(content))
        lines = ["FROM " + envelope.mail_from] + ["RCPT " + r for r in envelope.rcpt_tos]
        with open(name + ".env.tmp", "w") as f:
            f.write("\n".join(lines) + "\n")
        os.replace(name + ".env.tmp", name + ".env")
        return "250 OK"

    async def auth_CRAM__MD5(self, server, args):
        from aiosmtpd.smtp import MISSING, AuthResult
        challenge = b"<%d.%d@peer.test>" % (os.getpid(), time.time_ns())
        answer = await server.challenge_auth(challenge)
        if answer is MISSING:
            return AuthResult(success=False, handled=True)
        user, _, digest = answer.rpartition(b" ")
        want = hmac.new(PASSWORD, challenge, "md5").hexdigest().encode()
        return AuthResult(success=user == USER and hmac.compare_digest(digest, want), handled=False)


def authenticator(server, session, envelope, mechanism, auth_data):
    from aiosmtpd.smtp import AuthResult, LoginPassword
    ok = isinstance(auth_data, LoginPassword) and auth_data.login == USER and auth_data.password == PASSWORD
    return AuthResult(success=ok, handled=False)


def serve(folder, port_file, pid_file):
    from aiosmtpd.smtp import SMTP
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    handler = Handler(folder)
    server = loop.run_until_complete(loop.create_server(
        lambda: SMTP(handler, auth_require_tls=False, authenticator=authenticator, loop=loop),
        host="127.0.0.1", port=0))
    port = server.sockets[0].getsockname()[1]
    with open(pid_file + ".tmp", "w") as f:
        f.write("%d\n" % os.getpid())
    os.replace(pid_file + ".tmp", pid_file)
    with open(port_file + ".tmp", "w") as f:
        f.write("%d\n" % port)
    os.replace(port_file + ".tmp", port_file)
    loop.add_signal_handler(signal.SIGTERM, loop.stop)
    loop.call_later(LIFETIME_S, loop.stop)
    loop.run_forever()


def peer_pid(pid_file):
    try:
        pid = int(open(pid_file).read().strip())
        cmdline = open("/proc/%d/cmdline" % pid, "rb").read()
    except (OSError, ValueError):
        return None
    return pid if b"smtp_peer.py" in cmdline else None


def stop(folder):
    pid_file = os.path.join(folder, "pid")
    pid = peer_pid(pid_file)
    if pid:
        os.kill(pid, signal.SIGTERM)
        for _ in range(100):
            if peer_pid(pid_file) is None or not os.path.exists("/proc/%d" % pid):
                break
            time.sleep(0.05)
    for name in ("pid", "port"):
        try:
            os.remove(os.path.join(folder, name))
        except OSError:
            pass
    return 0


def start(folder):
    stop(folder)  # one left behind by an interrupted run
    mail = os.path.join(folder, "mail")
    os.makedirs(mail, exist_ok=True)
    for name in os.listdir(mail):
        os.remove(os.path.join(mail, name))
    port_file = os.path.join(folder, "port")
    pid_file = os.path.join(folder, "pid")
    import aiosmtpd.smtp  # noqa: F401  fail here, visibly, when it is missing
    if os.fork() == 0:
        # The server: detached from the test runner's session and pipes.
        os.setsid()
        if os.fork() != 0:
            os._exit(0)
        devnull = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(devnull, fd)
        try:
            serve(mail, port_file, pid_file)
        finally:
            os._exit(0)
    for _ in range(200):
        if os.path.exists(port_file):
            print("smtp peer on 127.0.0.1:" + open(port_file).read().strip())
            return 0
        time.sleep(0.05)
    print("smtp peer did not start", file=sys.stderr)
    return 1


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(start(sys.argv[2]) if sys.argv[1] == "start" else stop(sys.argv[2]))
