// The station's page: it shows the state the station pushes over the WebSocket and sends what
// the user does to the JSON API. Nothing is kept here that the station does not say.
import { buildDial, keepCompass, pointAt, pointNeedle } from './dial.js';

window.ventroloPageRuns = true;

const $ = (id) => document.getElementById(id);
// Quiet this long, the page asks the station itself whether it is still there.
const HEARTBEAT_MS = 5000;
const REQUEST_LIMIT_MS = 4000;
// A jog button held this long turns until it is let go; while held, the turn is asked again
// every RENEW_MS (the station stops it by itself when that stops).
const HOLD_AFTER_MS = 400;
const RENEW_MS = 250;

let token = sessionStorage.getItem('ventrolo.token') || '';
let socket = null;
let retryMs = 1000;
let retryTimer = null;
let retryAt = 0;
let troubleWhy = '';
let heardMs = 0;
let reachable = null; // not yet known
let lastState = null;
let tableRevision = null;
let lastTurning = null;
let tableOpen = null;
let rowsKey = null; // what the table's buttons were last enabled for
let hold = null; // the jog button held: {button, timer, renew, jogging}

// Refused or not answered: what the station said, with the HTTP status (0: no answer).
class StationError extends Error {
  constructor(message, status) {
    super(message);
    this.status = status;
  }
}

function setConnection(kind, text) {
  const connection = $('connection');
  connection.dataset.state = kind;
  connection.textContent = text;
}

function say(text) {
  $('message').textContent = text ? text.charAt(0).toUpperCase() + text.slice(1) : '';
}

// Read out at once by a screen reader.
function announce(text) {
  $('announce').textContent = text;
}

function heard() {
  heardMs = Date.now();
}

// --- reaching the station ---

function closeSocket() {
  if (!socket) return;
  socket.onclose = null;
  socket.close();
  socket = null;
}

// The station cannot be reached, or turns the page away for now: the values stay greyed, every
// control is off, the page says why and tries again by itself.
function unreachable(why) {
  troubleWhy = why;
  setConnection('lost', 'Station cannot be reached');
  closeSocket();
  setReachable(false);
  if (!retryTimer) {
    retryAt = Date.now() + retryMs;
    retryTimer = setTimeout(() => { retryTimer = null; start(); }, retryMs);
    retryMs = Math.min(retryMs * 2, 8000);
  }
  showTrouble();
}

function showTrouble() {
  if (reachable) return;
  const seconds = Math.max(0, Math.ceil((retryAt - Date.now()) / 1000));
  $('troubleText').textContent = `${troubleWhy.charAt(0).toUpperCase() + troubleWhy.slice(1)}. ` +
    'The buttons are off until the station answers; trying again ' +
    (seconds > 0 ? `in ${seconds} s.` : 'now.');
  $('trouble').hidden = false;
}

function setReachable(ok) {
  if (reachable === ok) return;
  reachable = ok;
  rowsKey = null;
  document.body.dataset.reachable = String(ok);
  if (ok) {
    $('trouble').hidden = true;
    retryMs = 1000;
    if (lastState) render(lastState);
    return;
  }
  release();
  for (const control of document.querySelectorAll('#station button, #station input')) control.disabled = true;
}

function retryNow() {
  clearTimeout(retryTimer);
  retryTimer = null;
  retryAt = Date.now();
  showTrouble();
  start();
}

// Why an answer refuses: its error, or what its status says.
function refusalText(status, answer) {
  if (answer.error) return answer.error;
  if (status === 503) return 'the station is busy (503)';
  if (status === 429) return 'too many requests: slow down (429)';
  return `the station answered ${status}`;
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
    throw new StationError('the station cannot be reached', 0);
  }
  heard();
  const answer = await response.json().catch(() => ({}));
  if (response.status === 401) {
    const why = answer.error || 'the token is missing or wrong';
    askToken(token ? why : '');
    throw new StationError(why, 401);
  }
  if (!response.ok) throw new StationError(refusalText(response.status, answer), response.status);
  return answer;
}

// The station is not there for now: no answer, or it is full or busy.
function stationAway(error) {
  return error.status === 0 || error.status === 429 || error.status >= 500;
}

