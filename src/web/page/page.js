// The station's page: it shows the state the station pushes over the WebSocket and sends what
// the user does to the JSON API. Nothing is kept here that the station does not say.
'use strict';

const $ = (id) => document.getElementById(id);
const SVG = 'http://www.w3.org/2000/svg';
// Quiet this long, the page asks the station itself whether it is still there.
const HEARTBEAT_MS = 5000;
const REQUEST_LIMIT_MS = 4000;

let token = sessionStorage.getItem('ventrolo.token') || '';
let socket = null;
let retryMs = 1000;
let retryTimer = null;
let heardMs = 0;
let tableRevision = null;
let tableOpen = null;

class StationError extends Error {}

function setConnection(kind, text) {
  const connection = $('connection');
  connection.dataset.state = kind;
  connection.textContent = text;
}

function say(text) {
  $('message').textContent = text ? text.charAt(0).toUpperCase() + text.slice(1) : '';
}

function heard() {
  heardMs = Date.now();
}

function lost() {
  setConnection('lost', 'Station cannot be reached');
  if (socket) {
    socket.onclose = null;
    socket.close();
    socket = null;
  }
  if (!retryTimer) {
    retryTimer = setTimeout(() => { retryTimer = null; start(); }, retryMs);
    retryMs = Math.min(retryMs * 2, 8000);
  }
}

async function call(method, path, body) {
  const headers = {};
  if (token) headers.Authorization = 'Bearer ' + token;
  if (body !== undefined) headers['Content-Type'] = 'application/json';
  let response;
  try {
    response = await fetch(path, {
      method, headers, cache: 'no-store',
      body: body === undefined ? undefined : JSON.stringify(body),
      signal: AbortSignal.timeout(REQUEST_LIMIT_MS),
    });
  } catch (error) {
    lost();
    throw new StationError('the station cannot be reached');
  }
  heard();
  const answer = await response.json().catch(() => ({}));
  if (response.status === 401) {
    const why = answer.error || 'the token is missing or wrong';
    askToken(token ? why : '');
    throw new StationError(why);
  }
  if (!response.ok) throw new StationError(answer.error || response.statusText);
  return answer;
}

// What the user asked for; a refusal is shown, nothing else happens.
async function act(path, body = {}) {
  say('');
  try {
    await call('POST', path, body);
    return true;
  } catch (error) {
    say(error.message);
    return false;
  }
}

// --- the dial ---

function buildDial() {
  const ticks = $('ticks');
  for (let i = 0; i < 16; ++i) {
    const cardinal = i % 4 === 0;
    const line = document.createElementNS(SVG, 'line');
    line.setAttribute('y1', '-103');
    line.setAttribute('y2', cardinal ? '-116' : '-110');
    line.setAttribute('transform', `rotate(${22.5 * i})`);
    line.setAttribute('stroke', i === 0 ? '#f00' : cardinal ? '#000' : '#0a0');
    ticks.appendChild(line);
  }
}

function pointAt(element, degrees) {
  element.setAttribute('transform', `rotate(${degrees})`);
  element.dataset.degrees = String(degrees);
}

// --- the state ---

function kHzText(hz) {
  if (hz === null) return '-----.- kHz';
  return (hz / 1000).toFixed(2) + ' kHz';
}

function render(s) {
  $('counter').textContent = String(s.counter);
  $('degrees').textContent = s.degrees === null ? '–' : s.degrees.toFixed(1) + '°';
  $('targetText').textContent = s.target === null ? '–' : String(s.target);
  // The dial's parts are SVG: hidden is their attribute, not a property.
  const needle = $('needle');
  needle.toggleAttribute('hidden', s.degrees === null);
  if (s.degrees !== null) pointAt(needle, s.degrees);
  const target = $('target');
  target.toggleAttribute('hidden', s.targetDegrees === null);
  if (s.targetDegrees !== null) pointAt(target, s.targetDegrees);
  $('hub').dataset.turning = String(s.turning);
  $('dial').setAttribute('aria-label',
    s.degrees === null ? `Counter ${s.counter}` : `Heading ${s.degrees.toFixed(1)} degrees`);

  for (const n of [1, 2]) $('stepper' + n).setAttribute('aria-pressed', String(s.stepper === n));
  $('speedFast').setAttribute('aria-pressed', String(s.speed === 'fast'));
  $('speedCustom').setAttribute('aria-pressed', String(s.speed === 'custom'));
  $('gotoDegreesForm').hidden = s.degrees === null;

  $('txHold').hidden = !s.transmitHold;
  $('txHold').textContent =
    s.transmitHoldReason ? `TX: no turning (${s.transmitHoldReason})` : 'TX: no turning';
  for (const button of document.querySelectorAll('.turns')) button.disabled = s.transmitHold;

  $('frequency').textContent = kHzText(s.rig.frequencyHz);
  $('link').textContent = s.rig.open ? `Link ${s.rig.link}` : 'Link closed';
  const lock = $('lock');
  lock.disabled = !s.tableOpen;
  lock.textContent = s.locked ? 'Locked' : 'Unlocked';
  lock.setAttribute('aria-pressed', String(s.locked));
  $('following').textContent = !s.tableOpen ? 'Not following: the table is closed'
    : s.following ? 'Following the rig' : 'Not following';
  $('addRow').disabled = !s.tableOpen || s.rig.frequencyHz === null;
  $('retune').disabled = !s.tableOpen || s.rig.frequencyHz === null;
  const next = $('nextTimer');
  next.hidden = s.nextTimerTurn === null;
  next.textContent = s.nextTimerTurn === null ? '' : 'Next timer turn: ' + s.nextTimerTurn;

  if (s.tableRevision !== tableRevision || s.tableOpen !== tableOpen) {
    tableRevision = s.tableRevision;
    tableOpen = s.tableOpen;
    loadTable();
  }
}

