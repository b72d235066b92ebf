// What the browser tests and measurements share: a copy of the web build's site folder to
// serve, a static server on 127.0.0.1 started and stopped by its process id, headless Debian
// Chromium, and the page's status and canvas.
import assert from 'node:assert/strict';
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import puppeteer from 'puppeteer-core';

// RINK_WEB_BUILD names the web build (build-web/); what a web server publishes is its site/.
export const webBuild = process.env.RINK_WEB_BUILD;
export const site = path.join(webBuild ?? '', 'site');
if (!webBuild || !fs.existsSync(path.join(site, 'index.html'))) {
  throw new Error(`RINK_WEB_BUILD must name a web build with its site folder (make web): '${webBuild}'`);
}

// Time for the page to reach a state on a loaded two-core machine; never a measurement.
export const patience = 120_000;

// A new folder with a copy of the site's files (names relative to the site), less `without`,
// plus `extra` files {name: path}.
export function pageFolder({without = [], extra = {}} = {}) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'rink-page-'));
  fs.cpSync(site, folder, {recursive: true, filter: from => !without.includes(path.relative(site, from))});
  for (const [name, from] of Object.entries(extra)) fs.copyFileSync(from, path.join(folder, name));
  return folder;
}

// Every file under a folder, by its path relative to it with forward slashes, sorted.
export function filesUnder(folder) {
  return fs.readdirSync(folder, {recursive: true}).filter(name => fs.statSync(path.join(folder, name)).isFile())
      .map(name => name.split(path.sep).join('/')).sort();
}

// Python's static file server on a free port of 127.0.0.1. requests() gives every request it
// has answered so far, as {path, status}, read from its log.
export function startServer(folder) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', folder],
                       {stdio: ['ignore', 'pipe', 'pipe']});
  const answered = [];
  server.stderr.on('data', chunk => {
    for (const [, path, status] of String(chunk).matchAll(/"GET (\S+) HTTP\/[\d.]+" (\d+)/g)) {
      answered.push({path, status: Number(status)});
    }
  });
  return new Promise((resolve, reject) => {
    let said = '';
    server.on('error', reject);
    server.on('exit', code => reject(new Error(`the web server ended with code ${code}: ${said}`)));
    server.stdout.on('data', chunk => {
      said += chunk;
      const port = /port (\d+)/.exec(said);
      if (!port) return;
      const url = `http://127.0.0.1:${port[1]}/`;
      let marks = 0;
      // The log comes in order: once a request of our own is in it, every earlier one is too.
      const requests = async () => {
        const mark = `/log-mark-${++marks}`;
        await fetch(url + mark.slice(1));
        while (!answered.some(request => request.path === mark)) await new Promise(done => setTimeout(done, 20));
        return answered.filter(request => !request.path.startsWith('/log-mark-'));
      };
      resolve({url, requests, stop: () => stopProcess(server)});
    });
  });
}

function stopProcess(child) {
  if (child.exitCode !== null || child.signalCode !== null) return Promise.resolve();
  return new Promise(resolve => {
    child.removeAllListeners('exit');
    child.on('exit', () => resolve());
    process.kill(child.pid, 'SIGTERM');
  });
}

// Headless Chromium with a new empty profile; its connections stay on this machine.
export async function launchBrowser() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'rink-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           `--user-data-dir=${profile}`],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, {recursive: true, force: true});
  };
  return browser;
}

// A copy of the web build (with `extra` files, as pageFolder takes them) served to a new
// browser, for the tests of one file; close() ends both and removes the copy.
export async function servedPage(extra = {}) {
  const folder = pageFolder({extra});
  const server = await startServer(folder);
  const browser = await launchBrowser();
  return {
    url: server.url,
    browser,
    close: async () => {
      await browser.close();
      await server.stop();
      fs.rmSync(folder, {recursive: true, force: true});
    },
  };
}

