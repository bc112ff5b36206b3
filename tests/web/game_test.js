// The browser build as a player meets it in Chromium: the pictures against the Linux build's,
// the mouse and keys, the key card, idle frames, a hidden page, a lost WebGL context, no
// WebGL at all, sound after the first click, the canvas's size, and q.
'use strict';
const {open, compare, expectLike, noProblems, sleep, test, assert} = require('./harness');

const centre = [250, 250];

// Serves from the centre with the pointer brought in as a hand would, and waits until the
// paddle's flash has faded (34 frames), after which a paused game draws nothing.
async function serve(game) {
  await game.moveTo(...centre);
  await game.tab.mouse.click(...centre);
  await sleep(600);
}

test('PicturesMatchTheLinuxBuild', {}, async (game) => {
  await game.ready();
  await sleep(300);
  expectLike(await game.picture(), 'start.png');
  await game.press('F1');
  await sleep(300);
  expectLike(await game.picture(), 'card.png');
  await game.press('F1');
  await game.press('4');
  await sleep(300);
  expectLike(await game.picture(), 'left.png');
  await game.press('8');
  await game.press('v');
  await sleep(300);
  expectLike(await game.picture(), 'above.png');
  noProblems(game);
});

test('PlaysFromDiskWithNoButtonsAndAClickServes', {fromDisk: true}, async (game) => {
  await game.ready();
  assert.strictEqual(await game.read('document.title'), 'Volkrin');
  const atRest = await game.picture();
  assert.strictEqual(await game.framesOver(500), 0, 'frames drawn at rest');
  await serve(game);
  // A rally draws a frame a tick, the ball moving away.
  const frames = await game.framesOver(1000);
  assert(frames >= 40, `only ${frames} frames in the first second of a rally`);
  assert.notDeepStrictEqual(await game.picture(), atRest);
  // With a mouse and no touch screen the page shows no buttons.
  assert.deepStrictEqual(await game.read(`['pause-button', 'keys-button', 'touch-menu']
    .map((id) => document.getElementById(id).checkVisibility())`), [false, false, false]);
  noProblems(game);
});

test('CaptionShowsAndFadesThenNoFrames', {}, async (game) => {
  await game.ready();
  const before = await game.picture();
  await game.press('c');
  await sleep(200);
  assert.notDeepStrictEqual(await game.picture(), before, 'no caption for c');
  await sleep(2300);  // two seconds shown, the last half second fading
  assert.deepStrictEqual(await game.picture(), before, 'the caption left a mark');
  assert.strictEqual(await game.framesOver(600), 0, 'frames drawn after the caption');
  noProblems(game);
});

const cursor = (game) => game.read('document.getElementById("canvas").style.cursor');

// F1, and ? where F1 is the browser's, open the card and pause a rally; Escape closes it
// and the game stays paused; the right button resumes, and opens no menu. The pointer shows
// only while paused. No animation frame is ever asked for.
for (const key of ['F1', '?']) {
  test(`KeyCardByKey${key === '?' ? 'QuestionMark' : key}PausesARally`, {}, async (game) => {
    await game.ready();
    await serve(game);
    assert.strictEqual(await cursor(game), 'none', 'the pointer hides the paddle in a rally');
    await game.press(key);
    await sleep(200);
    const card = await game.picture();
    assert.strictEqual(await game.framesOver(600), 0, 'the rally goes on under the card');
    assert.deepStrictEqual(await game.picture(), card);
    await game.press('Escape');
    await sleep(200);
    assert.notDeepStrictEqual(await game.picture(), card, 'Escape left the card');
    assert.strictEqual(await game.framesOver(600), 0, 'the game did not stay paused');
    assert.strictEqual(await cursor(game), '', 'no pointer while paused');
    await game.tab.mouse.click(...centre, {button: 'right'});
    assert((await game.framesOver(500)) > 20, 'the right button did not resume');
    assert.strictEqual(await game.seen('menus'), 1);
    assert.strictEqual(await game.seen('menusPrevented'), 1, 'a menu opened');
    assert.strictEqual(await game.seen('animationFrames'), 0, 'animation frames asked for');
    noProblems(game);
  });
}