// What the user asked for; a refusal is shown, nothing else happens.
async function act(path, body = {}) {
  say('');
  try {
    await call('POST', path, body);
    return true;
  } catch (error) {
    if (error.status === 0) unreachable(error.message);
    else say(error.message);
    return false;
  }
}

// --- the state ---

function kHzText(hz) {
  if (hz === null) return '-----.- kHz';
  return (hz / 1000).toFixed(2) + ' kHz';
}

// Where a position stands between the limits, in % of the bar.
function share(position, limits) {
  const span = limits.max - limits.min;
  if (span <= 0) return 0;
  return Math.min(100, Math.max(0, (position - limits.min) / span * 100));
}

function renderPosition(s) {
  $('counter').textContent = String(s.counter);
  const doubt = $('positionDoubt');
  doubt.hidden = !s.positionDoubt;
  doubt.textContent = s.positionDoubt ? s.positionDoubt + '. A position switch, the calibration run or the counter set by hand finds it.' : '';
  const motion = $('motion');
  motion.dataset.turning = String(s.turning);
  motion.textContent = s.turning ? (s.target === null ? 'Turning' : `Turning to ${s.target}`) : 'At rest';
  const bar = $('positionBar');
  bar.setAttribute('aria-valuemin', String(s.limits.min));
  bar.setAttribute('aria-valuemax', String(s.limits.max));
  bar.setAttribute('aria-valuenow', String(s.counter));
  $('positionFill').style.width = share(s.counter, s.limits) + '%';
  $('limitLow').textContent = String(s.limits.min);
  $('limitHigh').textContent = String(s.limits.max);
  const at = s.tuning.position;
  const mark = $('tableMark');
  mark.hidden = at === null;
  if (at !== null) mark.style.left = share(at, s.limits) + '%';
}

// The table's position for the rig's frequency and whether the loop stands on it.
function renderTuned(s) {
  const tuned = $('tuned');
  const at = s.tuning.position;
  let state = 'none';
  let text;
  if (!s.tableOpen) text = 'Table closed';
  else if (s.rig.frequencyHz === null) text = 'No frequency from the rig';
  else if (at === null) text = 'Outside the table';
  else {
    const off = Math.abs(s.counter - at);
    const deadBand = s.tuning.deadBand ?? 0;
    state = off === 0 ? 'yes' : off <= deadBand ? 'yes' : 'off';
    text = off === 0 ? 'Tuned' : off <= deadBand ? 'Within dead band'
      : `Off by ${off} step${off === 1 ? '' : 's'}`;
  }
  $('tableAt').textContent = at === null ? '' : `Table ${at}`;
  tuned.dataset.tuned = state;
  tuned.textContent = text;

  const swr = s.tuning.swr;
  $('swrLine').hidden = swr === null;
  if (swr !== null) {
    $('swr').textContent = swr.value !== null
      ? `${swr.value.toFixed(1)} at ${swr.at}` + (swr.high === null ? '' : swr.high ? ', high now' : ', low now')
      : swr.high === null ? '–' : swr.high ? 'High' : 'Low';
  }
}

function renderBands(s) {
  const bands = $('bands');
  const twoSteppers = new Set(s.tuning.bands.map((b) => b.stepper)).size > 1;
  const key = JSON.stringify(s.tuning.bands.map((b) => [b.stepper, b.table]));
  if (bands.dataset.key !== key) {
    bands.dataset.key = key;
    bands.replaceChildren(...s.tuning.bands.map((b) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.className = 'band turns';
      button.dataset.stepper = String(b.stepper);
      button.dataset.table = b.table;
      button.textContent = (twoSteppers ? `${b.stepper}: ` : '') + b.table.replace(/\.cat$/i, '');
      button.setAttribute('aria-label', `Band ${b.table} of stepper ${b.stepper}`);
      return button;
    }));
  }
  bands.hidden = s.tuning.bands.length === 0;
  s.tuning.bands.forEach((b, i) => {
    const button = bands.children[i];
    button.setAttribute('aria-pressed', String(b.open));
    button.disabled = !s.tableOpen || s.transmitHold;
  });
}

