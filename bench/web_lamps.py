"""bench/web's measurement: see bench/web."""
import os
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'tests', 'web'))
from browser import WATCH_LAMP, browser  # noqa: E402
from rig import IDLE, INPUT4, Velmora  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402


def measure(v, d, pages, presses):
    handles = [d.current_window_handle]
    for _ in range(pages - 1):
        d.switch_to.new_window('tab')
        d.get(f'http://{v.web}/')
        handles.append(d.current_window_handle)
    offsets = {}
    for h in handles:
        d.switch_to.window(h)
        WebDriverWait(d, 10).until(lambda d: len(d.find_elements(By.CSS_SELECTOR, '.lamp')) == 4)
        time.sleep(0.2)   # its WebSocket open
        d.execute_script(WATCH_LAMP)
        offsets[h] = d.execute_script('return performance.timeOrigin + performance.now()') - time.time() * 1000
    delays = []
    for _ in range(presses):
        pressed = time.time() * 1000
        v.press(INPUT4)
        time.sleep(0.5)
        v.press(IDLE)
        time.sleep(0.3)
        ticks = v.timing()['tick']
        to_wall = time.time() * 1000 - time.monotonic() * 1000
        tick = min(t for t in ticks if t + to_wall >= pressed) + to_wall
        for h in handles:
            d.switch_to.window(h)
            seen = [t for t, on in d.execute_script('return lampSeen') if on]
            delays.append(seen[0] - offsets[h] - tick if seen else float('inf'))
            d.execute_script('window.lampSeen = []')
    return delays


def main(program, module, presses):
    v = Velmora(program, module, folder=tempfile.mkdtemp(prefix='velmora-bench-web-'))
    try:
        for pages in (1, 20):
            d = browser('en', 800)
            try:
                d.get(f'http://{v.web}/')
                delays = measure(v, d, pages, int(presses))
            finally:
                d.quit()
            missed = sum(x == float('inf') for x in delays)
            seen = [x for x in delays if x != float('inf')]
            print(f'{pages:2} page(s), {presses} presses: lamp in the page after the tick: median '
                  f'{statistics.median(seen):.1f} ms, worst {max(seen):.1f} ms; not seen: {missed}', flush=True)
    finally:
        v.stop()


if __name__ == '__main__':
    main(*sys.argv[1:4])
