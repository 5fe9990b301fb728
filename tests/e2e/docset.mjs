// Helpers of the browser test: documenting the example project with glossator, starting Chromium,
// following links inside the frameset, and walking every page of a documentation set.

import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

// Debian's Chromium; Playwright's own browser download needs the internet, which CI lacks.
export const kChromium = process.env.GLOSSATOR_CHROMIUM || '/usr/bin/chromium';

const kChromiumArgs = [
  '--no-sandbox',
  '--disable-gpu',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

// Loads playwright-core, or ends the process with a message that says how to get it.
export async function loadPlaywright() {
  try {
    return await import('playwright-core');
  } catch (error) {
    fail(`playwright-core could not be loaded (${error.code ?? error.message}).\n` +
         'Install it with `scripts/install-deps browser`, or `npm ci` in tests/e2e.');
  }
}

// Ends the process at once; used for a set-up that cannot work at all, before any test ran.
export function fail(message) {
  console.error(`docset browser test: ${message}`);
  process.exit(1);
}

export function requireChromium() {
  if (!fs.existsSync(kChromium)) {
    fail(`no Chromium at ${kChromium}.\n` +
         'Install it with `scripts/install-deps browser` (Debian package chromium).');
  }
}

// A temporary folder for one test run: the selection file, the output set, the browser profile.
export function makeWorkFolder() {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'glossator-e2e-'));
}

// Writes a selection file for the example units with absolute paths and runs glossator in batch
// mode on it. Returns the output folder and what the program printed.
export function documentExample(glossator, sourceDir, work) {
  const examples = path.join(sourceDir, 'examples');
  const outDir = path.join(work, 'out');
  fs.mkdirSync(outDir);
  const units = ['shapes.pas', 'geometry.pas', 'drawing.pas'];
  const selection = [
    '[FILES]',
    ...units.map((unit, i) => `File${i}=${path.join(examples, unit)}`),
    '[SETUP]',
    `OutputDir=${outDir}`,
    `DescriptFile=${path.join(examples, 'description.html')}`,
    'MenubarFile=',
    'ParsePrivate=0',
    'DebugMode=0',
    '',
  ].join('\n');
  const gls = path.join(work, 'example.gls');
  fs.writeFileSync(gls, selection);
  const run = spawnSync(glossator, ['-p', gls, '-b'], { cwd: work, encoding: 'utf8', timeout: 20000 });
  return { outDir, status: run.status, signal: run.signal, error: run.error,
           output: `${run.stdout ?? ''}${run.stderr ?? ''}` };
}

// Starts headless Chromium with a profile of its own inside the work folder.
export async function launchBrowser(playwright, work) {
  const profile = path.join(work, 'profile');
  fs.mkdirSync(profile);
  const context = await playwright.chromium.launchPersistentContext(profile, {
    executablePath: kChromium,
    headless: true,
    args: kChromiumArgs,
    viewport: { width: 1024, height: 640 },
  });
  context.setDefaultTimeout(5000);
  const page = context.pages()[0] ?? (await context.newPage());
  return { context, page };
}

export function fileUrl(file) {
  return pathToFileURL(file).href;
}

// The file name of a file:// URL without its fragment ("…/out/TShape.html#3" ⇒ "TShape.html").
export function baseName(url) {
  return path.basename(filePathOf(url).toString('latin1'));
}

export function stripHash(url) {
  const u = new URL(url);
  u.hash = '';
  return u.href;
}

export function hashOf(url) {
  return decodeURIComponent(new URL(url).hash.slice(1));
}

export function frameNamed(page, name) {
  const frame = page.frame({ name });
  if (!frame) throw new Error(`the frameset has no frame "${name}"`);
  return frame;
}

// Clicks a link and waits until some frame of the page has navigated and loaded. Returns the
// frame that navigated, so that the caller can check that the link went where it should.
export async function clickAndFollow(page, link) {
  const navigated = page.waitForEvent('framenavigated');
  await link.click();
  const frame = await navigated;
  await frame.waitForLoadState('load');
  return frame;
}

// Where a named anchor sits after a jump: "top" is its distance from the top of the frame's
// viewport; a page too short to scroll that far counts as in place when it is scrolled to the end.
export async function anchorPlacement(frame, name) {
  return frame.evaluate(async (anchor) => {
    await new Promise((resolve) => requestAnimationFrame(() => resolve()));
    const target = document.getElementsByName(anchor)[0] ?? document.getElementById(anchor);
    if (!target) return { found: false };
    const scroller = document.scrollingElement ?? document.body;
    const top = target.getBoundingClientRect().top;
    const atEnd = scroller.scrollTop >= scroller.scrollHeight - innerHeight - 1;
    return { found: true, top, inPlace: Math.abs(top) <= 2 || (atEnd && top >= 0 && top < innerHeight) };
  }, name);
}