function renderSearches(s) {
  const peak = $('peakSearch');
  peak.hidden = !s.tuning.peakSearch.offered;
  peak.textContent = s.tuning.peakSearch.running ? 'Stop peak search' : 'Peak search';
  peak.disabled = !s.tuning.peakSearch.ready || (s.transmitHold && !s.tuning.peakSearch.running);
  const tune = $('swrTune');
  tune.hidden = !s.tuning.swrTune.offered;
  tune.textContent = s.tuning.swrTune.running ? 'Stop SWR tune' : 'SWR tune';
  tune.disabled = !s.tuning.swrTune.ready || (s.transmitHold && !s.tuning.swrTune.running);
  $('retune').disabled = !s.tuning.retuneReady;
  const tuneNow = $('tuneNow');
  tuneNow.hidden = !s.tableOpen;
  tuneNow.disabled = !s.tuning.tuneNowReady || s.transmitHold;
  tuneNow.title = `Follow: ${s.tuning.follow}. Turns once to the table's position for the rig's frequency`;
}

function render(s) {
  lastState = s;
  if (!reachable) return; // shown once the station answers again
  renderPosition(s);
  renderTuned(s);
  renderBands(s);
  renderSearches(s);
  if (s.vna) renderVna(s.vna);
  $('stop').disabled = false;

  $('degrees').textContent = s.degrees === null ? '–' : s.degrees.toFixed(1) + '°';
  $('targetText').textContent = s.target === null ? '–' : String(s.target);
  // The dial's parts are SVG: hidden is their attribute, not a property.
  const needle = $('needle');
  needle.toggleAttribute('hidden', s.degrees === null);
  if (s.degrees !== null) pointNeedle(needle, s.degrees, s.turning);
  const target = $('target');
  target.toggleAttribute('hidden', s.targetDegrees === null);
  if (s.targetDegrees !== null) pointAt(target, s.targetDegrees);
  $('hub').dataset.turning = String(s.turning);
  $('dial').setAttribute('aria-label',
    s.degrees === null ? `Counter ${s.counter}` : `Heading ${s.degrees.toFixed(1)} degrees`);

  for (const n of [1, 2]) {
    $('stepper' + n).setAttribute('aria-pressed', String(s.stepper === n));
    $('stepper' + n).disabled = false;
  }
  $('speedFast').setAttribute('aria-pressed', String(s.speed === 'fast'));
  $('speedCustom').setAttribute('aria-pressed', String(s.speed === 'custom'));
  $('speedFast').disabled = $('speedCustom').disabled = false;
  $('gotoDegreesForm').hidden = s.degrees === null;
  $('gotoSteps').disabled = $('gotoDegrees').disabled = false;

  $('txHold').hidden = !s.transmitHold;
  $('txHold').textContent =
    s.transmitHoldReason ? `TX: no turning (${s.transmitHoldReason})` : 'TX: no turning';
  for (const button of document.querySelectorAll('#controls .turns, #jog .turns')) button.disabled = s.transmitHold;
  if (s.transmitHold) release();

  $('frequency').textContent = kHzText(s.rig.frequencyHz);
  $('link').textContent = s.rig.open ? `Link ${s.rig.link}` : 'Link closed';
  const lock = $('lock');
  lock.disabled = !s.tableOpen;
  lock.textContent = s.locked ? 'Locked' : 'Unlocked';
  lock.setAttribute('aria-pressed', String(s.locked));
  $('following').textContent = !s.tableOpen ? 'Not following: the table is closed'
    : s.following ? 'Following the rig' : 'Not following';
  $('addRow').disabled = !s.tableOpen || s.rig.frequencyHz === null;
  const alarm = $('rigAlarm');
  alarm.hidden = !s.rigAlarm;
  alarm.textContent = s.rigAlarm ? s.rigAlarm.charAt(0).toUpperCase() + s.rigAlarm.slice(1) : '';
  const notice = $('rigNotice');
  notice.hidden = !s.rigNotice;
  notice.textContent = s.rigNotice ? s.rigNotice.charAt(0).toUpperCase() + s.rigNotice.slice(1) : '';

  const next = $('nextTimer');
  next.hidden = s.nextTimerTurn === null;
  next.textContent = s.nextTimerTurn === null ? '' : 'Next timer turn: ' + s.nextTimerTurn;

  // A turn ended: its line is in the move log now.
  if (s.turning !== lastTurning) {
    lastTurning = s.turning;
    if (!s.turning) loadMoves();
  }

  if (s.tableRevision !== tableRevision || s.tableOpen !== tableOpen) {
    tableRevision = s.tableRevision;
    tableOpen = s.tableOpen;
    loadTable();
  } else if (rowsKey !== `${tableOpen} ${s.transmitHold}`) {
    rowsKey = `${tableOpen} ${s.transmitHold}`;
    for (const button of document.querySelectorAll('#tableRows button')) {
      button.disabled = !tableOpen || (button.classList.contains('turns') && s.transmitHold);
    }
  }
}

