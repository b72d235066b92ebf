// The page around the game: the status a test or demo reads, the game's data files written
// into its file system before it starts, the picture enlarged by whole factors, full screen,
// the sound and its mute button, one player or two, a note when the game has ended, and the
// service worker that keeps the page for offline play.
'use strict';

window.rinkStatus = {frames: 0, state: 'loading'};

const rinkDataFiles = [@RINK_DATA_FILES@];
const stage = document.getElementById('stage');
const canvas = document.getElementById('canvas');
const note = document.getElementById('note');
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

// The largest whole enlargement that fits the window (less the line of controls) or the full
// screen, counted in the screen's own pixels so that every picture pixel becomes a square of
// them; a window smaller than the picture gets it shrunk.
function fitPicture() {
  const ratio = window.devicePixelRatio || 1;
  const fullScreen = document.fullscreenElement === stage;
  const bar = document.getElementById('bar');
  const width = (fullScreen ? stage.clientWidth : window.innerWidth) * ratio;
  const height = (fullScreen ? stage.clientHeight : window.innerHeight - bar.offsetHeight) * ratio;
  const scale = Math.min(width / canvas.width, height / canvas.height);
  const factor = scale >= 1 ? Math.floor(scale) : scale;
  canvas.style.width = Math.floor(canvas.width * factor) / ratio + 'px';
  canvas.style.height = Math.floor(canvas.height * factor) / ratio + 'px';
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
    Promise.all(rinkDataFiles.map(fetchDataFile)).then(() => Module.removeRunDependency('rink-data'));
  }],
  onRinkState: state => {
    if (state === 'ended') note.textContent = 'The game has ended. Reload the page to play again.';
  },
  onAbort: () => {
    window.rinkStatus.state = 'ended';
    note.textContent = 'The game stopped on an error (see the console). Reload the page to try again.';
  },
};

fullScreenButton.addEventListener('click', () => {
  fullScreenButton.blur();  // Space and Return belong to the game, not to the button
  if (stage.requestFullscreen) stage.requestFullscreen();
});
muteButton.addEventListener('click', () => {
  muteButton.blur();
  if (Module._rink_toggle_mute) Module._rink_toggle_mute();
});
for (const gesture of ['keydown', 'mousedown', 'touchstart']) {
  window.addEventListener(gesture, () => rinkAudio.start(), {capture: true, passive: true});
}
document.addEventListener('visibilitychange', () => rinkAudio.follow());
window.addEventListener('resize', fitPicture);
document.addEventListener('fullscreenchange', fitPicture);
fitPicture();

// Once the page has loaded, so that the worker's copies do not hold up the first game.
if ('serviceWorker' in navigator) {
  window.addEventListener('load', () => navigator.serviceWorker.register('rink-worker.js').catch(error => {
    console.warn(`rink: the page cannot be kept for playing offline: ${error}`);
  }));
}
