"""A real Mosquitto broker on a loopback port of its own, and mosquitto_sub as the room's
dashboard, for the bus tests and the benchmark."""
import getpass
import json
import os
import pathlib
import signal
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / 'web'))
from rig import free_port  # noqa: E402


class Broker:
    """mosquitto with a configuration of its own: loopback only, and what `extra` adds
    (a password file, TLS, persistence)."""

    def __init__(self, extra='', port=None, folder=None):
        self.dir = pathlib.Path(folder or tempfile.mkdtemp(prefix='velmora-broker-'))
        self.port = port or free_port()
        self.conf = self.dir / 'mosquitto.conf'
        anonymous = '' if 'allow_anonymous' in extra else 'allow_anonymous true\n'   # 2.x's default is false
        # Run as whoever runs the tests (as root it would become the user mosquitto, who cannot
        # read the test's own files).
        self.conf.write_text(f'listener {self.port} 127.0.0.1\nuser {getpass.getuser()}\n{anonymous}{extra}\n')
        self.log = self.dir / 'broker.log'
        self.proc = None
        self.start()

    def start(self):
        self.proc = subprocess.Popen(['mosquitto', '-c', str(self.conf), '-v'], stdout=subprocess.DEVNULL,
                                     stderr=open(self.log, 'a'))
        deadline = time.time() + 10
        while True:
            try:
                socket.create_connection(('127.0.0.1', self.port), 0.2).close()
                return
            except OSError:
                if self.proc.poll() is not None or time.time() > deadline:
                    raise AssertionError(self.log.read_text())
                time.sleep(0.02)

    def kill(self):
        self.proc.send_signal(signal.SIGKILL)
        self.proc.wait()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(10)

    def connections(self):
        """How many times a client asked the broker to let it in, from its log."""
        return self.log.read_text().count('Sending CONNACK')


class Sub:
    """mosquitto_sub printing each message as topic and payload, a line each; `lines()`
    are the messages seen so far, (topic, payload) with the time they came."""

    def __init__(self, broker, *topics, options=()):
        self.out = pathlib.Path(tempfile.mkstemp(prefix='velmora-sub-')[1])
        self.proc = subprocess.Popen(['stdbuf', '-oL', 'mosquitto_sub', '-h', '127.0.0.1', '-p', str(broker.port), '-F', '%U %t %p',
                                      *options, *sum((['-t', t] for t in topics), [])],
                                     stdout=open(self.out, 'w'), stderr=subprocess.STDOUT)

    def messages(self):
        seen = []
        for line in self.out.read_text(errors='replace').splitlines():
            parts = line.split(' ', 2)
            if len(parts) >= 2 and parts[0].replace('.', '').isdigit():
                seen.append((float(parts[0]), parts[1], parts[2] if len(parts) > 2 else ''))
        return seen

    def payloads(self, topic):
        return [p for _, t, p in self.messages() if t == topic]

    def presses(self, prefix='velmora/'):
        return [json.loads(p) | {'topic': t} for _, t, p in self.messages()
                if t.startswith(prefix) and t.endswith('/press')]

    def wait(self, until, timeout=10, what=''):
        deadline = time.time() + timeout
        while not until(self):
            if time.time() > deadline:
                raise AssertionError(f'{what}: not seen in {timeout} s; saw {self.messages()[-30:]}')
            time.sleep(0.02)

    def stop(self):
        self.proc.terminate()
        self.proc.wait(5)


def publish(broker, topic, payload, *options):
    subprocess.run(['mosquitto_pub', '-h', '127.0.0.1', '-p', str(broker.port), '-t', topic, '-m', payload, *options], check=True)


def make_ca(folder, host_name='127.0.0.1'):
    """A CA and a server certificate it signs for `host_name`: (ca, cert, key) paths."""
    folder = pathlib.Path(folder)
    ca, ca_key = folder / 'ca.pem', folder / 'ca-key.pem'
    cert, key, csr = folder / 'server.pem', folder / 'server-key.pem', folder / 'server.csr'
    run = lambda *a: subprocess.run(['openssl', *a], check=True, capture_output=True)  # noqa: E731
    run('req', '-x509', '-newkey', 'ec', '-pkeyopt', 'ec_paramgen_curve:P-256', '-nodes', '-days', '2',
        '-subj', '/CN=Velmora test CA', '-keyout', str(ca_key), '-out', str(ca))
    run('req', '-newkey', 'ec', '-pkeyopt', 'ec_paramgen_curve:P-256', '-nodes', '-subj', f'/CN={host_name}',
        '-keyout', str(key), '-out', str(csr))
    ext = folder / 'ext.cnf'
    ext.write_text(f'subjectAltName={"IP" if host_name[0].isdigit() else "DNS"}:{host_name}\n')
    run('x509', '-req', '-in', str(csr), '-CA', str(ca), '-CAkey', str(ca_key), '-CAcreateserial', '-days', '2',
        '-extfile', str(ext), '-out', str(cert))
    for f in (key, ca_key):
        os.chmod(f, 0o600)
    return ca, cert, key