test('HiddenPagePausesARallyAndIsSilent', {}, async (game) => {
  await game.ready();
  await serve(game);
  await sleep(300);
  const gain = 'AL.currentCtx.gain.gain.value';
  assert.strictEqual(await game.read(gain), 1);
  const other = await game.browser.newPage();
  await other.bringToFront();
  await game.waitFor('document.hidden');
  await sleep(300);
  assert.strictEqual(await game.read(gain), 0, 'a hidden page is heard');
  await game.tab.bringToFront();
  await game.waitFor('!document.hidden');
  await sleep(300);
  assert.strictEqual(await game.framesOver(600), 0, 'the rally went on while hidden');
  assert.strictEqual(await game.read(gain), 1);
  noProblems(game);
});

// The level's label (a texture) and the left wall (display lists) as they were at rest.
const labelAndWall = [[37, 462, 107, 495], [14, 100, 34, 400]];

test('LostContextPausesAndComesBackWithoutReload', {}, async (game) => {
  await game.ready();
  const atRest = await game.picture();
  await serve(game);
  await sleep(300);
  await game.read(`window.__lose = document.getElementById('canvas').getContext('webgl')
                     .getExtension('WEBGL_lose_context'); window.__lose.loseContext(); 1`);
  await sleep(300);
  await game.read('window.__lose.restoreContext(), 1');
  await game.waitFor('!document.getElementById("canvas").getContext("webgl").isContextLost()');
  await sleep(300);
  const paused = await game.picture();
  assert.strictEqual(await game.framesOver(500), 0, 'not paused after the lost context');
  for (const rect of labelAndWall) {
    const d = compare(atRest, paused, rect);
    assert(d.off === 0 && d.mean < 0.1, `not drawn again as before: ${JSON.stringify(d)}`);
  }
  await game.tab.mouse.click(...centre, {button: 'right'});
  assert((await game.framesOver(500)) > 20, 'the rally did not go on');
  assert.notDeepStrictEqual(await game.picture(), paused);
  assert.strictEqual(await game.read('document.getElementById("message").hidden'), true);
  noProblems(game, ['WebGL: CONTEXT_LOST_WEBGL']);
});

test('WithoutWebGLThePageSaysSo', {flags: ['--disable-webgl', '--disable-webgl2', '--disable-3d-apis']}, async (game) => {
  await game.waitFor('!document.getElementById("message").hidden');
  const text = await game.read('document.getElementById("message").textContent');
  assert.match(text, /WebGL/);
  assert.strictEqual(await game.read('document.getElementById("loading").hidden'), true);
  noProblems(game, ['Volkrin cannot draw in this browser']);
});

test('SoundStartsWithTheFirstClickAndNotWhileMuted', {}, async (game) => {
  await game.ready();
  await sleep(300);
  assert.strictEqual(await game.seen('sounds'), 0);
  assert.strictEqual(await game.read('window.__seen.contexts[0].state'), 'suspended');
  await serve(game);
  await game.waitFor('window.__seen.sounds > 0');
  await game.waitFor('window.__seen.contexts[0].state === "running"');
  // After 2 s of silence the page's audio is suspended, and resumes with the next sound.
  await game.press('r');
  await game.waitFor('window.__seen.contexts[0].state === "suspended"', 4000);
  await game.press('m');
  const heard = await game.seen('sounds');
  await serve(game);
  await sleep(1500);
  assert.strictEqual(await game.seen('sounds'), heard, 'a sound while muted');
  await game.press('m');
  await game.press('r');
  await serve(game);
  await game.waitFor(`window.__seen.sounds > ${heard}`);
  await game.waitFor('window.__seen.contexts[0].state === "running"');
  noProblems(game);
});

