// The browser build on phones and tablets, in Chromium's touch emulation: a finger moves the
// paddle by its own movement and a tap serves; the buttons, found by their names, do what
// their keys do; the lettering stays legible and nothing scrolls or zooms; turning the phone
// keeps the rally. (That a mouse without a touch screen gets no buttons: game_test.js.)
'use strict';
const {decodePng, noProblems, sleep, test, assert} = require('./harness');

const button = async (game, name) => {
  const found = await game.tab.$(`::-p-aria([name="${name}"][role="button"])`);
  assert(found, `no button named ${name}`);
  return found;
};
const tap = async (game, name) => (await button(game, name)).tap();
const canvasBox = (game) => game.read(`(() => {
  const r = document.getElementById('canvas').getBoundingClientRect();
  return {x: r.x, y: r.y, width: r.width, height: r.height}; })()`);

// A finger put down at (x, y) and slid by (dx, dy) in small steps, as a hand does.
async function drag(game, x, y, dx, dy) {
  const touch = game.tab.touchscreen;
  await touch.touchStart(x, y);
  for (let i = 1; i <= 8; i++) await touch.touchMove(x + dx * i / 8, y + dy * i / 8);
  await touch.touchEnd();
}

// The height in CSS pixels of the black lettering between two heights of the canvas (heads-up
// units, y = 2 at its top): the rows holding near-black pixels that the picture `before`
// does not hold.
async function letteringHeight(game, before, top, bottom) {
  const box = await canvasBox(game);
  const scale = await game.read('window.devicePixelRatio');
  const now = decodePng(await game.picture()), then = decodePng(before);
  const rowOf = (y) => Math.round((box.y + (2 - y) / 4 * box.height) * scale);
  let first = Infinity, last = -Infinity;
  for (let row = rowOf(top); row <= rowOf(bottom); row++) {
    for (let x = Math.round(box.x * scale); x < (box.x + box.width) * scale; x++) {
      const at = (row * now.width + x) * now.channels;
      const dark = Math.max(now.data[at], now.data[at + 1], now.data[at + 2]) < 70;
      const change = Math.abs(now.data[at] - then.data[at]) + Math.abs(now.data[at + 1] -
        then.data[at + 1]) + Math.abs(now.data[at + 2] - then.data[at + 2]);
      if (dark && change > 60) {
        first = Math.min(first, row);
        last = Math.max(last, row);
        break;
      }
    }
  }
  return (last - first + 1) / scale;
}

// Whether the paddle's black centre cross passes within two CSS pixels of (x, y): its arms,
// a pixel wide, are dark a few pixels right of the centre.
async function crossNear(game, x, y) {
  const scale = await game.read('window.devicePixelRatio');
  const p = decodePng(await game.picture());
  for (let row = Math.round((y - 2) * scale); row <= (y + 2) * scale; row++) {
    const at = (row * p.width + Math.round((x + 4) * scale)) * p.channels;
    if (Math.max(p.data[at], p.data[at + 1], p.data[at + 2]) < 70) return true;
  }
  return false;
}

const framesAfterTheFlash = async (game) => {
  await sleep(700);
  return game.framesOver(500);
};

