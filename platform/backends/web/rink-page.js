// The page around the game: the status a test or demo reads, the game's data files written
// into its file system before it starts, the picture filling the page and still sharp, full
// screen, the sound and its mute button, one player or two, the message and Play again when the game has ended,
// and the service worker that keeps the page for offline play. The controls beside the picture
// (touch, and the line that names the keys) are rink-controls.js's.
'use strict';

window.rinkStatus = {frames: 0, state: 'loading', awaits: '', reason: ''};

const rinkDataFiles = [@RINK_DATA_FILES@];
const stage = document.getElementById('stage');
const canvas = document.getElementById('canvas');
const screen = document.getElementById('screen');
const fullScreenButton = document.getElementById('fullscreen');
const muteButton = document.getElementById('mute');
const playersButton = document.getElementById('players');

// ?players=2 is a two-player game (the game reads the address too); the button starts a new
// match with the other number of players by loading the page again, every other option of its
// address kept.
const pageOptions = new URLSearchParams(location.search);
const twoPlayers = pageOptions.get('players') === '2';
document.body.classList.toggle('two-players', twoPlayers);
playersButton.textContent = twoPlayers ? 'One player' : 'Two players';
playersButton.addEventListener('click', () => {
  pageOptions.set('players', twoPlayers ? '1' : '2');
  location.search = pageOptions.toString();
});

// The game's sounds through Web Audio. The game hands each sound's samples over once (add) and
// asks for them by number (play). Browsers start audio only after a gesture, so the context is
// made at the first key, click or touch; until then nothing is played and nothing complains.
// While the tab is hidden or the game stands still (held), the context is suspended: every
// sound stops where it is and goes on from there.
const rinkAudio = {
  context: null,
  master: null,
  buffers: [],
  level: 1,
  held: false,
  add(id, name, samples, rate) {
    const buffer = new AudioBuffer({length: samples.length, sampleRate: rate, numberOfChannels: 1});
    buffer.copyToChannel(samples, 0);
    this.buffers[id] = buffer;
  },
  start() {
    if (!this.context) {
      this.context = new AudioContext();
      this.master = this.context.createGain();
      this.master.gain.value = this.level;
      this.master.connect(this.context.destination);
    }
    this.follow();
  },
  follow() {
    if (!this.context) return;
    if (this.held || document.hidden) this.context.suspend(); else this.context.resume();
  },
  play(id, gain) {
    if (!this.context || !this.buffers[id]) return;
    const source = this.context.createBufferSource();
    source.buffer = this.buffers[id];
    const volume = this.context.createGain();
    volume.gain.value = gain;
    source.connect(volume).connect(this.master);
    source.start();
  },
  setLevel(level, muted) {
    this.level = level;
    if (this.master) this.master.gain.value = level;
    muteButton.textContent = muted ? 'Sound on' : 'Sound off';
    muteButton.setAttribute('aria-pressed', String(muted));
  },
  hold(held) {
    this.held = held;
    this.follow();
  },
};

// The game draws into the hidden 640 by 480 canvas; the screen shows it as the desktop does by
// default: enlarged by the next whole factor with nearest pixels (each picture pixel a square),
// then brought down smoothly by the browser to the largest 4:3 area the page leaves, so only the
// borders between picture pixels blend. The enlarging is done here on the changed part alone and
// put into the screen canvas as pixels: drawing one canvas into another costs the browser far
// more on every frame.
const rinkScreen = {
  context: screen.getContext('2d', {alpha: false}),
  factor: 0,
  picture: null,  // the game's last ImageData, and its pixels as words
  from: null,
  image: null,    // the screen's ImageData, and its pixels as words
  to: null,
  // The picture's rectangle [left, right) x [top, bottom) changed in `picture` (an ImageData).
  draw(picture, left, top, right, bottom) {
    if (picture !== this.picture) {
      if (!this.picture) performance.mark('rink: first picture');  // for the measurements
      this.picture = picture;
      this.from = new Uint32Array(picture.data.buffer, picture.data.byteOffset, picture.width * picture.height);
    }
    const f = this.factor, width = picture.width, wide = width * f, from = this.from, to = this.to;
    if (right - left === width && bottom - top === picture.height) return this.drawWhole();
    for (let y = top; y < bottom; ++y) {
      const first = y * f * wide;
      for (let x = left; x < right; ++x) {
        const colour = from[y * width + x];
        for (let at = first + x * f, end = at + f; at < end; ++at) to[at] = colour;
      }
      for (let row = 1; row < f; ++row) to.copyWithin(first + row * wide + left * f, first + left * f, first + right * f);
    }
    this.context.putImageData(this.image, 0, 0, left * f, top * f, (right - left) * f, (bottom - top) * f);
  },
  // The whole picture, at the start and on a new size, is the browser's to enlarge: it is done
  // once, and far sooner than by a loop that has not yet been made fast.
  drawWhole() {
    this.context.imageSmoothingEnabled = false;
    this.context.drawImage(canvas, 0, 0, screen.width, screen.height);
  },
  // The picture takes `width` by `height` CSS pixels of a screen with `ratio` device pixels to one.
  size(width, height, ratio) {
    screen.style.width = width + 'px';
    screen.style.height = height + 'px';
    const factor = Math.max(1, Math.ceil(width * ratio / canvas.width - 1e-6));
    if (factor === this.factor) return;
    this.factor = factor;
    screen.width = canvas.width * factor;
    screen.height = canvas.height * factor;
    this.image = this.context.createImageData(screen.width, screen.height);
    this.to = new Uint32Array(this.image.data.buffer);
    if (this.picture) this.drawWhole();
  },
};

