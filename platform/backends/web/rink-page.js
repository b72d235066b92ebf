// The page around the game: the status a test or demo reads, the game's data files written
// into its file system before it starts, the picture enlarged by whole factors, full screen,
// a note when the game has ended, and the service worker that keeps the page for offline play.
'use strict';

window.rinkStatus = {frames: 0, state: 'loading'};

const rinkDataFiles = [@RINK_DATA_FILES@];
const stage = document.getElementById('stage');
const canvas = document.getElementById('canvas');
const note = document.getElementById('note');
const fullScreenButton = document.getElementById('fullscreen');

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
        // A file that could not be had stays missing; the game says so in its message box.
        if (bytes) Module.FS.writeFile('/' + name, new Uint8Array(bytes));
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
window.addEventListener('resize', fitPicture);
document.addEventListener('fullscreenchange', fitPicture);
fitPicture();

// Once the page has loaded, so that the worker's copies do not hold up the first game.
if ('serviceWorker' in navigator) {
  window.addEventListener('load', () => navigator.serviceWorker.register('rink-worker.js').catch(error => {
    console.warn(`rink: the page cannot be kept for playing offline: ${error}`);
  }));
}
