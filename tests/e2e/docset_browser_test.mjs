// Reads the documentation set of the example project in headless Chromium the way a reader does:
// through the frameset, the menu bar, the indexes, the class diagrams and the member summaries;
// then opens every page of the set and checks its images and links.
//
//   node docset_browser_test.mjs GLOSSATOR SOURCE_DIR [--screenshots DIR]
//
// With --screenshots it also saves the frameset showing the class index (class-index.png) and
// the page of TCircle (class-page.png) into DIR, as shown in the README. With the environment
// variable GLOSSATOR_E2E_KEEP set, the work folder with the output set is kept for a look.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, beforeEach, describe, it } from 'node:test';

import {
  anchorPlacement, baseName, clickAndFollow, describeLinks, documentExample, fail, fileUrl,
  frameNamed, hashOf, launchBrowser, loadPlaywright, makeWorkFolder, missingAnchors,
  requireChromium, walkSet,
} from './docset.mjs';

const [glossator, sourceDir, ...options] = process.argv.slice(2);
if (!glossator || !sourceDir) fail('usage: docset_browser_test.mjs GLOSSATOR SOURCE_DIR [--screenshots DIR]');
const screenshotDir = options[0] === '--screenshots' ? path.resolve(options[1] ?? '.') : null;
if (!fs.existsSync(glossator)) fail(`no program at ${glossator}`);
requireChromium();
const playwright = await loadPlaywright();

// What the example project declares, in index order.
const kUnits = ['Drawing', 'Geometry', 'Shapes'];
const kClasses = ['TCircle', 'TDrawing', 'TRectangle', 'TShape', 'TUndoDrawing'];
const kFunctions = ['CircleArea', 'Distance', 'MakeShape', 'Perimeter', 'Radians', 'ResetCounters'];
const kConstants = ['DefaultName', 'FormatVersion', 'MaxCorners', 'TwoPi'];
const kPictures = [
  'constructors.gif', 'methods.gif', 'property.gif', 'functions.gif', 'functions_big.gif',
  'private.gif', 'private_big.gif', 'protected.gif', 'protected_big.gif', 'public.gif', 'public_big.gif',
];

// The menu bar's links: text, the page it loads into "main", that page's heading.
const kIndexLinks = [
  ['Unit-Index', 'index-unit.html', 'Unit Index'],
  ['Class-Index', 'index-class.html', 'Class Index'],
  ['Function-Index', 'index-function.html', 'Function Index'],
  ['Constant-Index', 'index-constant.html', 'Constant Index'],
];

const summary = { navigations: 0, memberJumps: 0, anchorJumps: 0, ancestorLinks: 0 };
const scriptErrors = [];
let work;
let outDir;
let browser;
let page;

async function openFrameset() {
  await page.goto(fileUrl(path.join(outDir, 'index.html')), { waitUntil: 'load' });
}

// Clicks a link of the menu bar and returns the frame that navigated.
async function followMenu(text) {
  const link = frameNamed(page, 'menue').getByRole('link', { name: text, exact: true });
  summary.navigations++;
  return clickAndFollow(page, link);
}

// Clicks a link in the content frame and returns the frame that navigated.
async function followInMain(link) {
  summary.navigations++;
  return clickAndFollow(page, link);
}

function heading(frame, tag = 'h2') {
  return frame.locator(tag).first().innerText();
}

// The entries of the index page shown in "main": link texts and targets, in page order.
async function indexEntries(menuText) {
  const frame = await followMenu(menuText);
  return frame.locator('dt a').evaluateAll((links) =>
    links.map((a) => ({ text: a.textContent.trim(), href: a.getAttribute('href') })));
}

// Opens entry i of an index page in "main", as a reader picks it from the list.
async function openIndexEntry(menuText, i) {
  const index = await followMenu(menuText);
  return followInMain(index.locator('dt a').nth(i));
}

// The text of the first element of the given tag after the named anchor.
function textAfterAnchor(frame, name, tag) {
  return frame.evaluate(([anchor, element]) => {
    const a = document.getElementsByName(anchor)[0];
    if (!a) return null;
    const next = document.evaluate(`following::${element}[1]`, a, null,
                                   XPathResult.FIRST_ORDERED_NODE_TYPE, null).singleNodeValue;
    if (!next) return null;
    return element === 'img' ? next.getAttribute('src') : next.textContent.trim();
  }, [name, tag]);
}

