# A real mail server for the tests (Debian's python3-aiosmtpd): STARTTLS and sign-in required,
# every mail it takes written to the output folder as it arrived (NAME.eml, its envelope's
# recipients in NAME.rcpt). Modes play a server that misbehaves. Prints "PORT n" when ready.
#   smtp_server.py OUT CERT KEY USER PASSWORD MODE
import asyncio
import os
import socket
import sys
import ssl
import time

out, cert, key, user, password, mode = sys.argv[1:7]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


if mode == "stall":
    # Takes the connection and says nothing, ever.
    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    server.listen(5)
    print("PORT", server.getsockname()[1], flush=True)
    held = []
    while True:
        conn, _ = server.accept()
        held.append(conn)

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Handler:
    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if mode == "reject-rcpt":
            return "550 5.1.1 <%s>: Recipient address rejected" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if mode == "drop-after-data":
            server.transport.abort()
            return "250 OK"
        if mode == "reject-data":
            return "554 5.7.1 Message rejected as spam"
        n = len([f for f in os.listdir(out) if f.endswith(".eml")])
        with open(os.path.join(out, "%d.eml" % n), "wb") as f:
            f.write(envelope.original_content)
        with open(os.path.join(out, "%d.rcpt" % n), "w") as f:
            f.write("\n".join(envelope.rcpt_tos))
        return "250 2.0.0 Ok: queued as Q%d" % n


def authenticate(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and auth_data.login == user.encode() and auth_data.password == password.encode()
    return AuthResult(success=ok, handled=False)  # handled=False: the server answers 535 itself


context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
context.load_cert_chain(cert, key)
port = free_port()
controller = Controller(Handler(), hostname="127.0.0.1", port=port, tls_context=context, require_starttls=True,
                        authenticator=authenticate, auth_required=True, auth_require_tls=True)
controller.start()
print("PORT", port, flush=True)
while True:
    time.sleep(3600)
