"""Velmora on a real Mosquitto broker: what it publishes for presses and lamps, the commands
it takes and refuses, the broker's faults (down at start, killed while presses happen, a
wrong password, TLS), the last will, and a fleet of twenty boxes on one broker.

Usage: bus.py VELMORA VELMORA-MQTT.SO"""
import datetime
import json
import os
import pathlib
import signal
import subprocess
import sys
import tempfile
import time

from broker import Broker, Sub, make_ca, publish

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / 'web'))
from rig import IDLE, INPUT3, INPUT4, Velmora, write_wav  # noqa: E402

ALL_FOUR = '0x88'   # every input pressed: bits 4-6 low, the inverted Busy bit high


def box(program, module, broker, name, *options, folder=None, scheme='mqtt'):
    v = Velmora(program, module, '--mqtt', f'{scheme}://127.0.0.1:{broker.port}', '--mqtt-name', name, *options,
                web=None, folder=folder)
    deadline = time.time() + 10
    while not v.timing()['tick']:   # reading its port: a press before that would be before its time
        assert v.proc.poll() is None and time.time() < deadline, v.log.read_text()
        time.sleep(0.02)
    return v


def tap(v, byte=INPUT4, held=0.05):
    v.press(byte)
    time.sleep(held)
    v.press(IDLE)
    time.sleep(0.25)   # the release seen before the next press


def sounds_folder():
    folder = pathlib.Path(tempfile.mkdtemp(prefix='velmora-bus-'))
    for n, hz in enumerate((440, 550, 660, 880), 1):
        write_wav(folder / f'suono{n}.wav', hz=hz)
    (folder / 'CONFIG.TXT').write_bytes(b''.join(b'SUONO INGRESSO %d = suono%d.wav\r\n' % (n, n) for n in range(1, 5)))
    return folder


def nothing_loaded(program, module):
    """Without --mqtt, neither the module nor libmosquitto (nor its TLS library) is loaded."""
    v = Velmora(program, module, web=None)
    try:
        time.sleep(1)
        maps = pathlib.Path(f'/proc/{v.proc.pid}/maps').read_text()
        assert not any(lib in maps for lib in ('velmora-mqtt', 'libmosquitto', 'libssl')), maps
    finally:
        assert v.stop() == 0, v.log.read_text()
    print('without --mqtt: nothing of it loaded')


def topics(program, module):
    """A held input, taps and all four at once, as a dashboard sees them."""
    broker = Broker()
    sub = Sub(broker, 'velmora/#')
    v = box(program, module, broker, 'quiz', folder=sounds_folder())
    try:
        sub.wait(lambda s: s.payloads('velmora/quiz/status') == ['online'], what='online')
        sub.wait(lambda s: s.payloads('velmora/quiz/sound/2') == ['suono2.wav'], what='sound 2 assigned')
        v.press(INPUT4)
        time.sleep(1.0)   # held across five ticks: one press, not one per tick
        v.press(IDLE)
        sub.wait(lambda s: s.payloads('velmora/quiz/input/4') == ['OFF', 'ON', 'OFF'], what='lamp 4 on, off')
        assert len(sub.presses()) == 1, sub.presses()
        assert json.loads(sub.payloads('velmora/quiz/playing')[1]) == {'input': 4, 'file': 'suono4.wav'}
        sub.wait(lambda s: s.payloads('velmora/quiz/playing')[-1] == 'none', what='played to its end')
        for _ in range(3):
            tap(v)
        v.press(ALL_FOUR)
        time.sleep(0.3)
        v.press(IDLE)
        sub.wait(lambda s: len(s.presses()) == 8, what='eight presses')
        presses = sub.presses()
        assert [p['input'] for p in presses] == [4, 4, 4, 4, 2, 1, 3, 4], presses
        assert [p['sequence'] for p in presses] == list(range(1, 9)), presses
        assert [p['count'] for p in presses if p['input'] == 4] == [1, 2, 3, 4, 5], presses
        assert all(p['topic'] == f'velmora/quiz/input/{p["input"]}/press' for p in presses), presses
        # The press's own time: the port's sample, within a tick of the message's arrival.
        for (at, topic, payload) in [m for m in sub.messages() if m[1].endswith('/press')]:
            sent = datetime.datetime.fromisoformat(json.loads(payload)['time'].replace('Z', '+00:00')).timestamp()
            assert -0.002 <= at - sent < 0.25, (at, payload)
        # Retained: a dashboard that comes later learns the state at once.
        late = Sub(broker, 'velmora/quiz/#', options=('-W', '2'))
        late.proc.wait(5)
        seen = {t: p for _, t, p in late.messages()}
        assert seen['velmora/quiz/status'] == 'online' and seen['velmora/quiz/input/1'] == 'OFF', seen
        assert seen['velmora/quiz/sound/3'] == 'suono3.wav' and not any(t.endswith('/press') for t in seen), seen
    finally:
        assert v.stop() == 0, v.log.read_text()
        sub.wait(lambda s: s.payloads('velmora/quiz/status')[-1:] == ['offline'], what='offline on a clean stop')
        sub.stop()
        broker.stop()
    print('topics: held input, taps, all four in the order 2, 1, 3, 4; retained state; offline on stop')


