"""bench/mqtt's measurement: see bench/mqtt."""
import os
import statistics
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'tests', 'mqtt'))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'tests', 'web'))
from broker import Broker, Sub  # noqa: E402
from rig import IDLE, INPUT4, Velmora  # noqa: E402


def flood(broker, rate, stop, sent):
    """Another client publishing `rate` messages a second until `stop` is set."""
    pub = subprocess.Popen(['mosquitto_pub', '-h', '127.0.0.1', '-p', str(broker.port), '-t', 'room/flood', '-l'],
                           stdin=subprocess.PIPE)
    start = time.monotonic()
    while not stop.is_set():
        due = int((time.monotonic() - start) * rate) - sent[0]
        if due > 0:
            pub.stdin.write(b'{"noise":1}\n' * due)
            pub.stdin.flush()
            sent[0] += due
        time.sleep(0.002)
    sent.append(time.monotonic() - start)
    pub.stdin.close()
    pub.wait(10)


def phase(v, sub, presses):
    delays, ticks_from = [], len(v.timing()['tick'])
    for n in range(presses):
        before = len(sub.presses())
        pressed = time.time()
        v.press(INPUT4)
        sub.wait(lambda s: len(s.presses()) > before, what='a press message')
        arrived = [at for at, topic, _ in sub.messages() if topic.endswith('/press')][before]
        delays.append((arrived - pressed) * 1000)
        time.sleep(0.25)
        v.press(IDLE)
        time.sleep(0.25)
    ticks = v.timing()['tick'][ticks_from:]
    gaps = [b - a for a, b in zip(ticks, ticks[1:])]
    return delays, gaps


def main(program, module, presses):
    broker = Broker()
    sub = Sub(broker, 'velmora/bench/input/+/press')
    v = Velmora(program, module, '--mqtt', f'mqtt://127.0.0.1:{broker.port}', '--mqtt-name', 'bench', web=None)
    try:
        time.sleep(1.5)
        for name, rate in (('broker idle', 0), ('5 000 msg/s from another client', 5000)):
            stop, sent = threading.Event(), [0]
            flooding = threading.Thread(target=flood, args=(broker, rate, stop, sent)) if rate else None
            if flooding:
                flooding.start()
                time.sleep(1)
            delays, gaps = phase(v, sub, int(presses))
            if flooding:
                stop.set()
                flooding.join()
                name += f' (sent {sent[0] / sent[1]:.0f} msg/s)'
            print(f'{name}: port written -> press message at the subscriber: median '
                  f'{statistics.median(delays):.1f} ms, worst {max(delays):.1f} ms over {len(delays)} presses; '
                  f'ticks {statistics.median(gaps):.1f} ms apart (median), at most {max(gaps):.1f} ms', flush=True)
    finally:
        v.stop()
        sub.stop()
        broker.stop()


if __name__ == '__main__':
    main(*sys.argv[1:4])
