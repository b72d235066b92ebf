// The page as a player meets it: the rink and the scores filling the page, sharp, the keyboard
// moving player one without scrolling the page, the hints at the start and ?hints=0, two players at its keyboard and the switch
// between one player and two, the game standing still while its tab is hidden (from its start
// too), the message boxes of missing bitmaps answered with Return and with a click on OK, and the end of the game
// with its reason and Play again.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {canvasPixels, colours, framesAfter, goldenStart, openPage, pageFolder, patience, pixelsOf, playerOneX, rinkShare, secondSkaterX,
        servedPage, startServer, status, waitForStatus} from './browser.mjs';

// The picture on the page: its size, the whole factor of the canvas behind it and how the
// browser brings that down to its size.
function shownPicture(page) {
  return page.evaluate(() => {
    const screen = document.getElementById('screen'), box = screen.getBoundingClientRect();
    return {width: box.width, height: box.height, factor: rinkScreen.factor, rendering: getComputedStyle(screen).imageRendering};
  });
}

let site, browser;
before(async () => {
  site = await servedPage({'start.keys': goldenStart(40)});
  ({browser} = site);
});
after(async () => site?.close());

test('the page shows the rink and both scores, filling a 1400 by 1100 window but for the line of controls', async () => {
  const {page, console: said} = await openPage(browser, site.url);
  await waitForStatus(page, s => s.frames >= 3, 'its third frame');
  const picture = await canvasPixels(page);
  assert.deepEqual([picture.width, picture.height], [640, 480]);
  assert.ok(rinkShare(picture) > 0.9, 'the canvas does not show the rink');
  const band = {top: 440};
  const playerScore = pixelsOf(picture, colours.playerScore, band), computerScore = pixelsOf(picture, colours.computerScore, band);
  assert.ok(playerScore.length > 100 && playerScore.every(p => p.x < 300), 'player one\'s score is not on the left');
  assert.ok(computerScore.length > 100 && computerScore.every(p => p.x >= 300), 'the computer\'s score is not on the right');

  // The largest 4:3 area, the line of controls under it.
  assert.deepEqual(await shownPicture(page), {width: 1400, height: 1050, factor: 3, rendering: 'auto'});
  assert.equal(await page.$eval('body', body => getComputedStyle(body).backgroundColor), 'rgb(0, 0, 0)');
  assert.match(await page.$eval('#bar', bar => bar.textContent), /Arrows skate.*Escape quits/s);
  if (process.env.RINK_TEST_OUTPUT) {
    await page.screenshot({path: path.join(process.env.RINK_TEST_OUTPUT, 'web-screenshot.png')});
  }
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

test('on a 1920 by 970 page the picture is the largest 4:3 area, a whole enlargement brought down smoothly', async () => {
  const {page, console: said} = await openPage(browser, site.url, {width: 1920, height: 970});
  await waitForStatus(page, s => s.frames >= 3, 'its third frame');
  assert.deepEqual(await shownPicture(page), {width: 1293, height: 970, factor: 3, rendering: 'auto'});
  const controls = await page.$eval('#bar', bar => bar.getBoundingClientRect().toJSON());
  assert.ok(controls.right <= (1920 - 1293) / 2, 'the line of controls is not beside the picture');
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

// 2.625 device pixels to a CSS pixel (a phone's): the page is 2546.25 device pixels high, and the
// picture takes the whole device pixels of the largest 4:3 area of that, 3395 by 2546, enlarged
// six times before it is brought down.
test('with a fraction of a device pixel in the page\'s height the picture still takes the largest 4:3 area', async () => {
  const page = await browser.newPage();
  await page.setViewport({width: 1920, height: 970, deviceScaleFactor: 2.625});
  await page.goto(site.url);
  await waitForStatus(page, s => s.frames >= 1, 'its first frame');
  const shown = await shownPicture(page);
  assert.deepEqual([Math.round(shown.width * 2.625), Math.round(shown.height * 2.625), shown.factor], [3395, 2546, 6]);
  await page.close();
});

// How many screen pixels of a page shown at twice the picture's size differ from their picture
// pixel in the game's canvas (the screen as a screenshot shows it).
async function differingFromCanvas(page) {
  const box = await page.$eval('#screen', screen => screen.getBoundingClientRect().toJSON());
  const shot = await page.screenshot({encoding: 'base64', clip: {x: box.x, y: box.y, width: 1280, height: 960}});
  const shown = await page.evaluate(async png => {
    const image = new Image();
    image.src = `data:image/png;base64,${png}`;
    await image.decode();
    const reader = new OffscreenCanvas(image.width, image.height).getContext('2d');
    reader.drawImage(image, 0, 0);
    return Array.from(reader.getImageData(0, 0, image.width, image.height).data);
  }, shot);
  const picture = await canvasPixels(page);
  let differing = 0;
  for (let y = 0; y < 960; ++y) {
    for (let x = 0; x < 1280; ++x) {
      const from = (Math.floor(y / 2) * 640 + Math.floor(x / 2)) * 4, to = (y * 1280 + x) * 4;
      differing += [0, 1, 2].some(channel => shown[to + channel] !== picture.rgba[from + channel]);
    }
  }
  return differing;
}

// Where the shown size is a whole enlargement, the screen shows it as it is: each picture pixel a
// square of two by two of its colour (the game's end keeps the picture still).
test('on a 1720 by 960 page each picture pixel is a square of two by two of its colour', async () => {
  const {page} = await openPage(browser, `${site.url}?play=start.keys&fast=1`, {width: 1720, height: 960});
  await waitForStatus(page, s => s.state === 'ended', 'the end of the script');
  assert.deepEqual(await shownPicture(page), {width: 1280, height: 960, factor: 2, rendering: 'auto'});
  await page.$eval('#end', end => { end.hidden = true; });
  const differing = await differingFromCanvas(page);
  assert.equal(differing, 0, `${differing} shown pixels differ from their picture pixel`);
  await page.close();
});

// The page hands the screen only the pixels that changed: every change still reaches it, the
// pause's box drawn over the hints and taken off again, and the hints going at a game key.
test('the screen follows each change of the picture: the hints, the pause\'s box over them, the picture after a game key', async () => {
  const {page, console: said} = await openPage(browser, site.url, {width: 1720, height: 960});
  await waitForStatus(page, s => s.frames >= 3, 'its third frame');
  const rest = () => new Promise(resolve => setTimeout(resolve, 200));
  // The screen's worker draws after the page's thread has handed a picture over: looked at again
  // until it has, or the patience has run out.
  const screenShowsCanvas = async what => {
    const deadline = Date.now() + patience;
    let differing;
    while ((differing = await differingFromCanvas(page)) !== 0 && Date.now() < deadline) await rest();
    assert.equal(differing, 0, `${differing} shown pixels differ from their picture pixel ${what}`);
  };
  const pause = async () => {
    await page.keyboard.press('KeyP');
    const deadline = Date.now() + patience;
    while (pixelsOf(await canvasPixels(page), colours.boxBody).length < 500) {
      assert.ok(Date.now() < deadline, 'no "Paused" box');
      await rest();
    }
  };
  await pause();
  await screenShowsCanvas('with the hints, in the pause');
  await page.keyboard.press('KeyP');
  await page.keyboard.down('ArrowDown');
  await framesAfter(page, 5);
  await page.keyboard.up('ArrowDown');
  await pause();
  assert.deepEqual(pixelsOf(await canvasPixels(page), overlayBody), [], 'the hints stay after a game key');
  await screenShowsCanvas('without the hints, in the pause');
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

// The overlay's dark panels: the hints and the banners are drawn in this colour, which no picture
// of the game uses.
const overlayBody = [0x10, 0x18, 0x20];

test('the start shows whose skater is where, the net to attack and the keys until the first game key; ?hints=0 leaves them out', async () => {
  const {page, console: said} = await openPage(browser, site.url);
  await waitForStatus(page, s => s.frames >= 3, 'its third frame');
  const hinted = await canvasPixels(page);
  const topLine = {bottom: 30};
  assert.ok(pixelsOf(hinted, overlayBody, topLine).length > 2000, 'no line of keys at the top');
  assert.ok(pixelsOf(hinted, overlayBody, {top: 30, bottom: 440}).length > 200, 'no marker over the skater');
  await page.keyboard.down('ArrowDown');
  await framesAfter(page, 3);
  await page.keyboard.up('ArrowDown');
  assert.deepEqual(pixelsOf(await canvasPixels(page), overlayBody), [], 'the hints stay after a game key');
  await page.close();

  const {page: plain} = await openPage(browser, `${site.url}?hints=0`);
  await waitForStatus(plain, s => s.frames >= 3, 'its third frame');
  assert.deepEqual(pixelsOf(await canvasPixels(plain), overlayBody), [], 'hints with ?hints=0');
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await plain.close();
});

test('holding ArrowRight moves player one to the right, and the page does not scroll', async () => {
  const {page, console: said} = await openPage(browser, site.url);
  await waitForStatus(page, s => s.frames >= 2, 'its second frame');
  const start = await playerOneX(page);
  await framesAfter(page, 3);
  assert.equal(await playerOneX(page), start, 'player one moved with no key held');

  await page.evaluate(() => document.addEventListener('keydown', event => { window.scrollKept = event.defaultPrevented; }));
  await page.keyboard.down('ArrowRight');
  await framesAfter(page, 15);
  await page.keyboard.up('ArrowRight');
  await framesAfter(page, 2);
  const moved = await playerOneX(page);
  assert.ok(moved > start + 10, `player one went from x ${start} to ${moved}`);
  assert.equal(await page.evaluate(() => window.scrollKept), true, 'the arrow key reached the page');
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

// Player one on the arrows and player two on F at once; the button starts a one-player match,
// keeping the rest of the address.
test('?players=2 shows both players\' keys, moves both skaters at once and switches to one player', async () => {
  const {page, console: said} = await openPage(browser, `${site.url}?players=2&seen=1`);
  await waitForStatus(page, s => s.frames >= 2, 'its second frame');
  const keys = await page.$eval('#controls', line => line.innerText);
  assert.match(keys, /Player one: arrows skate, Right Shift shoots, Return checks.*Player two: T F G H skate/s);
  assert.doesNotMatch(keys, /Space shoots \(Up\/Down aim\)/);
  const [one, two] = [await playerOneX(page), await secondSkaterX(page)];
  await page.keyboard.down('ArrowRight');
  await page.keyboard.down('KeyF');
  await framesAfter(page, 15);
  await page.keyboard.up('KeyF');
  await page.keyboard.up('ArrowRight');
  await framesAfter(page, 2);
  const [movedOne, movedTwo] = [await playerOneX(page), await secondSkaterX(page)];
  assert.ok(movedOne > one + 10, `player one went from x ${one} to ${movedOne}`);
  assert.ok(movedTwo < two - 10, `player two went from x ${two} to ${movedTwo}`);

  assert.equal(await page.$eval('#players', button => button.textContent), 'One player');
  await Promise.all([page.waitForNavigation(), page.click('#players')]);
  assert.equal(new URL(page.url()).search, '?players=1&seen=1');
  await waitForStatus(page, s => s.frames >= 2, 'the one-player game\'s second frame');
  assert.match(await page.$eval('#controls', line => line.innerText), /^Arrows skate · Space shoots \(Up\/Down aim\)/);
  assert.equal(await page.$eval('#players', button => button.textContent), 'Two players');
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

test('the game stands still while its tab is hidden and goes on when it shows again', async () => {
  const {page, console: said} = await openPage(browser, site.url);
  await waitForStatus(page, s => s.frames >= 2, 'its second frame');
  const other = await browser.newPage();
  await other.bringToFront();
  assert.equal(await page.evaluate(() => document.visibilityState), 'hidden');
  // A frame already under way may still end (a hidden tab's timers run at most once a second).
  await new Promise(resolve => setTimeout(resolve, 1500));
  const hidden = await status(page);
  await new Promise(resolve => setTimeout(resolve, 2000));
  assert.equal((await status(page)).frames, hidden.frames, 'frames ran in a hidden tab');
  await other.close();
  await page.bringToFront();
  await framesAfter(page, 3);
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

test('a page loaded in a hidden tab starts its game only once it shows, its first picture whole', async () => {
  const page = await browser.newPage();
  const said = [];
  page.on('console', message => said.push({type: message.type(), text: message.text()}));
  const other = await browser.newPage();
  await other.bringToFront();
  await page.goto(site.url);
  assert.equal(await page.evaluate(() => document.visibilityState), 'hidden');
  // The game's window opens; the steps after it stand still with the rest of the game.
  await waitForStatus(page, s => s.state !== 'loading', 'the game\'s window');
  await new Promise(resolve => setTimeout(resolve, 2000));
  assert.equal((await status(page)).frames, 0, 'a frame ran in a hidden tab');
  await other.close();
  await page.bringToFront();
  await waitForStatus(page, s => s.frames >= 2, 'frames once the tab shows');
  assert.ok(rinkShare(await canvasPixels(page)) > 0.9, 'no rink in the first pictures');
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});

test('a missing bitmap shows its box in the page; Return or a click on OK answers it and the game runs on', async () => {
  const partial = pageFolder({without: ['firstplayerone.bmp', 'firstplayertwo.bmp']});
  const partialServer = await startServer(partial);
  try {
    const {page, console: said} = await openPage(browser, partialServer.url);
    await waitForStatus(page, s => s.state === 'waiting', 'the first message box');
    const boxed = await canvasPixels(page);
    const box = pixelsOf(boxed, colours.boxBody);
    assert.ok(box.length > 5000, 'no box in the canvas');
    assert.ok(box.every(p => p.x > 100 && p.x < 540 && p.y > 100 && p.y < 380), 'the box is not in the middle');
    assert.deepEqual([...boxed.rgba.subarray(0, 4)], [0, 0, 0, 255], 'the box is not over black');
    // The box keeps the game's text; the console's line names the file and the reason too.
    assert.ok(said.some(message => message.text === 'rink: error: error5: firstplayerone.bmp: not found'),
              'the console has no copy of the text');
    assert.equal((await status(page)).frames, 0);

    await page.keyboard.press('Enter');
    await waitForStatus(page, () => said.some(message => message.text === 'rink: error: error1: firstplayertwo.bmp: not found'),
                        'the second box');
    await waitForStatus(page, s => s.state === 'waiting', 'the second box waiting');
    const button = pixelsOf(await canvasPixels(page), colours.okButton);
    const canvas = await page.$eval('#screen', element => element.getBoundingClientRect().toJSON());
    const middle = axis => button.reduce((sum, pixel) => sum + pixel[axis], 0) / button.length;
    await page.mouse.click(canvas.x + middle('x') * canvas.width / 640, canvas.y + middle('y') * canvas.height / 480);
    await waitForStatus(page, s => s.state === 'running' && s.frames >= 3, 'frames after the boxes');
    assert.ok(rinkShare(await canvasPixels(page)) > 0.9, 'no rink after the boxes');
    await page.close();
  } finally {
    await partialServer.stop();
    fs.rmSync(partial, {recursive: true, force: true});
  }
});

test('Escape ends the game with a message, and Play again starts a fresh game', async () => {
  const {page, console: said} = await openPage(browser, `${site.url}?fast=1`);
  await waitForStatus(page, s => s.frames >= 20, 'twenty frames');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'screen', 'the game does not have the keyboard');
  await page.keyboard.press('Escape');
  await waitForStatus(page, s => s.state === 'ended', 'the end');
  const message = await page.$eval('#end', end => ({shown: !end.hidden, text: end.innerText}));
  assert.ok(message.shown, 'no message at the end');
  assert.match(message.text, /^Escape ended the game\.\s+Play again\s+The button loads the page again/);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'again');

  await Promise.all([page.waitForNavigation(), page.keyboard.press('Enter')]);
  const fresh = await waitForStatus(page, s => s.state === 'running' && s.frames >= 2, 'a fresh game');
  assert.ok(fresh.frames < 20, `the game went on from frame ${fresh.frames}`);
  assert.equal(await page.$eval('#end', end => end.hidden), true);
  assert.equal(new URL(page.url()).search, '', 'Play again kept the options of the first game');
  assert.deepEqual(said.filter(message => message.type === 'error'), []);
  await page.close();
});
