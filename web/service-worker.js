// The published site's service worker (scripts/web-dist.py writes it as sw.js, filling in the
// three lists below): it keeps one version of the show for visits without the network.
//
// Installing precaches every file the page needs but the music; of the music's copies (one per
// format) only the one a page of this site has taken is kept, so that no visit downloads a
// copy its browser cannot play. A new version installs beside the old one and waits, as service
// workers do, until no page shows the old one: a page never mixes the files of two versions,
// and the visit after a new one was fetched plays it. Caches are named by the worker's scope,
// so two copies of the site on one host keep theirs apart.
'use strict';

const VERSION = '';  // a hash of every published name, so each build has its own cache
const FILES = [];    // precached: the page, its program, its data, its manifest and icons
const MUSIC = [];    // the copies of the music

const SCOPE = self.registration.scope;
const PREFIX = 'vrex-demo ' + SCOPE + ' ';
const CACHE = PREFIX + VERSION;
const PAGE = 'index.html';
const FIXED = [PAGE, 'manifest.json'];  // the names without a hash

const extension = url => url.slice(url.lastIndexOf('.'));
const absolute = file => new URL(file, SCOPE).href;

// A file without a hash in its name is taken from the server, never from the HTTP cache.
async function precache() {
  const cache = await caches.open(CACHE);
  await cache.addAll(FILES.map(file => new Request(file, {cache: FIXED.includes(file) ? 'no-cache' : 'default'})));
  // This version's copy of the music in the format the last version's pages took.
  for (const name of await caches.keys()) {
    if (!name.startsWith(PREFIX) || name === CACHE) continue;
    const kept = (await (await caches.open(name)).keys()).map(request => extension(request.url));
    for (const copy of MUSIC)
      if (kept.includes(extension(copy))) await cache.add(copy);
  }
}

async function forgetOldVersions() {
  for (const name of await caches.keys())
    if (name.startsWith(PREFIX) && name !== CACHE) await caches.delete(name);
}

async function keep(url) {
  if (!MUSIC.some(copy => absolute(copy) === url)) return;
  const cache = await caches.open(CACHE);
  if (!(await cache.match(url))) await cache.add(url);
}

// The page answers for the folder and for any query (the show's options); everything else is
// looked up by its own address, and what is missing is fetched as usual.
async function answer(request) {
  const url = new URL(request.url);
  const page = request.mode === 'navigate' && (url.pathname === new URL(SCOPE).pathname ||
                                               url.href.split(/[?#]/)[0] === absolute(PAGE));
  const cache = await caches.open(CACHE);
  const kept = await cache.match(page ? absolute(PAGE) : request, {ignoreSearch: page});
  if (kept) return kept;
  const response = await fetch(request);
  if (response.ok && MUSIC.some(copy => absolute(copy) === request.url)) await cache.put(request, response.clone());
  return response;
}

self.addEventListener('install', event => event.waitUntil(precache()));
self.addEventListener('activate', event => event.waitUntil(forgetOldVersions()));
self.addEventListener('message', event => {
  if (event.data && typeof event.data.keep === 'string') event.waitUntil(keep(event.data.keep));
});
self.addEventListener('fetch', event => {
  if (event.request.method !== 'GET' || !event.request.url.startsWith(SCOPE)) return;
  event.respondWith(answer(event.request));
});