COMMANDS = [
    # (topic's last level, payload, result, what the reason says, or the sound that plays)
    ('play', '2', 'done', None),
    ('play', '{"input": 3, "id": "a"}', 'done', None),
    ('play', '{"file": "suono1.wav", "id": 5}', 'done', None),
    ('stop', '', 'done', None),
    ('reload', '', 'done', None),
    ('play', '5', 'refused', 'da 1 a 4'),
    ('play', '{"input": 2.5}', 'refused', 'da 1 a 4'),
    ('play', '{"input": 1, "file": "suono1.wav"}', 'refused', 'uno dei due'),
    ('play', '{"file": "../CONFIG.TXT"}', 'refused', "'..'"),
    ('play', '{"file": "/etc/passwd"}', 'refused', 'assolut'),
    ('play', '{"file": ".hidden.wav"}', 'refused', 'nascost'),
    ('play', '{"file": "missing.wav"}', 'refused', "non c'è"),
    ('play', '{"file": "escape.wav"}', 'refused', "non c'è"),   # a link out of the folder
    ('play', '{"file": 7}', 'refused', 'nome di un file'),
    ('play', '{not json', 'refused', 'play vuole'),
    ('play', '', 'refused', 'play vuole'),
    ('play', '[1]', 'refused', 'play vuole'),
    ('play', 'x' * 5000, 'refused', 'troppo lungo'),
    ('explode', '', 'refused', 'sconosciuto'),
]


