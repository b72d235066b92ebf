// The page's sound: once a key was pressed, each cue of a key script starts a Web Audio source
// with its own sound at the very picture the cue belongs to (rink-replay tells which); before any
// gesture nothing plays and nothing complains; M and the mute button turn the sound off and on;
// P stands the game still with "Paused" over the picture and the audio suspended.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {fileURLToPath} from 'node:url';
import {canvasPixels, pageFolder, servedPage, site as builtSite, startServer, status, waitForStatus} from './browser.mjs';

const golden = fileURLToPath(new URL('../replay/golden.keys', import.meta.url));

// What a player hears for each cue; player one wins every match of the golden session.
const soundOf = {shot: 'shot.wav', boards: 'boards.wav', post: 'post.wav', save: 'save.wav', fall: 'check.wav',
                 goal: 'goal.wav', face_off: 'whistle.wav', match_won: 'win.wav'};

// The samples of a sound file as rink-sounds wrote it for the desktop (beside rink-replay).
function samplesOf(file) {
  const bytes = fs.readFileSync(path.join(path.dirname(process.env.RINK_REPLAY), 'sounds', file));
  for (let at = 12; at + 8 <= bytes.length; at += 8 + bytes.readUInt32LE(at + 4) + (bytes.readUInt32LE(at + 4) & 1)) {
    if (bytes.toString('latin1', at, at + 4) === 'data') {
      return new Int16Array(bytes.buffer.slice(bytes.byteOffset + at + 8, bytes.byteOffset + at + 8 + bytes.readUInt32LE(at + 4)));
    }
  }
  throw new Error(`${file} has no sound data`);
}

// Each cue rink-replay hears in the script, with the number of pictures shown before it: those
// of the frames before its own, and in a frame that waited for D or N, the picture shown before
// the wait too.
function expectedSounds(script) {
  const run = args => execFileSync(process.env.RINK_REPLAY, [...args, script], {maxBuffer: 1 << 28}).toString();
  const presentsBefore = [0];
  let presents = 0;
  for (const line of run(['--draws']).split('\n')) {
    if (line === 'present') ++presents;
    else if (/^\d+,/.test(line)) presentsBefore.push(presents);
  }
  const afterItsPicture = {goal: 1, face_off: 1, match_won: 2, new_match: 2};
  return run(['--cues']).trim().split('\n').slice(1).map(line => line.split(',')).map(([frame, cue]) => {
    const n = Number(frame);
    const extra = afterItsPicture[cue] === 2 ? presentsBefore[n + 1] - presentsBefore[n] : afterItsPicture[cue] ?? 0;
    return {cue, file: soundOf[cue], frames: presentsBefore[n] + extra};
  }).filter(expected => expected.file);
}

// Every source the page starts, with the pictures shown when it started and its buffer's length.
function spyOnSources() {
  window.rinkSourcesStarted = [];
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (...args) {
    window.rinkSourcesStarted.push({frames: window.rinkStatus.frames, length: this.buffer.length});
    return start.apply(this, args);
  };
}

let site, browser, work;
before(async () => {
  assert.ok(process.env.RINK_REPLAY, 'RINK_REPLAY must name rink-replay');
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'rink-sound-'));
  // The golden session to just past its second goal.
  const script = path.join(work, 'start.keys');
  fs.writeFileSync(script, fs.readFileSync(golden, 'latin1').split('\n').slice(0, 200).join('\n') + '\n');
  site = await servedPage({'start.keys': script});
  ({browser} = site);
});
after(async () => {
  await site?.close();
  fs.rmSync(work, {recursive: true, force: true});
});

// The page with the spy in place and its console kept; the key script's download waits for
// `release` (a promise), so that the game starts no earlier than the test wants.
async function openSpiedPage(query, release = Promise.resolve()) {
  const page = await browser.newPage();
  await page.setViewport({width: 1400, height: 1100});
  const said = [];
  page.on('console', message => said.push({type: message.type(), text: message.text()}));
  page.on('pageerror', error => said.push({type: 'error', text: String(error)}));
  await page.evaluateOnNewDocument(spyOnSources);
  await page.setRequestInterception(true);
  page.on('request', request => {
    if (new URL(request.url()).pathname.endsWith('.keys')) release.then(() => request.continue());
    else request.continue();
  });
  await page.goto(site.url + query, {waitUntil: 'domcontentloaded'});
  return {page, said};
}

