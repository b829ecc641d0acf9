// The web page's weight and start-up: the size of the site folder (total, and gzip as a web
// server would send it), and the time from navigation to the six keys shown on the simulated
// keypad in headless chromium (median of several loads, each in a fresh browser context).
//   node bench/web_startup.mjs SITE_DIR [CHROMIUM] [RUNS]
import { readdir, readFile, stat } from 'node:fs/promises';
import { join } from 'node:path';
import { createRequire } from 'node:module';
import { gzipSync } from 'node:zlib';

// puppeteer-core is installed for the browser tests (tests/web, npm ci).
const require = createRequire(new URL('../tests/web/package.json', import.meta.url));
const puppeteer = require('puppeteer-core');
const { serveFolder } = await import('../tests/web/static_server.mjs');

const [site, chromium = '/usr/bin/chromium', runsText = '10'] = process.argv.slice(2);
const runs = Number(runsText);

async function files(folder) {
  const found = [];
  for (const entry of await readdir(folder, { withFileTypes: true })) {
    const path = join(folder, entry.name);
    if (entry.isDirectory()) found.push(...await files(path));
    else found.push(path);
  }
  return found;
}

let total = 0;
let gzipped = 0;
const all = await files(site);
for (const file of all) {
  total += (await stat(file)).size;
  gzipped += gzipSync(await readFile(file), { level: 9 }).length;
}
console.log(`site folder: ${all.length} files, ${(total / 1024).toFixed(1)} KiB, ` +
            `${(gzipped / 1024).toFixed(1)} KiB with gzip`);

// A simulated keypad whose six keys all hold something, kept in the browser as the page keeps it.
const memory = new Array(256).fill(0);
memory[90] = 0xfc;
for (let slot = 0; slot < 6; ++slot) memory.splice(slot * 15, 4, 0x01, 0, 0, 0x04 + slot);
const stored = memory.map((b) => b.toString(16).padStart(2, '0')).join('');

const server = await serveFolder(site);
const browser = await puppeteer.launch({ executablePath: chromium, headless: true,
                                         args: ['--no-sandbox', '--disable-gpu'] });
const times = [];
try {
  for (let run = 0; run < runs; ++run) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.evaluateOnNewDocument((value) => {
      localStorage.setItem('quillpad-config.simulated-keypad', value);
    }, stored);
    const started = performance.now();
    await page.goto(server.url, { waitUntil: 'domcontentloaded' });
    await page.waitForFunction(() => {
      const shown = window.QuillpadPage && QuillpadPage.text(1028);
      return shown && shown !== 'key6';
    }, { polling: 'raf' });
    times.push(performance.now() - started);
    await context.close();
  }
} finally {
  await browser.close();
  await server.close();
}
times.sort((a, b) => a - b);
const median = times[Math.floor(times.length / 2)];
console.log(`navigation to six keys shown (simulated keypad, headless chromium, ${runs} loads): ` +
            `median ${median.toFixed(0)} ms, fastest ${times[0].toFixed(0)} ms, ` +
            `slowest ${times[times.length - 1].toFixed(0)} ms`);