def commands(program, module):
    """Each command answered on cmd/result; the bad ones refused with their reason, nothing changed."""
    broker = Broker()
    folder = sounds_folder()
    os.symlink('/etc/hostname', folder / 'escape.wav')
    config = (folder / 'CONFIG.TXT').read_bytes()
    sub = Sub(broker, 'velmora/cmd-box/cmd/result', 'velmora/cmd-box/status', 'velmora/cmd-box/playing')
    # A command left retained on the broker would play at every connection: refused.
    publish(broker, 'velmora/cmd-box/cmd/play', '1', '-r')
    v = box(program, module, broker, 'cmd-box', folder=folder)
    try:
        sub.wait(lambda s: s.payloads('velmora/cmd-box/status') == ['online'], what='online')
        sub.wait(lambda s: 'retain' in ''.join(s.payloads('velmora/cmd-box/cmd/result')), what='retained refused')
        publish(broker, 'velmora/cmd-box/cmd/play', '', '-r')   # taken away (and refused, being empty)
        sub.wait(lambda s: len(s.payloads('velmora/cmd-box/cmd/result')) == 2, what='the empty play refused')
        for n, (verb, payload, result, reason) in enumerate(COMMANDS, 3):
            publish(broker, f'velmora/cmd-box/cmd/{verb}', payload)
            sub.wait(lambda s: len(s.payloads('velmora/cmd-box/cmd/result')) == n, what=f'{verb} {payload[:40]}')
            answer = json.loads(sub.payloads('velmora/cmd-box/cmd/result')[-1])
            assert answer['result'] == result and answer['command'] == verb[:64], (verb, payload, answer)
            assert reason is None or reason in answer['reason'], (verb, payload, answer)
            if payload.startswith('{"input": 3'):
                assert answer['id'] == 'a', answer
            time.sleep(0.06)   # within the rate (twenty a second)
        playing = [json.loads(p) for p in sub.payloads('velmora/cmd-box/playing') if p != 'none']
        assert playing == [{'input': 2, 'file': 'suono2.wav'}, {'input': 3, 'file': 'suono3.wav'},
                           {'input': 0, 'file': 'suono1.wav'}], playing
        # A flood: thousands of commands a second; the ticks stay at 200 ms and a press still sounds.
        flood = subprocess.Popen(['mosquitto_pub', '-p', str(broker.port), '-t', 'velmora/cmd-box/cmd/play', '-l'],
                                 stdin=subprocess.PIPE)
        start = time.time()
        ticks_before = len(v.timing()['tick'])
        while time.time() - start < 2:
            flood.stdin.write(b'4\n' * 500)
            flood.stdin.flush()
            time.sleep(0.05)
        sounds = len(v.timing()['sound'])
        tap(v)
        flood.stdin.close()
        flood.wait(10)
        time.sleep(0.5)
        ticks = v.timing()['tick'][ticks_before:]
        gaps = [b - a for a, b in zip(ticks, ticks[1:])]
        assert max(gaps) < 260, gaps
        results = sub.payloads('velmora/cmd-box/cmd/result')
        assert sum('troppi comandi' in r for r in results) > 1000, len(results)
        assert len(v.timing()['sound']) > sounds, 'the press in the flood was not heard'
        assert (folder / 'CONFIG.TXT').read_bytes() == config
        print(f'commands: {len(COMMANDS)} answered as they should; a flood of '
              f'{sum("play" in r for r in results)} commands in 2 s: ticks at most {max(gaps):.0f} ms apart, '
              f'{sum("troppi comandi" in r for r in results)} refused for the rate; a press heard')
    finally:
        assert v.stop() == 0, v.log.read_text()
        sub.stop()
        broker.stop()


