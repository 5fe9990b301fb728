// The live preview against whole runs: `glossator serve` documents a copy of 100 LCL units (the
// 91 of lcl/ and the first 9 of lcl/widgetset, with a copy of lcl/include) as a site, and the
// test makes random edits of the copy (seeded, so a run can be repeated): doc comments and plain
// comments, declarations added and removed, types renamed and renamed back, units added, deleted
// and renamed, unit names changed, include files edited, made, removed and taken away for a
// while. After each edit it waits until the server has written its rebuild, runs
// `glossator -o FRESH` with the same inputs and options, and compares both folders byte for
// byte. A difference names the edit and the files.
//
//   node serve_differential_test.mjs GLOSSATOR [--edits N] [--seed S] [--keep]
//
// Needs Debian's lazarus-src-2.2 (scripts/install-deps corpus).

import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, describe, it } from 'node:test';

import {
  differences, rebuildLines, saveLikeAnEditor, startServe, stopServe, waitForRebuild, wholeRun,
} from './serve.mjs';

const kLcl = '/usr/lib/lazarus/2.2.6/lcl';

function option(name, fallback) {
  const at = process.argv.indexOf(name);
  return at > 0 && at + 1 < process.argv.length ? process.argv[at + 1] : fallback;
}
const glossator = process.argv[2];
const edits = Number(option('--edits', '60'));
const seed = Number(option('--seed', process.env.GLOSSATOR_SERVE_SEED ?? '20261209'));
const keep = process.argv.includes('--keep') || Boolean(process.env.GLOSSATOR_E2E_KEEP);
if (!glossator || !(edits >= 0) || !Number.isInteger(seed)) {
  console.error('usage: serve_differential_test.mjs GLOSSATOR [--edits N] [--seed S] [--keep]');
  process.exit(1);
}
if (!fs.existsSync(path.join(kLcl, 'controls.pp'))) {
  console.error(`no LCL sources in ${kLcl}: install them with scripts/install-deps corpus`);
  process.exit(1);
}

// mulberry32: a small seeded generator, the same sequence on every machine.
function generator(start) {
  let state = start >>> 0;
  const next = () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
  return { next, below: (n) => Math.floor(next() * n), pick: (list) => list[Math.floor(next() * list.length)] };
}

// On tmpfs when there is one: each step writes and reads some 2,000 files.
const scratch = fs.existsSync('/dev/shm') ? '/dev/shm' : os.tmpdir();
const work = fs.mkdtempSync(path.join(scratch, 'glossator-serve-differential-'));
const units = path.join(work, 'units');
const include = path.join(work, 'include');
const random = generator(seed);

function unitSources() {
  const top = fs.readdirSync(kLcl).filter((n) => /\.(pp|pas)$/.test(n)).sort()
    .map((n) => path.join(kLcl, n));
  const widgetset = fs.readdirSync(path.join(kLcl, 'widgetset')).filter((n) => /\.(pp|pas)$/.test(n))
    .sort().slice(0, 100 - top.length).map((n) => path.join(kLcl, 'widgetset', n));
  return [...top, ...widgetset];
}

function setUp() {
  fs.mkdirSync(units);
  for (const file of unitSources()) fs.copyFileSync(file, path.join(units, path.basename(file)));
  fs.cpSync(path.join(kLcl, 'include'), include, { recursive: true });
}

const unitFiles = () => fs.readdirSync(units).filter((n) => /\.(pp|pas)$/.test(n)).sort()
  .map((n) => path.join(units, n));
const read = (file) => fs.readFileSync(file, 'latin1');

// The text up to the line "implementation": what the documentation shows.
function interfaceEnd(text) {
  const found = /^implementation\b/im.exec(text);
  return found ? found.index : -1;
}

// Every match of `pattern` (global) before the implementation, as {index, match}.
// One of the files of the copied include folder that an interface part reads, or null.
function pickIncludedName() {
  const names = new Set();
  for (const unit of unitFiles()) {
    for (const m of interfaceMatches(read(unit), /\{\$(?:I|INCLUDE) +([\w.]+)\}/gi)) {
      const name = m[1].includes('.') ? m[1] : `${m[1]}.inc`;
      if (fs.existsSync(path.join(include, name))) names.add(name);
    }
  }
  return names.size === 0 ? null : random.pick([...names].sort());
}

