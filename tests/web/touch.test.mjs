// The page on a landscape phone with a touch screen: the whole picture and the touch controls
// fit without scrolling and none of them covers the picture; the pad skates player one, Shoot
// winds up while held (with another finger on the pad) and shoots when let go, and the large
// button appears only while the game waits, ending a goal's wait.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {framesAfter, goldenStart, playerOneX, servedPage, status, waitForStatus} from './browser.mjs';

const phone = {width: 844, height: 390, hasTouch: true, isMobile: true, isLandscape: true};
// Frames 0 to 99 of the golden session, after which player one winds up a shot; and the session
// up to the wait after its first goal.
const toShot = goldenStart(101), toGoal = goldenStart(150);

let site, browser;
before(async () => {
  site = await servedPage({'to-shot.keys': toShot, 'to-goal.keys': toGoal});
  ({browser} = site);
});
after(async () => {
  await site?.close();
  for (const file of [toShot, toGoal]) fs.rmSync(path.dirname(file), {recursive: true, force: true});
});

async function openPhone(address) {
  const page = await browser.newPage();
  const said = [];
  page.on('console', message => said.push({type: message.type(), text: message.text()}));
  page.on('pageerror', error => said.push({type: 'error', text: String(error)}));
  await page.setViewport(phone);
  await page.goto(address);
  return {page, said};
}

function middleOf(page, selector) {
  return page.$eval(selector, element => {
    const box = element.getBoundingClientRect();
    return {x: box.x + box.width / 2, y: box.y + box.height / 2};
  });
}

// The samples of shot.wav as rink-sounds writes it (beside rink-replay): the length of the buffer
// a shot plays.
function shotLength() {
  const bytes = fs.readFileSync(path.join(path.dirname(process.env.RINK_REPLAY), 'sounds', 'shot.wav'));
  return bytes.readUInt32LE(bytes.indexOf('data') + 4) / 2;
}