def faults(program, module):
    """The broker down at start, killed while presses happen, a last will, a wrong password, TLS."""
    results = []
    folder = pathlib.Path(tempfile.mkdtemp(prefix='velmora-faults-'))
    data = folder / 'broker-data'
    data.mkdir()
    # Persistence, so that the dashboard's own session outlives the broker's death.
    broker = Broker(f'persistence true\npersistence_location {data}/\nautosave_interval 1\n', folder=folder)
    broker.stop()
    v = box(program, module, broker, 'door')
    try:
        time.sleep(4)   # the broker not there at start: said, and tried again
        log = v.log.read_text()
        assert log.count('server MQTT non raggiungibile') == 1 and 'riprova da sola' in log, log
        broker.start()
        dash = Sub(broker, 'velmora/door/input/+/press', options=('-c', '-i', 'dashboard', '-q', '1'))
        status = Sub(broker, 'velmora/door/status')
        status.wait(lambda s: s.payloads('velmora/door/status')[-1:] == ['online'], timeout=40, what='online')
        results.append('broker down at start, then started: online when it came, said once')
        tap(v)
        dash.wait(lambda s: len(s.presses()) == 1, what='first press')
        time.sleep(1.5)   # the dashboard's session saved by the broker
        broker.kill()
        for _ in range(5):   # presses while the broker is dead, long enough to be said
            tap(v)
            time.sleep(0.5)
        broker.start()
        for _ in range(2):   # and while Velmora is not back yet
            tap(v)
        dash.wait(lambda s: len(s.presses()) >= 8, timeout=40, what='all eight presses')
        time.sleep(1)
        counts = [p['count'] for p in dash.presses()]
        assert counts == list(range(1, 9)), counts
        assert v.log.read_text().count('server MQTT non raggiungibile') == 2, v.log.read_text()
        results.append('broker killed (SIGKILL) and restarted while pressed: 8 of 8 presses, in order, none twice')
        v.proc.send_signal(signal.SIGKILL)
        v.proc.wait()
        status.wait(lambda s: s.payloads('velmora/door/status')[-1:] == ['offline'], timeout=60, what='last will')
        results.append('Velmora killed: the broker told "offline" (its last will)')
        dash.stop()
        status.stop()
    finally:
        v.stop()
        broker.stop()

    passwords = folder / 'passwords'
    subprocess.run(['mosquitto_passwd', '-c', '-b', str(passwords), 'box', 'right'], check=True)
    broker = Broker(f'allow_anonymous false\npassword_file {passwords}\n')
    credentials = folder / 'credentials'
    credentials.write_text('box:wrong\n')
    os.chmod(credentials, 0o644)
    refused = subprocess.run([program, '--check', '--mqtt', f'mqtt://127.0.0.1:{broker.port}',
                              '--mqtt-password-file', str(credentials)], capture_output=True, text=True)
    assert refused.returncode == 2 and 'chmod 600' in refused.stderr, refused
    os.chmod(credentials, 0o600)
    v = box(program, module, broker, 'locked', '--mqtt-password-file', str(credentials))
    try:
        time.sleep(5)
        log = v.log.read_text()
        assert 'rifiuta l\'accesso' in log and 'wrong' not in log, log
        assert broker.connections() == 1, broker.log.read_text()
        results.append('a wrong password: said ("rifiuta l\'accesso … correggere --mqtt-password-file"), '
                       'one attempt in 5 s, the password never in the log')
    finally:
        v.stop()
    credentials.write_text('box:right\n')
    sub = Sub(broker, 'velmora/#', options=('-u', 'box', '-P', 'right'))
    v = box(program, module, broker, 'unlocked', '--mqtt-password-file', str(credentials))
    try:
        sub.wait(lambda s: s.payloads('velmora/unlocked/status') == ['online'], what='online with the password')
    finally:
        v.stop()
        sub.stop()
        broker.stop()

    tls = folder / 'tls'
    tls.mkdir()
    ca, cert, key = make_ca(tls)
    broker = Broker(f'cafile {ca}\ncertfile {cert}\nkeyfile {key}\n')
    sub = Sub(broker, 'velmora/#', options=('--cafile', str(ca)))
    v = box(program, module, broker, 'secure', '--mqtt-ca', str(ca), scheme='mqtts')
    try:
        sub.wait(lambda s: s.payloads('velmora/secure/status') == ['online'], what='online over TLS')
        tap(v)
        sub.wait(lambda s: len(s.presses()) == 1, what='press over TLS')
        results.append('TLS with the test\'s own CA: online, presses arrive')
    finally:
        v.stop()
    other = folder / 'other'
    other.mkdir()
    wrong_ca, _, _ = make_ca(other)
    v = box(program, module, broker, 'mismatch', '--mqtt-ca', str(wrong_ca), scheme='mqtts')
    try:
        time.sleep(4.5)
        log = v.log.read_text()
        assert 'server MQTT non raggiungibile' in log and 'certificate verify failed' in log, log
        assert 'velmora/mismatch/status' not in [t for _, t, _ in sub.messages()]
        results.append('TLS with a certificate its CA did not sign: refused, said with the reason '
                       '("certificate verify failed")')
    finally:
        v.stop()
        sub.stop()
        broker.stop()
    elsewhere = folder / 'elsewhere'
    elsewhere.mkdir()
    ca, cert, key = make_ca(elsewhere, host_name='broker.example')   # right CA, another host's name
    broker = Broker(f'cafile {ca}\ncertfile {cert}\nkeyfile {key}\n')
    v = box(program, module, broker, 'misnamed', '--mqtt-ca', str(ca), scheme='mqtts')
    try:
        time.sleep(4.5)
        log = v.log.read_text()
        assert 'server MQTT non raggiungibile' in log and 'certificate verify failed' in log, log
        assert broker.log.read_text().count('New client connected') == 0, broker.log.read_text()
        results.append('TLS with a certificate made for another host name: refused, said with the reason')
    finally:
        v.stop()
        broker.stop()
    for line in results:
        print('faults:', line)


