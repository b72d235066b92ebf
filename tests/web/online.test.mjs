// Online play in the page, through the host build's rink-relay on 127.0.0.1 serving the site:
// a page that joins a desktop game by its code, two pages (one makes a room with "Play online",
// the other joins from the link it shows) and a spectator, and the refusals the page tells in words.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {after, before, test} from 'node:test';
import {framesAfter, launchBrowser, openPage, pageFolder, patience, playerOneX, secondSkaterX, startProgram, startRelay, status,
        waitForStatus} from './browser.mjs';

let folder, relay, browser, second, third;
before(async () => {
  folder = pageFolder();
  // A player who left is waited for 2 s, not 30: then the other's match ends.
  relay = await startRelay(folder, ['--hold', '2']);
  // A browser for each page that plays at once, so that each is in front in its own and plays on:
  // a page behind another stands still, and so does the match it plays.
  [browser, second, third] = await Promise.all([launchBrowser(), launchBrowser(), launchBrowser()]);
});
after(async () => {
  for (const each of [browser, second, third]) await each?.close();
  await relay?.stop();
  fs.rmSync(folder, {recursive: true, force: true});
});

function roomOf(page) {
  return page.waitForFunction(() => window.rinkOnline.code !== '' && window.rinkOnline, {timeout: patience})
      .then(found => found.jsonValue());
}

// Waits for the page's first picture: the relay's welcome, which names the room, can come before
// the match's first pass, and the canvas is empty until then.
function firstPicture(page) {
  return waitForStatus(page, s => s.frames >= 1, 'its first picture');
}

// Holds `key` on the page while it shows `frames` more pictures.
async function holdFor(page, key, frames) {
  const now = await status(page);
  await page.keyboard.down(key);
  await waitForStatus(page, s => s.frames >= now.frames + frames, `${frames} frames holding ${key}`);
  await page.keyboard.up(key);
}

// The page's message box is up; Return answers it and the page ends, saying why. The box's text
// is on the console too, once it was answered.
async function endsSaying(page, said, text, reason) {
  await waitForStatus(page, s => s.state === 'waiting' || s.state === 'ended', 'its message box');
  await page.keyboard.press('Enter');
  const ended = await waitForStatus(page, s => s.state === 'ended', 'its end');
  assert.match(ended.reason, reason);
  assert.ok(said.some(line => text.test(line.text)), `the page never said ${text}: ${JSON.stringify(said)}`);
  assert.ok(!said.some(line => /went apart/.test(line.text)), 'the two games went apart');
}

// The desktop game on SDL's dummy drivers, seeing no display of the machine's: with one, libdbus
// under SDL reaches for a session bus and keeps what it allocated, which the leak checker of the
// sanitizers' build reports (its suppressions name what the libraries under SDL keep).
const desktopGame = {
  SDL_VIDEODRIVER: 'dummy',
  SDL_AUDIODRIVER: 'dummy',
  DISPLAY: undefined,
  WAYLAND_DISPLAY: undefined,
  LSAN_OPTIONS: `suppressions=${fileURLToPath(new URL('../e2e/lsan_suppressions.txt', import.meta.url))}:print_suppressions=0`,
};

test('a page joins a desktop game by its code: both play, and the desktop records both players\' passes', async () => {
  const recording = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'rink-online-')), 'online.keys');
  const desktop = startProgram(process.env.RINK_GAME, ['--online', '--relay', relay.relay, '--record', recording],
                               desktopGame);
  try {
    const code = await desktop.firstLine;
    assert.match(code, /^[2-9A-HJKMNP-Z]{8}$/);
    // The page's relay is the host that served it.
    const {page, console: said} = await openPage(browser, `${relay.url}?room=${code}`);
    assert.deepEqual(await roomOf(page), {code, seat: 2});
    assert.match(await page.$eval('#room-text', text => text.textContent), new RegExp(`Room ${code}: you are player two`));
    await holdFor(page, 'ArrowLeft', 40);
    await holdFor(page, 'ArrowDown', 40);

    // The desktop's window is asked to close: it leaves once the page's keys of its passes came.
    await desktop.stop();
    const {code: exit, stderr} = await desktop.ended;
    assert.equal(exit, 0, stderr);
    await endsSaying(page, said, /Player one left the match/, /has ended: Player one left the match/);

    // A line for each confirmed pass, an empty one holding no key; both players' keys on it.
    const [first, ...rest] = fs.readFileSync(recording, 'utf8').split('\n');
    const passes = rest.filter(line => !line.startsWith('#')).slice(0, -1);
    assert.equal(first, '# players 2');
    assert.ok(passes.length > 40, `only ${passes.length} passes were recorded`);
    for (const key of ['P2Left', 'P2Down']) {
      assert.ok(passes.some(line => line.split(' ').includes(key)), `the page's ${key} is not in the recording`);
    }
    // It plays: a frame for each pass (the match's first minute has no wait).
    const replay = execFileSync(process.env.RINK_REPLAY, [recording], {encoding: 'utf8'}).trim().split('\n');
    assert.equal(replay.length - 1, passes.length);
    await page.close();
  } finally {
    await desktop.stop();
    fs.rmSync(path.dirname(recording), {recursive: true, force: true});
  }
});

