// The site folder as it is published: served from a sub-path, a first visit asks for exactly its
// files, Chromium finds the page installable, and once the service worker has them the page
// reloads and plays with the server gone. A new build's worker takes over only with every file of
// that build, and the page never runs on files of two builds.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {fileURLToPath} from 'node:url';
import {canvasPixels, filesUnder, launchBrowser, openPage, pageFolder, patience, rinkShare, site, startServer, status,
        waitForStatus} from './browser.mjs';

const writeWorker = fileURLToPath(new URL('../../platform/backends/web/write-worker.cmake', import.meta.url));

// Waits until the page's worker is active and its cache whole.
function workerActivated(page) {
  return page.evaluate(async () => {
    const {active} = await navigator.serviceWorker.ready;
    if (active.state !== 'activated') await new Promise(done => active.addEventListener('statechange', done));
    return active.state;
  });
}

// Asks the browser to look for a new worker and waits for it to be installed or thrown away.
function lookForUpdate(page) {
  return page.evaluate(async () => {
    const registration = await navigator.serviceWorker.getRegistration();
    const found = new Promise(done => registration.addEventListener('updatefound', () => done(registration.installing)));
    await registration.update();
    const worker = await found;
    while (worker.state === 'installing') await new Promise(done => worker.addEventListener('statechange', done));
    return worker.state;
  });
}

// Loads the page again and waits, across the worker's hand-over, for frames of the new load.
async function reload(page) {
  await page.reload();
  await page.waitForFunction(() => window.rinkStatus?.frames >= 3, {timeout: patience});
}

let browser;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser?.close(); });

test('from a sub-path, a first visit asks for exactly the site\'s files; then the page plays with the server gone', async () => {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'rink-root-'));
  fs.cpSync(site, path.join(root, 'site'), {recursive: true});
  const server = await startServer(root);
  try {
    const {page, console: said} = await openPage(browser, `${server.url}site/`, {width: 844, height: 390});
    await waitForStatus(page, s => s.frames >= 3, 'its third frame');
    assert.equal(await workerActivated(page), 'activated');
    const asked = await server.requests();
    assert.deepEqual(asked.filter(request => request.status >= 400), [], 'requests failed');
    const paths = new Set(asked.map(request => request.path.replace(/\/$/, '/index.html')));
    assert.deepEqual([...paths].sort(), filesUnder(site).map(name => `/site/${name}`).sort());

    const session = await page.createCDPSession();
    assert.deepEqual((await session.send('Page.getInstallabilityErrors')).installabilityErrors, []);
    const manifest = await session.send('Page.getAppManifest');
    assert.equal(manifest.url, `${server.url}site/rink.webmanifest`);
    assert.deepEqual(manifest.errors, []);

    await server.stop();
    const responses = [];
    page.on('response', response => responses.push(response));
    await reload(page);
    assert.ok(rinkShare(await canvasPixels(page)) > 0.9, 'no rink offline');
    const frames = (await status(page)).frames;
    await waitForStatus(page, s => s.frames >= frames + 5, 'five more frames offline');
    assert.ok(responses.length > 40, `only ${responses.length} files offline`);
    assert.deepEqual(responses.filter(response => !response.ok() || !response.fromServiceWorker()).map(r => r.url()), []);
    assert.deepEqual(said.filter(message => message.type === 'error'), []);
    await page.close();
  } finally {
    await server.stop();
    fs.rmSync(root, {recursive: true, force: true});
  }
});

// A build that differs from this one in the page's three text files, with its worker written
// for it as the build writes one.
function nextBuild() {
  const folder = pageFolder();
  for (const [name, mark] of [['index.html', '<!-- next build -->'], ['rink-page.js', '// next build'],
                              ['rink.css', '/* next build */']]) {
    fs.appendFileSync(path.join(folder, name), `${mark}\n`);
  }
  const files = filesUnder(folder).filter(name => name !== 'rink-worker.js');
  execFileSync('cmake', [`-DSITE=${folder}`, `-DFILES=${files.join(',')}`, '-P', writeWorker]);
  return folder;
}

test('a new build takes over on the next load, only once all its files are in, never mixed with the old', async () => {
  const served = pageFolder(), next = nextBuild();
  const server = await startServer(served);
  try {
    const {page, console: said} = await openPage(browser, server.url);
    await waitForStatus(page, s => s.frames >= 3, 'its third frame');
    await workerActivated(page);
    await reload(page);
    const oldWorker = fs.readFileSync(path.join(served, 'rink-worker.js'), 'utf8');
    assert.notEqual(fs.readFileSync(path.join(next, 'rink-worker.js'), 'utf8'), oldWorker);

    // Half-way through putting the new build on the server: its worker beside the old files.
    fs.copyFileSync(path.join(next, 'rink-worker.js'), path.join(served, 'rink-worker.js'));
    assert.equal(await lookForUpdate(page), 'redundant', 'a worker took files of another build');
    fs.cpSync(next, served, {recursive: true});
    assert.equal(await lookForUpdate(page), 'installed');
    // The open page runs on, on the old build, while the new one waits with its own cache.
    const running = (await status(page)).frames;
    await waitForStatus(page, s => s.frames >= running + 5, 'frames of the open page');
    const {waiting, cacheCount} = await page.evaluate(async () => ({
      waiting: (await navigator.serviceWorker.getRegistration()).waiting?.state,
      cacheCount: (await caches.keys()).length}));
    assert.deepEqual({waiting, cacheCount}, {waiting: 'installed', cacheCount: 2});

    const responses = [];
    page.on('response', response => responses.push(response));
    await reload(page);
    assert.deepEqual(responses.filter(response => !response.ok() || !response.fromServiceWorker()).map(r => r.url()), []);
    const last = name => responses.findLast(response => new URL(response.url()).pathname === name);
    for (const name of ['/', '/rink-page.js', '/rink.css']) assert.match(await last(name).text(), /next build/, name);
    assert.equal(await page.evaluate(() => caches.keys().then(names => names.length)), 1, 'the old cache is left');
    assert.deepEqual(said.filter(message => message.type === 'error'), []);
    await page.close();
  } finally {
    await server.stop();
    fs.rmSync(served, {recursive: true, force: true});
    fs.rmSync(next, {recursive: true, force: true});
  }
});
