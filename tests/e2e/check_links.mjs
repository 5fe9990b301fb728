// Documents a list of real units and follows every local link and anchor of the result in
// headless Chromium, as the browser resolves them. Reports the links that lead nowhere (but for
// the known exceptions: undocumented ancestors, unit sources, names holding "/") and the links
// whose target page lacks their anchor. Exit status 1 when there are any.
//
//   node check_links.mjs GLOSSATOR UNIT_LIST [--all]
//
// UNIT_LIST holds one unit file per line. Without --all only the units whose unit name, as the
// program reads it (one run per unit), is unique in the list are documented: units that share a
// name share a page, and the page of the one overwritten cannot be reached by design.

import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import {
  describeLinks, fail, launchBrowser, loadPlaywright, makeWorkFolder, missingAnchors,
  requireChromium, walkSet,
} from './docset.mjs';

const [glossatorArg, unitList, option] = process.argv.slice(2);
const glossator = glossatorArg && path.resolve(glossatorArg);
if (!glossatorArg || !unitList) fail('usage: check_links.mjs GLOSSATOR UNIT_LIST [--all]');
requireChromium();
const playwright = await loadPlaywright();

let units = fs.readFileSync(unitList, 'utf8').split('\n').filter((line) => line.trim() !== '');
const work = makeWorkFolder();

// Runs glossator on the given units into a fresh folder; returns the folder.
function documentUnits(list, name) {
  const outDir = path.join(work, name);
  fs.rmSync(outDir, { recursive: true, force: true });
  fs.mkdirSync(outDir);
  const selection = [
    '[FILES]', ...list.map((unit, i) => `File${i}=${unit}`),
    '[SETUP]', `OutputDir=${outDir}`, 'DescriptFile=', 'MenubarFile=', 'ParsePrivate=0', 'DebugMode=0', '',
  ].join('\n');
  fs.writeFileSync(path.join(work, `${name}.gls`), selection);
  const run = spawnSync(glossator, ['-p', path.join(work, `${name}.gls`), '-b'], { cwd: work, encoding: 'latin1' });
  return { outDir, status: run.status, stderr: run.stderr };
}

if (option !== '--all') {
  // The page name of each unit, as the program reads it: the link of its one-unit run's unit index.
  const pageOf = new Map();
  for (const unit of units) {
    const { outDir, status } = documentUnits([unit], 'single');
    const index = status === 0 ? fs.readFileSync(path.join(outDir, 'index-unit.html'), 'latin1') : '';
    pageOf.set(unit, index.match(/<A HREF=([^ >]*)/)?.[1] ?? null);
  }
  const count = new Map();
  for (const page of pageOf.values()) count.set(page, (count.get(page) ?? 0) + 1);
  units = units.filter((unit) => pageOf.get(unit) !== null && count.get(pageOf.get(unit)) === 1);
}

const { outDir, status, stderr } = documentUnits(units, 'out');
if (status !== 0) fail(`glossator ended with status ${status}:\n${stderr}`);

const { context, page } = await launchBrowser(playwright, work);
const started = Date.now();
const walk = await walkSet(page, outDir, ['index.html', 'legend.html'], 'domcontentloaded');
await context.close();
const missing = missingAnchors(walk);

const byReason = new Map();
for (const e of walk.exceptions) byReason.set(e.why, (byReason.get(e.why) ?? 0) + 1);
console.log(`${units.length} units, ${walk.pages.size} pages walked in ${((Date.now() - started) / 1000).toFixed(0)} s`);
console.log(`${walk.localLinks} local links: ${walk.brokenLinks.length} lead nowhere, ` +
            `${missing.length} reach a page without their anchor`);
for (const [why, n] of byReason) console.log(`  ${n} known exceptions: ${why}`);
const show = (list) => describeLinks(list.slice(0, 50)) + (list.length > 50 ? `\n  … and ${list.length - 50} more` : '');
if (walk.brokenLinks.length > 0) console.log(`links that lead nowhere:\n${show(walk.brokenLinks)}`);
if (missing.length > 0) console.log(`links to missing anchors:\n${show(missing)}`);
if (!process.env.GLOSSATOR_E2E_KEEP) fs.rmSync(work, { recursive: true, force: true });
else console.log(`work folder kept: ${work}`);
process.exit(walk.brokenLinks.length + missing.length > 0 ? 1 : 0);
