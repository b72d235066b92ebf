// The browser's own loop runs the game a pass at a time, with nothing in the page's code that
// suspends it: a goal's wait and the player's pause are states of that loop, each looked at again
// as the page's inputs come, in the order they come.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {canvasPixels, colours, goldenStart, openPage, patience, pixelsOf, site as siteFolder, status, servedPage,
        waitForStatus} from './browser.mjs';

const toGoal = goldenStart(150);
let site, browser;
before(async () => {
  site = await servedPage({'to-goal.keys': toGoal});
  ({browser} = site);
});
after(async () => {
  await site?.close();
  fs.rmSync(path.dirname(toGoal), {recursive: true, force: true});
});

const rest = ms => new Promise(resolve => setTimeout(resolve, ms));
const errors = said => said.filter(message => message.type === 'error');

test('the game\'s script carries nothing that suspends it', () => {
  const script = fs.readFileSync(path.join(siteFolder, 'rink.js'), 'utf8');
  assert.ok(!/Asyncify/.test(script), 'rink.js is built with Asyncify');
});

test('P during a goal\'s wait stands it still: a D pressed meanwhile never counts, a D after P ends it', async () => {
  const {page, console: said} = await openPage(browser, `${site.url}?play=to-goal.keys&takeover=1`);
  const waiting = await waitForStatus(page, s => s.state === 'waiting' && s.awaits === 'D', 'the wait after the goal');
  await page.keyboard.press('KeyP');
  await page.keyboard.press('KeyD');
  await rest(600);  // the loop looks again several times
  assert.equal((await status(page)).frames, waiting.frames, 'D ended the wait during the pause');
  assert.ok(pixelsOf(await canvasPixels(page), colours.boxBody).length > 500, 'no "Paused" over the wait');

  await page.keyboard.press('KeyP');
  await rest(600);
  const after = await status(page);
  assert.deepEqual([after.frames, after.state, after.awaits], [waiting.frames, 'waiting', 'D'],
                   'the D pressed in the pause reached the game');
  await page.keyboard.press('KeyD');
  await waitForStatus(page, s => s.state === 'running' && s.frames > waiting.frames + 3, 'frames after the wait');
  assert.deepEqual(errors(said), []);
  await page.close();
});

test('Escape in the player\'s pause ends the game as it does in play', async () => {
  const {page, console: said} = await openPage(browser, site.url);
  await waitForStatus(page, s => s.frames >= 3, 'its third frame');
  await page.keyboard.press('KeyP');
  await rest(300);
  const paused = await status(page);
  await rest(300);
  assert.equal((await status(page)).frames, paused.frames, 'frames ran while paused');
  await page.keyboard.press('Escape');
  await waitForStatus(page, s => s.state === 'ended', 'the end');
  assert.equal(await page.$eval('#end-reason', reason => reason.textContent), 'Escape ended the game.');
  assert.deepEqual(errors(said), []);
  await page.close();
});

// A server on 127.0.0.1 that sends `first`, then `rest` once release() is called (or its
// patience has run out), and ends the answer.
function slowServer(first, rest) {
  let release;
  const released = new Promise(resolve => { release = resolve; });
  const server = http.createServer(async (request, response) => {
    response.writeHead(200, {'Content-Type': 'text/plain', 'Access-Control-Allow-Origin': '*'});
    response.write(first);
    await Promise.race([released, new Promise(resolve => setTimeout(resolve, patience).unref())]);
    response.end(rest);
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve({
    url: `http://127.0.0.1:${server.address().port}/slow.keys`,
    release,
    stop: () => new Promise(done => { server.closeAllConnections(); server.close(done); }),
  })));
}

test('a key script that comes slowly is whole before the first frame, a line cut between two pieces read as one', async () => {
  const lines = ['Right', 'Right', 'Right', 'Right Down', 'Down', 'Down', 'Up', 'Up Space', '', 'Left'];
  const text = lines.join('\n') + '\n', cut = text.indexOf('Right Down') + 'Right Do'.length;
  const server = await slowServer(text.slice(0, cut), text.slice(cut));
  try {
    const {page, console: said} = await openPage(browser, `${site.url}?play=${encodeURIComponent(server.url)}&fast=1`);
    await rest(800);  // the first piece has long come
    const before = await status(page);
    assert.deepEqual([before.frames, before.state], [0, 'loading'], 'the game began before its script was whole');
    server.release();
    const end = await waitForStatus(page, s => s.state === 'ended', 'the end of the script');
    assert.equal(end.frames, lines.length, 'the page played another number of lines');
    assert.equal(await page.$eval('#end-reason', reason => reason.textContent), 'The key script has ended.');
    assert.deepEqual(errors(said), []);
    await page.close();
  } finally {
    await server.stop();
  }
});
