// The browser tests' harness: Debian's Chromium, headless with SwiftShader's WebGL, driven
// by puppeteer-core; the page served from a static server of its own on 127.0.0.1 (which a
// test may stop, silence or point at another folder) or opened from disk; what the page does
// with WebGL, animation frames and Web Audio counted from inside it; and pictures compared
// with the Linux build's within a renderer's tolerance.
'use strict';
const assert = require('assert');
const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');
const puppeteer = require('puppeteer-core');

const page = process.env.VOLKRIN_WEB_PAGE;  // the folder the zip holds
const linuxPictures = process.env.VOLKRIN_LINUX_PICTURES;

const chromiumFlags = [
  '--no-sandbox',  // the tests run as root
  '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
  '--no-first-run', '--disable-background-networking', '--disable-component-update',
  '--disable-sync', '--disable-default-apps', '--mute-audio',
  // Audio starts only after a gesture, as in a player's browser.
  '--autoplay-policy=document-user-activation-required',
];

// Counters set up before the page's own scripts run: every WebGL clear (one a drawn frame)
// and draw, every animation-frame request, every sound started, every audio context.
// The first clear's time too: when, after the page started loading, the first frame came.
function instrument() {
  const seen = window.__seen = {clears: 0, draws: 0, animationFrames: 0, sounds: 0,
                                contexts: [], menus: 0, menusPrevented: 0, firstFrame: null};
  const count = (proto, name, counter) => {
    const original = proto[name];
    proto[name] = function(...args) {
      seen[counter]++;
      if (counter === 'clears' && seen.firstFrame === null) seen.firstFrame = performance.now();
      return original.apply(this, args);
    };
  };
  for (const gl of [window.WebGLRenderingContext, window.WebGL2RenderingContext]) {
    if (!gl) continue;
    count(gl.prototype, 'clear', 'clears');
    count(gl.prototype, 'drawArrays', 'draws');
  }
  count(window, 'requestAnimationFrame', 'animationFrames');
  if (window.AudioBufferSourceNode) count(AudioBufferSourceNode.prototype, 'start', 'sounds');
  const Audio = window.AudioContext;
  if (Audio) {
    window.AudioContext = function(...args) {
      const context = new Audio(...args);
      seen.contexts.push(context);
      return context;
    };
    window.AudioContext.prototype = Audio.prototype;
  }
  // Seen after the page's own listeners: whether the menu was refused.
  window.addEventListener('contextmenu', (e) => {
    seen.menus++;
    if (e.defaultPrevented) seen.menusPrevented++;
  });
}