// Opens the page in a window of the given size and keeps what the console said.
export async function openPage(browser, url, {width = 1400, height = 1100} = {}) {
  const page = await browser.newPage();
  await page.setViewport({width, height});
  const console = [];
  page.on('console', message => console.push({type: message.type(), text: message.text()}));
  page.on('pageerror', error => console.push({type: 'error', text: String(error)}));
  await page.goto(url);
  return {page, console};
}

export function status(page) {
  return page.evaluate(() => ({...window.rinkStatus}));
}

// Waits until the page's status satisfies `test` (a function of {frames, state}).
export async function waitForStatus(page, test, what) {
  const deadline = Date.now() + patience;
  for (;;) {
    const now = await status(page);
    if (test(now)) return now;
    if (Date.now() > deadline) throw new Error(`the page never reached ${what}; its status is ${JSON.stringify(now)}`);
    await new Promise(resolve => setTimeout(resolve, 50));
  }
}

// The canvas's pixels: {width, height, rgba} with four bytes a pixel.
export async function canvasPixels(page) {
  const picture = await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const image = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
    return {width: image.width, height: image.height, rgba: Array.from(image.data)};
  });
  return {...picture, rgba: Uint8Array.from(picture.rgba)};
}

// Reads an 8-bit indexed PNG as the game's tools write it (filter 0 on every row) into RGBA.
export function readIndexedPng(file) {
  const bytes = fs.readFileSync(file);
  let width = 0, height = 0, palette = null;
  const data = [];
  for (let at = 8; at < bytes.length;) {
    const length = bytes.readUInt32BE(at), type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[9] !== 3 || body[12] !== 0) throw new Error(`${file}: not an 8-bit indexed PNG`);
    } else if (type === 'PLTE') {
      palette = body;
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const rows = zlib.inflateSync(Buffer.concat(data));
  const rgba = new Uint8Array(width * height * 4);
  for (let y = 0; y < height; ++y) {
    const row = y * (width + 1);
    if (rows[row] !== 0) throw new Error(`${file}: row ${y} uses filter ${rows[row]}`);
    for (let x = 0; x < width; ++x) {
      const index = rows[row + 1 + x], to = (y * width + x) * 4;
      rgba.set([palette[index * 3], palette[index * 3 + 1], palette[index * 3 + 2], 255], to);
    }
  }
  return {width, height, rgba};
}

// Reads an 8-bit bottom-up BMP with its colour table, as rink-art writes them, into RGBA.
export function readBmp(file) {
  const bytes = fs.readFileSync(file);
  const pixelsAt = bytes.readUInt32LE(10), infoSize = bytes.readUInt32LE(14);
  const width = bytes.readInt32LE(18), height = bytes.readInt32LE(22);
  if (bytes.readUInt16LE(28) !== 8) throw new Error(`${file}: not an 8-bit bitmap`);
  const table = 14 + infoSize, stride = (width + 3) & ~3;
  const rgba = new Uint8Array(width * height * 4);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const index = bytes[pixelsAt + (height - 1 - y) * stride + x], colour = table + index * 4;
      rgba.set([bytes[colour + 2], bytes[colour + 1], bytes[colour], 255], (y * width + x) * 4);
    }
  }
  return {width, height, rgba};
}

// The share of the picture's pixels that show the rink bitmap's colour at their place.
export function rinkShare(picture) {
  const rink = readBmp(path.join(site, 'hockeyrink.bmp'));
  let same = 0;
  for (let i = 0; i < rink.rgba.length; i += 4) {
    same += rink.rgba.subarray(i, i + 4).every((value, channel) => picture.rgba[i + channel] === value);
  }
  return same / (rink.width * rink.height);
}

export const colours = {
  playerScore: [0, 0, 255],
  computerScore: [255, 0, 0],
  jersey: [242, 118, 12],
  secondJersey: [178, 22, 40],
  boxBody: [0xEC, 0xEF, 0xF4],
  okButton: [0xD5, 0xDB, 0xE5],
};