test('CanvasFollowsTheWindowAndThePixelRatio', {width: 800, height: 600, scale: 2}, async (game) => {
  await game.ready();
  const size = () => game.read(`(() => { const c = document.getElementById('canvas');
    return [c.width, c.height, c.clientWidth, c.clientHeight]; })()`);
  assert.deepStrictEqual(await size(), [1600, 1200, 800, 600]);
  await game.tab.setViewport({width: 700, height: 560, deviceScaleFactor: 2});
  await game.waitFor('document.getElementById("canvas").width === 1400');
  assert.deepStrictEqual(await size(), [1400, 1120, 700, 560]);
  // The picture is drawn at the new size: the heads-up display's top left life, at
  // (-1.8, 1.8) of the 4-unit-high view, is blue.
  await sleep(200);
  const [r, g, b] = await game.colourAt(700 / 2 + (-1.8 / 4) * 560, (2 - 1.8) / 4 * 560);
  assert(b > 150 && r < 120 && g < 120, `no life marker where one belongs: ${r} ${g} ${b}`);
  noProblems(game);
});

test('QuitEndsTheGameAndThePageOffersAnother', {}, async (game) => {
  await game.ready();
  await serve(game);
  await sleep(200);
  await game.press('q');
  await game.waitFor('!document.getElementById("message").hidden');
  assert.match(await game.read('document.getElementById("message").textContent'), /ended/);
  assert.strictEqual(await game.framesOver(500), 0, 'the game went on after q');
  await game.tab.click('#play-again');
  await game.waitFor('document.getElementById("message") && ' +
                     'document.getElementById("message").hidden && window.__seen.clears > 0');
  noProblems(game);
});

test('LoadingShowsUntilTheFirstFrameAndAFailedLoadSaysSo', async () => {
  let release;
  const held = new Promise((resolve) => { release = resolve; });
  const game = await open({before: async (tab) => {
    await tab.setRequestInterception(true);
    tab.on('request', async (request) => {
      if (request.url().endsWith('volkrin.js')) await held;
      request.continue();
    });
  }});
  try {
    await sleep(300);
    assert.strictEqual(await game.read('document.getElementById("loading").hidden'), false);
    release();
    await game.ready();
    noProblems(game);
  } finally {
    await game.close();
  }
  const broken = await open({before: async (tab) => {
    await tab.setRequestInterception(true);
    tab.on('request', (r) => (r.url().endsWith('volkrin.js') ? r.abort() : r.continue()));
  }});
  try {
    await broken.waitFor('!document.getElementById("message").hidden');
    assert.match(await broken.read('document.getElementById("message").textContent'),
                 /could not be loaded/);
  } finally {
    await broken.close();
  }
});

test('F11PutsTheCanvasFullScreenAndEscapeLeaves', {}, async (game) => {
  await game.ready();
  await game.press('F11');
  await game.waitFor('document.fullscreenElement === document.getElementById("canvas")');
  await game.press('Escape');
  await game.waitFor('document.fullscreenElement === null');
  noProblems(game);
});

// Behind the player in the flat projection the paddle's centre lies under the pointer: its
// cross is black there and the fill green beside it, whatever the pixel ratio, also after one
// jump of the pointer (each motion carries its own place, not the one before).
test('PaddleFollowsAJumpOfThePointerAtAnyPixelRatio', {width: 800, height: 600, scale: 2}, async (game) => {
  await game.ready();
  await game.press('v');
  for (const [x, y] of [[520, 200], [300, 420]]) {
    await game.moveTo(x, y, 1);
    await sleep(200);
    const cross = await game.colourAt(x + 5, y);
    const fill = await game.colourAt(x + 40, y + 10);
    assert(Math.max(...cross) < 60, `no cross under the pointer at ${x} ${y}: ${cross}`);
    assert(fill[1] > fill[0] + 60 && fill[1] > fill[2] + 60, `no paddle at ${x} ${y}: ${fill}`);
  }
  noProblems(game);
});