def quiz(program, module):
    """Quiz mode on the bus: the winner told (retained), the others locked, reset by a command."""
    broker = Broker()
    folder = sounds_folder()
    (folder / 'INGRESSI.TXT').write_text('version = 1\n[quiz]\non = yes\n')
    sub = Sub(broker, 'velmora/quiz-box/quiz', 'velmora/quiz-box/input/+/press')
    v = box(program, module, broker, 'quiz-box', folder=folder)
    try:
        sub.wait(lambda s: s.payloads('velmora/quiz-box/quiz') == ['open'], what='the quiz open')
        tap(v, INPUT3)
        tap(v)   # input 4, locked: pressed, never the winner
        sub.wait(lambda s: s.payloads('velmora/quiz-box/quiz') == ['open', '3'], what='input 3 the winner')
        publish(broker, 'velmora/quiz-box/cmd/reset', '')
        sub.wait(lambda s: s.payloads('velmora/quiz-box/quiz')[-1] == 'open', what='open again')
        tap(v)
        sub.wait(lambda s: s.payloads('velmora/quiz-box/quiz')[-1] == '4', what='input 4 the next winner')
        assert [p['input'] for p in sub.presses()] == [3, 4, 4], sub.presses()
    finally:
        assert v.stop() == 0, v.log.read_text()
        sub.stop()
        broker.stop()
    print('quiz: input 3 won, 4 locked; reset over the bus; then 4 won')


def home_assistant(program, module):
    """Announced to Home Assistant when asked, and again when it says it is back."""
    broker = Broker()
    sub = Sub(broker, 'homeassistant/+/+/+/config')
    v = box(program, module, broker, 'hall', '--mqtt-homeassistant')
    try:
        sub.wait(lambda s: len(s.messages()) == 12, what='twelve announcements')
        configs = {t: json.loads(p) for _, t, p in sub.messages()}
        button = configs['homeassistant/button/velmora_hall/test_3/config']
        assert button['command_topic'] == 'velmora/hall/cmd/play' and button['payload_press'] == '3', button
        trigger = configs['homeassistant/device_automation/velmora_hall/press_2/config']
        assert trigger['topic'] == 'velmora/hall/input/2/press', trigger
        publish(broker, 'homeassistant/status', 'online')
        sub.wait(lambda s: len(s.messages()) == 24, what='announced again')
    finally:
        assert v.stop() == 0, v.log.read_text()
        sub.stop()
        broker.stop()
    print('home assistant: 12 announcements (lamp, press, test button per input), again when it is back')


def fleet(program, module, size=20):
    """Twenty screenless boxes on one broker, each pressed in turn through its own port."""
    broker = Broker()
    sub = Sub(broker, 'velmora/+/status', 'velmora/+/input/+/press')
    boxes = []
    try:
        for n in range(size):
            boxes.append(box(program, module, broker, f'prop{n:02}'))
        sub.wait(lambda s: len({t for _, t, p in s.messages() if t.endswith('/status') and p == 'online'}) == size,
                 timeout=30, what='twenty online')
        for v in boxes:
            tap(v)
        sub.wait(lambda s: len(s.presses()) == size, timeout=20, what='twenty presses')
        names = [p['topic'].split('/')[1] for p in sub.presses()]
        assert names == [f'prop{n:02}' for n in range(size)], names
    finally:
        for v in boxes:
            assert v.stop() == 0, v.log.read_text()
        sub.stop()
        broker.stop()
    print(f'fleet: {size} boxes online on one broker; each press arrived under its own name, in turn')


def main(program, module, only=None):
    for scenario in (nothing_loaded, topics, commands, quiz, home_assistant, faults, fleet):
        if only in (None, scenario.__name__):
            scenario(program, module)
    return 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:4]))
