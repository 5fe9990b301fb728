// The live preview in headless Chromium, as a reader at work sees it: `glossator serve` serves a
// copy of examples/ as a site; a comment edit shows the new text in the open page, by a swap of
// its <main>, at the same scroll position; a removed class takes its page and its index entries with it; a new unit
// file appears; a unit that no longer reads shows its problems over the page; and the frame set
// reloads its frame too.
//
//   node serve_browser_test.mjs GLOSSATOR SOURCE_DIR

import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';

import { kChromium, loadPlaywright, requireChromium } from './docset.mjs';
import { saveLikeAnEditor, startServe, stopServe } from './serve.mjs';

const [glossator, sourceDir] = process.argv.slice(2);
if (!glossator || !sourceDir) {
  console.error('usage: serve_browser_test.mjs GLOSSATOR SOURCE_DIR');
  process.exit(1);
}
requireChromium();
const playwright = await loadPlaywright();

let work;
let units;
let browser;
let context;
const scriptErrors = [];

function unitFile(name) {
  return path.join(units, name);
}

function edit(name, from, to) {
  const text = fs.readFileSync(unitFile(name), 'utf8');
  assert.ok(text.includes(from), `${name} holds ${from}`);
  saveLikeAnEditor(unitFile(name), text.replace(from, to));
}

// A page counts as shown again once the marker set on it is gone and `check` holds. The marker
// is on the page's <main> (or its body): a reload and a swap of <main> both take it away. The
// window keeps a second marker that only a reload takes away.
async function open(url) {
  const page = await context.newPage();
  page.on('pageerror', (error) => scriptErrors.push(`${page.url()}: ${error.message}`));
  await page.goto(url);
  await markLoaded(page);
  return page;
}

async function markLoaded(page) {
  await page.evaluate(() => {
    (document.querySelector('main') || document.body).beforeTheChange = true;
    window.sameWindow = true;
  });
}

async function reloadedWith(page, check, argument) {
  await page.waitForFunction(
    ([source, arg]) => !(document.querySelector('main') || document.body).beforeTheChange &&
        document.readyState === 'complete' && new Function('arg', source)(arg),
    [check, argument], { timeout: 15000 });
  const swapped = await page.evaluate(() => window.sameWindow === true);
  await markLoaded(page);
  return swapped;
}

before(async () => {
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'glossator-serve-e2e-'));
  units = path.join(work, 'units');
  fs.mkdirSync(units);
  for (const name of ['shapes.pas', 'geometry.pas', 'drawing.pas']) {
    fs.copyFileSync(path.join(sourceDir, 'examples', name), unitFile(name));
  }
  browser = await playwright.chromium.launch({
    executablePath: kChromium, headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking'],
  });
  context = await browser.newContext({ viewport: { width: 800, height: 400 } });
  context.setDefaultTimeout(15000);
});

after(async () => {
  await browser?.close();
  if (process.env.GLOSSATOR_E2E_KEEP) console.log(`# the work folder is kept in ${work}`);
  else if (work) fs.rmSync(work, { recursive: true, force: true });
  assert.deepEqual(scriptErrors, [], 'script errors');
});

