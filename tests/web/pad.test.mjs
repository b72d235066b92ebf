// A gamepad in the page, read by the game through the browser's Gamepad API with the desktop's
// mapping: its left stick skates player one (player two when it is alone in a two-player game),
// Start ends a goal's wait, and the line of controls names the gamepad's buttons. The pad is a stand-in behind navigator.getGamepads, there from
// the page's first script on, whose buttons and axes the test moves.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {framesAfter, goldenStart, playerOneX, secondSkaterX, servedPage, waitForStatus} from './browser.mjs';

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

function standInPad() {
  const pad = {id: 'Stand-in pad (STANDARD GAMEPAD)', index: 0, connected: true, mapping: 'standard', timestamp: 1,
               axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}))};
  navigator.getGamepads = () => [pad, null, null, null];
  window.movePad = ({button, pressed, axis, value}) => {
    if (button !== undefined) pad.buttons[button] = {pressed, touched: pressed, value: pressed ? 1 : 0};
    if (axis !== undefined) pad.axes[axis] = value;
    pad.timestamp += 1;
  };
}

async function openWithPad(address) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(standInPad);
  const said = [];
  page.on('console', message => said.push({type: message.type(), text: message.text()}));
  page.on('pageerror', error => said.push({type: 'error', text: String(error)}));
  await page.setViewport({width: 1400, height: 1100});
  await page.goto(address);
  return {page, said};
}

test('the left stick skates player one past its dead zone, and the line names the pad\'s buttons', async () => {
  const {page, said} = await openWithPad(site.url);
  await waitForStatus(page, s => s.frames >= 2, 'its second frame');
  assert.match(await page.$eval('#controls', line => line.innerText), /^Stick or pad skates.*Back quits$/s);
  const start = await playerOneX(page);
  await page.evaluate(() => window.movePad({axis: 0, value: 0.2}));  // inside the dead zone
  await framesAfter(page, 10);
  assert.equal(await playerOneX(page), start, 'a stick inside its dead zone moved player one');

  await page.evaluate(() => window.movePad({axis: 0, value: 0.9}));
  await framesAfter(page, 15);
  await page.evaluate(() => window.movePad({axis: 0, value: 0}));
  await framesAfter(page, 2);
  const moved = await playerOneX(page);
  assert.ok(moved > start + 10, `player one went from x ${start} to ${moved}`);
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

test('Start ends the wait after a goal', async () => {
  const {page, said} = await openWithPad(`${site.url}?play=to-goal.keys&takeover=1`);
  const waiting = await waitForStatus(page, s => s.state === 'waiting' && s.awaits === 'D', 'the wait after the goal');
  await new Promise(resolve => setTimeout(resolve, 600));  // a few looks at the pad: the wait holds
  assert.equal((await page.evaluate(() => ({...window.rinkStatus}))).frames, waiting.frames);
  await page.evaluate(() => window.movePad({button: 9, pressed: true}));
  await waitForStatus(page, s => s.state === 'running' && s.frames > waiting.frames + 3, 'frames after the wait');
  await page.evaluate(() => window.movePad({button: 9, pressed: false}));
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

test('a gamepad alone in a two-player game skates player two, and player one keeps the keyboard', async () => {
  const {page, said} = await openWithPad(`${site.url}?players=2`);
  await waitForStatus(page, s => s.frames >= 2, 'its second frame');
  assert.match(await page.$eval('#controls', line => line.innerText), /a gamepad alone plays player two/);
  const [one, two] = [await playerOneX(page), await secondSkaterX(page)];
  await page.evaluate(() => window.movePad({axis: 0, value: -1}));
  await page.keyboard.down('ArrowRight');
  await framesAfter(page, 15);
  await page.keyboard.up('ArrowRight');
  await page.evaluate(() => window.movePad({axis: 0, value: 0}));
  await framesAfter(page, 2);
  const [movedOne, movedTwo] = [await playerOneX(page), await secondSkaterX(page)];
  assert.ok(movedOne > one + 10, `player one went from x ${one} to ${movedOne}`);
  assert.ok(movedTwo < two - 10, `player two went from x ${two} to ${movedTwo}`);
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});