// --- the table ---

function rowButton(text, className, row) {
  const button = document.createElement('button');
  button.type = 'button';
  button.className = className;
  button.textContent = text;
  button.dataset.row = String(row);
  button.disabled = !tableOpen;
  return button;
}

async function loadTable() {
  let table;
  try {
    table = await call('GET', '/api/table');
  } catch (error) {
    return;
  }
  $('tableName').textContent = tableOpen ? table.name : `${table.name} (not open)`;
  $('offset').textContent = table.offset === 0 ? 'No offset'
    : `Offset ${table.offset > 0 ? '+' : ''}${table.offset} steps`;
  const body = $('tableRows');
  body.replaceChildren();
  table.rows.forEach((row, index) => {
    const line = document.createElement('tr');
    for (const text of [String(row.frequencyKHz), String(row.position)]) {
      const cell = document.createElement('td');
      cell.textContent = text;
      line.appendChild(cell);
    }
    const actions = document.createElement('td');
    const turn = rowButton('Turn to', 'turnToRow turns', index);
    turn.setAttribute('aria-label', `Turn to ${row.frequencyKHz} kHz`);
    turn.disabled = !tableOpen || !$('txHold').hidden;
    const remove = rowButton('Delete', 'deleteRow', index);
    remove.setAttribute('aria-label', `Delete the row of ${row.frequencyKHz} kHz`);
    actions.append(turn, ' ', remove);
    line.appendChild(actions);
    body.appendChild(line);
  });
}

// A row is deleted at the second press of its button, within a few seconds of the first.
function armOrDelete(button) {
  if (button.dataset.armed !== 'true') {
    button.dataset.armed = 'true';
    button.textContent = 'Delete?';
    setTimeout(() => { button.dataset.armed = 'false'; button.textContent = 'Delete'; }, 4000);
    return;
  }
  act('/api/table/delete', { row: Number(button.dataset.row) });
}

// --- the connection ---

// The token form, with why the last one was refused (empty when none was given).
function askToken(why) {
  if (socket) {
    socket.onclose = null;
    socket.close();
    socket = null;
  }
  setConnection('lost', 'Token needed');
  say(why);
  $('tokenForm').hidden = false;
  $('token').focus();
}

function openSocket() {
  const scheme = location.protocol === 'https:' ? 'wss' : 'ws';
  socket = new WebSocket(`${scheme}://${location.host}/api/ws`);
  socket.onopen = () => {
    if (token) socket.send(JSON.stringify({ token }));
  };
  socket.onmessage = (event) => {
    heard();
    retryMs = 1000;
    setConnection('connected', 'Connected');
    render(JSON.parse(event.data));
  };
  socket.onclose = () => {
    socket = null;
    lost();
  };
}

async function start() {
  setConnection('connecting', 'Connecting…');
  let answer;
  try {
    answer = await call('GET', '/api/state');
  } catch (error) {
    return; // lost() or askToken() has said it
  }
  $('tokenForm').hidden = true;
  render(answer);
  if (!socket) openSocket();
}

// The WebSocket is quiet while nothing changes: now and then the station is asked directly,
// so a station gone without closing the connection shows as not reachable.
function heartbeat() {
  if (!socket || Date.now() - heardMs < HEARTBEAT_MS) return;
  call('GET', '/api/state').then(render, () => {});
}

// --- what the user does ---

function wire() {
  $('stop').addEventListener('click', () => act('/api/stop'));
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') {
      event.preventDefault();
      act('/api/stop');
    }
  });
  $('stepCw').addEventListener('click', () => act('/api/step', { direction: 'cw' }));
  $('stepCcw').addEventListener('click', () => act('/api/step', { direction: 'ccw' }));
  $('gotoStepsForm').addEventListener('submit', (event) => {
    event.preventDefault();
    act('/api/turn', { steps: Number($('gotoSteps').value) });
  });
  $('gotoDegreesForm').addEventListener('submit', (event) => {
    event.preventDefault();
    act('/api/turn', { degrees: Number($('gotoDegrees').value) });
  });
  for (const n of [1, 2]) $('stepper' + n).addEventListener('click', () => act('/api/stepper', { stepper: n }));
  $('speedFast').addEventListener('click', () => act('/api/speed', { speed: 'fast' }));
  $('speedCustom').addEventListener('click', () => act('/api/speed', { speed: 'custom' }));
  $('lock').addEventListener('click', () =>
    act('/api/lock', { locked: $('lock').getAttribute('aria-pressed') !== 'true' }));
  $('addRow').addEventListener('click', () => act('/api/table/add'));
  $('retune').addEventListener('click', () => act('/api/table/retune'));
  $('tableRows').addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (!button) return;
    if (button.classList.contains('turnToRow')) act('/api/table/turn', { row: Number(button.dataset.row) });
    else if (button.classList.contains('deleteRow')) armOrDelete(button);
  });
  $('tokenForm').addEventListener('submit', (event) => {
    event.preventDefault();
    token = $('token').value.trim();
    sessionStorage.setItem('ventrolo.token', token);
    say('');
    start();
  });
}

buildDial();
wire();
start();
setInterval(heartbeat, 1000);