// Pixels of a colour inside a rectangle [left, right) x [top, bottom) of the picture.
export function pixelsOf(picture, colour, {left = 0, top = 0, right = picture.width, bottom = picture.height} = {}) {
  const found = [];
  for (let y = top; y < bottom; ++y) {
    for (let x = left; x < right; ++x) {
      const at = (y * picture.width + x) * 4;
      if (colour.every((value, i) => picture.rgba[at + i] === value)) found.push({x, y});
    }
  }
  return found;
}

// Where player one is: the middle of the jersey pixels on the left half of the ice, which is
// player one's alone during the match's first seconds.
export async function playerOneX(page) {
  const jersey = pixelsOf(await canvasPixels(page), colours.jersey, {right: 320, bottom: 440});
  assert.ok(jersey.length > 20, 'player one is not on the left half of the ice');
  return jersey.reduce((sum, pixel) => sum + pixel.x, 0) / jersey.length;
}

// Where the second skater is: the middle of the second team's jersey pixels.
export async function secondSkaterX(page) {
  const jersey = pixelsOf(await canvasPixels(page), colours.secondJersey, {bottom: 440});
  assert.ok(jersey.length > 20, 'the second skater is not on the ice');
  return jersey.reduce((sum, pixel) => sum + pixel.x, 0) / jersey.length;
}

export function framesAfter(page, count) {
  return status(page).then(now => waitForStatus(page, s => s.frames >= now.frames + count, `${count} more frames`));
}

// A file with the first `lines` lines of the golden session, a key script for the page to play
// with &takeover=1 before it hands over to the player: up to a goal's wait, or to the moment
// player one is about to wind up a shot.
export function goldenStart(lines) {
  const golden = fs.readFileSync(new URL('../replay/golden.keys', import.meta.url), 'utf8').split('\n');
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'rink-keys-')), `golden-${lines}.keys`);
  fs.writeFileSync(file, golden.slice(0, lines).join('\n') + '\n');
  return file;
}

// rink-relay (RINK_RELAY, the host build's) on a free port of 127.0.0.1, serving `folder` as its
// site: {url, relay, stop}, `relay` being its WebSocket address.
export function startRelay(folder, options = []) {
  const relay = spawn(process.env.RINK_RELAY, ['--bind', '127.0.0.1', '--port', '0', '--site', folder, ...options],
                      {stdio: ['ignore', 'pipe', 'inherit']});
  return new Promise((resolve, reject) => {
    let said = '';
    relay.on('error', reject);
    relay.on('exit', code => reject(new Error(`rink-relay ended with code ${code}: ${said}`)));
    relay.stdout.on('data', chunk => {
      said += chunk;
      const port = /listening on \S+ port (\d+)/.exec(said);
      if (port) resolve({url: `http://127.0.0.1:${port[1]}/`, relay: `ws://127.0.0.1:${port[1]}`, stop: () => stopProcess(relay)});
    });
  });
}

// A program started with `args` and `env` beside this one's: its first line of standard output
// (rejected after `patience`), its end as {code, signal, stderr}, and stop() (SIGTERM, then its end).
export function startProgram(program, args, env = {}) {
  const child = spawn(program, args, {stdio: ['ignore', 'pipe', 'pipe'], env: {...process.env, ...env}});
  let out = '', err = '';
  child.stderr.on('data', chunk => { err += chunk; });
  const ended = new Promise(resolve => child.on('exit', (code, signal) => resolve({code, signal, stderr: err})));
  const firstLine = new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`${program} wrote no line: ${err}`)), patience);
    child.stdout.on('data', chunk => {
      out += chunk;
      if (out.includes('\n')) {
        clearTimeout(timer);
        resolve(out.slice(0, out.indexOf('\n')));
      }
    });
    ended.then(({code}) => reject(new Error(`${program} ended with code ${code} before a line: ${err}`)));
  });
  const stop = () => {
    if (child.exitCode === null && child.signalCode === null) child.kill('SIGTERM');
    return ended;
  };
  return {firstLine, ended, stop};
}