// --- the table build with the VNA ---

let vnaPictureKey = '';

function timeLeftText(seconds) {
  return seconds < 60 ? `${seconds} s` : `${Math.floor(seconds / 60)} min ${seconds % 60} s`;
}

function renderVna(v) {
  const running = v.state === 'running';
  $('vnaBuild').disabled = running;
  $('vnaCancel').hidden = !running;
  $('vnaCancel').disabled = !running; // every button goes off while the station is away
  $('vnaProgress').hidden = !running;
  $('vnaProgress').value = v.fraction;
  let text = '';
  if (running) text = v.activity + (v.secondsLeft > 0 ? ` (about ${timeLeftText(v.secondsLeft)} left)` : '');
  else if (v.result) text = v.result.message;
  else if (!v.configured) text = 'No VNA is set: port= in the [vna] group of Ventrolo.ini names it.';
  $('vnaStatus').textContent = text;
  const key = v.result && v.result.picture && !running ? v.result.message : '';
  if (key !== vnaPictureKey) {
    vnaPictureKey = key;
    loadVnaPicture(key !== '');
  }
}

// The picture comes with the token like every request, and is shown from its text.
async function loadVnaPicture(shown) {
  const picture = $('vnaPicture');
  picture.hidden = !shown;
  if (!shown) {
    picture.removeAttribute('src');
    return;
  }
  const headers = {};
  if (token) headers.Authorization = 'Bearer ' + token;
  try {
    const response = await fetch('/api/vna/report.svg',
      { headers, cache: 'no-store', signal: AbortSignal.timeout(REQUEST_LIMIT_MS) });
    if (response.ok) picture.src = 'data:image/svg+xml,' + encodeURIComponent(await response.text());
  } catch (error) {
    vnaPictureKey = ''; // tried again with the next state
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

// The newest first; each line is the station's own words, shown as text.
async function loadMoves() {
  let answer;
  try {
    answer = await call('GET', '/api/moves');
  } catch (error) {
    return;
  }
  const list = $('moves');
  list.replaceChildren(...answer.moves.slice().reverse().map((move) => {
    const item = document.createElement('li');
    item.textContent = move.text;
    return item;
  }));
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
  rowsKey = null;
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
    turn.disabled = !reachable || !tableOpen || !$('txHold').hidden;
    const remove = rowButton('Delete', 'deleteRow', index);
    remove.disabled = !reachable || !tableOpen;
    remove.dataset.kHz = String(row.frequencyKHz);
    remove.setAttribute('aria-label', `Delete the row of ${row.frequencyKHz} kHz`);
    actions.append(turn, ' ', remove);
    line.appendChild(actions);
    body.appendChild(line);
  });
}

// A row is deleted at the second press of its button, within a few seconds of the first.
function armOrDelete(button) {
  if (button.dataset.armed !== 'true') {
    const row = `the row of ${button.dataset.kHz} kHz`;
    button.dataset.armed = 'true';
    button.textContent = 'Delete?';
    button.setAttribute('aria-label', `Delete? Press again to delete ${row}`);
    announce(`Press again within 4 seconds to delete ${row}.`);
    setTimeout(() => {
      button.dataset.armed = 'false';
      button.textContent = 'Delete';
      button.setAttribute('aria-label', `Delete ${row}`);
    }, 4000);
    return;
  }
  act('/api/table/delete', { row: Number(button.dataset.row) });
}

// --- the jog buttons: a press steps, a hold turns until let go ---

function press(event) {
  const button = event.currentTarget;
  if (button.disabled || hold || event.button > 0) return;
  event.preventDefault();
  try {
    button.setPointerCapture(event.pointerId);
  } catch (error) {
    // a synthetic pointer has nothing to capture; the window's releases still end the hold
  }
  const steps = Number(button.dataset.steps);
  // The hold's name: a request of it that arrives after its stop starts nothing.
  hold = { button, id: Math.random().toString(36).slice(2), jogging: false, renew: null,
           timer: setTimeout(() => jog(Math.sign(steps)), HOLD_AFTER_MS) };
  button.classList.add('held');
  act('/api/step', { steps });
}

