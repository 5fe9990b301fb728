// Measures search on a documentation site read from file:// in headless Chromium (Debian's
// /usr/bin/chromium), the way bench/site-search runs it:
//
//   node bench/site_search.mjs SITE_DIR [RUNS]
//
// 1. Load to first results: search.html?q=NAME is opened RUNS times (default 7), each in a new
//    browser context, for a type, a routine and a member; the time from the page's load event
//    until the results in the page hold NAME (the search index is loaded after the load event:
//    its first file and the part of the names under NAME's first letter, so this holds loading
//    and reading what the name needs, and the search).
// 2. Per keystroke: names from the index are typed letter by letter into the search box of a
//    class page, 200 keystrokes in all, once with the suggestions only and once on the search
//    page, which also lists up to 200 results; the time from each keydown to the results being
//    in the page. Prints the median, the 95th percentile and the maximum.

import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const require = createRequire(path.join(path.dirname(new URL(import.meta.url).pathname), '../tests/e2e/package.json'));
const { chromium } = require('playwright-core');
const { everyPartRead, partFile, readSearchIndex } = await import('../tests/e2e/search_index.mjs');

const [siteDir, runsText] = process.argv.slice(2);
if (!siteDir || !fs.existsSync(path.join(siteDir, 'search-index.js'))) {
  console.error('usage: node bench/site_search.mjs SITE_DIR [RUNS]');
  process.exit(2);
}
const runs = Number(runsText || 7);
const kKeystrokes = 200;

function quantile(values, q) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.ceil(q * sorted.length) - 1)];
}

// Names to search for, spread over the index: units, types, routines and members.
function pickNames() {
  const { names, letters } = readSearchIndex(siteDir);
  const picked = [];
  for (const rank of [0, 1, 2, 4, 1, 4, 1, 3]) {
    const ofRank = names[rank].split('\n').filter((n) => /^[A-Za-z]\w{4,}$/.test(n));
    for (let i = 0; i < 4 && ofRank.length; i++) picked.push(ofRank[Math.floor((ofRank.length * (2 * i + 1)) / 9)]);
  }
  const bytes = (file) => fs.statSync(path.join(siteDir, file)).size;
  const parts = [...letters].map((letter) => bytes(partFile(letter)));
  return { picked, size: bytes('search-index.js'), parts };
}

async function launch() {
  return chromium.launch({
    executablePath: process.env.GLOSSATOR_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking'],
  });
}

// Marks the load event and the first results of the search page that hold the name searched
// for: a list that does not have it yet does not count.
function watchFirstResults(query) {
  window.__bench = {};
  addEventListener('load', () => { window.__bench.load = performance.now(); });
  document.addEventListener('DOMContentLoaded', () => {
    const found = document.getElementById('g-found');
    new MutationObserver((changes, observer) => {
      const names = [...found.querySelectorAll('.r-name')].map((e) => e.textContent);
      if (!names.includes(query)) return;
      window.__bench.results = performance.now();
      observer.disconnect();
    }).observe(found, { childList: true, subtree: true });
  });
}

async function loadToResults(browser, query) {
  const times = [];
  for (let r = 0; r < runs; r++) {
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.addInitScript(watchFirstResults, query);
    await page.goto(`${pathToFileURL(path.join(siteDir, 'search.html')).href}?q=${encodeURIComponent(query)}`);
    await page.waitForFunction(() => window.__bench.results !== undefined, null, { timeout: 30000 });
    times.push(await page.evaluate(() => window.__bench.results - window.__bench.load));
    await context.close();
  }
  return times;
}

// Records, for each keydown, the time until the list it watches changes.
function watchKeystrokes(listId) {
  const list = document.getElementById(listId);
  const bench = window.__keys = { pending: null, times: [] };
  document.addEventListener('keydown', (event) => { bench.pending = event.timeStamp; }, true);
  new MutationObserver(() => {
    if (bench.pending === null) return;
    bench.times.push(performance.now() - bench.pending);
    bench.pending = null;
  }).observe(list, { childList: true });
}

async function keystrokes(browser, file, listId, names) {
  const page = await browser.newPage();
  await page.goto(pathToFileURL(path.join(siteDir, file)).href);
  await page.focus('#g-q');
  await page.keyboard.type('x');  // the index is read, every part of it, and the hump tables made
  await page.waitForFunction(everyPartRead, null, { timeout: 30000 });
  await page.waitForTimeout(500);
  await page.fill('#g-q', '');
  await page.evaluate(watchKeystrokes, listId);
  let typed = 0;
  for (let i = 0; typed < kKeystrokes; i++) {
    const name = names[i % names.length];
    for (const letter of name.slice(0, kKeystrokes - typed)) {
      await page.keyboard.type(letter);
      typed++;
      await page.waitForFunction(() => window.__keys.pending === null, null, { timeout: 10000 });
    }
    await page.fill('#g-q', '');
  }
  const times = await page.evaluate(() => window.__keys.times);
  await page.close();
  return times;
}

function report(label, times) {
  const f = (v) => v.toFixed(1).padStart(6);
  console.log(`${label}: median ${f(quantile(times, 0.5))} ms, p95 ${f(quantile(times, 0.95))} ms, ` +
              `max ${f(Math.max(...times))} ms (${times.length} samples)`);
}

const { picked, size, parts } = pickNames();
const units = fs.readdirSync(siteDir).filter((f) => f.endsWith('.html')).length;
const megabytes = (n) => (n / 1e6).toFixed(2);
console.log(`site ${siteDir}: ${units} pages, search-index.js ${megabytes(size)} MB, ${parts.length} ` +
            `parts of names, ${megabytes(parts.reduce((a, b) => a + b, 0))} MB, the largest ` +
            `${megabytes(Math.max(...parts))} MB`);
const browser = await launch();
try {
  // A type, a routine and a member.
  for (const query of [picked[4], picked[8], picked[12]]) {
    report(`load event to first results (search.html?q=${query})`, await loadToResults(browser, query));
  }
  const classPage = fs.readdirSync(siteDir).find((f) => /^[^.]+\.[^.]+\.html$/.test(f));
  report(`keystroke to suggestions (${classPage})`, await keystrokes(browser, classPage, 'g-results', picked));
  report('keystroke to search page results (search.html)', await keystrokes(browser, 'search.html', 'g-found', picked));
} finally {
  await browser.close();
}
