// The script of a Glossator documentation site: the theme toggle, the sidebar's Menu button and
// unit list, and search as you type. Everything works from file:// without a server: the search
// index and the unit list are script files (search-index.js, units.js) added to the page when
// they are first needed, never fetched. The pages are complete without this script.
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

  function setUpTheme() {
    var button = doc.getElementById('g-theme');
    if (!button) return;
    var label = function () {
      button.textContent = darkNow() ? 'Light theme' : 'Dark theme';
    };
    button.hidden = false;
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
    var button = doc.getElementById('g-menu');
    if (!button) return;
    button.hidden = false;
    button.addEventListener('click', function () {
      var open = root.classList.toggle('side-open');
      button.setAttribute('aria-expanded', open ? 'true' : 'false');
    });
  }

  // Adds a script file of the site once; calls back when it ran (or failed, with an error).
  var scripts = {};
  function loadScript(name, ready) {
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
    var details = doc.getElementById('g-units');
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

  // Kind letters of search-index.js (search_index.cpp has the same table) and what they mean.
  var kKinds = {
    u: 'unit', c: 'class', r: 'record', o: 'object', i: 'interface', h: 'helper', e: 'enum',
    s: 'set', a: 'array', p: 'pointer', t: 'procedure type', y: 'type', k: 'constant',
    z: 'resourcestring', v: 'variable', f: 'routine', m: 'method', C: 'constructor',
    D: 'destructor', P: 'property', F: 'field', O: 'operator', x: 'enum value'
  };
  // Kinds with a page of their own: a link to them has no anchor.
  var kOwnPage = 'ucroih';
  var kDigits = '0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_';

  var index = null;

  // Lower case of the ASCII letters only, the order the index is sorted in. toLowerCase is
  // much faster and the same for ASCII; it is used unless it changed the length of the text,
  // which would shift every offset behind.
  function lowerAscii(text) {
    var lower = text.toLowerCase();
    if (lower.length === text.length) return lower;
    return text.replace(/[A-Z]+/g, function (run) { return run.toLowerCase(); });
  }

  // One rank of the index: its names one a line, the same in lower case, where each starts.
  function Rank(names, info, first) {
    this.names = names;
    this.lower = lowerAscii(names);
    this.info = info;
    this.first = first;
    var starts = [];
    for (var at = 0; at < names.length;) {
      starts.push(at);
      var end = names.indexOf('\n', at);
      at = (end < 0 ? names.length : end) + 1;
    }
    // One more start behind the last line, so that line i ends in front of starts[i + 1] - 1.
    starts.push(at);
    this.starts = Int32Array.from(starts);
    this.count = starts.length - 1;
    this.initials = null;
  }
  Rank.prototype.lowerName = function (i) {
    return this.lower.slice(this.starts[i], this.starts[i + 1] - 1);
  };
  Rank.prototype.name = function (i) {
    return this.names.slice(this.starts[i], this.starts[i + 1] - 1);
  };
  // The entry whose line holds the offset `at` of a string laid out like `starts`.
  function entryAt(starts, at) {
    var lo = 0;
    var hi = starts.length - 2;
    while (lo < hi) {
      var mid = (lo + hi + 1) >> 1;
      if (starts[mid] <= at) lo = mid; else hi = mid - 1;
    }
    return lo;
  }
  // The first entry whose lower-case name is not below `text`.
  Rank.prototype.lowerBound = function (text) {
    var lo = 0;
    var hi = this.count;
    while (lo < hi) {
      var mid = (lo + hi) >> 1;
      if (this.lowerName(mid) < text) lo = mid + 1; else hi = mid;
    }
    return lo;
  };

  // Where the humps of a name start: its first character, every capital letter, a letter or
  // digit after "_", and the first digit after a letter. "TSynEdit" => T, Syn, Edit.
  function humpStarts(name) {
    var starts = [0];
    for (var i = 1; i < name.length; i++) {
      var c = name.charAt(i);
      var before = name.charAt(i - 1);
      var capital = c >= 'A' && c <= 'Z';
      var digit = c >= '0' && c <= '9';
      var beforeDigit = before >= '0' && before <= '9';
      if (c === '_') continue;
      if (capital || before === '_' || (digit && !beforeDigit)) starts.push(i);
    }
    return starts;
  }

  // The initials of every name of a rank, one a line behind a leading line break, and where
  // each line starts; made the first time a hump search needs them.
  Rank.prototype.humpIndex = function () {
    if (this.initials) return;
    var parts = [''];
    var starts = [];
    var at = 1;
    for (var i = 0; i < this.count; i++) {
      var name = this.name(i);
      var humps = humpStarts(name);
      var initials = '';
      for (var h = 0; h < humps.length; h++) initials += name.charAt(humps[h]);
      initials = lowerAscii(initials);
      starts.push(at);
      parts.push(initials);
      at += initials.length + 1;
    }
    starts.push(at + 1);
    this.initials = parts.join('\n');
    this.initialStarts = Int32Array.from(starts);
  };

  function buildIndex(data) {
    var pages = data.pages.split('\n').map(function (line) {
      var tab = line.indexOf('\t');
      return tab < 0 ? null : { file: line.slice(0, tab), name: line.slice(tab + 1) };
    });
    var ranks = [];
    var first = 0;
    for (var r = 0; r < data.names.length; r++) {
      var rank = new Rank(data.names[r], data.info[r], first);
      first += rank.count;
      ranks.push(rank);
    }
    var anchors = new Map();
    data.anchors.split('\n').forEach(function (line) {
      var tab = line.indexOf('\t');
      if (tab > 0) anchors.set(Number(line.slice(0, tab)), line.slice(tab + 1));
    });
    return { width: data.w, pages: pages, ranks: ranks, anchors: anchors };
  }

  // Calls back with the index once search-index.js has run.
  function withIndex(ready) {
    if (index) { ready(index); return; }
    loadScript('search-index.js', function (error) {
      if (error || !window.GLOSSATOR_SEARCH) { ready(null); return; }
      if (!index) {
        index = buildIndex(window.GLOSSATOR_SEARCH);
        // The hump tables are made while the reader is still typing.
        setTimeout(function () { index.ranks.forEach(function (rank) { rank.humpIndex(); }); }, 0);
      }
      ready(index);
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
      var hump = lower.slice(starts[p], end);
      if (hump.slice(0, parts[p].length) !== parts[p]) return false;
    }
    return true;
  }

  function Collector(limit) {
    this.limit = limit;
    this.results = [];
    this.seen = new Set();
  }
  Collector.prototype.full = function () { return this.results.length >= this.limit; };
  Collector.prototype.add = function (rank, i) {
    var number = rank.first + i;
    if (this.seen.has(number) || this.full()) return;
    this.seen.add(number);
    this.results.push({ rank: rank, i: i });
  };

  function findExactAndPrefix(ranks, lower, found, exact) {
    for (var r = 0; r < ranks.length && !found.full(); r++) {
      var rank = ranks[r];
      for (var i = rank.lowerBound(lower); i < rank.count && !found.full(); i++) {
        var name = rank.lowerName(i);
        if (name.slice(0, lower.length) !== lower) break;
        if (exact && name !== lower) break;
        if (!exact && name === lower) continue;
        found.add(rank, i);
      }
    }
  }

  function findHumps(ranks, query, found) {
    var parts = queryHumps(query);
    if (parts.length < 2) return;
    var initials = '\n' + parts.map(function (p) { return p.charAt(0); }).join('');
    for (var r = 0; r < ranks.length && !found.full(); r++) {
      var rank = ranks[r];
      rank.humpIndex();
      for (var at = rank.initials.indexOf(initials); at >= 0 && !found.full();
           at = rank.initials.indexOf(initials, at + 1)) {
        var i = entryAt(rank.initialStarts, at + 1);
        if (humpsMatch(rank.name(i), parts)) found.add(rank, i);
      }
    }
  }

  function findSubstrings(ranks, lower, found) {
    for (var r = 0; r < ranks.length && !found.full(); r++) {
      var rank = ranks[r];
      for (var at = rank.lower.indexOf(lower); at >= 0 && !found.full();) {
        var i = entryAt(rank.starts, at);
        found.add(rank, i);
        at = rank.lower.indexOf(lower, rank.starts[i + 1]);
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
    findHumps(idx.ranks, query, found);
    findSubstrings(idx.ranks, lower, found);
    return found.results.map(function (hit) { return describe(idx, hit.rank, hit.i); });
  }

  function describe(idx, rank, i) {
    var at = i * (idx.width + 1);
    var kind = rank.info.charAt(at);
    var page = 0;
    for (var d = 1; d <= idx.width; d++) page = page * 64 + kDigits.indexOf(rank.info.charAt(at + d));
    var name = rank.name(i);
    var target = idx.pages[page] || { file: 'index.html', name: '' };
    var own = kOwnPage.indexOf(kind) >= 0;
    var anchor = own ? '' : (idx.anchors.get(rank.first + i) || name);
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
    var warm = function () { withIndex(function () {}); };
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
    withIndex(function (idx) {
      if (!idx || box.input.value !== query) return;
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

  function setUpSearchPage(input) {
    if (!doc.getElementById('g-found')) return;
    onSearchPage = true;
    var query = new URLSearchParams(location.search).get('q') || '';
    input.value = query;
    var status = doc.getElementById('g-status');
    if (query) status.textContent = 'Searching\u2026';
    withIndex(function (idx) {
      if (!idx) { status.textContent = 'The search index could not be loaded.'; return; }
      showPageResults(idx, input.value);
    });
  }

  function start() {
    setUpTheme();
    setUpMenu();
    setUpUnitList();
    var input = doc.getElementById('g-q');
    if (!input) return;
    var box = new SearchBox(input);
    setUpKeys(input);
    setUpSearchPage(input);
    // A query typed before the index arrived is answered as soon as it is there.
    if (input.value && !onSearchPage) box.update();
  }

  if (doc.readyState === 'loading') doc.addEventListener('DOMContentLoaded', start);
  else start();
})();
