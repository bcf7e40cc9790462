'use strict';
// Velmora's page: the four inputs as the window shows them, kept live over a WebSocket.
// In Italian or English, as the browser's first language asks.
const italian = ((navigator.languages && navigator.languages[0]) || navigator.language || 'en').toLowerCase().startsWith('it');
const texts = italian ? {
  key: 'Chiave di accesso (velmora --web-key)', enter: 'Entra', save: 'Salva configurazione', reload: 'Ricarica',
  upload: 'Aggiungi suoni', drop: 'Trascinare qui i file WAV, o sceglierli:', input: 'Ingresso', test: 'prova',
  assign: 'Assegna', none: '(suono predefinito)', unsaved: 'non ancora salvato', lost: 'Collegamento perso: riprovo…',
  replace: '%1 c\'è già. Sostituirlo?', saved: 'Configurazione salvata.', uploaded: 'caricato', clear: '(nessuno)',
  log: 'Registro (ultime righe)', tooBig: 'più grande del limite di %1 MiB (velmora --web-upload-limit)',
  failed: 'non caricato: collegamento interrotto', reset: 'Azzera quiz',
} : {
  key: 'Access key (velmora --web-key)', enter: 'Enter', save: 'Save configuration', reload: 'Reload',
  upload: 'Add sounds', drop: 'Drop WAV files here, or choose them:', input: 'Input', test: 'test',
  assign: 'Assign', none: '(default sound)', unsaved: 'not saved yet', lost: 'Connection lost: trying again…',
  replace: '%1 is already there. Replace it?', saved: 'Configuration saved.', uploaded: 'uploaded', clear: '(none)',
  log: 'Log (last lines)', tooBig: 'larger than the limit of %1 MiB (velmora --web-upload-limit)',
  failed: 'not uploaded: the connection broke', reset: 'Reset quiz',
};
document.documentElement.lang = italian ? 'it' : 'en';
document.querySelectorAll('[data-text]').forEach(e => { e.textContent = texts[e.dataset.text]; });

const $ = id => document.getElementById(id);
let sounds = [];
let uploadLimit = Infinity;

async function api(method, path, body) {
  const response = await fetch(path, {method, headers: body ? {'Content-Type': 'application/json'} : {},
                                      body: body ? JSON.stringify(body) : undefined, credentials: 'same-origin'});
  const answer = await response.json().catch(() => ({}));
  if (response.status === 401) showLogin();
  return {ok: response.ok, status: response.status, answer};
}

// What the user's last action got, apart from the box's own status line: the state the
// action itself changed may come over the socket after its answer, and would wipe it.
function say(text) {
  $('said').textContent = text || '';
}

function showLogin(error) {
  $('box').hidden = true;
  $('login').hidden = false;
  $('loginError').textContent = error || '';
  $('key').focus();
}

function render(state) {
  const inputs = $('inputs');
  if (inputs.children.length !== state.inputs.length) {
    inputs.replaceChildren(...state.inputs.map(makeInput));
  }
  const quiz = state.quiz || {};
  state.inputs.forEach(input => {
    const row = inputs.children[input.input - 1];
    row.querySelector('.lamp').classList.toggle('active', input.active);
    row.querySelector('.lamp').classList.toggle('winner', quiz.winner === input.input);   // blinks
    const sound = row.querySelector('.sound');
    sound.textContent = input.sound || texts.none;
    sound.classList.toggle('unsaved', !input.saved);
    sound.title = input.saved ? '' : texts.unsaved;
    const select = row.querySelector('select');
    if (document.activeElement !== select) {
      select.dataset.current = input.sound;
      fillChoices(select);
    }
  });
  $('status').textContent = state.status || '';
  $('reset').hidden = !quiz.on;
  uploadLimit = state.uploadLimit || uploadLimit;
}

function makeInput(input) {
  const row = document.createElement('div');
  row.className = 'input';
  row.innerHTML = '<span class="lamp" role="img"></span><span class="sound"></span><button class="test"></button>' +
                  '<span class="choose"><select></select><button class="assign"></button></span>';
  row.querySelector('.lamp').setAttribute('aria-label', `${texts.input} ${input.input}`);
  row.querySelector('.test').textContent = `${texts.test} ${input.input}`;
  row.querySelector('.assign').textContent = texts.assign;
  row.querySelector('.test').onclick = () => api('POST', `/api/test/${input.input}`);
  row.querySelector('.assign').onclick = async () => {
    const result = await api('POST', `/api/assign/${input.input}`, {file: row.querySelector('select').value});
    say(result.ok ? '' : result.answer.error);
  };
  fillChoices(row.querySelector('select'));
  return row;
}

