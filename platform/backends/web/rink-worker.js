// The page's service worker: it keeps every file of one build of the page in a cache of that
// build, so that the page opens and plays without a network after the first visit. The build
// writes in the files with their SHA-256 digests and a version made of them. A new build's worker
// fills its own cache, checking every file, and waits; an open page keeps running on the build
// it started with, and its next load comes wholly from the new build.
'use strict';

const files = {
@RINK_SITE_DIGESTS@};
const ourCaches = `rink ${self.registration.scope} `;
const cacheName = ourCaches + '@RINK_SITE_VERSION@';

const hex = bytes => Array.from(new Uint8Array(bytes), byte => byte.toString(16).padStart(2, '0')).join('');

// Asked past the HTTP cache's own idea of freshness, and refused unless it is this build's file
// (a server half-way through taking a new build may still send an old one).
async function keep(cache, name) {
  const response = await fetch(name, {cache: 'no-cache'});
  const digest = hex(await crypto.subtle.digest('SHA-256', await response.clone().arrayBuffer()));
  if (!response.ok || digest !== files[name]) throw new Error(`rink: ${name} is not the file of this build`);
  await cache.put(name, response);
}

// A worker whose cache is not whole is never installed, and leaves no cache behind.
self.addEventListener('install', event => {
  event.waitUntil(caches.open(cacheName)
      .then(cache => Promise.all(Object.keys(files).map(name => keep(cache, name))))
      .catch(error => caches.delete(cacheName).then(() => { throw error; })));
});

self.addEventListener('activate', event => {
  event.waitUntil(caches.keys().then(names => Promise.all(
      names.filter(name => name.startsWith(ourCaches) && name !== cacheName).map(name => caches.delete(name)))));
});

self.addEventListener('message', event => {
  if (event.data === 'take over') self.skipWaiting();
});

self.addEventListener('fetch', event => {
  if (event.request.method === 'GET') event.respondWith(answer(event.request));
});

// The page a load gets while a newer build takes over: it loads again once the newer build's worker
// is active. Loading again at once (a Refresh) would come back to this worker while it still
// answers, over and over, and the browser activates the newer worker only once this one is idle.
const takeOverPage = `<!doctype html><link rel="icon" href="data:,"><script>
navigator.serviceWorker.addEventListener('controllerchange', () => location.reload());
navigator.serviceWorker.ready.then(registration => { if (!registration.waiting) location.reload(); });
</script>`;

async function answer(request) {
  const {scope, waiting} = self.registration;
  // Loading the last open page again while a newer build waits: the newer build takes over, and
  // the page loads again under it (with no icon of its own to ask the server for meanwhile).
  if (request.mode === 'navigate' && waiting && (await clients.matchAll()).length < 2) {
    waiting.postMessage('take over');
    return new Response(takeOverPage, {headers: {'Content-Type': 'text/html'}});
  }
  const url = new URL(request.url);
  url.search = '';
  const name = url.href === scope ? scope + 'index.html' : url.href;
  return (await caches.open(cacheName).then(cache => cache.match(name))) || fetch(request);
}
