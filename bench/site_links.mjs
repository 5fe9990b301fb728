// Counts the links in the declarations of a documentation site: every identifier in a type
// position of a declaration (the <pre> blocks of unit and class pages) that names a type of the
// set (a class-like item, an enumeration, an alias, ...: the second rank of the search index),
// and how many of those are links. Type positions: after ":", "of", "^", "=", "for"; in the
// parentheses of a class, object or interface heading; between "<" and ">" of a generic. Names
// of parameters, fields and the declared item itself stand elsewhere and are not counted.
//
//   node bench/site_links.mjs SITE_DIR
//
// Prints the identifiers counted, the links among them, the share, and the first names that
// stayed text.

import fs from 'node:fs';
import path from 'node:path';

import { readSearchIndex } from '../tests/e2e/search_index.mjs';

const [siteDir] = process.argv.slice(2);
if (!siteDir || !fs.existsSync(path.join(siteDir, 'search-index.js'))) {
  console.error('usage: node bench/site_links.mjs SITE_DIR');
  process.exit(2);
}
const index = readSearchIndex(siteDir);
const types = new Set(index.names[1].split('\n').filter((n) => n).map((n) => n.toLowerCase()));

const decode = (text) => text.replace(/&lt;/g, '<').replace(/&gt;/g, '>').replace(/&quot;/g, '"')
    .replace(/&#39;/g, "'").replace(/&amp;/g, '&');
let counted = 0;
let linked = 0;
const unlinked = new Map();
for (const file of fs.readdirSync(siteDir)) {
  if (!file.endsWith('.html')) continue;
  const html = fs.readFileSync(path.join(siteDir, file), 'utf8');
  for (const block of html.matchAll(/<pre[^>]*>([\s\S]*?)<\/pre>/g)) {
    // Links become one marked word each; other tags go; tokens are read from what is left.
    const text = decode(block[1].replace(/<a [^>]*>([^<]*)<\/a>/g, '\u0001$1\u0002').replace(/<[^>]+>/g, ''));
    let previous = '';
    let beforePrevious = '';
    let headingParens = false;
    let angle = 0;
    for (const match of text.matchAll(/(\u0001?)([A-Za-z_][A-Za-z0-9_]*)(\u0002?)|'[^']*'|(\S)/g)) {
      const symbol = match[4];
      const word = match[2];
      if (symbol) {
        if (symbol === '(' && /^(class|object|interface|dispinterface)$/i.test(previous)) headingParens = true;
        if (symbol === ')') headingParens = false;
        if (symbol === '<') angle++;
        if (symbol === '>' && angle > 0) angle--;
        beforePrevious = previous;
        previous = symbol;
        continue;
      }
      if (!word) continue;
      const typePosition = [':', '^', '=', '<'].includes(previous) || /^(of|for)$/i.test(previous) ||
          (previous === ',' && (headingParens || angle > 0)) || (previous === '(' && headingParens);
      beforePrevious = previous;
      previous = word;
      if (!typePosition || !types.has(word.toLowerCase())) continue;
      counted++;
      if (match[1]) {
        linked++;
      } else {
        unlinked.set(word, (unlinked.get(word) || 0) + 1);
      }
    }
  }
}
const share = counted ? (100 * linked / counted).toFixed(2) : '100.00';
console.log(`identifiers naming a type of the set: ${counted}, links: ${linked}, share: ${share}%`);
const top = [...unlinked.entries()].sort((a, b) => b[1] - a[1]).slice(0, 12);
if (top.length) console.log('most often text: ' + top.map(([n, c]) => `${n} (${c})`).join(', '));