test('"Play online" makes a room whose link a second page joins; both play, a third is told the room is full, and a spectator watches', async () => {
  const {page: first, console: firstSaid} = await openPage(browser, relay.url);
  await waitForStatus(first, s => s.frames >= 3, 'the one-player game');
  await first.focus('#play-online');
  await first.keyboard.press('Enter');
  const {code} = await roomOf(first);
  assert.equal(new URL(first.url()).search, '?online=1');
  const link = await first.$eval('#room-link', input => input.value);
  assert.equal(link, `${relay.url}?room=${code}`);
  assert.equal(await first.$eval('#players', button => button.hidden), true);
  await browser.defaultBrowserContext().overridePermissions(relay.url, ['clipboard-read', 'clipboard-sanitized-write']);
  await first.click('#copy-link');
  await first.waitForFunction(() => document.getElementById('copy-link').textContent !== 'Copy the link', {timeout: patience});
  assert.equal(await first.$eval('#copy-link', button => button.textContent), 'Link copied');
  assert.equal(await first.evaluate(() => navigator.clipboard.readText()), link);

  const {page: joiner, console: joinerSaid} = await openPage(second, link);
  assert.deepEqual(await roomOf(joiner), {code, seat: 2});
  await firstPicture(joiner);
  // Each page shows the other's player skating as its keys say.
  const [one, two] = [await playerOneX(joiner), await secondSkaterX(first)];
  await Promise.all([holdFor(first, 'ArrowLeft', 60), holdFor(joiner, 'ArrowRight', 60)]);
  for (const page of [first, joiner]) assert.equal((await status(page)).state, 'running');
  assert.ok(await playerOneX(joiner) < one - 10, 'player one did not skate left on the joiner\'s page');
  assert.ok(await secondSkaterX(first) > two + 10, 'player two did not skate right on the first page');

  const {page: late, console: lateSaid} = await openPage(third, link);
  await endsSaying(late, lateSaid, /already has both its players/, /already has both its players/);
  await late.close();

  // A spectator comes late: it is given the match from its start, and sees player one skate left.
  const {page: watcher} = await openPage(third, `${relay.url}?watch=${code.toLowerCase()}`);
  assert.deepEqual(await roomOf(watcher), {code, seat: 0});
  assert.equal(await watcher.$eval('#room-text', text => text.textContent), `Watching room ${code}.`);
  await firstPicture(watcher);
  for (const deadline = Date.now() + patience; await playerOneX(watcher) >= one - 10;) {
    assert.ok(Date.now() < deadline, 'the spectator never saw player one skate left');
    await framesAfter(watcher, 5);
  }
  assert.equal((await status(watcher)).state, 'running');

  await joiner.keyboard.press('Escape');
  await endsSaying(first, firstSaid, /Player two left the match/, /has ended: Player two left the match/);
  assert.equal(await first.$eval('#room-text', text => text.textContent), `Room ${code}: the match has ended.`);
  await waitForStatus(joiner, s => s.state === 'ended', 'the joiner\'s end');
  assert.ok(!joinerSaid.some(line => /went apart/.test(line.text)), 'the two games went apart');
  await Promise.all([first.close(), joiner.close(), watcher.close()]);
});

test('on an 844 by 390 phone the button that copies the room\'s link fits beside the picture, with the touch controls', async () => {
  const phone = await browser.newPage();
  await phone.setViewport({width: 844, height: 390, hasTouch: true, isMobile: true, isLandscape: true});
  await phone.goto(`${relay.url}?online=1`);
  const {code} = await roomOf(phone);
  await phone.waitForFunction(() => document.body.dataset.input === 'touch', {timeout: patience});
  const shown = await phone.evaluate(() => {
    const box = element => ({name: element.id || element.textContent, shown: element.checkVisibility(),
                             ...element.getBoundingClientRect().toJSON()});
    const controls = '#pad, #right button:not([hidden]), #bar button:not([hidden]), #play-online, #copy-link';
    return {
      picture: box(document.getElementById('screen')),
      controls: [...document.querySelectorAll(controls)].map(box),
      scroll: [document.documentElement.scrollWidth, document.documentElement.scrollHeight],
      room: document.getElementById('room-text').textContent,
    };
  });
  assert.deepEqual(shown.scroll, [844, 390], 'the page scrolls');
  assert.deepEqual(shown.controls.map(control => control.name).sort(),
                   ['check', 'copy-link', 'fullscreen', 'mute', 'pad', 'play-online', 'shoot']);
  for (const control of shown.controls) {
    const inside = control.x >= 0 && control.y >= 0 && control.right <= 844 && control.bottom <= 390;
    const overPicture = control.right > shown.picture.x && control.x < shown.picture.right;
    assert.ok(control.shown && inside && !overPicture, `${control.name} at ${JSON.stringify(control)} is off the page or over the picture`);
  }
  assert.match(shown.room, new RegExp(`^Room ${code}: you are player one`));
  await phone.close();
});

// A port of 127.0.0.1 that nothing listens on.
function closedPort() {
  return new Promise(resolve => {
    const server = net.createServer().listen(0, '127.0.0.1', () => {
      const {port} = server.address();
      server.close(() => resolve(port));
    });
  });
}

test('a code no room has, a relay that cannot be reached, a wrong code and players asked online end the page saying why', async () => {
  const {page, console: said} = await openPage(browser, `${relay.url}?room=zzzzzzzz`);
  await endsSaying(page, said, /no room of that code/, /no room of that code/);
  assert.equal(await page.$eval('#room-text', text => text.textContent), 'Not in a room.');

  const port = await closedPort();
  await page.goto(`${relay.url}?online=1&relay=ws://127.0.0.1:${port}`);
  await endsSaying(page, said, /cannot reach ws:/, /could not start: cannot reach ws:\/\/127\.0\.0\.1/);

  await page.goto(`${relay.url}?room=ABC`);
  const ended = await waitForStatus(page, s => s.state === 'ended', 'its end');
  assert.match(ended.reason, /'ABC' is not a room code/);

  await page.goto(`${relay.url}?online=1&players=2`);
  const twoHere = await waitForStatus(page, s => s.state === 'ended', 'its end');
  assert.match(twoHere.reason, /\?players= is not for online play/);
  await page.close();
});