// The input's own sound is the one shown until another is picked.
function fillChoices(select) {
  const chosen = document.activeElement === select ? select.value : select.dataset.current || '';
  select.replaceChildren(new Option(texts.clear, ''), ...sounds.map(name => new Option(name, name)));
  select.value = sounds.includes(chosen) ? chosen : '';
}

async function loadSounds() {
  const result = await api('GET', '/api/sounds');
  if (!result.ok) return;
  sounds = result.answer.sounds;
  document.querySelectorAll('.choose select').forEach(fillChoices);
}

// The log's last lines, as the journal shows them on the box.
function showLog(lines) {
  $('log').textContent = lines.slice(-30).join('\n');
}

let retry = 500;
let socket;
function connect() {
  if (socket) {   // the one opened before logging in: replaced by one with the session
    socket.onclose = null;
    socket.close();
  }
  socket = new WebSocket(`${location.protocol === 'https:' ? 'wss' : 'ws'}://${location.host}/api/live`);
  socket.onopen = () => { retry = 500; $('connection').hidden = true; };
  socket.onmessage = event => {
    const message = JSON.parse(event.data);
    if (message.state) render(message.state);
    if (message.log) showLog([...$('log').textContent.split('\n').filter(Boolean), message.log]);
    if (message.lamps) message.lamps.forEach(input =>
        $('inputs').children[input.input - 1]?.querySelector('.lamp').classList.toggle('active', input.active));
  };
  socket.onclose = () => {
    $('connection').textContent = texts.lost;
    $('connection').hidden = false;
    setTimeout(start, retry);
    retry = Math.min(retry * 2, 5000);
  };
}

async function start() {
  const result = await api('GET', '/api/state');
  if (!result.ok) {
    if (result.status !== 401) setTimeout(start, retry);
    return;
  }
  $('login').hidden = true;
  $('box').hidden = false;
  render(result.answer);
  loadSounds();
  // The log needs the key: shown once logged in, never a reason to ask for it.
  fetch('/api/log', {credentials: 'same-origin'}).then(r => r.ok ? r.json() : null).then(a => a && showLog(a.log));
  connect();
}

$('login').onsubmit = async event => {
  event.preventDefault();
  const result = await api('POST', '/api/login', {key: $('key').value});
  if (result.ok) start(); else showLogin(result.answer.error);
};
$('save').onclick = async () => {
  const result = await api('POST', '/api/save');
  say(result.ok ? texts.saved : result.answer.error);
};
$('reload').onclick = () => api('POST', '/api/reload');
$('reset').onclick = async () => {
  const result = await api('POST', '/api/reset');
  say(result.ok ? '' : result.answer.error);
};

function upload(file, replace) {
  const line = document.createElement('li');
  const bar = document.createElement('progress');
  line.append(file.name + ' ', bar);
  $('progress').append(line);
  const failed = why => { line.textContent = `${file.name}: ${why}`; line.className = 'error'; };
  if (file.size > uploadLimit) return failed(texts.tooBig.replace('%1', Math.floor(uploadLimit / 1048576)));
  const request = new XMLHttpRequest();
  request.open('PUT', `/api/sounds/${encodeURIComponent(file.name)}${replace ? '?replace=1' : ''}`);
  request.upload.onprogress = event => { bar.max = event.total; bar.value = event.loaded; };
  request.onload = () => {
    let answer = {};
    try { answer = JSON.parse(request.responseText); } catch { /* not ours: its status says it */ }
    if (request.status === 409 && confirm(texts.replace.replace('%1', file.name))) {
      line.remove();
      return upload(file, true);
    }
    if (request.status >= 300) failed(answer.error || request.status);
    else line.textContent = `${file.name}: ${texts.uploaded}`;
    loadSounds();
  };
  request.onerror = () => failed(texts.failed);
  request.send(file);
}
const drop = $('drop');
drop.ondragover = event => { event.preventDefault(); drop.classList.add('over'); };
drop.ondragleave = () => drop.classList.remove('over');
drop.ondrop = event => { event.preventDefault(); drop.classList.remove('over'); [...event.dataTransfer.files].forEach(f => upload(f)); };
$('files').onchange = () => { [...$('files').files].forEach(f => upload(f)); $('files').value = ''; };

start();