// Serves the folder server.root, which may change while it runs; while it is null, requests
// are taken and never answered, as on a network that has gone quiet. server.redirects sends
// some paths elsewhere, as hosts that keep one address a page do ({'/index.html': '/'}).
function serve(root) {
  const types = {'.html': 'text/html', '.js': 'text/javascript', '.png': 'image/png',
                 '.json': 'application/json', '.txt': 'text/plain'};
  const server = http.createServer((request, response) => {
    if (!server.root) return;
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    if (server.redirects[name]) {
      response.writeHead(301, {Location: server.redirects[name]});
      response.end();
      return;
    }
    const file = path.join(server.root, name.endsWith('/') ? name + 'index.html' : name);
    if (!file.startsWith(server.root) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
    fs.createReadStream(file).pipe(response);
  });
  server.root = root;
  server.redirects = {};
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A started browser with one page on the game. Options: width, height, scale (device pixel
// ratio), touch (a phone's touch screen, no mouse), fromDisk, flags (more for Chromium),
// before (called with the page before loading), redirects (the server's, from the start).
async function open(options = {}) {
  const browser = await puppeteer.launch({
    executablePath: process.env.VOLKRIN_CHROMIUM || '/usr/bin/chromium',
    headless: true, args: chromiumFlags.concat(options.flags || []),
  });
  const tab = (await browser.pages())[0] || await browser.newPage();
  await tab.setViewport({width: options.width || 500, height: options.height || 500,
                         deviceScaleFactor: options.scale || 1, hasTouch: !!options.touch,
                         isMobile: !!options.touch});
  const problems = [], printed = [];
  tab.on('pageerror', (e) => problems.push('page error: ' + e.message));
  tab.on('console', (m) => {
    if (m.type() === 'error' || m.type() === 'warning') problems.push(m.type() + ': ' + m.text());
    if (m.type() === 'log') printed.push(m.text());  // the game's printed lines
  });
  tab.on('requestfailed', (r) => problems.push('request failed: ' + r.url()));
  await tab.evaluateOnNewDocument(instrument);
  const session = await tab.createCDPSession();
  let server = null;
  let url;
  if (options.fromDisk) {
    url = 'file://' + path.join(page, 'index.html');
  } else {
    server = await serve(page);
    Object.assign(server.redirects, options.redirects);
    url = `http://127.0.0.1:${server.address().port}/`;
  }
  if (options.before) await options.before(tab);
  await tab.goto(url, {waitUntil: 'domcontentloaded'});
  const game = {
    browser, tab, session, problems, printed, url, server,
    // Reads the page without giving it a user gesture (puppeteer's evaluate would).
    async read(expression) {
      const result = await session.send('Runtime.evaluate', {expression, returnByValue: true,
                                                               awaitPromise: true});
      if (result.exceptionDetails) throw new Error(result.exceptionDetails.text);
      return result.result.value;
    },
    seen(counter) { return this.read(`window.__seen.${counter}`); },
    // Frames drawn (WebGL clears) while ms pass.
    async framesOver(ms) {
      const before = await this.seen('clears');
      await sleep(ms);
      return (await this.seen('clears')) - before;
    },
    async waitFor(expression, ms = 5000) {
      const end = Date.now() + ms;
      while (Date.now() < end) {
        if (await this.read(expression)) return;
        await sleep(25);
      }
      assert.fail('timed out waiting for ' + expression);
    },
    // The first frame drawn and the loading notice gone.
    async ready() {
      await this.waitFor('window.__seen.clears > 0 && document.getElementById("loading").hidden',
                         15000);
    },
    // Moves the pointer in small steps, as a hand does, to (x, y) in CSS pixels.
    async moveTo(x, y, steps = 8) { await tab.mouse.move(x, y, {steps}); },
    async press(key) { await tab.keyboard.press(key); },
    async picture() { return tab.screenshot({type: 'png'}); },
    // The colour (red, green, blue) at (x, y) CSS pixels of the page's picture.
    async colourAt(x, y) {
      const scale = await this.read('window.devicePixelRatio');
      return pixelAt(await this.picture(), x * scale, y * scale);
    },
    // Until the page's service worker keeps the release (its cache filled, it active, so it
    // answers the next visit) and the visit's loads are over (the browser asks for the icons
    // last). Not until it controls this page: a worker that comes in the middle of a
    // navigation may miss its page.
    async keptForOffline() {
      await this.waitFor('navigator.serviceWorker.getRegistration().then((r) => !!r && ' +
                         '!!r.active && r.active.state === "activated")', 15000);
      await tab.waitForNetworkIdle({idleTime: 500, timeout: 15000});
    },
    // The network gone: no connection to the server is accepted, open ones are cut.
    async stopServer() {
      const closed = new Promise((resolve) => server.close(resolve));
      server.closeAllConnections();
      await closed;
    },
    async reload() { await tab.reload({waitUntil: 'domcontentloaded'}); },
    async close() {
      await browser.close();
      if (server) server.close();
    },
  };
  return game;
}

// The pixels of a PNG picture as the screenshots and the Linux pictures are written (8 bits
// a channel, RGB or RGBA, not interlaced): {width, height, channels, data}.
function decodePng(png) {
  let width = 0, height = 0, channels = 0;
  const packed = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at);
    const type = png.toString('ascii', at + 4, at + 8);
    const body = png.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      channels = {2: 3, 6: 4}[body[9]];
      assert(body[8] === 8 && channels && body[12] === 0, 'a PNG of a kind not read here');
    } else if (type === 'IDAT') {
      packed.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(packed));
  const stride = width * channels;
  const data = Buffer.alloc(stride * height);
  // Each row names the filter that predicts its bytes from the left, upper and upper-left.
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    for (let i = 0; i < stride; i++) {
      const left = i >= channels ? data[y * stride + i - channels] : 0;
      const up = y > 0 ? data[(y - 1) * stride + i] : 0;
      const corner = y > 0 && i >= channels ? data[(y - 1) * stride + i - channels] : 0;
      const paeth = () => {
        const p = left + up - corner;
        const [a, b, c] = [Math.abs(p - left), Math.abs(p - up), Math.abs(p - corner)];
        return a <= b && a <= c ? left : b <= c ? up : corner;
      };
      const predicted = [0, left, up, (left + up) >> 1, paeth()][filter];
      data[y * stride + i] = (raw[y * (stride + 1) + 1 + i] + predicted) & 0xff;
    }
  }
  return {width, height, channels, data};
}

