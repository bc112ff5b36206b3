// Figures of the browser build in headless Chromium (SwiftShader's WebGL on this machine's
// cores): what the page loads, how soon the first frame comes (served, from disk, and offline
// after one visit), frames and the page's CPU at rest, paused and in a rally, at 500 x 500 and
// 1280 x 720. Prints them; asserts nothing.
//   scripts/web-figures.sh [RUNS]
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const {open, sleep} = require('../tests/web/harness');

const runs = Number(process.argv[2] || 3);
const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Everything in the folder but the licences: what the page, its worker and an install load.
function sizes() {
  const dir = process.env.VOLKRIN_WEB_PAGE;
  let total = 0, packed = 0;
  for (const name of fs.readdirSync(dir).filter((n) => n !== 'licenses')) {
    const data = fs.readFileSync(path.join(dir, name));
    const gz = zlib.gzipSync(data, {level: 9}).length;
    total += data.length;
    packed += gz;
    console.log(`${name}: ${(data.length / 1024).toFixed(1)} KB, gzip ${(gz / 1024).toFixed(1)} KB`);
  }
  console.log(`the page loads ${(total / 1024).toFixed(1)} KB, gzip ${(packed / 1024).toFixed(1)} KB`);
}

// Milliseconds from the start of navigation to the first frame drawn: served, from disk, or
// reloaded after one visit once its worker keeps the release, online or with the server
// stopped (the same browser, so both reloads find its caches warm).
async function firstFrame(how) {
  const game = await open({fromDisk: how === 'from disk'});
  await game.ready();
  if (how.startsWith('reloaded')) {
    await game.keptForOffline();
    if (how === 'reloaded offline') await game.stopServer();
    await game.reload();
    await game.ready();
  }
  const ms = await game.seen('firstFrame');
  await game.close();
  return ms;
}

// Frames a second and the page's busy time (the renderer's main thread, per cent of a core)
// over ms.
async function measure(game, ms) {
  const metric = async () => {
    const {metrics} = await game.session.send('Performance.getMetrics');
    return metrics.find((m) => m.name === 'TaskDuration').value;
  };
  const busy = await metric();
  const frames = await game.framesOver(ms);
  return {fps: frames * 1000 / ms, cpu: ((await metric()) - busy) * 1000 / ms * 100};
}

async function idleAndRally(width, height) {
  const rest = [], paused = [], rally = [];
  for (let i = 0; i < runs; i++) {
    const game = await open({width, height});
    await game.session.send('Performance.enable');
    await game.ready();
    await sleep(500);
    rest.push(await measure(game, 3000));
    const centre = [width / 2, height / 2];
    for (let serve = 0; serve < 3; serve++) {
      await game.moveTo(...centre);
      await game.tab.mouse.click(...centre);
      // The ball's first second, toward the opponent: the rally at its busiest.
      rally.push(await measure(game, 1000));
      await game.press('r');
      await sleep(600);
    }
    await game.tab.mouse.click(...centre);
    await sleep(200);
    await game.tab.mouse.click(...centre, {button: 'right'});
    await sleep(800);  // the paddle's flash fades
    paused.push(await measure(game, 3000));
    await game.close();
  }
  const show = (name, list) => console.log(`${width} x ${height}, ${name}: ` +
    `${median(list.map((m) => m.fps)).toFixed(1)} frames/s, ` +
    `page busy ${median(list.map((m) => m.cpu)).toFixed(1)} % of a core`);
  show('at rest', rest);
  show('paused', paused);
  show('in a rally', rally);
}

(async () => {
  sizes();
  for (const how of ['served', 'from disk', 'reloaded online', 'reloaded offline']) {
    const times = [];
    for (let i = 0; i < runs; i++) times.push(await firstFrame(how));
    console.log(`first frame ${how}: median ` +
                `${median(times).toFixed(0)} ms (${times.map((t) => t.toFixed(0)).join(', ')})`);
  }
  await idleAndRally(500, 500);
  await idleAndRally(1280, 720);
})();