test('after a key, each cue of a script starts its own sound at the picture it belongs to', async () => {
  const expected = expectedSounds(path.join(work, 'start.keys'));
  assert.ok(expected.some(e => e.cue === 'goal') && expected.some(e => e.cue === 'face_off'));
  const lengths = Object.fromEntries(Object.values(soundOf).map(file => [samplesOf(file).length, file]));
  assert.equal(Object.keys(lengths).length, Object.keys(soundOf).length, 'two sounds of one length');

  let pressed;
  const keyPressed = new Promise(resolve => { pressed = resolve; });
  const {page, said} = await openSpiedPage('?play=start.keys&fast=1', keyPressed);
  await page.keyboard.press('KeyX');  // no key of the game's: a gesture all the same
  pressed();
  await waitForStatus(page, s => s.state === 'ended', 'the end of the script');
  const started = await page.evaluate(() => window.rinkSourcesStarted);
  assert.deepEqual(started.map(s => ({file: lengths[s.length], frames: s.frames})),
                   expected.map(e => ({file: e.file, frames: e.frames})));
  assert.equal(await page.evaluate(() => rinkAudio.context.state), 'running');
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

// The level in dB of each octave band (from 43 Hz up to half the rate) of each window of 512
// samples, windows 256 samples apart and the last reaching the sound's end.
const windowSize = 512, hop = 256, bandCount = 8;
const turns = Array.from({length: windowSize}, (_, i) => 2 * Math.PI * i / windowSize);
const [cosines, sines] = [turns.map(Math.cos), turns.map(Math.sin)];
function bandLevels(samples) {
  const windows = Math.max(1, Math.ceil((samples.length - windowSize) / hop) + 1);
  const x = new Float64Array(windowSize);
  return Array.from({length: windows}, (_, w) => {
    for (let i = 0; i < windowSize; ++i) x[i] = (samples[w * hop + i] ?? 0) / 32768 * (0.5 - 0.5 * cosines[i]);
    const energy = new Float64Array(bandCount);
    for (let bin = 1; bin <= windowSize / 2; ++bin) {
      let re = 0, im = 0;
      for (let i = 0; i < windowSize; ++i) {
        re += x[i] * cosines[(bin * i) % windowSize];
        im -= x[i] * sines[(bin * i) % windowSize];
      }
      energy[Math.min(bandCount - 1, Math.floor(Math.log2(bin)))] += re * re + im * im;
    }
    return Array.from(energy, e => 10 * Math.log10(e + 1e-10));
  });
}

// How far a sound's levels are from the desktop's: the mean difference in dB over the windows and
// bands within 40 dB of the desktop sound's loudest (below that, a codec's noise floor). Where
// one sound is shorter, the other is compared with silence.
function levelDistance(desktop, page) {
  const top = Math.max(...desktop.flat());
  const silence = new Array(bandCount).fill(-100);
  let sum = 0, count = 0;
  desktop.forEach((levels, w) => levels.forEach((level, band) => {
    if (level < top - 40) return;
    sum += Math.abs(level - (page[w] ?? silence)[band]);
    ++count;
  }));
  return sum / count;
}

// Opus at the site's bit rate keeps every sound within 0.7 dB; another of the nine sounds is 7 dB
// or more away, and the same sound at half its loudness 6 dB.
const tolerance = 2;

// The page's sounds are the desktop's as the codec keeps them: each exactly as long, near its
// own desktop sound and far from every other.
test('the page holds every sound, close to the desktop\'s and far from the others', async () => {
  const {page, said} = await openSpiedPage('?play=start.keys&fast=1');
  await waitForStatus(page, s => s.state === 'ended', 'the end of the script');
  const made = await page.evaluate(() => rinkAudio.buffers.map(buffer => Array.from(buffer.getChannelData(0), s => Math.round(s * 32768))));
  const files = ['shot', 'boards', 'post', 'save', 'check', 'goal', 'whistle', 'win', 'lose'].map(name => `${name}.wav`);
  assert.equal(made.length, files.length);
  const desktop = Object.fromEntries(files.map(file => [file, samplesOf(file)]));
  const levels = Object.fromEntries(files.map(file => [file, bandLevels(desktop[file])]));
  for (const file of files) {
    const own = made.find(samples => samples.length === desktop[file].length);
    assert.ok(own, `no sound as long as ${file}`);
    const ownLevels = bandLevels(own);
    const distance = levelDistance(levels[file], ownLevels);
    assert.ok(distance <= tolerance, `${file} is ${distance.toFixed(2)} dB from the desktop's`);
    for (const other of files.filter(other => other !== file)) {
      const apart = levelDistance(levels[other], ownLevels);
      assert.ok(apart > tolerance, `the page's ${file} is only ${apart.toFixed(2)} dB from the desktop's ${other}`);
    }
  }
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

// A sound file the browser cannot decode is a missing sound: the game starts, says which on the
// console, and plays the others.
test('a sound that is not Ogg Opus, or is cut short, stays silent and the rest play', async () => {
  const cut = path.join(work, 'cut.opus');
  fs.writeFileSync(cut, fs.readFileSync(path.join(builtSite, 'sounds/win.opus')).subarray(0, 30));
  const folder = pageFolder({extra: {'sounds/post.opus': path.join(builtSite, 'puck.bmp'), 'sounds/win.opus': cut}});
  const server = await startServer(folder);
  try {
    const page = await browser.newPage();
    const said = [];
    page.on('console', message => said.push(message.text()));
    await page.goto(server.url);
    await waitForStatus(page, s => s.frames >= 3, 'its third frame');
    const [sounds, listed] = await page.evaluate(() => [rinkAudio.buffers.length, rinkSoundFiles.length]);
    assert.equal(sounds, listed - 2);
    for (const name of ['post', 'win']) {
      assert.ok(said.some(line => line.includes(`sound ${name}.wav: not found`)), said.join('\n'));
    }
    await page.close();
  } finally {
    await server.stop();
    fs.rmSync(folder, {recursive: true, force: true});
  }
});

test('before any key, click or touch the page plays nothing and says nothing', async () => {
  const {page, said} = await openSpiedPage('?play=start.keys&fast=1');
  await waitForStatus(page, s => s.state === 'ended', 'the end of the script');
  assert.deepEqual(await page.evaluate(() => window.rinkSourcesStarted), []);
  assert.equal(await page.evaluate(() => rinkAudio.context), null);
  assert.deepEqual(said.filter(message => message.type === 'error' || message.type === 'warning'), []);
  await page.close();
});

// Pixels of the notice's colours (its box and its text) in the middle of the picture.
function noticePixels(picture) {
  const colours = [[0xEC, 0xEF, 0xF4], [0x1B, 0x1F, 0x2A]];
  const counts = [0, 0];
  for (let y = 200; y < 280; ++y) {
    for (let x = 260; x < 380; ++x) {
      const at = (y * picture.width + x) * 4;
      colours.forEach((colour, i) => { counts[i] += colour.every((value, c) => picture.rgba[at + c] === value); });
    }
  }
  return counts;
}

const pause = ms => new Promise(resolve => setTimeout(resolve, ms));

test('M and the mute button mute; P stands the game still with "Paused" shown and goes on after P', async () => {
  const {page} = await openSpiedPage('');
  await waitForStatus(page, s => s.frames >= 3, 'its third frame');
  const button = () => page.$eval('#mute', b => ({text: b.textContent, pressed: b.getAttribute('aria-pressed')}));
  assert.deepEqual(await button(), {text: 'Sound off', pressed: 'false'});
  await page.keyboard.press('KeyM');
  assert.deepEqual(await button(), {text: 'Sound off', pressed: 'true'});
  assert.equal(await page.evaluate(() => rinkAudio.master.gain.value), 0);
  await page.click('#mute');
  assert.deepEqual(await button(), {text: 'Sound off', pressed: 'false'});
  assert.ok(await page.evaluate(() => rinkAudio.master.gain.value) > 0);

  await page.keyboard.press('KeyP');
  await pause(300);  // the frame under way ends
  const paused = await status(page);
  await pause(600);
  assert.equal((await status(page)).frames, paused.frames, 'frames ran while paused');
  assert.equal(await page.evaluate(() => rinkAudio.context.state), 'suspended');
  const [box, text] = noticePixels(await canvasPixels(page));
  assert.ok(box > 500 && text > 50, `no notice in the middle of the picture (${box} box and ${text} text pixels)`);

  await page.keyboard.press('KeyP');
  await waitForStatus(page, s => s.frames >= paused.frames + 3, 'three frames after the pause');
  assert.equal(await page.evaluate(() => rinkAudio.context.state), 'running');
  assert.deepEqual(noticePixels(await canvasPixels(page)), [0, 0], 'the notice stayed');
  await page.close();
});