describe('glossator serve --style=site', () => {
  let server;
  before(async () => {
    server = await startServe(glossator, ['--style=site', '--reader=pascal', units], { cwd: work });
  });
  after(async () => {
    if (!server) return;
    const { code } = await stopServe(server);
    assert.equal(code, 0, 'SIGTERM ends serve cleanly');
    assert.ok(!fs.existsSync(server.outDir), 'the temporary folder is removed');
  });

  it('reloads the open page with an edited comment, where it was scrolled to', async () => {
    assert.match(server.outDir, /\/serve-[^/]+\/units$/, 'a temporary folder named after the PATH');
    const page = await open(`${server.url}Shapes.TShape.html`);
    assert.ok((await page.textContent('main')).includes('Horizontal position of the reference point'));
    await page.evaluate(() => window.scrollTo(0, 250));
    edit('shapes.pas', 'Horizontal position of the reference point',
         'Horizontal place of the reference point, edited');
    const swapped = await reloadedWith(page, 'return document.body.textContent.includes(arg)',
                                       'place of the reference point, edited');
    assert.ok(swapped, 'a comment edit puts the new <main> in place, with no reload');
    assert.equal(await page.evaluate(() => window.scrollY), 250, 'the scroll position is kept');
    assert.ok(await page.$('#g-theme'), "the page's own script still runs around the new <main>");
    assert.equal(await page.$('script[src*="glossator"]'), null);
    const onDisk = fs.readFileSync(path.join(server.outDir, 'Shapes.TShape.html'), 'utf8');
    assert.ok(onDisk.includes('place of the reference point, edited'));
    assert.ok(!onDisk.includes('__glossator'), 'the reload script is never written into the files');
    await page.close();
  });

  it('takes a removed class off the site and out of the indexes', async () => {
    const classPage = await open(`${server.url}Shapes.TRectangle.html`);
    const unitPage = await open(`${server.url}Shapes.html`);
    const names = await open(`${server.url}names-t.html`);
    assert.ok((await unitPage.textContent('main')).includes('TRectangle'));
    const text = fs.readFileSync(unitFile('shapes.pas'), 'utf8');
    const start = text.indexOf('  {** An axis-parallel rectangle. }');
    const end = text.indexOf('  end;', start) + '  end;\n'.length;
    saveLikeAnEditor(unitFile('shapes.pas'), text.slice(0, start) + text.slice(end));
    await reloadedWith(classPage, "return document.title === 'Not found'");
    const swapped = await reloadedWith(
      unitPage, "return !document.querySelector('main').textContent.includes('TRectangle')");
    assert.ok(!swapped, 'a page whose sidebar changed is reloaded');
    assert.ok(!(await unitPage.textContent('nav.side')).includes('TRectangle'));
    await reloadedWith(names, "return !document.body.textContent.includes('TRectangle')");
    assert.ok(!fs.existsSync(path.join(server.outDir, 'Shapes.TRectangle.html')));
    assert.equal((await fetch(`${server.url}Shapes.TRectangle.html`)).status, 404);
    for (const page of [classPage, unitPage, names]) await page.close();
  });

  it('shows a unit added to the folder', async () => {
    const overview = await open(server.url);
    fs.writeFileSync(unitFile('extras.pas'),
                     '{** More shapes. }\nunit Extras;\n\ninterface\n\nuses Shapes;\n\ntype\n' +
                     '  {** A shape of many corners. }\n  TPolygon = class(TShape)\n  end;\n\n' +
                     'implementation\n\nend.\n');
    await reloadedWith(overview, "return document.querySelector('main').textContent.includes('Extras')");
    await overview.click('main a[href="Extras.html"]');
    await overview.waitForURL(/Extras\.html$/);
    assert.ok((await overview.textContent('main')).includes('TPolygon'));
    await overview.close();
  });

  it('shows the problems of a unit that no longer reads over its page', async () => {
    const page = await open(`${server.url}Drawing.html`);
    edit('drawing.pas', '    function GetCount: Integer;',
         '    function GetCount: Integer;\n    procedure ) broken;');
    await page.waitForSelector('#glossator-live-problems', { timeout: 15000 });
    const overlay = await page.textContent('#glossator-live-problems');
    assert.match(overlay, /drawing\.pas:19: expected a routine name but found '\)'/);
    edit('drawing.pas', '    procedure ) broken;', '    procedure Mended;');
    await page.waitForFunction(() => !document.getElementById('glossator-live-problems'));
    await page.close();
  });
});

describe('glossator serve --style=frames', () => {
  let server;
  before(async () => {
    server = await startServe(glossator, ['--style=frames', units], { cwd: work });
  });
  after(async () => {
    if (server) await stopServe(server);
  });

  it('reloads the frame that shows the edited class', async () => {
    const page = await context.newPage();
    await page.goto(`${server.url}TCircle.html`);
    await markLoaded(page);
    edit('shapes.pas', 'A circle given by its centre and its radius.',
         'A circle given by its centre and its radius, edited.');
    await reloadedWith(page, 'return document.body.textContent.includes(arg)', 'its radius, edited.');
    await page.close();
  });
});
