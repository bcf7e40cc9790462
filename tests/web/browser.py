#!/usr/bin/env python3
"""The web page in a real browser (Debian's Chromium, headless, through chromium-driver)
against the real program, as a user goes through it, in English and in Italian: the page
asks for the key, takes it, follows the lamps of a `file:` port, plays a test (heard in
the recorded output), uploads a real WAV, assigns it, saves; CONFIG.TXT then holds it; and
a quiz round, reset from the page.

Usage: browser.py PROGRAM WEB_MODULE [SCREENSHOT_FOLDER]"""
import os
import pathlib
import statistics
import sys
import tempfile
import time

from selenium import webdriver
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

sys.path.insert(0, os.path.dirname(__file__))
from rig import IDLE, INPUT3, INPUT4, Velmora, make_certificate, write_wav  # noqa: E402

WORDS = {'en': ('Access key', 'Save configuration', 'Configuration saved.'),
         'it': ('Chiave di accesso', 'Salva configurazione', 'Configurazione salvata.')}


def browser(lang, width=420, *extra):
    o = webdriver.ChromeOptions()
    for a in ('--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-extensions',
              '--disable-background-networking', '--disable-component-update', '--disable-sync',
              f'--lang={lang}', f'--window-size={width},1000', *extra):
        o.add_argument(a)
    o.add_experimental_option('prefs', {'intl.accept_languages': lang})
    o.binary_location = '/usr/bin/chromium'
    return webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=o)


# Lamp 4's changes as the page shows them, with the browser's clock: kept in the page.
WATCH_LAMP = """
window.lampSeen = [];
new MutationObserver(() => window.lampSeen.push([performance.timeOrigin + performance.now(),
    document.querySelectorAll('.lamp')[3].classList.contains('active')]))
  .observe(document.querySelectorAll('.lamp')[3], {attributes: true});
"""


def lamp_delays(v, d, presses):
    """Press input 4 `presses` times: how long after the tick that lit the window's lamp the
    page showed it, in ms (both clocks read together at the start, so comparable)."""
    d.execute_script(WATCH_LAMP)
    offset = d.execute_script('return performance.timeOrigin + performance.now()') - time.time() * 1000
    delays = []
    for _ in range(presses):
        pressed = time.time() * 1000
        v.press(INPUT4)
        WebDriverWait(d, 2, 0.005).until(lambda d: d.execute_script('return lampSeen.some(s => s[1])'))
        seen = min(t for t, on in d.execute_script('return lampSeen') if on) - offset
        # The tick that lit it: the first after the press, in the timing log's steady clock,
        # turned into this wall clock by its last line's age.
        ticks = v.timing()['tick']
        steady_now = time.monotonic() * 1000
        wall_now = time.time() * 1000
        tick = min(t for t in ticks if t >= pressed - (wall_now - steady_now))
        delays.append(seen - (tick + (wall_now - steady_now)))
        v.press(IDLE)
        WebDriverWait(d, 2, 0.005).until(lambda d: d.execute_script(
            'return !document.querySelectorAll(".lamp")[3].classList.contains("active")'))
        d.execute_script('window.lampSeen = []')
        time.sleep(0.25)
    return delays


def walk(v, lang, shots, wav):
    d = browser(lang)
    try:
        wait = WebDriverWait(d, 10)
        d.get(f'http://{v.web}/')
        wait.until(lambda d: d.find_element(By.ID, 'login').is_displayed()
                   or d.find_elements(By.CSS_SELECTOR, '.input'))
        # The lamps are open to this machine; the first change asks for the key.
        wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, '.input'))
        d.find_elements(By.CSS_SELECTOR, '.test')[3].click()
        wait.until(lambda d: d.find_element(By.ID, 'login').is_displayed())
        assert WORDS[lang][0] in d.find_element(By.CSS_SELECTOR, '#login label').text
        d.find_element(By.ID, 'key').send_keys('not the key')
        d.find_element(By.CSS_SELECTOR, '#login button').click()
        wait.until(lambda d: d.find_element(By.ID, 'loginError').text)
        # One wrong key makes this address wait 250 ms; a key sent sooner is refused unread
        # (a clean CI run typed it within that time).
        time.sleep(0.3)
        d.find_element(By.ID, 'key').clear()
        d.find_element(By.ID, 'key').send_keys(v.key)
        d.find_element(By.CSS_SELECTOR, '#login button').click()
        wait.until(lambda d: d.find_element(By.ID, 'box').is_displayed())
        assert d.find_element(By.ID, 'save').text == WORDS[lang][1]

        delays = lamp_delays(v, d, 5)
        print(f'{lang}: lamp in the page after the tick: median {statistics.median(delays):.1f} ms, '
              f'worst {max(delays):.1f} ms', flush=True)
        assert statistics.median(delays) < 100, delays

        sounds = len(v.timing()['sound'])
        d.find_elements(By.CSS_SELECTOR, '.test')[3].click()
        WebDriverWait(d, 5).until(lambda d: len(v.timing()['sound']) > sounds)

        name = f'uploaded-{lang}.wav'
        path = pathlib.Path(tempfile.mkdtemp()) / name
        path.write_bytes(wav.read_bytes())
        d.find_element(By.ID, 'files').send_keys(str(path))
        wait.until(lambda d: name in d.find_element(By.ID, 'progress').text
                   and 'progress' not in d.find_element(By.ID, 'progress').get_attribute('innerHTML'))
        assert (v.dir / name).read_bytes() == wav.read_bytes()
        select = Select(d.find_elements(By.CSS_SELECTOR, '.input select')[1])
        wait.until(lambda d: name in [o.text for o in select.options])
        select.select_by_visible_text(name)
        d.find_elements(By.CSS_SELECTOR, '.assign')[1].click()
        wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, '.sound')[1].text == name)
        d.find_element(By.ID, 'save').click()
        try:
            wait.until(lambda d: d.find_element(By.ID, 'said').text == WORDS[lang][2])
        except TimeoutException:
            raise AssertionError(f"after saving the page said {d.find_element(By.ID, 'said').text!r}, "
                                 f"the box's status {d.find_element(By.ID, 'status').text!r}") from None
        config = (v.dir / 'CONFIG.TXT').read_bytes().split(b'\r\n')
        assert name.encode() in config[1], config

        v.press(INPUT4)
        wait.until(lambda d: 'active' in d.find_elements(By.CSS_SELECTOR, '.lamp')[3].get_attribute('class'))
        if shots:
            d.find_element(By.ID, 'logBox').click()
            d.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
                'width': 420, 'height': d.execute_script('return document.documentElement.scrollHeight'),
                'deviceScaleFactor': 1, 'mobile': True})
            d.save_screenshot(str(pathlib.Path(shots) / f'web-{lang}.png'))
        v.press(IDLE)
        errors = [e for e in d.get_log('browser') if e['level'] == 'SEVERE' and '401' not in e['message']]
        assert not errors, errors
    finally:
        d.quit()