// The ancestor diagram of the class page shown in a frame: its links and its last line.
function readDiagram(frame) {
  return frame.locator('pre').first().evaluate((pre) => ({
    links: [...pre.querySelectorAll('a')].map((a) => ({ text: a.textContent.trim(), href: a.getAttribute('href') })),
    lastLine: pre.textContent.split(/[\r\n]+/).map((l) => l.trim()).filter((l) => l).pop() ?? '',
    lastLineLinked: pre.lastElementChild !== null &&
                    pre.textContent.trimEnd().endsWith(pre.lastElementChild.textContent),
  }));
}

function printSummary(walk) {
  if (!walk) return;
  const all = [...walk.pages.values()];
  const images = all.flatMap((p) => p.images);
  const distinct = (list) => new Set(list).size;
  console.log([
    'Checked:',
    `  ${walk.pages.size} pages opened; ${walk.localLinks} local links ` +
      `(${distinct(all.flatMap((p) => p.links.map((l) => l.href)))} distinct targets), ` +
      `${walk.scriptLinks} script link, ${walk.externalLinks} external links`,
    `  ${images.length} images (${distinct(images.map((i) => i.src))} distinct pictures), all loaded: ` +
      `${images.every((i) => i.loaded)}`,
    `  ${summary.navigations} clicks in the frameset: ${summary.anchorJumps} index entries to their anchors, ` +
      `${summary.memberJumps} member summaries to their details, ${summary.ancestorLinks} diagram links`,
    `  ${walk.exceptions.length} links to known exceptions (not failures): ` +
      [...new Set(walk.exceptions.map((e) => `${e.href} (${e.why})`))].sort().join(', '),
  ].join('\n'));
}

