// Measures the web page in headless Chromium: the bytes a player downloads (each file of the site
// folder, and the gzip-compressed total), the time from navigation to the first picture, the
// frame period, and the main thread's time per frame and while a message box waits. A benchmark:
// it reports.
//   RINK_WEB_BUILD=build-web node bench/web_bench.mjs     (make bench-web)
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import {filesUnder, launchBrowser, pageFolder, site, startServer, status, waitForStatus} from '../tests/web/browser.mjs';

const loads = 5;
const playedFrames = 100;
const waitSeconds = 5;

// Records when each picture reached the canvas (one present may put several rectangles, all
// in the same task).
function recordPictures() {
  window.pictureTimes = [];
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function(...args) {
    const now = performance.now(), times = window.pictureTimes;
    if (times.length === 0 || now - times[times.length - 1] > 20) times.push(now);
    return put.apply(this, args);
  };
}

const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const kilobytes = bytes => (bytes / 1024).toFixed(1).padStart(8) + ' KiB';

// Every file of the site folder, as a web server would send it; the game's data files, which come
// by the dozen, added up by kind.
function downloadSizes() {
  const rows = new Map();
  const add = (label, bytes, packed) => {
    const row = rows.get(label) ?? {files: 0, bytes: 0, packed: 0};
    rows.set(label, {files: row.files + 1, bytes: row.bytes + bytes, packed: row.packed + packed});
  };
  const files = filesUnder(site);
  for (const name of files) {
    const kind = path.extname(name);
    const bytes = fs.readFileSync(path.join(site, name));
    add(['.bmp', '.wav'].includes(kind) ? `*${kind}` : name, bytes.length, zlib.gzipSync(bytes).length);
  }
  const sum = field => [...rows.values()].reduce((total, row) => total + row[field], 0);
  rows.set('total', {files: files.length, bytes: sum('bytes'), packed: sum('packed')});
  console.log(`bytes to download from ${site} (gzip -6 as a web server would send them):`);
  for (const [label, row] of rows) {
    const count = row.files > 1 ? ` (${row.files} files)` : '';
    console.log(`  ${label.padEnd(18)} ${kilobytes(row.bytes)}  gzip ${kilobytes(row.packed)}${count}`);
  }
}

// Each load in a new browser context, so nothing comes from the cache.
async function firstPictureTimes(browser, url) {
  const times = [];
  for (let i = 0; i < loads; ++i) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({width: 1400, height: 1100});
    await page.evaluateOnNewDocument(recordPictures);
    await page.goto(url);
    await waitForStatus(page, s => s.frames >= 1, 'the first picture');
    times.push(await page.evaluate(() => window.pictureTimes[0]));
    await context.close();
  }
  return times;
}

async function mainThreadSeconds(page) {
  return (await page.metrics()).TaskDuration;
}

const frameMs = 100;  // the game's pace

// The main thread's time and the pictures shown, read together; nothing else asks the page
// anything in between, so none of the time measured is the measurement's own.
async function busyAndFrames(page) {
  const busy = await mainThreadSeconds(page);
  return {busy, frames: (await status(page)).frames};
}

async function playing(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({width: 1400, height: 1100});
  await page.evaluateOnNewDocument(recordPictures);
  await page.goto(url);
  await waitForStatus(page, s => s.frames >= 5, 'five frames');
  const firstPicture = await page.evaluate(() => window.pictureTimes.length);
  const start = await busyAndFrames(page);
  let end = start;
  while (end.frames < start.frames + playedFrames) {
    await new Promise(resolve => setTimeout(resolve, (start.frames + playedFrames - end.frames) * frameMs));
    end = await busyAndFrames(page);
  }
  const times = (await page.evaluate(() => window.pictureTimes)).slice(firstPicture - 1);
  const periods = times.slice(1).map((time, i) => time - times[i]);
  await page.close();
  return {periods, busyPerFrame: (end.busy - start.busy) / (end.frames - start.frames)};
}

async function waitingForABox(browser) {
  const folder = pageFolder({without: ['firstplayerone.bmp']});
  const server = await startServer(folder);
  try {
    const page = await browser.newPage();
    await page.goto(server.url);
    await waitForStatus(page, s => s.state === 'waiting', 'the message box');
    const before = await mainThreadSeconds(page);
    await new Promise(resolve => setTimeout(resolve, waitSeconds * 1000));
    const busy = await mainThreadSeconds(page) - before;
    await page.close();
    return busy / waitSeconds;
  } finally {
    await server.stop();
    fs.rmSync(folder, {recursive: true, force: true});
  }
}

downloadSizes();
const folder = pageFolder();
const server = await startServer(folder);
const browser = await launchBrowser();
try {
  const first = await firstPictureTimes(browser, server.url);
  console.log(`navigation to first picture: median ${median(first).toFixed(0)} ms ` +
              `(${loads} loads without cache: ${first.map(t => t.toFixed(0)).join(', ')} ms)`);
  const played = await playing(browser, server.url);
  const mean = played.periods.reduce((a, b) => a + b, 0) / played.periods.length;
  console.log(`frame period: mean ${mean.toFixed(1)} ms, median ${median(played.periods).toFixed(1)} ms ` +
              `(${played.periods.length} frames)`);
  console.log(`main thread per frame: ${(played.busyPerFrame * 1000).toFixed(2)} ms`);
  const waiting = await waitingForABox(browser);
  console.log(`main thread while a message box waits: ${(waiting * 1000).toFixed(1)} ms a second ` +
              `(${(waiting * 100).toFixed(2)} %)`);
} finally {
  await browser.close();
  await server.stop();
  fs.rmSync(folder, {recursive: true, force: true});
}