// The colour (red, green, blue) at pixel (x, y) of a picture.
function pixelAt(picture, x, y) {
  const p = decodePng(Buffer.from(picture));
  const at = (Math.round(y) * p.width + Math.round(x)) * p.channels;
  return [p.data[at], p.data[at + 1], p.data[at + 2]];
}

// How far two pictures (PNG data) are apart: the mean error per channel and the share of
// pixels off by more than 32 in any channel, both in per cent, and the size of each; within
// a rectangle [x0, y0, x1, y1) of pixels if one is given.
function compare(pictureA, pictureB, rect = null) {
  const x = decodePng(Buffer.from(pictureA)), y = decodePng(Buffer.from(pictureB));
  const sizes = [x.width, x.height, y.width, y.height];
  if (x.width !== y.width || x.height !== y.height) return {sizes};
  const [x0, y0, x1, y1] = rect || [0, 0, x.width, x.height];
  let sum = 0, off = 0, n = 0;
  for (let row = y0; row < y1; row++) {
    for (let column = x0; column < x1; column++) {
      const i = row * x.width + column;
      let worst = 0;
      for (let c = 0; c < 3; c++) {
        const d = Math.abs(x.data[i * x.channels + c] - y.data[i * y.channels + c]);
        sum += d;
        worst = Math.max(worst, d);
      }
      if (worst > 32) off++;
      n++;
    }
  }
  return {sizes, mean: sum / (3 * n) / 255 * 100, off: off / n * 100};
}

// The same within a renderer's tolerance: SwiftShader and llvmpipe rasterise edges slightly
// differently, never by more than this on the game's pictures.
function expectLike(picture, linuxName) {
  assert(linuxPictures, 'VOLKRIN_LINUX_PICTURES names no folder of the Linux pictures');
  const linux = fs.readFileSync(path.join(linuxPictures, linuxName));
  const d = compare(picture, linux);
  console.log(`${linuxName}: mean error ${d.mean.toFixed(3)} %, ` +
              `pixels off by more than 32 ${d.off.toFixed(3)} %`);
  assert.deepStrictEqual(d.sizes.slice(0, 2), d.sizes.slice(2), 'picture sizes differ');
  assert(d.mean <= 2, `${linuxName}: mean error ${d.mean} % over 2 %`);
  assert(d.off <= 3, `${linuxName}: ${d.off} % of pixels off by more than 32, over 3 %`);
  return d;
}

// Fails on anything the page reported: errors, warnings, failed requests.
function noProblems(game, allowed = []) {
  const left = game.problems.filter((p) => !allowed.some((a) => p.includes(a)));
  assert.deepStrictEqual(left, [], 'the page reported problems');
}

// The tests, each in a browser of its own; run.js runs one by name. A test given options
// gets its browser opened with them and closed after it: test(name, options, body(game)).
const tests = new Map();
function test(name, options, body) {
  if (!body) {
    tests.set(name, options);
    return;
  }
  tests.set(name, async () => {
    const game = await open(options);
    try {
      await body(game);
    } finally {
      await game.close();
    }
  });
}

module.exports = {open, compare, decodePng, expectLike, pixelAt, noProblems, sleep, test, tests,
                  assert};
