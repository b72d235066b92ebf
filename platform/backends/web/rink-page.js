// The page around the game: the status a test or demo reads, the game's data files written
// into its file system before it starts, the picture filling the page and still sharp, full
// screen, the sound and its mute button, one player or two, the message and Play again when the game has ended,
// and the service worker that keeps the page for offline play. The controls beside the picture
// (touch, and the line that names the keys) are rink-controls.js's.
'use strict';

window.rinkStatus = {frames: 0, state: 'loading', awaits: '', reason: ''};

const rinkDataFiles = [@RINK_DATA_FILES@];
// Each sound as the site keeps it (compressed) and as the game reads it (a WAV file).
const rinkSoundFiles = [@RINK_SOUND_FILES@];
const stage = document.getElementById('stage');
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
// asks for them by number (play); each becomes a buffer in a task of its own after the game's
// start, which they would otherwise lengthen, or when first played if that comes sooner.
// Browsers start audio only after a gesture, so the context is made at the first key, click or
// touch; until then nothing is played and nothing complains.
// While the tab is hidden or the game stands still (held), the context is suspended: every
// sound stops where it is and goes on from there.
const rinkAudio = {
  context: null,
  master: null,
  buffers: [],
  unmade: new Map(),  // id: {samples (16-bit), rate}, until its buffer is made
  level: 1,
  held: false,
  add(id, samples, rate) {
    this.unmade.set(id, {samples, rate});
    setTimeout(() => this.buffer(id));
  },
  buffer(id) {
    const sound = this.unmade.get(id);
    if (sound) {
      this.unmade.delete(id);
      const buffer = new AudioBuffer({length: sound.samples.length, sampleRate: sound.rate, numberOfChannels: 1});
      const samples = new Float32Array(sound.samples.length);
      for (let i = 0; i < samples.length; ++i) samples[i] = sound.samples[i] / 32768;
      buffer.copyToChannel(samples, 0);
      this.buffers[id] = buffer;
    }
    return this.buffers[id];
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
    const buffer = this.context && this.buffer(id);
    if (!buffer) return;
    const source = this.context.createBufferSource();
    source.buffer = buffer;
    const volume = this.context.createGain();
    volume.gain.value = gain;
    source.connect(volume).connect(this.master);
    source.start();
  },
  setLevel(level, muted) {
    this.level = level;
    if (this.master) this.master.gain.value = level;
    muteButton.setAttribute('aria-pressed', String(muted));
  },
  hold(held) {
    this.held = held;
    this.follow();
  },
};

// The game draws into the hidden 640 by 480 canvas; the screen's worker (rink-screen.js), made
// when the game's window opens, shows it enlarged, as the desktop does. The page hands it each
// picture's changed pixels, and the whole factor the shown size needs in device pixels.
const rinkScreen = {
  worker: null,
  factor: 0,
  shown: false,
  start() {
    if (this.worker) return;
    this.worker = new Worker('rink-screen.js');
    const offscreen = screen.transferControlToOffscreen();
    this.worker.postMessage({screen: offscreen}, [offscreen]);
    if (this.factor) this.worker.postMessage({factor: this.factor});
  },
  // What changed in a picture of `width` by `height`: `rects` holds left, top, right, bottom of
  // each rectangle (right and bottom excluded), `pixels` their pixels row after row, each
  // rectangle after the one before (R, G, B, A bytes as one word).
  draw(width, height, rects, pixels) {
    if (!this.shown) {
      performance.mark('rink: first picture');  // for the measurements
      this.shown = true;
      keepOffline();
    }
    this.worker.postMessage({width, height, rects, pixels}, [rects.buffer, pixels.buffer]);
  },
  // The picture takes `width` by `height` CSS pixels of a screen with `ratio` device pixels to one.
  size(width, height, ratio) {
    screen.style.width = width + 'px';
    screen.style.height = height + 'px';
    const factor = placingRule.rink_enlarging_factor(Math.round(width * ratio));
    if (factor === this.factor) return;
    this.factor = factor;
    if (this.worker) this.worker.postMessage({factor});
  },
};

// The rule that places the picture is the desktop's, built into a small module (page_fit.cpp)
// that this script carries and runs at once.
const placingRule = new WebAssembly.Instance(new WebAssembly.Module(
    Uint8Array.from('@RINK_FIT_MODULE@'.match(/../g), byte => parseInt(byte, 16)))).exports;
// The rule takes sizes in 256ths of a device pixel, so that a page whose size in device pixels has
// a fraction keeps it (up to 16,000 device pixels across, within the rule's whole numbers).
const finer = 256;

