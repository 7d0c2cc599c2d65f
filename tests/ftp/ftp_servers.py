#!/usr/bin/python3
"""FTP servers for the FTP tests and the benchmark, all on 127.0.0.1 with ports the system picks.

  ftp_servers.py ROOT STATE_DIR [--real-only] [--no-tls]

Starts a real pyftpdlib server (user "vaultick", password "Segr3ta!") serving ROOT, the same
behind explicit TLS ("tls", certificate in STATE_DIR/tls-cert.pem), and one
scripted server per fault scenario, each on its own port. Writes STATE_DIR/ports ("name port"
lines) once all listen. A scripted connection records the commands it received, one per line,
in STATE_DIR/<scenario>.txt. Ends on SIGTERM, or by itself after an hour.
"""
import os
import signal
import socket
import subprocess
import sys
import threading
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.ioloop import IOLoop
from pyftpdlib.servers import FTPServer

USER, PASSWORD = "vaultick", "Segr3ta!"


def tls_server(root, state_dir):
    """pyftpdlib's TLS handler with a self-signed certificate made here; TLS required for the
    login and the data. The commands it receives go to STATE_DIR/tls-commands.txt."""
    from pyftpdlib.handlers import TLS_FTPHandler

    cert = os.path.join(state_dir, "tls-cert.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                    "/CN=127.0.0.1", "-keyout", cert, "-out", cert], check=True, capture_output=True)
    out = subprocess.run(["openssl", "x509", "-in", cert, "-noout", "-fingerprint", "-sha256"], check=True,
                         capture_output=True, text=True).stdout
    with open(os.path.join(state_dir, "tls-fingerprint"), "w") as f:
        f.write(out.strip().split("=", 1)[1].replace(":", ""))
    log = os.path.join(state_dir, "tls-commands.txt")

    class Handler(TLS_FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            with open(log, "a") as out:
                out.write(cmd + "\n")
            return super().pre_process_command(line, cmd, arg)

    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, root, perm="elradfmwMT")
    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = 0
    Handler.certfile = cert
    Handler.tls_control_required = True
    Handler.tls_data_required = True
    # Its own loop: two servers serving one loop from two threads trip over each other.
    server = FTPServer(("127.0.0.1", 0), Handler, ioloop=IOLoop())
    server.max_cons = 256
    return server


def real_server(root):
    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, root, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0  # a wrong password is answered at once
    handler.banner = "Vaultick test server ready."
    server = FTPServer(("127.0.0.1", 0), handler)
    server.max_cons = 256
    return server


class Scripted:
    """One misbehaving server: `name` picks what it does wrong."""

    def __init__(self, name, state_dir):
        self.name = name
        self.transcript = os.path.join(state_dir, name + ".txt")
        self.sock = socket.socket()
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(16)
        self.port = self.sock.getsockname()[1]

    def serve(self):
        while True:
            conn, _ = self.sock.accept()
            threading.Thread(target=self.session, args=(conn,), daemon=True).start()

    def session(self, conn):
        lines = []
        try:
            self.talk(conn, lines)
        except (OSError, ValueError):
            pass
        finally:
            tmp = self.transcript + ".tmp"
            with open(tmp, "w") as out:
                out.write("".join(line + "\n" for line in lines))
            os.replace(tmp, self.transcript)
            try:
                conn.close()
            except OSError:
                pass

    def talk(self, conn, lines):
        name = self.name
        rfile = conn.makefile("rb")

        def say(text):
            conn.sendall(text.encode("latin-1"))

        if name == "silent":
            rfile.read()  # never a word; waits until the client goes
            return
        if name == "chatty":
            # A multi-line greeting that never ends: lines keep coming, the reply never does.
            conn.settimeout(0.1)
            for _ in range(3000):
                say("220-still greeting\r\n")
                try:
                    if not conn.recv(1):
                        return
                except socket.timeout:
                    pass
            return
        if name == "greeting":
            say("421 Too many users, try later.\r\n")
            rfile.read()
            return
        if name == "multiline":
            say("220-Welcome\r\n 220 a blank-led line\r\nletter-led 220 line\r\n220-still going\r\n220 ready\r\n")
        else:
            say("220 scripted ready\r\n")
        port_address = None
        passive = None
        while True:
            raw = rfile.readline()
            if not raw:
                return
            line = raw.decode("latin-1").rstrip("\r\n")
            lines.append(line)
            verb, _, arg = line.partition(" ")
            verb = verb.upper()
            if verb == "USER":
                if name == "user230":
                    say("230 Welcome, no password needed.\r\n")
                elif name == "multiline":
                    say("331-Password\r\n 230 not this one\r\nNot this 230 either\r\n331 please\r\n")
                else:
                    say("331 Password please.\r\n")
            elif verb == "PASS":
                if name == "stallreply":
                    say("230-Logged in\r\n230 and th")  # the rest never comes
                    rfile.read()
                    return
                if name == "echopass":
                    say("530 Login incorrect for password " + arg + "\r\n")
                else:
                    say("230 Logged in.\r\n")
            elif verb == "MKD":
                say("550 Cannot create folder.\r\n" if name == "refuse" else '257 "%s" created.\r\n' % arg)
            elif verb == "TYPE":
                say("200 Type set.\r\n")
            elif verb == "PORT":
                if name == "port500":
                    say("500 PORT not allowed.\r\n")
                    continue
                n = [int(x) for x in arg.split(",")]
                port_address = ("%d.%d.%d.%d" % tuple(n[:4]), n[4] * 256 + n[5])
                if name == "intruder":
                    lines.append(self.intrude(port_address))
                say("200 PORT ok.\r\n")
            elif verb == "PASV":
                passive = socket.socket()
                passive.bind(("127.0.0.1", 0))
                passive.listen(1)
                p = passive.getsockname()[1]
                say("227 Entering Passive Mode (127,0,0,1,%d,%d).\r\n" % (p // 256, p % 256))
            elif verb == "STOR":
                self.store(conn, say, port_address, passive, lines)
                passive = None
            elif verb == "ABOR" and name == "noactive":
                say("426 Transfer aborted.\r\n226 ABOR command successful.\r\n")
            elif verb == "QUIT":
                say("221 Bye.\r\n")
                return
            else:
                say("502 Not implemented.\r\n")

    def intrude(self, port_address):
        """Another program of the machine reaches the client's data port first, from 127.0.0.2."""
        try:
            other = socket.create_connection(port_address, timeout=60, source_address=("127.0.0.2", 0))
        except OSError:
            return "# intruder not connected"
        with other:
            other.settimeout(10)
            try:
                got = other.recv(1)
            except socket.timeout:
                return "# intruder kept"
            except OSError:
                return "# intruder closed"
            return "# intruder closed" if not got else "# intruder got data"

    def store(self, conn, say, port_address, passive, lines):
        name = self.name
        if name == "refuse":
            say("550 Permission denied.\r\n")
            return
        say("150 Opening data connection.\r\n")
        if name == "noaccept" or (name == "noactive" and passive is None):
            return  # the data connection is never made; ABOR is answered by the main loop
        if passive is not None:
            passive.settimeout(10)
            data, _ = passive.accept()
            passive.close()
        else:
            data = socket.create_connection(port_address, timeout=10)
        received = 0
        with data:
            data.settimeout(30)
            if name == "stalldata":
                data.recv(4096)
                time.sleep(8)  # stops reading; the client's sends back up
                return
            if name == "drop":
                data.recv(4096)
                data.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
                data.close()
                say("426 Connection closed; transfer aborted.\r\n")
                return
            while True:
                chunk = data.recv(65536)
                if not chunk:
                    break
                received += len(chunk)
        lines.append("# received %d" % received)
        say("226 Transfer complete.\r\n")


def main():
    root, state_dir = sys.argv[1], sys.argv[2]
    os.makedirs(root, exist_ok=True)
    os.makedirs(state_dir, exist_ok=True)
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    ports = []
    real = real_server(root)
    ports.append(("real", real.address[1]))
    threading.Thread(target=real.serve_forever, kwargs={"handle_exit": False}, daemon=True).start()
    if "--no-tls" not in sys.argv:
        tls = tls_server(root, state_dir)
        ports.append(("tls", tls.address[1]))
        threading.Thread(target=tls.serve_forever, kwargs={"handle_exit": False}, daemon=True).start()
    if "--real-only" not in sys.argv:
        for name in ("silent", "chatty", "greeting", "user230", "multiline", "refuse", "stallreply", "stalldata", "drop",
                     "noaccept", "noactive", "port500", "echopass", "plain", "intruder"):
            scripted = Scripted(name, state_dir)
            ports.append((name, scripted.port))
            threading.Thread(target=scripted.serve, daemon=True).start()
    tmp = os.path.join(state_dir, "ports.tmp")
    with open(tmp, "w") as out:
        out.write("".join("%s %d\n" % p for p in ports))
    os.replace(tmp, os.path.join(state_dir, "ports"))
    time.sleep(3600)
    os._exit(0)


if __name__ == "__main__":
    main()
