// The compass dial: its face drawn once, the needle pointed at each heading the station sends.

const SVG = 'http://www.w3.org/2000/svg';
const COMPASS_KEY = 'ventrolo.compass';
// A turning station sends its position this often; the needle glides that long to each one.
const GLIDE_MS = 100;

let glide = null; // the needle's way to the last heading sent: {from, to, start}

export function buildDial() {
  const ticks = document.getElementById('ticks');
  for (let i = 0; i < 16; ++i) {
    const cardinal = i % 4 === 0;
    const line = document.createElementNS(SVG, 'line');
    line.setAttribute('y1', '-103');
    line.setAttribute('y2', cardinal ? '-116' : '-110');
    line.setAttribute('transform', `rotate(${22.5 * i})`);
    line.setAttribute('class', i === 0 ? 'north' : cardinal ? 'cardinal' : 'minor');
    ticks.appendChild(line);
  }
}

export function pointAt(element, degrees) {
  element.setAttribute('transform', `rotate(${degrees})`);
  element.dataset.degrees = String(degrees);
}

// While the station turns, the needle glides from where it is shown to each heading sent, so it
// moves smoothly between the messages; at rest it points at once.
export function pointNeedle(needle, degrees, turning) {
  const before = needle.dataset.degrees;
  const shown = glide ? glideAngle(performance.now()) : Number(before);
  pointAt(needle, degrees);
  if (!turning || before === '' || !Number.isFinite(shown)) {
    glide = null;
    return;
  }
  const gliding = glide !== null;
  glide = { from: shown, to: degrees, start: performance.now() };
  needle.setAttribute('transform', `rotate(${shown})`);
  if (!gliding) requestAnimationFrame(stepGlide);
}

function glideAngle(now) {
  const t = Math.min(1, (now - glide.start) / GLIDE_MS);
  return glide.from + (glide.to - glide.from) * t;
}

function stepGlide(now) {
  if (!glide) return;
  document.getElementById('needle').setAttribute('transform', `rotate(${glideAngle(now)})`);
  if (now - glide.start < GLIDE_MS) requestAnimationFrame(stepGlide);
  else glide = null;
}

// The compass folded away stays so in this browser.
export function keepCompass() {
  const compass = document.getElementById('compass');
  if (localStorage.getItem(COMPASS_KEY) === 'folded') compass.open = false;
  compass.addEventListener('toggle', () =>
    localStorage.setItem(COMPASS_KEY, compass.open ? 'open' : 'folded'));
}