function jog(direction) {
  if (!hold) return;
  hold.jogging = true;
  const body = { direction, hold: hold.id };
  const again = () => call('POST', '/api/jog', body).catch((error) => {
    if (!hold || hold.id !== body.hold) return; // an answer to a hold already let go
    release();
    say(error.message);
  });
  again();
  hold.renew = setInterval(again, RENEW_MS);
}

// Every way a hold can end stops the turn it started.
function release() {
  if (!hold) return;
  const ended = hold;
  hold = null;
  clearTimeout(ended.timer);
  clearInterval(ended.renew);
  ended.button.classList.remove('held');
  if (ended.jogging) act('/api/stop');
}

function wireJog() {
  for (const button of document.querySelectorAll('#jog button')) {
    button.addEventListener('pointerdown', press);
    for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) button.addEventListener(type, release);
    button.addEventListener('contextmenu', (event) => event.preventDefault());
    // Enter or Space on a focused button: one press, no hold.
    button.addEventListener('click', (event) => {
      if (event.detail === 0) act('/api/step', { steps: Number(button.dataset.steps) });
    });
  }
  // Let go elsewhere (no capture), or the page left: the hold ends all the same.
  window.addEventListener('pointerup', release);
  window.addEventListener('pointercancel', release);
  window.addEventListener('blur', release);
  window.addEventListener('pagehide', release);
  document.addEventListener('visibilitychange', () => {
    if (document.hidden) release();
  });
}

// --- the connection ---

// The token form, with why the last one was refused (empty when none was given).
function askToken(why) {
  closeSocket();
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
    setConnection('connected', 'Connected');
    render(JSON.parse(event.data));
  };
  socket.onclose = () => {
    socket = null;
    unreachable('the connection to the station was lost');
  };
}

async function start() {
  if (!socket) setConnection('connecting', 'Connecting…');
  let answer;
  try {
    answer = await call('GET', '/api/state');
  } catch (error) {
    if (stationAway(error)) unreachable(error.message);
    else if (error.status !== 401) say(error.message);
    return;
  }
  $('tokenForm').hidden = true;
  setReachable(true);
  render(answer);
  if (!socket) openSocket();
}

// The WebSocket is quiet while nothing changes: now and then the station is asked directly,
// so a station gone without closing the connection shows as not reachable.
function heartbeat() {
  showTrouble();
  if (!socket || Date.now() - heardMs < HEARTBEAT_MS) return;
  heard();
  call('GET', '/api/state').then(render, (error) => {
    if (stationAway(error)) unreachable(error.message);
  });
}

// --- what the user does ---

function wire() {
  $('stop').addEventListener('click', () => act('/api/stop'));
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') {
      event.preventDefault();
      release();
      act('/api/stop');
    }
  });
  wireJog();
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
  $('bands').addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (button) act('/api/band', { stepper: Number(button.dataset.stepper), table: button.dataset.table });
  });
  $('peakSearch').addEventListener('click', () => act('/api/peaksearch'));
  $('swrTune').addEventListener('click', () => act('/api/swrtune'));
  $('addRow').addEventListener('click', () => act('/api/table/add'));
  $('retune').addEventListener('click', () => act('/api/table/retune'));
  $('tuneNow').addEventListener('click', () => act('/api/tune'));
  $('tableRows').addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (!button) return;
    if (button.classList.contains('turnToRow')) act('/api/table/turn', { row: Number(button.dataset.row) });
    else if (button.classList.contains('deleteRow')) armOrDelete(button);
  });
  $('vnaForm').addEventListener('submit', (event) => {
    event.preventDefault();
    act('/api/vna/build', { band: $('vnaBand').value });
  });
  $('vnaCancel').addEventListener('click', () => act('/api/vna/cancel'));
  $('retryNow').addEventListener('click', retryNow);
  $('tokenForm').addEventListener('submit', (event) => {
    event.preventDefault();
    token = $('token').value.trim();
    sessionStorage.setItem('ventrolo.token', token);
    say('');
    start();
  });
}

buildDial();
keepCompass();
wire();
setReachable(false);
start();
setInterval(heartbeat, 1000);
