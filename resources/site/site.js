// The script of a Glossator documentation site: the theme toggle, the sidebar's Menu button and
// unit list, and search as you type. Everything works from file:// without a server: the search
// index and the unit list are script files (search-index.js, search-a.js ..., units.js) added to
// the page when they are first needed, never fetched. The pages are complete without this script.
(function () {
  'use strict';

  var doc = document;
  var root = doc.documentElement;
  var kThemeKey = 'glossator-theme';
  var kSuggestions = 12;
  var kPageResults = 200;

  // ---- Theme -------------------------------------------------------------------------------

  function darkNow() {
    var chosen = root.dataset.theme;
    if (chosen) return chosen === 'dark';
    return window.matchMedia && window.matchMedia('(prefers-color-scheme: dark)').matches;
  }

  // Adds a button to the page's header: first in it, or last.
  function headerButton(id, className, first) {
    var header = doc.querySelector('header.top');
    if (!header) return null;
    var button = doc.createElement('button');
    button.id = id;
    button.className = className;
    button.type = 'button';
    header.insertBefore(button, first ? header.firstChild : null);
    return button;
  }

  function setUpTheme() {
    var button = headerButton('g-theme', 'theme', false);
    if (!button) return;
    var label = function () {
      button.textContent = darkNow() ? 'Light theme' : 'Dark theme';
    };
    label();
    button.addEventListener('click', function () {
      var theme = darkNow() ? 'light' : 'dark';
      root.dataset.theme = theme;
      try { localStorage.setItem(kThemeKey, theme); } catch (e) { /* private mode */ }
      label();
    });
    if (window.matchMedia) {
      var query = window.matchMedia('(prefers-color-scheme: dark)');
      if (query.addEventListener) query.addEventListener('change', label);
    }
  }

  // ---- Sidebar -----------------------------------------------------------------------------

  function setUpMenu() {
    if (!doc.getElementById('g-side')) return;
    var button = headerButton('g-menu', 'menu', true);
    if (!button) return;
    button.textContent = 'Menu';
    button.setAttribute('aria-controls', 'g-side');
    button.setAttribute('aria-expanded', 'false');
    button.addEventListener('click', function () {
      var open = root.classList.toggle('side-open');
      button.setAttribute('aria-expanded', open ? 'true' : 'false');
    });
  }

  // Adds a script file of the site once, never before the page's load event (the page comes
  // first); calls back when it ran (or failed, with an error).
  var scripts = {};
  function loadScript(name, ready) {
    if (doc.readyState !== 'complete') {
      window.addEventListener('load', function () { loadScript(name, ready); });
      return;
    }
    var entry = scripts[name];
    if (!entry) {
      entry = scripts[name] = { done: false, error: null, waiting: [] };
      var script = doc.createElement('script');
      script.src = name;
      script.async = true;
      var finish = function (error) {
        entry.done = true;
        entry.error = error;
        entry.waiting.forEach(function (f) { f(error); });
        entry.waiting = [];
      };
      script.onload = function () { finish(null); };
      script.onerror = function () { finish(new Error(name + ' could not be loaded')); };
      doc.head.appendChild(script);
    }
    if (entry.done) ready(entry.error);
    else entry.waiting.push(ready);
  }

  function currentFile() {
    var path = decodeURIComponent(location.pathname);
    return path.slice(path.lastIndexOf('/') + 1);
  }

  // Large sets list their units in units.js; the list is filled the first time it opens.
  function setUpUnitList() {
    var details = doc.getElementById('g-unit-list');
    if (!details) return;
    var filled = false;
    details.addEventListener('toggle', function () {
      if (!details.open || filled) return;
      filled = true;
      loadScript('units.js', function (error) {
        if (error || typeof window.GLOSSATOR_UNITS !== 'string') return;
        var list = details.querySelector('ul');
        var here = currentFile();
        var fragment = doc.createDocumentFragment();
        window.GLOSSATOR_UNITS.split('\n').forEach(function (line) {
          if (!line) return;
          var tab = line.indexOf('\t');
          var item = doc.createElement('li');
          var link = doc.createElement('a');
          link.href = line.slice(0, tab);
          link.textContent = line.slice(tab + 1);
          if (link.getAttribute('href') === here) link.setAttribute('aria-current', 'page');
          item.appendChild(link);
          fragment.appendChild(item);
        });
        list.appendChild(fragment);
      });
    });
  }

  // ---- The search index --------------------------------------------------------------------

  // Kind letters of the search index (search_index.cpp has the same table) and what they mean.
  var kKinds = {
    u: 'unit', c: 'class', r: 'record', o: 'object', i: 'interface', h: 'helper', e: 'enum',
    s: 'set', a: 'array', p: 'pointer', t: 'procedure type', y: 'type', k: 'constant',
    z: 'resourcestring', v: 'variable', f: 'routine', m: 'method', C: 'constructor',
    D: 'destructor', P: 'property', F: 'field', O: 'operator', x: 'enum value'
  };
  // Kinds with a page of their own: a link to them has no anchor.
  var kOwnPage = 'ucroih';
  var kDigits = '0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_';

  // The letters of the index's parts in the order of their names (search_index.cpp's): "_" is
  // every start but "a" to "z".
  var kLetterOrder = '_abcdefghijklmnopqrstuvwxyz';

  var index = null;
  var indexGrew = [];  // called when parts of the index or hump tables are added

  // Lower case of the ASCII letters only, the order the index is sorted in. toLowerCase is
  // much faster and the same for ASCII; it is used unless it changed the length of the text,
  // which would shift every offset behind.
  function lowerAscii(text) {
    var lower = text.toLowerCase();
    if (lower.length === text.length) return lower;
    return text.replace(/[A-Z]+/g, function (run) { return run.toLowerCase(); });
  }

  var kDigitValue = new Int8Array(128);
  for (var d = 0; d < kDigits.length; d++) kDigitValue[kDigits.charCodeAt(d)] = d;
  function digitsAt(text, at, width) {
    var value = 0;
    for (var i = 0; i < width; i++) value = value * 64 + kDigitValue[text.charCodeAt(at + i)];
    return value;
  }

  // One rank of one part of the index. Its distinct names, one a line, and the same in lower
  // case; where each starts; for each, its first entry (entries follow the names' order); the
  // entries' kinds and pages.
  function Rank(part, names, count, sizes, info, first, firstName) {
    this.part = part;
    this.names = names;
    this.lower = lowerAscii(names);
    this.info = info;
    this.first = first;          // the number of its first entry in its part
    this.firstName = firstName;  // a number for its first name, unique in the index
    this.count = count;
    this.starts = lineStarts(names, count);
    var groups = new Int32Array(count + 1);
    var entry = 0;
    for (var j = 0, p = 0; j < count; j++) {
      groups[j] = entry;
      if (sizes.charCodeAt(p) === 126) {  // "~"
        entry += digitsAt(sizes, p + 1, 3);
        p += 4;
      } else {
        entry += kDigitValue[sizes.charCodeAt(p++)];
      }
    }
    groups[count] = entry;
    this.groups = groups;
    this.initials = null;
  }

  // Where each of `count` lines of a text starts, and one more start behind the last line, so
  // that line i ends in front of starts[i + 1] - 1.
  function lineStarts(text, count) {
    var starts = new Int32Array(count + 1);
    var at = 0;
    for (var i = 0; i < count; i++) {
      starts[i] = at;
      var end = text.indexOf('\n', at);
      at = (end < 0 ? text.length : end) + 1;
    }
    starts[count] = at;
    return starts;
  }

  Rank.prototype.lowerName = function (j) {
    return this.lower.slice(this.starts[j], this.starts[j + 1] - 1);
  };
  Rank.prototype.name = function (j) {
    return this.names.slice(this.starts[j], this.starts[j + 1] - 1);
  };
  // The line of a string laid out by `starts` that holds the offset `at`.
  function lineAt(starts, at) {
    var lo = 0;
    var hi = starts.length - 2;
    while (lo < hi) {
      var mid = (lo + hi + 1) >> 1;
      if (starts[mid] <= at) lo = mid; else hi = mid - 1;
    }
    return lo;
  }
  // The first name whose lower case is not below `text`.
  Rank.prototype.lowerBound = function (text) {
    var lo = 0;
    var hi = this.count;
    while (lo < hi) {
      var mid = (lo + hi) >> 1;
      if (this.lowerName(mid) < text) lo = mid + 1; else hi = mid;
    }
    return lo;
  };

  // Where the humps of a name start: its first character that is no "_", every capital letter, a
  // letter or digit after "_", and the first digit after a letter. "TSynEdit" => T, Syn, Edit;
  // "_NM_LIST" => N, M, L, I, S, T.
  function startsHump(c, before) {
    if (c === 95) return false;  // "_"
    var capital = c >= 65 && c <= 90;
    var digit = c >= 48 && c <= 57;
    var digitBefore = before >= 48 && before <= 57;
    return capital || before === 95 || (digit && !digitBefore);
  }
  function humpStarts(name) {
    var first = 0;
    while (first < name.length - 1 && name.charCodeAt(first) === 95) first++;
    var starts = [first];
    for (var i = first + 1; i < name.length; i++) {
      if (startsHump(name.charCodeAt(i), name.charCodeAt(i - 1))) starts.push(i);
    }
    return starts;
  }

  // The initials of every name of the rank in lower case, one a line behind a leading line
  // break, and where each line starts; made in one pass the first time a hump search needs
  // them (or while the reader is still typing).
  Rank.prototype.humpIndex = function () {
    if (this.initials) return;
    var names = this.names;
    var codes = new Uint16Array(names.length + 1);
    var starts = new Int32Array(this.count + 1);
    var size = 0;
    var line = 0;
    var lineStart = true;
    var leading = true;  // still in the name's leading "_"
    var before = 0;
    codes[size++] = 10;
    for (var i = 0; i < names.length; i++) {
      var c = names.charCodeAt(i);
      if (lineStart) starts[line++] = size;
      if (c === 10) {
        codes[size++] = 10;
        lineStart = true;
        leading = true;
        continue;
      }
      lineStart = false;
      // A name of underscores alone keeps its last one as its initial.
      var last = i + 1 >= names.length || names.charCodeAt(i + 1) === 10;
      if (leading && c === 95 && !last) continue;
      if (leading || startsHump(c, before)) codes[size++] = c >= 65 && c <= 90 ? c + 32 : c;
      leading = false;
      before = c;
    }
    starts[this.count] = size;
    this.initials = new TextDecoder('utf-16le').decode(codes.subarray(0, size));
    this.initialStarts = starts;
  };

  function buildIndex(data) {
    var pageCount = 0;
    for (var at = data.pages.indexOf('\n'); at >= 0; at = data.pages.indexOf('\n', at + 1)) pageCount++;
    return {
      width: data.w, pageText: data.pages, pageStarts: lineStarts(data.pages, pageCount),
      letters: data.letters, added: {}, missing: data.letters.length, nameCount: 0,
      ranks: [], complete: data.letters.length === 0
    };
  }

  // Page k of the site: its qualified name and its file; null for a page of no unit or class.
  function pageAt(idx, k) {
    if (k + 1 >= idx.pageStarts.length) return null;
    var line = idx.pageText.slice(idx.pageStarts[k], idx.pageStarts[k + 1] - 1);
    if (!line) return null;
    var tab = line.indexOf('\t');
    return tab < 0 ? { name: line, file: line + '.html' } : { name: line.slice(0, tab), file: line.slice(tab + 1) };
  }

  // The anchors of a part that are not the entries' names, read the first time a result needs
  // one.
  function anchorOf(part, number) {
    if (!part.anchors) {
      part.anchors = new Map();
      part.anchorText.split('\n').forEach(function (line) {
        var tab = line.indexOf('\t');
        if (tab > 0) part.anchors.set(Number(line.slice(0, tab)), line.slice(tab + 1));
      });
    }
    return part.anchors.get(number);
  }

  // The letter of the part that holds the names a query starts with.
  function letterOf(query) {
    var c = query.charCodeAt(0);
    if (c >= 65 && c <= 90) c += 32;
    return c >= 97 && c <= 122 ? String.fromCharCode(c) : '_';
  }

  function partFile(letter) {
    return letter === '_' ? 'search-other.js' : 'search-' + letter + '.js';
  }

  // Adds the ranks of a part to the index, each in its place: by rank, then by letter, which
  // keeps the names of a rank in order.
  function addPart(idx, letter, data) {
    var part = { anchorText: data ? data.anchors : '', anchors: null };
    var order = kLetterOrder.indexOf(letter);
    var first = 0;
    for (var r = 0; data && r < data.names.length; r++) {
      var rank = new Rank(part, data.names[r], data.counts[r], data.sizes[r], data.info[r], first, idx.nameCount);
      rank.key = r * kLetterOrder.length + order;
      first += rank.groups[rank.count];
      idx.nameCount += rank.count;
      if (!rank.count) continue;
      var at = idx.ranks.length;
      while (at > 0 && idx.ranks[at - 1].key > rank.key) at--;
      idx.ranks.splice(at, 0, rank);
    }
    idx.added[letter] = true;
    idx.missing--;
  }

  // Adds the parts that have run and are not in the index yet; a part that could not be loaded
  // counts as added, without names, so that the index can be complete without it.
  function addLoadedParts(idx, failed) {
    var parts = window.GLOSSATOR_SEARCH_NAMES || {};
    var grew = false;
    for (var i = 0; i < idx.letters.length; i++) {
      var letter = idx.letters.charAt(i);
      if (idx.added[letter]) continue;
      if (parts[letter]) addPart(idx, letter, parts[letter]);
      else if (failed === letter) addPart(idx, letter, null);
      else continue;
      grew = true;
    }
    return grew;
  }

  // Makes the hump tables of the ranks that have none, in a task of its own, once for all the
  // parts that arrived meanwhile, and shows the results again.
  var humpsPending = false;
  function makeHumpsSoon(idx) {
    if (humpsPending) return;
    humpsPending = true;
    setTimeout(function () {
      humpsPending = false;
      idx.ranks.forEach(function (rank) { rank.humpIndex(); });
      idx.complete = idx.missing === 0;
      indexGrew.forEach(function (f) { f(); });
    }, 0);
  }

  // Loads the part of a letter, unless it is loaded or on its way; the listeners of indexGrew
  // hear of it once it is in the index.
  function loadPart(letter) {
    loadScript(partFile(letter), function (error) {
      if (index && addLoadedParts(index, error ? letter : null)) makeHumpsSoon(index);
    });
  }

  // Loads the parts not asked for yet, behind the first results.
  var restRequested = false;
  function loadTheRest(idx) {
    if (restRequested) return;
    restRequested = true;
    setTimeout(function () {
      for (var i = 0; i < idx.letters.length; i++) loadPart(idx.letters.charAt(i));
      makeHumpsSoon(idx);
    }, 0);
  }

  // Calls back with the index once search-index.js has run, or with null when it cannot be
  // read. The parts of the names come later (loadPart, loadTheRest).
  function withIndex(ready) {
    if (index) { ready(index); return; }
    loadScript('search-index.js', function (error) {
      if (error || !window.GLOSSATOR_SEARCH) { ready(null); return; }
      if (!index) {
        index = buildIndex(window.GLOSSATOR_SEARCH);
        addLoadedParts(index, null);
      }
      ready(index);
    });
  }

  // Calls back with the index once it holds the part that a query's names are in, at the same
  // time loading the first file and that part; then reads the other parts.
  function withPartOf(query, ready) {
    query = query.trim();
    var letter = query ? letterOf(query) : '';
    if (letter) loadPart(letter);
    withIndex(function (idx) {
      if (!idx) { ready(null); return; }
      // Without it yet, the call comes again through indexGrew when the part is in.
      if (letter && !idx.added[letter] && idx.letters.indexOf(letter) >= 0) return;
      ready(idx);
      loadTheRest(idx);
    });
  }

  // ---- Search ------------------------------------------------------------------------------

  // Query humps: split in front of capitals when the query has capitals after its first
  // character ("TSynEd" => T, Syn, Ed), one character each otherwise ("tse" => t, s, e).
  function queryHumps(query) {
    var capitals = /[A-Z]/.test(query.slice(1));
    var parts = [];
    for (var i = 0; i < query.length; i++) {
      var c = query.charAt(i);
      var starts = i === 0 || !capitals || (c >= 'A' && c <= 'Z');
      if (starts) parts.push(c); else parts[parts.length - 1] += c;
    }
    return parts.map(lowerAscii);
  }

  // Whether each query hump starts the name's hump of the same place.
  function humpsMatch(name, parts) {
    var starts = humpStarts(name);
    if (starts.length < parts.length) return false;
    var lower = lowerAscii(name);
    for (var p = 0; p < parts.length; p++) {
      var end = p + 1 < starts.length ? starts[p + 1] : name.length;
      if (lower.slice(starts[p], end).slice(0, parts[p].length) !== parts[p]) return false;
    }
    return true;
  }

  // Collects the entries of the names found, each name once, up to a limit of entries.
  function Collector(limit) {
    this.limit = limit;
    this.results = [];
    this.seen = new Set();
  }
  Collector.prototype.full = function () { return this.results.length >= this.limit; };
  Collector.prototype.add = function (rank, j) {
    var number = rank.firstName + j;
    if (this.seen.has(number)) return;
    this.seen.add(number);
    for (var e = rank.groups[j]; e < rank.groups[j + 1] && !this.full(); e++) {
      this.results.push({ rank: rank, j: j, e: e });
    }
  };

  function findExactAndPrefix(ranks, lower, found, exact) {
    for (var r = 0; r < ranks.length && !found.full(); r++) {
      var rank = ranks[r];
      for (var j = rank.lowerBound(lower); j < rank.count && !found.full(); j++) {
        var name = rank.lowerName(j);
        if (name.slice(0, lower.length) !== lower) break;
        if (exact && name !== lower) break;
        if (!exact && name === lower) continue;
        found.add(rank, j);
      }
    }
  }

  function findHumps(idx, query, found) {
    var ranks = idx.ranks;
    var parts = queryHumps(query);
    if (parts.length < 2) return;
    var initials = '\n' + parts.map(function (p) { return p.charAt(0); }).join('');
    for (var r = 0; r < ranks.length && !found.full(); r++) {
      var rank = ranks[r];
      if (!rank.initials) continue;
      for (var at = rank.initials.indexOf(initials); at >= 0 && !found.full();
           at = rank.initials.indexOf(initials, at + 1)) {
        var j = lineAt(rank.initialStarts, at + 1);
        if (humpsMatch(rank.name(j), parts)) found.add(rank, j);
      }
    }
  }

  function findSubstrings(ranks, lower, found) {
    for (var r = 0; r < ranks.length && !found.full(); r++) {
      var rank = ranks[r];
      for (var at = rank.lower.indexOf(lower); at >= 0 && !found.full();) {
        var j = lineAt(rank.starts, at);
        found.add(rank, j);
        at = rank.lower.indexOf(lower, rank.starts[j + 1]);
      }
    }
  }

  // The entries that match a query, best first: exact names, then prefixes, then CamelCase
  // humps, then substrings, each in the order units, types, routines, constants and
  // variables, members, enum values, and by name within that.
  function search(idx, query, limit) {
    query = query.trim();
    var found = new Collector(limit);
    if (!query || query.indexOf('\n') >= 0) return [];
    var lower = lowerAscii(query);
    findExactAndPrefix(idx.ranks, lower, found, true);
    findExactAndPrefix(idx.ranks, lower, found, false);
    findHumps(idx, query, found);
    findSubstrings(idx.ranks, lower, found);
    return found.results.map(function (hit) { return describe(idx, hit.rank, hit.j, hit.e); });
  }

  function describe(idx, rank, j, e) {
    var at = e * (idx.width + 1);
    var kind = rank.info.charAt(at);
    var page = digitsAt(rank.info, at + 1, idx.width);
    var name = rank.name(j);
    var target = pageAt(idx, page) || { file: 'index.html', name: '' };
    var own = kOwnPage.indexOf(kind) >= 0;
    var anchor = own ? '' : (anchorOf(rank.part, rank.first + e) || name);
    // Where it stands: the page's qualified name, without the entry itself for its own page.
    var where = target.name;
    if (own) where = where.slice(0, Math.max(0, where.length - name.length - 1));
    return {
      name: name,
      kind: kKinds[kind] || '',
      where: where,
      href: target.file + (anchor ? '#' + encodeURIComponent(anchor) : '')
    };
  }

  // ---- The search box ----------------------------------------------------------------------

  function resultText(parent, result) {
    var name = doc.createElement('span');
    name.className = 'r-name';
    name.textContent = result.name;
    var kind = doc.createElement('span');
    kind.className = 'r-kind';
    kind.textContent = result.kind;
    parent.appendChild(name);
    parent.appendChild(kind);
    if (result.where) {
      var where = doc.createElement('span');
      where.className = 'r-where';
      where.textContent = 'in ' + result.where;
      parent.appendChild(where);
    }
  }

  function SearchBox(input) {
    this.input = input;
    this.results = [];
    this.active = -1;
    var list = this.list = doc.createElement('ul');
    list.id = 'g-results';
    list.setAttribute('role', 'listbox');
    list.setAttribute('aria-label', 'Search suggestions');
    list.hidden = true;
    input.parentNode.appendChild(list);
    input.setAttribute('role', 'combobox');
    input.setAttribute('aria-autocomplete', 'list');
    input.setAttribute('aria-expanded', 'false');
    input.setAttribute('aria-controls', 'g-results');
    this.listen();
  }

  SearchBox.prototype.listen = function () {
    var box = this;
    var input = this.input;
    indexGrew.push(function () { if (input.value || onSearchPage) box.update(); });
    var warm = function () { withPartOf('', function () {}); };
    input.addEventListener('focus', warm);
    input.addEventListener('pointerenter', warm);
    input.addEventListener('input', function () { box.update(); });
    input.addEventListener('keydown', function (event) { box.key(event); });
    input.addEventListener('blur', function () {
      setTimeout(function () { box.close(); }, 150);
    });
    this.list.addEventListener('mousedown', function (event) {
      var item = event.target.closest('li');
      if (!item) return;
      event.preventDefault();
      box.go(Number(item.dataset.n));
    });
  };

  SearchBox.prototype.update = function () {
    var box = this;
    var query = this.input.value;
    withPartOf(query, function (idx) {
      if (box.input.value !== query) return;
      if (!idx) {
        if (onSearchPage) doc.getElementById('g-status').textContent = 'The search index could not be loaded.';
        return;
      }
      box.show(search(idx, query, kSuggestions));
      if (onSearchPage) showPageResults(idx, query);
    });
  };

  SearchBox.prototype.show = function (results) {
    this.results = results;
    this.active = results.length ? 0 : -1;
    var list = this.list;
    list.textContent = '';
    var fragment = doc.createDocumentFragment();
    results.forEach(function (result, n) {
      var item = doc.createElement('li');
      item.id = 'g-r' + n;
      item.dataset.n = String(n);
      item.setAttribute('role', 'option');
      item.setAttribute('aria-selected', n === 0 ? 'true' : 'false');
      resultText(item, result);
      fragment.appendChild(item);
    });
    list.appendChild(fragment);
    var open = results.length > 0 && doc.activeElement === this.input;
    list.hidden = !open;
    this.input.setAttribute('aria-expanded', open ? 'true' : 'false');
    this.mark();
  };

  SearchBox.prototype.mark = function () {
    var items = this.list.children;
    for (var n = 0; n < items.length; n++) {
      items[n].setAttribute('aria-selected', n === this.active ? 'true' : 'false');
    }
    if (this.active >= 0 && items[this.active]) {
      this.input.setAttribute('aria-activedescendant', items[this.active].id);
      items[this.active].scrollIntoView({ block: 'nearest' });
    } else {
      this.input.removeAttribute('aria-activedescendant');
    }
  };

  SearchBox.prototype.close = function () {
    this.list.hidden = true;
    this.input.setAttribute('aria-expanded', 'false');
    this.input.removeAttribute('aria-activedescendant');
  };

  SearchBox.prototype.go = function (n) {
    var result = this.results[n];
    if (result) location.href = result.href;
  };

  SearchBox.prototype.key = function (event) {
    var count = this.results.length;
    if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      if (!count) return;
      event.preventDefault();
      if (this.list.hidden) this.show(this.results);
      var step = event.key === 'ArrowDown' ? 1 : -1;
      this.active = (this.active + step + count) % count;
      this.mark();
    } else if (event.key === 'Enter') {
      // Without results yet the form goes to search.html?q=..., which waits for the index.
      if (count && this.input.value.trim()) {
        event.preventDefault();
        this.go(Math.max(this.active, 0));
      }
    } else if (event.key === 'Escape') {
      if (!this.list.hidden) this.close(); else this.input.blur();
    }
  };

  // "/" or "s" anywhere outside a text field moves to the search box.
  function setUpKeys(input) {
    doc.addEventListener('keydown', function (event) {
      if (event.ctrlKey || event.metaKey || event.altKey) return;
      if (event.key !== '/' && event.key !== 's') return;
      var target = event.target;
      var tag = target && target.tagName;
      if (tag === 'INPUT' || tag === 'TEXTAREA' || tag === 'SELECT' || (target && target.isContentEditable)) return;
      event.preventDefault();
      input.focus();
      input.select();
    });
  }

  // ---- The search page ---------------------------------------------------------------------

  var onSearchPage = false;

  function showPageResults(idx, query) {
    var list = doc.getElementById('g-found');
    var status = doc.getElementById('g-status');
    var results = search(idx, query, kPageResults);
    // Until every part and its hump tables are there the list may still grow: it says so to
    // assistive technology (and to tests).
    list.setAttribute('aria-busy', idx.complete ? 'false' : 'true');
    list.textContent = '';
    var fragment = doc.createDocumentFragment();
    results.forEach(function (result) {
      var item = doc.createElement('li');
      var link = doc.createElement('a');
      link.href = result.href;
      resultText(link, result);
      item.appendChild(link);
      fragment.appendChild(item);
    });
    list.appendChild(fragment);
    var shown = query.trim();
    if (!shown) status.textContent = 'Type a name in the search box.';
    else if (!results.length) status.textContent = 'Nothing found for \u201c' + shown + '\u201d.';
    else {
      status.textContent = (results.length >= kPageResults ? 'The first ' : '') + results.length +
          ' result' + (results.length === 1 ? '' : 's') + ' for \u201c' + shown + '\u201d.';
    }
    if (history.replaceState) {
      history.replaceState(null, '', shown ? '?q=' + encodeURIComponent(shown) : location.pathname);
    }
  }

  function setUpSearchPage(input, box) {
    if (!doc.getElementById('g-found')) return;
    onSearchPage = true;
    var query = new URLSearchParams(location.search).get('q') || '';
    input.value = query;
    if (query) doc.getElementById('g-status').textContent = 'Searching\u2026';
    box.update();
  }

  function start() {
    setUpTheme();
    setUpMenu();
    setUpUnitList();
    var input = doc.getElementById('g-q');
    if (!input) return;
    var box = new SearchBox(input);
    setUpKeys(input);
    setUpSearchPage(input, box);
    // A query typed before the index arrived is answered as soon as it is there.
    if (input.value && !onSearchPage) box.update();
  }

  if (doc.readyState === 'loading') doc.addEventListener('DOMContentLoaded', start);
  else start();
})();