test('on an 844 by 390 phone the picture and the controls fit side by side, as labelled buttons', async () => {
  const {page, said} = await openPhone(site.url);
  await waitForStatus(page, s => s.frames >= 2, 'its second frame');
  const shown = await page.evaluate(() => {
    const box = element => element.getBoundingClientRect().toJSON();
    const controls = [...document.querySelectorAll('#pad, #right button:not([hidden]), #bar button')];
    return {
      picture: box(document.getElementById('screen')),
      controls: controls.map(element => ({name: element.getAttribute('aria-label') ?? element.textContent,
                                          visible: element.checkVisibility(), ...box(element)})),
      pad: [...document.querySelectorAll('#pad button')].map(button => button.getAttribute('aria-label')),
      scroll: [document.documentElement.scrollWidth, document.documentElement.scrollHeight],
      line: document.getElementById('controls').innerText,
    };
  });
  assert.deepEqual([shown.picture.width, shown.picture.height], [520, 390]);
  assert.deepEqual(shown.scroll, [844, 390], 'the page scrolls');
  assert.match(shown.line, /^The pad skates/);
  assert.equal(shown.pad.length, 8, 'the pad has no button for each of the eight directions');
  assert.ok(shown.pad.every(name => /^Skate (up|down|left|right)/.test(name)), JSON.stringify(shown.pad));
  for (const control of shown.controls) {
    assert.ok(control.visible, `${control.name} is not shown`);
    const inside = control.x >= 0 && control.y >= 0 && control.right <= 844 && control.bottom <= 390;
    const overPicture = control.right > shown.picture.x && control.x < shown.picture.right;
    assert.ok(inside && !overPicture, `${control.name} at ${JSON.stringify(control)} is off the page or over the picture`);
  }
  if (process.env.RINK_TEST_OUTPUT) {
    await page.screenshot({path: path.join(process.env.RINK_TEST_OUTPUT, 'web-phone-screenshot.png')});
  }
  assert.deepEqual(shown.controls.map(control => control.name).sort(), ['Check', 'Full screen', 'Shoot', 'Skate', 'Sound off', 'Two players']);
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

// Held upright, the picture takes the phone's width at the top, the controls under it; the mute
// and full-screen buttons say whether they are on and keep their labels.
test('on a phone held upright the picture is at the top, and the buttons show their state', async () => {
  const {page, said} = await openPhone(site.url);
  await page.setViewport({...phone, width: 390, height: 844, isLandscape: false});
  await waitForStatus(page, s => s.frames >= 3, 'its third frame');
  const picture = await page.$eval('#screen', screen => screen.getBoundingClientRect().toJSON());
  assert.deepEqual([picture.x, picture.y, picture.width], [0, 0, 390]);
  const pad = await page.$eval('#pad', pad => pad.getBoundingClientRect().toJSON());
  assert.ok(pad.y >= picture.bottom && pad.bottom <= 844, `the pad is not under the picture: ${JSON.stringify(pad)}`);
  const button = id => page.$eval(id, b => ({label: b.textContent, pressed: b.getAttribute('aria-pressed')}));
  for (const [id, label] of [['#mute', 'Sound off'], ['#fullscreen', 'Full screen']]) {
    assert.deepEqual(await button(id), {label, pressed: 'false'});
    await page.tap(id);
    await page.waitForFunction(id => document.querySelector(id).getAttribute('aria-pressed') === 'true', {timeout: 10_000}, id);
    assert.deepEqual(await button(id), {label, pressed: 'true'});
    await page.tap(id);
    await page.waitForFunction(id => document.querySelector(id).getAttribute('aria-pressed') === 'false', {timeout: 10_000}, id);
  }
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

test('a finger on the pad\'s right side skates player one to the right', async () => {
  const {page, said} = await openPhone(site.url);
  await waitForStatus(page, s => s.frames >= 2, 'its second frame');
  const start = await playerOneX(page);
  const right = await middleOf(page, '#pad [aria-label="Skate right"]');
  const finger = await page.touchscreen.touchStart(right.x, right.y);
  await framesAfter(page, 15);
  await finger.end();
  await framesAfter(page, 2);
  const moved = await playerOneX(page);
  assert.ok(moved > start + 10, `player one went from x ${start} to ${moved}`);
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

test('holding Shoot winds up while another finger skates, and letting go shoots', async () => {
  const {page, said} = await openPhone(`${site.url}?play=to-shot.keys&takeover=1`);
  await page.evaluate(() => {
    window.played = [];
    const play = rinkAudio.play.bind(rinkAudio);
    rinkAudio.play = (id, gain) => {
      window.played.push({frames: window.rinkStatus.frames, length: rinkAudio.buffers[id]?.length});
      play(id, gain);
    };
  });
  await waitForStatus(page, s => s.frames >= 60, 'the script under way');
  const shoot = await middleOf(page, '#shoot'), up = await middleOf(page, '#pad [aria-label="Skate up"]');
  const shooting = await page.touchscreen.touchStart(shoot.x, shoot.y);
  const skating = await page.touchscreen.touchStart(up.x, up.y);
  // The script hands over at frame 101; a wind-up held to its end shoots by itself 16 frames on.
  await waitForStatus(page, s => s.frames >= 106, 'the wind-up after the script');
  const shots = () => page.evaluate(length => window.played.filter(sound => sound.length === length), shotLength());
  assert.deepEqual(await shots(), [], 'a shot left before Shoot was let go');
  await shooting.end();
  const released = (await status(page)).frames;
  // The shot may well score, and the game then waits for the puck to be dropped.
  await waitForStatus(page, s => s.frames >= released + 6 || s.state === 'waiting', 'frames after the shot');
  await skating.end();
  const shot = await shots();
  assert.equal(shot.length, 1, `no single shot after Shoot was let go: ${JSON.stringify(await page.evaluate(() => window.played))}`);
  assert.ok(shot[0].frames >= released, 'the shot left before Shoot was let go');
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

test('the large button shows only in a goal\'s wait, says what it does, and ends the wait', async () => {
  const {page, said} = await openPhone(`${site.url}?play=to-goal.keys&takeover=1`);
  await waitForStatus(page, s => s.frames >= 2, 'its second frame');
  assert.equal(await page.$eval('#go-on', button => button.hidden), true, 'the button shows while the game runs');
  const waiting = await waitForStatus(page, s => s.state === 'waiting' && s.awaits === 'D', 'the wait after the goal');
  assert.deepEqual(await page.$eval('#go-on', button => [button.hidden, button.textContent]), [false, 'Drop the puck']);
  const goOn = await middleOf(page, '#go-on');
  await page.touchscreen.tap(goOn.x, goOn.y);
  await waitForStatus(page, s => s.state === 'running' && s.frames > waiting.frames + 3, 'frames after the wait');
  assert.equal(await page.$eval('#go-on', button => button.hidden), true, 'the button stays after the wait');
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});
