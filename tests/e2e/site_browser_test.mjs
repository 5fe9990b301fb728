// Reads the documentation site (--style=site) in headless Chromium the way readers do: follows
// every link, searches by name, works the search box with the keyboard alone, looks at each
// page 400 px wide, with the script off and in both themes, and has axe-core check every kind of
// page. Every request the pages make must stay inside the output folder.
//
//   node site_browser_test.mjs SITE_FIXTURE
//
// SITE_FIXTURE writes the fixture library's site (and, with --units, a made-up larger one). With
// the environment variable GLOSSATOR_SITE_DIR naming a folder, the tests read the site in that
// folder instead of the fixture's (the larger made-up site is still written and read). With
// GLOSSATOR_E2E_KEEP set, the work folder is kept for a look.

import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import { pathToFileURL } from 'node:url';
import vm from 'node:vm';

import { kChromium } from './docset.mjs';
import { readSearchIndex } from './search_index.mjs';

const require = createRequire(import.meta.url);
const [fixture] = process.argv.slice(2);
const externalDir = process.env.GLOSSATOR_SITE_DIR || '';

function fail(message) {
  console.error(`site browser test: ${message}`);
  process.exit(1);
}

if (!fixture || !fs.existsSync(fixture)) fail('usage: site_browser_test.mjs SITE_FIXTURE');
if (!fs.existsSync(kChromium)) fail(`no Chromium at ${kChromium}; install Debian's chromium`);
let playwright;
let axeSource;
try {
  playwright = await import('playwright-core');
  axeSource = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
} catch (error) {
  fail(`playwright-core or axe-core is missing (${error.code ?? error.message}); run npm ci in tests/e2e`);
}

// ---- The sites and what they hold --------------------------------------------------------------

function writeSite(dir, extra = []) {
  const run = spawnSync(fixture, [dir, ...extra], { encoding: 'utf8', timeout: 60000 });
  if (run.status !== 0) throw new Error(`site_fixture failed: ${run.stderr}${run.stdout}`);
}

// The search index as the pages read it, evaluated outside the browser: every entry with its
// name, rank and kind letter, and the files of the unit and class pages.
function readIndex(dir) {
  const data = readSearchIndex(dir);
  const digits = '0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_';
  const entries = [];
  data.names.forEach((names, rank) => {
    let at = 0;
    let e = 0;
    for (const name of names.split('\n').slice(0, -1)) {
      let count = digits.indexOf(data.sizes[rank][at]);
      if (data.sizes[rank][at] === '~') {
        count = [...data.sizes[rank].slice(at + 1, at + 4)].reduce((v, c) => v * 64 + digits.indexOf(c), 0);
        at += 3;
      }
      at++;
      for (let i = 0; i < count; i++, e++) entries.push({ name, rank, kind: data.info[rank][e * (data.w + 1)] });
    }
  });
  const pages = data.pages.split('\n').filter((line) => line).map((line) => {
    const [name, file] = line.split('\t');
    return [file ?? `${name}.html`, name];
  });
  const unitNames = new Set(entries.filter((e) => e.rank === 0).map((e) => e.name));
  return {
    entries,
    unitPages: pages.filter((p) => unitNames.has(p[1])).map((p) => p[0]),
    classPages: pages.filter((p) => !unitNames.has(p[1])).map((p) => p[0]),
  };
}

