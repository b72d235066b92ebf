// Measures the web page in headless Chromium: the bytes a player downloads (each file, and the
// gzip-compressed total), the time from navigation to the first picture, the frame period, and
// the main thread's time per frame and while a message box waits. A benchmark: it reports.
//   RINK_WEB_BUILD=build-web node bench/web_bench.mjs     (make bench-web)
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import {launchBrowser, pageFolder, startServer, waitForStatus, webBuild} from '../tests/web/browser.mjs';

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

function downloadSizes() {
  const sounds = fs.readdirSync(path.join(webBuild, 'sounds')).filter(name => name.endsWith('.wav')).map(name => `sounds/${name}`);
  const files = [...fs.readdirSync(webBuild).filter(name => /\.(html|js|css|wasm|bmp)$/.test(name)), ...sounds].sort();
  let total = 0, gzipped = 0;
  console.log('bytes to download (gzip -6 as a web server would send them):');
  for (const name of files) {
    const bytes = fs.readFileSync(path.join(webBuild, name)), packed = zlib.gzipSync(bytes).length;
    total += bytes.length;
    gzipped += packed;
    if (!name.endsWith('.bmp') && !name.endsWith('.wav')) console.log(`  ${name.padEnd(16)} ${kilobytes(bytes.length)}  gzip ${kilobytes(packed)}`);
  }
  for (const [what, names] of [['bitmaps', files.filter(name => name.endsWith('.bmp'))], ['sounds', sounds]]) {
    const [bytes, packed] = names.map(name => fs.readFileSync(path.join(webBuild, name)))
                                 .reduce(([b, p], data) => [b + data.length, p + zlib.gzipSync(data).length], [0, 0]);
    console.log(`  ${(names.length + ' ' + what).padEnd(16)} ${kilobytes(bytes)}  gzip ${kilobytes(packed)}`);
  }
  console.log(`  ${'total'.padEnd(16)} ${kilobytes(total)}  gzip ${kilobytes(gzipped)} (${files.length} files)`);
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

async function playing(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({width: 1400, height: 1100});
  await page.evaluateOnNewDocument(recordPictures);
  await page.goto(url);
  const start = await waitForStatus(page, s => s.frames >= 5, 'five frames');
  const busyBefore = await mainThreadSeconds(page), firstPicture = await page.evaluate(() => window.pictureTimes.length);
  const end = await waitForStatus(page, s => s.frames >= start.frames + playedFrames, `${playedFrames} more frames`);
  const busy = await mainThreadSeconds(page) - busyBefore;
  const times = (await page.evaluate(() => window.pictureTimes)).slice(firstPicture - 1);
  const periods = times.slice(1).map((time, i) => time - times[i]);
  await page.close();
  return {periods, busyPerFrame: busy / (end.frames - start.frames)};
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
