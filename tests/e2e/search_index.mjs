// Reads the search index of a documentation site outside the browser, for tests and benchmarks:
// the first file (search-index.js) and the parts of the names under each letter (search-a.js
// ...), joined rank by rank into one list of names, sizes and entries per rank, in the order the
// pages' script searches them.

import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';

export function partFile(letter) {
  return letter === '_' ? 'search-other.js' : `search-${letter}.js`;
}

// { w, pages, letters, counts, names, sizes, info, parts }: names, sizes and info hold one
// string per rank, joined over the parts; parts maps each letter to its own part.
export function readSearchIndex(dir) {
  const window = {};
  const run = (file) => vm.runInNewContext(fs.readFileSync(path.join(dir, file), 'utf8'), { window });
  run('search-index.js');
  const data = { ...window.GLOSSATOR_SEARCH, counts: [], names: [], sizes: [], info: [], parts: {} };
  for (const letter of data.letters) {
    run(partFile(letter));
    const part = window.GLOSSATOR_SEARCH_NAMES[letter];
    data.parts[letter] = part;
    part.names.forEach((names, rank) => {
      data.counts[rank] = (data.counts[rank] ?? 0) + part.counts[rank];
      for (const key of ['names', 'sizes', 'info']) data[key][rank] = (data[key][rank] ?? '') + part[key][rank];
    });
  }
  return data;
}

// Whether a page has read every part of its site's search index.
export function everyPartRead() {
  const parts = window.GLOSSATOR_SEARCH_NAMES || {};
  return window.GLOSSATOR_SEARCH !== undefined && [...window.GLOSSATOR_SEARCH.letters].every((l) => parts[l]);
}