function interfaceMatches(text, pattern) {
  const end = interfaceEnd(text);
  if (end < 0) return [];
  return [...text.slice(0, end).matchAll(pattern)];
}

// Saves the file as an editor does, or writes it in place: both must be seen.
function save(file, text) {
  if (random.below(2) === 0) saveLikeAnEditor(file, text);
  else fs.writeFileSync(file, text, 'latin1');
}

function insertAt(text, index, insertion) {
  return text.slice(0, index) + insertion + text.slice(index);
}

// The state of the edits: what was added, so that it can be taken away again.
const added = { declarations: [], units: [], includes: [], renames: [] };
const classNames = () => unitFiles().flatMap((file) =>
  interfaceMatches(read(file), /^\s+(T\w+)\s*=\s*class\s*(\(|$)/gim).map((m) => m[1]));

// Each edit changes the copy and says what it did, or gives null when it cannot be made now.
const kEdits = [
  ['doc comment', 5, (step) => {
    const file = random.pick(unitFiles());
    const text = read(file);
    const existing = interfaceMatches(text, /\{\*\*/g);
    if (existing.length > 0 && random.below(2) === 0) {
      const at = random.pick(existing).index + 3;
      save(file, insertAt(text, at, ` Reworded at step ${step}.`));
      return `reword a doc comment in ${path.basename(file)}`;
    }
    const types = interfaceMatches(text, /^( +)(T\w+) *=/gm);
    if (types.length === 0) return null;
    const type = random.pick(types);
    save(file, insertAt(text, type.index, `${type[1]}{** ${type[2]} as of step ${step}. }\n`));
    return `document ${type[2]} in ${path.basename(file)}`;
  }],
  ['plain comment', 2, (step) => {
    const file = random.pick(unitFiles());
    const text = read(file);
    const lines = interfaceMatches(text, /^/gm);
    if (lines.length === 0) return null;
    save(file, insertAt(text, random.pick(lines).index, `// a note of step ${step}\n`));
    return `add a line comment to ${path.basename(file)}`;
  }],
  ['declaration added', 4, (step) => {
    const file = random.pick(unitFiles());
    const text = read(file);
    const end = interfaceEnd(text);
    if (end < 0) return null;
    const parent = random.below(2) === 0 ? 'TObject' : random.pick(classNames()) ?? 'TObject';
    const block = `type\n  {** Added at step ${step}, after @link(${parent}). }\n` +
      `  TAdded${step} = class(${parent})\n  public\n    {** Runs it. }\n` +
      `    procedure Run(Value: Integer);\n  end;\n\nconst\n  {** A number of step ${step}. }\n` +
      `  cAdded${step} = ${step};\n\n`;
    save(file, insertAt(text, end, block));
    added.declarations.push({ file, block });
    return `add TAdded${step} (class(${parent})) and cAdded${step} to ${path.basename(file)}`;
  }],
  ['declaration removed', 3, () => {
    const live = added.declarations.filter((d) => fs.existsSync(d.file) && read(d.file).includes(d.block));
    if (live.length > 0 && random.below(3) > 0) {
      const declaration = random.pick(live);
      added.declarations.splice(added.declarations.indexOf(declaration), 1);
      save(declaration.file, read(declaration.file).replace(declaration.block, ''));
      return `remove ${/TAdded\d+/.exec(declaration.block)[0]} from ${path.basename(declaration.file)}`;
    }
    // A routine of the unit, declared on one line at the left margin with nothing after it.
    const file = random.pick(unitFiles());
    const text = read(file);
    const routines = interfaceMatches(text, /^(procedure|function) +(\w+)[^\n;]*(\([^\n]*\))?[^\n(]*;[^\n]*\n(?! +(overload|inline|stdcall|cdecl|deprecated|platform|external|register|export|experimental)\b)/gim)
      .filter((m) => (m[0].match(/\(/g) ?? []).length === (m[0].match(/\)/g) ?? []).length);
    if (routines.length === 0) return null;
    const routine = random.pick(routines);
    save(file, text.slice(0, routine.index) + text.slice(routine.index + routine[0].length));
    return `remove the routine ${routine[2]} from ${path.basename(file)}`;
  }],
  ['type renamed', 4, (step) => {
    // Half the time a rename undone: the old name comes back where other units use it.
    const undo = added.renames.filter((r) => fs.existsSync(r.file) && read(r.file).includes(r.to));
    if (undo.length > 0 && random.below(2) === 0) {
      const rename = random.pick(undo);
      added.renames.splice(added.renames.indexOf(rename), 1);
      save(rename.file, read(rename.file).replace(new RegExp(`\\b${rename.to}\\b`, 'g'), rename.from));
      return `rename ${rename.to} back to ${rename.from} in ${path.basename(rename.file)}`;
    }
    // Mostly a type that other units give to parameters, fields or properties, so that their pages
    // link elsewhere now.
    const files = unitFiles();
    const file = random.pick(files);
    const text = read(file);
    const types = interfaceMatches(text, /^\s+(T\w+)\s*=\s*(class\s*(\(|$)|record\b|\(|set\b|\^|procedure\b|function\b)/gim)
      .map((m) => m[1]);
    if (types.length === 0) return null;
    const others = files.filter((f) => f !== file).map((f) => read(f).slice(0, Math.max(0, interfaceEnd(read(f)))));
    const used = types.filter((name) =>
      others.some((t) => new RegExp(`(:|\\bof) *${name}\\b`, 'i').test(t)));
    const name = used.length > 0 && random.below(4) > 0 ? random.pick(used) : random.pick(types);
    const to = `${name}Step${step}`;
    save(file, text.replace(new RegExp(`\\b${name}\\b`, 'gi'), to));
    added.renames.push({ file, from: name, to });
    return `rename ${name} to ${to} in ${path.basename(file)}${used.includes(name) ? ' (other units use it)' : ''}`;
  }],
  ['unit added', 2, (step) => {
    const parent = random.pick(classNames()) ?? 'TObject';
    const withInclude = random.below(2) === 0;
    const name = `Added${step}`;
    const file = path.join(units, `added${step}.pp`);
    fs.writeFileSync(file, `{** A unit added at step ${step}. @see ${parent} }\nunit ${name};\n\n` +
      `interface\n\nuses Classes;\n\ntype\n  {** Made at step ${step} from @link(${parent}). }\n` +
      `  TFrom${name} = class(${parent})\n  public\n    {** Says hello. }\n` +
      '    function Hello: string;\n' + (withInclude ? `    {$I addedinc${step}.inc}\n` : '') +
      `  end;\n\n{** The unit's own routine. }\nprocedure Use${name}(A: TFrom${name});\n\n` +
      'implementation\n\nend.\n', 'latin1');
    added.units.push(file);
    if (withInclude) added.includes.push(path.join(units, `addedinc${step}.inc`));
    return `add the unit ${name} (class of ${parent}${withInclude ? ', with a missing include file' : ''})`;
  }],
  ['unit deleted or renamed', 2, (step) => {
    const ours = added.units.filter((f) => fs.existsSync(f));
    const file = ours.length > 0 && random.below(3) > 0 ? random.pick(ours) : random.pick(unitFiles());
    if (random.below(3) === 0) {
      const moved = path.join(units, `moved${step}${path.extname(file)}`);
      fs.renameSync(file, moved);
      if (ours.includes(file)) added.units.push(moved);
      return `rename the file ${path.basename(file)} to ${path.basename(moved)}`;
    }
    fs.rmSync(file);
    return `delete the unit ${path.basename(file)}`;
  }],
  ['unit name changed', 1, (step) => {
    const file = random.pick(unitFiles());
    const text = read(file);
    const clause = /^(\s*unit\s+)(\w+)(\s*;)/im.exec(text);
    if (!clause) return null;
    const back = /^(\w+)Step\d+$/.exec(clause[2]);
    const name = back ? back[1] : `${clause[2]}Step${step}`;
    save(file, text.replace(clause[0], `${clause[1]}${name}${clause[3]}`));
    return `change the unit name ${clause[2]} to ${name} in ${path.basename(file)}`;
  }],
  ['include file taken away or back', 1, () => {
    // An include file of the copied folder moved aside (its readers miss it) or back.
    const aside = path.join(work, 'aside');
    fs.mkdirSync(aside, { recursive: true });
    const away = fs.readdirSync(aside);
    if (away.length > 0 && random.below(2) === 0) {
      const name = random.pick(away.sort());
      fs.renameSync(path.join(aside, name), path.join(include, name));
      return `bring the include file ${name} back`;
    }
    const name = pickIncludedName();
    if (name === null) return null;
    fs.renameSync(path.join(include, name), path.join(aside, name));
    return `take the include file ${name} away`;
  }],
  ['include file edited', 3, (step) => {
    if (added.includes.length > 0 && random.below(3) === 0) {
      const file = random.pick(added.includes);
      if (fs.existsSync(file)) {
        fs.rmSync(file);
        return `delete the include file ${path.basename(file)}`;
      }
      fs.writeFileSync(file, `    {** Comes from an include file made at step ${step}. }\n` +
                             `    procedure Included${step};\n`);
      return `make the include file ${path.basename(file)}`;
    }
    // An include file that an interface reads, from the copied include folder.
    const name = pickIncludedName();
    if (name === null) return null;
    const file = path.join(include, name);
    const text = read(file);
    const members = [...text.matchAll(/^( +)(procedure|function|property) /gim)];
    const at = members.length > 0 ? random.pick(members) : null;
    save(file, at ? insertAt(text, at.index, `${at[1]}{** From an include file, step ${step}. }\n`)
                  : `{ step ${step} }\n${text}`);
    return `edit the include file ${name}`;
  }],
];

function chooseEdit() {
  const total = kEdits.reduce((sum, [, weight]) => sum + weight, 0);
  let roll = random.below(total);
  for (const edit of kEdits) {
    if (roll < edit[1]) return edit;
    roll -= edit[1];
  }
  return kEdits[0];
}

// The first line where two files differ, for the report.
function firstDifference(a, b) {
  const left = fs.existsSync(a) ? read(a).split('\n') : [];
  const right = fs.existsSync(b) ? read(b).split('\n') : [];
  for (let i = 0; i < Math.max(left.length, right.length); ++i) {
    if (left[i] !== right[i]) {
      return `line ${i + 1}:\n  served: ${(left[i] ?? '(none)').slice(0, 200)}\n` +
             `  fresh:  ${(right[i] ?? '(none)').slice(0, 200)}`;
    }
  }
  return 'same lines';
}

describe(`glossator serve after ${edits} random edits of 100 LCL units (seed ${seed})`, () => {
  let server;
  after(async () => {
    if (server) await stopServe(server);
    if (keep) console.log(`# the work folder is kept in ${work}`);
    else fs.rmSync(work, { recursive: true, force: true });
  });

  it('writes after each edit what a whole run writes', async () => {
    setUp();
    const options = ['--reader=pascal', '--style=site', `--include=${include}`, units];
    // The site's title is the output folder's name: both are named alike.
    const served = path.join(work, 'served', 'docs');
    const fresh = path.join(work, 'fresh', 'docs');
    server = await startServe(glossator, ['-o', served, ...options]);
    let quietSteps = 0;
    const started = Date.now();
    for (let step = 0; step <= edits; ++step) {
      let what = 'the first build';
      if (step > 0) {
        const seen = rebuildLines(server).length;
        what = null;
        while (what === null) {
          const [kind, , make] = chooseEdit();
          const done = make(step);
          if (done !== null) what = `${kind}: ${done}`;
        }
        try {
          await waitForRebuild(server, seen, { quietMs: 100, timeoutMs: 3000 });
        } catch {
          // Nothing the server reads changed (an include file only an inactive branch names):
          // the comparison tells whether that was right.
          quietSteps += 1;
        }
      }
      const run = wholeRun(glossator, options, fresh);
      assert.equal(run.status, 0, `step ${step} (${what}): the whole run failed:\n${run.output}`);
      const differ = differences(served, fresh);
      if (differ.length > 0) {
        const first = differ.find((name) => !name.includes(' (only in '));
        const detail = first ? `\n${first}: ${firstDifference(path.join(served, first), path.join(fresh, first))}` : '';
        assert.fail(`step ${step} of seed ${seed} (${what}): ${differ.length} files differ: ` +
                    `${differ.slice(0, 20).join(', ')}${detail}\nserver said:\n` +
                    `${server.lines.slice(-5).join('\n')}`);
      }
      if (process.env.GLOSSATOR_E2E_VERBOSE) console.log(`# step ${step}: ${what}`);
    }
    const seconds = ((Date.now() - started) / 1000).toFixed(1);
    console.log(`# ${edits} edits (seed ${seed}) compared equal in ${seconds} s; ` +
                `${quietSteps} edits left the server quiet`);
  });
});