describe('documentation set of the example project', () => {
  before(async () => {
    work = makeWorkFolder();
    const run = documentExample(glossator, sourceDir, work);
    assert.equal(run.error, undefined, `glossator did not start: ${run.error}`);
    assert.equal(run.status, 0, `glossator -b failed (${run.signal ?? run.status}):\n${run.output}`);
    outDir = run.outDir;
    browser = await launchBrowser(playwright, work);
    page = browser.page;
    page.on('pageerror', (error) => scriptErrors.push(`${page.url()}: ${error.message}`));
  });

  after(async () => {
    await browser?.context.close();
    if (!work) return;
    if (process.env.GLOSSATOR_E2E_KEEP) console.log(`# the output set is kept in ${outDir}`);
    else fs.rmSync(work, { recursive: true, force: true });
  });

  describe('the batch run', () => {
    it('writes the frameset, the menu bar, the legend, every page and every picture', () => {
      const expected = [
        'index.html', 'menuebar.html', 'legend.html', 'description.html',
        ...kIndexLinks.map(([, file]) => file),
        ...kUnits.map((u) => `${u}.html`), ...kClasses.map((c) => `${c}.html`), ...kPictures,
      ];
      const missing = expected.filter((f) => !fs.existsSync(path.join(outDir, f)));
      assert.deepEqual(missing, [], 'files missing from the output set');
    });

    it('copies the description page unchanged', () => {
      const source = fs.readFileSync(path.join(sourceDir, 'examples', 'description.html'));
      assert.ok(source.equals(fs.readFileSync(path.join(outDir, 'description.html'))),
                'description.html in the output folder differs from the example\'s');
    });
  });

  // Each test starts from a freshly opened frameset, so that one failure does not leave the next
  // test in the wrong place.
  describe('the frameset', () => {
    beforeEach(openFrameset);

    it('shows the menu bar in frame "menue" and the description in frame "main"', async () => {
      const menue = frameNamed(page, 'menue');
      const main = frameNamed(page, 'main');
      assert.equal(baseName(menue.url()), 'menuebar.html');
      assert.equal(baseName(main.url()), 'description.html');
      assert.deepEqual(await menue.locator('a').allInnerTexts(),
                       ['Unit-Index', 'Class-Index', 'Function-Index', 'Constant-Index', 'Description', 'Legend']);
      assert.equal(await heading(main, 'h1'), 'Drawing demo');

      // The menu bar is the thin strip on top, the content frame takes the rest of the window.
      const menueBox = await page.locator('frame[name=menue]').boundingBox();
      const mainBox = await page.locator('frame[name=main]').boundingBox();
      assert.ok(menueBox.height >= 30 && menueBox.height <= 40, `menu bar is ${menueBox.height}px high`);
      assert.ok(mainBox.y >= menueBox.y + menueBox.height - 1, 'content frame is not below the menu bar');
      assert.ok(mainBox.height > 500, `content frame is only ${mainBox.height}px high`);
    });

    it('loads each index page of the menu bar into "main"', async () => {
      for (const [text, file, title] of kIndexLinks) {
        const frame = await followMenu(text);
        assert.equal(frame.name(), 'main', `${text} loaded into the wrong frame`);
        assert.equal(baseName(frame.url()), file, text);
        assert.equal(await heading(frame), title, text);
        assert.equal(baseName(page.url()), 'index.html', `${text} replaced the frameset`);
        assert.equal(baseName(frameNamed(page, 'menue').url()), 'menuebar.html', `${text} replaced the menu bar`);
      }
    });

    it('reloads the whole frameset from "Description"', async () => {
      await followMenu('Class-Index');
      await page.evaluate(() => { window.beforeReload = true; });
      const loaded = page.waitForEvent('load');
      await frameNamed(page, 'menue').getByRole('link', { name: 'Description', exact: true }).click();
      await loaded;
      summary.navigations++;
      assert.equal(await page.evaluate(() => window.beforeReload), undefined, 'the frameset was not reloaded');
      assert.equal(baseName(page.url()), 'index.html');
      assert.equal(baseName(frameNamed(page, 'main').url()), 'description.html');
      assert.equal(baseName(frameNamed(page, 'menue').url()), 'menuebar.html');
    });

    it('opens the legend in a small window of its own', async () => {
      const opened = browser.context.waitForEvent('page');
      await frameNamed(page, 'menue').getByRole('link', { name: 'Legend', exact: true }).click();
      const legend = await opened;
      await legend.waitForLoadState('load');
      try {
        assert.equal(baseName(legend.url()), 'legend.html');
        const look = await legend.evaluate(() => ({
          name: window.name,
          width: innerWidth,
          height: innerHeight,
          hasOpener: window.opener !== null,
          rows: [...document.querySelectorAll('td')].map((td) => td.textContent.trim()).filter((t) => t),
          images: [...document.images].map((img) => ({ src: img.getAttribute('src'), ok: img.naturalWidth > 0 })),
        }));
        assert.equal(look.name, 'legendWindow');
        assert.ok(look.hasOpener, 'the legend is not a window opened by the menu bar');
        assert.ok(look.width <= 120 && look.height <= 120, `legend window is ${look.width}×${look.height}`);
        // The example is documented without private members, so the legend has no private row.
        assert.deepEqual(look.rows, ['Functions', 'Protected', 'Public']);
        assert.deepEqual(look.images, ['functions.gif', 'protected.gif', 'public.gif'].map((src) => ({ src, ok: true })));
        assert.equal(baseName(page.url()), 'index.html', 'the frameset left its window');
      } finally {
        await legend.close();
      }
      assert.deepEqual(scriptErrors, [], 'script errors in the frameset');
    });
  });

  describe('from the indexes', () => {
    beforeEach(openFrameset);

    it('reaches every unit page from the unit index', async () => {
      const entries = await indexEntries('Unit-Index');
      assert.deepEqual(entries.map((e) => e.text), kUnits);
      for (const [i, unit] of kUnits.entries()) {
        const frame = await openIndexEntry('Unit-Index', i);
        assert.equal(frame.name(), 'main');
        assert.equal(baseName(frame.url()), `${unit}.html`);
        assert.equal(await heading(frame), `Unit: ${unit}`);
      }
    });

    it('opens every class page from the class index', async () => {
      const entries = await indexEntries('Class-Index');
      assert.deepEqual(entries.map((e) => e.text), kClasses);
      for (const [i, cls] of kClasses.entries()) {
        const frame = await openIndexEntry('Class-Index', i);
        assert.equal(frame.name(), 'main');
        assert.equal(baseName(frame.url()), `${cls}.html`);
        assert.equal(await heading(frame), `Class: ${cls}`);
      }
    });

    // Each entry of the function or constant index must land on its anchor on the page of the
    // unit that declares it; "declaration" tells whether the text after the anchor documents it.
    async function checkAnchorEntries(menuText, expected, declaration) {
      const entries = await indexEntries(menuText);
      assert.deepEqual(entries.map((e) => e.text), expected);
      for (const [i, entry] of entries.entries()) {
        const unit = entry.href.split('#')[0].replace(/\.html$/, '');
        assert.ok(kUnits.includes(unit), `${entry.text} links to ${entry.href}, not to a unit page`);
        const frame = await openIndexEntry(menuText, i);
        summary.anchorJumps++;
        assert.equal(baseName(frame.url()), `${unit}.html`, entry.text);
        assert.equal(hashOf(frame.url()), entry.text);
        assert.equal(await heading(frame), `Unit: ${unit}`, entry.text);
        const placement = await anchorPlacement(frame, entry.text);
        assert.ok(placement.found, `${unit}.html has no anchor ${entry.text}`);
        assert.ok(placement.inPlace, `${unit}.html#${entry.text} is ${placement.top}px from the top`);
        const documented = await textAfterAnchor(frame, entry.text, 'dt');
        assert.ok(declaration(entry.text).test(documented ?? ''),
                  `anchor ${entry.text} on ${unit}.html is followed by "${documented}"`);
      }
    }

    it('reaches the anchor of every function on its unit page', () =>
      checkAnchorEntries('Function-Index', kFunctions,
                         (name) => new RegExp(`^(function|procedure) ${name}\\b`)));

    it('reaches the anchor of every constant on its unit page', () =>
      checkAnchorEntries('Constant-Index', kConstants, (name) => new RegExp(`^${name} =`)));
  });

  describe('class pages', () => {
    const diagrams = new Map();

    beforeEach(openFrameset);

    async function openClass(cls) {
      const index = await followMenu('Class-Index');
      return followInMain(index.getByRole('link', { name: cls, exact: true }));
    }

    it('links the ancestor diagram to the pages of documented ancestors', async () => {
      for (const cls of kClasses) {
        let frame = await openClass(cls);
        const diagram = await readDiagram(frame);
        diagrams.set(cls, diagram);
        assert.ok(diagram.links.length > 0, `${cls} shows no ancestor`);
        assert.equal(diagram.lastLine, cls, `the diagram of ${cls} does not end with the class`);
        assert.ok(!diagram.lastLineLinked, `the diagram of ${cls} links the class itself`);
        for (const [i, ancestor] of diagram.links.entries()) {
          assert.equal(ancestor.href, `${ancestor.text}.html`, `diagram of ${cls}`);
          if (!kClasses.includes(ancestor.text)) continue; // undocumented: the walk below reports it
          summary.ancestorLinks++;
          const target = await followInMain(frame.locator('pre a').nth(i));
          assert.equal(baseName(target.url()), ancestor.href, `diagram of ${cls}`);
          assert.equal(await heading(target), `Class: ${ancestor.text}`);
          frame = await openClass(cls);
        }
      }
      // A documented ancestor's own diagram is the upper part of its descendant's.
      for (const [cls, diagram] of diagrams) {
        const parent = diagram.links.at(-1).text;
        if (!diagrams.has(parent)) continue;
        assert.deepEqual(diagram.links.map((l) => l.text),
                         [...diagrams.get(parent).links.map((l) => l.text), parent],
                         `ancestors of ${cls} and of ${parent} disagree`);
      }
    });

    it('jumps from every member summary to its detail on the same page', async () => {
      for (const cls of kClasses) {
        const frame = await openClass(cls);
        await frame.evaluate(() => { window.sameDocument = true; });
        const summaries = frame.locator('a[href*="#"]');
        const count = await summaries.count();
        assert.ok(count > 0, `${cls} lists no members`);
        const targets = [];
        for (let i = 0; i < count; i++) {
          const link = summaries.nth(i);
          const { text, href, icon } = await link.evaluate((a) => ({
            text: a.textContent.trim(),
            href: a.getAttribute('href'),
            icon: a.closest('dt')?.querySelector('img')?.getAttribute('src') ?? null,
          }));
          const [file, anchor] = href.split('#');
          assert.equal(file, `${cls}.html`, `summary "${text}" leaves the page`);
          targets.push(anchor);
          await followInMain(link);
          summary.memberJumps++;
          assert.equal(await frame.evaluate(() => window.sameDocument), true, `"${text}" reloaded the page`);
          assert.equal(hashOf(frame.url()), anchor, text);
          const placement = await anchorPlacement(frame, anchor);
          assert.ok(placement.found, `${cls}.html has no anchor ${anchor} for "${text}"`);
          assert.ok(placement.inPlace, `${cls}.html#${anchor} is ${placement.top}px from the top`);
          assert.equal(await textAfterAnchor(frame, anchor, 'code'), text, `detail of ${cls}.html#${anchor}`);
          assert.ok(/^(public|protected|private)\.gif$/.test(icon ?? ''), `summary "${text}" has icon ${icon}`);
          assert.equal(await textAfterAnchor(frame, anchor, 'img'), icon.replace('.gif', '_big.gif'),
                       `visibility of "${text}" differs between summary and detail`);
        }
        // Every detail is reached from some summary entry.
        const details = await frame.locator('a[name]').evaluateAll((as) => as.map((a) => a.getAttribute('name')));
        assert.deepEqual([...new Set(details)].sort(), [...new Set(targets)].sort(), `details of ${cls}`);
      }
    });

    it('links every class page to the page of its unit', async () => {
      for (const cls of kClasses) {
        const frame = await openClass(cls);
        const unitLink = frame.locator('p').filter({ hasText: 'Unit:' }).locator('a').first();
        const unit = (await unitLink.innerText()).trim();
        assert.ok(kUnits.includes(unit), `${cls} names unit "${unit}"`);
        const target = await followInMain(unitLink);
        assert.equal(baseName(target.url()), `${unit}.html`);
        assert.equal(await heading(target), `Unit: ${unit}`);
        // The unit page lists the class and leads back to it.
        const back = target.getByRole('link', { name: cls, exact: true });
        assert.equal(await back.count(), 1, `${unit}.html does not list ${cls}`);
        const again = await followInMain(back);
        assert.equal(await heading(again), `Class: ${cls}`);
      }
    });
  });

  describe('every page of the set', () => {
    let walk;

    before(async () => {
      // The legend is reached only through the menu bar's script, so it starts a walk of its own.
      walk = await walkSet(page, outDir, ['index.html', 'legend.html']);
    });

    it('can be reached from the frameset', () => {
      const pages = fs.readdirSync(outDir).filter((f) => f.endsWith('.html')).sort();
      assert.deepEqual([...walk.pages.keys()].sort(), pages);
    });

    it('loads every image', () => {
      const broken = [];
      for (const [name, content] of walk.pages) {
        for (const image of content.images) if (!image.loaded) broken.push(`${name}: ${image.src}`);
      }
      assert.deepEqual(broken, [], 'images that did not load');
    });

    it('points every local link at a file of the set, but for the known exceptions', (t) => {
      const exceptions = new Map();
      for (const e of walk.exceptions) {
        const key = `${e.href} (${e.why})`;
        exceptions.set(key, [...(exceptions.get(key) ?? []), e.page]);
      }
      for (const [key, pages] of exceptions) t.diagnostic(`known exception: ${key}, from ${pages.join(', ')}`);
      assert.equal(walk.brokenLinks.length, 0, `broken links:\n${describeLinks(walk.brokenLinks)}`);
    });

    it('points every link with a fragment at an anchor of its target page', () => {
      const missing = missingAnchors(walk);
      assert.equal(missing.length, 0, `links to missing anchors:\n${describeLinks(missing)}`);
    });

    // The summary goes out when the process ends, after the reporter's lines.
    after(() => process.once('exit', () => printSummary(walk)));
  });

  if (screenshotDir) {
    it('saves the screenshots of the class index and of a class page', async () => {
      fs.mkdirSync(screenshotDir, { recursive: true });
      await openFrameset();
      const index = await followMenu('Class-Index');
      await page.screenshot({ path: path.join(screenshotDir, 'class-index.png') });
      await followInMain(index.getByRole('link', { name: 'TCircle', exact: true }));
      await page.screenshot({ path: path.join(screenshotDir, 'class-page.png') });
    });
  }

});
