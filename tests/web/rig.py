"""The real program with its web page, in a folder of its own, for the web tests.

Velmora runs screenless on a `file:` port, its sound written by SDL's disk driver, its
timing lines on (the tick, each press, each sound's first frame) so that a test can say
whether the tick was ever late."""
import http.client
import json
import math
import os
import pathlib
import shutil
import socket
import struct
import subprocess
import tempfile
import time
import wave

IDLE, INPUT3, INPUT4 = '0x78', '0x58', '0x68'   # the port's status byte: nothing pressed; input 3, 4 pressed


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def make_certificate(folder):
    """A certificate for 127.0.0.1 and its key, made now: (certificate, key) paths."""
    cert, key = pathlib.Path(folder) / 'cert.pem', pathlib.Path(folder) / 'key.pem'
    subprocess.run(['openssl', 'req', '-x509', '-newkey', 'ec', '-pkeyopt', 'ec_paramgen_curve:P-256', '-nodes',
                    '-days', '2', '-subj', '/CN=127.0.0.1', '-addext', 'subjectAltName=IP:127.0.0.1',
                    '-keyout', str(key), '-out', str(cert)], check=True, capture_output=True)
    return cert, key


def write_wav(path, seconds=0.3, hz=440):
    with wave.open(str(path), 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(22050)
        w.writeframes(b''.join(struct.pack('<h', int(8000 * math.sin(2 * math.pi * hz * i / 22050)))
                               for i in range(int(22050 * seconds))))


class Velmora:
    def __init__(self, program, module, *options, web='127.0.0.1:{port}', folder=None, locale='C.UTF-8'):
        """With web=None, no page: the options name the faces, and it is ready once started."""
        self.dir = pathlib.Path(folder or tempfile.mkdtemp(prefix='velmora-web-'))
        for f in (program, module):
            shutil.copy(f, self.dir)
        for gone in ('stderr.log', 'out.raw'):
            (self.dir / gone).unlink(missing_ok=True)
        self.port_file = self.dir / 'port'
        self.press(IDLE)
        self.port = free_port()
        self.web = web and web.format(port=self.port)
        self.log = self.dir / 'stderr.log'
        env = dict(os.environ, SDL_AUDIODRIVER='disk', SDL_DISKAUDIOFILE=str(self.dir / 'out.raw'),
                   QT_LOGGING_RULES='velmora.timing.debug=true', LC_ALL=locale, LANGUAGE='')
        self.proc = subprocess.Popen([str(self.dir / 'velmora'), '--no-window', '--port', f'file:{self.port_file}',
                                      *(['--web', self.web] if web else []), *options],
                                     cwd=self.dir, env=env, stdout=subprocess.DEVNULL, stderr=open(self.log, 'w'))
        if not web:
            return
        self.key = subprocess.run([str(self.dir / 'velmora'), '--web-key'], cwd=self.dir, env=env, check=True,
                                  capture_output=True, text=True).stdout.split('\n')[0]
        deadline = time.time() + 10
        while f':{self.port}/' not in self.log.read_text():   # said with its URL, in either language
            if self.proc.poll() is not None or time.time() > deadline:
                self.stop()
                raise AssertionError(self.log.read_text())
            time.sleep(0.05)

    def press(self, byte):
        # Whole or not at all, as docs/parallel-port.md says to.
        (self.dir / 'port.new').write_text(byte + '\n')
        os.replace(self.dir / 'port.new', self.port_file)

    def ask(self, method, path, body=None, headers=None, source='127.0.0.1', key=True):
        headers = dict(headers or {})
        if key:
            headers.setdefault('Authorization', f'Bearer {self.key}')
        if isinstance(body, (dict, list)):
            body = json.dumps(body).encode()
        c = http.client.HTTPConnection('127.0.0.1', self.port, timeout=20, source_address=(source, 0))
        c.request(method, path, body=body, headers=headers)
        r = c.getresponse()
        data = r.read()
        c.close()
        return r.status, json.loads(data) if data.startswith(b'{') else data, r.headers

    def timing(self):
        """Each tick's, press's and first frame's time from the log, in ms."""
        lines = {'tick': [], 'press': [], 'sound': []}
        for line in self.log.read_text().splitlines():
            parts = line.split()   # "velmora.timing: tick 123456789"
            if len(parts) >= 3 and parts[0] == 'velmora.timing:' and parts[1] in lines:
                lines[parts[1]].append(int(parts[-1]) / 1e6)
        return lines

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        return self.proc.returncode


def longest_gap(times):
    return max((b - a for a, b in zip(times, times[1:])), default=0)
