// The page in a real, headless Chromium, driven like a person would: it loads
// cross-origin isolated and without errors, shows the field and the blue side
// panel, the program's own frame counter comes, Escape opens the item list
// and Down moves its cursor, Escape closes it, holding Z brings the message
// window, a click makes a number appear where it was made, the arrow keys do
// not scroll the page, and after a real key press the audio runs and a sound
// was played. Colours are read back from the canvas.
//
// Nothing waits for a fixed time: every step polls for what it needs, and
// GUARD_MS only ends a step that would otherwise hang.
//
// Usage: node page_e2e.mjs URL SCREENSHOT.png
// Prints one line a check, then "N passed, N failed"; exits 1 when any failed.
import { chromium } from 'playwright-core';

const [url, screenshotPath] = process.argv.slice(2);
if (!url || !screenshotPath) {
  console.error('usage: node page_e2e.mjs URL SCREENSHOT.png');
  process.exit(2);
}
const GUARD_MS = 60_000;
const CHROMIUM = process.env.KARIDO_CHROMIUM || '/usr/bin/chromium';

// Regions of the 384x256 canvas, as the desktop's end-to-end tests name them.
const FIELD = { x: 0, y: 0, w: 256, h: 256 };
const PANEL = { x: 256, y: 0, w: 128, h: 256 };
const COUNTER = { x: 260, y: 7, w: 61, h: 13 };
const STRIP = { x: 0, y: 192, w: 256, h: 64 };
const MESSAGE_TEXT = { x: 8, y: 200, w: 240, h: 36 };
const LIST = { x: 0, y: 0, w: 256, h: 192 };
const cursorCell = (line) => ({ x: 4, y: 6 + 12 * line, w: 12, h: 12 });
const CURSOR_WHITE = [20, 36];
const area = (r) => r.w * r.h;

let passed = 0;
let failed = 0;
let failureShot = null;  // takes a screenshot of the page as a check fails
async function check(ok, what) {
  if (ok) {
    passed += 1;
    console.log(`ok:   ${what}`);
  } else {
    failed += 1;
    console.log(`FAIL: ${what}`);
    if (failureShot) {
      const path = screenshotPath.replace(/\.png$/, '') + `-failure-${failed}.png`;
      await failureShot(path).catch(() => {});
      console.log(`      the page then: ${path}`);
    }
  }
  return ok;
}