for (const [width, height, scale] of [[390, 844, 2], [844, 390, 1], [1024, 768, 1]]) {
  test(`PlayedWithFingersAt${width}x${height}`, {width, height, scale, touch: true}, async (game) => {
    await game.ready();
    for (const name of ['Pause', 'Keys']) {
      const box = await (await button(game, name)).boundingBox();
      assert(box && box.width >= 44 && box.height >= 44, `${name} is too small: ${JSON.stringify(box)}`);
    }
    const canvas = await canvasBox(game);
    assert(canvas.width >= canvas.height - 1, 'the court would be cut at its sides');
    const cx = canvas.x + canvas.width / 2, cy = canvas.y + canvas.height / 2;

    // Legible lettering, measured at rest where nothing but the sign changes: capitals at
    // least 14 CSS pixels high; the hint's descenders reach a third lower.
    const atRest = await game.picture();
    await tap(game, 'Pause');
    await sleep(200);
    const paused = await letteringHeight(game, atRest, 0.45, 0.05);
    const hint = await letteringHeight(game, atRest, -0.05, -0.5);
    assert(paused >= 14 && hint >= 14 * 1.3, `lettering too small: ${paused} ${hint}`);
    await tap(game, 'Resume');
    await tap(game, 'Keys');
    await tap(game, 'Curving');
    await tap(game, 'Close');
    await sleep(100);
    const caption = await letteringHeight(game, atRest, 1.6, 1.3);
    assert(caption >= 14, `caption too small: ${caption}`);

    // The flat view puts the paddle's centre where the pointer is: a drag from near the
    // bottom left corner moves it from the middle by as much as the finger moved.
    await tap(game, 'Keys');
    await tap(game, 'Flat or perspective');
    await tap(game, 'Close');
    const [dx, dy] = [Math.round(canvas.height / 6), -Math.round(canvas.height / 8)];
    await drag(game, 30, height - 70, dx, dy);
    await sleep(200);
    const fill = await game.colourAt(cx + dx + canvas.height / 10, cy + dy + 5);
    assert(await crossNear(game, cx + dx, cy + dy), 'no paddle centre after the finger');
    assert(fill[1] > fill[0] + 60, `no paddle after the finger: ${fill}`);
    assert.strictEqual(await game.seen('sounds'), 0);

    // Back over the ball; a tap serves, and sound starts with it.
    await drag(game, 30, height - 70, -dx, -dy);
    await game.tab.touchscreen.tap(40, height - 40);
    assert((await game.framesOver(500)) > 20, 'the tap did not serve');
    await game.waitFor('window.__seen.sounds > 0 && window.__seen.contexts[0].state === "running"');

    // Pause and resume with the button, which says what it will do.
    await tap(game, 'Pause');
    assert.strictEqual(await framesAfterTheFlash(game), 0, 'the pause button did not pause');
    await tap(game, 'Resume');
    assert((await game.framesOver(500)) > 20, 'the resume button did not resume');

    // The key card as a menu pauses the rally; its camera and sound act as 4 and m do.
    await tap(game, 'Keys');
    assert.strictEqual(await game.read('document.getElementById("touch-menu").hidden'), false);
    assert.strictEqual(await framesAfterTheFlash(game), 0, 'the rally goes on under the menu');
    const lifeAt = [cx - 1.8 / 4 * canvas.height, canvas.y + 0.2 / 4 * canvas.height];
    const life = await game.colourAt(...lifeAt);
    assert(life[2] > 150 && life[0] < 120, `no life marker behind the player: ${life}`);
    await tap(game, 'Camera: left');
    await tap(game, 'Sound');
    await tap(game, 'Close');
    assert.deepStrictEqual(game.printed.filter((l) => /ON|OFF/.test(l)), ['CURVING OFF', 'SOUND OFF']);
    await sleep(200);
    const side = await game.colourAt(...lifeAt);
    assert(!(side[2] > 150 && side[0] < 120), 'the camera is still behind the player');

    // Nothing scrolled or zoomed under the fingers.
    assert.deepStrictEqual(await game.read(
      '[window.scrollX, window.scrollY, visualViewport.scale, visualViewport.offsetTop]'), [0, 0, 1, 0]);
    noProblems(game);
  });
}

test('TurningThePhoneKeepsTheRally', {width: 844, height: 390, touch: true}, async (game) => {
  await game.ready();
  await game.tab.touchscreen.tap(100, 350);
  await sleep(300);
  await game.tab.setViewport({width: 390, height: 844, hasTouch: true, isMobile: true});
  await game.waitFor('document.getElementById("canvas").width === 390');
  assert.deepStrictEqual(await canvasBox(game), {x: 0, y: 227, width: 390, height: 390});
  assert((await game.framesOver(500)) > 20, 'the rally stopped');
  noProblems(game);
});
