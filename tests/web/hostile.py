#!/usr/bin/env python3
"""Hostile and broken clients against the real program's web page (loopback, each kind of
client from an address of its own in 127.0.0.0/8): each refused with its status, nothing
written, no press lost and no tick late while they run. Prints the table it checked.

Usage: hostile.py PROGRAM WEB_MODULE"""
import base64
import http.client
import os
import socket
import statistics
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(__file__))
from rig import IDLE, INPUT4, Velmora, longest_gap, make_certificate, write_wav  # noqa: E402

EVIL = 'http://evil.example'
results = []


def row(name, got, wanted):
    ok = got in wanted if isinstance(wanted, set) else got == wanted
    results.append((name, got, ok))
    print(f"{'ok  ' if ok else 'FAIL'} {name}: {got}", flush=True)


def snapshot(folder):
    skip = {'out.raw', 'stderr.log', 'port', 'port.new'}
    return {p.name: (p.stat().st_size, p.stat().st_mtime_ns) for p in folder.iterdir() if p.name not in skip}


def presses(v, count):
    """Presses input 4 `count` times; each press's time to its first frame, in ms."""
    before = v.timing()
    for _ in range(count):
        v.press(INPUT4)
        time.sleep(0.35)
        v.press(IDLE)
        time.sleep(0.35)
    after = v.timing()
    new_presses = after['press'][len(before['press']):]
    sounds = after['sound'][len(before['sound']):]
    return [min((s for s in sounds if s >= p), default=float('inf')) - p for p in new_presses]


def raw(port, data, source, wait=5):
    """Sends `data` and returns what comes back before the server closes or `wait` ends."""
    s = socket.create_connection(('127.0.0.1', port), source_address=(source, 0), timeout=wait)
    got = b''
    try:
        s.sendall(data)
        while chunk := s.recv(65536):
            got += chunk
    except (ConnectionResetError, BrokenPipeError, socket.timeout):
        pass
    s.close()
    return got


def status_of(answer):
    return int(answer.split(b' ')[1]) if answer.startswith(b'HTTP/1.1 ') else 'closed'


def closed_by_server(sockets):
    """How many of `sockets` the server has closed (read without waiting)."""
    closed = 0
    for s in sockets:
        s.setblocking(False)
        try:
            closed += s.recv(1) == b''
        except BlockingIOError:
            pass
        except ConnectionResetError:
            closed += 1
    return closed


def live_socket(port, source):
    s = socket.create_connection(('127.0.0.1', port), source_address=(source, 0), timeout=60)
    key = base64.b64encode(os.urandom(16)).decode()
    s.sendall(f'GET /api/live HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUpgrade: websocket\r\n'
              f'Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n'
              f'Origin: http://127.0.0.1:{port}\r\n\r\n'.encode())
    head = b''
    while b'\r\n\r\n' not in head:
        head += s.recv(1)
    assert head.startswith(b'HTTP/1.1 101'), head
    return s


def frame(s):
    """The next text message from the server (pings skipped); None when the socket closed."""
    while True:
        head = s.recv(2)
        if len(head) < 2:
            return None
        size = head[1] & 0x7f
        if size == 126:
            size = int.from_bytes(s.recv(2), 'big')
        data = b''
        while len(data) < size:
            data += s.recv(size - len(data))
        if head[0] & 0x0f == 1:
            return data.decode()


