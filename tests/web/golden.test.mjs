// The same game in the browser: the golden session's keys, and a two-player match's, played by the
// page (?play=) end on exactly the picture rink-replay presents for them, pixel for pixel; a
// script that cannot be had runs no frame. The page says why the game ended.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {test} from 'node:test';
import {fileURLToPath} from 'node:url';
import {canvasPixels, launchBrowser, openPage, pageFolder, readIndexedPng, startServer, waitForStatus} from './browser.mjs';

const keys = fileURLToPath(new URL('../replay/golden.keys', import.meta.url));

// The page plays the script through ?play= to its end and shows what rink-replay presents.
async function expectTheReplaysPicture(script) {
  assert.ok(process.env.RINK_REPLAY, 'RINK_REPLAY must name rink-replay');
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'rink-golden-'));
  const expectedFile = path.join(work, 'expected.png');
  execFileSync(process.env.RINK_REPLAY, ['--picture', expectedFile, script], {stdio: ['ignore', 'ignore', 'inherit']});
  const expected = readIndexedPng(expectedFile);
  const presents = execFileSync(process.env.RINK_REPLAY, ['--draws', script], {maxBuffer: 1 << 28}).toString()
                       .split('\n').filter(line => line === 'present').length;

  const folder = pageFolder({extra: {'session.keys': script}});
  const server = await startServer(folder);
  const browser = await launchBrowser();
  try {
    const {page, console: said} = await openPage(browser, `${server.url}?play=session.keys&fast=1`);
    const end = await waitForStatus(page, s => s.state === 'ended', 'the end of the script');
    assert.equal(end.frames, presents, 'the page showed another number of pictures');
    const shown = await canvasPixels(page);
    assert.deepEqual([shown.width, shown.height], [expected.width, expected.height]);
    let differing = 0;
    for (let i = 0; i < shown.rgba.length; i += 4) {
      differing += shown.rgba.subarray(i, i + 4).some((value, channel) => value !== expected.rgba[i + channel]);
    }
    assert.equal(differing, 0, `${differing} pixels differ from rink-replay's picture`);
    assert.equal(await page.$eval('#end-reason', reason => reason.textContent), 'The key script has ended.');
    assert.deepEqual(said.filter(message => message.type === 'error'), []);
  } finally {
    await browser.close();
    await server.stop();
    fs.rmSync(folder, {recursive: true, force: true});
    fs.rmSync(work, {recursive: true, force: true});
  }
}

test('the golden session ends on the picture rink-replay presents for it', () => expectTheReplaysPicture(keys));

// The script names its two players on its first line, and the page plays it so.
test('a two-player match of both autopilots ends on the picture rink-replay presents for it', async () => {
  assert.ok(process.env.RINK_AUTOPLAY, 'RINK_AUTOPLAY must name rink-autoplay');
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'rink-two-'));
  const script = path.join(work, 'two.keys');
  try {
    fs.writeFileSync(script, execFileSync(process.env.RINK_AUTOPLAY, ['--players', '2', '400']));
    await expectTheReplaysPicture(script);
  } finally {
    fs.rmSync(work, {recursive: true, force: true});
  }
});

test('a key script that cannot be fetched or read ends the page before any frame, saying why on the page too', async () => {
  const folder = pageFolder();
  fs.writeFileSync(path.join(folder, 'bad.keys'), 'Right\nRight Sideways\n');
  const server = await startServer(folder);
  const browser = await launchBrowser();
  try {
    for (const [script, why] of [['missing.keys', "rink: the key script 'missing.keys' could not be fetched (the server answered 404)"],
                                 ['bad.keys', "rink: the key script 'bad.keys': line 2: unknown key 'Sideways'"]]) {
      const {page, console: said} = await openPage(browser, `${server.url}?play=${script}&fast=1`);
      const end = await waitForStatus(page, s => s.state === 'ended', 'the end');
      assert.equal(end.frames, 0);
      assert.ok(said.some(message => message.text === why), JSON.stringify(said));
      const message = await page.$eval('#end', end => ({shown: !end.hidden, text: end.innerText}));
      assert.ok(message.shown, 'the page does not say why the game ended');
      assert.ok(message.text.includes(`The game could not start: ${why.slice('rink: '.length)}.`), message.text);
      await page.close();
    }
  } finally {
    await browser.close();
    await server.stop();
    fs.rmSync(folder, {recursive: true, force: true});
  }
});
