// The browser's own loop runs the game a pass at a time, with nothing in the page's code that
// suspends it: a goal's wait and the player's pause are states of that loop, each looked at again
// as the page's inputs come, in the order they come.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {canvasPixels, colours, goldenStart, openPage, pixelsOf, site as siteFolder, status, servedPage,
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
