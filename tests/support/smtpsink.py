# A loopback SMTP peer for the mail tests: stores every message it accepts
# (envelope, raw text, attachments) in the output directory.
# Arguments: port outdir [user password] [certfile keyfile [refusetls]]
# With "refusetls" STARTTLS is offered but every attempt is answered 454.
import email
import email.policy
import json
import os
import ssl
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

port = int(sys.argv[1])
outdir = sys.argv[2]
user = sys.argv[3] if len(sys.argv) > 3 and sys.argv[3] else None
password = sys.argv[4] if len(sys.argv) > 4 else ""
cert = sys.argv[5] if len(sys.argv) > 5 and sys.argv[5] else None
key = sys.argv[6] if len(sys.argv) > 6 else None
refuse_tls = len(sys.argv) > 7 and sys.argv[7] == "refusetls"
count = 0
mechanisms = {}
lock = threading.Lock()


def write(path, data):
    with open(path + ".tmp", "wb") as f:
        f.write(data)
    os.replace(path + ".tmp", path)


class Handler:
    async def handle_DATA(self, server, session, envelope):
        global count
        with lock:
            count += 1
            n = count
        raw = envelope.original_content or envelope.content
        base = os.path.join(outdir, "mail%d" % n)
        os.makedirs(base, exist_ok=True)
        message = email.message_from_bytes(raw, policy=email.policy.default)
        for i, part in enumerate(message.iter_attachments()):
            write(os.path.join(base, "att-%s" % part.get_filename()), part.get_payload(decode=True))
        body = message.get_body(preferencelist=("plain",))
        write(os.path.join(base, "body.txt"), body.get_content().encode("utf-8") if body else b"")
        write(os.path.join(base, "raw.eml"), raw)
        meta = {
            "from": envelope.mail_from,
            "to": envelope.rcpt_tos,
            "tls": session.ssl is not None,
            "authenticated": bool(session.authenticated),
            "mechanism": mechanisms.get(id(session), ""),
            "subject": str(message["Subject"] or ""),
            "headerTo": str(message["To"] or ""),
            "headerFrom": str(message["From"] or ""),
        }
        write(os.path.join(base, "meta.json"), json.dumps(meta).encode("utf-8"))
        return "250 OK"


def authenticate(server, session, envelope, mechanism, auth_data):
    mechanisms[id(session)] = mechanism
    ok = (isinstance(auth_data, LoginPassword) and auth_data.login.decode() == user
          and auth_data.password.decode() == password)
    return AuthResult(success=ok, handled=False)


class RefusingTls(SMTP):
    async def smtp_STARTTLS(self, arg):
        await self.push("454 4.7.0 TLS not available due to temporary reason")


class SinkController(Controller):
    def factory(self):
        if refuse_tls:
            return RefusingTls(self.handler, **self.SMTP_kwargs)
        return super().factory()


kwargs = {}
if user:
    kwargs.update(authenticator=authenticate, auth_required=True, auth_require_tls=False)
if cert:
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    kwargs.update(tls_context=context)
controller = SinkController(Handler(), hostname="127.0.0.1", port=port, **kwargs)
controller.start()
print("ready", flush=True)
# Runs until the test stops the process.
threading.Event().wait()