// The tags of a page, and the attributes of each: text never holds "<", so each "<" opens one.
function tagsOf(html) {
  const tags = [];
  for (const match of html.matchAll(/<([a-zA-Z][a-zA-Z0-9]*)([^>]*)>/g)) {
    const attributes = {};
    for (const a of match[2].matchAll(/([a-zA-Z-]+)(?:=(?:"([^"]*)"|([^\s>]+)))?/g)) {
      attributes[a[1].toLowerCase()] = a[2] ?? a[3] ?? '';
    }
    tags.push({ name: match[1].toLowerCase(), attributes });
  }
  return tags;
}

function htmlFiles(dir) {
  return fs.readdirSync(dir).filter((f) => f.endsWith('.html')).sort();
}

// ---- Browser -----------------------------------------------------------------------------------

let work;
let siteDir;
let bigDir;
let browser;
let context;
const outside = [];
const scriptErrors = [];

async function newPage(viewport = null) {
  const page = await context.newPage();
  if (viewport) await page.setViewportSize(viewport);
  page.on('pageerror', (error) => scriptErrors.push(`${page.url()}: ${error.message}`));
  return page;
}

function url(dir, file) {
  return pathToFileURL(path.join(dir, file)).href;
}

// Every request is let through only when it reads a file of one of the two sites.
async function guardRequests(target) {
  const allowed = [siteDir, bigDir].map((d) => pathToFileURL(d).href + '/');
  await target.route('**/*', (route) => {
    const requested = route.request().url();
    if (allowed.some((prefix) => requested.startsWith(prefix))) return route.continue();
    outside.push(requested);
    return route.abort();
  });
}

async function runAxe(page) {
  await page.evaluate(axeSource);
  return page.evaluate(async () => {
    const result = await window.axe.run(document, { resultTypes: ['violations'] });
    return result.violations.map((v) => `${v.id}: ${v.nodes.slice(0, 3).map((n) => n.target.join(' ')).join(' | ')}`);
  });
}

// The results the search page shows for a query, typed into its box.
async function searchResults(page, query) {
  await page.fill('#g-q', query);
  await page.waitForFunction((q) => document.getElementById('g-status').textContent.includes(q) &&
                                    document.getElementById('g-found').getAttribute('aria-busy') === 'false', query);
  return page.$$eval('#g-found a', (links) => links.map((a) => ({
    name: a.querySelector('.r-name').textContent, href: a.getAttribute('href'),
  })));
}

// ---- Picking search queries for any site ---------------------------------------------------------

function humpsOf(name) {
  const humps = [];
  for (let i = 0; i < name.length; i++) {
    const c = name[i];
    const starts = i === 0 || (c >= 'A' && c <= 'Z') || name[i - 1] === '_' ||
        (/[0-9]/.test(c) && !/[0-9]/.test(name[i - 1]));
    if (c === '_') continue;
    if (starts) humps.push(c); else humps[humps.length - 1] += c;
  }
  return humps;
}

// Whether a query matches a name in any of the four ways, written apart from site.js.
function matchesAnyWay(name, query) {
  const n = name.toLowerCase();
  const q = query.toLowerCase();
  if (n.includes(q)) return true;
  const parts = /[A-Z]/.test(query.slice(1)) ? query.split(/(?=[A-Z])/) : [...query];
  const humps = humpsOf(name);
  return parts.length <= humps.length &&
      parts.every((p, i) => humps[i].toLowerCase().startsWith(p.toLowerCase()));
}

// Queries of each kind that match at most five names in all, so that the name must be among
// the first five results whatever the order.
function selectiveQueries(entries, count) {
  const names = entries.map((e) => e.name);
  const rare = (query) => names.filter((n) => matchesAnyWay(n, query)).length <= 5;
  const chosen = [];
  const candidates = entries.filter((e) => e.rank === 1 && /^[A-Za-z_][A-Za-z0-9_]{5,}$/.test(e.name));
  const step = Math.max(1, Math.floor(candidates.length / (count * 4)));
  for (let i = 0; i < candidates.length && chosen.length < count; i += step) {
    const name = candidates[i].name;
    if (names.filter((n) => n.toLowerCase() === name.toLowerCase()).length > 1) continue;
    const humps = humpsOf(name);
    const queries = {
      exact: name,
      prefix: name.slice(0, name.length - 1),
      hump: humps.map((h) => h.slice(0, 2)).join(''),
      substring: name.slice(1, name.length - 1).toLowerCase(),
    };
    if (humps.length < 3 || !rare(queries.prefix) || !rare(queries.hump) || !rare(queries.substring)) continue;
    chosen.push({ name, queries });
  }
  return chosen;
}

// ---- The tests ---------------------------------------------------------------------------------

describe('documentation site', () => {
  let index;

  before(async () => {
    work = fs.mkdtempSync(path.join(os.tmpdir(), 'glossator-site-'));
    siteDir = externalDir ? path.resolve(externalDir) : path.join(work, 'fixture');
    if (!externalDir) writeSite(siteDir);
    bigDir = path.join(work, 'big');
    writeSite(bigDir, ['--units', '120', '--classes', '60', '--members', '400']);
    index = readIndex(siteDir);
    browser = await playwright.chromium.launch({
      executablePath: kChromium, headless: true,
      args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking'],
    });
    context = await browser.newContext({ viewport: { width: 1024, height: 700 } });
    context.setDefaultTimeout(15000);
    await guardRequests(context);
  });

  after(async () => {
    await browser?.close();
    if (process.env.GLOSSATOR_E2E_KEEP) console.log(`# the sites are kept in ${work}`);
    else if (work) fs.rmSync(work, { recursive: true, force: true });
    assert.deepEqual(outside, [], 'requests left the output folder');
    assert.deepEqual(scriptErrors, [], 'script errors');
  });

  it('resolves every link and anchor of every page', () => {
    for (const dir of [siteDir, bigDir]) {
      const ids = new Map();
      const files = htmlFiles(dir);
      const tags = new Map(files.map((f) => [f, tagsOf(fs.readFileSync(path.join(dir, f), 'utf8'))]));
      for (const [file, list] of tags) {
        const found = list.map((t) => t.attributes.id).filter(Boolean);
        ids.set(file, new Set(found));
        assert.equal(ids.get(file).size, found.length, `${file} holds an id twice`);
      }
      let checked = 0;
      for (const [file, list] of tags) {
        for (const tag of list) {
          const target = tag.attributes.href ?? tag.attributes.src;
          if (target === undefined || /^https?:/.test(target) && tag.attributes.class === 'src') continue;
          assert.ok(!/^[a-z]+:/i.test(target), `${file}: ${target} leaves the folder`);
          const [name, fragment] = target.split('#');
          const linked = name === '' ? file : decodeURIComponent(name);
          assert.ok(fs.existsSync(path.join(dir, linked)), `${file}: no file for ${target}`);
          if (fragment !== undefined && linked.endsWith('.html')) {
            assert.ok(ids.get(linked).has(decodeURIComponent(fragment)), `${file}: no anchor for ${target}`);
          }
          checked++;
        }
      }
      assert.ok(checked > 100, `only ${checked} links in ${dir}`);
    }
  });

  it('finds names by exact name, prefix, humps and substring among the first five', async () => {
    const page = await newPage();
    await page.goto(url(siteDir, 'search.html'));
    const cases = externalDir ? [] : [
      { name: 'TShapeHelper', queries: { exact: 'TShapeHelper', prefix: 'TShapeHel', hump: 'TSH', substring: 'apehelp' } },
      { name: 'MakeShape', queries: { exact: 'makeshape', prefix: 'MakeSh', hump: 'MaSh', substring: 'keshap' } },
      { name: 'TShapeKind', queries: { exact: 'TShapeKind', prefix: 'TShapeKi', hump: 'TSK', substring: 'apeki' } },
    ];
    cases.push(...selectiveQueries(index.entries, externalDir ? 8 : 2));
    assert.ok(cases.length >= 3, 'names to search for');
    for (const { name, queries } of cases) {
      for (const [how, query] of Object.entries(queries)) {
        const found = await searchResults(page, query);
        const names = found.slice(0, 5).map((r) => r.name);
        assert.ok(names.includes(name), `${how} "${query}" should find ${name}, found ${names.join(', ')}`);
      }
    }
    // Exact names come first, then the kinds in order: units, types, routines, members.
    if (!externalDir) {
      const exact = await searchResults(page, 'tshape');
      assert.equal(exact[0].name, 'TShape');
      const ranked = await searchResults(page, 'Shape');
      const first = ranked.map((r) => r.name);
      assert.equal(first[0], 'Shapes', 'the unit before its types');
      const results = await searchResults(page, 'Draw');
      assert.equal(results[0].name, 'Draw');
      assert.ok(results.findIndex((r) => r.name === 'Drawing') < results.findIndex((r) => r.name === 'OldDraw'),
        'prefix matches before substring matches');
      for (const r of results) assert.ok(fs.existsSync(path.join(siteDir, r.href.split('#')[0])));
    }
    await page.close();
  });

  it('works by keyboard alone: "/" to search, arrows, Enter', async () => {
    const page = await newPage();
    await page.goto(url(siteDir, index.unitPages[0]));
    await page.keyboard.press('/');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'g-q');
    const target = externalDir ? selectiveQueries(index.entries, 1)[0].name : 'MakeShape';
    await page.keyboard.type(target);
    await page.waitForSelector('#g-results li', { state: 'visible' });
    // The suggestions follow the typing: wait for those of the whole name.
    await page.waitForFunction(
      (n) => document.querySelector('#g-results [aria-selected=true] .r-name')?.textContent === n,
      target, { timeout: 15000 }).catch(() => {});
    const combobox = await page.evaluate(() => {
      const q = document.getElementById('g-q');
      return [q.getAttribute('aria-expanded'), q.getAttribute('aria-activedescendant')];
    });
    assert.deepEqual(combobox, ['true', 'g-r0']);
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('ArrowUp');
    const chosen = await page.$eval('#g-results [aria-selected=true] .r-name', (e) => e.textContent);
    assert.equal(chosen, target);
    await Promise.all([page.waitForEvent('load'), page.keyboard.press('Enter')]);
    assert.ok(decodeURIComponent(page.url()).includes(target), `Enter went to ${page.url()}`);
    // "s" too, from anywhere but a text field.
    await page.keyboard.press('s');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'g-q');
    await page.close();
  });

  it('fits 400 px wide without scrolling sideways, sidebar behind the Menu button', async () => {
    const page = await newPage({ width: 400, height: 800 });
    let files = htmlFiles(siteDir);
    if (files.length > 40) {
      const bySize = [...files].sort((a, b) => fs.statSync(path.join(siteDir, b)).size - fs.statSync(path.join(siteDir, a)).size);
      files = [...new Set(['index.html', 'hierarchy.html', 'search.html', ...bySize.filter((f) => !f.startsWith('names-')).slice(0, 12)])];
    }
    for (const file of files) {
      await page.goto(url(siteDir, file));
      const widths = await page.evaluate(() => [document.documentElement.scrollWidth, window.innerWidth]);
      assert.ok(widths[0] <= widths[1], `${file} is ${widths[0]} px wide`);
    }
    await page.goto(url(siteDir, 'index.html'));
    assert.equal(await page.isVisible('#g-side'), false);
    await page.click('#g-menu');
    assert.equal(await page.isVisible('#g-side'), true);
    assert.equal(await page.getAttribute('#g-menu', 'aria-expanded'), 'true');
    await page.close();
  });

  it('is readable with the script off', async () => {
    const off = await browser.newContext({ javaScriptEnabled: false, viewport: { width: 400, height: 800 } });
    await guardRequests(off);
    const page = await off.newPage();
    await page.goto(url(siteDir, index.classPages[0]));
    assert.equal(await page.isVisible('#g-side'), true, 'the sidebar follows the content');
    assert.equal(await page.$('#g-theme'), null, 'no toggle that cannot work');
    assert.ok((await page.textContent('main h1')).length > 0);
    const widths = await page.evaluate(() => [document.documentElement.scrollWidth, window.innerWidth]);
    assert.ok(widths[0] <= widths[1]);
    await off.close();
  });

  it('has no accessibility violations in either theme', async () => {
    // Pages of middle size stand for their kind; the largest would only make axe slow.
    const middle = (files) => {
      const sized = files.map((f) => [fs.statSync(path.join(siteDir, f)).size, f]).sort((a, b) => a[0] - b[0]);
      return sized[Math.floor(sized.length / 2)][1];
    };
    const unitPage = middle(index.unitPages);
    const classPage = middle(index.classPages);
    const query = externalDir ? index.entries.find((e) => e.rank === 1).name.slice(0, 3) : 'Shape';
    const pages = ['index.html', unitPage, classPage, `search.html?q=${query}`, 'hierarchy.html'];
    for (const colorScheme of ['light', 'dark']) {
      const page = await newPage();
      await page.emulateMedia({ colorScheme });
      for (const file of pages) {
        await page.goto(url(siteDir, file.split('?')[0]) + (file.includes('?') ? `?${file.split('?')[1]}` : ''));
        if (file.startsWith('search')) await page.waitForSelector('#g-found li');
        // A suggestion list open, too: its colours and roles count.
        if (file === unitPage) {
          await page.fill('#g-q', query);
          await page.waitForSelector('#g-results li', { state: 'visible' });
        }
        const violations = await runAxe(page);
        assert.deepEqual(violations, [], `${colorScheme} ${file}`);
      }
      await page.close();
    }
  });

  it('remembers the theme chosen with the toggle', async () => {
    const page = await newPage();
    await page.emulateMedia({ colorScheme: 'light' });
    await page.goto(url(siteDir, 'index.html'));
    const background = () => page.evaluate(() => getComputedStyle(document.body).backgroundColor);
    const light = await background();
    await page.click('#g-theme');
    assert.equal(await page.getAttribute('html', 'data-theme'), 'dark');
    assert.notEqual(await background(), light);
    await page.goto(url(siteDir, 'hierarchy.html'));
    assert.equal(await page.getAttribute('html', 'data-theme'), 'dark');
    assert.equal(await page.textContent('#g-theme'), 'Light theme');
    await page.click('#g-theme');
    assert.equal(await background(), light);
    await page.close();
  });

  it('lists every unit from units.js in a large set, and searches it', async () => {
    const page = await newPage();
    const big = readIndex(bigDir);
    const unitFile = big.unitPages[3];
    await page.goto(url(bigDir, unitFile));
    await page.click('#g-unit-list summary');
    await page.waitForFunction(() => document.querySelectorAll('#g-unit-list li').length > 120);
    assert.equal(await page.getAttribute(`#g-unit-list a[href="${unitFile}"]`, 'aria-current'), 'page');
    const name = big.entries.find((e) => e.rank === 4).name;
    await page.fill('#g-q', name);
    // The first suggestions wait for the part of the index that holds the name: it leads them.
    await page.waitForSelector('#g-results li', { state: 'visible' });
    assert.equal(await page.textContent('#g-results [aria-selected=true] .r-name'), name);
    await page.close();
  });
});