def over_https(program, module):
    """The same page over HTTPS (a certificate made now): served, its lamps live over wss."""
    folder = pathlib.Path(tempfile.mkdtemp(prefix='velmora-browser-https-'))
    cert, key = make_certificate(folder)
    v = Velmora(program, module, '--web-cert', str(cert), '--web-cert-key', str(key), folder=folder)
    d = browser('en', 420, '--ignore-certificate-errors')   # made here, so trusted by no one
    try:
        d.get(f'https://{v.web}/')
        WebDriverWait(d, 10).until(lambda d: len(d.find_elements(By.CSS_SELECTOR, '.lamp')) == 4)
        time.sleep(0.3)   # its WebSocket open
        v.press(INPUT4)
        WebDriverWait(d, 5).until(lambda d: 'active' in d.find_elements(By.CSS_SELECTOR, '.lamp')[3].get_attribute(
            'class'))
    finally:
        d.quit()
        v.stop()


def quiz(program, module):
    """Quiz mode from the page: the first press's lamp blinks, and the page's reset (after the
    key) unlocks the inputs."""
    folder = pathlib.Path(tempfile.mkdtemp(prefix='velmora-browser-quiz-'))
    (folder / 'INGRESSI.TXT').write_text('version = 1\n[quiz]\non = yes\n')
    v = Velmora(program, module, folder=folder, locale='en_US.UTF-8')
    d = browser('en')
    try:
        wait = WebDriverWait(d, 10)
        d.get(f'http://{v.web}/')
        wait.until(lambda d: d.find_element(By.ID, 'reset').is_displayed())
        lamp = lambda n: d.find_elements(By.CSS_SELECTOR, '.lamp')[n - 1].get_attribute('class')  # noqa: E731
        v.press(INPUT3)
        wait.until(lambda d: 'winner' in lamp(3))
        v.press(IDLE)
        assert 'input 3 pressed first' in d.find_element(By.ID, 'status').text
        assert not any('winner' in lamp(n) for n in (1, 2, 4))
        d.find_element(By.ID, 'reset').click()   # a change: the key first
        wait.until(lambda d: d.find_element(By.ID, 'login').is_displayed())
        d.find_element(By.ID, 'key').send_keys(v.key)
        d.find_element(By.CSS_SELECTOR, '#login button').click()
        wait.until(lambda d: d.find_element(By.ID, 'reset').is_displayed())
        d.find_element(By.ID, 'reset').click()
        wait.until(lambda d: 'winner' not in lamp(3) and 'pressed first' not in d.find_element(By.ID, 'status').text)
        v.press(INPUT4)   # unlocked: the next question's first press wins
        wait.until(lambda d: 'winner' in lamp(4))
        v.press(IDLE)
    finally:
        d.quit()
        assert v.stop() == 0, v.log.read_text()


def main(program, module, shots=None):
    folder = pathlib.Path(tempfile.mkdtemp(prefix='velmora-browser-'))
    for n, hz in enumerate((440, 550, 660, 880), 1):
        write_wav(folder / f'suono{n}.wav', hz=hz)
    (folder / 'CONFIG.TXT').write_bytes(b''.join(b'SUONO INGRESSO %d = suono%d.wav\r\n' % (n, n) for n in range(1, 5)))
    wav = folder / 'upload-me.wav'
    write_wav(wav, seconds=0.5, hz=330)
    for lang, locale in (('en', 'en_US.UTF-8'), ('it', 'it_IT.UTF-8')):
        v = Velmora(program, module, folder=folder, locale=locale)   # the box in the page's language
        try:
            walk(v, lang, shots, wav)
        finally:
            assert v.stop() == 0, v.log.read_text()
    over_https(program, module)
    quiz(program, module)
    print('the page walked through in English and Italian, over HTTPS, and through a quiz round')
    return 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:4]))
