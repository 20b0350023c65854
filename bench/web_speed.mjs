// Measures how fast the page's render thread composes frames in headless
// Chromium against how fast the same program runs natively headless, taken
// in turn so that both see the same machine: three rounds of the native
// capture tool's --benchmark rate, then the worker's rate over five seconds
// (its count of composed frames). Prints each round, the medians and their
// ratio, and the time from navigation to the page's first frame.
//
// Usage: node bench/web_speed.mjs URL PATH_TO_KARIDO_CAPTURE
//   with the page served by scripts/serve-web.sh, e.g.
//   scripts/serve-web.sh 8000 &
//   node bench/web_speed.mjs http://127.0.0.1:8000/karido.html build/default/tools/karido-capture
// Needs the page test's node packages (npm ci --prefix tests/e2e/web).
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';

const require = createRequire(new URL('../tests/e2e/web/package.json', import.meta.url));
const { chromium } = require('playwright-core');
const [url, capture] = process.argv.slice(2);
if (!url || !capture) {
  console.error('usage: node bench/web_speed.mjs URL PATH_TO_KARIDO_CAPTURE');
  process.exit(2);
}
const ROUNDS = 3;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const browser = await chromium.launch({
  executablePath: process.env.KARIDO_CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--no-first-run'],
});
const page = await browser.newPage();
await page.goto(url);
await page.waitForFunction(() => window.karido && window.karido.framesShown() > 0, null,
                           { timeout: 120_000 });
console.log(`first frame ${(await page.evaluate(() => window.karido.firstFrameAt())).toFixed(0)} ms after navigation`);

const native = [];
const worker = [];
for (let round = 1; round <= ROUNDS; ++round) {
  // The page's render thread keeps a core meanwhile: the machine is shared
  // alike in both measurements (on two cores each has one).
  const out = execFileSync(capture, ['--frames', '200000', '--benchmark'], { encoding: 'utf8' });
  const fps = Number(/([0-9.]+) frames per second/.exec(out)?.[1]);
  native.push(fps);
  worker.push(await page.evaluate(() => new Promise((done) => {
    const frames = window.karido.framesComposed();
    const start = performance.now();
    setTimeout(() => done((window.karido.framesComposed() - frames) * 1000 /
                          (performance.now() - start)), 5000);
  })));
  console.log(`round ${round}: native ${Math.round(native.at(-1))} fps, ` +
              `worker ${Math.round(worker.at(-1))} fps`);
}
await browser.close();
const n = median(native);
const w = median(worker);
console.log(`worker: ${Math.round(w)} fps, native headless: ${Math.round(n)} fps, ratio ${(w / n).toFixed(2)}`);