// The largest area of 4:3 inside width by height CSS pixels, in whole device pixels.
function fourByThree(width, height, ratio) {
  const across = Math.max(1, Math.floor(Math.min(width, height * 4 / 3) * ratio));
  const down = Math.max(1, Math.floor(Math.min(height, width * 3 / 4) * ratio));
  return {width: across / ratio, height: down / ratio};
}

// The controls go beside the picture or under it, whichever leaves it larger: beside, the two
// columns need their width (--side in rink.css); under it, the height the controls take.
function fitPicture() {
  const ratio = window.devicePixelRatio || 1;
  const width = window.innerWidth, height = window.innerHeight;
  const side = parseFloat(getComputedStyle(document.body).getPropertyValue('--side')) || 0;
  document.body.classList.replace('beside', 'below') || document.body.classList.add('below');
  const left = document.getElementById('left'), right = document.getElementById('right');
  const under = Math.max(left.offsetHeight, right.offsetHeight);
  const beside = fourByThree(width - 2 * side, height, ratio), below = fourByThree(width, height - under, ratio);
  const layout = beside.width >= below.width ? 'beside' : 'below';
  document.body.classList.replace('below', layout);
  const picture = layout === 'beside' ? beside : below;
  stage.style.height = picture.height + 'px';
  rinkScreen.size(picture.width, picture.height, ratio);
}

// Play again: the page's address without a key script, loaded again, for a fresh game.
function freshAddress() {
  const options = new URLSearchParams(location.search);
  for (const name of ['play', 'fast', 'takeover']) options.delete(name);
  const rest = options.toString();
  return location.pathname + (rest ? '?' + rest : '');
}

function showEnd(reason) {
  document.getElementById('end-reason').textContent = reason;
  document.getElementById('end').hidden = false;
  document.getElementById('again').focus();
}

function fetchDataFile(name) {
  return fetch(name)
      .then(response => response.ok ? response.arrayBuffer() : null)
      .catch(() => null)
      .then(bytes => {
        // A file that could not be had stays missing: the game says so (a bitmap in its message
        // box, a sound on the console).
        if (!bytes) return;
        const folder = name.lastIndexOf('/');
        if (folder > 0 && !Module.FS.analyzePath('/' + name.slice(0, folder)).exists) {
          Module.FS.mkdir('/' + name.slice(0, folder));
        }
        Module.FS.writeFile('/' + name, new Uint8Array(bytes));
      });
}

var Module = {
  preRun: [() => {
    Module.addRunDependency('rink-data');
    // Each fetch is asked for in a task of its own: asking for dozens at once holds a phone's
    // main thread up for long.
    const inTurn = name => new Promise(start => setTimeout(start)).then(() => fetchDataFile(name));
    Promise.all(rinkDataFiles.map(inTurn)).then(() => Module.removeRunDependency('rink-data'));
  }],
  onPicture: (picture, left, top, right, bottom) => rinkScreen.draw(picture, left, top, right, bottom),
  onRinkState: status => {
    if (window.rinkControls) window.rinkControls.follow(status);
    if (status.state === 'ended') showEnd(status.reason || 'The game has ended.');
  },
  onAbort: () => {
    window.rinkStatus.state = 'ended';
    showEnd('The game stopped on an error (the console says which).');
  },
};

// Space and Return belong to the game, not to the buttons: a click hands the keys back to it.
fullScreenButton.addEventListener('click', () => {
  screen.focus();
  if (document.documentElement.requestFullscreen) document.documentElement.requestFullscreen();
});
muteButton.addEventListener('click', () => {
  screen.focus();
  if (Module._rink_toggle_mute) Module._rink_toggle_mute();
});
document.getElementById('again').addEventListener('click', () => location.assign(freshAddress()));
for (const gesture of ['keydown', 'mousedown', 'touchstart']) {
  window.addEventListener(gesture, () => rinkAudio.start(), {capture: true, passive: true});
}
document.addEventListener('visibilitychange', () => rinkAudio.follow());
window.addEventListener('resize', fitPicture);
document.addEventListener('fullscreenchange', fitPicture);

// Once the page has loaded, so that the worker's copies do not hold up the first game.
if ('serviceWorker' in navigator) {
  window.addEventListener('load', () => navigator.serviceWorker.register('rink-worker.js').catch(error => {
    console.warn(`rink: the page cannot be kept for playing offline: ${error}`);
  }));
}
