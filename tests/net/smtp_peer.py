#!/usr/bin/python3
"""The SMTP server of the net tests: aiosmtpd on a free loopback port.

Prints "PORT <n>" when it listens (or "SKIP <reason>" when it cannot start),
then serves until it is terminated or --life seconds have passed. Every
message received is stored under --out as msg-<n>/: envelope.txt ("from X",
then one "rcpt X" line per recipient), raw.eml (the bytes received), and what
Python's e-mail parser makes of them: parsed.txt ("header NAME: VALUE" lines,
"part TYPE" per MIME part, "attachment NAME", "defects N"), text.txt (the
decoded text part) and att.bin (the decoded attachment). AUTH LOGIN
credentials received are appended to auth.txt.
"""
import argparse
import email
import email.policy
import os
import signal
import socket
import ssl
import sys
import time
import warnings

warnings.simplefilter("ignore")  # aiosmtpd's deprecation notes are no test output

try:
    from aiosmtpd.controller import Controller
    from aiosmtpd.smtp import AuthResult, LoginPassword
except ImportError:
    print("SKIP python3-aiosmtpd is not installed (scripts/install-deps installs it)", flush=True)
    sys.exit(0)


class Handler:
    def __init__(self, args):
        self.args = args
        self.count = 0

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        if self.args.mail_reply:
            # A positive reply without the word the client looks for, then
            # the one it waits for next.
            await server.push(self.args.mail_reply)
        return self.args.mail_final

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.args.refuse_rcpt:
            return "550 5.1.1 <%s>: Recipient address rejected" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        d = os.path.join(self.args.out, "msg-%d" % self.count)
        os.makedirs(d, exist_ok=True)
        raw = envelope.original_content or b""
        with open(os.path.join(d, "raw.eml"), "wb") as f:
            f.write(raw)
        with open(os.path.join(d, "envelope.txt"), "w") as f:
            f.write("from %s\n" % envelope.mail_from)
            for r in envelope.rcpt_tos:
                f.write("rcpt %s\n" % r)
        msg = email.message_from_bytes(raw, policy=email.policy.compat32)
        lines = ["header %s: %s" % (k, v) for k, v in msg.items()]
        defects = len(msg.defects)
        text = b""
        att = None
        for part in msg.walk():
            defects += len(part.defects)
            lines.append("part %s" % part.get_content_type())
            if part.is_multipart():
                continue
            if part.get_content_type() == "text/plain":
                text = part.get_payload(decode=True) or b""
                lines.append("charset %s" % part.get_content_charset())
            elif part.get_content_type() == "application/pdf":
                att = part.get_payload(decode=True) or b""
                lines.append("attachment %s" % part.get_param("name"))
        lines.append("defects %d" % defects)
        with open(os.path.join(d, "text.txt"), "wb") as f:
            f.write(text)
        if att is not None:
            with open(os.path.join(d, "att.bin"), "wb") as f:
                f.write(att)
        with open(os.path.join(d, "parsed.txt"), "w") as f:
            f.write("\n".join(lines) + "\n")
        if self.args.drop_data:
            server.transport.abort()  # no reply to the end of data
            return None
        if self.args.refuse_data:
            return "554 5.7.1 Message refused"
        return "250 2.0.0 Ok: queued as %d" % self.count


def authenticator(args):
    def check(server, session, envelope, mechanism, auth_data):
        if not isinstance(auth_data, LoginPassword):
            return AuthResult(success=False, handled=False)
        login = auth_data.login.decode("latin-1")
        password = auth_data.password.decode("latin-1")
        with open(os.path.join(args.out, "auth.txt"), "a") as f:
            f.write("%s\n%s\n" % (login, password))
        if login == args.auth[0] and password == args.auth[1]:
            return AuthResult(success=True)
        # Without a message aiosmtpd would send no reply at all.
        return AuthResult(success=False, handled=False,
                          message="535 5.7.8 Authentication credentials invalid")
    return check


def free_port():
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--out", required=True)
    p.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    p.add_argument("--auth", nargs=2, metavar=("USER", "PASS"))
    p.add_argument("--refuse-rcpt", action="append", default=[])
    p.add_argument("--refuse-data", action="store_true")
    p.add_argument("--mail-reply")
    p.add_argument("--mail-final", default="250 OK")
    p.add_argument("--drop-data", action="store_true")
    p.add_argument("--life", type=int, default=300)
    args = p.parse_args()
    os.makedirs(args.out, exist_ok=True)

    ctx = None
    if args.tls:
        ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        ctx.load_cert_chain(args.tls[0], args.tls[1])
    kwargs = {}
    if args.auth:
        kwargs = dict(authenticator=authenticator(args), auth_require_tls=False)

    controller = None
    error = None
    for _ in range(5):  # a port taken between the probe and the bind: try another
        port = free_port()
        try:
            controller = Controller(Handler(args), hostname="127.0.0.1", port=port,
                                    ssl_context=ctx, server_hostname="peer.test",
                                    data_size_limit=64 * 1024 * 1024, **kwargs)
            controller.start()
            break
        except Exception as e:  # noqa: BLE001 - reported as a skip reason below
            error = e
            controller = None
    if controller is None:
        print("SKIP the SMTP server cannot start: %s" % error, flush=True)
        return
    print("PORT %d" % port, flush=True)

    done = []
    signal.signal(signal.SIGTERM, lambda *a: done.append(1))
    end = time.monotonic() + args.life
    while not done and time.monotonic() < end:
        time.sleep(0.05)
    controller.stop()


if __name__ == "__main__":
    main()