const browser = await chromium.launch({
  executablePath: CHROMIUM,
  // Sound waits for a gesture, as in a browser a person uses.
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
let status = 1;
try {
  status = await run(browser);
} catch (error) {
  await check(false, `the test itself: ${error.message}`);
} finally {
  await browser.close();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 && status === 0 ? 0 : 1);

async function run(browser) {
  const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
  failureShot = (path) => page.screenshot({ path });
  // Reads the page without counting as a gesture of the person (Playwright's
  // own evaluate does count, and would let the audio start by itself).
  const cdp = await page.context().newCDPSession(page);
  const evaluate = async (fn, arg = null) => {
    const { result, exceptionDetails } = await cdp.send('Runtime.evaluate', {
      expression: `(${fn})(${JSON.stringify(arg)})`,
      awaitPromise: true, returnByValue: true, userGesture: false,
    });
    if (exceptionDetails) {
      throw new Error(exceptionDetails.exception?.description ?? exceptionDetails.text);
    }
    return result.value;
  };
  const nextFrame = () => evaluate(() => new Promise((done) => requestAnimationFrame(() => done())));
  const errors = [];
  page.on('pageerror', (error) => errors.push(`page error: ${error.message}`));
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(`console error: ${message.text()}`);
  });

  // Counts, in region r of the canvas, the pixels of each named colour
  // ("r,g,b"), the black ones and all the others.
  const colours = (r, named = []) => evaluate(([r, named]) => {
    const canvas = document.getElementById('canvas');
    const data = canvas.getContext('2d').getImageData(r.x, r.y, r.w, r.h).data;
    const counts = { black: 0, other: 0 };
    for (const name of named) counts[name] = 0;
    for (let i = 0; i < data.length; i += 4) {
      const name = `${data[i]},${data[i + 1]},${data[i + 2]}`;
      if (name in counts) counts[name] += 1;
      else if (name === '0,0,0') counts.black += 1;
      else counts.other += 1;
    }
    return counts;
  }, [r, named]);
  const count = async (r, rgb) => (await colours(r, [rgb]))[rgb];
  const BLUE = '0,0,255';
  const WHITE = '255,255,255';
  // Polls the canvas at each animation frame until predicate (in the page)
  // holds; false when the guard runs out.
  const until = async (predicate) => {
    const deadline = Date.now() + GUARD_MS;
    while (Date.now() < deadline) {
      if (await predicate()) return true;
      await nextFrame();
    }
    return false;
  };
  const windowOpen = async (r) => (await count(r, BLUE)) * 100 >= area(r) * 40;
  const fieldShown = async (r) => {
    const c = await colours(r);
    return c.other * 10 <= area(r);
  };
  // The largest sample the analyser that every sound goes through sees
  // within a second (0: silence all along).
  const outputPeak = () => evaluate(() => new Promise((done) => {
    const analyser = Module.karidoAudio.analyser;
    const samples = new Float32Array(analyser.fftSize);
    let best = 0;
    const end = performance.now() + 1000;
    const look = () => {
      analyser.getFloatTimeDomainData(samples);
      for (const s of samples) best = Math.max(best, Math.abs(s));
      if (best > 0 || performance.now() > end) done(best); else requestAnimationFrame(look);
    };
    look();
  }));
  // Presses key and holds it until predicate holds or 30 frames have been
  // shown (the program reads held keys once a frame: a press released before
  // the render thread ran a frame, as on a busy machine, is not seen), then
  // lets it go; false when 5 presses did not do it.
  const pressUntil = async (key, predicate) => {
    for (let press = 0; press < 5; ++press) {
      await page.keyboard.down(key);
      const shown = await evaluate(() => window.karido.framesShown());
      let done = false;
      while (!done && (await evaluate(() => window.karido.framesShown())) < shown + 30) {
        done = await predicate();
        if (!done) await nextFrame();
      }
      await page.keyboard.up(key);
      if (done) return true;
    }
    return false;
  };

  const started = Date.now();
  await page.goto(url);
  await check(await evaluate(() => window.crossOriginIsolated === true),
        'the page is cross-origin isolated');
  const running = await until(() => evaluate(() => window.karido.framesShown() > 0));
  if (!await check(running, 'the page shows frames')) return 1;
  const firstFrame = await evaluate(() => window.karido.firstFrameAt());
  console.log(`first frame ${firstFrame.toFixed(0)} ms after navigation ` +
              `(${Date.now() - started} ms by the test's clock)`);

  // The field and the panel, then the program's own counter.
  const panelBlue = await count(PANEL, BLUE);
  await check(panelBlue >= area(PANEL) * 0.3, `side panel blue (0,0,255): ${panelBlue} pixels`);
  const field = await colours(FIELD);
  await check(field.other >= 3 && field.other <= area(FIELD) / 10,
        `star field: ${field.other} non-black pixels`);
  await check(await until(async () => (await count(COUNTER, WHITE)) >= 8),
        'the frames-per-second counter is drawn');
  await check(await evaluate(() => window.karido.audioState()) === 'suspended',
        'before any gesture the audio is suspended');

  // The worker's rate, from the frames it composed over two seconds.
  const rate = await evaluate(() => new Promise((done) => {
    const frames = window.karido.framesComposed();
    const start = performance.now();
    setTimeout(() => done((window.karido.framesComposed() - frames) * 1000 /
                          (performance.now() - start)), 2000);
  }));
  console.log(`worker: ${Math.round(rate)} frames per second`);
  await check(rate > 0, 'the render thread composes frames');

  // A hidden tab: the render thread stands still, then goes on when the tab
  // shows again. (The page is told it is hidden as the browser tells it.)
  const setHidden = (hidden) => evaluate((hidden) => {
    Object.defineProperty(document, 'hidden', { configurable: true, get: () => hidden });
    Object.defineProperty(document, 'visibilityState',
                          { configurable: true, get: () => (hidden ? 'hidden' : 'visible') });
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  const composed = () => evaluate(() => window.karido.framesComposed());
  const frames = async (n) => { for (let i = 0; i < n; ++i) await nextFrame(); };
  await setHidden(true);
  // The frame under way ends: the count stands still over 5 refreshes.
  let hiddenFrom = await composed();
  await until(async () => {
    await frames(5);
    const now = await composed();
    const still = now === hiddenFrom;
    hiddenFrom = now;
    return still;
  });
  await frames(30);
  const hiddenTo = await composed();
  await check(hiddenTo === hiddenFrom,
              `hidden, the render thread waits (${hiddenTo - hiddenFrom} frames in 30 refreshes)`);
  await setHidden(false);
  await check(await until(async () => (await composed()) > hiddenTo),
              'shown again, it goes on');

  // A real key press takes the overlay away and lets the audio run: A, which
  // the game ignores (browsers do not count Escape as a person's gesture,
  // and an arrow would fly the ship off the field at this frame rate). Then
  // Escape opens the item list, with its sound.
  await page.keyboard.press('KeyA');
  await check(await until(() => evaluate(() => window.karido.audioState() === 'running')),
        'after a key press the audio context runs');
  await check(await evaluate(() => document.getElementById('start').hidden),
        'and the "click to start" overlay is gone');
  await check(await pressUntil('Escape', () => windowOpen(LIST)), 'Escape opens the item list (its blue)');
  await check(await until(() => evaluate(() => window.karido.soundsStarted() > 0)),
        'a sound was started');
  const peak = await outputPeak();
  // The sound may have ended before the analyser was read: then the list's
  // sound again, with a key (Down moves the cursor and clicks).
  const cursorWhite = (line) => count(cursorCell(line), WHITE);
  const onLine = async (line, other) => {
    const here = await cursorWhite(line);
    return here >= CURSOR_WHITE[0] && here <= CURSOR_WHITE[1] && (await cursorWhite(other)) <= 2;
  };
  await check(await until(() => onLine(0, 1)), 'the cursor is on the first line');
  await check(await pressUntil('ArrowDown', () => onLine(1, 0)),
        'Down moves the cursor to the second line');
  const peakAfter = peak > 0 ? peak : await outputPeak();
  await check(peakAfter > 0.01, `the sound reached the output (peak ${peakAfter.toFixed(3)})`);
  await check(await pressUntil('Escape', () => fieldShown(LIST)),
        'Escape closes the item list (the field again)');

  // Holding Z fires until the shots run out and the message window opens;
  // while Z is held every frame without a free shot starts the message over,
  // so its text types out once Z is let go.
  await page.keyboard.down('z');
  await check(await until(() => windowOpen(STRIP)), 'holding Z brings the message window');
  await page.keyboard.up('z');
  await check(await until(async () => (await windowOpen(STRIP)) && (await count(MESSAGE_TEXT, WHITE)) >= 16),
        'and its text types out');
  // X completes the message and closes it.
  await check(await pressUntil('x', () => fieldShown(STRIP)), 'X closes the message window');
  await check(await fieldShown(LIST), 'and the field shows (no item list)');

  // A click: a number where it was made (its white digits, at its place).
  const box = await page.locator('#canvas').boundingBox();
  const at = { x: 100, y: 120 };
  const digits = { x: at.x, y: at.y - 15, w: 30, h: 28 };
  // The number lives 32 composed frames, a blink at the worker's rate: the
  // page shows the first frame composed after the click, once. Every frame
  // put on the canvas is looked at.
  await evaluate((r) => {
    const context = document.getElementById('canvas').getContext('2d');
    const put = context.putImageData;
    window.digitsWhite = [];
    context.putImageData = function (...args) {
      put.apply(this, args);
      const data = this.getImageData(r.x, r.y, r.w, r.h).data;
      let white = 0;
      for (let i = 0; i < data.length; i += 4) {
        if (data[i] === 255 && data[i + 1] === 255 && data[i + 2] === 255) white += 1;
      }
      window.digitsWhite.push(white);
    };
  }, digits);
  const mostWhite = () => evaluate(() => Math.max(0, ...window.digitsWhite));
  await until(() => evaluate(() => window.digitsWhite.length >= 10));
  const before = await mostWhite();
  await evaluate(() => { window.digitsWhite = []; });
  await page.mouse.click(box.x + (at.x + 0.5) * box.width / 384,
                         box.y + (at.y + 0.5) * box.height / 256);
  let seen = 0;
  const appeared = await until(async () => {
    seen = await mostWhite();
    return seen >= 8;
  });
  await check(appeared && before < 8,
        `a click at (${at.x},${at.y}) shows a number there: ${seen} white pixels ` +
        `(at most ${before} in the 10 frames before)`);

  // The page as a person first sees it once it runs.
  await page.screenshot({ path: screenshotPath });

  // The arrow keys and Space do not scroll a page that can scroll.
  await page.setViewportSize({ width: 420, height: 220 });
  const scrollable = await evaluate(
    () => document.scrollingElement.scrollHeight > window.innerHeight);
  await check(scrollable, 'in a small window the page can scroll');
  for (const key of ['ArrowDown', 'ArrowDown', 'Space', 'PageDown', 'ArrowRight']) {
    await page.keyboard.press(key);
  }
  await nextFrame();
  const scrolled = await evaluate(() => [window.scrollX, window.scrollY]);
  await check(scrolled[0] === 0 && scrolled[1] === 0,
        `the keys left the page unscrolled (at ${scrolled.join(',')})`);

  await check(errors.length === 0, `no errors on the page${errors.length ? ': ' + errors.join('; ') : ''}`);
  console.log(`at the end: ${await evaluate(() => window.karido.framesComposed())} frames ` +
              `composed, ${await evaluate(() => window.karido.framesShown())} shown`);
  return 0;
}
