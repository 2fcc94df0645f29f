#!/usr/bin/python3
"""A local SMTP server for the mail tests.

Listens on 127.0.0.1 (a free port, or --port), prints "PORT <n>" once it
accepts connections, and serves until its standard input closes. Every
message it takes is written to --out as <n>.eml (as received) and <n>.json
(the greeting name, the envelope and the message decoded: sender, subject,
plain-text body, attachments saved as <n>-<i>.bin).

  --refuse ADDR      answer RCPT TO:<ADDR> with a 550 refusal
  --auth USER:PASS   require this login before MAIL FROM
  --silent           accept connections and never answer (a hung server)
  --tls CERT,KEY     offer STARTTLS with this certificate and require it
Exit code 3: the port is taken; 4: aiosmtpd is not installed.
"""
import argparse
import email
import json
import os
import socket
import sys
import threading
from email import policy


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Handler:
    def __init__(self, out, refuse):
        self.out = out
        self.refuse = set(refuse)
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.refuse:
            return "550 5.1.1 <%s>: Recipient address rejected: User unknown" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.out, str(self.count))
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        msg = email.message_from_bytes(envelope.original_content or envelope.content,
                                       policy=policy.default)
        body = msg.get_body(("plain",))
        sender = msg["From"].addresses[0] if msg["From"] else None
        attachments = []
        for i, part in enumerate(msg.iter_attachments()):
            path = "%s-%d.bin" % (base, i)
            with open(path, "wb") as f:
                f.write(part.get_payload(decode=True))
            attachments.append({"name": part.get_filename(), "file": path})
        summary = {
            "helo": session.host_name,
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "from_name": sender.display_name if sender else "",
            "from_address": sender.addr_spec if sender else "",
            "to": str(msg["To"] or ""),
            "subject": str(msg["Subject"] or ""),
            "bcc": str(msg["Bcc"] or ""),
            "body": body.get_content() if body else "",
            "body_type": body.get_content_type() if body else "",
            "body_charset": body.get_content_charset() if body else "",
            "attachments": attachments,
            "header_count": len(msg.keys()),
            "tls": session.ssl is not None,
        }
        with open(base + ".json.tmp", "w", encoding="utf-8") as f:
            json.dump(summary, f, ensure_ascii=False)
        os.replace(base + ".json.tmp", base + ".json")
        return "250 Message accepted for delivery"


def serve_silent(port):
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(5)
    held = []

    def accept():
        while True:
            conn, _ = listener.accept()
            held.append(conn)

    threading.Thread(target=accept, daemon=True).start()
    return lambda: listener.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--refuse", action="append", default=[])
    parser.add_argument("--auth", default="")
    parser.add_argument("--silent", action="store_true")
    parser.add_argument("--tls", default="")
    args = parser.parse_args()
    port = args.port or free_port()
    try:
        if args.silent:
            stop = serve_silent(port)
        else:
            try:
                from aiosmtpd.controller import Controller
            except ImportError:
                print("MISSING python3-aiosmtpd", flush=True)
                sys.exit(4)
            from aiosmtpd.smtp import AuthResult
            kwargs = {}
            if args.auth:
                user, password = args.auth.split(":", 1)

                def check(server, session, envelope, mechanism, auth_data):
                    ok = (auth_data.login.decode() == user and
                          auth_data.password.decode() == password)
                    return AuthResult(success=ok, handled=False)

                kwargs = dict(auth_required=True, auth_require_tls=False, authenticator=check)
            if args.tls:
                import ssl
                cert, key = args.tls.split(",", 1)
                context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
                context.load_cert_chain(cert, key)
                kwargs.update(tls_context=context, require_starttls=True)
            controller = Controller(Handler(args.out, args.refuse), hostname="127.0.0.1",
                                    port=port, server_kwargs=kwargs)
            controller.start()
            stop = controller.stop
    except OSError as e:
        print("ERROR %s" % e, flush=True)
        sys.exit(3)
    print("PORT %d" % port, flush=True)
    sys.stdin.read()
    stop()


if __name__ == "__main__":
    main()
