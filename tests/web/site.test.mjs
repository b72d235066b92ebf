// The site folder as it is published: from a sub-path, a first visit asks for exactly its files,
// the page is installable and plays again with the server gone; a new build takes over only
// whole, on the next load, and never mixes with the old one.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {fileURLToPath} from 'node:url';
import zlib from 'node:zlib';
import {filesUnder, launchBrowser, openPage, pageFolder, patience, site, startServer, status} from './browser.mjs';

const writeWorker = fileURLToPath(new URL('../../platform/backends/web/write-worker.cmake', import.meta.url));

// Waits for frames of a new load (across the worker's hand-over), or of the page as it runs. It
// looks on a timer rather than at the page's animation frames, which a page need not draw.
async function played(page, reload) {
  const count = reload ? 3 : (await status(page)).frames + 3;
  if (reload) await page.reload();
  await page.waitForFunction(count => window.rinkStatus?.frames >= count, {timeout: patience, polling: 100}, count)
      .catch(async error => {
        throw new Error(`no frame ${count} in the page: ${JSON.stringify(await status(page))} (${error.message})`);
      });
}

// The page's worker state once the browser has looked for a new one: 'activated' on the first
// visit, then 'installed' (waiting) or 'redundant' for a new worker. The browser also looks by
// itself a moment after each load, and when it finds the new worker first, the page's own look
// sees no 'updatefound' and its update() waits on the browser's: a worker the registration is
// already installing or keeps waiting is the one looked for. Looks queue up, so a look begun
// before the server's files changed can still be installing after: `untilInstalled` looks again
// past a worker that ends redundant. Every wait is bounded by `patience`, so a worker that never
// settles fails the test with its state instead of hanging it.
function workerState(page, lookForUpdate, untilInstalled = false) {
  return page.evaluate(async (lookForUpdate, untilInstalled, patience) => {
    const deadline = Date.now() + patience;
    const timeLeft = () => new Promise(done => setTimeout(() => done(null), Math.max(0, deadline - Date.now())));
    const registration = await navigator.serviceWorker.ready;
    const newWorker = () => registration.installing || registration.waiting;
    const settled = async worker => {
      while (['installing', 'activating'].includes(worker.state) && Date.now() < deadline) {
        await Promise.race([new Promise(done => worker.addEventListener('statechange', done, {once: true})), timeLeft()]);
      }
      return worker.state;
    };
    if (!lookForUpdate) return settled(registration.active);
    let state = 'no new worker found';
    do {
      // A look can miss the new worker (the browser may still be busy with the last one): look
      // again every second.
      let worker = newWorker();
      while (!worker && Date.now() < deadline) {
        const found = new Promise(done => registration.addEventListener('updatefound', () => done(registration.installing),
                                                                        {once: true}));
        await Promise.race([registration.update(), timeLeft()]);
        worker = await Promise.race([found, new Promise(done => setTimeout(() => done(newWorker()), 1000))]);
      }
      if (worker) state = await settled(worker);
    } while (untilInstalled && state === 'redundant' && Date.now() < deadline);
    return state;
  }, lookForUpdate, untilInstalled, patience);
}

// The addresses of the responses that failed or did not come from the worker.
const notFromWorker = responses => responses.filter(response => !response.ok() || !response.fromServiceWorker())
                                            .map(response => response.url());

// What a first visit downloads, each file compressed as a web server sends it (gzip -6).
const downloadLimit = 200 * 1024;

test('the site is within its download, its sounds compressed and no WAV file among them', () => {
  const files = filesUnder(site);
  assert.deepEqual(files.filter(name => name.endsWith('.wav')), []);
  assert.ok(files.some(name => name.endsWith('.opus')), 'no compressed sound');
  const packed = files.reduce((sum, name) => sum + zlib.gzipSync(fs.readFileSync(path.join(site, name))).length, 0);
  assert.ok(packed <= downloadLimit, `${(packed / 1024).toFixed(1)} KiB to download`);
});

let browser;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser?.close(); });

test('from a sub-path, a first visit asks for exactly the site\'s files; then the page plays with the server gone', async () => {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'rink-root-'));
  fs.cpSync(site, path.join(root, 'site'), {recursive: true});
  const server = await startServer(root);
  try {
    const {page, console: said} = await openPage(browser, `${server.url}site/`);
    await played(page, false);
    assert.equal(await workerState(page, false), 'activated');
    const asked = await server.requests();
    assert.deepEqual(asked.filter(request => request.status >= 400), []);
    assert.deepEqual([...new Set(asked.map(request => request.path.replace(/\/$/, '/index.html')))].sort(),
                     filesUnder(site).map(name => `/site/${name}`));
    const session = await page.createCDPSession();
    assert.deepEqual((await session.send('Page.getInstallabilityErrors')).installabilityErrors, []);

    await server.stop();
    const responses = [];
    page.on('response', response => responses.push(response));
    await played(page, true);
    await played(page, false);
    assert.deepEqual(notFromWorker(responses), []);
    const [sounds, listed] = await page.evaluate(() => [rinkAudio.buffers.length, rinkSoundFiles.length]);
    assert.equal(sounds, listed, 'sounds missing offline');
    assert.deepEqual(said.filter(message => message.type === 'error'), []);
  } finally {
    await server.stop();
    fs.rmSync(root, {recursive: true, force: true});
  }
});

test('a new build takes over on the next load, only once all its files are in, never mixed with the old', async () => {
  // The next build differs in the page's three text files; its worker is written as a build would.
  const served = pageFolder(), next = pageFolder();
  const marked = ['index.html', 'rink-page.js', 'rink.css'];
  for (const name of marked) {
    fs.appendFileSync(path.join(next, name), name.endsWith('.html') ? '<!-- next -->' : '/* next */');
  }
  const files = filesUnder(next).filter(name => name !== 'rink-worker.js');
  execFileSync('cmake', [`-DSITE=${next}`, `-DFILES=${files.join(',')}`, '-P', writeWorker]);
  const server = await startServer(served);
  try {
    const {page, console: said} = await openPage(browser, server.url);
    await played(page, false);
    await workerState(page, false);
    await played(page, true);

    // Half-way through a copy of the next build to the server: its worker beside the old files.
    fs.copyFileSync(path.join(next, 'rink-worker.js'), path.join(served, 'rink-worker.js'));
    assert.equal(await workerState(page, true), 'redundant', 'a worker took files of another build');
    fs.cpSync(next, served, {recursive: true});
    assert.equal(await workerState(page, true, true), 'installed');
    await played(page, false);
    const waiting = () => page.evaluate(async () => [(await navigator.serviceWorker.ready).waiting?.state,
                                                     (await caches.keys()).length]);
    assert.deepEqual(await waiting(), ['installed', 2], 'the open page did not keep its build');

    const responses = [];
    page.on('response', response => responses.push(response));
    await played(page, true);
    assert.deepEqual(notFromWorker(responses), []);
    for (const name of marked) {
      const last = responses.findLast(response => response.url() === server.url + name.replace('index.html', ''));
      assert.match(await last.text(), /next/, name);
    }
    assert.deepEqual(await waiting(), [null, 1], 'the old build is left');
    assert.deepEqual(said.filter(message => message.type === 'error'), []);
  } finally {
    await server.stop();
    fs.rmSync(served, {recursive: true, force: true});
    fs.rmSync(next, {recursive: true, force: true});
  }
});
