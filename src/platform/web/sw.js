// Volkrin @PROJECT_VERSION@'s service worker: keeps this release's files, so that after one
// visit the game starts with the network off, and gives way to the next release's worker.
'use strict';
// One cache a release and folder: a host may serve two releases in two folders, each
// installed as an app of its own, and each worker clears only its own folder's old ones.
const scope = self.registration.scope;
const release = `volkrin-@PROJECT_VERSION@ ${scope}`;
// The page's files, as the build lists them.
const files = [@VOLKRIN_PAGE_FILES@];

// The network first, so that a visit online always gets the release the server has (the
// cache holds only the one this worker was made with); the cache when the network fails or
// is too slow to answer. Revalidated, not reloaded: what the browser holds and the server
// still has costs a short answer, not the file again.
// After a failure the cache comes first for a while: one wait for a page, not one a file.
const patience = 4000;  // ms to wait for a server's answer before the cache's
const respite = 10000;  // ms of the cache first after the network failed
let networkFailed = -Infinity;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(release)
    .then((cache) => cache.addAll(files.map((f) => new Request(f, {cache: 'no-cache'}))))
    .then(() => self.skipWaiting()));
});

// The page the new worker takes over came from the network, so it is the new release's
// already; the old releases' caches go.
self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names
      .filter((n) => n.startsWith('volkrin-') && n.endsWith(` ${scope}`) && n !== release)
      .map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  const name = url.pathname.slice(new URL(scope).pathname.length) || 'index.html';
  if (event.request.method !== 'GET' || url.origin !== location.origin ||
      !files.includes(name)) return;  // not a file of the release: the browser's own way
  event.respondWith(fromNetworkOrCache(event.request, name));
});

// (By its address: a navigation's own request cannot be sent again with other options. A
// redirect is left to a navigation to follow: it takes no answer that came by one, and a host
// may send /index.html to the folder's own address.)
async function fromNetworkOrCache(request, name) {
  const kept = caches.match(name, {cacheName: release}).then(direct);
  if (Date.now() - networkFailed < respite && await kept) return kept;
  const stop = new AbortController();
  const timer = setTimeout(() => stop.abort(), patience);
  let response = null;
  try {
    response = await fetch(request.url, {cache: 'no-cache', redirect: request.redirect,
                                         signal: stop.signal});
  } catch (e) {
    networkFailed = Date.now();  // offline, or no answer in time
  } finally {
    clearTimeout(timer);
  }
  if (response && (response.ok || response.type === 'opaqueredirect')) return response;
  return (await kept) || response || Response.error();
}

// The cache's copy as if it had come straight: the install fetched it through any redirect.
function direct(response) {
  if (!response || !response.redirected) return response;
  return new Response(response.body, {status: response.status,
                                      statusText: response.statusText,
                                      headers: response.headers});
}
