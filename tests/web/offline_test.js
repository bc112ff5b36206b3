// The page installed and offline: after one visit it plays with the server stopped or silent;
// a new release served in its place replaces the old one on the next visit; the manifest's
// icons exist in the sizes they claim and Chromium finds nothing against installing the page;
// from disk there is no worker and nothing is reported.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const {open, decodePng, noProblems, sleep, test, assert} = require('./harness');

// The release the page in the tab is: its opening comment names it.
const release = (game) =>
  game.read('/Volkrin (\\S+) in a browser/.exec(document.childNodes[1].data)[1]');
// The releases the page's worker keeps, one cache each.
const kept = (game) => game.read('caches.keys().then((n) => n.map((c) => c.split(" ")[0]))');

// Plays: the first frame drawn, and a click serves (a frame a tick while the ball flies).
async function plays(game) {
  await game.ready();
  await game.moveTo(250, 250);
  await game.tab.mouse.click(250, 250);
  const frames = await game.framesOver(1000);
  assert(frames >= 40, `only ${frames} frames in the first second of a rally`);
}

// After one visit, with the server away in the given way, a reload plays.
async function reloadPlaysWith(serverAway) {
  const game = await open();
  try {
    await game.ready();
    await game.keptForOffline();
    assert.deepStrictEqual(await kept(game), [`volkrin-${await release(game)}`]);
    await serverAway(game);
    await game.reload();
    await plays(game);
    console.log(`first frame ${(await game.seen('firstFrame')).toFixed(0)} ms after the reload`);
    noProblems(game);
  } finally {
    await game.close();
  }
}

test('AfterOneVisitItPlaysWithTheServerStopped',
     () => reloadPlaysWith((game) => game.stopServer()));

// A phone with a signal and no data: connections taken, nothing answered. The worker waits a
// few seconds for the page, then plays what it keeps.
test('AfterOneVisitItPlaysWhenTheServerDoesNotAnswer',
     () => reloadPlaysWith(async (game) => { game.server.root = null; }));

test('ANewReleaseReplacesTheOldOnTheNextVisit', async () => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'volkrin-next-'));
  const game = await open();
  try {
    await game.ready();
    await game.keptForOffline();
    // The next release: the same folder, its page and worker carrying another version.
    const old = await release(game);
    const next = `${old}.1`;
    fs.cpSync(game.server.root, folder, {recursive: true});
    for (const name of ['index.html', 'sw.js']) {
      const file = path.join(folder, name);
      fs.writeFileSync(file, fs.readFileSync(file, 'utf8').replaceAll(old, next));
    }
    game.server.root = folder;
    await game.reload();
    assert.strictEqual(await release(game), next, 'the next visit showed the old release');
    await plays(game);
    await game.waitFor(`caches.keys().then((n) => n.length === 1 && n[0].startsWith(
                         "volkrin-${next} "))`, 15000);
    await game.keptForOffline();
    // And offline now, the new release from the cache.
    await game.stopServer();
    await game.reload();
    assert.strictEqual(await release(game), next, 'offline, the old release came back');
    await plays(game);
    noProblems(game);
  } finally {
    await game.close();
    fs.rmSync(folder, {recursive: true, force: true});
  }
});

// Hosts that keep one address a page send /index.html to the folder's own address: a
// navigation takes no answer that came by a redirect, from the network or from the cache
// (where the worker put what it was sent for index.html).
test('OnAHostThatRedirectsTheIndexItPlaysOnlineAndOffline', {redirects: {'/index.html': '/'}}, async (game) => {
  await game.ready();
  await game.keptForOffline();
  await game.tab.goto(game.url + 'index.html', {waitUntil: 'domcontentloaded'});
  assert.strictEqual(await game.read('location.href'), game.url);
  await plays(game);
  await game.stopServer();
  await game.reload();
  await plays(game);
  noProblems(game);
});

// A PNG fetched from the page's server: its pixels, and whether it came as a PNG.
async function fetchPicture(url) {
  const response = await fetch(url);
  assert.strictEqual(response.status, 200, `${url}: ${response.status}`);
  assert.strictEqual(response.headers.get('content-type'), 'image/png', url);
  return decodePng(Buffer.from(await response.arrayBuffer()));
}

test('TheManifestNamesItsIconsAndChromiumWouldInstallIt', {}, async (game) => {
  await game.ready();
  await game.keptForOffline();  // installable with a worker that answers offline
  const {installabilityErrors} = await game.session.send('Page.getInstallabilityErrors');
  assert.deepStrictEqual(installabilityErrors, []);
  const {url, errors} = await game.session.send('Page.getAppManifest');
  assert.deepStrictEqual(errors, [], 'the manifest does not parse cleanly');
  const manifest = await (await fetch(url)).json();
  assert.strictEqual(manifest.name, 'Volkrin');
  assert.strictEqual(manifest.short_name, 'Volkrin');
  assert.strictEqual(manifest.display, 'fullscreen');
  assert.strictEqual(manifest.orientation, 'landscape');
  assert.match(manifest.theme_color, /^#[0-9a-f]{6}$/);
  // It opens the folder it came from, and keeps to it.
  for (const field of ['start_url', 'scope']) {
    assert.strictEqual(new URL(manifest[field], url).href, game.url, field);
  }
  const sizes = [];
  for (const icon of manifest.icons) {
    const picture = await fetchPicture(new URL(icon.src, url));
    assert.strictEqual(icon.sizes, `${picture.width}x${picture.height}`, icon.src);
    sizes.push(picture.width);
  }
  assert(sizes.includes(192) && sizes.includes(512), `icons of ${sizes} pixels`);

  // An iPhone's home screen: its own icon, which must be opaque, and a standalone display.
  const link = (rel) => game.read(`document.querySelector('link[rel="${rel}"]').href`);
  const touch = await fetchPicture(await link('apple-touch-icon'));
  assert.deepStrictEqual([touch.width, touch.height], [180, 180]);
  const clear = touch.channels === 3 ? [] : touch.data.filter((v, i) => i % 4 === 3 && v < 255);
  assert.strictEqual(clear.length, 0, 'pixels an iPhone would show black');
  assert.strictEqual(await game.read(
    'document.querySelector(\'meta[name="apple-mobile-web-app-capable"]\').content'), 'yes');
  noProblems(game);
});

test('FromDiskItPlaysWithoutAWorkerAndReportsNothing', {fromDisk: true}, async (game) => {
  await plays(game);
  await game.waitFor('document.readyState === "complete"');
  await sleep(1500);  // served, the worker would be running by now
  const workers = game.browser.targets().filter((t) => t.type() === 'service_worker');
  assert.deepStrictEqual(workers.map((t) => t.url()), []);
  assert.strictEqual(await game.read('navigator.serviceWorker.controller'), null);
  assert.strictEqual(await game.read('document.querySelector("link[rel=manifest]")'), null);
  noProblems(game);
});