// What a reader finds on one page: its heading, links (frames count as links), images, anchors.
function readPage() {
  const link = (element, href, text) => ({
    href,
    url: new URL(href, document.baseURI).href,
    text,
    inDiagram: element.closest('pre') !== null,
  });
  return {
    heading: document.querySelector('h2')?.textContent.trim() ?? '',
    links: [
      ...[...document.querySelectorAll('a[href]')].map((a) => link(a, a.getAttribute('href'), a.textContent.trim())),
      ...[...document.querySelectorAll('frame[src], iframe[src]')].map((f) => link(f, f.getAttribute('src'), `frame ${f.name}`)),
    ],
    images: [...document.images].map((img) => ({ src: img.getAttribute('src'), url: img.src, loaded: img.complete && img.naturalWidth > 0 })),
    anchors: [...document.querySelectorAll('a[name], [id]')].map((e) => e.getAttribute('name') ?? e.id),
  };
}

// Why a link to a missing file is no fault of the set, or null when it is one. Three kinds of link
// point outside the set by design: a link to a name holding "/", whose page the run refuses; an
// ancestor in a class diagram that no listed unit declares (TObject, TPersistent, …); and the
// class page's link to its unit's source file, which the run never copies. "documented" holds the class names of the class index: a diagram link to one of
// those must work.
export function knownException(page, link, documented) {
  const target = hrefText(link.href);
  // A page name holding "/" is refused by the run; a link to it cannot lead anywhere.
  if (target === `${link.text}.html` && link.text.includes('/')) return 'name holds "/"';
  if (!page.heading.startsWith('Class:')) return null;
  if (link.inDiagram && target === `${link.text}.html` && !documented.has(link.text)) {
    return 'undocumented ancestor';
  }
  if (target.endsWith('.pas') && link.text === `(${target})`) return 'unit source';
  return null;
}

// A link target as the name it was written from: percent escapes decoded byte by byte, each byte
// read as one character (names are single-byte text, like the link texts beside them).
export function hrefText(href) {
  return percentBytes(href).toString('latin1');
}

function percentBytes(text) {
  const bytes = [];
  for (let i = 0; i < text.length; i++) {
    if (text[i] === '%' && /^[0-9A-Fa-f]{2}$/.test(text.slice(i + 1, i + 3))) {
      bytes.push(parseInt(text.slice(i + 1, i + 3), 16));
      i += 2;
    } else {
      bytes.push(...Buffer.from(text[i], 'latin1'));
    }
  }
  return Buffer.from(bytes);
}

// The file a file:// URL names, as the raw bytes the browser opens: page names may hold bytes
// that are no UTF-8, which a string path cannot carry.
export function filePathOf(url) {
  return percentBytes(new URL(stripHash(url)).pathname);
}

// Opens every page that can be reached from the start pages, in a reader's order, and records what
// each one holds. Returns pages by file name, and the faults and known exceptions of the links.
// `waitUntil` is the load state awaited per page ("load" to see its images).
export async function walkSet(page, outDir, startPages, waitUntil = 'load') {
  const pages = new Map();
  const queue = startPages.map((name) => fileUrl(path.join(outDir, name)));
  const outPrefix = fileUrl(outDir) + '/';
  const result = { pages, brokenLinks: [], exceptions: [], scriptLinks: 0, externalLinks: 0, localLinks: 0 };
  const missing = [];
  while (queue.length > 0) {
    const url = queue.shift();
    const name = baseName(url);
    if (pages.has(name)) continue;
    await page.goto(url, { waitUntil });
    const content = await page.evaluate(readPage);
    pages.set(name, content);
    for (const link of content.links) {
      const target = new URL(link.url);
      if (target.protocol === 'javascript:') {
        result.scriptLinks++;
        continue;
      }
      if (target.protocol !== 'file:') {
        result.externalLinks++;
        continue;
      }
      result.localLinks++;
      const file = filePathOf(link.url);
      if (!stripHash(link.url).startsWith(outPrefix)) {
        const why = knownException(content, link, new Set());
        const where = { page: name, href: link.href, text: link.text };
        if (why) result.exceptions.push({ ...where, why });
        else result.brokenLinks.push({ ...where, why: 'leaves the output folder' });
      } else if (!fs.existsSync(file)) {
        missing.push({ content, name, link });
      } else if (file.toString('latin1').endsWith('.html')) {
        queue.push(stripHash(link.url));
      }
    }
  }
  // Only the whole walk knows the class index, which tells an undocumented ancestor from a
  // documented one whose page is missing.
  const classIndex = pages.get('index-class.html');
  const documented = new Set(classIndex ? classIndex.links.map((l) => l.text) : []);
  for (const { content, name, link } of missing) {
    const where = { page: name, href: link.href, text: link.text };
    const why = knownException(content, link, documented);
    if (why) result.exceptions.push({ ...where, why });
    else result.brokenLinks.push({ ...where, why: 'no such file' });
  }
  return result;
}

// The links of the walked set whose fragment names no anchor on the target page.
export function missingAnchors(walk) {
  const missing = [];
  for (const [name, content] of walk.pages) {
    for (const link of content.links) {
      if (!link.url.startsWith('file:') || !new URL(link.url).hash) continue;
      const target = walk.pages.get(baseName(link.url));
      if (target && !target.anchors.includes(hashOf(link.url))) {
        missing.push({ page: name, href: link.href, text: link.text });
      }
    }
  }
  return missing;
}

export function describeLinks(links) {
  return links.map((l) => `${l.page}: ${l.href} "${l.text}"${l.why ? ` (${l.why})` : ''}`).join('\n');
}