def https(program, module):
    """The page over HTTPS with a certificate the test makes: served, its cookie Secure; plain
    HTTP on that port gets no page; a file that is no certificate refused at start."""
    import ssl
    import subprocess
    import tempfile
    import pathlib
    import http.client
    folder = pathlib.Path(tempfile.mkdtemp(prefix='velmora-https-'))
    cert, key = make_certificate(folder)
    refused = subprocess.run([program, '--check', '--port', 'file:/dev/null', '--web', '8443', '--web-cert',
                              str(key), '--web-cert-key', str(key)], capture_output=True, text=True,
                             env=dict(os.environ, LC_ALL='C.UTF-8', LANGUAGE=''))
    row('a key given as the certificate: refused at start', (refused.returncode, 'certificato' in refused.stderr),
        (2, True))
    v = Velmora(program, module, '--web-cert', str(cert), '--web-cert-key', str(key), folder=folder)
    try:
        row('said with its https:// URL', f'https://127.0.0.1:{v.port}/' in v.log.read_text(), True)
        context = ssl.create_default_context(cafile=str(cert))
        c = http.client.HTTPSConnection('127.0.0.1', v.port, context=context, timeout=10)
        c.request('POST', '/api/login', body=f'{{"key": "{v.key}"}}')
        r = c.getresponse()
        r.read()
        row('HTTPS: the key at the login, a Secure cookie', (r.status, 'Secure' in (r.headers['Set-Cookie'] or '')),
            (200, True))
        c.request('GET', '/api/state')
        r = c.getresponse()
        row('HTTPS: the state', (r.status, b'"inputs"' in r.read()), (200, True))
        c.close()
        row('plain HTTP on the HTTPS port: no page', status_of(raw(v.port, b'GET / HTTP/1.1\r\nHost: x\r\n\r\n',
                                                                   '127.0.0.2')), 'closed')
        row('HTTPS: a clean stop', v.stop(), 0)
    finally:
        v.stop()