// The largest area of 4:3 inside width by height CSS pixels, in whole device pixels.
function fourByThree(width, height, ratio) {
  const across = Math.floor(width * ratio * finer), down = Math.floor(height * ratio * finer);
  const fitted = rule => Math.max(1, Math.floor(rule(across, down) / finer)) / ratio;
  return {width: fitted(placingRule.rink_fit_width), height: fitted(placingRule.rink_fit_height)};
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

// The bytes of a file of the site, or null when it could not be had: the file stays missing, and
// the game says so (a bitmap in its message box, a sound on the console).
function fetchSiteFile(name) {
  return fetch(name)
      .then(response => response.ok ? response.arrayBuffer() : null)
      .catch(() => null);
}

// The game's folders the page has made (looking a path up in the game's file system is slow).
const gameFolders = new Set();

function writeGameFile(name, bytes) {
  const folder = name.slice(0, Math.max(0, name.lastIndexOf('/')));
  if (folder && !gameFolders.has(folder)) {
    Module.FS.mkdir('/' + folder);
    gameFolders.add(folder);
  }
  Module.FS.writeFile('/' + name, new Uint8Array(bytes));
}

// What the pages of an Ogg Opus file say of its sound: the rate it was made at (the codec itself
// runs at 48 kHz) and its length in samples at that rate, which is the last page's position less
// the decoder's lead-in. Null for a file that is not Ogg Opus; a page past the end throws.
function opusFacts(bytes) {
  const view = new DataView(bytes);
  const isPage = at => at + 27 <= bytes.byteLength && view.getUint32(at) === 0x4f676753;  // 'OggS'
  let last = 0;
  for (let page = 0; isPage(page); ) {
    last = page;
    const segments = view.getUint8(page + 26);
    page += 27 + segments;
    for (let i = 0; i < segments; ++i) page += view.getUint8(last + 27 + i);
  }
  const head = 27 + (isPage(0) ? view.getUint8(26) : 0);
  const magic = isPage(0) && String.fromCharCode(...new Uint8Array(bytes, head, 8));
  const rate = magic === 'OpusHead' ? view.getUint32(head + 12, true) : 0;
  if (!rate) return null;
  const codecSamples = Number(view.getBigInt64(last + 6, true)) - view.getUint16(head + 10, true);
  return {rate, length: Math.max(0, Math.round(codecSamples * rate / 48000))};
}

// A 16-bit mono WAV file of `samples` (floats in [-1, 1]) at `rate`, as the game reads them.
function wavFile(samples, rate) {
  const file = new DataView(new ArrayBuffer(44 + 2 * samples.length));
  const text = (at, word) => [...word].forEach((c, i) => file.setUint8(at + i, c.charCodeAt(0)));
  text(0, 'RIFF');
  file.setUint32(4, 36 + 2 * samples.length, true);
  text(8, 'WAVEfmt ');
  file.setUint32(16, 16, true);
  file.setUint16(20, 1, true);  // PCM
  file.setUint16(22, 1, true);  // one channel
  file.setUint32(24, rate, true);
  file.setUint32(28, 2 * rate, true);
  file.setUint16(32, 2, true);
  file.setUint16(34, 16, true);
  text(36, 'data');
  file.setUint32(40, 2 * samples.length, true);
  for (let i = 0; i < samples.length; ++i) {
    file.setInt16(44 + 2 * i, Math.max(-32768, Math.min(32767, Math.round(samples[i] * 32768))), true);
  }
  return file.buffer;
}

// The browser decodes a sound at the rate it was made at, to its whole length: a decoder may
// leave off the last sample, which comes back as silence. A sound that cannot be decoded stays
// missing.
function decodeSound(bytes) {
  return Promise.resolve().then(() => {
    const facts = opusFacts(bytes);
    if (!facts) return null;
    return new OfflineAudioContext(1, 1, facts.rate).decodeAudioData(bytes).then(sound => {
      const samples = new Float32Array(Math.min(facts.length, sound.length + 1));
      samples.set(sound.getChannelData(0).subarray(0, samples.length));
      return wavFile(samples, facts.rate);
    });
  }).catch(() => null);
}

function loadDataFile(name) {
  return fetchSiteFile(name).then(bytes => bytes && writeGameFile(name, bytes));
}

function loadSound([packed, name]) {
  return fetchSiteFile(packed).then(bytes => bytes && decodeSound(bytes))
      .then(wav => wav && writeGameFile(name, wav));
}

var Module = {
  preRun: [() => {
    Module.addRunDependency('rink-data');
    // Each fetch is asked for in a task of its own: asking for dozens at once holds a phone's
    // main thread up for long. The game starts in a task of its own too, not after the last file.
    const inTurn = (load, file) => new Promise(start => setTimeout(start)).then(() => load(file));
    Promise.all([...rinkDataFiles.map(name => inTurn(loadDataFile, name)),
                 ...rinkSoundFiles.map(pair => inTurn(loadSound, pair))])
        .then(() => setTimeout(() => Module.removeRunDependency('rink-data')));
  }],
  onPicture: (width, height, rects, pixels) => rinkScreen.draw(width, height, rects, pixels),
  // The game's standard error, held back line by line while a box it asked for waits to be
  // answered: one list of lines for each box (web_loop.cpp).
  rinkHeldLines: [],
  printErr: line => {
    const held = Module.rinkHeldLines;
    if (held.length === 0) console.warn(line); else held[held.length - 1].push(line);
  },
  onRinkState: status => {
    if (status.state === 'running') rinkScreen.start();
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
  if (document.fullscreenElement) document.exitFullscreen();
  else if (document.documentElement.requestFullscreen) document.documentElement.requestFullscreen();
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
document.addEventListener('fullscreenchange', () => {
  fullScreenButton.setAttribute('aria-pressed', String(document.fullscreenElement !== null));
  fitPicture();
});

// After the game's first picture, so that the worker's copies of the files do not slow its start.
function keepOffline() {
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('rink-worker.js').catch(error => {
    console.warn(`rink: the page cannot be kept for playing offline: ${error}`);
  });
}