def main(program, module):
    folder = None
    v = None
    try:
        import tempfile
        import pathlib
        folder = pathlib.Path(tempfile.mkdtemp(prefix='velmora-hostile-'))
        write_wav(folder / 'ding.wav')
        v = Velmora(program, module, '--web-upload-limit', '1', folder=folder)
        row('assign and save with the key', v.ask('POST', '/api/assign/4', {'file': 'ding.wav'})[0], 200)
        row('save with the key', v.ask('POST', '/api/save')[0], 200)
        config = (v.dir / 'CONFIG.TXT').read_bytes()
        kept = snapshot(v.dir)
        quiet = presses(v, 8)

        a, b = '127.0.0.2', '127.0.0.3'
        row('no key: test', v.ask('POST', '/api/test/4', key=False, source=a)[0], 401)
        row('no key: the log', v.ask('GET', '/api/log', key=False, source=a)[0], 401)
        wrong = [v.ask('POST', '/api/test/4', headers={'Authorization': 'Bearer ' + 'x' * 32}, key=False,
                       source=b)[0] for _ in range(20)]
        row('wrong key x20: 401 then 429 (slowed)', (wrong[0], wrong[-1]), (401, 429))
        row('wrong key: the right key from that address waits too', v.ask('POST', '/api/test/4', source=b)[0], 429)
        logged = v.log.read_text().count('chiave di accesso sbagliata da 127.0.0.3')
        row('wrong key: logged, once per refusal that counted', 1 <= logged <= 20, True)
        status, _, headers = v.ask('POST', '/api/login', {'key': v.key}, key=False, source=a)
        cookie = headers['Set-Cookie'].split(';')[0]
        row('the key at the login: a session cookie', (status, 'HttpOnly' in headers['Set-Cookie']), (200, True))
        row('the cookie from another origin', v.ask('POST', '/api/test/4', key=False, source=a,
                                                     headers={'Cookie': cookie, 'Origin': EVIL})[0], 403)
        row("another site's Origin with the key", v.ask('POST', '/api/save', source=a,
                                                        headers={'Origin': EVIL})[0], 403)
        row('the cookie from the page itself', v.ask('POST', '/api/test/4', key=False, source=a,
                                                     headers={'Cookie': cookie})[0], 200)
        wav = (v.dir / 'ding.wav').read_bytes()
        # A slash, even encoded, is no route at all (404); the rest are names refused (400).
        for name in ('../CONFIG.TXT', '..%2FCONFIG.TXT', 'a%2Fb.wav', '%2e%2e', '.hidden.wav', 'CONFIG.TXT',
                     'x%0A.wav', '%E2%80%AEvaw.exe'):
            row(f'upload named {name}', v.ask('PUT', f'/api/sounds/{name}', wav, source=a)[0], {400, 404})
        row('upload of a file that exists, not asked to replace',
            v.ask('PUT', '/api/sounds/ding.wav', wav, source=a)[0], 409)
        row('a non-WAV named .wav', v.ask('PUT', '/api/sounds/fake.wav', os.urandom(5000), source=a)[0], 422)
        row('an upload past the limit (1 MiB)',
            status_of(raw(v.port, b'PUT /api/sounds/big.wav HTTP/1.1\r\nHost: x\r\nContent-Length: 2000000\r\n'
                          b'Authorization: Bearer ' + v.key.encode() + b'\r\n\r\n' + os.urandom(2_000_000), a)), 413)
        row('1 MiB of headers', status_of(raw(v.port, b'GET /api/state HTTP/1.1\r\nHost: x\r\n' +
                                             b'X-Pad: ' + b'a' * (1 << 20) + b'\r\n\r\n', a)), 431)

        # All at once: idle connections past the cap, a slow client, a flood, a live page
        # left idle past the idle limit - while input 4 is pressed.
        idle = []
        for _ in range(200):
            try:
                idle.append(socket.create_connection(('127.0.0.1', v.port), source_address=('127.0.0.4', 0)))
            except OSError:
                pass
        time.sleep(1)
        row('200 idle connections from one address: all but 32 closed at once', closed_by_server(idle), 168)
        page = live_socket(v.port, '127.0.0.7')
        frame(page)   # the state on opening
        slow = {}

        def slowloris():
            s = socket.create_connection(('127.0.0.1', v.port), source_address=('127.0.0.6', 0), timeout=30)
            started, got = time.time(), b''
            try:
                s.sendall(b'GET /api/state HTTP/1.1\r\n')
                while not got:
                    s.sendall(b'X-Slow: 1\r\n')
                    s.settimeout(2)
                    try:
                        got = s.recv(4096) or b'closed'
                    except socket.timeout:
                        pass
            except (BrokenPipeError, ConnectionResetError):
                got = got or b'closed'
            slow['status'], slow['after'] = status_of(got), time.time() - started

        flood = {'n': 0, 'bad': 0}
        stop = threading.Event()

        def flooding():
            # One kept-alive connection at a time, at most 150 requests a second each: a new
            # connection per request at full speed used up this address's ports (each waits
            # a minute in TIME_WAIT) on a fast machine, and the test failed on its own sockets.
            c = None
            while not stop.is_set():
                began = time.time()
                try:
                    c = c or http.client.HTTPConnection('127.0.0.1', v.port, timeout=20,
                                                        source_address=('127.0.0.5', 0))
                    c.request('GET', '/api/state')
                    r = c.getresponse()
                    r.read()
                    status = r.status
                except (OSError, http.client.HTTPException):
                    c, status = None, 0
                flood['n'] += 1
                flood['bad'] += status != 200
                time.sleep(max(0.0, 1 / 150 - (time.time() - began)))
            if c:
                c.close()

        threads = [threading.Thread(target=slowloris)] + [threading.Thread(target=flooding) for _ in range(4)]
        for t in threads:
            t.start()
        started = time.time()
        busy = presses(v, 8)
        row('an ordinary request meanwhile', v.ask('GET', '/api/state', source=a)[0], 200)
        time.sleep(max(0, 33 - (time.time() - started)))
        stop.set()
        for t in threads:
            t.join()
        row('a slow client (a header line every 2 s): refused by 10 s', (slow['status'], slow['after'] < 13), (408, True))
        row('the flood answered', (flood['n'] > 100, flood['bad']), (True, 0))
        row('idle connections closed after 30 s', closed_by_server(idle), len(idle))
        v.press(INPUT4)
        message = frame(page)
        row('a live page idle past 30 s still told the lamps', message is not None and '"lamps"' in message, True)
        v.press(IDLE)

        row('nothing written: CONFIG.TXT', (v.dir / 'CONFIG.TXT').read_bytes() == config, True)
        row('nothing written: the folder', snapshot(v.dir) == kept, True)
        ticks = v.timing()['tick']
        row('no press lost (16 presses, each heard)', sum(t != float('inf') for t in quiet + busy), 16)
        gap = longest_gap(ticks)
        row('the tick never late: longest gap under 400 ms', gap < 400, True)
        print(f'ticks: {len(ticks)}, longest gap {gap:.0f} ms; press -> first frame median '
              f'{statistics.median(quiet):.1f} ms quiet, {statistics.median(busy):.1f} ms under attack; '
              f'flood: {flood["n"]} requests')
        row('the program still running', v.proc.poll(), None)
        row('a clean stop, with live pages and connections open', v.stop(), 0)
    finally:
        if v:
            v.stop()
    https(program, module)
    failed = [r for r in results if not r[2]]
    print(f'{len(results) - len(failed)} of {len(results)} rows as they should be')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:3]))
